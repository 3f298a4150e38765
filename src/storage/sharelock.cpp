#include "sharelock.h"

#include "log.h"
#include "posixfile.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSysInfo>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#ifndef Q_OS_UNIX
#error "sharelock: written for POSIX file systems (open with O_EXCL, rename, link)"
#endif

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sharelock {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Set by tests only, never while a lock is held.
Timings g_timings;
std::mutex g_hookMutex;
WaitingHook g_hook;

void tellWaiting(bool waiting)
{
    WaitingHook hook;
    {
        std::lock_guard lock(g_hookMutex);
        hook = g_hook;
    }
    if (hook)
        hook(waiting);
}

QByteArray token()
{
    const quint64 value = QRandomGenerator::global()->generate64();
    return QByteArray::number(value, 16).rightJustified(16, '0');
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

int openNew(const QByteArray &path, int flags)
{
    return posixfile::openFile(path.constData(), flags | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
}

// The whole of a lock or turn file's words, from its start; errno set when it fails.
bool writeAt(int fd, const QByteArray &bytes)
{
    int err = 0;
    if (posixfile::writeAllAt(fd, bytes.constData(), bytes.size(), 0, &err))
        return true;
    errno = err;
    return false;
}

// The whole of a small file; empty when it cannot be read.
QByteArray readSmall(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return f.read(4096);
}

QString errorText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// What a lock or turn file holds: who made it, and a token that makes it ours alone.
QByteArray holderContents()
{
    return QStringLiteral("host=%1\r\npid=%2\r\ntime=%3\r\ntoken=%4\r\n")
        .arg(QSysInfo::machineHostName())
        .arg(qint64(::getpid()))
        .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs), QString::fromLatin1(token()))
        .toUtf8();
}

} // namespace

Timings timings()
{
    return g_timings;
}

Timings setTimings(const Timings &t)
{
    return std::exchange(g_timings, t);
}

void setWaitingHook(WaitingHook hook)
{
    std::lock_guard lock(g_hookMutex);
    g_hook = std::move(hook);
}

QString lockPathOf(const QString &target)
{
    return target + QStringLiteral(".lock");
}

QString turnPathOf(const QString &target)
{
    return lockPathOf(target) + QStringLiteral(".turn");
}

bool isLockFileName(const QString &name)
{
    static const QRegularExpression helper(QStringLiteral("\\.lock(\\.turn)?\\.[0-9a-f]{16}\\.(probe|stale)$"));
    return name.endsWith(QStringLiteral(".lock")) || name.endsWith(QStringLiteral(".lock.turn"))
        || helper.match(name).hasMatch();
}

Holder parseHolder(const QByteArray &contents)
{
    Holder h;
    for (const QByteArray &raw : contents.split('\n')) {
        const QByteArray line = raw.trimmed();
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = line.left(eq);
        const QString value = QString::fromUtf8(line.mid(eq + 1));
        if (key == "host")
            h.host = value;
        else if (key == "pid")
            h.pid = value.toLongLong();
        else if (key == "time")
            h.time = value;
        else if (key == "token")
            h.token = value;
    }
    return h;
}

Holder holderOf(const QString &lockPath)
{
    return parseHolder(readSmall(lockPath));
}

qint64 ageOnShare(const QString &lockPath)
{
    struct stat lock {};
    if (::stat(encoded(lockPath).constData(), &lock) != 0)
        return -1;
    // The share's "now": the modification time of a file made there this moment.
    const QByteArray probe = encoded(lockPath) + '.' + token() + ".probe";
    const int fd = openNew(probe, O_WRONLY);
    if (fd < 0)
        return -1;
    struct stat now {};
    const bool known = ::fstat(fd, &now) == 0;
    ::close(fd);
    ::unlink(probe.constData());
    return known ? qint64(now.st_mtime) - qint64(lock.st_mtime) : -1;
}

bool abandoned(qint64 ageSeconds)
{
    return ageSeconds >= 0 && ageSeconds * 1000 >= g_timings.staleAfter.count();
}

