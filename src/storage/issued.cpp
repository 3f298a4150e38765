#include "issued.h"

#include "storage/posixfile.h"
#include "storage/safesave.h"
#include "storage/sharelock.h"
#include "storage/textcodec.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#ifndef Q_OS_UNIX
#error "issued: written for POSIX file systems (pwrite, fdatasync, ftruncate)"
#endif

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace issued {
namespace {

constexpr int kFields = 7;
constexpr int kMostRevisions = 100000;

// A value as one field of a line: no tab, no line break.
QString field(const QString &value)
{
    QString out = value;
    for (QChar &c : out)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return out;
}

bool isHex64(QByteArrayView text)
{
    if (text.size() != 64)
        return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

QString cause(const QString &what, const QString &why)
{
    return why.isEmpty() ? what : what + QStringLiteral(" (") + why + u')';
}


// Adds the bytes at the end of the register, synced to disk; a write that fails is taken
// back (the file cut to its old size, or removed when it was made here), so the register
// holds every line whole or not at all. Returns the cause of a failure, empty on success.
QString append(const QString &path, const QByteArray &bytes)
{
    const QByteArray name = QFile::encodeName(path);
    const bool existed = QFileInfo::exists(path);
    const int fd = posixfile::openFile(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return qt_error_string(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return qt_error_string(err);
    }
    const off_t end = st.st_size;
    int err = 0;
    if (posixfile::writeAllAt(fd, bytes.constData(), bytes.size(), end, &err) && !posixfile::syncData(fd))
        err = errno;
    if (err != 0) {
        if (::ftruncate(fd, end) == 0)
            posixfile::syncData(fd);
        ::close(fd);
        if (!existed)
            ::unlink(name.constData());
        return qt_error_string(err);
    }
    return ::close(fd) == 0 ? QString() : qt_error_string(errno);
}

} // namespace

QString kindWords(settings::DocumentKind kind)
{
    return kind == settings::DocumentKind::Reports ? QStringLiteral("Rapporto di prova")
                                                   : QStringLiteral("Certificato di analisi");
}

QString title(settings::DocumentKind kind, const QString &number)
{
    return kindWords(kind) + QStringLiteral(" n. ") + text::trim(number);
}

QString numberForFileName(const QString &number)
{
    static const QString refused = QStringLiteral("/\\<>:\"|?*");
    QString out = text::trim(number);
    for (QChar &c : out) {
        if (c.unicode() < 32 || c.unicode() == 127 || refused.contains(c) || !text::toCp1252Exact(QString(c)))
            c = u'-';
    }
    return out;
}

QString fileName(settings::DocumentKind kind, const QString &number, int revision)
{
    QString name = kindWords(kind) + u' ' + numberForFileName(number);
    if (revision > 0)
        name += QStringLiteral(" rev. %1").arg(revision);
    return name + QStringLiteral(".pdf");
}

QString yearFolder(const QString &programFolder, int year)
{
    QString folder = programFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + kFolderName + u'/' + QString::number(year) + u'/';
}

bool isYearName(const QString &name)
{
    if (name.size() != 4)
        return false;
    for (QChar c : name)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

QByteArray registerLine(const Entry &entry)
{
    const QStringList values{entry.date,   entry.time,     entry.kind,
                             entry.number, entry.client,   entry.fileName,
                             QString::fromLatin1(entry.sha256)};
    QStringList fields;
    for (const QString &v : values)
        fields.append(field(v));
    return text::toCp1252(fields.join(u'\t')) + "\r\n";
}

std::optional<Entry> parseLine(QByteArrayView line)
{
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r'))
        line.chop(1);
    const QList<QByteArray> parts = line.toByteArray().split('\t');
    if (parts.size() != kFields)
        return std::nullopt;
    Entry e;
    e.date = text::fromCp1252(parts[0]);
    e.time = text::fromCp1252(parts[1]);
    e.kind = text::fromCp1252(parts[2]);
    e.number = text::fromCp1252(parts[3]);
    e.client = text::fromCp1252(parts[4]);
    e.fileName = text::fromCp1252(parts[5]);
    if (e.fileName.isEmpty() || !isHex64(parts[6]))
        return std::nullopt;
    e.sha256 = parts[6].toLower();
    return e;
}

QList<QByteArray> lines(const QByteArray &registerBytes)
{
    QList<QByteArray> out = registerBytes.split('\n');
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    for (QByteArray &l : out)
        if (l.endsWith('\r'))
            l.chop(1);
    return out;
}

QByteArray sha256Hex(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

Issued issue(const QString &programFolder, const Document &document, const QDateTime &when)
{
    const QString folder = yearFolder(programFolder, document.year);
    if (!QDir().mkpath(folder))
        throw IssueError(QStringLiteral("cannot create the folder %1").arg(folder).toStdString());
    const QString registerPath = folder + kRegisterName;

    sharelock::ShareLock lock(registerPath);
    try {
        lock.acquire(true);
    } catch (const sharelock::Error &e) {
        throw IssueError(std::string("register lock not had: ") + e.what());
    }

    // Read afresh under the lock: what other stations issued meanwhile counts.
    QByteArray before;
    QFile reg(registerPath);
    if (reg.exists()) {
        if (!reg.open(QIODevice::ReadOnly))
            throw IssueError(cause(QStringLiteral("cannot read the register %1").arg(registerPath), reg.errorString())
                                 .toStdString());
        before = reg.readAll();
        if (reg.error() != QFileDevice::NoError)
            throw IssueError(cause(QStringLiteral("cannot read the register %1").arg(registerPath), reg.errorString())
                                 .toStdString());
        reg.close();
    }
    QSet<QString> listed;
    for (const QByteArray &line : lines(before))
        if (const std::optional<Entry> e = parseLine(line))
            listed.insert(e->fileName.toCaseFolded());

    Issued done;
    for (int revision = 0;; ++revision) {
        if (revision == kMostRevisions)
            throw IssueError("no free revision name");
        const QString name = fileName(document.kind, document.number, revision);
        const QFileInfo there(folder + name);
        if (there.exists() || there.isSymLink() || listed.contains(name.toCaseFolded()))
            continue;
        done = {folder + name, name, revision, sha256Hex(document.pdf)};
        break;
    }

    QString error;
    if (!safesave::saveNew(done.path, document.pdf, &error))
        throw IssueError(cause(QStringLiteral("cannot write the document"), error).toStdString());

    Entry entry{when.toString(QStringLiteral("dd/MM/yyyy")), when.toString(QStringLiteral("HH:mm:ss")),
                kindWords(document.kind),                    text::trim(document.number),
                text::trim(document.client),                 done.fileName,
                done.sha256};
    QByteArray line = registerLine(entry);
    if (!before.isEmpty() && !before.endsWith('\n'))
        line.prepend("\r\n"); // a last line without its end stays a line of its own
    error = append(registerPath, line);
    if (!error.isEmpty()) {
        // Not issued: the file goes with the line that was not written.
        if (!QFile::remove(done.path))
            error += QStringLiteral("; the document %1 could not be removed").arg(done.path);
        throw IssueError(cause(QStringLiteral("cannot write the register"), error).toStdString());
    }
    return done;
}

} // namespace issued
