#include "frmtrovarapporti.h"

#include "ui/documentlists.h"

#include <QLabel>

TfrmTrovaRapporti::TfrmTrovaRapporti(QWidget *owner, const QString &archivePath, reports::ShowReport show)
    : ListWindow(owner, documentWindows::search(
                            {
                                .objectName = QStringLiteral("frmTrovaRapporti"),
                                .title = QStringLiteral(" Trova rapporti di prova in archivio"),
                                .banner = {QStringLiteral("Risultati di ricerca"), BannerIcon::Search,
                                           QStringLiteral(":/img/reports/bannerRisultati.svg")},
                                .listName = QStringLiteral("Elenco dei rapporti di prova"),
                                .printTitle = kListTitle,
                                .criteriaBanner = {QStringLiteral("Trova rapporti di prova"), BannerIcon::Search,
                                                   QStringLiteral(":/img/reports/bannerTrova.svg")},
                            },
                            this, reports::documentLists(), reports::kFilters, archivePath, reports::kTagReports,
                            std::move(show)))
{
}

namespace reports {

void openSearch(QWidget *owner, const QString &archivePath, std::function<void(const records::Record &, int)> show)
{
    TfrmTrovaRapporti window(owner, archivePath, std::move(show));
    window.lblMemory->setText(kTagReports);
    window.exec();
}

} // namespace reports
