#pragma once
// A small tmpfs of the test's own, mounted in a fresh temporary folder: a file system
// that can really be filled up or made read-only. Mounting needs root; when it is not
// possible, reason() says why and the test skips:
//
//     ScratchFs fs;
//     if (!fs.mounted())
//         QSKIP(qPrintable(fs.reason()));
//
// The file system is unmounted when the object goes, also when a check fails half way.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif

class ScratchFs {
public:
    explicit ScratchFs(qint64 bytes = 1024 * 1024)
    {
#ifdef Q_OS_LINUX
        if (::geteuid() != 0) {
            m_reason = QStringLiteral("mounting a small tmpfs needs root: not tested here");
            return;
        }
        if (!m_dir.isValid()) {
            m_reason = QStringLiteral("no temporary folder for the tmpfs");
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) != 0) {
            m_reason = QStringLiteral("cannot mount a tmpfs (%1): not tested here")
                           .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_mounted = true;
#else
        Q_UNUSED(bytes);
        m_reason = QStringLiteral("tmpfs mounts are tried on Linux only");
#endif
    }

    ~ScratchFs()
    {
#ifdef Q_OS_LINUX
        if (m_filler >= 0)
            ::close(m_filler);
        if (m_mounted && ::umount(QFile::encodeName(m_dir.path()).constData()) != 0)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
#endif
    }

    ScratchFs(const ScratchFs &) = delete;
    ScratchFs &operator=(const ScratchFs &) = delete;

    bool mounted() const { return m_mounted; }
    QString reason() const { return m_reason; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Fills the file system with a hidden filler file until not one byte more fits, then
    // gives `room` bytes back (rounded down to whole pages, the tmpfs unit). True when
    // the free space is then below room + one page.
    bool fill(qint64 room = 0)
    {
#ifdef Q_OS_LINUX
        if (!m_mounted)
            return false;
        if (m_filler < 0)
            m_filler = ::open(QFile::encodeName(filePath(QStringLiteral(".filler"))).constData(),
                              O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (m_filler < 0)
            return false;
        const QByteArray chunk(64 * 1024, 'f');
        for (qint64 size : {qint64(chunk.size()), qint64(4096), qint64(1)}) {
            for (;;) {
                const ssize_t n = ::write(m_filler, chunk.constData(), size_t(size));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
            }
            if (errno != ENOSPC)
                return false;
        }
        const off_t full = ::lseek(m_filler, 0, SEEK_END);
        if (room > 0 && ::ftruncate(m_filler, full > room ? full - room : 0) != 0)
            return false;
        return freeBytes() < room + 4096;
#else
        Q_UNUSED(room);
        return false;
#endif
    }

    // Removes the filler: the whole size is free again, apart from the files put there.
    void unfill()
    {
#ifdef Q_OS_LINUX
        if (m_filler >= 0) {
            ::close(m_filler);
            m_filler = -1;
        }
        QFile::remove(filePath(QStringLiteral(".filler")));
#endif
    }

    qint64 freeBytes() const
    {
#ifdef Q_OS_LINUX
        struct statvfs st {};
        if (::statvfs(QFile::encodeName(path()).constData(), &st) != 0)
            return -1;
        return qint64(st.f_bavail) * qint64(st.f_frsize);
#else
        return -1;
#endif
    }

    // Mounts the file system again read-only: no file or folder in it can change.
    bool makeReadOnly()
    {
#ifdef Q_OS_LINUX
        if (m_filler >= 0) {
            ::close(m_filler);
            m_filler = -1;
        }
        return m_mounted
            && ::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr)
            == 0;
#else
        return false;
#endif
    }

    // Every file in the mount (the filler aside) with its bytes.
    QMap<QString, QByteArray> contents() const;

private:
    QTemporaryDir m_dir;
    QString m_reason;
    bool m_mounted = false;
    int m_filler = -1;
};

// Every file of a folder with its bytes, and its sub-folders, hidden ones included (a
// temporary file left behind shows up): what a test compares before and after a failed
// save. The scratch file system's filler is left out.
inline QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> all;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name == u".filler")
            continue;
        QFile f(dir.filePath(name));
        all.insert(name, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)"));
    }
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        all.insert(name + u'/', QByteArray("(folder)"));
    return all;
}

inline QMap<QString, QByteArray> ScratchFs::contents() const
{
    return folderContents(path());
}

// Makes a folder read-only for this process: the scratch file system is mounted again
// read-only when the folder is its root, any other folder loses its write permission.
// False when the process could still create files there (root ignores permissions);
// restoreFolder() gives the permission back so the folder can be cleaned up.
inline bool makeFolderReadOnly(ScratchFs &fs, const QString &folder)
{
    if (fs.mounted() && QDir(folder) == QDir(fs.path()))
        return fs.makeReadOnly();
    if (!QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner))
        return false;
    QFile probe(QDir(folder).filePath(QStringLiteral(".probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        return false;
    }
    return true;
}

inline void restoreFolder(const QString &folder)
{
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
