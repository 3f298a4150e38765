#pragma once
// Driving a list window and reading what it handed on: double-clicking a line, the
// printed listing's title and lines, the clients of a document list and the records a
// card was given.

#include "storage/records.h"
#include "storage/textcodec.h"
#include "tools/render_ui.h"
#include "ui/listwindow.h"
#include "ui/seams.h"

#include <QListWidget>
#include <QtTest>

#include <functional>

namespace support {

// Clicks a line, then double-clicks it, as a user chooses it.
inline void doubleClickLine(ListWindow &w, int row)
{
    auto *list = w.lstRecords;
    const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

inline QString printedTitle(const Outputs::Taken &t)
{
    return t.pages.first().find(QStringLiteral("txtTitolo"))->lines.first().text;
}

// The lines of the listing, page after page.
inline QStringList printedLines(const Outputs::Taken &t)
{
    QStringList out;
    for (const render::PreparedPage &page : t.pages)
        for (const render::Placed &p : page.objects)
            if (p.object.name == QStringLiteral("txtRiepilogo"))
                for (const render::TextLine &l : p.lines)
                    out.append(l.text);
    return out;
}

// Every case once for each yearly document kind: global column "kind", 0 for test
// reports, 1 for certificates.
inline void addDocumentKinds()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("rapporti") << 0;
    QTest::newRow("certificati") << 1;
}

// The client column of test report and certificate list lines, trimmed.
inline QStringList clientsOf(const QStringList &lines)
{
    QStringList out;
    for (const QString &line : lines)
        out.append(text::trim(line.left(30)));
    return out;
}

// What a card was handed: each call of the show callback, record and position.
struct Shown {
    QList<std::pair<records::Record, int>> calls;
    std::function<void(const records::Record &, int)> callback()
    {
        return [this](const records::Record &r, int position) { calls.append({r, position}); };
    }
    QString field(int call, const char *name) const { return calls.at(call).first.text(QString::fromLatin1(name)); }
};

} // namespace support
