#include "documentlists.h"

#include "storage/log.h"

#include <QLabel>

namespace documentWindows {
namespace {

// Size and the way back to the card, alike in both windows.
void choosing(ListWindow::Description &d, const documents::Lists &lists, const QString &archivePath)
{
    d.size = QSize(862, 560);
    d.layout = &lists.layout();
    d.archivePath = [archivePath] { return archivePath; };
    d.lineOf = lists.lineOf();
}

} // namespace

ListWindow::Description search(ListWindow::Description d, ListWindow *window, const documents::Lists &lists,
                               std::span<const documents::FilterField> filters, const QString &archivePath,
                               const QString &tag, Show show)
{
    choosing(d, lists, archivePath);
    d.chooseText = QStringLiteral("Fare doppio clic sulla voce in elenco per richiamare la scheda");
    d.filters.clear();
    for (const documents::FilterField &f : filters)
        d.filters.append(ListWindow::Filter{f.field, f.caption});
    d.search = [&lists, archivePath](const ListWindow::Typed &typed) {
        lists::Filters chosen(lists.layout());
        for (const auto &[field, text] : typed)
            chosen.set(field, text);
        return lists.searchList(archivePath, chosen);
    };
    // Only the card that asked takes the document.
    d.take = [window, tag, show = std::move(show)](const lists::Found &found) {
        if (window->lblMemory->text() == tag && show)
            show(found.record, found.position);
    };
    return d;
}

ListWindow::Description undelivered(ListWindow::Description d, const documents::Lists &lists,
                                    const QString &archivePath, Show show)
{
    choosing(d, lists, archivePath);
    d.chooseText = QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda");
    d.lines = [&lists, archivePath] {
        lists::Lines lines;
        try {
            lists.undeliveredList(archivePath, lines);
        } catch (const std::exception &e) {
            // The list shows what was read before the failure, without a message.
            qCWarning(lcTirello) << "undelivered list cut short:" << e.what();
        }
        return lines;
    };
    d.take = [show = std::move(show)](const lists::Found &found) {
        if (show)
            show(found.record, found.position);
    };
    return d;
}

} // namespace documentWindows
