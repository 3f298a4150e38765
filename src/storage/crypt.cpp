#include "crypt.h"

#include "storage/inifile.h"
#include "storage/textcodec.h"

namespace Crypt {
namespace {

quint16 next(quint16 key, quint8 s)
{
    return quint16((quint32(s) + key) * kMultiplier + kAddend);
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

} // namespace

QString Scramble(const QString &plain)
{
    static const char digits[] = "0123456789ABCDEF";
    QString out;
    out.reserve(plain.size() * 2);
    quint16 key = kStartKey;
    for (QChar c : plain) {
        const quint8 s = quint8(c.unicode() & 0xFF) ^ quint8(key >> 8);
        out += QLatin1Char(digits[s >> 4]);
        out += QLatin1Char(digits[s & 0xF]);
        key = next(key, s);
    }
    return out;
}

QString Unscramble(const QString &hex)
{
    QString out;
    quint16 key = kStartKey;
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        const int hi = hexValue(hex[i]), lo = hexValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            throw Error("not a hexadecimal value");
        const quint8 s = quint8(hi * 16 + lo);
        out += QChar(char16_t(s ^ quint8(key >> 8)));
        key = next(key, s);
    }
    return out;
}

bool isStorable(const QString &password)
{
    if (password.size() > 255)
        return false;
    for (QChar c : password)
        if (c.unicode() > 255)
            return false;
    return true;
}

} // namespace Crypt

namespace password {

QString normalise(const QString &typed)
{
    return text::trim(text::upperAscii(typed));
}

QString readStored(const QString &file)
{
    return text::trim(Crypt::Unscramble(ini::read(file, kSection, kKey)));
}

void writeStored(const QString &file, const QString &newPassword)
{
    ini::write(file, kSection, kKey, text::trim(Crypt::Scramble(normalise(newPassword))));
}

} // namespace password
