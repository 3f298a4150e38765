#include "fields.h"

#include "textcodec.h"

#include <cstring>

namespace fields {

void writeShort(char *field, int capacity, const QString &value)
{
    const QByteArray bytes = text::toCp1252(text::trim(value));
    const int n = int(qMin<qsizetype>(bytes.size(), capacity));
    field[0] = char(n);
    std::memcpy(field + 1, bytes.constData(), size_t(n));
}

QByteArrayView shortBytes(const char *field, int capacity)
{
    // Bytes of 32 or less are the same characters in the code page: trim before converting.
    const char *begin = field + 1;
    const char *end = begin + qMin(int(static_cast<unsigned char>(field[0])), capacity);
    while (begin < end && static_cast<unsigned char>(*begin) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(end[-1]) <= 32)
        --end;
    return QByteArrayView(begin, end - begin);
}

QString readShort(const char *field, int capacity)
{
    const QByteArrayView bytes = shortBytes(field, capacity);
    return bytes.isEmpty() ? QString() : text::fromCp1252(bytes.data(), bytes.size());
}

void writeZero(char *field, int capacity, const QString &value)
{
    QByteArray bytes = text::toCp1252(value);
    // A zero inside the text would end it early on reading: keep what a reader sees.
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    const int n = int(qMin<qsizetype>(bytes.size(), capacity));
    std::memcpy(field, bytes.constData(), size_t(n));
    field[n] = '\0';
}

QByteArrayView zeroBytes(const char *field, int capacity)
{
    const void *end = std::memchr(field, 0, size_t(capacity) + 1);
    return QByteArrayView(field, end ? static_cast<const char *>(end) - field : capacity + 1);
}

QString readZero(const char *field, int capacity)
{
    const QByteArrayView bytes = zeroBytes(field, capacity);
    return text::fromCp1252(bytes.data(), bytes.size());
}

} // namespace fields
