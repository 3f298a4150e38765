#pragma once
// A fresh, empty program folder with the seams recording (message boxes, shell, mail,
// printing), for tests that drive windows over the program's files.

#include "storage/programfolder.h"
#include "tools/render_ui.h"
#include "ui/seams.h"

#include <QTemporaryDir>

#include <memory>

namespace support {

class FolderFixture {
public:
    // Call from init().
    void setUp()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        ProgramFolder::setOverride(m_dir->path());
        Messages::startRecording();
        Shell::startRecording();
        Mail::startRecording();
        Outputs::startRecording();
    }
    // Call from cleanup().
    void tearDown()
    {
        Outputs::stopRecording();
        Mail::stopRecording();
        Shell::stopRecording();
        Messages::stopRecording();
        ProgramFolder::setOverride({});
        m_dir.reset();
    }

    QString folder() const { return m_dir->path(); }
    QString file(const QString &name) const { return m_dir->filePath(name); }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace support
