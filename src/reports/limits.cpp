#include "limits.h"

#include "storage/textcodec.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

namespace limits {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

bool isBlank(char16_t c)
{
    return c <= 32 || c == 0xA0;
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
}

// One number as written, with both of its readings when a point could group thousands
// or separate decimals ("1.000").
struct Number {
    double value = 0;     // the point read as a decimal point
    double thousands = 0; // the point read as grouping thousands, when ambiguous
    bool ambiguous = false;
    QStringView text;     // as written

    double reading(bool asThousands) const { return ambiguous && asThousands ? thousands : value; }
};

// A text being read from left to right.
class Cursor {
public:
    explicit Cursor(QStringView text) : m_s(text) {}

    bool atEnd() const { return m_i >= m_s.size(); }
    char16_t peek(qsizetype ahead = 0) const
    {
        return m_i + ahead < m_s.size() ? m_s[m_i + ahead].unicode() : char16_t(0);
    }
    void skipBlanks()
    {
        while (!atEnd() && isBlank(peek()))
            ++m_i;
    }
    // Blanks, then the word.
    bool thenWord(std::u16string_view w)
    {
        const qsizetype at = m_i;
        skipBlanks();
        if (word(w))
            return true;
        m_i = at;
        return false;
    }
    // Blanks, then the end of the text.
    bool finished()
    {
        skipBlanks();
        return atEnd();
    }
    // The characters of s, taken when they come next.
    bool symbol(std::u16string_view s)
    {
        for (qsizetype k = 0; k < qsizetype(s.size()); ++k)
            if (peek(k) != s[k])
                return false;
        m_i += qsizetype(s.size());
        return true;
    }
    // A word of ASCII letters in any case, not followed by another letter.
    bool word(std::u16string_view w)
    {
        for (qsizetype k = 0; k < qsizetype(w.size()); ++k) {
            char16_t c = peek(k);
            if (c >= u'A' && c <= u'Z')
                c += 32;
            if (c != w[k])
                return false;
        }
        if (isLetter(peek(qsizetype(w.size()))))
            return false;
        m_i += qsizetype(w.size());
        return true;
    }

