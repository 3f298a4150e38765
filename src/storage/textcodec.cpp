#include "textcodec.h"

#include <cstdint>
#include <cstring>

namespace text {
namespace {

// Windows-1252 bytes 0x80..0x9F; the five unassigned bytes map to the C1 code point
// of the same value, so that they survive a round trip.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte of c, or -1 when the code page has none.
int byteOf(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

char encodeOne(char16_t c)
{
    const int b = byteOf(c);
    return b < 0 ? kReplacement : char(b);
}

// Whether any byte lies in 0x80..0x9F, the only ones Latin-1 decodes differently; eight
// bytes at a time, since nearly every stored text has none.
bool hasHighControls(const char *data, qsizetype size)
{
    constexpr std::uint64_t kTop3 = 0xE0E0E0E0E0E0E0E0ull, k80 = 0x8080808080808080ull,
                            k01 = 0x0101010101010101ull;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, data + i, 8);
        // A zero byte in x where the top three bits are 100.
        const std::uint64_t x = (w & kTop3) ^ k80;
        if ((x - k01) & ~x & k80)
            return true;
    }
    for (; i < size; ++i)
        if ((static_cast<unsigned char>(data[i]) & 0xE0) == 0x80)
            return true;
    return false;
}

} // namespace

QString fromCp1252(const char *data, qsizetype size)
{
    // Latin-1 for everything, then the few bytes where the code page differs.
    QString out = QString::fromLatin1(data, size);
    if (!hasHighControls(data, size))
        return out;
    QChar *dst = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        if (b >= 0x80 && b < 0xA0)
            dst[i] = QChar(kHigh[b - 0x80]);
    }
    return out;
}

QByteArray toCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    const QChar *p = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        // A surrogate pair is one character: one replacement byte for it.
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1].unicode()))
            ++i;
        out.append(encodeOne(c));
    }
    return out;
}

std::optional<QByteArray> toCp1252Exact(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const int b = byteOf(c.unicode()); // a surrogate has no byte either
        if (b < 0)
            return std::nullopt;
        out.append(char(b));
    }
    return out;
}

QString trim(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.mid(begin, end - begin);
}

bool isBlank(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > 32)
            return false;
    return true;
}

QString upperAscii(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return out;
}

QString lowerAscii(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return out;
}

} // namespace text
