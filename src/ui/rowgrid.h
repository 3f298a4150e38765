#pragma once
// A grid of result or parameter rows on pages: rows x columns of edit fields, a fixed
// number of rows per page, one page shown at a time, with the headings over each page and
// the page buttons and page label below. Each cell is named after its record field and
// its row number in two digits (txtParametro01, txtMetodo16, ...).

#include <QFrame>
#include <QList>

class QLabel;
class QLineEdit;
class QPushButton;

class PagedRowGrid : public QFrame {
    Q_OBJECT
public:
    struct Column {
        const char *field;   // record field prefix: "txtParametro"
        const char *heading; // over the column: "PARAMETRO"
        const char *spoken;  // accessible name with the row number: "Parametro 1"
        int width;           // pixels
    };
    // The names of the page controls under a page's rows, when each page has its own.
    struct PageFooter {
        QString back;  // "<<  Indietro" (disabled on the first page)
        QString label; // "pag. n / m"
        QString next;  // "Avanti  >>" (disabled on the last page)
    };
    struct Setup {
        QString objectName; // the frame: "panParametri"
        QString pagePrefix; // the pages: "panPag" gives panPag01, panPag02, ...
        QList<Column> columns;
        int rows = 30;
        int perPage = 15;
        int width = 815; // the frame
        QFont font;
        // Empty: one set of page controls under the pages (btnIndietro, lblPag, btnAvanti).
        // Otherwise one set per page, inside the page, with these names.
        QList<PageFooter> footers;
    };
    PagedRowGrid(QWidget *parent, const Setup &setup);

    static QString cellName(const QString &field, int row); // txtParametro + two digits
    // "pag. 1 / 2"
    static QString pageText(int page, int pages);

    int pageCount() const { return int(m_pages.size()); }
    int page() const; // 1-based
    // Shows one page and hides the others; the page buttons follow.
    void showPage(int page);
    // The next or previous page, with the focus on its first field.
    void btnAvantiClick();
    void btnIndietroClick();

    QWidget *pagePanel(int page) const { return m_pages.value(page - 1); }
    QLineEdit *cell(const QString &field, int row) const;
    // The first column of the page's first row.
    QLineEdit *firstFieldOf(int page) const;
    // Every cell row by row, left to right, each page followed by its page buttons.
    QList<QWidget *> tabOrder() const;
    // Headings, pages and labels: moving over them empties a status line.
    QList<QWidget *> backgrounds() const { return m_backgrounds; }

    // The page controls of a page (the shared ones when the pages have none of their own).
    QPushButton *backButton(int page) const;
    QPushButton *nextButton(int page) const;
    QLabel *pageLabel(int page) const;

    // The shared page controls; null when each page has its own.
    QPushButton *btnIndietro = nullptr;
    QPushButton *btnAvanti = nullptr;
    QLabel *lblPag = nullptr;

private:
    struct Footer {
        QPushButton *back;
        QLabel *label;
        QPushButton *next;
    };
    Footer makeFooter(QWidget *parent, int y, int width, const PageFooter &names, const QString &label);
    const Footer &footer(int page) const;

    Setup m_setup;
    QList<QWidget *> m_pages;
    QList<Footer> m_footers; // one shared, or one per page
    QList<QWidget *> m_backgrounds;
};
