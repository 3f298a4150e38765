#pragma once
// One folder mounted twice through a real network file system, as two stations see one
// shared folder: an SSH server of its own on 127.0.0.1 (keys made for the test, a port of
// its own) and two sshfs mounts with every cache off, so that each is as consistent as an
// SMB or NFS share. flock() on one mount does not hold on the other; an exclusive create
// does. Needs root (FUSE), sshd and sshfs: start() says why not where they are missing,
// and fuseUnavailable() tells a machine that cannot mount FUSE file systems at all (a
// reason to skip) from a server or tool that failed (a missing environment).

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

#include <pwd.h>
#include <unistd.h>

namespace support {

// In a test's initTestCase (with support/environment.h): starts the pair, or skips the
// suite where the machine cannot mount FUSE file systems; a server or tool that fails is a
// missing environment.
#define TIRELLO_START_SSHFS_OR_SKIP(pair)                                                                 \
    do {                                                                                                   \
        QString why_;                                                                                      \
        if (!(pair).start(&why_)) {                                                                        \
            if ((pair).fuseUnavailable())                                                                  \
                QSKIP(qPrintable(QStringLiteral("FUSE is not available on this machine: ") + why_));       \
            TIRELLO_ENVIRONMENT_MISSING(QStringLiteral("no shared folder to test on: ") + why_);            \
        }                                                                                                  \
    } while (false)

class SshfsPair {
public:
    ~SshfsPair() { stop(); }

    // The shared folder as it is on the server's disk, and as each station sees it.
    QString share() const { return m_dir->filePath(QStringLiteral("share")); }
    QString mountA() const { return m_dir->filePath(QStringLiteral("stationA")); }
    QString mountB() const { return m_dir->filePath(QStringLiteral("stationB")); }

    bool start(QString *why)
    {
        const QString sshd = QStringLiteral("/usr/sbin/sshd");
        const QString sshfs = QStandardPaths::findExecutable(QStringLiteral("sshfs"));
        const QString keygen = QStandardPaths::findExecutable(QStringLiteral("ssh-keygen"));
        m_fusermount = QStandardPaths::findExecutable(QStringLiteral("fusermount3"));
        if (m_fusermount.isEmpty())
            m_fusermount = QStandardPaths::findExecutable(QStringLiteral("fusermount"));
        if (!QFile::exists(sshd) || sshfs.isEmpty() || keygen.isEmpty() || m_fusermount.isEmpty())
            return no(why, QStringLiteral("openssh-server and sshfs are not installed"));
        if (::geteuid() != 0)
            return noFuse(why, QStringLiteral("FUSE mounts need root here"));
        if (!QFile::exists(QStringLiteral("/dev/fuse")))
            return noFuse(why, QStringLiteral("no /dev/fuse on this machine"));

        m_dir = std::make_unique<QTemporaryDir>();
        const QDir d(m_dir->path());
        for (const char *sub : {"share", "stationA", "stationB"})
            d.mkpath(QString::fromLatin1(sub));
        QDir().mkpath(QStringLiteral("/run/sshd")); // the server's privilege separation folder
        for (const char *key : {"host", "client"})
            if (QProcess::execute(keygen, {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                                           QStringLiteral("-N"), QString(), QStringLiteral("-f"),
                                           d.filePath(QString::fromLatin1(key))})
                != 0)
                return no(why, QStringLiteral("ssh-keygen failed"));
        QFile::copy(d.filePath(QStringLiteral("client.pub")), d.filePath(QStringLiteral("authorized_keys")));
        const struct passwd *account = ::getpwuid(::geteuid());
        const QString user = account ? QString::fromLocal8Bit(account->pw_name) : QStringLiteral("root");

        // A port of its own: a few tries, in case one is taken.
        for (int attempt = 0; attempt < 8 && !m_server; ++attempt) {
            m_port = 20000 + int(QRandomGenerator::global()->bounded(40000));
            QFile config(d.filePath(QStringLiteral("sshd_config")));
            if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return no(why, QStringLiteral("cannot write the server's configuration"));
            config.write(QStringLiteral("Port %1\nListenAddress 127.0.0.1\nHostKey %2\nAuthorizedKeysFile %3\n"
                                        "PidFile none\nStrictModes no\nUsePAM no\nPermitRootLogin prohibit-password\n"
                                        "PasswordAuthentication no\nSubsystem sftp internal-sftp\nLogLevel ERROR\n")
                             .arg(m_port)
                             .arg(d.filePath(QStringLiteral("host")), d.filePath(QStringLiteral("authorized_keys")))
                             .toUtf8());
            config.close();
            auto server = std::make_unique<QProcess>();
            server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            server->start(sshd, {QStringLiteral("-D"), QStringLiteral("-e"), QStringLiteral("-f"), config.fileName()});
            if (!server->waitForStarted(5000))
                continue;
            if (server->waitForFinished(300)) // it stopped at once: the port is taken
                continue;
            m_server = std::move(server);
        }
        if (!m_server)
            return no(why, QStringLiteral("sshd did not start"));

        for (const QString &mount : {mountA(), mountB()}) {
            bool mounted = false;
            for (int attempt = 0; attempt < 20 && !mounted; ++attempt) {
                mounted = QProcess::execute(
                              sshfs, {user + QStringLiteral("@127.0.0.1:") + share(), mount, QStringLiteral("-o"),
                                      QStringLiteral("port=%1,IdentityFile=%2,StrictHostKeyChecking=no,"
                                                     "UserKnownHostsFile=/dev/null,BatchMode=yes,LogLevel=ERROR,"
                                                     "attr_timeout=0,entry_timeout=0,negative_timeout=0,"
                                                     "dir_cache=no,direct_io")
                                          .arg(m_port)
                                          .arg(d.filePath(QStringLiteral("client")))})
                    == 0;
                if (!mounted)
                    QThread::msleep(100);
            }
            if (!mounted) // the server answers: this machine does not let FUSE mount
                return noFuse(why, QStringLiteral("sshfs could not mount the share (FUSE not permitted here?)"));
            m_mounted << mount;
        }
        // Both mounts see the same folder.
        QFile probe(QDir(mountA()).filePath(QStringLiteral("probe")));
        if (!probe.open(QIODevice::WriteOnly) || probe.write("x") != 1)
            return no(why, QStringLiteral("cannot write through the mount"));
        probe.close();
        if (!QFile::exists(QDir(mountB()).filePath(QStringLiteral("probe"))))
            return no(why, QStringLiteral("the two mounts do not see one folder"));
        probe.remove();
        return true;
    }

    void stop()
    {
        for (const QString &mount : std::as_const(m_mounted))
            if (QProcess::execute(m_fusermount, {QStringLiteral("-u"), mount}) != 0)
                QProcess::execute(m_fusermount, {QStringLiteral("-u"), QStringLiteral("-z"), mount});
        m_mounted.clear();
        if (m_server) {
            m_server->terminate();
            if (!m_server->waitForFinished(3000))
                m_server->kill();
            m_server.reset();
        }
        m_dir.reset();
    }

    bool fuseUnavailable() const { return m_fuseUnavailable; }

private:
    bool noFuse(QString *why, const QString &reason)
    {
        m_fuseUnavailable = true;
        return no(why, reason);
    }
    bool no(QString *why, const QString &reason)
    {
        *why = reason;
        stop();
        return false;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_server;
    QStringList m_mounted;
    QString m_fusermount;
    int m_port = 0;
    bool m_fuseUnavailable = false;
};

} // namespace support
