#include "textcodec.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Every byte's character.
constexpr std::array<char16_t, 256> kChars = [] {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b);
    return t;
}();

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

// Whether any of the eight bytes in w lies in 0x80..0x9F, the only ones Latin-1 decodes
// differently.
bool highControlIn(std::uint64_t w)
{
    constexpr std::uint64_t kTop3 = 0xE0E0E0E0E0E0E0E0ull, k80 = 0x8080808080808080ull,
                            k01 = 0x0101010101010101ull;
    // A zero byte in x where the top three bits are 100.
    const std::uint64_t x = (w & kTop3) ^ k80;
    return (x - k01) & ~x & k80;
}

// Eight Latin-1 bytes as eight characters.
inline void widenEight(std::uint64_t w, char16_t *dst)
{
#if defined(__SSE2__)
    const __m128i wide = _mm_unpacklo_epi8(_mm_cvtsi64_si128(qint64(w)), _mm_setzero_si128());
    _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), wide);
#else
    unsigned char b[8];
    std::memcpy(b, &w, 8);
    for (int k = 0; k < 8; ++k)
        dst[k] = b[k];
#endif
}

} // namespace

char16_t *decodeCp1252(QByteArrayView bytes, char16_t *dst)
{
    const qsizetype n = bytes.size();
    const auto *src = reinterpret_cast<const unsigned char *>(bytes.data());
    // Eight bytes at a time: widened as they are when none differs from Latin-1, as
    // nearly always, else each through the table.
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, src + i, 8);
        if (!highControlIn(w)) {
            widenEight(w, dst + i);
        } else {
            for (int k = 0; k < 8; ++k)
                dst[i + k] = kChars[src[i + k]];
        }
    }
    if (i < n && n >= 8) {
        // The last few bytes as the last eight, overlapping the group before.
        std::uint64_t w;
        std::memcpy(&w, src + n - 8, 8);
        if (!highControlIn(w)) {
            widenEight(w, dst + n - 8);
            return dst + n;
        }
    }
    for (; i < n; ++i)
        dst[i] = kChars[src[i]];
    return dst + n;
}

QString fromCp1252(const char *data, qsizetype size)
{
    if (size == 0)
        return QString::fromLatin1(data, 0);
    QString out(size, Qt::Uninitialized);
    decodeCp1252(QByteArrayView(data, size), reinterpret_cast<char16_t *>(out.data()));
    return out;
}

void appendCp1252(QString &out, QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    decodeCp1252(bytes, reinterpret_cast<char16_t *>(out.data()) + start);
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
    const QStringView kept = trimView(text);
    return kept.size() == text.size() ? text : kept.toString();
}

QStringView trimView(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
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
