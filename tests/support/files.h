#pragma once
// Whole files in one call, for tests that put bytes down and read them back.

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
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

// Every file under a folder with its bytes, and every sub-folder ("(folder)"), hidden ones
// included, by path relative to the folder: a file left behind, gone or changed shows.
inline QMap<QString, QByteArray> treeOf(const QString &folder)
{
    QMap<QString, QByteArray> all;
    const QDir root(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        all.insert(root.relativeFilePath(info.filePath()),
                   info.isDir() ? QByteArray("(folder)") : readFile(info.filePath()));
    }
    return all;
}

} // namespace support
