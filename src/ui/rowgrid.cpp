#include "rowgrid.h"

#include "ui/widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kRowStep = 26; // one row below the other
constexpr int kFieldH = 24;
constexpr int kHeadingH = 22;
constexpr int kMargin = 6;
constexpr int kButtonH = 30;

} // namespace

PagedRowGrid::PagedRowGrid(QWidget *parent, const Setup &setup) : QFrame(parent), m_setup(setup)
{
    setObjectName(setup.objectName);
    look::setSectionLook(this);
    m_backgrounds.append(this);

    int columnsWidth = 0;
    for (const Column &c : setup.columns)
        columnsWidth += c.width + 4;
    const int pageW = setup.width - 2 * kMargin;
    const int rowsH = kHeadingH + 4 + (setup.perPage - 1) * kRowStep + kFieldH;
    const int pages = (setup.rows + setup.perPage - 1) / setup.perPage;
    const bool ownFooters = !setup.footers.isEmpty();
    const int pageH = ownFooters ? rowsH + 10 + kButtonH : rowsH;

    for (int pg = 1; pg <= pages; ++pg) {
        auto *page = new QWidget(this);
        page->setObjectName(setup.pagePrefix + QStringLiteral("%1").arg(pg, 2, 10, QLatin1Char('0')));
        page->setGeometry(kMargin, kMargin, pageW, pageH);
        m_pages.append(page);
        m_backgrounds.append(page);

        auto *band = new QFrame(page);
        band->setObjectName(QStringLiteral("shpTitoli%1").arg(pg, 2, 10, QLatin1Char('0')));
        band->setGeometry(0, 0, pageW, kHeadingH);
        band->setStyleSheet(QStringLiteral("background-color: #1F4E79; border-radius: 3px;"));
        m_backgrounds.append(band);

        int x = 4;
        for (const Column &c : setup.columns) {
            auto *t = new QLabel(QString::fromUtf8(c.heading), band);
            t->setObjectName(QStringLiteral("tit%1_%2").arg(QString::fromLatin1(c.field).mid(3)).arg(pg));
            t->setGeometry(x, 0, c.width, kHeadingH);
            t->setAlignment(Qt::AlignCenter);
            t->setStyleSheet(QStringLiteral("color: white; font-weight: bold; background: transparent;"));
            m_backgrounds.append(t);
            x += c.width + 4;
        }
        for (int r = 0; r < setup.perPage; ++r) {
            const int row = (pg - 1) * setup.perPage + r + 1;
            if (row > setup.rows)
                break;
            int cx = 4;
            for (const Column &c : setup.columns) {
                auto *e = new QLineEdit(page);
                e->setObjectName(cellName(QString::fromLatin1(c.field), row));
                e->setFont(setup.font);
                e->setGeometry(cx, kHeadingH + 4 + r * kRowStep, c.width, kFieldH);
                e->setAccessibleName(QStringLiteral("%1 %2").arg(QString::fromUtf8(c.spoken)).arg(row));
                cx += c.width + 4;
            }
        }
        if (ownFooters)
            m_footers.append(makeFooter(page, rowsH + 10, pageW, setup.footers.value(pg - 1),
                                        pageText(pg, pages)));
    }

    if (ownFooters) {
        resize(setup.width, kMargin + pageH + 8);
    } else {
        // One set of page controls below the pages.
        const int controlsY = kMargin + pageH + 10;
        const Footer shared = makeFooter(this, controlsY, setup.width,
                                         {QStringLiteral("btnIndietro"), QStringLiteral("lblPag"),
                                          QStringLiteral("btnAvanti")},
                                         pageText(1, pages));
        m_footers.append(shared);
        btnIndietro = shared.back;
        btnAvanti = shared.next;
        lblPag = shared.label;
        resize(setup.width, controlsY + kButtonH + 8);
    }
    for (const Footer &f : std::as_const(m_footers)) {
        connect(f.next, &QPushButton::clicked, this, &PagedRowGrid::btnAvantiClick);
        connect(f.back, &QPushButton::clicked, this, &PagedRowGrid::btnIndietroClick);
    }
    showPage(1);
}

