#include "identifiers.h"

#include "storage/textcodec.h"

#include <array>

namespace checks {
namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isUpperLetter(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool allDigits(QStringView s)
{
    for (QChar c : s)
        if (!isDigit(c))
            return false;
    return true;
}

// ---- Tax code ----

// Values of the characters at odd positions, by letter (a digit counts as the letter in
// the same place of the alphabet: 0 as A, ..., 9 as J).
constexpr std::array<int, 26> kOddValues = {1,  0,  5,  7,  9,  13, 15, 17, 19, 21, 2,  4,  18,
                                            20, 11, 3,  6,  8,  12, 14, 16, 10, 22, 25, 24, 23};

int oddValue(QChar c)
{
    return isDigit(c) ? kOddValues[c.unicode() - u'0'] : kOddValues[c.unicode() - u'A'];
}

int evenValue(QChar c)
{
    return isDigit(c) ? c.unicode() - u'0' : c.unicode() - u'A';
}

// ---- VAT offices ----

struct Office {
    const char16_t *code;
    const char16_t *name;
};

constexpr Office kOffices[] = {
    {u"001", u"Torino"},          {u"002", u"Vercelli"},
    {u"003", u"Novara"},          {u"004", u"Cuneo"},
    {u"005", u"Asti"},            {u"006", u"Alessandria"},
    {u"007", u"Aosta"},           {u"008", u"Imperia"},
    {u"009", u"Savona"},          {u"010", u"Genova 1"},
    {u"011", u"La Spezia"},       {u"012", u"Varese"},
    {u"013", u"Como"},            {u"014", u"Sondrio"},
    {u"015", u"Milano 1"},        {u"016", u"Bergamo"},
    {u"017", u"Brescia 1"},       {u"018", u"Pavia"},
    {u"019", u"Cremona"},         {u"020", u"Mantova"},
    {u"021", u"Bolzano"},         {u"022", u"Trento"},
    {u"023", u"Verona"},          {u"024", u"Vicenza"},
    {u"025", u"Belluno"},         {u"026", u"Treviso"},
    {u"027", u"Venezia"},         {u"028", u"Padova"},
    {u"029", u"Rovigo"},          {u"030", u"Udine"},
    {u"031", u"Gorizia"},         {u"032", u"Trieste"},
    {u"033", u"Piacenza"},        {u"034", u"Parma"},
    {u"035", u"Reggio Emilia"},   {u"036", u"Modena"},
    {u"037", u"Bologna 1"},       {u"038", u"Ferrara"},
    {u"039", u"Ravenna"},         {u"040", u"Forl\u00ec"},
    {u"041", u"Pesaro"},          {u"042", u"Ancona"},
    {u"043", u"Macerata"},        {u"044", u"Ascoli Piceno"},
    {u"045", u"Massa Carrara"},   {u"046", u"Lucca"},
    {u"047", u"Pistoia"},         {u"048", u"Firenze 1"},
    {u"049", u"Livorno"},         {u"050", u"Pisa"},
    {u"051", u"Arezzo"},          {u"052", u"Siena"},
    {u"053", u"Grosseto"},        {u"054", u"Perugia"},
    {u"055", u"Terni"},           {u"056", u"Viterbo"},
    {u"057", u"Rieti"},           {u"058", u"Roma 1"},
    {u"059", u"Latina"},          {u"060", u"Frosinone"},
    {u"061", u"Caserta"},         {u"062", u"Benevento"},
    {u"063", u"Napoli 1"},        {u"064", u"Avellino"},
    {u"065", u"Salerno"},         {u"066", u"Aquila"},
    {u"067", u"Teramo"},          {u"068", u"Pescara"},
    {u"069", u"Chieti"},          {u"070", u"Campobasso"},
    {u"071", u"Foggia"},          {u"072", u"Bari"},
    {u"073", u"Taranto"},         {u"074", u"Brindisi"},
    {u"075", u"Lecce"},           {u"076", u"Potenza"},
    {u"077", u"Matera"},          {u"078", u"Cosenza"},
    {u"079", u"Catanzaro"},       {u"080", u"Reggio Calabria"},
    {u"081", u"Trapani"},         {u"082", u"Palermo"},
    {u"083", u"Messina"},         {u"084", u"Agrigento"},
    {u"085", u"Caltanissetta"},   {u"086", u"Enna"},
    {u"087", u"Catania"},         {u"088", u"Ragusa"},
    {u"089", u"Siracusa"},        {u"090", u"Sassari"},
    {u"091", u"Nuoro"},           {u"092", u"Cagliari"},
    {u"093", u"Pordenone"},       {u"094", u"Isernia"},
    {u"095", u"Oristano"},        {u"096", u"Monza (Milano 2)"},
    {u"097", u"Prato (Firenze 2)"}, {u"098", u"Brescia 2"},
    {u"099", u"Chiavari (Genova 2)"}, {u"100", u"Roma 2"},
    {u"101", u"Bologna 2"},       {u"102", u"Napoli 2"},
    {u"120", u"Bologna 2"},       {u"121", u"Napoli 2"},
};
static_assert(std::size(kOffices) == 104);

} // namespace

// ---- Tax code ----

QChar taxCodeCheckLetter(QStringView first15)
{
    if (first15.size() != 15)
        return {};
    int sum = 0;
    for (qsizetype i = 0; i < first15.size(); ++i) {
        const QChar c = first15[i];
        if (!isDigit(c) && !isUpperLetter(c))
            return {};
        // Positions count from 1: index 0 is the first odd position.
        sum += (i % 2 == 0) ? oddValue(c) : evenValue(c);
    }
    return QChar(u'A' + sum % 26);
}

TaxCodeAnswer checkTaxCode(const QString &code)
{
    const QString t = text::upperAscii(code);
    if (t.size() != 16)
        return TaxCodeAnswer::BadFormat;
    for (QChar c : t)
        if (!isDigit(c) && !isUpperLetter(c))
            return TaxCodeAnswer::BadFormat;
    return t[15] == taxCodeCheckLetter(QStringView(t).left(15)) ? TaxCodeAnswer::Valid
                                                                 : TaxCodeAnswer::Wrong;
}

// ---- VAT number ----

int vatCheckDigit(QStringView first10)
{
    if (first10.size() != 10 || !allDigits(first10))
        return -1;
    int sum = 0;
    for (qsizetype i = 0; i < 10; ++i) {
        const int d = first10[i].unicode() - u'0';
        if (i % 2 == 0) {
            sum += d;
        } else {
            const int twice = 2 * d;
            sum += twice / 10 + twice % 10;
        }
    }
    return sum % 10 == 0 ? 0 : 10 - sum % 10;
}

QString vatOffice(QStringView code)
{
    for (const Office &o : kOffices)
        if (code == QStringView(o.code))
            return QString::fromUtf16(o.name);
    return {};
}

VatResult checkVat(const QString &number)
{
    const QString t = text::upperAscii(number);
    if (t.size() != kVatLength)
        return {VatAnswer::BadLength, {}, {}};
    if (!allDigits(t) || vatCheckDigit(QStringView(t).left(10)) != t[10].unicode() - u'0')
        return {VatAnswer::Wrong, {}, {}};
    const QString code = t.mid(7, 3);
    return {VatAnswer::Valid, code, vatOffice(code)};
}

// ---- Payment card ----

QString cardDigits(const QString &text)
{
    QString digits;
    for (QChar c : text) {
        if (digits.size() == kCardDigits)
            break;
        if (isDigit(c))
            digits.append(c);
    }
    return digits;
}

bool luhnValid(QStringView digits)
{
    const qsizetype n = digits.size();
    if (n == 0 || !allDigits(digits))
        return false;
    int sum = 0;
    bool doubled = true; // the digit just left of the check digit is doubled
    for (qsizetype i = n - 2; i >= 0; --i, doubled = !doubled) {
        int d = digits[i].unicode() - u'0';
        if (doubled) {
            d *= 2;
            if (d >= 10)
                d -= 9;
        }
        sum += d;
    }
    return digits[n - 1].unicode() - u'0' == (10 - sum % 10) % 10;
}

CardFamily cardFamily(QStringView digits)
{
    if (digits.isEmpty())
        return CardFamily::None;
    switch (digits[0].unicode()) {
    case u'3':
        if (digits.size() < 2)
            return CardFamily::None;
        switch (digits[1].unicode()) {
        case u'0': case u'6': case u'8': return CardFamily::DinersClub;
        case u'4': case u'7': return CardFamily::AmericanExpress;
        case u'1': case u'3': case u'5': return CardFamily::Jcb;
        default: return CardFamily::None;
        }
    case u'4': return CardFamily::Visa;
    case u'5': return CardFamily::MasterCard;
    case u'6': return CardFamily::Discover;
    default: return CardFamily::None;
    }
}

QString cardFamilyName(CardFamily family)
{
    switch (family) {
    case CardFamily::DinersClub: return QStringLiteral("Diner's Club / Carte Blanche");
    case CardFamily::AmericanExpress: return QStringLiteral("American Express");
    case CardFamily::Jcb: return QStringLiteral("JCB");
    case CardFamily::Visa: return QStringLiteral("Visa");
    case CardFamily::MasterCard: return QStringLiteral("MasterCard");
    case CardFamily::Discover: return QStringLiteral("Discover");
    case CardFamily::None: break;
    }
    return {};
}

CardResult checkCard(const QString &text)
{
    const QString shown = text::trim(text);
    if (shown.isEmpty())
        return {CardAnswer::Empty, CardFamily::None, shown};
    // The family goes by the digits, so that a number written with separators is
    // judged like the same number typed plain.
    const QString digits = cardDigits(shown);
    if (!luhnValid(digits) || digits[0] < u'3' || digits[0] > u'6')
        return {CardAnswer::Wrong, CardFamily::None, shown};
    return {CardAnswer::Valid, cardFamily(digits), shown};
}

// ---- IBAN ----

bool ibanValid(const QString &text)
{
    QString s = text::upperAscii(text);
    s.remove(u' ');
    const qsizetype word = s.indexOf(QStringLiteral("IBAN"));
    if (word >= 0)
        s.remove(word, 4);
    s = s.mid(4) + s.left(4);

    QString digits;
    digits.reserve(2 * s.size());
    for (QChar c : s) {
        if (isUpperLetter(c))
            digits += QString::number(c.unicode() - u'A' + 10);
        else
            digits += c;
    }

    // Nine digits at most per step: the carried remainder followed by a piece of the text.
    int result = 0;
    QString carry;
    qsizetype pos = 0;
    while (pos < digits.size()) {
        const qsizetype take = 9 - carry.size();
        const QString piece = carry + digits.mid(pos, take);
        pos += take;
        if (!allDigits(piece))
            return false;
        result = int(piece.toLongLong() % 97);
        carry = QString::number(result);
    }
    return result == 1;
}

IbanAnswer checkIban(const QString &text)
{
    const QString t = text::trim(text);
    if (t.size() != kIbanLength)
        return IbanAnswer::BadLength;
    return ibanValid(t) ? IbanAnswer::Valid : IbanAnswer::Wrong;
}

} // namespace checks
