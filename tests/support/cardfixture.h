#pragma once
// The program's work windows over a fresh, empty program folder, with the seams
// recording (message boxes, shell, printing), for tests that drive a card as a user would.

#include "app/frmavvio.h"
#include "app/workspace.h"
#include "support/folderfixture.h"

#include <QtTest>

#include <memory>

namespace support {

class CardFixture : public FolderFixture {
public:
    // Call from init(): a new program folder, recording seams and every work window.
    void setUp()
    {
        FolderFixture::setUp();
        m_ws = Workspace::create();
    }
    // Call from cleanup().
    void tearDown()
    {
        m_ws.reset();
        FolderFixture::tearDown();
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

private:
    std::unique_ptr<Workspace> m_ws;
};

} // namespace support
