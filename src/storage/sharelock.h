#pragma once
// A lock on one file of a folder that several stations share over a network (SMB, NFS,
// SFTP). flock() holds only between the processes of one computer; what holds on every
// share is the exclusive create of one file name. So the holder of the lock is whoever
// made the lock file "<target>.lock" beside the target; it holds the station's host name,
// process id, the time and a token of its own, and is removed when the work is done.
//
// A station that finds the lock file waits and tries again, for Timings::wait at most. A
// lock file that has not been written for Timings::staleAfter was left by a station that
// stopped half way and is taken over. Its age is read off the share's own clock (its
// modification time against that of a file just made there), never the station's: two
// computers' clocks disagree. A long hold (a whole-archive read) keeps its file fresh.
//
// A station that keeps writing takes the lock again the moment it lets it go, and a
// station that only looks now and then would never find it free. So one that has waited
// Timings::turnAfter makes "<target>.lock.turn" (the same way, exclusively): while that file
// is there, any other station that gets the lock lets it go again at once, and the one
// whose turn it is gets it next. A turn file left by a station that stopped goes stale like
// a lock file.
//
// A folder where no file can be made (read-only, full) gets no lock file: the work goes
// on as it did before there were lock files, and will fail by itself if it writes.

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>

namespace sharelock {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Timings {
    std::chrono::milliseconds wait{12000};        // longest wait for a lock held by another
    std::chrono::milliseconds staleAfter{10000};  // a lock file unwritten this long is abandoned
    std::chrono::milliseconds refreshEvery{2000}; // a long hold rewrites its file this often
    std::chrono::milliseconds busyAfter{500};     // the waiting hook is told after this
    std::chrono::milliseconds turnAfter{100};     // a wait this long asks for the next turn
};
Timings timings();
// For tests: sets the timings and returns the previous ones. Not while a lock is held.
Timings setTimings(const Timings &t);

// Told true when a wait has lasted Timings::busyAfter, false when it ends (the windows show
// a busy pointer). Called on the thread that waits.
using WaitingHook = std::function<void(bool waiting)>;
void setWaitingHook(WaitingHook hook);

// "<target>.lock".
QString lockPathOf(const QString &target);
// "<target>.lock.turn".
QString turnPathOf(const QString &target);
// Whether a file name is one of the lock files or of their short-lived helper files:
// they are not data, and backups, exports and checks leave them out.
bool isLockFileName(const QString &name);

// What a lock file says, read back for messages and checks.
struct Holder {
    QString host;
    qint64 pid = 0;
    QString time; // as the holder wrote it, local time of its own
    QString token;
};
Holder parseHolder(const QByteArray &contents);
// What the lock file at that path says; empty fields when it cannot be read.
Holder holderOf(const QString &lockPath);

// The age of a lock file by the share's clock, in seconds; negative when it cannot be told
// (the file is gone, or no file can be made in the folder to read the clock).
qint64 ageOnShare(const QString &lockPath);
// Whether a lock file of that age (ageOnShare) was left by a station that stopped.
bool abandoned(qint64 ageSeconds);

class ShareLock {
public:
    explicit ShareLock(QString target);
    ~ShareLock();
    ShareLock(const ShareLock &) = delete;
    ShareLock &operator=(const ShareLock &) = delete;

    // Takes the lock, waiting as the timings say. keepAlive: the hold may be long (a whole
    // archive read), so a thread keeps the lock file fresh until release. Throws Error
    // when another station holds it for longer than the wait.
    void acquire(bool keepAlive = false);
    // Also takes flock() on an open file of the target (shared or exclusive), for the
    // processes of this computer, the older copies of the program among them, which lock
    // the file itself. Given up by release(). Call once the lock is acquired.
    void flockFile(int fd, bool shared);
    // Lets the lock go (flock first, then the lock file if it is still ours). Safe to call
    // twice.
    void release();

    bool isAcquired() const { return m_acquired; }
    // False when the folder took no lock file (see above) and only flock() guards.
    bool hasLockFile() const;
    const QString &lockPath() const { return m_lockPath; }

private:
    struct Held;
    bool tryCreate(int *err);
    void dropCreated();

    QString m_target;
    QString m_lockPath;
    int m_flocked = -1; // the file flockFile() locked
    QByteArray m_contents;
    bool m_acquired = false;
    std::unique_ptr<Held> m_held;
};

} // namespace sharelock
