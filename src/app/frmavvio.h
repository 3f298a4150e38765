#pragma once

#include "ui/helpwindows.h"
#include "ui/widgets.h"

#include <array>

class QToolButton;

// The launcher: four tiles that open the work areas, and the corner icons.
class TfrmAvvio : public WorkWindow {
    Q_OBJECT
public:
    TfrmAvvio();
    // The windows of the four tiles, in tile order.
    void setWorkAreas(const std::array<QWidget *, 4> &areas) { m_areas = areas; }

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

    std::array<QWidget *, 4> m_areas{};
};
