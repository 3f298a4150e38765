#include "frmtrovaclienti.h"

#include "frmclienti.h"

#include "storage/programfolder.h"

#include <QLabel>

namespace {

QString archivePath()
{
    return ProgramFolder::file(TfrmClienti::kArchiveName);
}

} // namespace

TfrmTrovaClienti::TfrmTrovaClienti(QWidget *owner, TfrmClienti *card, records::FieldTarget *document)
    : ListWindow(owner, {
          .objectName = QStringLiteral("frmTrovaClienti"),
          .title = QStringLiteral(" Trova clienti in archivio"),
          .size = QSize(1180, 640),
          .banner = {kListTitle, BannerIcon::Search, {}},
          .listName = QStringLiteral("Elenco dei clienti"),
          .chooseText = QStringLiteral("Fare doppio clic sulla voce in elenco per richiamare la scheda"),
          .printTitle = kListTitle,
          .selectFirst = true,
          .criteriaBanner = {QStringLiteral("Trova clienti in archivio"), BannerIcon::Search, {}},
          .filters = {{"txtCliente", "Cognome e nome cliente:"},
                      {"txtComuneRes", "Comune di residenza:"},
                      {"txtPartitaIva", "Partita IVA:"},
                      {"txtCodFisc", "Codice fiscale:"},
                      {"txtDocumento", "Estremi documento:"},
                      {"txtOccupazione", "Occupazione:"},
                      {"txtProdotti", "Prodotti e servizi di interesse:"},
                      {"txtZona", "Zona di appartenenza:"},
                      {"txtQuestioni", "Questioni in sospeso:"},
                      {"txtNote", "Note:"}},
          .search =
              [](const Typed &typed) {
                  clients::ClientFilters filters;
                  for (const auto &[field, text] : typed)
                      filters.set(field, text);
                  return clients::searchList(archivePath(), filters);
              },
          .layout = &records::client(),
          .archivePath = archivePath,
          .lineOf = clients::lineOf(clients::LastColumn::Notes),
          .take =
              [this, card, document](const lists::Found &found) {
                  const QString tag = lblMemory->text();
                  if (tag == kTagClients) {
                      if (card)
                          card->showRecord(found.record, found.position);
                  } else if (tag == kTagReports || tag == kTagCertificates) {
                      if (document)
                          records::copyFields(found.record, clients::documentClientFields(), *document);
                  }
              },
      })
{
}

namespace clients {

void openSearch(TfrmClienti *card)
{
    TfrmTrovaClienti window(card, card);
    window.lblMemory->setText(TfrmTrovaClienti::kTagClients);
    window.exec();
}

void openSearch(QWidget *owner, records::FieldTarget *document, const QString &callerTag)
{
    TfrmTrovaClienti window(owner, nullptr, document);
    window.lblMemory->setText(callerTag);
    window.exec();
}

} // namespace clients
