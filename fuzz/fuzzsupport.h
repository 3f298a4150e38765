#pragma once
// Helpers shared by the fuzz targets: turning the fuzzer's bytes into texts, a scratch
// folder for the targets that go through real files, and a check that stops the run.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken promise is a finding: print it and abort, so that libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

namespace fuzz {

// Two texts that must be equal; on a difference both are printed, code by code.
inline void checkSame(const QString &got, const QString &want, const char *what)
{
    if (got == want)
        return;
    auto codes = [](const QString &s) {
        QByteArray out;
        for (QChar c : s)
            out += QByteArray::number(c.unicode(), 16) + ' ';
        return out;
    };
    std::fprintf(stderr, "%s differs\n  got:  %s\n  want: %s\n", what, codes(got).constData(), codes(want).constData());
    std::abort();
}

// Pairs of bytes as UTF-16 code units (little endian), lone surrogates and all: every
// text a QString can hold. An odd last byte is dropped.
inline QString utf16(const uint8_t *data, size_t size)
{
    QString s(qsizetype(size / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < size; i += 2)
        s[qsizetype(i / 2)] = QChar(char16_t(data[i] | (data[i + 1] << 8)));
    return s;
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A folder of the process's own, on the memory file system when there is one.
inline QString scratchDir()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/tirello-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/tirello-fuzz-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "no scratch folder\n");
        std::abort();
    }
    return dir.path();
}

inline void writeFile(const QString &path, const QByteArray &contents)
{
    QFile::remove(path);
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly) && f.write(contents) == contents.size());
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

} // namespace fuzz
