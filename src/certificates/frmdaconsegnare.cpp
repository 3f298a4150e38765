#include "frmdaconsegnare.h"

#include "ui/documentlists.h"

TfrmDaConsegnare::TfrmDaConsegnare(QWidget *owner, const QString &archivePath, certificates::ShowCertificate show)
    : ListWindow(owner,
                 documentWindows::undelivered(
                     {
                         .objectName = QStringLiteral("frmDaConsegnare"),
                         .title = QStringLiteral(" Riepilogo certificati di analisi non consegnati ai committenti"),
                         .banner = {QStringLiteral("Certificati non consegnati"), BannerIcon::Search,
                                    QStringLiteral(":/img/certificates/bannerDaConsegnare.svg")},
                         .listName = QStringLiteral("Elenco dei certificati di analisi non consegnati"),
                         .printTitle = kListTitle,
                         .tabs = Tabs::ListStampaTrova,
                         .lensFinds = true,
                     },
                     certificates::documentLists(), archivePath, std::move(show)))
{
    certificates::adviseInCrimson(*this);
}

namespace certificates {

void openUndelivered(QWidget *owner, const QString &archivePath, std::function<void(const records::Record &, int)> show)
{
    TfrmDaConsegnare window(owner, archivePath, std::move(show));
    window.exec();
}

} // namespace certificates
