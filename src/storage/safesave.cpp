#include "safesave.h"

#include "posixfile.h"
#include "writethrough.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#ifndef Q_OS_UNIX
#error "safesave: written for POSIX file systems (open, write, fdatasync, rename)"
#endif

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace safesave {
namespace {

QString systemError(int code)
{
    return qt_error_string(code);
}

// The temporary file as a device for writers. Unbuffered: a write reaches the file at
// once or fails at once. The first failure sticks.
class TempDevice : public QIODevice {
public:
    explicit TempDevice(int fd) : m_fd(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

    bool isSequential() const override { return false; }
    qint64 size() const override
    {
        struct stat st {};
        return ::fstat(m_fd, &st) == 0 ? qint64(st.st_size) : 0;
    }
    int failure() const { return m_err; } // errno of the first failed write, or 0

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 len) override
    {
        if (m_err != 0)
            return -1;
        int err = 0;
        if (!posixfile::writeAllAt(m_fd, data, len, pos(), &err)) {
            m_err = err;
            setErrorString(systemError(err));
            return -1;
        }
        return len;
    }

private:
    int m_fd;
    int m_err = 0;
};

// A device set between the writer and the temporary file (a test's): a write it does
// not take whole fails the save, as a refused write to the file does. The first failure
// sticks.
class ThroughDevice : public QIODevice {
public:
    explicit ThroughDevice(QIODevice &inner) : m_inner(inner) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

    bool isSequential() const override { return false; }
    bool failed() const { return m_failed; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 len) override
    {
        if (m_failed)
            return -1;
        if (m_inner.write(data, len) != len) {
            m_failed = true;
            setErrorString(m_inner.errorString());
            return -1;
        }
        return len;
    }

private:
    QIODevice &m_inner;
    bool m_failed = false;
};

class Save {
public:
    Save(const QString &path, Links links, Access access, bool newOnly = false)
        : m_path(path), m_links(links), m_access(access), m_newOnly(newOnly)
    {
    }
    ~Save() { discard(); }

    bool run(const Writer &writer, QString *error, int *code)
    {
        if (!prepare() || !fill(writer) || !finish()) {
            discard();
            if (error)
                *error = QStringLiteral("%1: %2").arg(m_path, m_error);
            if (code)
                *code = m_code;
            return false;
        }
        return true;
    }

private:
    bool fail(const QString &why)
    {
        m_error = why;
        return false;
    }
    bool failErrno(const QString &what, int code)
    {
        m_code = code;
        return fail(what + QStringLiteral(" (") + systemError(code) + u')');
    }

    bool prepare()
    {
        // A followed link: the file it points to is replaced, the link stays.
        const QFileInfo link(m_path);
        const bool follow = m_links == Links::Follow && !m_newOnly;
        m_target = follow && link.isSymLink() && !link.canonicalFilePath().isEmpty() ? link.canonicalFilePath()
                                                                                    : m_path;
        const QByteArray target = QFile::encodeName(m_target);

        struct stat st {};
        bool existed = false;
        if (m_newOnly && ::lstat(target.constData(), &st) == 0)
            return failErrno(QStringLiteral("a file of this name is there already"), EEXIST);
        if (!follow && ::lstat(target.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
            // The link goes, whatever it points to; the new file gets the usual permissions.
        } else if (::stat(target.constData(), &st) == 0) {
            if (S_ISDIR(st.st_mode))
                return fail(QStringLiteral("a folder has this name"));
            if (!S_ISREG(st.st_mode))
                return fail(QStringLiteral("not a regular file"));
            if (::access(target.constData(), W_OK) != 0)
                return failErrno(QStringLiteral("the file cannot be written"), errno);
            existed = true;
        } else if (errno != ENOENT) {
            return failErrno(QStringLiteral("cannot look at the file"), errno);
        }

        // Hidden, beside the target: same file system, so the rename is atomic. The target's
        // name is cut, so that the temporary name is short whatever the target's length (a
        // name near the system's limit would not take the 14 characters added).
        const QFileInfo info(m_target);
        QString stem = info.fileName().left(kTempStem);
        if (!stem.isEmpty() && stem.back().isHighSurrogate())
            stem.chop(1);
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QString name = QStringLiteral(".%1.%2.tmp")
                                     .arg(stem)
                                     .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
            m_temp = QFile::encodeName(info.dir().filePath(name));
            m_fd = ::open(m_temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          m_access == Access::OwnerOnly ? 0600 : 0666);
            if (m_fd >= 0)
                break;
            if (errno != EEXIST) {
                m_temp.clear();
                return failErrno(QStringLiteral("cannot create a temporary file in the folder"), errno);
            }
        }
        if (m_fd < 0) {
            m_temp.clear();
            return fail(QStringLiteral("no free name for a temporary file"));
        }
        // The new file keeps the permissions of the one it replaces.
        if (m_access == Access::OwnerOnly)
            ::fchmod(m_fd, 0600);
        else if (existed)
            ::fchmod(m_fd, st.st_mode & 07777);
        return true;
    }

    bool fill(const Writer &writer)
    {
        TempDevice device(m_fd);
        bool produced = false;
        if (const WriteThrough::Wrap &wrap = WriteThrough::current()) {
            const std::unique_ptr<QIODevice> between = wrap(device);
            ThroughDevice through(*between);
            produced = writer(through);
            if (through.failed() && device.failure() == 0)
                return fail(QStringLiteral("write failed (%1)").arg(through.errorString()));
        } else {
            produced = writer(device);
        }
        if (device.failure() != 0)
            return failErrno(QStringLiteral("write failed"), device.failure());
        if (!produced)
            return fail(QStringLiteral("the contents could not be produced"));
        return true;
    }

    bool finish()
    {
        if (!posixfile::syncData(m_fd))
            return failErrno(QStringLiteral("sync to disk failed"), errno);
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            return failErrno(QStringLiteral("closing the file failed"), errno);
        if (m_newOnly ? !renameNew() : ::rename(m_temp.constData(), QFile::encodeName(m_target).constData()) != 0)
            return failErrno(m_newOnly ? QStringLiteral("cannot put the file in place") : QStringLiteral("cannot replace the file"),
                             errno);
        m_temp.clear();
        syncFolder();
        return true;
    }

    // The temporary file renamed to the target only if nothing has that name: in one step
    // where the file system can, else (network shares) looked at and then renamed.
    bool renameNew()
    {
        const QByteArray target = QFile::encodeName(m_target);
        if (::renameat2(AT_FDCWD, m_temp.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return false;
        struct stat st {};
        if (::lstat(target.constData(), &st) == 0) {
            errno = EEXIST;
            return false;
        }
        return ::rename(m_temp.constData(), target.constData()) == 0;
    }

    // Makes the rename itself durable. Best effort: the file is already in place.
    void syncFolder()
    {
        const QByteArray folder = QFile::encodeName(QFileInfo(m_target).absolutePath());
        const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }

    void discard()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
        if (!m_temp.isEmpty()) {
            ::unlink(m_temp.constData());
            m_temp.clear();
        }
    }

    QString m_path;
    Links m_links;
    Access m_access;
    bool m_newOnly;
    QString m_target;
    QByteArray m_temp; // the temporary file while it exists
    int m_fd = -1;
    QString m_error;
    int m_code = 0; // errno of the failure, when it has one

    static constexpr int kTempStem = 32; // characters of the target's name in the temporary one
};

} // namespace

bool save(const QString &path, const QByteArray &bytes, QString *error)
{
    return save(path, [&bytes](QIODevice &device) { return device.write(bytes) == bytes.size(); }, error);
}

bool save(const QString &path, const Writer &writer, QString *error, Links links, int *code, Access access)
{
    if (code)
        *code = 0;
    return Save(path, links, access).run(writer, error, code);
}

bool saveNew(const QString &path, const QByteArray &bytes, QString *error)
{
    return Save(path, Links::Replace, Access::Usual, true)
        .run([&bytes](QIODevice &device) { return device.write(bytes) == bytes.size(); }, error, nullptr);
}

} // namespace safesave
