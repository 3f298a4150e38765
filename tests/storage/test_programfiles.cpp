#include "storage/programfiles.h"
#include "storage/recordfile.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/file.h>

class TestProgramFiles : public QObject {
    Q_OBJECT
private slots:
    void archiveNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size"); // 0: not an archive
        QTest::addColumn<int>("year");
        QTest::newRow("clients") << QStringLiteral("Clienti.pro") << 3392 << 0;
        QTest::newRow("models") << QStringLiteral("Parametri_Chimici.pro") << 10868 << 0;
        QTest::newRow("reports") << QStringLiteral("2024.rdp") << 13494 << 2024;
        QTest::newRow("certificates") << QStringLiteral("1999.cda") << 29250 << 1999;
        QTest::newRow("year 0000") << QStringLiteral("0000.rdp") << 13494 << 0;
        QTest::newRow("short year") << QStringLiteral("224.rdp") << 0 << 0;
        QTest::newRow("letters") << QStringLiteral("20a4.cda") << 0 << 0;
        QTest::newRow("upper-case extension") << QStringLiteral("2024.RDP") << 0 << 0;
        QTest::newRow("settings") << QStringLiteral("Tirello.ini") << 0 << 0;
        QTest::newRow("attachments folder") << QStringLiteral("Documenti_Allegati") << 0 << 0;
        QTest::newRow("lower-case clients") << QStringLiteral("clienti.pro") << 0 << 0;
    }
    void archiveNames()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(int, year);
        const auto archive = programfiles::archiveOf(name);
        QCOMPARE(archive.has_value(), size != 0);
        if (archive) {
            QCOMPARE(archive->layout->size(), size);
            QCOMPARE(archive->year, year);
        }
    }

    // Reading only: a missing archive is not created, a read-only one is read, and the
    // write lock is really taken.
    void openForReading()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("2024.rdp"));
        RecordFile none(missing, 16);
        QVERIFY_THROWS_EXCEPTION(ArchiveError, none.openForReading());
        QVERIFY(!QFile::exists(missing));

        const QString path = dir.filePath(QStringLiteral("2023.rdp"));
        QVERIFY(support::writeFile(path, QByteArray(32, 'a') + "tail"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        RecordFile file(path, 16);
        file.openForReading();
        QCOMPARE(file.count(), 2);
        file.lock();
        QFile other(path);
        QVERIFY(other.open(QIODevice::ReadOnly));
        QCOMPARE(::flock(other.handle(), LOCK_EX | LOCK_NB), -1);
        file.close();
        QCOMPARE(::flock(other.handle(), LOCK_EX | LOCK_NB), 0);
        QCOMPARE(support::readFile(path), QByteArray(32, 'a') + "tail");
    }
};

QTEST_APPLESS_MAIN(TestProgramFiles)
#include "test_programfiles.moc"
