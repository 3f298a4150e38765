// The export grid kept as the archive's bytes: every cell reads back as the standard
// conversion of its fields gives it, and the file written from it is byte for byte the
// one the same texts give; edits, long cells and archives read in two parts included.

#include "certificates/certexport.h"
#include "clients/clientexport.h"
#include "models/modelexport.h"
#include "reports/reportexport.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"
#include "tools/spreadsheet.h"

#include <QBuffer>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "support/twothreads.h"

using records::Record;
using spreadsheet::ArchiveGrid;
using spreadsheet::Grid;
using spreadsheet::Sheet;

namespace {

// A record with random bytes in every field: blanks and controls at both ends, zeros,
// the code page's own letters and its unassigned bytes, markup characters; now and then
// a short text whose length byte is over its capacity, or a certificate memo without its
// ending zero.
Record randomRecord(const records::Layout &layout, QRandomGenerator &random)
{
    static const QByteArray alphabet("aZ09 \t\x01\x1f\x20&<>\"'\x80\x81\x8d\x9f\xa0\xe0\xff?", 23);
    Record r(layout);
    char *bytes = r.bytes().data();
    for (const records::Field &f : layout.fields()) {
        const bool whole = random.bounded(10) == 0;
        const int n = whole ? f.capacity : random.bounded(0, std::min(f.capacity, 24) + 1);
        QByteArray text(n, Qt::Uninitialized);
        for (char &c : text)
            c = random.bounded(20) ? alphabet.at(random.bounded(int(alphabet.size()))) : char(random.bounded(256));
        if (layout.encoding() == records::Encoding::ShortText) {
            bytes[f.offset] = char(random.bounded(8) ? n : 255);
            std::memcpy(bytes + f.offset + 1, text.constData(), size_t(n));
        } else {
            if (whole)
                text.replace('\0', 'x'); // no zero at all: the memo runs to the field's end
            std::memcpy(bytes + f.offset, text.constData(), size_t(n));
            bytes[f.offset + n] = whole ? 'y' : '\0';
        }
    }
    return r;
}

// The cells spelled out on decoded texts: each column's fields as a card reads them,
// joined with one blank, trimmed.
QStringList expectedCells(const Sheet &sheet, const Record &r)
{
    QStringList cells;
    for (const spreadsheet::Column &c : sheet.columns) {
        QStringList texts;
        for (const QString &field : c.fields)
            texts.append(r.text(field));
        cells.append(text::trim(texts.join(u' ')));
    }
    return cells;
}

template <class Rows>
QByteArray document(const Sheet &sheet, const Rows &grid)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return spreadsheet::write(buffer, sheet, grid) ? buffer.data() : QByteArray("write failed");
}

using support::TwoThreadSize;

} // namespace

