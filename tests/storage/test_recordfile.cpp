#include "storage/recordfile.h"
#include "support/scratchfs.h"

#include <QTemporaryDir>
#include <QtTest>

#include <thread>

namespace {

QByteArray recordOf(char fill, int size = 16)
{
    return QByteArray(size, fill);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestRecordFile : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_path = m_dir->filePath(QStringLiteral("Clienti.pro"));
    }

    void missingArchiveIsCreatedEmpty()
    {
        QCOMPARE(archive::count(m_path, 16), 0);
        QVERIFY(QFile::exists(m_path));
        QCOMPARE(QFileInfo(m_path).size(), 0);
    }

    void appendReadOverwrite()
    {
        QCOMPARE(archive::append(m_path, recordOf('a')), 1);
        QCOMPARE(archive::append(m_path, recordOf('b')), 2);
        QCOMPARE(archive::append(m_path, recordOf('c')), 3);
        archive::overwriteAt(m_path, 2, recordOf('B'));
        QCOMPARE(fileBytes(m_path), recordOf('a') + recordOf('B') + recordOf('c'));
        QCOMPARE(archive::readAt(m_path, 16, 3), recordOf('c'));

        QList<QByteArray> seen;
        archive::scan(m_path, 16, [&](int i, QByteArrayView r) {
            QCOMPARE(i, seen.size());
            seen.append(r.toByteArray());
        });
        QCOMPARE(seen, (QList<QByteArray>{recordOf('a'), recordOf('B'), recordOf('c')}));
    }

    void partialTailIsIgnoredThenOverwritten()
    {
        writeBytes(m_path, recordOf('a') + recordOf('a') + QByteArray("tail"));
        QCOMPARE(archive::count(m_path, 16), 2);
        QVERIFY_THROWS_EXCEPTION(ArchiveError, archive::readAt(m_path, 16, 3));
        QCOMPARE(archive::append(m_path, recordOf('n')), 3);
        QCOMPARE(fileBytes(m_path), recordOf('a') + recordOf('a') + recordOf('n'));
    }

    void cursorFollowsReadsAndWrites()
    {
        writeBytes(m_path, recordOf('a') + recordOf('b'));
        RecordFile file(m_path, 16);
        file.open();
        QCOMPARE(file.currentIndex(), 0);
        QByteArray r;
        file.read(r);
        QCOMPARE(file.currentIndex(), 1);
        file.read(r);
        QVERIFY(file.atEnd());
        QVERIFY_THROWS_EXCEPTION(ArchiveError, file.read(r));
        QVERIFY_THROWS_EXCEPTION(ArchiveError, file.seek(3));
        file.seek(2);
        file.write(recordOf('c'));
        QCOMPARE(file.count(), 3);
        QVERIFY_THROWS_EXCEPTION(ArchiveError, file.write(QByteArray(15, 'x'))); // not a whole record
        file.close();
        QVERIFY(!file.isOpen());
    }

    void failuresAreReportedAndNothingIsLost()
    {
        // A folder in the place of the archive cannot be opened nor created.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Cartella.pro")));
        QVERIFY_THROWS_EXCEPTION(ArchiveError, archive::count(m_dir->filePath(QStringLiteral("Cartella.pro")), 16));
        QVERIFY_THROWS_EXCEPTION(ArchiveError, archive::touch(m_dir->filePath(QStringLiteral("no/such/dir.pro")), 16));
        // A device that refuses every byte: the write fails, loudly.
        if (QFile::exists(QStringLiteral("/dev/full")))
            QVERIFY_THROWS_EXCEPTION(ArchiveError, archive::append(QStringLiteral("/dev/full"), recordOf('x')));
    }

    // Two writers with their own handles append at the same time: the lock keeps every
    // record on its own index.
    void concurrentAppendsKeepEveryRecord()
    {
        constexpr int perWriter = 300;
        auto writer = [this](char base) {
            for (int i = 0; i < perWriter; ++i) {
                QByteArray r = recordOf(base);
                r.replace(1, 4, QByteArray::number(i).rightJustified(4, '0'));
                archive::append(m_path, r);
            }
        };
        std::thread a(writer, 'A'), b(writer, 'B');
        a.join();
        b.join();
        QSet<QByteArray> seen;
        archive::scan(m_path, 16, [&](int, QByteArrayView r) { seen.insert(r.toByteArray()); });
        QCOMPARE(QFileInfo(m_path).size(), qint64(2 * perWriter * 16));
        QCOMPARE(seen.size(), 2 * perWriter);
    }

    // A disk that fills up in the middle of a record: the append fails and the archive
    // keeps its size and every byte, a partial tail included.
    void appendOnAFullDiskLeavesTheArchiveAsItWas_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<qint64>("room");
        QTest::newRow("whole records, some room") << QByteArray(3 * 29250, 'a') << qint64(8192);
        QTest::newRow("whole records, no room") << QByteArray(3 * 29250, 'a') << qint64(0);
        QTest::newRow("partial tail") << QByteArray(29250, 'a') + QByteArray("tail") << qint64(8192);
        QTest::newRow("empty archive") << QByteArray() << qint64(12288);
    }
    void appendOnAFullDiskLeavesTheArchiveAsItWas()
    {
        QFETCH(QByteArray, stored);
        QFETCH(qint64, room);
        ScratchFs fs;
        if (!fs.mounted())
            QSKIP(qPrintable(fs.reason()));
        const QString path = fs.filePath(QStringLiteral("2025.cda"));
        writeBytes(path, stored);
        QVERIFY(fs.fill(room));
        QVERIFY_THROWS_EXCEPTION(ArchiveError, archive::append(path, recordOf('n', 29250)));
        QCOMPARE(fileBytes(path), stored);

        // Space comes back: the next append lands on the first free index.
        fs.unfill();
        QCOMPARE(archive::append(path, recordOf('n', 29250)), int(stored.size() / 29250) + 1);
        QCOMPARE(fileBytes(path), stored.left(stored.size() / 29250 * 29250) + recordOf('n', 29250));
    }

    // Nothing of a failed write may reach the file later, when the lock is gone: a copy
    // of the program sharing the folder could be appending there by then.
    void failedWriteWritesNothingAfterwards()
    {
        ScratchFs fs;
        if (!fs.mounted())
            QSKIP(qPrintable(fs.reason()));
        const QString path = fs.filePath(QStringLiteral("Clienti.pro"));
        writeBytes(path, recordOf('a', 3392));
        QVERIFY(fs.fill());
        RecordFile file(path, 3392);
        file.open();
        file.lock();
        file.seek(1);
        QVERIFY_THROWS_EXCEPTION(ArchiveError, file.write(recordOf('n', 3392)));
        fs.unfill();
        file.close();
        QCOMPARE(fileBytes(path), recordOf('a', 3392));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_APPLESS_MAIN(TestRecordFile)
#include "test_recordfile.moc"
