#pragma once
// Text rules shared by every archive, list and password: Windows-1252 conversion,
// trimming of control characters and blanks, and the A-Z only case folding.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace text {

// Character written for every code point that Windows-1252 cannot hold.
inline constexpr char kReplacement = '?';

QString fromCp1252(const char *data, qsizetype size);
// fromCp1252 added to the end of `out`, in the room it already has when that is enough:
// for lines and cells built from many stored texts, without a string for each.
void appendCp1252(QString &out, QByteArrayView bytes);
// The same written to dst, which has room for bytes.size() characters; gives the end.
char16_t *decodeCp1252(QByteArrayView bytes, char16_t *dst);
inline QString fromCp1252(const QByteArray &bytes) { return fromCp1252(bytes.constData(), bytes.size()); }
QByteArray toCp1252(const QString &text);
// The bytes fromCp1252 turns into exactly `text`; none when a character of it is not in
// the code page (such a text can never come out of a stored field).
std::optional<QByteArray> toCp1252Exact(const QString &text);

// Removes every character of code 32 or less from both ends (not QString::trimmed()).
QString trim(const QString &text);
QStringView trimView(QStringView text);
// The same on stored bytes: the bytes of 32 or less are those characters in the code page
// and no other byte decodes to one, so trimming before or after decoding is the same.
inline QByteArrayView trimBytes(QByteArrayView bytes)
{
    const char *begin = bytes.data(), *end = begin + bytes.size();
    while (begin < end && static_cast<unsigned char>(*begin) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(end[-1]) <= 32)
        --end;
    return QByteArrayView(begin, end - begin);
}
bool isBlank(const QString &text);

// Folds only the ASCII letters; accented letters stay as they are.
QString upperAscii(const QString &text);
QString lowerAscii(const QString &text);

} // namespace text
