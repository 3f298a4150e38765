// Several stations on one folder shared over a real network file system: one folder
// mounted twice through sshfs (see support/sshfs.h), a process of the program's own
// archive code on each mount. Appends, saves over one position and loads never lose or
// mix a record; an abandoned lock file is taken over and a fresh one waited for.

#include "storage/recordfile.h"
#include "storage/records.h"
#include "storage/sharelock.h"

#include "support/environment.h"
#include "support/sshfs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QtTest>

#include <atomic>
#include <functional>
#include <thread>

#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A record stamped all through with who wrote it and which save it was: two saves mixed
// in one record show two different stamps.
QByteArray stamped(int writer, int save, int size)
{
    const QByteArray stamp = QByteArray(1, char('A' + writer)) + QByteArray::number(save).rightJustified(6, '0') + '|';
    QByteArray r(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        r[i] = stamp[i % stamp.size()];
    return r;
}

// The writer and save a record was stamped with, or {-1, -1} for a record that is not one
// stamp from end to end.
std::pair<int, int> stampOf(QByteArrayView r)
{
    if (r.size() < 8)
        return {-1, -1};
    const int writer = r[0] - 'A';
    bool ok = false;
    const int save = QByteArray(r.data() + 1, 6).toInt(&ok);
    if (!ok || writer < 0 || writer > 25 || stamped(writer, save, int(r.size())) != r)
        return {-1, -1};
    return {writer, save};
}

// Runs `work` in a child process once the gate opens; the child's exit code is 0 when it
// did not throw.
class Children {
public:
    Children() { QVERIFY(::pipe(m_gate) == 0); }
    ~Children()
    {
        open();
        for (pid_t pid : m_pids)
            ::waitpid(pid, nullptr, 0);
    }
    void add(const std::function<void()> &work)
    {
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            ::close(m_gate[1]);
            char c;
            while (::read(m_gate[0], &c, 1) < 0 && errno == EINTR) {
            }
            try {
                work();
            } catch (const std::exception &e) {
                fprintf(stderr, "child failed: %s\n", e.what());
                ::_exit(1);
            }
            ::_exit(0);
        }
        m_pids << pid;
    }
    // All children start together.
    void open()
    {
        if (m_gate[1] >= 0) {
            ::close(m_gate[0]);
            ::close(m_gate[1]);
            m_gate[1] = -1;
        }
    }
    // True when every child ended without failing.
    bool allSucceeded()
    {
        open();
        for (pid_t pid : std::as_const(m_pids)) {
            int status = 0;
            m_ok = ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 && m_ok;
        }
        m_pids.clear();
        return m_ok;
    }
    bool running()
    {
        for (qsizetype i = 0; i < m_pids.size();) {
            int status = 0;
            if (::waitpid(m_pids[i], &status, WNOHANG) == 0)
                return true;
            m_ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && m_ok;
            m_pids.removeAt(i);
        }
        return false;
    }

private:
    int m_gate[2] = {-1, -1};
    QList<pid_t> m_pids;
    bool m_ok = true;
};

} // namespace

