#pragma once
// Settings-style text files ("Tirello.ini", the password file): Windows-1252 text,
// CR LF lines, "[Section]" headers and "key=value" lines, names without regard to case.
// Files edited by hand are read as their editor showed them: CR LF, a lone LF and a lone
// CR all end a line, and a UTF-8 byte-order mark is dropped (the text after it is read
// as UTF-8 when it is valid UTF-8; a second mark, also one saved again as text, goes too).
// Writing always produces Windows-1252 with CR LF, with no byte-order mark.

#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <utility>

class IniError : public std::runtime_error {
public:
    explicit IniError(const QString &what) : std::runtime_error(what.toStdString()) {}
};

namespace ini {

// The stored value with surrounding blanks removed, or empty when the file, the section
// or the key is missing. Never creates the file. A file that exists but cannot be read
// (no permission, a folder of that name, a read error) throws IniError.
QString read(const QString &path, const QString &section, const QString &key);
// The values of several keys of one section from one reading of the file, in the order
// of the keys.
QStringList readMany(const QString &path, const QString &section, const QStringList &keys);

// Replaces the key's value in place, or adds the key at the end of its section, or the
// section at the end of the file, or creates the file. The file is replaced whole
// (safesave), so a failure leaves the old file as it was. The file is read and replaced
// under its lock (sharelock.h), so that stations sharing the folder never write over each
// other's changes. Throws IniError.
void write(const QString &path, const QString &section, const QString &key, const QString &value);

// Several keys of one section, in order, as write() would one after the other, but with
// one replacement of the file: either all of them are stored or, on failure, none.
void writeMany(const QString &path, const QString &section, const QList<std::pair<QString, QString>> &values);

} // namespace ini
