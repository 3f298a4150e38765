#include "lists.h"

#include "storage/recordfile.h"
#include "storage/textcodec.h"

#include <algorithm>
#include <numeric>

namespace lists {

bool lineLess(const QString &a, const QString &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= u'a' && x <= u'z')
            x -= 32;
        if (y >= u'a' && y <= u'z')
            y -= 32;
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

void sortLines(QStringList &lines)
{
    // Fold once per line, then compare code units: the same order as lineLess.
    QStringList keys;
    keys.reserve(lines.size());
    for (const QString &line : std::as_const(lines))
        keys.append(text::upperAscii(line));
    QList<qsizetype> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](qsizetype x, qsizetype y) {
        return QStringView(keys[x]).compare(QStringView(keys[y]), Qt::CaseSensitive) < 0;
    });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (qsizetype i : std::as_const(order))
        sorted.append(lines[i]);
    lines.swap(sorted);
}

void appendColumn(QString &line, QStringView text, int width)
{
    const qsizetype start = line.size();
    line.append(text.left(width));
    line.resize(start + width, u' ');
}

QString countLine(qsizetype count)
{
    return QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(count);
}

void Filters::set(const QString &field, const QString &typed)
{
    const int index = m_layout->indexOf(field);
    if (index < 0)
        return;
    m_active.removeIf([index](const Active &a) { return a.field == index; });
    if (!text::isBlank(typed))
        m_active.append({index, text::lowerAscii(typed)});
}

bool Filters::matches(const records::Record &record) const
{
    for (const Active &a : m_active) {
        // Folded in place: the decoded text is ours alone.
        QString stored = record.text(a.field);
        for (QChar &c : stored)
            if (c >= u'A' && c <= u'Z')
                c = QChar(c.unicode() + 32);
        if (!stored.contains(a.folded))
            return false;
    }
    return true;
}

void collectLines(const QString &archivePath, const records::Layout &layout, const LineOf &lineOf,
                  const Keep &keep, QStringList &lines)
{
    lines.clear();
    archive::scan(archivePath, layout.size(), [&](int, const QByteArray &bytes) {
        const records::Record r(layout, bytes);
        if (!keep || keep(r))
            lines.append(lineOf(r));
    });
}

std::optional<Found> lastRecordOfLine(const QString &archivePath, const records::Layout &layout,
                                      const LineOf &lineOf, const QString &line)
{
    const QString wanted = text::trim(line);
    std::optional<Found> found;
    archive::scan(archivePath, layout.size(), [&](int index, const QByteArray &bytes) {
        records::Record r(layout, bytes);
        if (text::trim(lineOf(r)) == wanted)
            found = Found{std::move(r), index + 1}; // a later equal line wins
    });
    return found;
}

int QuickFind::find(const QStringList &lines, int selected, const QString &typed)
{
    const int n = int(lines.size());
    if (n == 0)
        return -1;
    const int start = selected >= 0 && selected < n ? selected : 0;
    const QString wanted = text::lowerAscii(typed);
    auto hit = [&](int i) { return text::lowerAscii(lines[i]).contains(wanted); };

    int found = start;
    if (!wanted.isEmpty()) {
        if (wanted == m_remembered) {
            // The next occurrence: after the selected line, wrapping, the start line last.
            for (int k = 1; k <= n; ++k) {
                const int i = (start + k) % n;
                if (hit(i)) {
                    found = i;
                    break;
                }
            }
        } else {
            for (int i = 0; i < n; ++i) {
                if (hit(i)) {
                    found = i;
                    break;
                }
            }
        }
    }
    m_remembered = wanted;
    return found;
}

} // namespace lists