class TestSharedFolder : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TIRELLO_START_SSHFS_OR_SKIP(m_share);
    }

    void cleanup()
    {
        const QDir share(m_share.share());
        for (const QString &name : share.entryList(QDir::Files | QDir::Hidden))
            QFile::remove(share.filePath(name));
        sharelock::setTimings({});
    }

    void cleanupTestCase() { m_share.stop(); }

    // Two stations append 2,000 records each at the same moment: every record whole, on
    // an index of its own, each station's records in the order it wrote them.
    void appendsThroughTwoMountsLoseNothing_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("client") << records::client().size();
        QTest::newRow("model") << records::model().size();
        QTest::newRow("test report") << records::report().size();
        QTest::newRow("certificate") << records::certificate().size();
    }
    void appendsThroughTwoMountsLoseNothing()
    {
        QFETCH(int, size);
        constexpr int perStation = 2000;
        const QString name = QStringLiteral("Archivio.dat");
        QElapsedTimer clock;
        clock.start();
        {
            Children stations;
            for (int w = 0; w < 2; ++w) {
                const QString path = QDir(w == 0 ? m_share.mountA() : m_share.mountB()).filePath(name);
                stations.add([=] {
                    for (int i = 0; i < perStation; ++i)
                        archive::append(path, stamped(w, i, size));
                });
            }
            QVERIFY2(stations.allSucceeded(), "a station failed to append");
        }
        qInfo("%d appends of %d bytes through the two mounts in %lld ms", 2 * perStation, size, clock.elapsed());

        const QString onDisk = QDir(m_share.share()).filePath(name);
        QCOMPARE(QFileInfo(onDisk).size(), qint64(2) * perStation * size);
        int next[2] = {0, 0};
        int bad = -1;
        archive::scan(onDisk, size, [&](int index, QByteArrayView r) {
            const auto [w, i] = stampOf(r);
            if (bad < 0 && (w < 0 || w > 1 || i != next[w]))
                bad = index;
            else if (bad < 0)
                ++next[w];
        });
        QVERIFY2(bad < 0, qPrintable(QStringLiteral("record %1 is not whole, repeated or out of order").arg(bad)));
        QCOMPARE(next[0], perStation);
        QCOMPARE(next[1], perStation);
        QVERIFY(!QFile::exists(onDisk + QStringLiteral(".lock")));
    }

    // Two stations save over one position 500 times each while a third appends: the size
    // is always a whole number of records and no record mixes two saves.
    void savesOverOnePositionNeverMix()
    {
        const int size = records::report().size();
        constexpr int saves = 500;
        const QString name = QStringLiteral("2026.rdp");
        const QString onDisk = QDir(m_share.share()).filePath(name);
        for (int i = 0; i < 3; ++i)
            archive::append(onDisk, stamped(9, i, size));

        Children stations;
        for (int w = 0; w < 2; ++w) {
            const QString path = QDir(w == 0 ? m_share.mountA() : m_share.mountB()).filePath(name);
            stations.add([=] {
                for (int i = 0; i < saves; ++i)
                    archive::overwriteAt(path, 2, stamped(w, i, size));
            });
        }
        const QString third = QDir(m_share.mountA()).filePath(name);
        stations.add([=] {
            for (int i = 0; i < saves; ++i)
                archive::append(third, stamped(2, i, size));
        });
        stations.open();
        // Watched from the server's disk and through a mount while they work.
        int looks = 0;
        const QString throughB = QDir(m_share.mountB()).filePath(name);
        while (stations.running()) {
            for (const QString &path : {onDisk, throughB}) {
                const qint64 bytes = QFileInfo(path).size();
                QVERIFY2(bytes % size == 0, qPrintable(QStringLiteral("%1 bytes seen").arg(bytes)));
            }
            ++looks;
            QThread::msleep(2);
        }
        QVERIFY2(stations.allSucceeded(), "a station failed");
        QVERIFY(looks > 10);

        QCOMPARE(QFileInfo(onDisk).size(), qint64(3 + saves) * size);
        int appended = 0;
        archive::scan(onDisk, size, [&](int index, QByteArrayView r) {
            const auto [w, i] = stampOf(r);
            QVERIFY2(w >= 0, qPrintable(QStringLiteral("record %1 mixes two saves").arg(index)));
            if (index == 1)
                QVERIFY(w == 0 || w == 1);
            else if (index >= 3)
                QCOMPARE(std::pair(w, i), std::pair(2, appended++));
        });
        QCOMPARE(appended, saves);
    }

    // Loading one position 500 times while another station saves it: never a mixture.
    void loadsWhileAnotherStationSavesNeverMix()
    {
        const int size = records::certificate().size();
        const QString name = QStringLiteral("2026.cda");
        archive::append(QDir(m_share.share()).filePath(name), stamped(0, 0, size));
        Children saver;
        const QString pathA = QDir(m_share.mountA()).filePath(name);
        saver.add([=] {
            for (int i = 1; i <= 500; ++i)
                archive::overwriteAt(pathA, 1, stamped(0, i, size));
        });
        saver.open();
        const QString pathB = QDir(m_share.mountB()).filePath(name);
        int last = 0;
        // 500 loads at least, and more as long as the saves go on.
        for (int n = 0; n < 500 || saver.running(); ++n) {
            const auto [w, i] = stampOf(archive::readAt(pathB, size, 1));
            QVERIFY2(w == 0, qPrintable(QStringLiteral("load %1 read a mixture").arg(n)));
            QVERIFY(i >= last); // saves are seen in their order
            last = i;
        }
        QVERIFY(saver.allSucceeded());
    }

    // A lock file that a station left behind when it stopped is taken over; a fresh one is
    // waited for, and one held past the wait fails the save with nothing written.
    void abandonedLockTakenOverFreshOneWaitedFor()
    {
        const int size = records::client().size();
        const QString name = QStringLiteral("Clienti.pro");
        const QString lockA = QDir(m_share.mountA()).filePath(name + QStringLiteral(".lock"));
        const QString pathB = QDir(m_share.mountB()).filePath(name);
        const QString onDisk = QDir(m_share.share()).filePath(name);
        sharelock::Timings t;
        t.wait = std::chrono::milliseconds(4000);
        t.staleAfter = std::chrono::milliseconds(2000);
        t.busyAfter = std::chrono::milliseconds(200);
        sharelock::setTimings(t);
        QList<bool> told;
        sharelock::setWaitingHook([&](bool waiting) { told << waiting; });

        const auto plantLock = [&](qint64 secondsOld) {
            QFile lock(lockA);
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("host=stazione-ferma\r\npid=4242\r\ntime=2026-01-01T08:00:00\r\ntoken=0123456789abcdef\r\n");
            lock.close();
            if (secondsOld > 0) {
                // The share's clock: the time is set through the mount, on the server.
                struct stat st {};
                QVERIFY(::stat(QFile::encodeName(lockA).constData(), &st) == 0);
                const struct timeval times[2] = {{st.st_mtime - secondsOld, 0}, {st.st_mtime - secondsOld, 0}};
                QVERIFY(::utimes(QFile::encodeName(lockA).constData(), times) == 0);
            }
        };

        // Abandoned a minute ago: taken over at once.
        plantLock(60);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(archive::append(pathB, stamped(0, 1, size)), 1);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!QFile::exists(lockA));

        // Fresh, and let go after a second: waited for, with the busy pointer meanwhile.
        plantLock(0);
        told.clear();
        std::thread other([&] {
            QThread::msleep(1000);
            QFile::remove(lockA);
        });
        clock.restart();
        QCOMPARE(archive::append(pathB, stamped(0, 2, size)), 2);
        other.join();
        QVERIFY(clock.elapsed() >= 900);
        QCOMPARE(told, QList<bool>({true, false}));

        // Fresh and kept, rewritten by its station as a long hold does: the wait runs out,
        // nothing is written and the other station's lock file stays.
        plantLock(0);
        std::atomic<bool> holding{true};
        std::thread holder([&] {
            while (holding) {
                QFile lock(lockA);
                if (lock.open(QIODevice::ReadWrite))
                    lock.write("host=stazione-ferma\r\n");
                QThread::msleep(300);
            }
        });
        const QByteArray before = [&] {
            QFile f(onDisk);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QVERIFY_THROWS_EXCEPTION(ArchiveError, archive::append(pathB, stamped(0, 3, size)));
        holding = false;
        holder.join();
        QFile after(onDisk);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
        QVERIFY(QFile::exists(lockA));
        sharelock::setWaitingHook({});
    }

private:
    support::SshfsPair m_share;
};

QTEST_GUILESS_MAIN(TestSharedFolder)
#include "test_sharedfolder.moc"
