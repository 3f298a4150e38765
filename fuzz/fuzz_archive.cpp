// Reading an archive made of arbitrary bytes, partial tail included, through the
// program's own reading code, then appending and overwriting in it.
//
// Input: one selector byte, then the archive's contents. Selectors 0-3 pick a layout and
// decode every record read; from 4 on the archive holds records of (selector - 3) bytes,
// so that short inputs still make archives of many records.

#include "recordcheck.h"

#include "storage/recordfile.h"

#include <QFile>

namespace {

template <typename F>
bool throwsArchiveError(F &&f)
{
    try {
        f();
    } catch (const ArchiveError &) {
        return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool real = data[0] < 4;
    const records::Layout *layout = real ? &fuzz::layoutOf(data[0]) : nullptr;
    const int recordSize = real ? layout->size() : data[0] - 3;
    const QByteArray contents = fuzz::bytes(data + 1, size - 1);
    const QString path = fuzz::scratchDir() + QStringLiteral("/archivio.pro");
    fuzz::writeFile(path, contents);

    const int whole = int(contents.size() / recordSize);
    FUZZ_CHECK(archive::count(path, recordSize) == whole);

    // A scan gives every whole record once, in file order, byte for byte.
    int next = 0;
    archive::scan(path, recordSize, [&](int index, QByteArrayView record) {
        FUZZ_CHECK(index == next);
        FUZZ_CHECK(record.size() == recordSize);
        FUZZ_CHECK(record == contents.mid(qsizetype(index) * recordSize, recordSize));
        if (layout)
            fuzz::checkRecord(records::Record(*layout, record.toByteArray()));
        ++next;
    });
    FUZZ_CHECK(next == whole);

    // Reading at a position: 1 .. count, nothing before or after (the tail is no record).
    for (int position : {1, whole / 2 + 1, whole})
        if (position >= 1 && position <= whole)
            FUZZ_CHECK(archive::readAt(path, recordSize, position)
                       == contents.mid(qsizetype(position - 1) * recordSize, recordSize));
    for (int position : {0, -1, whole + 1, whole + 2})
        FUZZ_CHECK(throwsArchiveError([&] { archive::readAt(path, recordSize, position); }));

    {
        RecordFile file(path, recordSize);
        file.open();
        FUZZ_CHECK(file.count() == whole);
        QByteArray block;
        int got = 0;
        while (const int n = file.readMany(block, 3)) {
            FUZZ_CHECK(n <= 3 && block.size() == qsizetype(n) * recordSize);
            FUZZ_CHECK(block == contents.mid(qsizetype(got) * recordSize, block.size()));
            got += n;
        }
        FUZZ_CHECK(got == whole && file.atEnd());
        QByteArray record;
        FUZZ_CHECK(throwsArchiveError([&] { file.read(record); }));
        FUZZ_CHECK(throwsArchiveError([&] { file.seek(whole + 1); }));
    }

    // Appending writes over a partial tail; every stored record stays as it was.
    QByteArray added(recordSize, '\0');
    for (int i = 0; i < recordSize; ++i)
        added[i] = char(0xA5 ^ i);
    FUZZ_CHECK(archive::append(path, added) == whole + 1);
    const QByteArray after = fuzz::readFile(path);
    FUZZ_CHECK(after.size() == qsizetype(whole + 1) * recordSize);
    FUZZ_CHECK(after.first(qsizetype(whole) * recordSize) == contents.first(qsizetype(whole) * recordSize));
    FUZZ_CHECK(archive::readAt(path, recordSize, whole + 1) == added);

    // Overwriting one record changes that record only.
    const int position = whole / 2 + 1;
    archive::overwriteAt(path, position, QByteArray(recordSize, 'x'));
    QByteArray expected = after;
    expected.replace(qsizetype(position - 1) * recordSize, recordSize, QByteArray(recordSize, 'x'));
    FUZZ_CHECK(fuzz::readFile(path) == expected);
    FUZZ_CHECK(throwsArchiveError([&] { archive::overwriteAt(path, whole + 3, QByteArray(recordSize, 'y')); }));
    FUZZ_CHECK(fuzz::readFile(path) == expected);
    return 0;
}
