#include "lists.h"

#include "storage/recordfile.h"
#include "storage/textcodec.h"

#include <QVarLengthArray>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <numeric>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

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

namespace {

// Each byte's place in the order of lineLess: the character it decodes to, a-z folded to
// A-Z, ranked among the characters of all 256 bytes. The ranks keep the order of the
// characters, so comparing the ranks of two lines' bytes compares the lines.
const std::array<quint8, 256> &ranks()
{
    static const std::array<quint8, 256> table = [] {
        std::array<char, 256> bytes;
        for (int b = 0; b < 256; ++b)
            bytes[b] = char(b);
        std::array<char16_t, 256> folded;
        text::decodeCp1252(QByteArrayView(bytes.data(), 256), folded.data());
        for (char16_t &c : folded)
            if (c >= u'a' && c <= u'z')
                c -= 32;
        std::array<char16_t, 256> sorted = folded;
        std::sort(sorted.begin(), sorted.end());
        const auto end = std::unique(sorted.begin(), sorted.end());
        std::array<quint8, 256> rank;
        for (int b = 0; b < 256; ++b)
            rank[b] = quint8(std::lower_bound(sorted.begin(), end, folded[b]) - sorted.begin());
        return rank;
    }();
    return table;
}

// Eight characters of a line from `from` on as one number that orders as they do: their
// ranks, the first one highest; a line that ends early is filled with the lowest rank.
quint64 packedRanks(QByteArrayView line, qsizetype from, const std::array<quint8, 256> &rank)
{
    quint64 key = 0;
    for (qsizetype i = from; i < from + 8; ++i)
        key = key << 8 | (i < line.size() ? rank[static_cast<unsigned char>(line[i])] : 0);
    return key;
}

} // namespace

QString Lines::text(qsizetype line) const
{
    const QByteArrayView b = bytes(line);
    return text::fromCp1252(b.data(), b.size());
}

QStringList Lines::texts() const
{
    QStringList out;
    out.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        out.append(text(i));
    return out;
}

void Lines::append(QByteArrayView line)
{
    m_spans.append({m_bytes.size(), line.size()});
    appendBytes(m_bytes, line);
    m_longest = std::max(m_longest, line.size());
}

void Lines::append(Lines &&more)
{
    if (isEmpty()) {
        std::swap(*this, more);
        return;
    }
    const qsizetype offset = m_bytes.size();
    m_bytes.append(more.m_bytes);
    m_spans.reserve(m_spans.size() + more.m_spans.size());
    for (const Span &s : std::as_const(more.m_spans))
        m_spans.append({s.start + offset, s.size});
    m_longest = std::max(m_longest, more.m_longest);
    more.clear();
}

void Lines::clear()
{
    m_bytes.clear();
    m_spans.clear();
    m_longest = 0;
}

void Lines::sort()
{
    // The first sixteen characters of each line as two numbers settle most comparisons;
    // lines alike that far are compared on from where their bytes first differ, and
    // equal lines by the order they came in.
    const std::array<quint8, 256> &rank = ranks();
    struct Key {
        quint64 head, next;
        qsizetype start;
        qint32 size, line;
    };
    std::vector<Key> keys(static_cast<size_t>(size()));
    const auto makeKeys = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            const QByteArrayView b = bytes(i);
            keys[size_t(i)] = {packedRanks(b, 0, rank), packedRanks(b, 8, rank), m_spans.at(i).start, qint32(b.size()),
                               qint32(i)};
        }
    };
    const char *const all = m_bytes.constData();
    const auto less = [&rank, all](const Key &x, const Key &y) {
        if (x.head != y.head)
            return x.head < y.head;
        if (x.next != y.next)
            return x.next < y.next;
        const unsigned char *a = reinterpret_cast<const unsigned char *>(all + x.start);
        const unsigned char *b = reinterpret_cast<const unsigned char *>(all + y.start);
        const qint32 n = std::min(x.size, y.size);
        qint32 i = 16;
        while (i < n) {
            // Equal bytes eight at a time; where they differ, the ranks of the first
            // differing byte (a letter against its other case ranks the same: go on).
            for (; i + 8 <= n; i += 8) {
                quint64 wa, wb;
                std::memcpy(&wa, a + i, 8);
                std::memcpy(&wb, b + i, 8);
                if (wa != wb) {
                    i += std::countr_zero(qFromLittleEndian(wa) ^ qFromLittleEndian(wb)) / 8;
                    break;
                }
            }
            while (i < n && a[i] == b[i])
                ++i;
            if (i == n)
                break;
            if (rank[a[i]] != rank[b[i]])
                return rank[a[i]] < rank[b[i]];
            ++i;
        }
        if (x.size != y.size)
            return x.size < y.size;
        return x.line < y.line;
    };
    // A long list in two halves at once, one on another core, then merged.
    const qsizetype half = size() / 2;
    const auto middle = keys.begin() + std::ptrdiff_t(half);
    std::thread other;
    if (size() >= 20000 && std::thread::hardware_concurrency() >= 2) {
        try {
            other = std::thread([&] {
                makeKeys(half, size());
                std::sort(middle, keys.end(), less);
            });
        } catch (const std::system_error &) {
            // No thread to be had: all on this one.
        }
    }
    if (other.joinable()) {
        makeKeys(0, half);
        std::sort(keys.begin(), middle, less);
        other.join();
        std::inplace_merge(keys.begin(), middle, keys.end(), less);
    } else {
        makeKeys(0, size());
        std::sort(keys.begin(), keys.end(), less);
    }
    QList<Span> sorted;
    sorted.reserve(m_spans.size());
    for (const Key &k : keys)
        sorted.append({k.start, k.size});
    m_spans.swap(sorted);
}