    std::optional<Number> number();

private:
    QStringView m_s;
    qsizetype m_i = 0;
};

// Plain ASCII digits with an optional point and exponent into a double.
std::optional<double> toDouble(const char *begin, const char *end)
{
    double v = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, v);
    if (ec != std::errc() || ptr != end || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<Number> Cursor::number()
{
    const qsizetype start = m_i;
    qsizetype i = m_i;
    bool negative = false;
    if (peek() == u'+' || peek() == u'-') {
        negative = peek() == u'-';
        ++i;
    }
    // The digits with their separators.
    const qsizetype digitsFrom = i;
    int commas = 0, points = 0;
    qsizetype comma = -1;
    while (i < m_s.size()) {
        const char16_t c = m_s[i].unicode();
        if (c == u',') {
            ++commas;
            comma = i;
        } else if (c == u'.') {
            ++points;
        } else if (!isDigit(c)) {
            break;
        }
        ++i;
    }
    const qsizetype digitsTo = i;
    // An exponent: E or e, an optional sign and digits.
    qsizetype expFrom = -1, expTo = -1;
    if (i < m_s.size() && (m_s[i] == u'e' || m_s[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < m_s.size() && (m_s[j] == u'+' || m_s[j] == u'-'))
            ++j;
        const qsizetype firstDigit = j;
        while (j < m_s.size() && isDigit(m_s[j].unicode()))
            ++j;
        if (j > firstDigit) {
            expFrom = i + 1;
            expTo = j;
            i = j;
        }
    }

    const QStringView mantissa = m_s.sliced(digitsFrom, digitsTo - digitsFrom);
    if (mantissa.isEmpty() || commas > 1)
        return std::nullopt;
    const QChar last = mantissa.back();
    if (last == u',' || last == u'.')
        return std::nullopt;

    // The whole part and the fraction, and what the points do in the whole part.
    QStringView whole = mantissa, fraction;
    bool grouped = false; // points group the thousands of the whole part
    bool ambiguous = false;
    if (commas == 1) {
        whole = m_s.sliced(digitsFrom, comma - digitsFrom);
        fraction = m_s.sliced(comma + 1, digitsTo - comma - 1);
        if (fraction.contains(u'.'))
            return std::nullopt; // a point after the decimal comma
        grouped = points > 0;
    } else if (points == 1) {
        const qsizetype point = mantissa.indexOf(u'.');
        whole = mantissa.first(point);
        fraction = mantissa.sliced(point + 1);
        // "1.000": one to three digits, not starting with 0, then exactly three digits.
        ambiguous = expFrom < 0 && !whole.isEmpty() && whole.size() <= 3 && whole.front() != u'0'
            && fraction.size() == 3;
    } else if (points > 1) {
        grouped = true;
    }
    if (grouped) {
        // Groups of three digits after a first group of one to three.
        qsizetype group = 0, groups = 0;
        for (qsizetype k = 0; k <= whole.size(); ++k) {
            if (k == whole.size() || whole[k] == u'.') {
                if (group == 0 || group > 3 || (groups > 0 && group != 3))
                    return std::nullopt;
                ++groups;
                group = 0;
            } else {
                ++group;
            }
        }
    }
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;

    // Written out plainly in ASCII for the conversion.
    std::array<char, 96> buffer;
    qsizetype n = 0;
    const auto put = [&](char c) {
        if (n < qsizetype(buffer.size()))
            buffer[n] = c;
        ++n;
    };
    if (negative)
        put('-');
    for (QChar c : whole)
        if (c != u'.')
            put(char(c.unicode()));
    if (whole.isEmpty())
        put('0');
    const qsizetype wholeEnd = n;
    if (!fraction.isEmpty()) {
        put('.');
        for (QChar c : fraction)
            put(char(c.unicode()));
    }
    if (expFrom >= 0) {
        put('e');
        for (qsizetype k = expFrom; k < expTo; ++k)
            put(char(m_s[k].unicode()));
    }
    if (n > qsizetype(buffer.size()))
        return std::nullopt;

    Number result;
    const std::optional<double> v = toDouble(buffer.data(), buffer.data() + n);
    if (!v)
        return std::nullopt;
    result.value = *v;
    if (ambiguous) {
        // The same digits without the point.
        std::array<char, 16> plain;
        qsizetype m = 0;
        for (qsizetype k = 0; k < n; ++k)
            if (k != wholeEnd)
                plain[m++] = buffer[k];
        const std::optional<double> t = toDouble(plain.data(), plain.data() + m);
        if (!t)
            return std::nullopt;
        result.thousands = *t;
        result.ambiguous = true;
    }
    result.text = m_s.sliced(start, i - start);
    m_i = i;
    return result;
}

// ---- Intervals ---------------------------------------------------------------------------

struct End {
    double v;
    bool open;
};

struct Interval {
    End lo, hi;
};

enum class Shape { Point, AtMost, Below, AtLeast, Above, Range };

// A result or a limit as read: its shape and one or two numbers.
struct Parsed {
    Shape shape = Shape::Point;
    Number a, b; // b: the upper end of a range

    bool ambiguous() const { return a.ambiguous || (shape == Shape::Range && b.ambiguous); }

    // The interval for one reading of the points; none when that reading makes no sense
    // (a range whose ends come in the wrong order).
    std::optional<Interval> interval(bool asThousands) const
    {
        const double x = a.reading(asThousands);
        switch (shape) {
        case Shape::Point: return Interval{{x, false}, {x, false}};
        case Shape::AtMost: return Interval{{-kInf, true}, {x, false}};
        case Shape::Below: return Interval{{-kInf, true}, {x, true}};
        case Shape::AtLeast: return Interval{{x, false}, {kInf, true}};
        case Shape::Above: return Interval{{x, true}, {kInf, true}};
        case Shape::Range: {
            const double y = b.reading(asThousands);
            if (x > y)
                return std::nullopt;
            return Interval{{x, false}, {y, false}};
        }
        }
        return std::nullopt;
    }
};

std::optional<Parsed> parseResult(QStringView text)
{
    Cursor c(text);
    c.skipBlanks();
    Parsed p;
    if (c.symbol(u"<")) {
        p.shape = Shape::Below;
    } else if (c.symbol(u">")) {
        p.shape = Shape::Above;
    } else if (c.word(u"inferiore")) {
        if (!c.thenWord(u"a"))
            return std::nullopt;
        p.shape = Shape::Below;
    } else if (c.word(u"superiore")) {
        if (!c.thenWord(u"a"))
            return std::nullopt;
        p.shape = Shape::Above;
    }
    c.skipBlanks();
    const std::optional<Number> x = c.number();
    if (!x)
        return std::nullopt;
    p.a = *x;
    if (p.shape == Shape::Point) {
        // An uncertainty after the value: read, and left out of the decision.
        c.skipBlanks();
        if (c.symbol(u"\u00b1") || c.symbol(u"+/-") || c.symbol(u"+-")) {
            c.skipBlanks();
            const std::optional<Number> u = c.number();
            if (!u || u->value < 0)
                return std::nullopt;
        }
    }
    if (!c.finished())
        return std::nullopt;
    return p;
}

std::optional<Parsed> parseLimit(QStringView text)
{
    Cursor c(text);
    c.skipBlanks();
    Parsed p;
    bool bare = false;  // a number alone, or the first end of "a - b"
    bool words = false; // "da a a b"
    if (c.symbol(u"<=") || c.symbol(u"\u2264") || c.symbol(u"=<"))
        p.shape = Shape::AtMost;
    else if (c.symbol(u"<"))
        p.shape = Shape::Below;
    else if (c.symbol(u">=") || c.symbol(u"\u2265") || c.symbol(u"=>"))
        p.shape = Shape::AtLeast;
    else if (c.symbol(u">"))
        p.shape = Shape::Above;
    else if (c.word(u"max")) {
        c.symbol(u"."); // "max."
        p.shape = Shape::AtMost;
    } else if (c.word(u"min")) {
        c.symbol(u".");
        p.shape = Shape::AtLeast;
    } else if (c.word(u"fino")) {
        if (!c.thenWord(u"a"))
            return std::nullopt;
        p.shape = Shape::AtMost;
    } else if (c.word(u"almeno")) {
        p.shape = Shape::AtLeast;
    } else if (c.word(u"da")) {
        words = true;
    } else {
        p.shape = Shape::AtMost;
        bare = true;
    }
    c.skipBlanks();
    const std::optional<Number> x = c.number();
    if (!x)
        return std::nullopt;
    p.a = *x;
    c.skipBlanks();
    const bool second = words ? c.thenWord(u"a")
                              : bare && (c.symbol(u"-") || c.symbol(u"\u2013") || c.symbol(u"\u2014")
                                         || c.symbol(u"\u00f7"));
    if (words && !second)
        return std::nullopt;
    if (second) {
        c.skipBlanks();
        const std::optional<Number> y = c.number();
        if (!y)
            return std::nullopt;
        p.b = *y;
        p.shape = Shape::Range;
    }
    if (!c.finished())
        return std::nullopt;
    return p;
}

// Whether an end x of the result's interval lies inside the same end y of the limit's:
// a lower end at or after it, an upper end at or before it (an open end of the limit
// leaves its own value out).
bool lowerInside(const End &x, const End &y)
{
    if (y.v == -kInf)
        return true;
    if (x.v == -kInf)
        return false;
    return x.v > y.v || (x.v == y.v && !(y.open && !x.open));
}

bool upperInside(const End &x, const End &y)
{
    if (y.v == kInf)
        return true;
    if (x.v == kInf)
        return false;
    return x.v < y.v || (x.v == y.v && !(y.open && !x.open));
}

// Whether the result's interval r lies wholly after the limit's interval l, or wholly
// before it.
bool whollyAbove(const Interval &r, const Interval &l)
{
    if (l.hi.v == kInf || r.lo.v == -kInf)
        return false;
    return r.lo.v > l.hi.v || (r.lo.v == l.hi.v && (r.lo.open || l.hi.open));
}

bool whollyUnder(const Interval &r, const Interval &l)
{
    if (l.lo.v == -kInf || r.hi.v == kInf)
        return false;
    return r.hi.v < l.lo.v || (r.hi.v == l.lo.v && (r.hi.open || l.lo.open));
}

Verdict compare(const Interval &r, const Interval &l)
{
    if (lowerInside(r.lo, l.lo) && upperInside(r.hi, l.hi))
        return Verdict::Conforming;
    if (whollyAbove(r, l) || whollyUnder(r, l))
        return Verdict::OutOfLimit;
    return Verdict::Undecidable;
}

// The verdict of both readings of the points, the same in the result and the limit of a
// row: the one they give alike, else not decidable. Also says whether the readings
// disagreed, and the side of an out-of-limit result.
struct Outcome {
    Verdict verdict = Verdict::NotJudged;
    bool readingsDisagree = false;
    int side = 0; // out of limit: 1 above the limit, -1 below, 0 one or the other by reading
};

Outcome decide(const Parsed &result, const Parsed &limit)
{
    Outcome out;
    bool first = true;
    const bool twoReadings = result.ambiguous() || limit.ambiguous();
    for (bool asThousands : {false, true}) {
        if (asThousands && !twoReadings)
            break;
        const std::optional<Interval> r = result.interval(asThousands), l = limit.interval(asThousands);
        if (!r || !l)
            continue; // a range upside down in this reading
        const Verdict v = compare(*r, *l);
        const int side = v == Verdict::OutOfLimit ? (whollyAbove(*r, *l) ? 1 : -1) : 0;
        if (first) {
            out.verdict = v;
            out.side = side;
            first = false;
        } else if (v != out.verdict) {
            out.readingsDisagree = true;
            out.verdict = Verdict::Undecidable;
        } else if (side != out.side) {
            out.side = 0;
        }
    }
    return out;
}

// A value written with a decimal comma, without needless digits.
QString plain(double v)
{
    return QString::number(v, 'g', 15).replace(u'.', u',');
}

QString resultWords(const Parsed &r)
{
    switch (r.shape) {
    case Shape::Below: return QStringLiteral("< ") + r.a.text.toString();
    case Shape::Above: return QStringLiteral("> ") + r.a.text.toString();
    default: return r.a.text.toString();
    }
}

QString outOfLimitReason(const Parsed &r, const Parsed &l, int side)
{
    const QString what = resultWords(r);
    QString why;
    if (side == 0)
        why = QStringLiteral("%1 \u00e8 fuori dall'intervallo %2 - %3").arg(what, l.a.text, l.b.text);
    else if (side > 0 && l.shape == Shape::Below)
        why = QStringLiteral("%1 non \u00e8 inferiore a %2").arg(what, l.a.text);
    else if (side > 0 && l.shape == Shape::Range)
        why = QStringLiteral("%1 supera il limite massimo %2").arg(what, l.b.text);
    else if (side > 0)
        why = QStringLiteral("%1 supera il limite %2").arg(what, l.a.text);
    else if (l.shape == Shape::Above)
        why = QStringLiteral("%1 non \u00e8 superiore a %2").arg(what, l.a.text);
    else
        why = QStringLiteral("%1 \u00e8 inferiore al limite minimo %2").arg(what, l.a.text);
    return QStringLiteral("Risultato fuori limite: ") + why + u'.';
}

QString ambiguityReason(const Parsed &r, const Parsed &l)
{
    const Number *n = r.a.ambiguous ? &r.a
        : l.a.ambiguous             ? &l.a
                                    : &l.b;
    return QStringLiteral("Risultato non valutabile: il numero %1 pu\u00f2 valere %2 oppure %3 (il punto pu\u00f2 "
                          "separare i decimali o le migliaia).")
        .arg(n->text, plain(n->value), plain(n->thousands));
}

} // namespace

Verdict verdict(QStringView result, QStringView limit)
{
    const std::optional<Parsed> r = parseResult(result);
    if (!r)
        return Verdict::NotJudged;
    const std::optional<Parsed> l = parseLimit(limit);
    if (!l)
        return Verdict::NotJudged;
    return decide(*r, *l).verdict;
}

Verdict verdict(QByteArrayView result, QByteArrayView limit)
{
    result = text::trimBytes(result);
    limit = text::trimBytes(limit);
    if (result.isEmpty() || limit.isEmpty())
        return Verdict::NotJudged;
    // A result that starts with a letter other than those of "inferiore" and "superiore"
    // is a word: most text results end here, undecoded.
    const char first = result.front();
    if (((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z')) && first != 'i' && first != 'I'
        && first != 's' && first != 'S')
        return Verdict::NotJudged;
    std::array<char16_t, 256> r, l;
    const char16_t *rEnd = text::decodeCp1252(result.first(std::min<qsizetype>(result.size(), 256)), r.data());
    const char16_t *lEnd = text::decodeCp1252(limit.first(std::min<qsizetype>(limit.size(), 256)), l.data());
    return verdict(QStringView(r.data(), rEnd), QStringView(l.data(), lEnd));
}

Judgement judge(QStringView result, QStringView limit)
{
    const std::optional<Parsed> r = parseResult(result);
    const std::optional<Parsed> l = r ? parseLimit(limit) : std::nullopt;
    if (!r || !l)
        return {};
    const Outcome o = decide(*r, *l);
    switch (o.verdict) {
    case Verdict::OutOfLimit: return {o.verdict, outOfLimitReason(*r, *l, o.side)};
    case Verdict::Undecidable:
        if (o.readingsDisagree)
            return {o.verdict, ambiguityReason(*r, *l)};
        return {o.verdict, QStringLiteral("Risultato non valutabile: %1 comprende valori entro e fuori dal limite %2.")
                               .arg(resultWords(*r), text::trimView(limit))};
    default: return {o.verdict, {}};
    }
}

} // namespace limits

namespace reports {

QString resultField(int row)
{
    return QStringLiteral("txtRisultato%1").arg(row, 2, 10, QLatin1Char('0'));
}

QString limitField(int row)
{
    return QStringLiteral("txtLimite%1").arg(row, 2, 10, QLatin1Char('0'));
}

QList<int> outOfLimitRows(const records::Values &card)
{
    QList<int> rows;
    for (int row = 1; row <= kResultRows; ++row)
        if (limits::verdict(card.text(resultField(row)), card.text(limitField(row))) == limits::Verdict::OutOfLimit)
            rows.append(row);
    return rows;
}

bool hasOutOfLimit(records::RecordView report)
{
    // The two fields of every row, looked up once.
    static const std::array<std::pair<int, int>, kResultRows> fields = [] {
        std::array<std::pair<int, int>, kResultRows> f;
        for (int row = 1; row <= kResultRows; ++row)
            f[row - 1] = {records::report().indexOf(resultField(row)), records::report().indexOf(limitField(row))};
        return f;
    }();
    for (const auto &[result, limit] : fields)
        if (limits::verdict(report.stored(result), report.stored(limit)) == limits::Verdict::OutOfLimit)
            return true;
    return false;
}

QString rowsInWords(const QList<int> &rows)
{
    QStringList numbers;
    for (int row : rows)
        numbers.append(QString::number(row));
    return (rows.size() == 1 ? QStringLiteral("riga ") : QStringLiteral("righe ")) + numbers.join(QStringLiteral(", "));
}

QString outOfLimitSummary(const QList<int> &rows)
{
    if (rows.isEmpty())
        return {};
    return QStringLiteral("Risultati fuori limite: %1 (%2)").arg(rows.size()).arg(rowsInWords(rows));
}

} // namespace reports
