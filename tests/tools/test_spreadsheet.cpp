// The spreadsheet export: the exact bytes of the file, the cell encoding, the grid, and
// writes that fail without touching what was there before.

#include "tools/spreadsheet.h"
#include "support/environment.h"
#include "support/faildevice.h"
#include "support/scratchfs.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

using spreadsheet::Grid;
using spreadsheet::Sheet;

namespace {

const Sheet kSheet{
    QStringLiteral("Prova.xls"),
    QStringLiteral("Riepilogo Prova"),
    {
        {QStringLiteral("Nome"), 100, QStringLiteral("Nome"), 250, {}},
        {QStringLiteral("Citt\u00e0"), 100, QStringLiteral("Citt\u00e0"), 200, {}},
        {QStringLiteral("Note"), 100, QStringLiteral("Note"), 300, {}},
    },
};

const QByteArray kHead =
    "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
    "xmlns=\"http://www.w3.org/TR/REC-html40\"><head>"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
    "<!--[if gte mso 9]><xml><x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet>"
    "<x:Name>Riepilogo Prova</x:Name><x:WorksheetOptions><x:Selected/><x:Panes><x:Pane>"
    "<x:Number>1</x:Number><x:ActiveRow>3</x:ActiveRow></x:Pane></x:Panes>"
    "<x:ProtectContents>False</x:ProtectContents><x:ProtectObjects>False</x:ProtectObjects>"
    "<x:ProtectScenarios>False</x:ProtectScenarios></x:WorksheetOptions></x:ExcelWorksheet>"
    "</x:ExcelWorksheets></x:ExcelWorkbook></xml><![endif]--></head><body><table x:str>"
    "<tr><td style=\"text-align: left; font-weight: bold;\" width=250>Nome</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=200>Citt\xE0</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=300>Note</td></tr>";
const QByteArray kTail = "</table></body></html>";

Grid twoRows()
{
    Grid g(3);
    g.appendRow({QStringLiteral("  Rossi Mario \t"), QStringLiteral("Forl\u00ec FC"),
                 QStringLiteral("A & B <c> d")});
    g.appendRow({QStringLiteral("Societ\u00e0 Bianchi \u20ac"), QString(), QStringLiteral("Perch\u00e9")});
    return g;
}

QByteArray document(const Grid &grid)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!spreadsheet::write(buffer, kSheet, grid))
        return "write failed";
    return buffer.data();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
}

Grid manyRows(int count)
{
    Grid g(3);
    for (int i = 0; i < count; ++i)
        g.appendRow({QStringLiteral("Cliente %1").arg(i), QStringLiteral("Forl\u00ec"), QStringLiteral("nota")});
    return g;
}

} // namespace

class TestSpreadsheet : public QObject {
    Q_OBJECT
private slots:
    void wholeFileBytes()
    {
        const QByteArray rows =
            "<tr><td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">Rossi Mario</td>"
            "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">Forl\xEC FC</td>"
            "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">A &amp; B &lt;c&gt; d</td></tr>"
            "<tr><td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">Societ\xE0 Bianchi \x80</td>"
            "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\"></td>"
            "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">Perch\xE9</td></tr>";
        QCOMPARE(document(twoRows()), kHead + rows + kTail);
        // An empty archive: the header row only.
        QCOMPARE(document(Grid(3)), kHead + kTail);
    }

