#include "frmnonconsegnati.h"

namespace {

ListWindow::Description description(const QString &archivePath, reports::ShowReport show)
{
    ListWindow::Description d;
    d.objectName = QStringLiteral("frmNonConsegnati");
    d.title = QStringLiteral(" Riepilogo rapporti di prova non consegnati ai committenti");
    d.size = QSize(862, 560);
    d.banner = {QStringLiteral("Rapporti non consegnati"), ListWindow::BannerIcon::Search,
                QStringLiteral(":/img/reports/bannerNonConsegnati.svg")};
    d.listName = QStringLiteral("Elenco dei rapporti di prova non consegnati");
    d.chooseText = QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda");
    d.printTitle = TfrmNonConsegnati::kListTitle;
    // The list as the archive holds it now; a failure keeps what was read, silently.
    d.lines = [archivePath] {
        QStringList lines;
        try {
            reports::undeliveredLines(archivePath, lines);
        } catch (const std::exception &) {
        }
        return lines;
    };
    d.layout = &records::report();
    d.archivePath = [archivePath] { return archivePath; };
    d.lineOf = reports::lineOf();
    // Whatever its flag: the last report of the archive with the chosen line.
    d.take = [show = std::move(show)](const lists::Found &found) {
        if (show)
            show(found.record, found.position);
    };
    return d;
}

} // namespace

TfrmNonConsegnati::TfrmNonConsegnati(QWidget *owner, const QString &archivePath, reports::ShowReport show)
    : ListWindow(owner, description(archivePath, std::move(show)))
{
}

namespace reports {

void openUndelivered(QWidget *owner, const QString &archivePath, std::function<void(const records::Record &, int)> show)
{
    TfrmNonConsegnati window(owner, archivePath, std::move(show));
    window.exec();
}

} // namespace reports