void appendBytes(QByteArray &line, QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    const qsizetype start = line.size();
    line.resize(start + bytes.size());
    std::memcpy(line.data() + start, bytes.data(), size_t(bytes.size()));
}

void appendColumn(QByteArray &line, records::RecordView record, int field, int width)
{
    const QByteArrayView text = text::trimBytes(record.stored(field));
    const qsizetype start = line.size();
    const qsizetype kept = std::min<qsizetype>(text.size(), width);
    line.resize(start + width);
    char *at = line.data() + start;
    std::memcpy(at, text.data(), size_t(kept));
    std::memset(at + kept, ' ', size_t(width - kept));
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

// Whether `bytes`, A-Z folded, hold `wanted` (folded already); the folded copy is made
// in `room`.
bool holdsFolded(QByteArrayView bytes, const QByteArray &wanted, QVarLengthArray<char, 1024> &room)
{
    if (bytes.size() < wanted.size())
        return false;
    room.resize(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        room[i] = kFoldAscii[static_cast<unsigned char>(bytes[i])];
    const std::string_view haystack(room.constData(), size_t(room.size()));
    return haystack.find(std::string_view(wanted.constData(), size_t(wanted.size()))) != std::string_view::npos;
}

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
        if (!a.bytes || !holdsFolded(record.stored(a.field), *a.bytes, folded))
            return false;
    }
    return true;
}

namespace {

// The lines of each part of the archive, joined in file order up to the first failure.
template <class List, class Add>
void collect(const QString &archivePath, const records::Layout &layout, const Keep &keep, List &lines, Add add)
{
    lines.clear();
    std::array<List, archive::kMaxScanParts> parts;
    const archive::PartErrors errors =
        archive::scanParts(archivePath, layout.size(), [&](int part, int, QByteArrayView bytes) {
            const records::RecordView r(layout, bytes.data());
            if (!keep || keep(r))
                add(r, parts[part]);
        });
    for (int p = 0; p < archive::kMaxScanParts; ++p) {
        if (lines.isEmpty())
            std::swap(lines, parts[p]);
        else
            lines.append(std::move(parts[p]));
        if (errors[p])
            std::rethrow_exception(errors[p]);
    }
}

} // namespace

void collectLines(const QString &archivePath, const records::Layout &layout, const LineOf &lineOf,
                  const Keep &keep, QStringList &lines)
{
    collect(archivePath, layout, keep, lines,
            [&](records::RecordView r, QStringList &part) { part.append(lineOf(r)); });
}

void collectLines(const QString &archivePath, const records::Layout &layout, const LineBytesOf &lineOf,
                  const Keep &keep, Lines &lines)
{
    collect(archivePath, layout, keep, lines, [&](records::RecordView r, Lines &into) {
        into.appendMade([&](QByteArray &bytes) { lineOf(r, bytes); });
    });
}

void collectSortedLines(const QString &archivePath, const records::Layout &layout, const LineBytesOf &lineOf,
                        const Keep &keep, Lines &lines)
{
    try {
        collectLines(archivePath, layout, lineOf, keep, lines);
    } catch (const ArchiveError &) {
        lines.sort();
        throw;
    }
    lines.sort();
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
    const QString wanted = text::lowerAscii(typed);
    return step(int(lines.size()), selected, wanted,
                [&](int i) { return text::lowerAscii(lines[i]).contains(wanted); });
}

int QuickFind::findIn(const Lines &lines, int selected, const QString &typed)
{
    // On the bytes, as the filters are (see Filters::matches): a text with a character
    // outside the code page is in no line.
    const QString wanted = text::lowerAscii(typed);
    const std::optional<QByteArray> bytes = text::toCp1252Exact(wanted);
    QVarLengthArray<char, 1024> folded;
    return step(int(lines.size()), selected, wanted,
                [&](int i) { return bytes && holdsFolded(lines.bytes(i), *bytes, folded); });
}

int QuickFind::step(int n, int selected, const QString &wanted, const std::function<bool(int)> &hit)
{
    if (n == 0)
        return -1;
    const int start = selected >= 0 && selected < n ? selected : 0;

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
