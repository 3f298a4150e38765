#include "frmnonconsegnati.h"

#include "ui/documentlists.h"

TfrmNonConsegnati::TfrmNonConsegnati(QWidget *owner, const QString &archivePath, reports::ShowReport show)
    : ListWindow(owner, documentWindows::undelivered(
                            {
                                .objectName = QStringLiteral("frmNonConsegnati"),
                                .title = QStringLiteral(" Riepilogo rapporti di prova non consegnati ai committenti"),
                                .banner = {QStringLiteral("Rapporti non consegnati"), BannerIcon::Search,
                                           QStringLiteral(":/img/reports/bannerNonConsegnati.svg")},
                                .listName = QStringLiteral("Elenco dei rapporti di prova non consegnati"),
                                .printTitle = kListTitle,
                            },
                            reports::documentLists(), archivePath, std::move(show)))
{
}

namespace reports {

void openUndelivered(QWidget *owner, const QString &archivePath, std::function<void(const records::Record &, int)> show)
{
    TfrmNonConsegnati window(owner, archivePath, std::move(show));
    window.exec();
}

} // namespace reports
