#include "frmricontatta.h"

#include "frmclienti.h"

#include "storage/programfolder.h"
#include "storage/recordfile.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

TfrmRicontatta::TfrmRicontatta(QWidget *owner, TfrmClienti *card)
    : ClientListWindow(owner, QStringLiteral("frmRicontatta"), QStringLiteral(" Riepilogo clienti da ricontattare"),
                       QSize(1180, 600), kListTitle, clients::LastColumn::OpenQuestions),
      m_card(card)
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panRiepilogo"));
    panel->setGeometry(rect());
    addBanner(panel, QStringLiteral("imgRiepilogo"), kListTitle, clients::BannerIcon::Recontact);
    buildList(panel, 92, QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda"));
    // The text to find, then the list; the buttons after them.
    setTabOrder(txtTrova, lstRecords);
    setTabOrder(lstRecords, btnTrova);
    setTabOrder(btnTrova, btnStampa);
}

void TfrmRicontatta::showEvent(QShowEvent *event)
{
    ClientListWindow::showEvent(event);
    if (event->spontaneous())
        return;
    m_find.forget();
    txtTrova->clear();
    // The list as the archive holds it now; a failure keeps what was read, silently.
    QStringList lines;
    try {
        clients::recontactLines(ProgramFolder::file(TfrmClienti::kArchiveName), lines);
    } catch (const std::exception &) {
    }
    setLines(lines);
    txtTrova->setFocus();
}

void TfrmRicontatta::take(const clients::Chosen &chosen)
{
    if (m_card)
        m_card->showRecord(chosen.record, chosen.position);
}

namespace clients {

void openRecontact(TfrmClienti *card)
{
    TfrmRicontatta window(card, card);
    window.exec();
}

} // namespace clients
