#include "attachments.h"

#include "storage/programfolder.h"
#include "storage/records.h"
#include "storage/safesave.h"
#include "storage/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>

namespace attachments {
namespace {

constexpr qint64 kBlock = 1024 * 1024;

// Every record type gives its file names the same room.
int nameCapacity()
{
    static const int capacity = records::client().find(QStringLiteral("lblFile01"))->capacity;
    return capacity;
}

// The names a Windows system reserves for its devices, with or without an extension;
// on a folder shared from such a system they never name a file.
bool isDeviceName(const QString &name)
{
    const QString stem = text::trim(text::upperAscii(name.section(u'.', 0, 0)));
    static const QStringList devices{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                     QStringLiteral("NUL"), QStringLiteral("CONIN$"), QStringLiteral("CONOUT$"),
                                     QStringLiteral("CLOCK$")};
    if (devices.contains(stem))
        return true;
    return stem.size() == 4 && (stem.startsWith(u"COM") || stem.startsWith(u"LPT")) && stem[3] >= u'0'
        && stem[3] <= u'9';
}

CopyFailure failureOf(int code)
{
    switch (code) {
    case 0:
        return CopyFailure::Other;
    case EACCES:
    case EPERM:
    case EROFS:
        return CopyFailure::NoPermission;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return CopyFailure::DiskFull;
    case ENAMETOOLONG:
        return CopyFailure::NameTooLong;
    default:
        return CopyFailure::Other;
    }
}

} // namespace

QString folder()
{
    return ProgramFolder::path() + kFolderName + u'/';
}

bool isBareName(const QString &name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(QChar(0)))
        return false;
    // "C:name" is a path on the drive's current folder where the archives may be shared.
    if (name.size() >= 2 && name.at(1) == u':' && name.at(0).isLetter())
        return false;
    return !isDeviceName(name);
}

QString folderName(const QString &stored)
{
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QStringList parts = stored.split(separators);
    // A path that climbs out of a folder is no name an older program stored: refused whole.
    if (parts.contains(QStringLiteral("..")))
        return {};
    return isBareName(parts.last()) ? parts.last() : QString();
}

bool isStorable(const QString &name)
{
    const QByteArray stored = text::toCp1252(name);
    return stored.size() <= nameCapacity() && text::fromCp1252(stored) == name && text::trim(name) == name;
}

QString pathOf(const QString &name)
{
    const QString inFolder = folderName(name);
    return inFolder.isEmpty() ? QString() : folder() + inFolder;
}

bool isPresent(const QString &name)
{
    const QString path = pathOf(name);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

CopyResult copyIn(const QString &source, const QString &name, const Progress &progress, QString *error,
                  CopyFailure *failure)
{
    if (failure)
        *failure = CopyFailure::None;
    const auto fail = [error, failure](const QString &why, CopyFailure kind) {
        if (error)
            *error = why;
        if (failure)
            *failure = kind;
        return CopyResult::Failed;
    };
    const QString target = isBareName(name) ? folder() + name : QString();
    if (target.isEmpty())
        return fail(QStringLiteral("not a bare file name: %1").arg(name), CopyFailure::Other);
    if (!QDir().mkpath(folder())) {
        const QFileInfo program(ProgramFolder::path());
        return fail(QStringLiteral("cannot create the folder %1").arg(folder()),
                    program.isDir() && !program.isWritable() ? CopyFailure::NoPermission : CopyFailure::Other);
    }

    const QFileInfo from(source);
    if (!from.isFile())
        return fail(QStringLiteral("not a file: %1").arg(source), CopyFailure::SourceUnreadable);
    // The file chosen may be the folder's own copy: it is already in place. (A link of
    // that name is no copy: it is replaced by one.)
    const QFileInfo to(target);
    if (!to.isSymLink() && from.canonicalFilePath() == to.canonicalFilePath())
        return CopyResult::Copied;

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(source, in.errorString()), CopyFailure::SourceUnreadable);
    const qint64 total = in.size();
    bool cancelled = false;
    QString readError;
    int code = 0;
    const bool saved = safesave::save(
        target,
        [&](QIODevice &out) {
            QByteArray block(kBlock, Qt::Uninitialized);
            qint64 done = 0;
            for (;;) {
                const qint64 n = in.read(block.data(), block.size());
                if (n < 0) {
                    readError = QStringLiteral("%1: %2").arg(source, in.errorString());
                    return false;
                }
                if (n == 0)
                    return true;
                if (out.write(block.constData(), n) != n)
                    return false;
                done += n;
                if (progress && !progress(done, total)) {
                    cancelled = true;
                    return false;
                }
            }
        },
        error, safesave::Links::Replace, &code);
    if (saved)
        return CopyResult::Copied;
    if (cancelled)
        return CopyResult::Cancelled;
    if (!readError.isEmpty()) {
        if (error)
            *error = readError;
        if (failure)
            *failure = CopyFailure::SourceUnreadable;
        return CopyResult::Failed;
    }
    if (failure)
        *failure = failureOf(code);
    return CopyResult::Failed;
}

} // namespace attachments
