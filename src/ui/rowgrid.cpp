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
    const int pageH = kHeadingH + 4 + (setup.perPage - 1) * kRowStep + kFieldH;
    const int pages = (setup.rows + setup.perPage - 1) / setup.perPage;

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
    }

    // Page controls below the rows.
    const int controlsY = kMargin + pageH + 10;
    btnIndietro = new QPushButton(QStringLiteral("<<  Indietro"), this);
    btnIndietro->setObjectName(QStringLiteral("btnIndietro"));
    btnIndietro->setGeometry(10, controlsY, 130, kButtonH);
    btnAvanti = new QPushButton(QStringLiteral("Avanti  >>"), this);
    btnAvanti->setObjectName(QStringLiteral("btnAvanti"));
    btnAvanti->setGeometry(setup.width - 10 - 130, controlsY, 130, kButtonH);
    for (QPushButton *b : {btnIndietro, btnAvanti}) {
        b->setAccessibleName(b->text().remove(u'<').remove(u'>').trimmed());
        b->setCursor(Qt::PointingHandCursor);
        b->setStyleSheet(QStringLiteral("font-weight: bold;"));
    }
    lblPag = new QLabel(pageText(1, pages), this);
    lblPag->setObjectName(QStringLiteral("lblPag"));
    lblPag->setGeometry((setup.width - 200) / 2, controlsY, 200, kButtonH);
    lblPag->setAlignment(Qt::AlignCenter);
    lblPag->setStyleSheet(QStringLiteral("font-weight: bold; color: #0E2A44; background: transparent;"));
    m_backgrounds.append(lblPag);

    resize(setup.width, controlsY + kButtonH + 8);

    connect(btnAvanti, &QPushButton::clicked, this, &PagedRowGrid::btnAvantiClick);
    connect(btnIndietro, &QPushButton::clicked, this, &PagedRowGrid::btnIndietroClick);
    showPage(1);
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
    lblPag->setText(pageText(page, pageCount()));
    btnAvanti->setEnabled(page < pageCount());
    btnIndietro->setEnabled(page > 1);
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
    for (int row = 1; row <= m_setup.rows; ++row)
        for (const Column &c : m_setup.columns)
            order.append(cell(QString::fromLatin1(c.field), row));
    order << btnIndietro << btnAvanti;
    return order;
}
