#include "listwindow.h"

#include "storage/log.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"
#include "ui/card.h"
#include "ui/inputrules.h"
#include "ui/linelist.h"
#include "ui/listing.h"
#include "ui/seams.h"
#include "ui/widgets.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QSvgWidget>

namespace {

constexpr int kItemWidth = 1600; // long lines scroll sideways
constexpr int kMargin = 20;

// A ready banner picture and the list under it: 817 wide, less on a small screen.
int pictureWidth(const QWidget *page)
{
    return std::min(817, page->width() - 20);
}

// A picture and the title words on a light plate.
QByteArray listBanner(const QString &title, ListWindow::BannerIcon icon, int w)
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
    if (icon == ListWindow::BannerIcon::Search) {
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

} // namespace

ListWindow::ListWindow(QWidget *owner, Description description) : QDialog(owner), m_d(std::move(description))
{
    look::toolWindow(this, m_d.objectName, m_d.title, m_d.size, look::kSteelBlue);
    // The fields stay white when focused, whatever the card under the window does: a
    // filter is marked by its yellow frame, the quick-find field not at all.
    setStyleSheet(QStringLiteral("QLineEdit, QLineEdit:focus { background-color: white; }"));
    lblMemory = look::hiddenLabel(this, QStringLiteral("lblMemory"));

    if (!m_d.filters.isEmpty())
        buildCriteria();

    panContainer = new QWidget(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    panContainer->setGeometry(rect());
    buildList(panContainer);

    if (panAvvio) {
        panContainer->hide();
    } else if (m_d.lines) {
        lists::Lines lines;
        try {
            lines = m_d.lines();
        } catch (const std::exception &e) {
            // An empty list, without a message: the window lists on opening.
            qCWarning(lcTirello) << objectName() << "list not read:" << e.what();
        }
        setLines(std::move(lines));
    }
}

QSvgWidget *ListWindow::addBanner(QWidget *page, const QString &name, const Banner &banner)
{
    auto *svg = new QSvgWidget(page);
    svg->setObjectName(name);
    svg->setAccessibleName(banner.title);
    if (!banner.picture.isEmpty()) {
        svg->load(banner.picture);
        const int w = pictureWidth(page);
        svg->setGeometry((page->width() - w) / 2, 10, w, 53);
    } else {
        const int w = page->width() - 2 * kMargin;
        svg->load(listBanner(banner.title, banner.icon, w));
        svg->setGeometry(kMargin, 12, w, 64);
    }
    return svg;
}

void ListWindow::buildCriteria()
{
    const QRect area = rect();
    panAvvio = new QWidget(this);
    panAvvio->setObjectName(QStringLiteral("panAvvio"));
    panAvvio->setGeometry(area);
    addBanner(panAvvio, QStringLiteral("imgTitolo"), m_d.criteriaBanner);

    // Under the banner: the decorative photograph, if any, and the instructions in three
    // lines in a white frame with the magnifying glass.
    const int bannerBottom = m_d.criteriaBanner.picture.isEmpty() ? 76 : 63;
    int frameLeft = 40;
    if (!m_d.criteriaPhoto.isEmpty()) {
        auto *photo = new QSvgWidget(m_d.criteriaPhoto, panAvvio);
        photo->setObjectName(QStringLiteral("imgFoto"));
        photo->setGeometry(40, bannerBottom + 8, 96, 60);
        frameLeft = 40 + 96 + 10;
    }
    auto *instructions = new QFrame(panAvvio);
    instructions->setObjectName(QStringLiteral("imgSpiegazione"));
    instructions->setGeometry(frameLeft, bannerBottom + 8, area.width() - 40 - frameLeft, 60);
    instructions->setStyleSheet(QStringLiteral(
        "#imgSpiegazione { background: white; border: 1px solid #1F4E79; border-radius: 6px; }"));
    imgSpiegazione = instructions;
    auto *lens = new QSvgWidget(QStringLiteral(":/img/models/lente.svg"), instructions);
    lens->setObjectName(QStringLiteral("imgLenteCerca"));
    lens->setGeometry(10, 14, 32, 32);
    const QStringList lines{
        QStringLiteral("Digitare nei campi scelti una o pi\u00f9 parole consecutive contenute nelle schede da cercare "
                       "e premere Cerca;"),
        QStringLiteral("lasciare vuoti gli altri campi;"),
        QStringLiteral("ogni ricerca pu\u00f2 utilizzare uno o pi\u00f9 campi insieme."),
    };
    auto *text = new QLabel(lines.join(u'\n'), instructions);
    text->setObjectName(QStringLiteral("lblSpiegazione"));
    text->setGeometry(52, 4, instructions->width() - 60, 52);
    text->setStyleSheet(QStringLiteral("color: #0E2A44; font-size: 8pt;"));
    text->setWordWrap(true);
    instructions->setAccessibleName(lines.join(u' '));

    // The filters in two columns, top to bottom.
    QFont fieldFont(QStringLiteral("Verdana"), 11);
    QFont captionFont(QStringLiteral("Arial"), 10);
    captionFont.setBold(true);
    const int top = instructions->geometry().bottom() + 8;
    const int perColumn = int(m_d.filters.size() + 1) / 2;
    const int bottomRow = area.height() - 46;
    const int columnWidth = (area.width() - 3 * 40) / 2;
    const int step = std::min(76, (bottomRow - top - 10 - m_d.roomBelowFilters) / std::max(1, perColumn));
    QList<QWidget *> chain;
    for (int i = 0; i < m_d.filters.size(); ++i) {
        const Filter &f = m_d.filters[i];
        auto *edit = new QLineEdit(panAvvio);
        edit->setObjectName(QString::fromLatin1(f.field));
        edit->setFont(fieldFont);
        const int column = m_d.filtersByRow ? i % 2 : i / perColumn;
        const int row = m_d.filtersByRow ? i / 2 : i % perColumn;
        const int x = 40 + column * (columnWidth + 40);
        const int y = top + row * step;
        QLabel *caption = look::caption(panAvvio, QString::fromUtf8(f.caption), edit);
        caption->setFont(captionFont);
        caption->setStyleSheet(QStringLiteral("color: #0E2A44;"));
        caption->setGeometry(x, y, columnWidth, 22);
        edit->setGeometry(x, y + 24, columnWidth, std::min(30, step - 28));
        // The field with the focus is framed in yellow.
        look::focusFrame(edit, QStringLiteral("eff") + QString::fromLatin1(f.field).mid(3), 3);
        m_filters.append(edit);
        chain.append(edit);
    }
    for (qsizetype i = 0; i + 1 < chain.size(); ++i)
        setTabOrder(chain[i], chain[i + 1]);
    rules::enterChain(chain);

    // "Chiudi" at the left, the search at the right.
    btnAnnulla = look::button(panAvvio, QStringLiteral("btnAnnulla"), QStringLiteral("Chiudi"), true);
    btnAnnulla->setGeometry(area.width() - 40 - 2 * 110 - 10, bottomRow, 110, 32);
    btnCerca = look::button(panAvvio, QStringLiteral("btnCerca"), QStringLiteral("Cerca"), true);
    btnCerca->setGeometry(area.width() - 40 - 110, bottomRow, 110, 32);
    setTabOrder(chain.last(), btnCerca);
    setTabOrder(btnCerca, btnAnnulla);

    lblAttendere = new QLabel(QStringLiteral("Ricerca schede in corso. Attendere..."), panAvvio);
    lblAttendere->setObjectName(QStringLiteral("lblAttendere"));
    lblAttendere->setGeometry(40, bottomRow, 400, 32);
    lblAttendere->setStyleSheet(QStringLiteral("color: #8B0000; font-weight: bold; font-size: 11pt;"));
    lblAttendere->hide();
    lblConta = look::hiddenLabel(panAvvio, QStringLiteral("lblConta"));

    connect(btnCerca, &QPushButton::pressed, lblAttendere, &QWidget::show);
    connect(btnCerca, &QPushButton::released, lblAttendere, &QWidget::hide);
    connect(btnCerca, &QPushButton::clicked, this, &ListWindow::btnCercaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, lblAttendere, &QWidget::hide);
}

void ListWindow::buildList(QWidget *page)
{
    const int w = page->width();
    const int h = page->height();
    const bool picture = !m_d.banner.picture.isEmpty();
    const int left = picture ? (w - pictureWidth(page)) / 2 : kMargin;
    const int right = picture ? left + pictureWidth(page) : w - kMargin;
    imgLogo = addBanner(page, picture ? QStringLiteral("imgLogo") : QStringLiteral("imgRiepilogo"), m_d.banner);

    int top = 92;
    int findLeft = left;
    if (picture) {
        icoIstruzioni = new QSvgWidget(QStringLiteral(":/img/models/istruzioni.svg"), page);
        icoIstruzioni->setObjectName(QStringLiteral("icoIstruzioni"));
        icoIstruzioni->setGeometry(left, 72, 642, 32);
        icoIstruzioni->setAccessibleName(
            QStringLiteral("Digitare una o pi\u00f9 parole consecutive della voce cercata e premere Trova; "
                           "premere di nuovo Trova per passare alla voce successiva con le stesse parole."));
        imgLente = new QSvgWidget(QStringLiteral(":/img/models/lente.svg"), page);
        imgLente->setObjectName(QStringLiteral("imgLente"));
        imgLente->setGeometry(left, 113, 32, 32);
        if (m_d.lensFinds) {
            // A white frame around the glass; a click on either finds.
            auto *frame = new QFrame(page);
            frame->setObjectName(QStringLiteral("shpLente"));
            frame->setGeometry(left, 113, 32, 32);
            frame->setStyleSheet(QStringLiteral(
                "#shpLente { background: white; border: 1px solid #1F4E79; border-radius: 4px; }"));
            frame->setCursor(Qt::PointingHandCursor);
            frame->installEventFilter(this);
            imgLente->setGeometry(left + 3, 116, 26, 26);
            imgLente->raise();
            imgLente->setCursor(Qt::PointingHandCursor);
            imgLente->installEventFilter(this);
            m_lensFrame = frame;
        }
        top = 113;
        findLeft = left + 40;
    }

    txtTrova = new QLineEdit(page);
    txtTrova->setObjectName(QStringLiteral("txtTrova"));
    QFont ff(QStringLiteral("Verdana"), 12);
    ff.setBold(true);
    txtTrova->setFont(ff);
    txtTrova->setGeometry(findLeft, top, std::min(620, right - findLeft - 122), 32);
    txtTrova->setAccessibleName(QStringLiteral("Testo da cercare"));

    btnTrova = look::button(page, QStringLiteral("btnTrova"), QStringLiteral("Trova"), true);
    btnTrova->setGeometry(txtTrova->geometry().right() + 12, top, 110, 32);
    rules::enterMoves(txtTrova, [this] { return btnTrova; });

    const int bottomRow = h - 46;
    lstRecords = new LineList(page);
    lstRecords->setObjectName(QStringLiteral("lstRecords"));
    lstRecords->setGeometry(left, top + 44, right - left, bottomRow - 12 - (top + 44));
    lstRecords->setFont(QFont(QStringLiteral("Courier New"), 12));
    lstRecords->setStyleSheet(QStringLiteral("QListView { color: black; background: white; }"));
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setAccessibleName(m_d.listName);
    lstRecords->installEventFilter(this);
    lstRecords->viewport()->installEventFilter(this);

    lblRigo03 = new QLabel(m_d.chooseText, page);
    lblRigo03->setObjectName(QStringLiteral("lblRigo03"));
    lblRigo03->setGeometry(left, bottomRow + 6, right - left - 2 * 110 - 30, 20);
    lblRigo03->setStyleSheet(QStringLiteral("color: #0E2A44; font-weight: bold;"));

    // "Chiudi" at the left, the print at the right.
    btnChiudi = look::button(page, QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"), true);
    btnChiudi->setGeometry(right - 2 * 110 - 10, bottomRow, 110, 32);
    btnStampa = look::button(page, QStringLiteral("btnStampa"), QStringLiteral("Stampa"), true);
    btnStampa->setGeometry(right - 110, bottomRow, 110, 32);

    QList<QWidget *> tabs;
    switch (m_d.tabs) {
    case Tabs::TrovaListStampa: tabs = {txtTrova, btnTrova, lstRecords, btnStampa}; break;
    case Tabs::ListTrovaStampa: tabs = {txtTrova, lstRecords, btnTrova, btnStampa}; break;
    case Tabs::ListStampaTrova: tabs = {txtTrova, lstRecords, btnStampa, btnTrova}; break;
    }
    tabs.append(btnChiudi);
    for (qsizetype i = 0; i + 1 < tabs.size(); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);

    if (panAvvio) {
        // The count line under the double-click advice, both beside the buttons.
        lblTrovate = new QLabel(page);
        lblTrovate->setObjectName(QStringLiteral("lblTrovate"));
        lblRigo03->move(lblRigo03->x(), lblRigo03->y() - 10);
        lblTrovate->setGeometry(lblRigo03->x(), lblRigo03->geometry().bottom() + 2, lblRigo03->width(), 20);
        lblTrovate->setStyleSheet(QStringLiteral("color: #0E2A44;"));
    }

    connect(btnTrova, &QPushButton::clicked, this, &ListWindow::btnTrovaClick);
    connect(btnStampa, &QPushButton::clicked, this, &ListWindow::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit *ListWindow::filter(const QString &field) const
{
    for (QLineEdit *e : m_filters)
        if (e->objectName() == field)
            return e;
    return nullptr;
}

void ListWindow::setLines(lists::Lines lines)
{
    lstRecords->setLines(std::move(lines), kItemWidth);
    if (m_d.selectFirst && lstRecords->count() > 0)
        lstRecords->setCurrentRow(0);
}

QStringList ListWindow::lines() const
{
    return lstRecords->lines().texts();
}

int ListWindow::selectedLine() const
{
    return lstRecords->selectedRow();
}

void ListWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_find.forget();
    if (m_d.selectFirst && lstRecords->count() > 0)
        lstRecords->setCurrentRow(0);
    txtTrova->clear();
    if (panAvvio && panAvvio->isVisible() && !m_filters.isEmpty())
        m_filters.first()->setFocus();
    else
        txtTrova->setFocus();
}

void ListWindow::btnCercaClick()
{
    Typed typed;
    int active = 0;
    for (QLineEdit *e : std::as_const(m_filters)) {
        typed.append({e->objectName(), e->text()});
        if (!text::isBlank(e->text()))
            ++active;
    }
    lblConta->setText(QString::number(active));

    lblAttendere->show();
    lblAttendere->repaint();
    lists::Lines found;
    try {
        found = m_d.search(typed);
    } catch (const std::exception &e) {
        qCWarning(lcTirello) << objectName() << "search failed:" << e.what();
        lblAttendere->hide();
        lstRecords->clear();
        Messages::plain(this, cardTexts::kArchiveAccess);
        return;
    }
    const qsizetype count = found.size();
    setLines(std::move(found));
    lblTrovate->setText(lists::countLine(count));
    lblAttendere->hide();

    panContainer->show();
    panAvvio->hide();
    txtTrova->clear();
    txtTrova->setFocus();
}

void ListWindow::btnTrovaClick()
{
    if (lstRecords->count() == 0) {
        Messages::plain(this, kEmptyList);
        return;
    }
    const int line = m_find.findIn(lstRecords->lines(), selectedLine(), txtTrova->text());
    lstRecords->setCurrentRow(line);
    lstRecords->scrollTo(lstRecords->model()->index(line, 0));
}

void ListWindow::btnStampaClick()
{
    listing::print(this, m_d.printTitle, lines());
}

void ListWindow::lstRecordsDblClick()
{
    try {
        const int line = selectedLine();
        if (line >= 0 && m_d.take) {
            const auto found = lists::lastRecordOfLine(m_d.archivePath(), *m_d.layout, m_d.lineOf,
                                                       lstRecords->line(line));
            if (found)
                m_d.take(*found);
        }
    } catch (const std::exception &e) {
        // The window closes all the same, without a message.
        qCWarning(lcTirello) << objectName() << "chosen line not found again:" << e.what();
    }
    accept();
}

void ListWindow::done(int result)
{
    lstRecords->clear();
    QDialog::done(result);
}

bool ListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstRecords && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // The keyboard's way to choose the selected line; never a button's Enter.
            if (selectedLine() >= 0)
                QMetaObject::invokeMethod(this, &ListWindow::lstRecordsDblClick, Qt::QueuedConnection);
            return true;
        }
    } else if ((watched == imgLente || watched == m_lensFrame) && event->type() == QEvent::MouseButtonRelease
               && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        btnTrovaClick();
        return true;
    } else if (watched == lstRecords->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // After the view has had the click; a double click on the empty part of the list
        // chooses the selected line too.
        QMetaObject::invokeMethod(this, &ListWindow::lstRecordsDblClick, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}
