#include "frmtrovacertificati.h"

#include "ui/documentlists.h"

#include <QLabel>
#include <QLineEdit>

TfrmTrovaCertificati::TfrmTrovaCertificati(QWidget *owner, const QString &archivePath,
                                           certificates::ShowCertificate show)
    : ListWindow(owner, documentWindows::search(
                            {
                                .objectName = QStringLiteral("frmTrovaCertificati"),
                                .title = QStringLiteral(" Trova certificati di analisi in archivio"),
                                .banner = {QStringLiteral("Risultati di ricerca"), BannerIcon::Search,
                                           QStringLiteral(":/img/certificates/bannerRisultati.svg")},
                                .listName = QStringLiteral("Elenco dei certificati di analisi"),
                                .printTitle = kListTitle,
                                .lensFinds = true,
                                .criteriaBanner = {QStringLiteral("Trova certificati di analisi"),
                                                   BannerIcon::Search,
                                                   QStringLiteral(":/img/certificates/bannerTrova.svg")},
                                .criteriaPhoto = QStringLiteral(":/img/logo/laboratorio.svg"),
                                .filtersByRow = true,
                            },
                            this, certificates::documentLists(), certificates::kFilters, archivePath,
                            certificates::kTagCertificates, std::move(show)))
{
    QFont bold(QStringLiteral("Verdana"), 12);
    bold.setBold(true);
    for (const documents::FilterField &f : certificates::kFilters)
        filter(QString::fromLatin1(f.field))->setFont(bold);
    certificates::adviseInCrimson(*this);
    lblTrovate->setAlignment(Qt::AlignCenter);
    lblTrovate->setStyleSheet(QStringLiteral("color: #008B8B;"));
    // What the count line says until a search has run.
    lblTrovate->setText(QStringLiteral("Il presente riepilogo contiene 0 schede"));
}

namespace certificates {

void adviseInCrimson(ListWindow &window)
{
    window.lblRigo03->setAlignment(Qt::AlignCenter);
    window.lblRigo03->setStyleSheet(QStringLiteral("color: #DC143C; font-weight: bold;"));
}

void openSearch(QWidget *owner, const QString &archivePath, std::function<void(const records::Record &, int)> show)
{
    TfrmTrovaCertificati window(owner, archivePath, std::move(show));
    window.lblMemory->setText(kTagCertificates);
    window.exec();
}

} // namespace certificates
