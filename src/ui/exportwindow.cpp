#include "exportwindow.h"

#include "storage/log.h"
#include "storage/programfolder.h"
#include "ui/helpwindows.h"
#include "ui/hintline.h"
#include "ui/seams.h"
#include "ui/widgets.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QSvgWidget>
#include <QTableView>
#include <QToolButton>

namespace {

const QColor kLightGrey(0xE4, 0xE7, 0xEB);

} // namespace

ExportWindow::ExportWindow(QWidget *owner, const Setup &setup)
    : QDialog(owner), m_setup(setup), m_model(new spreadsheet::ArchiveGridModel(*setup.sheet, this)),
      m_hints(new HintLine(this))
{
    setObjectName(setup.objectName);
    setWindowTitle(setup.title);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kClient);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kLightGrey);
    setPalette(pal);
    m_hints->clearsHint(this);

    // The white strip: banner, a hand pointing at Esporta, the three commands.
    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("panBanner"));
    strip->setGeometry(0, 0, kClient.width(), 100);
    strip->setAttribute(Qt::WA_StyledBackground);
    strip->setStyleSheet(QStringLiteral("#panBanner { background: white; border-bottom: 1px solid #B8C2CC; }"));
    m_hints->clearsHint(strip);

    auto *banner = new QSvgWidget(QStringLiteral(":/img/export/banner.svg"), strip);
    banner->setObjectName(QStringLiteral("imgBanner"));
    banner->setGeometry(12, 12, 330, 76);
    banner->setAccessibleName(QStringLiteral("Esportazione in Excel"));
    m_hints->clearsHint(banner);

    auto *hand = new QSvgWidget(QStringLiteral(":/img/export/mano.svg"), strip);
    hand->setObjectName(QStringLiteral("imgMano"));
    hand->setGeometry(354, 28, 64, 44);
    m_hints->clearsHint(hand);

    cmdEsporta = look::pictureButton(strip, QStringLiteral("cmdEsporta"), QStringLiteral(":/img/export/cmdEsporta.svg"),
                                     QSize(72, 72), QStringLiteral("Esporta in Excel"));
    cmdEsporta->move(424, 11);
    cmdGuida = look::pictureButton(strip, QStringLiteral("cmdGuida"), QStringLiteral(":/img/cards/cmdGuida.svg"),
                                   QSize(150, 44), QStringLiteral("Guida"));
    cmdGuida->move(530, 25);
    cmdEsci = look::pictureButton(strip, QStringLiteral("cmdEsci"), QStringLiteral(":/img/cards/cmdEsci.svg"),
                                  QSize(150, 44), QStringLiteral("Esci"));
    cmdEsci->move(694, 25);
    m_hints->setHint(cmdEsporta, exportTexts::kHintExport);
    m_hints->setHint(cmdGuida, exportTexts::kHintHelp);
    m_hints->setHint(cmdEsci, exportTexts::kHintExit);

    grdRecords = new QTableView(this);
    grdRecords->setObjectName(QStringLiteral("grdRecords"));
    grdRecords->setAccessibleName(QStringLiteral("Schede in archivio"));
    grdRecords->setGeometry(10, 110, kClient.width() - 20, 400);
    grdRecords->setModel(m_model);
    grdRecords->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                | QAbstractItemView::AnyKeyPressed);
    grdRecords->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    grdRecords->setAlternatingRowColors(true);
    grdRecords->setWordWrap(false);
    grdRecords->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grdRecords->verticalHeader()->hide();
    grdRecords->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdRecords->verticalHeader()->setMinimumSectionSize(kRowHeight);
    grdRecords->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grdRecords->horizontalHeader()->setHighlightSections(false);
    grdRecords->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grdRecords->horizontalHeader()->resizeSection(0, spreadsheet::GridModel::kNumberWidth);
    for (int c = 0; c < setup.sheet->columns.size(); ++c)
        grdRecords->horizontalHeader()->resizeSection(c + 1, setup.sheet->columns[c].gridWidth);
    grdRecords->setStyleSheet(QStringLiteral(
        "QTableView { background: white; alternate-background-color: #EAF2FA; gridline-color: #C9D3DD;"
        " selection-background-color: #FFFF00; selection-color: black; }"
        "QHeaderView::section { background: #1F4E79; color: white; font-weight: bold; padding: 2px 4px;"
        " border: none; border-right: 1px solid #4F7CA6; }"));
    m_hints->clearsHint(grdRecords->viewport());
    m_hints->clearsHint(grdRecords->horizontalHeader());

    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("panStato"));
    bar->setGeometry(10, 518, kClient.width() - 20, 34);
    bar->setAttribute(Qt::WA_StyledBackground);
    bar->setStyleSheet(QStringLiteral("#panStato { background-color: #1F4E79; border-radius: 4px; }"));
    m_hints->clearsHint(bar);

    panInfo = new StatusLine(exportTexts::kStart, bar);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->setGeometry(12, 0, bar->width() - 24, 34);
    panInfo->setFont(QFont(QStringLiteral("Tahoma"), 12));
    panInfo->setStyleSheet(QStringLiteral("color: white;"));
    m_hints->setLine(panInfo);

    setTabOrder(cmdEsporta, cmdGuida);
    setTabOrder(cmdGuida, cmdEsci);
    setTabOrder(cmdEsci, grdRecords);

    connect(cmdEsporta, &QToolButton::clicked, this, &ExportWindow::cmdEsportaClick);
    connect(cmdGuida, &QToolButton::clicked, this, &ExportWindow::cmdGuidaClick);
    connect(cmdEsci, &QToolButton::clicked, this, &QDialog::reject);

    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

QString ExportWindow::exportPath() const
{
    return ProgramFolder::file(m_setup.sheet->fileName);
}

void ExportWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_filled) {
        m_filled = true;
        fillGrid();
        cmdEsporta->setFocus(Qt::OtherFocusReason);
    }
}

void ExportWindow::fillGrid()
{
    // A reading failure keeps what was read on screen; Esporta then refuses to write it,
    // so that an archive that could not be read never replaces an earlier export.
    spreadsheet::ArchiveGrid grid(int(m_setup.sheet->columns.size()));
    m_readFailed = !spreadsheet::fill(grid, *m_setup.sheet, *m_setup.layout, m_setup.archivePath);
    m_model->setGrid(std::move(grid));
}

void ExportWindow::cmdEsportaClick()
{
    namespace t = exportTexts;
    if (!Messages::question(this, t::kAskExport))
        return;
    if (m_readFailed) {
        Messages::plain(this, t::kNotReadWhole);
        return;
    }
    const QString path = exportPath();
    QString why;
    if (!spreadsheet::save(path, m_model->sheet(), m_model->grid(), &why)) {
        qCWarning(lcTirello) << objectName() << "export not written:" << why;
        Messages::plain(this, t::kFailed);
        return;
    }
    if (Messages::question(this, t::kAskOpen))
        Shell::open(u'"' + path + u'"');
}

void ExportWindow::cmdGuidaClick()
{
    help::show(this, m_setup.topic());
}