namespace {

// Removes a lock or turn file we made, if it still says what we wrote there: one taken
// over meanwhile as abandoned belongs to another station now. emptyIsOurs: we could not
// write our words into it (a full disk). Returns whether it said so.
bool removeIfOurs(const QString &path, const QByteArray &ours, bool emptyIsOurs)
{
    const QByteArray now = readSmall(path);
    if (now != ours && !(emptyIsOurs && now.isEmpty()))
        return false;
    if (::unlink(encoded(path).constData()) != 0)
        qCWarning(lcTirello) << "lock file" << path << "not removed:" << errorText(errno);
    return true;
}

// Removes a lock or turn file that its station left behind (see abandoned()); true when it
// is gone, whether by this call or meanwhile. A fresh file stays where it is.
bool removeIfAbandoned(const QString &path, const char *what)
{
    const QByteArray judged = readSmall(path);
    const qint64 age = ageOnShare(path);
    if (age < 0)
        return !QFile::exists(path); // gone meanwhile: try again at once
    if (!abandoned(age))
        return false;
    // Moved aside first, so that of two stations taking it over only one succeeds.
    const QByteArray lock = encoded(path);
    const QByteArray aside = lock + '.' + token() + ".stale";
    if (::rename(lock.constData(), aside.constData()) != 0)
        return errno == ENOENT;
    const QByteArray moved = readSmall(QFile::decodeName(aside));
    if (moved == judged) {
        ::unlink(aside.constData());
        const Holder h = parseHolder(judged);
        qCWarning(lcTirello) << "abandoned" << what << path << "taken over: station" << h.host << "process"
                             << h.pid << "since" << h.time << "unwritten for" << age << "s by the share's clock";
        return true;
    }
    // Between the look and the move another station made a fresh lock file: put it back.
    if (::link(aside.constData(), lock.constData()) == 0)
        ::unlink(aside.constData());
    else
        ::rename(aside.constData(), lock.constData());
    return false;
}

// The next turn at a lock (see sharelock.h): made by a station that has waited, removed
// when it has the lock or gives up.
class Turn {
public:
    explicit Turn(QString path) : m_path(std::move(path)) {}
    ~Turn() { giveBack(); }
    Turn(const Turn &) = delete;
    Turn &operator=(const Turn &) = delete;

    bool isMine() const { return m_fd >= 0; }
    bool takenByAnother() const
    {
        struct stat st {};
        return !isMine() && ::lstat(encoded(m_path).constData(), &st) == 0;
    }
    void take(Clock::time_point now)
    {
        const int fd = openNew(encoded(m_path), O_RDWR);
        if (fd < 0)
            return; // another station's turn, or a folder that takes no file
        m_fd = fd;
        m_contents = holderContents();
        m_wroteContents = writeAt(m_fd, m_contents);
        m_written = now;
    }
    // A long wait writes the file again, so that it never looks abandoned.
    void keepFresh(Clock::time_point now, milliseconds every)
    {
        if (isMine() && now - m_written >= every) {
            writeAt(m_fd, m_contents);
            m_written = now;
        }
    }
    // Another station's turn file, left when it stopped, goes (see removeIfAbandoned).
    bool clearIfAbandoned() const { return !isMine() && removeIfAbandoned(m_path, "turn"); }
    void giveBack()
    {
        if (!isMine())
            return;
        ::close(m_fd);
        m_fd = -1;
        removeIfOurs(m_path, m_contents, !m_wroteContents);
    }

private:
    QString m_path;
    int m_fd = -1;
    QByteArray m_contents;
    bool m_wroteContents = false;
    Clock::time_point m_written;
};

} // namespace

// ---- ShareLock -----------------------------------------------------------------------

struct ShareLock::Held {
    int fd = -1; // the lock file, kept open to keep it fresh; -1 without one
    bool wroteContents = false;
    std::thread refresher;
    std::mutex mutex;
    std::condition_variable stop;
    bool stopping = false;
};

ShareLock::ShareLock(QString target) : m_target(std::move(target)), m_lockPath(lockPathOf(m_target))
{
}

ShareLock::~ShareLock()
{
    release();
}

bool ShareLock::hasLockFile() const
{
    return m_held && m_held->fd >= 0;
}

bool ShareLock::tryCreate(int *err)
{
    const int fd = openNew(encoded(m_lockPath), O_RDWR);
    if (fd < 0) {
        *err = errno;
        return false;
    }
    m_contents = holderContents();
    m_held = std::make_unique<Held>();
    m_held->fd = fd;
    // A lock file that could not be filled in (a full disk) still holds the lock.
    m_held->wroteContents = writeAt(fd, m_contents);
    if (!m_held->wroteContents)
        qCWarning(lcTirello) << "lock file" << m_lockPath << "made but not filled in:" << errorText(errno);
    return true;
}

