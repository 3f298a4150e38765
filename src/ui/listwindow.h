#pragma once
// The list window every search and summary stands on: the records of an archive one per
// fixed-width line, a quick find by a few words, the printed listing, and the record
// behind a double-clicked line handed to the window's caller. A search adds a criteria
// page of filters before the list. A concrete list window is a description of its texts,
// its lines and what choosing a line does.

#include "storage/lists.h"
#include "storage/records.h"
#include "ui/linelist.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QSvgWidget;

class ListWindow : public QDialog {
    Q_OBJECT
public:
    static inline const QString kEmptyList =
        QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce.");

    enum class BannerIcon { Search, Recontact };
    // The banner across the top of a page: drawn with the title words and an icon, or a
    // ready picture (then an instruction strip and a magnifying glass go with the list).
    struct Banner {
        QString title; // the words, and the banner's accessible name
        BannerIcon icon = BannerIcon::Search;
        QString picture; // ":/img/..." instead of the drawn banner
    };
    struct Filter {
        const char *field; // the record field; also the filter edit's name
        const char *caption;
    };
    using Typed = QList<std::pair<QString, QString>>; // filter field, text as typed
    // The tab order of the list page from the find field to Chiudi, which comes last.
    enum class Tabs { TrovaListStampa, ListTrovaStampa, ListStampaTrova };

    struct Description {
        QString objectName;
        QString title;
        QSize size; // client area, no larger than the screen
        Banner banner;
        QString listName;   // accessible name of the list
        QString chooseText; // lblRigo03
        QString printTitle; // the printed listing's title
        Tabs tabs = Tabs::TrovaListStampa;
        bool selectFirst = false; // the first line starts selected
        bool lensFinds = false;   // a click on the magnifying glass runs Trova (picture banner)

        // The lines of a list without criteria, read when the window is made; a failure
        // keeps what was read, silently.
        std::function<lists::Lines()> lines;

        // A search: the criteria page with these filters in two columns, then the list
        // page with the count line. `search` throws ArchiveError.
        Banner criteriaBanner;
        // A decorative photograph at the left of the instructions on the criteria page.
        QString criteriaPhoto;
        QList<Filter> filters;
        bool filtersByRow = false; // two to a row, left then right; else down each column
        int roomBelowFilters = 0;  // pixels kept free under the filters for a window's own controls
        std::function<lists::Lines(const Typed &)> search;

        // Choosing a line: the last record of the archive with an equal line goes to
        // `take`; then the window closes. Any failure closes it without a word.
        const records::Layout *layout = nullptr;
        std::function<QString()> archivePath;
        lists::LineOf lineOf;
        std::function<void(const lists::Found &)> take;
    };

    ListWindow(QWidget *owner, Description description);

    // Criteria page (a search only; null otherwise).
    QWidget *panAvvio = nullptr;
    QWidget *imgSpiegazione = nullptr; // the instructions in their white frame
    QPushButton *btnCerca = nullptr;
    QPushButton *btnAnnulla = nullptr;
    QLabel *lblConta = nullptr;
    QLabel *lblAttendere = nullptr;
    QLabel *lblTrovate = nullptr;
    // The caller's tag.
    QLabel *lblMemory = nullptr;

    // List page.
    QWidget *panContainer = nullptr;
    QSvgWidget *imgLogo = nullptr;
    QSvgWidget *icoIstruzioni = nullptr; // with a picture banner only
    QSvgWidget *imgLente = nullptr;      // with a picture banner only
    QLineEdit *txtTrova = nullptr;
    QPushButton *btnTrova = nullptr;
    LineList *lstRecords = nullptr;
    QLabel *lblRigo03 = nullptr;
    QPushButton *btnStampa = nullptr;
    QPushButton *btnChiudi = nullptr;

    QLineEdit *filter(const QString &field) const; // null outside a search
    QStringList lines() const;
    int selectedLine() const; // -1 when no line is selected
    void setLines(lists::Lines lines);

    void btnCercaClick();
    void btnTrovaClick();
    void btnStampaClick();
    // Finds the record of the selected line, hands it over and closes the window.
    void lstRecordsDblClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildCriteria();
    void buildList(QWidget *page);
    QSvgWidget *addBanner(QWidget *page, const QString &name, const Banner &banner);

    Description m_d;
    lists::QuickFind m_find;
    QList<QLineEdit *> m_filters;
    QWidget *m_lensFrame = nullptr;
};
