#include "frmtrovaparametri.h"

#include "frmparametri.h"

namespace models {

ListWindow::Description listDescription()
{
    ListWindow::Description d;
    d.size = QSize(862, 560);
    d.listName = QStringLiteral("Elenco dei modelli di analisi");
    d.chooseText = QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda");
    d.printTitle = kListTitle;
    d.lines = [] { return modelList(archivePath()); };
    d.layout = &records::model();
    d.archivePath = archivePath;
    d.lineOf = lineOf();
    return d;
}

} // namespace models

namespace {

ListWindow::Description searchDescription(TfrmParametri *card)
{
    ListWindow::Description d = models::listDescription();
    d.objectName = QStringLiteral("frmTrovaParametri");
    d.title = QStringLiteral(" Trova modelli di analisi in archivio");
    d.banner = {models::kListTitle, ListWindow::BannerIcon::Search, QStringLiteral(":/img/models/bannerTrova.svg")};
    // The card stays on its page.
    d.take = [card](const lists::Found &found) { card->showRecord(found.record, found.position); };
    return d;
}

ListWindow::Description importDescription(records::FieldTarget *target)
{
    ListWindow::Description d = models::listDescription();
    d.objectName = QStringLiteral("frmImportaParametri");
    d.title = QStringLiteral(" Importa dati da modello di analisi");
    d.banner = {QStringLiteral("Importa modello di analisi"), ListWindow::BannerIcon::Search,
                QStringLiteral(":/img/models/bannerImporta.svg")};
    d.take = [target](const lists::Found &found) {
        records::copyFields(found.record, models::importedFields(), *target);
    };
    return d;
}

} // namespace

TfrmTrovaParametri::TfrmTrovaParametri(QWidget *owner, TfrmParametri *card)
    : ListWindow(owner, searchDescription(card))
{
}

TfrmImportaParametri::TfrmImportaParametri(QWidget *owner, records::FieldTarget *target)
    : ListWindow(owner, importDescription(target))
{
}

namespace models {

void openSearch(TfrmParametri *card)
{
    TfrmTrovaParametri window(card, card);
    window.exec();
}

void openImport(QWidget *owner, records::FieldTarget *target)
{
    TfrmImportaParametri window(owner, target);
    window.exec();
}

} // namespace models