void ShareLock::acquire(bool keepAlive)
{
    if (m_acquired)
        return;
    const Timings t = g_timings;
    const auto start = Clock::now();
    auto nextLook = start; // when to look again whether the lock or turn file is abandoned
    bool told = false;
    int tries = 0;
    int refusals = 0; // creates refused with no lock file there
    Turn turn(turnPathOf(m_target));
    for (;;) {
        int err = 0;
        bool yielded = false;
        if (tryCreate(&err)) {
            if (turn.isMine() || !turn.takenByAnother())
                break;
            // Another station has waited longer: it goes first.
            dropCreated();
            yielded = true;
        } else {
            // Some shares answer an exclusive create of an existing file with another
            // error than EEXIST (SFTP has only a generic failure for it): the file being
            // there is what counts.
            struct stat st {};
            if (err != EEXIST && ::lstat(encoded(m_lockPath).constData(), &st) == 0)
                err = EEXIST;
            if (err != EEXIST && ++refusals >= 3) {
                // No file can be made here: flock() alone guards, as it did before.
                qCWarning(lcTirello) << "no lock file beside" << m_target << ":" << errorText(err);
                m_held = std::make_unique<Held>();
                break;
            }
            if (err != EEXIST)
                continue;
        }
        const auto now = Clock::now();
        if (now >= nextLook) {
            nextLook = now + qMin(milliseconds(1000), t.staleAfter / 4);
            if (yielded ? turn.clearIfAbandoned() : removeIfAbandoned(m_lockPath, "lock"))
                continue;
        }
        if (now - start >= t.turnAfter && !turn.isMine())
            turn.take(now);
        turn.keepFresh(now, t.refreshEvery);
        if (!told && now - start >= t.busyAfter) {
            tellWaiting(true);
            told = true;
        }
        if (now - start >= t.wait) {
            if (told)
                tellWaiting(false);
            const Holder h = holderOf(m_lockPath);
            throw Error(QStringLiteral("%1: held by station %2, process %3, since %4")
                            .arg(m_lockPath, h.host)
                            .arg(h.pid)
                            .arg(h.time)
                            .toStdString());
        }
        // Short waits first (a write takes milliseconds), then longer ones, never in step
        // with another waiting station.
        const int ceiling = 1 << qMin(++tries, 5); // 2 .. 32 ms
        std::this_thread::sleep_for(milliseconds(1 + QRandomGenerator::global()->bounded(ceiling)));
    }
    if (told)
        tellWaiting(false);
    m_acquired = true;
    if (keepAlive && m_held->fd >= 0) {
        Held *held = m_held.get();
        const QByteArray contents = m_contents;
        const milliseconds every = t.refreshEvery;
        held->refresher = std::thread([held, contents, every] {
            std::unique_lock lock(held->mutex);
            while (!held->stop.wait_for(lock, every, [held] { return held->stopping; }))
                writeAt(held->fd, contents); // a write: the share sets the time by its clock
        });
    }
}

void ShareLock::dropCreated()
{
    ::close(m_held->fd);
    ::unlink(encoded(m_lockPath).constData());
    m_held.reset();
}

void ShareLock::flockFile(int fd, bool shared)
{
    int rc;
    do {
        rc = ::flock(fd, shared ? LOCK_SH : LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0)
        m_flocked = fd;
    else // a file system without flock still has the lock file
        qCDebug(lcTirello) << "no flock on" << m_target << ":" << errorText(errno);
}

void ShareLock::release()
{
    if (m_flocked >= 0) {
        ::flock(m_flocked, LOCK_UN);
        m_flocked = -1;
    }
    if (!m_acquired)
        return;
    m_acquired = false;
    if (m_held->refresher.joinable()) {
        {
            std::lock_guard lock(m_held->mutex);
            m_held->stopping = true;
        }
        m_held->stop.notify_all();
        m_held->refresher.join();
    }
    if (m_held->fd >= 0) {
        ::close(m_held->fd);
        if (!removeIfOurs(m_lockPath, m_contents, !m_held->wroteContents))
            qCWarning(lcTirello) << "lock file" << m_lockPath << "was taken over while held";
    }
    m_held.reset();
}

} // namespace sharelock
