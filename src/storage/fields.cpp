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

QString readZero(const char *field, int capacity)
{
    const QByteArrayView bytes = zeroBytes(field, capacity);
    return text::fromCp1252(bytes.data(), bytes.size());
}

} // namespace fields