    void cellEncoding_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("latin letters") << QStringLiteral("S\u00ec, \u00e8 l\u00ec") << QByteArray("S\xEC, \xE8 l\xEC");
        QTest::newRow("code page extras") << QStringLiteral("\u20ac \u201cok\u201d \u0152") << QByteArray("\x80 \x93ok\x94 \x8C");
        QTest::newRow("markup characters") << QStringLiteral("<b>R&D</b>") << QByteArray("&lt;b&gt;R&amp;D&lt;/b&gt;");
        QTest::newRow("entity text stays text") << QStringLiteral("&amp;") << QByteArray("&amp;amp;");
        QTest::newRow("outside the code page") << QStringLiteral("\u2264 5 \u03a9") << QByteArray("&#8804; 5 &#937;");
        QTest::newRow("outside the basic plane") << QStringLiteral("a\U0001F600b") << QByteArray("a&#128512;b");
        QTest::newRow("half a surrogate pair") << QString(QChar(0xD800)) << QByteArray("?");
        QTest::newRow("question mark") << QStringLiteral("?") << QByteArray("?");
    }
    void cellEncoding()
    {
        QFETCH(QString, cell);
        QFETCH(QByteArray, bytes);
        QCOMPARE(spreadsheet::encodeCell(cell), bytes);
    }

    void gridCells()
    {
        Grid g(3);
        g.appendRow({QStringLiteral("a"), QStringLiteral("bb")}); // short row: last cell empty
        g.appendRow();
        g.appendCell(u"x");
        g.appendCell(u"y");
        g.appendCell(u"z");
        g.appendCell(u"ignored");
        QCOMPARE(g.rowCount(), 2);
        QCOMPARE(g.cell(0, 1), u"bb");
        QCOMPARE(g.cell(0, 2), u"");
        QCOMPARE(g.cell(1, 2), u"z");
        QCOMPARE(g.cell(2, 0), u"");
        QCOMPARE(g.cell(0, 3), u"");

        // Editing a middle cell, longer then shorter, leaves its neighbours alone.
        g.setCell(1, 1, QStringLiteral("lungo"));
        QCOMPARE((QStringList{g.cell(1, 0).toString(), g.cell(1, 1).toString(), g.cell(1, 2).toString()}),
                 (QStringList{"x", "lungo", "z"}));
        g.setCell(1, 1, QString());
        QCOMPARE((QStringList{g.cell(1, 0).toString(), g.cell(1, 1).toString(), g.cell(1, 2).toString()}),
                 (QStringList{"x", "", "z"}));
        QCOMPARE(g.cell(0, 0), u"a");

        // In a view: row numbers first, read-only unless a column is made editable.
        spreadsheet::GridModel model(kSheet);
        model.setGrid(g);
        QCOMPARE(model.columnCount(), 4);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("N."));
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Citt\u00e0"));
        QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("2"));
        QCOMPARE(model.index(1, 3).data().toString(), QStringLiteral("z"));
        QVERIFY(!model.setData(model.index(1, 3), QStringLiteral("w")));
        model.setEditable({3});
        QVERIFY(!model.setData(model.index(1, 2), QStringLiteral("w")));
        QVERIFY(model.setData(model.index(1, 3), QStringLiteral("w")));
        QCOMPARE(model.grid().cell(1, 2), u"w");
    }

    void saveReplacesTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Prova.xls"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(100000, 'x'));
        }
        QVERIFY(spreadsheet::save(path, kSheet, twoRows()));
        QCOMPARE(readAll(path), document(twoRows()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Prova.xls"});
    }

    void failedSaveTouchesNothing()
    {
        QTemporaryDir dir;
        // The target is a folder (with something in it).
        const QString folder = dir.filePath(QStringLiteral("Prova.xls"));
        QVERIFY(QDir().mkdir(folder));
        QFile inside(folder + QStringLiteral("/dentro.txt"));
        QVERIFY(inside.open(QIODevice::WriteOnly));
        inside.write("resta");
        inside.close();
        QVERIFY(!spreadsheet::save(folder, kSheet, twoRows()));
        QCOMPARE(readAll(inside.fileName()), QByteArray("resta"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Prova.xls"});

        // The folder of the target does not exist.
        const QString missing = dir.filePath(QStringLiteral("manca/Prova.xls"));
        QVERIFY(!spreadsheet::save(missing, kSheet, twoRows()));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("manca"))));

        // A device that stops taking bytes half way is a failure, not a success.
        FailDevice device(kHead.size() + 10);
        QVERIFY(!spreadsheet::write(device, kSheet, twoRows()));
    }

    // The writer notices a device that stops taking bytes wherever that happens, and
    // succeeds only when the device took the whole document.
    void deviceThatFillsUp_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<qint64>("missing"); // bytes of the document the device has no room for
        const qint64 big = document(manyRows(20000)).size();
        QTest::newRow("no room at all") << 2 << qint64(document(twoRows()).size());
        QTest::newRow("last byte") << 2 << qint64(1);
        QTest::newRow("in the first chunk") << 20000 << big - 1000;
        QTest::newRow("in a later chunk") << 20000 << big / 2;
        QTest::newRow("in the tail") << 20000 << qint64(3);
        QTest::newRow("room enough") << 20000 << qint64(0);
    }
    void deviceThatFillsUp()
    {
        QFETCH(int, rows);
        QFETCH(qint64, missing);
        const Grid grid = manyRows(rows);
        const QByteArray whole = document(grid);
        FailDevice device(whole.size() - missing);
        QCOMPARE(spreadsheet::write(device, kSheet, grid), missing == 0);
        QVERIFY(whole.startsWith(device.taken()));
    }

#ifdef Q_OS_LINUX
    void diskFullHalfWayKeepsTheOldFile()
    {
        // A file size limit makes the write fail after the first chunks, as a full disk does.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Prova.xls"));
        QVERIFY(spreadsheet::save(path, kSheet, twoRows()));
        const QByteArray old = readAll(path);

        const Grid big = manyRows(20000);

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto *previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 512 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool ok = spreadsheet::save(path, kSheet, big);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        QVERIFY(!ok);
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Prova.xls"});
    }
#endif

    // A full file system, a small export and a big one: the old file keeps every byte
    // and nothing is left beside it.
    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("small") << 2;
        QTest::newRow("bigger than the disk") << 20000;
    }
    void fullDiskKeepsTheOldFile()
    {
        QFETCH(int, rows);
        ScratchFs fs;
        if (!fs.mounted())
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
        const QString path = fs.filePath(QStringLiteral("Prova.xls"));
        QVERIFY(spreadsheet::save(path, kSheet, twoRows()));
        const auto before = fs.contents();
        QVERIFY(fs.fill());
        QVERIFY(!spreadsheet::save(path, kSheet, manyRows(rows)));
        QCOMPARE(fs.contents(), before);
    }

    void readOnlyFolderKeepsTheOldFile()
    {
        ScratchFs fs;
        QTemporaryDir plain;
        const QString folder = fs.mounted() ? fs.path() : plain.path();
        const QString path = QDir(folder).filePath(QStringLiteral("Prova.xls"));
        QVERIFY(spreadsheet::save(path, kSheet, twoRows()));
        const auto before = folderContents(folder);
        const auto restore = qScopeGuard([&] { restoreFolder(folder); });
        if (!makeFolderReadOnly(fs, folder))
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(QStringLiteral("no read-only folder here: ") + fs.reason()));
        QVERIFY(!spreadsheet::save(path, kSheet, manyRows(10)));
        QCOMPARE(folderContents(folder), before);
    }
};

QTEST_GUILESS_MAIN(TestSpreadsheet)
#include "test_spreadsheet.moc"
