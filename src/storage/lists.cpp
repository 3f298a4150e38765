#include "lists.h"

#include "storage/recordfile.h"
#include "storage/textcodec.h"

#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <numeric>
#include <string_view>

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

void appendColumn(QString &line, records::RecordView record, int field, int width)
{
    const qsizetype start = line.size();
    record.appendTrimmed(field, line);
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
    if (!text::isBlank(typed)) {
        m_active.append({index, text::toCp1252Exact(text::lowerAscii(typed))});
    }
}

namespace {

// a-z of the code page for A-Z, every other byte as it is.
constexpr std::array<char, 256> kFoldAscii = [] {
    std::array<char, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = char(b >= 'A' && b <= 'Z' ? b + 32 : b);
    return t;
}();

} // namespace

bool Filters::matches(records::RecordView record) const
{
    // On the stored bytes, without decoding: every byte stands for exactly one character
    // and no two bytes for the same one, and the characters A-Z come from the bytes A-Z
    // alone. So folding A-Z among the bytes and finding the folded filter's bytes there
    // gives what folding the decoded text and finding the folded filter in it would give.
    // A filter with a character outside the code page matches no stored text at all.
    QVarLengthArray<char, 1024> folded;
    for (const Active &a : m_active) {
        if (!a.bytes)
            return false;
        const QByteArrayView stored = record.stored(a.field);
        if (stored.size() < a.bytes->size())
            return false;
        folded.resize(stored.size());
        for (qsizetype i = 0; i < stored.size(); ++i)
            folded[i] = kFoldAscii[static_cast<unsigned char>(stored[i])];
        const std::string_view haystack(folded.constData(), size_t(folded.size()));
        if (haystack.find(std::string_view(a.bytes->constData(), size_t(a.bytes->size()))) == std::string_view::npos)
            return false;
    }
    return true;
}

void collectLines(const QString &archivePath, const records::Layout &layout, const LineOf &lineOf,
                  const Keep &keep, QStringList &lines)
{
    lines.clear();
    std::array<QStringList, archive::kMaxScanParts> parts;
    const archive::PartErrors errors =
        archive::scanParts(archivePath, layout.size(), [&](int part, int, QByteArrayView bytes) {
            const records::RecordView r(layout, bytes.data());
            if (!keep || keep(r))
                parts[part].append(lineOf(r));
        });
    // The parts in file order, up to the first failure.
    for (int p = 0; p < archive::kMaxScanParts; ++p) {
        if (lines.isEmpty())
            lines.swap(parts[p]);
        else
            lines.append(std::move(parts[p]));
        if (errors[p])
            std::rethrow_exception(errors[p]);
    }
}

std::optional<Found> lastRecordOfLine(const QString &archivePath, const records::Layout &layout,
                                      const LineOf &lineOf, const QString &line)
{
    const QString wanted = text::trim(line);
    std::array<std::optional<Found>, archive::kMaxScanParts> last;
    const archive::PartErrors errors =
        archive::scanParts(archivePath, layout.size(), [&](int part, int index, QByteArrayView bytes) {
            const records::RecordView r(layout, bytes.data());
            if (text::trim(lineOf(r)) == wanted)
                last[part] = Found{r.toRecord(), index + 1}; // a later equal line wins
        });
    for (const std::exception_ptr &e : errors)
        if (e)
            std::rethrow_exception(e);
    for (int p = archive::kMaxScanParts - 1; p >= 0; --p) {
        if (!last[p])
            continue;
        // The scan takes no lock, so the record is read again under it: a card is never
        // given one that another station was part-way through writing.
        Found found = std::move(*last[p]);
        found.record = records::Record(layout, archive::readAt(archivePath, layout.size(), found.position));
        return found;
    }
    return std::nullopt;
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
