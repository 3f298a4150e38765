#include "frmtrovaclienti.h"

#include "frmclienti.h"

#include "app/inputrules.h"
#include "app/seams.h"
#include "app/widgets.h"
#include "storage/card_ui.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"
#include "tools/listing_ui.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSvgWidget>

namespace {

constexpr int kItemWidth = 1600; // long lines scroll sideways
const QColor kSteelBlue(0x46, 0x82, 0xB4);

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
    b->setAutoDefault(true); // Enter presses the button that has the focus
    return b;
}

QLabel *hiddenLabel(QWidget *parent, const QString &name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->hide();
    return l;
}

QString archivePath()
{
    return ProgramFolder::file(TfrmClienti::kArchiveName);
}

// A picture and the title words on a light plate.
QByteArray listBanner(const QString &title, clients::BannerIcon icon, int w)
{
    constexpr int h = 64;
    QString svg = QStringLiteral(
        "<svg xmlns='http://www.w3.org/2000/svg' version='1.1' width='%1' height='%2' viewBox='0 0 %1 %2'>"
        "<defs>"
        "<linearGradient id='plate' x1='0' y1='0' x2='0' y2='1'>"
        "<stop offset='0' stop-color='#FFFFFF'/><stop offset='1' stop-color='#D6E6F4'/></linearGradient>"
        "<linearGradient id='tile' x1='0' y1='0' x2='0' y2='1'>"
        "<stop offset='0' stop-color='#3F97D8'/><stop offset='1' stop-color='#1D5B9A'/></linearGradient>"
        "<linearGradient id='shine' x1='0' y1='0' x2='1' y2='0'>"
        "<stop offset='0' stop-color='#4682B4'/><stop offset='1' stop-color='#4682B4' stop-opacity='0'/>"
        "</linearGradient>"
        "</defs>"
        "<rect x='1.5' y='1.5' width='%3' height='%4' rx='12' ry='12' fill='url(#plate)' "
        "stroke='#1F4E79' stroke-width='2'/>"
        "<rect x='10' y='7' width='50' height='50' rx='10' fill='url(#tile)' stroke='#FFFFFF' stroke-width='2'/>")
                      .arg(w)
                      .arg(h)
                      .arg(w - 3)
                      .arg(h - 3);
    if (icon == clients::BannerIcon::Search) {
        // A card with lines under a magnifying glass.
        svg += QStringLiteral(
            "<rect x='18' y='15' width='26' height='32' rx='3' fill='#FFFFFF'/>"
            "<rect x='22' y='21' width='16' height='3' rx='1.5' fill='#1D5B9A'/>"
            "<rect x='22' y='27' width='12' height='3' rx='1.5' fill='#7A9CC0'/>"
            "<rect x='22' y='33' width='14' height='3' rx='1.5' fill='#7A9CC0'/>"
            "<circle cx='40' cy='35' r='8' fill='#FFFFFF' fill-opacity='0.35' stroke='#FFD466' stroke-width='3.2'/>"
            "<path d='M46 41 L53 48' stroke='#FFD466' stroke-width='5' stroke-linecap='round'/>");
    } else {
        // A telephone with a list beside it.
        svg += QStringLiteral(
            "<g transform='translate(14 13) scale(1.5)'>"
            "<path d='M5 3 H9 Q10 3 10.1 4 L10.6 8 Q10.7 9 9.9 9.6 L8 11 Q10 15 13 16 L14.4 14.2 Q15 13.4 16 13.5 "
            "L20 14 Q21 14.1 21 15.1 V19 Q21 21 19 21 Q11 21 6.5 16.5 Q2.5 12.2 3 5 Q3.1 3 5 3 Z' fill='#FFFFFF'/>"
            "<path d='M14 2.6 A7.4 7.4 0 0 1 21.4 10 M14 6.4 A3.6 3.6 0 0 1 17.6 10' fill='none' stroke='#7FE3D6' "
            "stroke-width='1.7' stroke-linecap='round'/></g>");
    }
    svg += QStringLiteral("<text x='79' y='42' font-family='Arial' font-weight='bold' font-size='26' "
                          "fill='#0E3558' fill-opacity='0.25'>%1</text>"
                          "<text x='78' y='41' font-family='Arial' font-weight='bold' font-size='26' "
                          "fill='#123F66'>%1</text>"
                          "<rect x='78' y='48' width='%2' height='3' rx='1.5' fill='url(#shine)'/>"
                          "</svg>")
               .arg(title.toHtmlEscaped())
               .arg(w - 78 - 20);
    return svg.toUtf8();
}

