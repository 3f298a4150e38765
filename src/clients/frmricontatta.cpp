#include "frmricontatta.h"

#include "clientsearch.h"
#include "frmclienti.h"

#include "storage/log.h"
#include "storage/programfolder.h"

namespace {

QString archivePath()
{
    return ProgramFolder::file(TfrmClienti::kArchiveName);
}

} // namespace

TfrmRicontatta::TfrmRicontatta(QWidget *owner, TfrmClienti *card)
    : ListWindow(owner, {
          .objectName = QStringLiteral("frmRicontatta"),
          .title = QStringLiteral(" Riepilogo clienti da ricontattare"),
          .size = QSize(1180, 600),
          .banner = {kListTitle, BannerIcon::Recontact, {}},
          .listName = QStringLiteral("Elenco dei clienti"),
          .chooseText = QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda"),
          .printTitle = kListTitle,
          .tabs = Tabs::ListTrovaStampa,
          .selectFirst = true,
          // The list as the archive holds it now; a failure keeps what was read, silently.
          .lines =
              [] {
                  lists::Lines lines;
                  try {
                      clients::recontactList(archivePath(), lines);
                  } catch (const std::exception &e) {
                      // What was read so far stays listed, without a message.
                      qCWarning(lcTirello) << "recontact list cut short:" << e.what();
                  }
                  return lines;
              },
          .layout = &records::client(),
          .archivePath = archivePath,
          .lineOf = clients::lineOf(clients::LastColumn::OpenQuestions),
          .take = [card](const lists::Found &found) { card->showRecord(found.record, found.position); },
      })
{
}

namespace clients {

void openRecontact(TfrmClienti *card)
{
    TfrmRicontatta window(card, card);
    window.exec();
}

} // namespace clients
