// Replacing whole files: the new file arrives complete or the old one stays byte for byte,
// and every failure is reported, on a real full disk and a real read-only folder too.

#include "storage/safesave.h"
#include "support/environment.h"
#include "support/scratchfs.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>
#include <QtTest>

#include <stdexcept>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Bytes that differ from one position to the next, so a cut or shifted copy shows.
QByteArray pattern(qsizetype size)
{
    QByteArray b(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        b[i] = char('a' + (i * 7 + i / 251) % 26);
    return b;
}

// Saves the same bytes either way: at once, or in small writes through the device.
bool saveBy(const QString &how, const QString &path, const QByteArray &bytes, QString *error)
{
    if (how == u"bytes")
        return safesave::save(path, bytes, error);
    return safesave::save(
        path,
        [&](QIODevice &device) {
            for (qsizetype at = 0; at < bytes.size(); at += 1000)
                if (device.write(bytes.mid(at, 1000)) != qMin<qsizetype>(1000, bytes.size() - at))
                    return false;
            return true;
        },
        error);
}

} // namespace

class TestSafeSave : public QObject {
    Q_OBJECT
private slots:
    void replacesTheFileKeepingItsPermissions_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("bytes") << "bytes";
        QTest::newRow("writer") << "writer";
    }
    void replacesTheFileKeepingItsPermissions()
    {
        QFETCH(QString, how);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tirello.ini"));

        // A new file, then a shorter one over it, then an empty one.
        for (const QByteArray &bytes : {pattern(70000), QByteArray("[A]\r\nb=1\r\n"), QByteArray()}) {
            QString error = QStringLiteral("untouched");
            QVERIFY(saveBy(how, path, bytes, &error));
            QCOMPARE(error, QStringLiteral("untouched"));
            QCOMPARE(readAll(path), bytes);
        }
        const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(path, mode));
        QVERIFY(saveBy(how, path, "nuovo", nullptr));
        QCOMPARE(readAll(path), QByteArray("nuovo"));
        const auto ownerGroupOther = QFile::Permissions(0x7077); // the user bits mirror the owner's
        QCOMPARE(QFile::permissions(path) & ownerGroupOther, mode);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"Tirello.ini"});
    }

    void linkIsFollowed()
    {
        QTemporaryDir dir;
        const QString real = dir.filePath(QStringLiteral("vero.ini")), link = dir.filePath(QStringLiteral("Tirello.ini"));
        QVERIFY(putFile(real, "vecchio"));
        QVERIFY(QFile::link(real, link));
        QVERIFY(safesave::save(link, QByteArray("nuovo")));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readAll(real), QByteArray("nuovo"));
    }

    // A new file only: written where nothing has its name; a file, a folder or a link of
    // that name (even one leading nowhere) is left as it was, and the save fails.
    void newFileNeverReplaces()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Rapporto di prova 1.pdf"));
        QVERIFY(safesave::saveNew(path, "primo"));
        QCOMPARE(readAll(path), QByteArray("primo"));
        QString error;
        QVERIFY(!safesave::saveNew(path, "secondo", &error));
        QVERIFY2(error.contains(path), qPrintable(error));
        QCOMPARE(readAll(path), QByteArray("primo"));

        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("cartella.pdf")));
        QVERIFY(!safesave::saveNew(dir.filePath(QStringLiteral("cartella.pdf")), "x"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("altrove")), dir.filePath(QStringLiteral("link.pdf"))));
        QVERIFY(!safesave::saveNew(dir.filePath(QStringLiteral("link.pdf")), "x"));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("altrove"))));
        QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        left.sort();
        QCOMPARE(left, (QStringList{"Rapporto di prova 1.pdf", "cartella.pdf", "link.pdf"}));
    }

    // Whatever stops the save, the folder looks exactly as before: the old file has every
    // byte, no temporary file is left, and the caller hears of it.
    void failuresTouchNothing_data()
    {
        QTest::addColumn<QString>("why");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("size");
        for (const char *how : {"bytes", "writer"}) {
            QTest::addRow("folder in its place, %s", how) << "folder" << how << 100;
            QTest::addRow("missing folder, %s", how) << "missing" << how << 100;
            QTest::addRow("read-only folder, %s", how) << "read-only folder" << how << 100;
            QTest::addRow("read-only file, %s", how) << "read-only file" << how << 100;
            // A few bytes are the case that slips through buffered writers: nothing fails
            // until the very last flush.
            QTest::addRow("full disk, a few bytes, %s", how) << "full" << how << 40;
            QTest::addRow("full disk, more than fits, %s", how) << "full" << how << (2 << 20);
        }
    }
    void failuresTouchNothing()
    {
        QFETCH(QString, why);
        QFETCH(QString, how);
        QFETCH(int, size);
        ScratchFs fs;
        QTemporaryDir plain;
        if (why == u"full" && !fs.mounted())
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
        const QString folder = fs.mounted() ? fs.path() : plain.path();
        QString path = QDir(folder).filePath(QStringLiteral("Clienti.xls"));
        QVERIFY(putFile(path, pattern(5000)));
        if (why == u"folder") {
            path = QDir(folder).filePath(QStringLiteral("Cartella.xls"));
            QVERIFY(QDir(folder).mkdir(QStringLiteral("Cartella.xls")));
            QVERIFY(putFile(path + QStringLiteral("/dentro.txt"), "resta"));
        } else if (why == u"missing") {
            path = QDir(folder).filePath(QStringLiteral("manca/Clienti.xls"));
        }
        const auto before = folderContents(folder);
        const auto restore = qScopeGuard([&] {
            restoreFolder(folder);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        });
        if (why == u"read-only folder" && !makeFolderReadOnly(fs, folder))
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(QStringLiteral("no read-only folder here: ") + fs.reason()));
        if (why == u"read-only file") {
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
            if (QFile(path).open(QIODevice::WriteOnly | QIODevice::Append))
                QSKIP("read-only files can still be written here (running as root)");
        }
        if (why == u"full")
            QVERIFY(fs.fill());

        QString error;
        QVERIFY(!saveBy(how, path, pattern(size), &error));
        QVERIFY2(error.contains(path), qPrintable(error));
        QCOMPARE(folderContents(folder), before);
        if (why == u"folder")
            QCOMPARE(readAll(path + QStringLiteral("/dentro.txt")), QByteArray("resta"));
    }

    // The writer's device on a full disk: a failed write says so at once, later writes
    // fail too, and the save fails even for a writer that does not look.
    void writerDeviceReportsTheFullDisk()
    {
        ScratchFs fs;
        if (!fs.mounted())
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
        const QString path = fs.filePath(QStringLiteral("Rapporti_di_Prova.xls"));
        QVERIFY(putFile(path, "vecchio"));
        QVERIFY(fs.fill(8192));
        QList<qint64> results;
        const bool ok = safesave::save(path, [&](QIODevice &device) {
            for (int i = 0; i < 4; ++i)
                results.append(device.write(pattern(5000)));
            return true; // careless: never looks at what write() said
        });
        QVERIFY(!ok);
        // Room for the first write only (two pages, give or take one).
        QCOMPARE(results.first(), 5000);
        const qsizetype failed = results.indexOf(-1);
        QVERIFY(failed > 0);
        QCOMPARE(results.mid(failed), QList<qint64>(results.size() - failed, -1));
        QCOMPARE(fs.contents(), (QMap<QString, QByteArray>{{"Rapporti_di_Prova.xls", "vecchio"}}));
    }

    void writerThatGivesUpOrThrows()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Cliente.pdf"));
        QVERIFY(putFile(path, "vecchio"));
        QString error;
        QVERIFY(!safesave::save(
            path,
            [](QIODevice &device) {
                device.write(pattern(100000));
                return false;
            },
            &error));
        QVERIFY(!error.isEmpty());
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, safesave::save(path, [](QIODevice &device) -> bool {
                                     device.write("mezzo");
                                     throw std::runtime_error("rotto");
                                 }));
        QCOMPARE(folderContents(dir.path()), (QMap<QString, QByteArray>{{"Cliente.pdf", "vecchio"}}));
    }
};

QTEST_GUILESS_MAIN(TestSafeSave)
#include "test_safesave.moc"
