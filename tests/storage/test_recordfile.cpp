#include "storage/inifile.h"
#include "storage/recordfile.h"
#include "storage/records.h"
#include "storage/sharelock.h"
#include "support/environment.h"
#include "support/scratchfs.h"

#include <QElapsedTimer>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

#include <sys/wait.h>
#include <unistd.h>

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

    // Two copies of the program appending to one archive at the same time, as on a shared
    // folder: 5,000 records each, of every layout. Every record lands whole on an index of
    // its own, and each copy's records keep the order it wrote them in.
    void twoProcessesAppendingLoseNothing_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("client") << records::client().size();
        QTest::newRow("model") << records::model().size();
        QTest::newRow("test report") << records::report().size();
        QTest::newRow("certificate") << records::certificate().size();
    }
    void twoProcessesAppendingLoseNothing()
    {
        QFETCH(int, size);
        constexpr int perWriter = 5000;
        // In memory when possible (a tmpfs of its own, else the shared one): appends are
        // synced one by one, and on a disk this takes minutes without testing more.
        const qint64 bytes = qint64(2) * perWriter * size;
        ScratchFs fs(bytes + 1024 * 1024);
        std::unique_ptr<QTemporaryDir> shared;
        QString path = m_path;
        if (fs.mounted()) {
            path = fs.filePath(QStringLiteral("Archivio.dat"));
        } else if (const QStorageInfo shm(QStringLiteral("/dev/shm"));
                   shm.isValid() && shm.fileSystemType() == "tmpfs" && shm.bytesAvailable() > 2 * bytes) {
            shared = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tirello-XXXXXX"));
            if (shared->isValid())
                path = shared->filePath(QStringLiteral("Archivio.dat"));
        }

        // Both start together once the gate opens.
        int gate[2];
        QVERIFY(::pipe(gate) == 0);
        pid_t writers[2];
        for (int w = 0; w < 2; ++w) {
            writers[w] = ::fork();
            QVERIFY(writers[w] >= 0);
            if (writers[w] == 0) {
                ::close(gate[1]);
                char c;
                while (::read(gate[0], &c, 1) < 0 && errno == EINTR) {
                }
                try {
                    for (int i = 0; i < perWriter; ++i)
                        archive::append(path, numbered(w, i, size));
                } catch (...) {
                    ::_exit(1);
                }
                ::_exit(0);
            }
        }
        ::close(gate[0]);
        ::close(gate[1]);
        for (pid_t pid : writers) {
            int status = 0;
            QCOMPARE(::waitpid(pid, &status, 0), pid);
            QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "a writer failed");
        }

        QCOMPARE(QFileInfo(path).size(), qint64(2) * perWriter * size);
        int next[2] = {0, 0};
        int bad = -1, switches = 0, last = -1;
        archive::scan(path, size, [&](int index, QByteArrayView r) {
            const int w = r.at(0) - 'A';
            if (bad >= 0 || w < 0 || w > 1 || next[w] >= perWriter || r != numbered(w, next[w], size)) {
                if (bad < 0)
                    bad = index;
                return;
            }
            ++next[w];
            switches += last >= 0 && w != last;
            last = w;
        });
        QVERIFY2(bad < 0, qPrintable(QStringLiteral("record %1 is not whole or out of order").arg(bad)));
        QCOMPARE(next[0], perWriter);
        QCOMPARE(next[1], perWriter);
        if (switches < 2)
            qWarning("the two writers hardly overlapped this time");
    }

    // Another station's lock file (or turn file: it waits to go next) beside an archive or
    // the settings file: one left by a station that stopped is taken over, one a working
    // station keeps fresh makes the write fail once the wait is over, with nothing
    // written; no lock file stays behind.
    void lockFilesOfOtherStations_data()
    {
        QTest::addColumn<bool>("settings");
        QTest::addColumn<QString>("planted");
        QTest::newRow("archive") << false << QStringLiteral(".lock");
        QTest::newRow("settings file") << true << QStringLiteral(".lock");
        QTest::newRow("archive, turn file") << false << QStringLiteral(".lock.turn");
    }
    void lockFilesOfOtherStations()
    {
        QFETCH(bool, settings);
        QFETCH(QString, planted);
        const QString target = settings ? m_dir->filePath(QStringLiteral("Tirello.ini")) : m_path;
        const auto write = [&](int n) {
            if (settings)
                ini::write(target, QStringLiteral("Laboratorio"), QStringLiteral("Denominazione"), QString::number(n));
            else
                archive::append(target, recordOf(char('0' + n)));
        };
        sharelock::Timings t;
        t.wait = std::chrono::milliseconds(1500);
        t.staleAfter = std::chrono::milliseconds(3000);
        const sharelock::Timings old = sharelock::setTimings(t);
        const QString lock = target + planted;
        const auto plant = [&](qint64 secondsOld) {
            QFile f(lock);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("host=banco-2\r\npid=77\r\n");
            QVERIFY(f.flush());
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-secondsOld), QFileDevice::FileModificationTime));
        };

        plant(60);
        write(1);
        QVERIFY(!QFile::exists(lock));
        const QByteArray before = fileBytes(target);

        plant(0);
        QElapsedTimer clock;
        clock.start();
        if (settings)
            QVERIFY_THROWS_EXCEPTION(IniError, write(2));
        else
            QVERIFY_THROWS_EXCEPTION(ArchiveError, write(2));
        QVERIFY(clock.elapsed() >= 1400);
        QCOMPARE(fileBytes(target), before);
        QVERIFY(QFile::exists(lock)); // the other station's, untouched
        QFile::remove(lock);
        write(3);
        QVERIFY(!QFile::exists(lock));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        sharelock::setTimings(old);
    }

    // A station that writes one record after another, taking the lock again the moment it
    // lets it go, does not shut the others out: each of them gets its turn within the wait.
    void aBusyWriterLeavesOthersTheirTurn()
    {
        sharelock::Timings t;
        t.wait = std::chrono::milliseconds(1500);
        const sharelock::Timings old = sharelock::setTimings(t);
        std::atomic<bool> stop{false};
        std::atomic<int> busyWrites{0};
        std::thread busy([&] {
            while (!stop) {
                try {
                    RecordFile file(m_path, 16);
                    file.open();
                    file.lock();
                    file.seek(file.count());
                    file.write(recordOf('b'));
                    QThread::usleep(300); // a write on a share takes a little while
                    ++busyWrites;
                } catch (const ArchiveError &) {
                    // its own wait ran out while the other had its turn: it tries again
                }
            }
        });
        while (busyWrites < 10)
            QThread::msleep(1);
        int refused = 0;
        for (int i = 0; i < 10; ++i) {
            try {
                archive::append(m_path, recordOf('o'));
            } catch (const ArchiveError &) {
                ++refused;
            }
        }
        stop = true;
        busy.join();
        sharelock::setTimings(old);
        QCOMPARE(refused, 0);
        const QByteArray stored = fileBytes(m_path);
        QCOMPARE(stored.size() % 16, 0);
        int ours = 0;
        for (qsizetype at = 0; at < stored.size(); at += 16)
            ours += stored.mid(at, 16) == recordOf('o');
        QCOMPARE(ours, 10);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
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
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
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
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
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
    // Writer w's record number i: its letter, the number, then its letter to the end, so
    // that a record made of two writes shows.
    static QByteArray numbered(int w, int i, int size)
    {
        QByteArray r(size, char('A' + w));
        r.replace(1, 5, QByteArray::number(i).rightJustified(5, '0'));
        return r;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_APPLESS_MAIN(TestRecordFile)
#include "test_recordfile.moc"
