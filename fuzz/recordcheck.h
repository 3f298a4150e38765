#pragma once
// What every record promises, whatever bytes it holds: each field reads inside its own
// N + 1 bytes, writing a field touches only those bytes, and a text read from a record
// writes back to the same text (ZeroText: cut to its N characters), so that a record
// opened and saved again unchanged keeps every value.

#include "fuzzsupport.h"

#include "storage/fields.h"
#include "storage/records.h"
#include "storage/textcodec.h"

#include <QStringList>

#include <cstring>
#include <memory>

namespace fuzz {

inline const records::Layout &layoutOf(uint8_t selector)
{
    switch (selector % 4) {
    case 0: return records::client();
    case 1: return records::model();
    case 2: return records::report();
    default: return records::certificate();
    }
}

inline bool isShort(const records::Layout &layout)
{
    return layout.encoding() == records::Encoding::ShortText;
}

// Reads every field of the record and checks the promises on each value.
inline QStringList decodeAll(const records::Record &record)
{
    const records::Layout &layout = record.layout();
    QStringList values;
    values.reserve(layout.fields().size());
    for (int i = 0; i < layout.fields().size(); ++i) {
        const records::Field &f = layout.fields()[i];
        const QString v = record.text(i);
        FUZZ_CHECK(record.text(f.name) == v);
        if (isShort(layout)) {
            FUZZ_CHECK(v.size() <= f.capacity);
            FUZZ_CHECK(text::trim(v) == v);
        } else {
            // Without its zero byte a field reads all of its N + 1 bytes.
            FUZZ_CHECK(v.size() <= f.capacity + 1);
            FUZZ_CHECK(!v.contains(QChar(0)));
        }
        // One byte per character: nothing is lost between the bytes and the text.
        FUZZ_CHECK(text::toCp1252(v).size() == v.size());
        values.append(v);
    }
    return values;
}

// What a field gives back after the value was written into it.
inline QString expectedBack(const records::Layout &layout, int field, const QString &value)
{
    const int capacity = layout.fields()[field].capacity;
    return isShort(layout) ? value : value.left(capacity);
}

// Writes the values into a copy of the record, field by field, checking that the bytes
// just outside each field stay as they were, then reads them back. Returns the record
// written.
inline records::Record rewrite(const records::Record &original, const QStringList &values)
{
    const records::Layout &layout = original.layout();
    records::Record copy(layout, original.bytes());
    for (int i = 0; i < layout.fields().size(); ++i) {
        const records::Field &f = layout.fields()[i];
        const int end = f.offset + f.capacity + 1;
        const char before = f.offset > 0 ? copy.bytes()[f.offset - 1] : 0;
        const char after = end < layout.size() ? copy.bytes()[end] : 0;
        copy.setText(i, values[i]);
        FUZZ_CHECK(copy.bytes().size() == layout.size());
        FUZZ_CHECK(f.offset == 0 || copy.bytes()[f.offset - 1] == before);
        FUZZ_CHECK(end >= layout.size() || copy.bytes()[end] == after);
    }
    return copy;
}

// The encoders on a heap block of exactly N + 1 bytes: the address sanitizer stops any
// byte written or read outside it.
inline void checkExact(const records::Layout &layout, int field, const QString &value)
{
    const int capacity = layout.fields()[field].capacity;
    std::unique_ptr<char[]> block(new char[size_t(capacity) + 1]);
    std::memset(block.get(), 0x5A, size_t(capacity) + 1);
    if (isShort(layout)) {
        fields::writeShort(block.get(), capacity, value);
        FUZZ_CHECK(fields::readShort(block.get(), capacity).size() <= capacity);
    } else {
        fields::writeZero(block.get(), capacity, value);
        FUZZ_CHECK(fields::readZero(block.get(), capacity).size() <= capacity);
    }
}

inline void checkRecord(const records::Record &record)
{
    const records::Layout &layout = record.layout();
    const QStringList first = decodeAll(record);
    const records::Record once = rewrite(record, first);
    const QStringList second = decodeAll(once);
    for (int i = 0; i < first.size(); ++i)
        FUZZ_CHECK(second[i] == expectedBack(layout, i, first[i]));
    // From the second writing on, nothing moves any more: same values, same bytes.
    const records::Record twice = rewrite(once, second);
    FUZZ_CHECK(decodeAll(twice) == second);
    FUZZ_CHECK(twice.bytes() == once.bytes());
}

} // namespace fuzz
