#pragma once
// Whole files in one call, for tests that put bytes down and read them back.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace support {

// False when the file could not be written whole.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

// Empty when the file cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace support
