#pragma once

#include "ui/helpwindows.h"
#include "ui/widgets.h"

struct Workspace;
class QToolButton;

// The launcher: four tiles that open the work areas, and the corner icons.
class TfrmAvvio : public WorkWindow {
    Q_OBJECT
public:
    explicit TfrmAvvio(Workspace &ws);

    QToolButton *imgApp[4];
    QToolButton *btnApp[4];
    QToolButton *imgInfo;
    QToolButton *imgGuida;
    QToolButton *imgCopyright;
    QToolButton *icoSito;
    QToolButton *imgEsci;

    static inline const QString kWebSite = help::kWebSite;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void appClick(int tile);

    Workspace &m_ws;
};
