#pragma once
// The program's work windows over a fresh, empty program folder, with the seams
// recording (message boxes, shell, printing), for tests that drive a card as a user would.

#include "app/frmavvio.h"
#include "app/workspace.h"
#include "storage/programfolder.h"
#include "tools/render_ui.h"
#include "ui/seams.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace support {

class CardFixture {
public:
    // Call from init(): a new program folder, recording seams and every work window.
    void setUp()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        ProgramFolder::setOverride(m_dir->path());
        Messages::startRecording();
        Shell::startRecording();
        Outputs::startRecording();
        m_ws = Workspace::create();
    }
    // Call from cleanup().
    void tearDown()
    {
        m_ws.reset();
        Outputs::stopRecording();
        Shell::stopRecording();
        Messages::stopRecording();
        ProgramFolder::setOverride({});
        m_dir.reset();
    }
    // Opens the work window from the launcher, as the launcher's tile would, and waits
    // until it is on screen and active.
    bool open(QWidget *window)
    {
        windowSwitch(window, m_ws->frmAvvio);
        if (!QTest::qWaitForWindowExposed(window))
            return false;
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }

    Workspace &ws() const { return *m_ws; }
    QString folder() const { return m_dir->path(); }
    QString file(const QString &name) const { return m_dir->filePath(name); }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Workspace> m_ws;
};

} // namespace support