class TestArchiveGrid : public QObject {
    Q_OBJECT
private slots:
    void cellsAndFileAsTheTextsGive_data()
    {
        QTest::addColumn<const Sheet *>("sheet");
        QTest::addColumn<const records::Layout *>("layout");
        QTest::addColumn<bool>("twoParts");
        const std::tuple<const char *, const Sheet *, const records::Layout *> kinds[] = {
            {"clienti", &clients::exportSheet(), &records::client()},
            {"modelli", &models::exportSheet(), &records::model()},
            {"rapporti", &reports::exportSheet(), &records::report()},
            {"certificati", &certificates::exportSheet(), &records::certificate()},
        };
        for (const auto &[name, sheet, layout] : kinds) {
            QTest::addRow("%s, one part", name) << sheet << layout << false;
            QTest::addRow("%s, two parts", name) << sheet << layout << true;
        }
    }
    void cellsAndFileAsTheTextsGive()
    {
        QFETCH(const Sheet *, sheet);
        QFETCH(const records::Layout *, layout);
        QFETCH(bool, twoParts);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("archivio"));
        QRandomGenerator random(quint32(layout->size()));
        Grid expected(int(sheet->columns.size()));
        QByteArray all;
        constexpr int kCount = 201;
        for (int i = 0; i < kCount; ++i) {
            const Record r = randomRecord(*layout, random);
            all += r.bytes();
            expected.appendRow(expectedCells(*sheet, r));
        }
        all += QByteArray(layout->size() / 2, 'x'); // a partial record at the end: not a row
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(all), all.size());
        file.close();

        TwoThreadSize size(twoParts ? 0 : std::numeric_limits<qint64>::max());
        ArchiveGrid kept(int(sheet->columns.size()));
        QVERIFY(spreadsheet::fill(kept, *sheet, *layout, path));
        Grid texts(int(sheet->columns.size()));
        QVERIFY(spreadsheet::fill(texts, *sheet, *layout, path));
        QCOMPARE(kept.rowCount(), kCount);
        QCOMPARE(texts.rowCount(), kCount);
        for (int r = 0; r < kCount; ++r) {
            for (int c = 0; c < kept.columnCount(); ++c) {
                QCOMPARE(kept.cell(r, c), expected.cell(r, c).toString());
                QCOMPARE(texts.cell(r, c), expected.cell(r, c));
            }
        }
        const QByteArray wanted = document(*sheet, expected);
        QVERIFY(document(*sheet, kept) == wanted);
        QVERIFY(document(*sheet, texts) == wanted);
    }

    void editsAndLongCells()
    {
        const Sheet sheet{QStringLiteral("Prova.xls"),
                          QStringLiteral("Prova"),
                          {{QStringLiteral("A"), 50, QStringLiteral("A"), 50, {}},
                           {QStringLiteral("B"), 50, QStringLiteral("B"), 50, {}},
                           {QStringLiteral("C"), 50, QStringLiteral("C"), 50, {}}}};
        const QByteArray huge(70000, '\xe8'); // over what a cell's length can count
        ArchiveGrid first(3), second(3);
        first.appendRow();
        first.appendCell("uno");
        first.appendCell(huge);
        first.appendCell(QByteArrayView("\x80 tre", 5));
        first.appendCell("ignorata");
        second.appendRow();
        second.appendCell(QByteArrayView("  quattro\t", 10));
        second.appendRow(); // a row never given cells
        second.setCell(1, 2, QStringLiteral("\u2264 5 \U0001F600"));
        const QByteArrayView whole[] = {"cinque", huge, QByteArrayView("s\xe9i", 3), "in pi\xf9"};
        second.appendRow(whole); // a whole row at once
        first.append(std::move(second));
        first.setCell(0, 0, QString(20000, u'x'));
        first.setCell(7, 0, QStringLiteral("fuori"));

        Grid same(3);
        same.appendRow({QString(20000, u'x'), QString(70000, u'\u00e8'), QStringLiteral("\u20ac tre")});
        same.appendRow({QStringLiteral("  quattro\t")});
        same.appendRow({QString(), QString(), QStringLiteral("\u2264 5 \U0001F600")});
        same.appendRow({QStringLiteral("cinque"), QString(70000, u'\u00e8'), QStringLiteral("s\u00e9i")});
        QCOMPARE(first.rowCount(), 4);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                QCOMPARE(first.cell(r, c), same.cell(r, c).toString());
        QVERIFY(first.cell(4, 0).isEmpty() && first.cell(0, 3).isEmpty() && first.cell(-1, 0).isEmpty());
        QVERIFY(document(sheet, first) == document(sheet, same));

        // In a view, as the export windows show it.
        spreadsheet::ArchiveGridModel model(sheet);
        model.setGrid(std::move(first));
        model.setEditable({2});
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("3"));
        QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("  quattro\t"));
        QVERIFY(!model.setData(model.index(1, 1), QStringLiteral("no")));
        QVERIFY(model.setData(model.index(1, 2), QStringLiteral("s\u00ec")));
        QCOMPARE(model.grid().cell(1, 1), QStringLiteral("s\u00ec"));
    }

    void unreadableArchive()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Clienti.pro"));
        QVERIFY(QDir().mkdir(folder));
        ArchiveGrid grid(int(clients::exportSheet().columns.size()));
        QVERIFY(!spreadsheet::fill(grid, clients::exportSheet(), records::client(), folder));
        QCOMPARE(grid.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestArchiveGrid)
#include "test_archivegrid.moc"