PagedRowGrid::Footer PagedRowGrid::makeFooter(QWidget *parent, int y, int width, const PageFooter &names,
                                              const QString &label)
{
    Footer f;
    f.back = new QPushButton(QStringLiteral("<<  Indietro"), parent);
    f.back->setObjectName(names.back);
    f.back->setGeometry(10, y, 130, kButtonH);
    f.next = new QPushButton(QStringLiteral("Avanti  >>"), parent);
    f.next->setObjectName(names.next);
    f.next->setGeometry(width - 10 - 130, y, 130, kButtonH);
    for (QPushButton *b : {f.back, f.next}) {
        b->setAccessibleName(b->text().remove(u'<').remove(u'>').trimmed());
        b->setCursor(Qt::PointingHandCursor);
        b->setStyleSheet(QStringLiteral("font-weight: bold;"));
    }
    f.label = new QLabel(label, parent);
    f.label->setObjectName(names.label);
    f.label->setGeometry((width - 200) / 2, y, 200, kButtonH);
    f.label->setAlignment(Qt::AlignCenter);
    f.label->setStyleSheet(QStringLiteral("font-weight: bold; color: #0E2A44; background: transparent;"));
    m_backgrounds.append(f.label);
    return f;
}

const PagedRowGrid::Footer &PagedRowGrid::footer(int page) const
{
    return m_footers.size() == 1 ? m_footers.first() : m_footers[qBound(0, page - 1, int(m_footers.size()) - 1)];
}

QPushButton *PagedRowGrid::backButton(int page) const
{
    return footer(page).back;
}

QPushButton *PagedRowGrid::nextButton(int page) const
{
    return footer(page).next;
}

QLabel *PagedRowGrid::pageLabel(int page) const
{
    return footer(page).label;
}

QString PagedRowGrid::cellName(const QString &field, int row)
{
    return field + QStringLiteral("%1").arg(row, 2, 10, QLatin1Char('0'));
}

QString PagedRowGrid::pageText(int page, int pages)
{
    return QStringLiteral("pag. %1 / %2").arg(page).arg(pages);
}

int PagedRowGrid::page() const
{
    for (int i = 0; i < m_pages.size(); ++i)
        if (m_pages[i]->isVisibleTo(this))
            return i + 1;
    return 1;
}

void PagedRowGrid::showPage(int page)
{
    page = qBound(1, page, pageCount());
    for (int i = 0; i < m_pages.size(); ++i)
        m_pages[i]->setVisible(i + 1 == page);
    if (lblPag) {
        lblPag->setText(pageText(page, pageCount()));
        btnAvanti->setEnabled(page < pageCount());
        btnIndietro->setEnabled(page > 1);
    } else {
        // Each page keeps its own controls; the first page cannot go back, the last on.
        for (int p = 1; p <= pageCount(); ++p) {
            backButton(p)->setEnabled(p > 1);
            nextButton(p)->setEnabled(p < pageCount());
        }
    }
}

void PagedRowGrid::btnAvantiClick()
{
    showPage(page() + 1);
    firstFieldOf(page())->setFocus();
}

void PagedRowGrid::btnIndietroClick()
{
    showPage(page() - 1);
    firstFieldOf(page())->setFocus();
}

QLineEdit *PagedRowGrid::cell(const QString &field, int row) const
{
    return findChild<QLineEdit *>(cellName(field, row));
}

QLineEdit *PagedRowGrid::firstFieldOf(int page) const
{
    return cell(QString::fromLatin1(m_setup.columns.first().field), (page - 1) * m_setup.perPage + 1);
}

QList<QWidget *> PagedRowGrid::tabOrder() const
{
    QList<QWidget *> order;
    for (int row = 1; row <= m_setup.rows; ++row) {
        for (const Column &c : m_setup.columns)
            order.append(cell(QString::fromLatin1(c.field), row));
        const bool lastOfPage = row % m_setup.perPage == 0 || row == m_setup.rows;
        if (lastOfPage && m_footers.size() > 1) {
            const int page = (row - 1) / m_setup.perPage + 1;
            order << backButton(page) << nextButton(page);
        }
    }
    if (m_footers.size() == 1)
        order << btnIndietro << btnAvanti;
    return order;
}
