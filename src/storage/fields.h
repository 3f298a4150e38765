#pragma once
// The two on-disk text encodings of the archives.
//
// ShortText[N]: N + 1 bytes, a length byte then up to N Windows-1252 characters.
// ZeroText[N]:  N + 1 bytes, up to N Windows-1252 characters ended by a zero byte.
//
// Both readers stay inside their N + 1 bytes whatever the bytes hold: a length byte
// above N is clamped, a ZeroText without its zero reads all N + 1 bytes.

#include "textcodec.h"

#include <QByteArrayView>
#include <QString>

#include <cstring>

namespace fields {

// Standard conversion: trim, convert, cut to capacity / convert, trim.
void writeShort(char *field, int capacity, const QString &text);
QString readShort(const char *field, int capacity);

// Certificate fields: stored as typed (untrimmed) and read back untrimmed.
void writeZero(char *field, int capacity, const QString &text);
QString readZero(const char *field, int capacity);

// The stored bytes the readers above decode, one character each: the text without
// decoding, for tests on the raw bytes.
inline QByteArrayView shortBytes(const char *field, int capacity)
{
    // Bytes of 32 or less are the same characters in the code page: trim before converting.
    return text::trimBytes(QByteArrayView(field + 1, qMin(int(static_cast<unsigned char>(field[0])), capacity)));
}

inline QByteArrayView zeroBytes(const char *field, int capacity)
{
    const void *end = std::memchr(field, 0, size_t(capacity) + 1);
    return QByteArrayView(field, end ? static_cast<const char *>(end) - field : capacity + 1);
}

} // namespace fields
