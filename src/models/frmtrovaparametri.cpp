#include "frmtrovaparametri.h"

#include "frmimportaparametri.h"
#include "frmparametri.h"

#include "app/seams.h"
#include "app/widgets.h"
#include "tools/listing_ui.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSvgWidget>

namespace {

const QSize kClient(862, 560);
constexpr int kItemWidth = 1600; // long lines scroll sideways

QPushButton *button(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAccessibleName(text);
    b->setCursor(Qt::PointingHandCursor);
    QFont f = b->font();
    f.setPointSize(10);
    f.setBold(true);
    b->setFont(f);
    b->setAutoDefault(false);
    return b;
}

} // namespace

ModelListWindow::ModelListWindow(QWidget *owner, const QString &objectName, const QString &title,
                                 const QString &banner, const QString &bannerText)
    : QDialog(owner)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kClient);
    look::setGradient(this, QColor(0x46, 0x82, 0xB4), Qt::white);

    const int left = (kClient.width() - 817) / 2;
    imgLogo = new QSvgWidget(QStringLiteral(":/img/models/%1.svg").arg(banner), this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(left, 10, 817, 53);
    imgLogo->setAccessibleName(bannerText);

    icoIstruzioni = new QSvgWidget(QStringLiteral(":/img/models/istruzioni.svg"), this);
    icoIstruzioni->setObjectName(QStringLiteral("icoIstruzioni"));
    icoIstruzioni->setGeometry(left, 72, 642, 32);
    icoIstruzioni->setAccessibleName(
        QStringLiteral("Digitare una o pi\u00f9 parole consecutive della voce cercata e premere Trova; "
                       "premere di nuovo Trova per passare alla voce successiva con le stesse parole."));

    imgLente = new QSvgWidget(QStringLiteral(":/img/models/lente.svg"), this);
    imgLente->setObjectName(QStringLiteral("imgLente"));
    imgLente->setGeometry(left, 113, 32, 32);

    txtTrova = new QLineEdit(this);
    txtTrova->setObjectName(QStringLiteral("txtTrova"));
    QFont ff(QStringLiteral("Verdana"), 12);
    ff.setBold(true);
    txtTrova->setFont(ff);
    txtTrova->setGeometry(left + 40, 114, 620, 30);
    txtTrova->setAccessibleName(QStringLiteral("Testo da cercare"));
    txtTrova->setStyleSheet(QStringLiteral("QLineEdit:focus { background-color: #FFFF00; }"));
    txtTrova->installEventFilter(this);

    btnTrova = button(this, QStringLiteral("btnTrova"), QStringLiteral("Trova"));
    btnTrova->setGeometry(left + 672, 113, 110, 32);
    btnTrova->setAutoDefault(true);

    lstRecords = new QListWidget(this);
    lstRecords->setObjectName(QStringLiteral("lstRecords"));
    lstRecords->setGeometry(left, 156, 817, 340);
    lstRecords->setFont(QFont(QStringLiteral("Courier New"), 12));
    lstRecords->setStyleSheet(QStringLiteral("QListWidget { color: black; background: white; }"));
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    lstRecords->setUniformItemSizes(true);
    lstRecords->setAccessibleName(QStringLiteral("Elenco dei modelli di analisi"));
    lstRecords->viewport()->installEventFilter(this);

    lblRigo03 = new QLabel(QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda"), this);
    lblRigo03->setObjectName(QStringLiteral("lblRigo03"));
    lblRigo03->setGeometry(left, 508, 560, 36);
    lblRigo03->setStyleSheet(QStringLiteral("color: #0E2A44; font-weight: bold;"));

    btnStampa = button(this, QStringLiteral("btnStampa"), QStringLiteral("Stampa"));
    btnStampa->setGeometry(left + 817 - 2 * 110 - 10, 510, 110, 32);
    btnChiudi = button(this, QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"));
    btnChiudi->setGeometry(left + 817 - 110, 510, 110, 32);

    setTabOrder(txtTrova, btnTrova);
    setTabOrder(btnTrova, lstRecords);
    setTabOrder(lstRecords, btnStampa);
    setTabOrder(btnStampa, btnChiudi);

    connect(btnTrova, &QPushButton::clicked, this, &ModelListWindow::btnTrovaClick);
    connect(btnStampa, &QPushButton::clicked, this, &ModelListWindow::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);

    // The list as the archive holds it now.
    const QFontMetrics fm(lstRecords->font());
    for (const QString &line : models::buildList(models::archivePath())) {
        auto *item = new QListWidgetItem(line, lstRecords);
        item->setSizeHint(QSize(kItemWidth, fm.height() + 2));
    }
    txtTrova->setFocus();

    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

QStringList ModelListWindow::lines() const
{
    QStringList out;
    for (int i = 0; i < lstRecords->count(); ++i)
        out.append(lstRecords->item(i)->text());
    return out;
}

int ModelListWindow::selectedLine() const
{
    const QList<QListWidgetItem *> selected = lstRecords->selectedItems();
    return selected.isEmpty() ? -1 : lstRecords->row(selected.first());
}

void ModelListWindow::btnTrovaClick()
{
    if (lstRecords->count() == 0) {
        Messages::plain(this, kEmptyList);
        return;
    }
    const int line = m_find.find(lines(), selectedLine(), txtTrova->text());
    lstRecords->setCurrentRow(line);
    lstRecords->scrollToItem(lstRecords->item(line));
}

void ModelListWindow::btnStampaClick()
{
    listing::print(this, kListTitle, lines());
}

void ModelListWindow::lstRecordsDblClick()
{
    try {
        const int line = selectedLine();
        if (line >= 0) {
            const std::optional<models::Found> found =
                models::recordOfLine(models::archivePath(), lstRecords->item(line)->text());
            if (found)
                take(*found);
        }
    } catch (const std::exception &) {
        // The window closes all the same; no message.
    }
    accept();
}

void ModelListWindow::done(int result)
{
    lstRecords->clear();
    QDialog::done(result);
}

bool ModelListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtTrova && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnTrova->setFocus(Qt::TabFocusReason);
            return true;
        }
    } else if (watched == lstRecords->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // After the view has had the click; a double click on the empty part of the list
        // counts too.
        QMetaObject::invokeMethod(this, &ModelListWindow::lstRecordsDblClick, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

// ---- Search --------------------------------------------------------------------------

TfrmTrovaParametri::TfrmTrovaParametri(QWidget *owner, TfrmParametri *card)
    : ModelListWindow(owner, QStringLiteral("frmTrovaParametri"), QStringLiteral(" Trova modelli di analisi in archivio"),
                      QStringLiteral("bannerTrova"), QStringLiteral("Riepilogo modelli di analisi")),
      m_card(card)
{
}

void TfrmTrovaParametri::take(const models::Found &found)
{
    m_card->showRecord(found.record, found.position); // the card stays on its page
}

void models::openSearch(TfrmParametri *card)
{
    TfrmTrovaParametri window(card, card);
    window.exec();
}
