#pragma once
// The two list windows of a yearly document archive, test reports or certificates: the
// search with its ten filters and the documents not yet delivered to their clients. A
// document kind describes its texts and pictures; these add what the two kinds share:
// the size, the double-click advice, the lines and what choosing a line does.

#include "storage/documentlists.h"
#include "ui/listwindow.h"

#include <functional>
#include <span>

namespace documentWindows {

// What the card does with a chosen document: show it, with its 1-based position.
using Show = std::function<void(const records::Record &, int)>;

// The search over the archive at archivePath with these filters; the chosen document
// reaches show only while the window's lblMemory holds tag. `window` is the window the
// description is for (it may still be under construction).
ListWindow::Description search(ListWindow::Description texts, ListWindow *window, const documents::Lists &lists,
                               std::span<const documents::FilterField> filters, const QString &archivePath,
                               const QString &tag, Show show);

// The documents of the archive at archivePath not yet delivered, read when the window
// is made (a failure keeps what was read, silently). The chosen line's document goes to
// show whatever its flag: the last one of the archive with that line.
ListWindow::Description undelivered(ListWindow::Description texts, const documents::Lists &lists,
                                    const QString &archivePath, Show show);

} // namespace documentWindows
