#include "frmtrovarapporti.h"

#include "ui/documentlists.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The search of the description, with the check box's condition added.
ListWindow::Description withOutOfLimit(ListWindow::Description d, const TfrmTrovaRapporti *window,
                                       const QString &archivePath)
{
    d.search = [window, archivePath](const ListWindow::Typed &typed) {
        reports::ReportFilters filters;
        for (const auto &[field, text] : typed)
            filters.set(field, text);
        return reports::searchList(archivePath, filters, window->chkFuoriLimite->isChecked());
    };
    d.roomBelowFilters = 34; // the check box's row
    return d;
}

} // namespace

TfrmTrovaRapporti::TfrmTrovaRapporti(QWidget *owner, const QString &archivePath, reports::ShowReport show)
    : ListWindow(owner, withOutOfLimit(documentWindows::search(
                                           {
                                               .objectName = QStringLiteral("frmTrovaRapporti"),
                                               .title = QStringLiteral(" Trova rapporti di prova in archivio"),
                                               .banner = {QStringLiteral("Risultati di ricerca"), BannerIcon::Search,
                                                          QStringLiteral(":/img/reports/bannerRisultati.svg")},
                                               .listName = QStringLiteral("Elenco dei rapporti di prova"),
                                               .printTitle = kListTitle,
                                               .criteriaBanner = {QStringLiteral("Trova rapporti di prova"),
                                                                  BannerIcon::Search,
                                                                  QStringLiteral(":/img/reports/bannerTrova.svg")},
                                           },
                                           this, reports::documentLists(), reports::kFilters, archivePath,
                                           reports::kTagReports, std::move(show)),
                                       this, archivePath))
{
    // Under the last filter of the first column, before the buttons.
    QLineEdit *first = filter(QString::fromLatin1(reports::kFilters.front().field));
    QLineEdit *lowest = filter(QString::fromLatin1(reports::kFilters[reports::kFilters.size() / 2 - 1].field));
    QLineEdit *last = filter(QString::fromLatin1(reports::kFilters.back().field));
    chkFuoriLimite = new QCheckBox(QStringLiteral("Solo rapporti con risultati fuori limite"), panAvvio);
    chkFuoriLimite->setObjectName(QStringLiteral("chkFuoriLimite"));
    QFont font(QStringLiteral("Arial"), 10);
    font.setBold(true);
    chkFuoriLimite->setFont(font);
    chkFuoriLimite->setStyleSheet(QStringLiteral("color: #0E2A44;"));
    chkFuoriLimite->setGeometry(first->x(), lowest->geometry().bottom() + 8, 420, 24);
    chkFuoriLimite->setAccessibleName(chkFuoriLimite->text());
    chkFuoriLimite->setAccessibleDescription(kOutOfLimitHint);
    setTabOrder(last, chkFuoriLimite);
    setTabOrder(chkFuoriLimite, btnCerca);
}

namespace reports {

void openSearch(QWidget *owner, const QString &archivePath, std::function<void(const records::Record &, int)> show)
{
    TfrmTrovaRapporti window(owner, archivePath, std::move(show));
    window.lblMemory->setText(kTagReports);
    window.exec();
}

} // namespace reports
