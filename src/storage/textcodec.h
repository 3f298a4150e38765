#pragma once
// Text rules shared by every archive, list and password: Windows-1252 conversion,
// trimming of control characters and blanks, and the A-Z only case folding.

#include <QByteArray>
#include <QString>

#include <optional>

namespace text {

// Character written for every code point that Windows-1252 cannot hold.
inline constexpr char kReplacement = '?';

QString fromCp1252(const char *data, qsizetype size);
inline QString fromCp1252(const QByteArray &bytes) { return fromCp1252(bytes.constData(), bytes.size()); }
QByteArray toCp1252(const QString &text);
// The bytes fromCp1252 turns into exactly `text`; none when a character of it is not in
// the code page (such a text can never come out of a stored field).
std::optional<QByteArray> toCp1252Exact(const QString &text);

// Removes every character of code 32 or less from both ends (not QString::trimmed()).
QString trim(const QString &text);
bool isBlank(const QString &text);

// Folds only the ASCII letters; accented letters stay as they are.
QString upperAscii(const QString &text);
QString lowerAscii(const QString &text);

} // namespace text
