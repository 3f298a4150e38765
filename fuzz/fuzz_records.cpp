// Records of the four layouts from arbitrary bytes.
//
// Input: one byte choosing the layout, then the record's bytes (missing ones are zero).
// Bytes beyond the record are a UTF-16 text written into every field of a blank record.

#include "recordcheck.h"

#include <QVarLengthArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const records::Layout &layout = fuzz::layoutOf(data[0]);
    ++data;
    --size;
    const size_t recordBytes = std::min(size, size_t(layout.size()));
    QByteArray bytes = fuzz::bytes(data, recordBytes);
    bytes.resize(layout.size(), '\0');
    const records::Record record(layout, bytes);
    fuzz::checkRecord(record);
    // The record in a block of exactly its size, for the readers that decode into text
    // being built: the same characters, and nothing read past the record.
    std::unique_ptr<char[]> exact(new char[size_t(layout.size())]);
    std::memcpy(exact.get(), bytes.constData(), size_t(layout.size()));
    const records::RecordView view(layout, exact.get());
    QString line;
    QVarLengthArray<char16_t, 8> cell;
    // Each field's bytes alone, read and written in a block of exactly its size.
    for (int i = 0; i < layout.fields().size(); ++i) {
        const records::Field &f = layout.fields()[i];
        std::unique_ptr<char[]> block(new char[size_t(f.capacity) + 1]);
        std::memcpy(block.get(), bytes.constData() + f.offset, size_t(f.capacity) + 1);
        const QString v = fuzz::isShort(layout) ? fields::readShort(block.get(), f.capacity)
                                                : fields::readZero(block.get(), f.capacity);
        FUZZ_CHECK(v == record.text(i));
        fuzz::checkExact(layout, i, v);
        line = QStringLiteral(">");
        view.appendText(i, line);
        FUZZ_CHECK(line == u'>' + v);
        line.resize(1);
        view.appendTrimmed(i, line);
        FUZZ_CHECK(line == u'>' + text::trim(v));
        cell.clear();
        view.appendText(i, cell);
        FUZZ_CHECK(QStringView(cell.constData(), cell.size()) == v);
    }

    if (size > recordBytes) {
        const QString typed = fuzz::utf16(data + recordBytes, size - recordBytes);
        // What reads back unchanged: texts the code page holds whole, without what the
        // encoding drops (blanks at the ends for ShortText, a zero for ZeroText).
        const bool fitsCodePage = text::fromCp1252(text::toCp1252(typed)) == typed;
        records::Record blank(layout);
        for (int i = 0; i < layout.fields().size(); ++i) {
            const records::Field &f = layout.fields()[i];
            fuzz::checkExact(layout, i, typed);
            blank.setText(i, typed);
            const QString back = blank.text(i);
            FUZZ_CHECK(back.size() <= f.capacity);
            const bool plain = fitsCodePage && typed.size() <= f.capacity
                && (fuzz::isShort(layout) ? text::trim(typed) == typed : !typed.contains(QChar(0)));
            if (plain)
                FUZZ_CHECK(back == typed);
        }
        fuzz::checkRecord(blank);
    }
    return 0;
}