// How the search goes, without words: fill the filters, search, pick a line, see the card.
QByteArray explanationSvg()
{
    const QString tile = QStringLiteral(
        "<rect x='%1' y='4' width='64' height='64' rx='12' fill='#0B2A45' fill-opacity='0.22'/>"
        "<rect x='%2' y='2' width='64' height='64' rx='12' fill='url(#tile)' stroke='#FFFFFF' stroke-width='2'/>");
    const QString arrow = QStringLiteral(
        "<path d='M%1 34 H%2 M%3 26 L%4 34 L%3 42' fill='none' stroke='#1F4E79' stroke-width='4' "
        "stroke-linecap='round' stroke-linejoin='round'/>");
    QString svg = QStringLiteral(
        "<svg xmlns='http://www.w3.org/2000/svg' version='1.1' width='424' height='72' viewBox='0 0 424 72'>"
        "<defs><linearGradient id='tile' x1='0' y1='0' x2='0' y2='1'>"
        "<stop offset='0' stop-color='#3F97D8'/><stop offset='1' stop-color='#1D5B9A'/></linearGradient></defs>");
    for (int i = 0; i < 4; ++i) {
        const int x = 2 + i * 120;
        svg += tile.arg(x + 3).arg(x);
        if (i < 3)
            svg += arrow.arg(x + 76).arg(x + 108).arg(x + 100).arg(x + 110);
    }
    svg += QStringLiteral(
        // The filters: three fields, one of them being typed in.
        "<rect x='12' y='14' width='44' height='9' rx='2' fill='#FFFFFF'/>"
        "<rect x='12' y='29' width='44' height='9' rx='2' fill='#FFFF00'/>"
        "<rect x='15' y='31.5' width='16' height='4' rx='1' fill='#1D5B9A'/>"
        "<rect x='12' y='44' width='44' height='9' rx='2' fill='#FFFFFF'/>"
        // The search.
        "<circle cx='152' cy='30' r='13' fill='#FFFFFF' fill-opacity='0.3' stroke='#FFFFFF' stroke-width='4'/>"
        "<path d='M161.5 39.5 L172 50' stroke='#FFD466' stroke-width='7' stroke-linecap='round'/>"
        // The list, one line chosen.
        "<rect x='252' y='12' width='44' height='44' rx='3' fill='#FFFFFF'/>"
        "<rect x='256' y='17' width='36' height='4' rx='1' fill='#7A9CC0'/>"
        "<rect x='254' y='25' width='40' height='8' rx='1' fill='#2E75B6'/>"
        "<rect x='256' y='27' width='30' height='4' rx='1' fill='#FFFFFF'/>"
        "<rect x='256' y='37' width='36' height='4' rx='1' fill='#7A9CC0'/>"
        "<rect x='256' y='46' width='36' height='4' rx='1' fill='#7A9CC0'/>"
        "<path d='M284 31 L284 49 L288.5 45 L292 52 L295 50.5 L291.5 43.8 L297 43.5 Z' fill='#FFFFFF' "
        "stroke='#0B2A45' stroke-width='1.4' stroke-linejoin='round'/>"
        // The client card.
        "<rect x='372' y='12' width='44' height='44' rx='4' fill='#FFFFFF'/>"
        "<circle cx='386' cy='28' r='6' fill='#1D5B9A'/>"
        "<path d='M376.5 46 C377 37 395 37 395.5 46 Z' fill='#1D5B9A'/>"
        "<rect x='399' y='24' width='13' height='3' rx='1.5' fill='#7A9CC0'/>"
        "<rect x='399' y='31' width='10' height='3' rx='1.5' fill='#7A9CC0'/>"
        "<rect x='399' y='38' width='12' height='3' rx='1.5' fill='#7A9CC0'/>"
        "</svg>");
    return svg.toUtf8();
}

} // namespace

namespace clients {

void fillDocumentClient(QWidget *card, const records::Record &client)
{
    for (const char *name : kDocumentClientFields) {
        const QString field = QString::fromLatin1(name);
        const QString value = text::trim(client.text(field));
        if (auto *edit = card->findChild<QLineEdit *>(field))
            edit->setText(value);
        else if (auto *combo = card->findChild<QComboBox *>(field))
            combo->setEditText(value);
    }
}

} // namespace clients

// ---- The list part -------------------------------------------------------------------

ClientListWindow::ClientListWindow(QWidget *owner, const QString &objectName, const QString &title,
                                   const QSize &size, const QString &printTitle, clients::LastColumn last)
    : QDialog(owner), m_printTitle(printTitle), m_last(last)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, size.width(), size.height());
    setFixedSize(size.boundedTo(room.size()));
    look::setGradient(this, kSteelBlue, Qt::white);
    setStyleSheet(QStringLiteral("QLineEdit:focus { background-color: #FFFF00; }"));
    move(room.center() - rect().center());
}

