#pragma once
// Scrambling of the access password and its storage in the password file.

#include <QString>

#include <stdexcept>

namespace Crypt {

// Fixed for good: a password file can only be read with the values that wrote it.
inline constexpr quint16 kStartKey = 6143;
inline constexpr quint16 kMultiplier = 31477;
inline constexpr quint16 kAddend = 19853;

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Two upper-case hexadecimal digits per character (the low 8 bits of its code).
QString Scramble(const QString &plain);
// A last unpaired digit is ignored; a pair that is not hexadecimal throws Crypt::Error.
QString Unscramble(const QString &hex);

// What the routines can carry: at most 255 characters, every code below 256.
bool isStorable(const QString &password);

} // namespace Crypt

namespace password {

inline const QString kFileName = QStringLiteral("unins000.dll");
inline const QString kSection = QStringLiteral("Accesso");
inline const QString kKey = QStringLiteral("Valore");
inline const QString kFirstPassword = QStringLiteral("BENVENUTONUOVO");

// Passwords are kept upper case (a-z only) and trimmed.
QString normalise(const QString &typed);
// Empty when the file, section or key is missing; throws on a non-hexadecimal value.
QString readStored(const QString &file);
// Throws IniError when the file cannot be written; the old file then stays as it was.
void writeStored(const QString &file, const QString &newPassword);

} // namespace password
