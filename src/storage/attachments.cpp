#include "attachments.h"

#include "storage/programfolder.h"
#include "storage/records.h"
#include "storage/safesave.h"
#include "storage/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace attachments {
namespace {

constexpr qint64 kBlock = 1024 * 1024;

// Every record type gives its file names the same room.
int nameCapacity()
{
    static const int capacity = records::client().find(QStringLiteral("lblFile01"))->capacity;
    return capacity;
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
    return !(name.size() >= 2 && name.at(1) == u':' && name.at(0).isLetter());
}

bool isStorable(const QString &name)
{
    const QByteArray stored = text::toCp1252(name);
    return stored.size() <= nameCapacity() && text::fromCp1252(stored) == name && text::trim(name) == name;
}

QString pathOf(const QString &name)
{
    return isBareName(name) ? folder() + name : QString();
}

bool isPresent(const QString &name)
{
    const QString path = pathOf(name);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

CopyResult copyIn(const QString &source, const QString &name, const Progress &progress, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return CopyResult::Failed;
    };
    const QString target = pathOf(name);
    if (target.isEmpty())
        return fail(QStringLiteral("not a bare file name: %1").arg(name));
    if (!QDir().mkpath(folder()))
        return fail(QStringLiteral("cannot create the folder %1").arg(folder()));

    const QFileInfo from(source);
    if (!from.isFile())
        return fail(QStringLiteral("not a file: %1").arg(source));
    // The file chosen may be the folder's own copy: it is already in place. (A link of
    // that name is no copy: it is replaced by one.)
    const QFileInfo to(target);
    if (!to.isSymLink() && from.canonicalFilePath() == to.canonicalFilePath())
        return CopyResult::Copied;

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(source, in.errorString()));
    const qint64 total = in.size();
    bool cancelled = false;
    QString readError;
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
        error, safesave::Links::Replace);
    if (saved)
        return CopyResult::Copied;
    if (cancelled)
        return CopyResult::Cancelled;
    if (!readError.isEmpty() && error)
        *error = readError;
    return CopyResult::Failed;
}

} // namespace attachments