QSvgWidget *ClientListWindow::addBanner(QWidget *panel, const QString &name, const QString &title,
                                        clients::BannerIcon icon)
{
    auto *banner = new QSvgWidget(panel);
    banner->setObjectName(name);
    const int w = panel->width() - 40;
    banner->load(listBanner(title, icon, w));
    banner->setGeometry(20, 12, w, 64);
    banner->setAccessibleName(title);
    return banner;
}

void ClientListWindow::buildList(QWidget *panel, int top, const QString &doubleClickText)
{
    const int w = panel->width();
    const int h = panel->height();
    const int left = 20;
    const int right = w - 20;

    txtTrova = new QLineEdit(panel);
    txtTrova->setObjectName(QStringLiteral("txtTrova"));
    QFont ff(QStringLiteral("Verdana"), 12);
    ff.setBold(true);
    txtTrova->setFont(ff);
    txtTrova->setGeometry(left, top, 560, 32);
    txtTrova->setAccessibleName(QStringLiteral("Testo da cercare"));
    txtTrova->installEventFilter(this);

    btnTrova = button(panel, QStringLiteral("btnTrova"), QStringLiteral("Trova"));
    btnTrova->setGeometry(left + 572, top, 110, 32);

    const int bottomRow = h - 46;
    lstRecords = new QListWidget(panel);
    lstRecords->setObjectName(QStringLiteral("lstRecords"));
    lstRecords->setGeometry(left, top + 44, right - left, bottomRow - 12 - (top + 44));
    lstRecords->setFont(QFont(QStringLiteral("Courier New"), 12));
    lstRecords->setStyleSheet(QStringLiteral("QListWidget { color: black; background: white; }"));
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    lstRecords->setUniformItemSizes(true);
    lstRecords->setAccessibleName(QStringLiteral("Elenco dei clienti"));
    lstRecords->installEventFilter(this);
    lstRecords->viewport()->installEventFilter(this);

    lblRigo03 = new QLabel(doubleClickText, panel);
    lblRigo03->setObjectName(QStringLiteral("lblRigo03"));
    lblRigo03->setGeometry(left, bottomRow + 6, right - left - 2 * 110 - 30, 20);
    lblRigo03->setStyleSheet(QStringLiteral("color: #0E2A44; font-weight: bold;"));

    btnStampa = button(panel, QStringLiteral("btnStampa"), QStringLiteral("Stampa"));
    btnStampa->setGeometry(right - 2 * 110 - 10, bottomRow, 110, 32);
    btnChiudi = button(panel, QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"));
    btnChiudi->setGeometry(right - 110, bottomRow, 110, 32);

    setTabOrder(txtTrova, btnTrova);
    setTabOrder(btnTrova, lstRecords);
    setTabOrder(lstRecords, btnStampa);
    setTabOrder(btnStampa, btnChiudi);

    connect(btnTrova, &QPushButton::clicked, this, &ClientListWindow::btnTrovaClick);
    connect(btnStampa, &QPushButton::clicked, this, &ClientListWindow::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
}

void ClientListWindow::setLines(const QStringList &lines)
{
    lstRecords->clear();
    // Monospaced lines: the widest is its length times one character.
    qsizetype longest = 0;
    for (const QString &line : lines)
        longest = std::max(longest, line.size());
    const QFontMetrics fm(lstRecords->font());
    const QSize itemSize(std::max<int>(kItemWidth, int(longest + 2) * fm.horizontalAdvance(QLatin1Char('M'))),
                         fm.height() + 2);
    for (const QString &line : lines) {
        // Made apart and then added: an item born inside the list costs fifty times more.
        auto *item = new QListWidgetItem(line);
        item->setSizeHint(itemSize);
        lstRecords->addItem(item);
    }
    if (lstRecords->count() > 0)
        lstRecords->setCurrentRow(0);
}

QStringList ClientListWindow::lines() const
{
    QStringList out;
    out.reserve(lstRecords->count());
    for (int i = 0; i < lstRecords->count(); ++i)
        out.append(lstRecords->item(i)->text());
    return out;
}

int ClientListWindow::selectedLine() const
{
    const QList<QListWidgetItem *> selected = lstRecords->selectedItems();
    return selected.isEmpty() ? -1 : lstRecords->row(selected.first());
}

void ClientListWindow::btnTrovaClick()
{
    if (lstRecords->count() == 0) {
        Messages::plain(this, kEmptyList);
        return;
    }
    const int line = m_find.find(lines(), selectedLine(), txtTrova->text());
    lstRecords->setCurrentRow(line);
    lstRecords->scrollToItem(lstRecords->item(line));
}

void ClientListWindow::btnStampaClick()
{
    listing::print(this, m_printTitle, lines());
}

void ClientListWindow::lstRecordsDblClick()
{
    try {
        const int line = selectedLine();
        if (line >= 0) {
            const auto chosen = clients::chosenClient(archivePath(), lstRecords->item(line)->text(), m_last);
            if (chosen)
                take(*chosen);
        }
    } catch (const std::exception &) {
        // The window closes all the same, without a message.
    }
    accept();
}

void ClientListWindow::done(int result)
{
    lstRecords->clear();
    QDialog::done(result);
}

bool ClientListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (enter && watched == txtTrova) {
            btnTrova->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (enter && watched == lstRecords) {
            // The keyboard's way to choose the selected line; never a button's Enter.
            if (selectedLine() >= 0)
                QMetaObject::invokeMethod(this, &ClientListWindow::lstRecordsDblClick, Qt::QueuedConnection);
            return true;
        }
    } else if (watched == lstRecords->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // After the view has had the click; a double click on the empty part of the list
        // chooses the selected line too.
        QMetaObject::invokeMethod(this, &ClientListWindow::lstRecordsDblClick, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

// ---- The search ----------------------------------------------------------------------

TfrmTrovaClienti::TfrmTrovaClienti(QWidget *owner, TfrmClienti *card, ClientTarget *document)
    : ClientListWindow(owner, QStringLiteral("frmTrovaClienti"), QStringLiteral(" Trova clienti in archivio"),
                       QSize(1180, 640), kListTitle, clients::LastColumn::Notes),
      m_card(card), m_document(document)
{
    const QRect area = rect();

    // Filter panel.
    panAvvio = new QWidget(this);
    panAvvio->setObjectName(QStringLiteral("panAvvio"));
    panAvvio->setGeometry(area);

    addBanner(panAvvio, QStringLiteral("imgTitolo"), QStringLiteral("Trova clienti in archivio"),
              clients::BannerIcon::Search);

    struct Filter {
        QLineEdit **edit;
        const char *name;
        const char *caption;
    };
    const Filter filters[] = {
        {&txtCliente, "txtCliente", "Cognome e nome cliente:"},
        {&txtComuneRes, "txtComuneRes", "Comune di residenza:"},
        {&txtPartitaIva, "txtPartitaIva", "Partita IVA:"},
        {&txtCodFisc, "txtCodFisc", "Codice fiscale:"},
        {&txtDocumento, "txtDocumento", "Estremi documento:"},
        {&txtOccupazione, "txtOccupazione", "Occupazione:"},
        {&txtProdotti, "txtProdotti", "Prodotti e servizi di interesse:"},
        {&txtZona, "txtZona", "Zona di appartenenza:"},
        {&txtQuestioni, "txtQuestioni", "Questioni in sospeso:"},
        {&txtNote, "txtNote", "Note:"},
    };
    QFont fieldFont(QStringLiteral("Verdana"), 11);
    QFont captionFont(QStringLiteral("Arial"), 10);
    captionFont.setBold(true);
    const int columnWidth = (area.width() - 3 * 40) / 2;
    QList<QWidget *> chain;
    for (int i = 0; i < 10; ++i) {
        const Filter &f = filters[i];
        auto *edit = new QLineEdit(panAvvio);
        edit->setObjectName(QString::fromLatin1(f.name));
        edit->setFont(fieldFont);
        const int x = 40 + (i / 5) * (columnWidth + 40);
        const int y = 96 + (i % 5) * 76;
        QLabel *caption = look::caption(panAvvio, QString::fromUtf8(f.caption), edit);
        caption->setFont(captionFont);
        caption->setStyleSheet(QStringLiteral("color: #0E2A44;"));
        caption->setGeometry(x, y, columnWidth, 22);
        edit->setGeometry(x, y + 24, columnWidth, 32);
        *f.edit = edit;
        chain.append(edit);
    }
    for (qsizetype i = 0; i + 1 < chain.size(); ++i)
        setTabOrder(chain[i], chain[i + 1]);
    rules::enterChain(chain);

    imgSpiegazione = new QSvgWidget(panAvvio);
    imgSpiegazione->setObjectName(QStringLiteral("imgSpiegazione"));
    imgSpiegazione->load(explanationSvg());
    imgSpiegazione->setGeometry((area.width() - 424) / 2, txtNote->geometry().bottom() + 30, 424, 72);

    const int bottomRow = area.height() - 46;
    imgSpiegazione->setVisible(imgSpiegazione->geometry().bottom() < bottomRow - 8); // on a small screen
    btnCerca = button(panAvvio, QStringLiteral("btnCerca"), QStringLiteral("Cerca"));
    btnCerca->setGeometry(area.width() - 40 - 2 * 110 - 10, bottomRow, 110, 32);
    btnAnnulla = button(panAvvio, QStringLiteral("btnAnnulla"), QStringLiteral("Chiudi"));
    btnAnnulla->setGeometry(area.width() - 40 - 110, bottomRow, 110, 32);
    setTabOrder(txtNote, btnCerca);
    setTabOrder(btnCerca, btnAnnulla);

    lblAttendere = new QLabel(QStringLiteral("Ricerca schede in corso. Attendere..."), panAvvio);
    lblAttendere->setObjectName(QStringLiteral("lblAttendere"));
    lblAttendere->setGeometry(40, bottomRow, 400, 32);
    lblAttendere->setStyleSheet(QStringLiteral("color: #8B0000; font-weight: bold; font-size: 11pt;"));
    lblAttendere->hide();

    lblConta = hiddenLabel(panAvvio, QStringLiteral("lblConta"));
    lblMemory = hiddenLabel(this, QStringLiteral("lblMemory"));

    // Result panel.
    panContainer = new QWidget(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    panContainer->setGeometry(area);
    addBanner(panContainer, QStringLiteral("imgRiepilogo"), kListTitle, clients::BannerIcon::Search);
    buildList(panContainer, 92, QStringLiteral("Fare doppio clic sulla voce in elenco per richiamare la scheda"));
    lblTrovate = new QLabel(panContainer);
    lblTrovate->setObjectName(QStringLiteral("lblTrovate"));
    // The count line under the double-click advice, both beside the buttons.
    lblRigo03->move(lblRigo03->x(), lblRigo03->y() - 10);
    lblTrovate->setGeometry(lblRigo03->x(), lblRigo03->geometry().bottom() + 2, lblRigo03->width(), 20);
    lblTrovate->setStyleSheet(QStringLiteral("color: #0E2A44;"));
    panContainer->hide();

    connect(btnCerca, &QPushButton::pressed, lblAttendere, &QWidget::show);
    connect(btnCerca, &QPushButton::released, lblAttendere, &QWidget::hide);
    connect(btnCerca, &QPushButton::clicked, this, &TfrmTrovaClienti::btnCercaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, lblAttendere, &QWidget::hide);
}

QLineEdit *TfrmTrovaClienti::filter(const QString &field) const
{
    return panAvvio->findChild<QLineEdit *>(field);
}

void TfrmTrovaClienti::showEvent(QShowEvent *event)
{
    ClientListWindow::showEvent(event);
    if (event->spontaneous())
        return;
    m_find.forget();
    if (lstRecords->count() > 0)
        lstRecords->setCurrentRow(0);
    txtTrova->clear();
    txtCliente->setFocus();
}

void TfrmTrovaClienti::btnCercaClick()
{
    clients::ClientFilters filters;
    for (const char *name : clients::kFilterFields) {
        const QString field = QString::fromLatin1(name);
        filters.set(field, filter(field)->text());
    }
    lblConta->setText(QString::number(filters.activeCount()));

    lblAttendere->show();
    lblAttendere->repaint();
    QStringList found;
    try {
        found = clients::searchLines(archivePath(), filters);
    } catch (const std::exception &) {
        lblAttendere->hide();
        lstRecords->clear();
        Messages::plain(this, cardTexts::kArchiveAccess);
        return;
    }
    setLines(found);
    lblTrovate->setText(clients::countLine(found.size()));
    lblAttendere->hide();

    panContainer->show();
    panAvvio->hide();
    txtTrova->clear();
    txtTrova->setFocus();
}

void TfrmTrovaClienti::take(const clients::Chosen &chosen)
{
    const QString tag = lblMemory->text();
    if (tag == kTagClients) {
        if (m_card)
            m_card->showRecord(chosen.record, chosen.position);
    } else if (tag == kTagReports || tag == kTagCertificates) {
        if (m_document)
            m_document->takeClient(chosen.record);
    }
}

namespace clients {

void openSearch(TfrmClienti *card)
{
    TfrmTrovaClienti window(card, card);
    window.lblMemory->setText(TfrmTrovaClienti::kTagClients);
    window.exec();
}

void openSearch(QWidget *owner, ClientTarget *document, const QString &callerTag)
{
    TfrmTrovaClienti window(owner, nullptr, document);
    window.lblMemory->setText(callerTag);
    window.exec();
}

} // namespace clients
