#include "frmtrovarapporti.h"

#include <QLabel>

namespace {

ListWindow::Description description(ListWindow *window, const QString &archivePath, reports::ShowReport show)
{
    ListWindow::Description d;
    d.objectName = QStringLiteral("frmTrovaRapporti");
    d.title = QStringLiteral(" Trova rapporti di prova in archivio");
    d.size = QSize(862, 560);
    d.banner = {QStringLiteral("Risultati di ricerca"), ListWindow::BannerIcon::Search,
                QStringLiteral(":/img/reports/bannerRisultati.svg")};
    d.listName = QStringLiteral("Elenco dei rapporti di prova");
    d.chooseText = QStringLiteral("Fare doppio clic sulla voce in elenco per richiamare la scheda");
    d.printTitle = TfrmTrovaRapporti::kListTitle;

    d.criteriaBanner = {QStringLiteral("Trova rapporti di prova"), ListWindow::BannerIcon::Search,
                        QStringLiteral(":/img/reports/bannerTrova.svg")};
    d.criteriaInstructions = QStringLiteral(":/img/reports/istruzioniCerca.svg");
    for (const reports::FilterField &f : reports::kFilters)
        d.filters.append(ListWindow::Filter{f.field, f.caption});
    d.search = [archivePath](const ListWindow::Typed &typed) {
        reports::ReportFilters filters;
        for (const auto &[field, text] : typed)
            filters.set(field, text);
        return reports::searchLines(archivePath, filters);
    };

    d.layout = &records::report();
    d.archivePath = [archivePath] { return archivePath; };
    d.lineOf = reports::lineOf();
    // Only a card that asked as a report card takes the report.
    d.take = [window, show = std::move(show)](const lists::Found &found) {
        if (window->lblMemory->text() == reports::kTagReports && show)
            show(found.record, found.position);
    };
    return d;
}

} // namespace

TfrmTrovaRapporti::TfrmTrovaRapporti(QWidget *owner, const QString &archivePath, reports::ShowReport show)
    : ListWindow(owner, description(this, archivePath, std::move(show)))
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
