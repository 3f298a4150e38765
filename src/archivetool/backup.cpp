#include "backup.h"

#include "storage/attachments.h"
#include "storage/crypt.h"
#include "storage/issued.h"
#include "storage/posixfile.h"
#include "storage/programfiles.h"
#include "storage/programfolder.h"
#include "storage/safesave.h"
#include "storage/settings.h"
#include "storage/sharelock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace archivetool {
namespace {

constexpr qint64 kBlock = 256 * 1024;

struct WriteFree {
    void operator()(archive *a) const { archive_write_free(a); }
};
struct ReadFree {
    void operator()(archive *a) const { archive_read_free(a); }
};
struct EntryFree {
    void operator()(archive_entry *e) const { archive_entry_free(e); }
};
using Writer = std::unique_ptr<archive, WriteFree>;
using Reader = std::unique_ptr<archive, ReadFree>;
using Entry = std::unique_ptr<archive_entry, EntryFree>;

QString why(archive *a)
{
    const char *text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("errore sconosciuto");
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool isTopLevelFile(const QString &name)
{
    return programfiles::archiveOf(name) || name == settings::kFileName || name == password::kFileName
        || name == programfiles::kLogo;
}

// A temporary file of a save that never finished (see safesave): not data.
bool isLeftOver(const QString &name)
{
    static const QRegularExpression temp(QStringLiteral("^\\..+\\.[0-9a-f]{8}\\.tmp$"));
    return temp.match(name).hasMatch();
}

struct Source {
    QString entry;        // name in the backup
    QString path;         // file in the folder
    int recordSize = 0;   // archives: read under the program's lock
    std::optional<QByteArray> held = {}; // a register: its bytes as read with its folder's listing
};

// The issued documents of one year's folder and its register, taken in one hold of the
// register's lock, as the program issues: every file the register lists is there, and the
// register lists every file taken. The files themselves never change once issued.
QString issuedSources(const QDir &dir, const QString &prefix, QList<Source> &out, QStringList &notes)
{
    const QString registerPath = dir.filePath(issued::kRegisterName);
    try {
        sharelock::ShareLock lock(registerPath);
        lock.acquire();
        const QStringList names =
            dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString &name : names) {
            const QString path = dir.filePath(name);
            const QString entry = prefix + name;
            if (isLeftOver(name) || sharelock::isLockFileName(name))
                continue;
            if (QFileInfo(path).isSymLink()) {
                notes << QStringLiteral("%1 \u00e8 un collegamento ad altro file: esclusa dalla copia").arg(entry);
                continue;
            }
            if (!QFileInfo(path).isFile() || !isBackupEntry(entry)) {
                notes << QStringLiteral("%1 non \u00e8 un documento emesso: esclusa dalla copia").arg(entry);
                continue;
            }
            if (name != issued::kRegisterName) {
                out.append(Source{entry, path, 0});
                continue;
            }
            QFile reg(path);
            if (!reg.open(QIODevice::ReadOnly))
                return QStringLiteral("impossibile leggere %1 (%2)").arg(native(path), reg.errorString());
            const QByteArray bytes = reg.readAll();
            if (reg.error() != QFileDevice::NoError)
                return QStringLiteral("impossibile leggere %1 (%2)").arg(native(path), reg.errorString());
            out.append(Source{entry, path, 0, bytes});
        }
    } catch (const sharelock::Error &e) {
        return QStringLiteral("impossibile leggere %1 (%2)").arg(native(registerPath), QString::fromStdString(e.what()));
    }
    return {};
}

QList<Source> sourcesOf(const QString &folder, QStringList &notes, QString &error)
{
    QList<Source> out;
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString &name : names) {
        if (!isTopLevelFile(name))
            continue;
        const QString path = dir.filePath(name);
        if (!QFileInfo(path).isFile()) {
            notes << QStringLiteral("%1 non \u00e8 un file: esclusa dalla copia").arg(name);
            continue;
        }
        const auto archive = programfiles::archiveOf(name);
        out.append(Source{name, path, archive ? archive->layout->size() : 0});
    }
    const QDir attached(dir.filePath(attachments::kFolderName));
    if (QFileInfo(attached.path()).isDir()) {
        const QStringList files =
            attached.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString &name : files) {
            const QString path = attached.filePath(name);
            const QString entry = attachments::kFolderName + u'/' + name;
            if (isLeftOver(name))
                continue;
            if (QFileInfo(path).isSymLink()) {
                notes << QStringLiteral("%1 \u00e8 un collegamento ad altro file: esclusa dalla copia").arg(entry);
                continue;
            }
            if (!QFileInfo(path).isFile() || !isBackupEntry(entry)) {
                notes << QStringLiteral("%1 non \u00e8 un documento allegato: esclusa dalla copia").arg(entry);
                continue;
            }
            out.append(Source{entry, path, 0});
        }
    }
    const QDir issuedRoot(dir.filePath(issued::kFolderName));
    const QFileInfo issuedInfo(issuedRoot.path());
    if (issuedInfo.isSymLink()) {
        notes << QStringLiteral("%1 \u00e8 un collegamento ad altra cartella: esclusa dalla copia").arg(issued::kFolderName);
    } else if (issuedInfo.isDir()) {
        const QStringList names =
            issuedRoot.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString &name : names) {
            const QString entry = issued::kFolderName + u'/' + name;
            const QFileInfo info(issuedRoot.filePath(name));
            if (!info.isSymLink() && info.isDir() && issued::isYearName(name)) {
                error = issuedSources(QDir(info.filePath()), entry + u'/', out, notes);
                if (!error.isEmpty())
                    return {};
            } else {
                notes << QStringLiteral("%1 non \u00e8 una cartella dei documenti emessi di un anno: esclusa dalla copia")
                             .arg(entry);
            }
        }
    }
    return out;
}

// The folders a backup holds as entries of their own, so that a restore gives them back
// even when empty: those of the attached and of the issued documents.
QStringList foldersOf(const QString &folder)
{
    QStringList out;
    const QDir dir(folder);
    for (const QString &name : {attachments::kFolderName, issued::kFolderName}) {
        const QFileInfo info(dir.filePath(name));
        if (info.isDir() && !info.isSymLink())
            out << name;
    }
    if (out.contains(issued::kFolderName)) {
        const QDir issuedRoot(dir.filePath(issued::kFolderName));
        for (const QString &year : issuedRoot.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name))
            if (issued::isYearName(year))
                out << issued::kFolderName + u'/' + year;
    }
    return out;
}

// Where libarchive writes the backup: the temporary file of the save.
struct Output {
    QIODevice *device;
    bool failed = false; // the device refused bytes (a full disk): the save says why
};

la_ssize_t writeToDevice(archive *a, void *client, const void *buffer, size_t length)
{
    auto *output = static_cast<Output *>(client);
    if (output->device->write(static_cast<const char *>(buffer), qint64(length)) != qint64(length)) {
        output->failed = true;
        archive_set_error(a, EIO, "%s", qPrintable(output->device->errorString()));
        return -1;
    }
    return la_ssize_t(length);
}

void setTimes(archive_entry *entry, const QFileInfo &info)
{
    const QDateTime modified = info.lastModified();
    if (modified.isValid())
        archive_entry_set_mtime(entry, time_t(modified.toSecsSinceEpoch()), 0);
}

// The header of one file's entry in the backup.
QString beginFile(archive *a, const QString &entryName, qint64 size, const QFileInfo &info)
{
    Entry entry(archive_entry_new());
    archive_entry_set_pathname_utf8(entry.get(), entryName.toUtf8().constData());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), size);
    setTimes(entry.get(), info);
    if (archive_write_header(a, entry.get()) != ARCHIVE_OK)
        return QStringLiteral("impossibile scrivere %1 nella copia (%2)").arg(entryName, why(a));
    return {};
}

// Bytes of the entry begun last, every one of them.
QString writeData(archive *a, const QString &entryName, const char *data, qint64 size)
{
    for (qint64 done = 0; done < size;) {
        const la_ssize_t w = archive_write_data(a, data + done, size_t(size - done));
        if (w <= 0)
            return QStringLiteral("impossibile scrivere %1 nella copia (%2)").arg(entryName, why(a));
        done += w;
    }
    return {};
}

QString finishFile(archive *a, const QString &entryName)
{
    if (archive_write_finish_entry(a) != ARCHIVE_OK)
        return QStringLiteral("impossibile scrivere %1 nella copia (%2)").arg(entryName, why(a));
    return {};
}

// One file into the backup: exactly `size` bytes of `in`, the file `info` names.
QString addFile(archive *a, const QString &entryName, QFile &in, qint64 size, const QFileInfo &info)
{
    if (QString error = beginFile(a, entryName, size, info); !error.isEmpty())
        return error;
    QByteArray block(kBlock, Qt::Uninitialized);
    qint64 left = size;
    while (left > 0) {
        const qint64 n = in.read(block.data(), qMin(left, kBlock));
        if (n <= 0)
            return QStringLiteral("impossibile leggere %1 (%2)").arg(native(info.filePath()),
                                                                      n < 0 ? in.errorString()
                                                                            : QStringLiteral("file accorciato durante la copia"));
        if (QString error = writeData(a, entryName, block.constData(), n); !error.isEmpty())
            return error;
        left -= n;
    }
    return finishFile(a, entryName);
}

// One file into the backup from bytes read before.
QString addBytes(archive *a, const QString &entryName, const QByteArray &bytes, const QFileInfo &info)
{
    QString error = beginFile(a, entryName, bytes.size(), info);
    if (error.isEmpty())
        error = writeData(a, entryName, bytes.constData(), bytes.size());
    return error.isEmpty() ? finishFile(a, entryName) : error;
}

QString addFolder(archive *a, const QString &entryName, const QFileInfo &info)
{
    Entry entry(archive_entry_new());
    archive_entry_set_pathname_utf8(entry.get(), (entryName + u'/').toUtf8().constData());
    archive_entry_set_filetype(entry.get(), AE_IFDIR);
    archive_entry_set_perm(entry.get(), 0755);
    archive_entry_set_size(entry.get(), 0);
    setTimes(entry.get(), info);
    if (archive_write_header(a, entry.get()) != ARCHIVE_OK || archive_write_finish_entry(a) != ARCHIVE_OK)
        return QStringLiteral("impossibile scrivere %1 nella copia (%2)").arg(entryName, why(a));
    return {};
}

// Copies one source into the backup; archives under the program's write lock, held until
// the last byte is read, so no record being saved is copied half way.
QString addSource(archive *a, const Source &source, qint64 *bytes)
{
    const auto copy = [&]() -> QString {
        // An attachment is opened without following a link: one put in its place after the
        // folder was listed is refused, not followed.
        const bool attachment = source.entry.contains(u'/');
        const int fd = posixfile::openFile(QFile::encodeName(source.path).constData(),
                                           O_RDONLY | O_CLOEXEC | (attachment ? O_NOFOLLOW : 0));
        if (fd < 0)
            return QStringLiteral("impossibile leggere %1 (%2)")
                .arg(native(source.path), QString::fromLocal8Bit(std::strerror(errno)));
        QFile in;
        if (!in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return QStringLiteral("impossibile leggere %1 (%2)").arg(native(source.path), in.errorString());
        }
        const qint64 size = in.size();
        *bytes += size;
        return addFile(a, source.entry, in, size, QFileInfo(source.path));
    };
    if (source.held) {
        *bytes += source.held->size();
        return addBytes(a, source.entry, *source.held, QFileInfo(source.path));
    }
    return source.recordSize > 0 ? whileLocked(source.path, source.recordSize, copy) : copy();
}

// Reads a backup from start to end, every entry checked before its bytes are taken.
// The sink gets each file entry and reads its data from the reader. Returns an error
// (Italian), empty when the whole backup was read.
using Sink = std::function<QString(const QString &name, archive *a, archive_entry *e)>;

QString readBackup(const QString &path, const Sink &sink)
{
    Reader a(archive_read_new());
    archive_read_support_format_zip(a.get());
    archive_read_set_options(a.get(), "hdrcharset=UTF-8");
    if (archive_read_open_filename(a.get(), QFile::encodeName(path).constData(), 64 * 1024) != ARCHIVE_OK)
        return QStringLiteral("la copia %1 non si pu\u00f2 leggere (%2)").arg(native(path), why(a.get()));
    QSet<QString> seen;
    for (;;) {
        archive_entry *entry = nullptr;
        const int r = archive_read_next_header(a.get(), &entry);
        if (r == ARCHIVE_EOF)
            break;
        if (r != ARCHIVE_OK)
            return QStringLiteral("la copia %1 \u00e8 danneggiata (%2)").arg(native(path), why(a.get()));
        const char *utf8 = archive_entry_pathname_utf8(entry);
        const char *raw = archive_entry_pathname(entry);
        QString name = utf8 ? QString::fromUtf8(utf8) : QString::fromLocal8Bit(raw ? raw : "");
        const auto type = archive_entry_filetype(entry);
        if (type == AE_IFDIR) {
            if (name.endsWith(u'/'))
                name.chop(1);
            if (!isBackupFolder(name))
                return QStringLiteral("la copia contiene una voce non sicura o non prevista: \"%1\"").arg(name);
            continue;
        }
        if (type != AE_IFREG || archive_entry_hardlink(entry) || archive_entry_symlink(entry))
            return QStringLiteral("la copia contiene una voce che non \u00e8 un file: \"%1\"").arg(name);
        if (!isBackupEntry(name))
            return QStringLiteral("la copia contiene una voce non sicura o non prevista: \"%1\"").arg(name);
        if (seen.contains(name))
            return QStringLiteral("la copia contiene due volte la voce \"%1\"").arg(name);
        seen.insert(name);
        if (const QString error = sink(name, a.get(), entry); !error.isEmpty())
            return error;
    }
    return {};
}

// Takes the data of the current entry, handing each block to `each` (which may be
// empty). A block that `each` refuses ends the reading with *refused set.
QString readData(archive *a, const QString &name, const std::function<bool(const char *, qint64)> &each,
                 qint64 *total, bool *refused = nullptr)
{
    QByteArray block(kBlock, Qt::Uninitialized);
    for (;;) {
        const la_ssize_t n = archive_read_data(a, block.data(), size_t(block.size()));
        if (n == 0)
            return {};
        if (n < 0)
            return QStringLiteral("la voce \"%1\" della copia \u00e8 danneggiata (%2)").arg(name, why(a));
        *total += n;
        if (each && !each(block.constData(), n)) {
            if (refused)
                *refused = true;
            return QStringLiteral("refused");
        }
    }
}

bool syncFile(QFile &f)
{
    if (!f.flush())
        return false;
    int rc;
    do {
        rc = ::fsync(f.handle());
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

// Why a backup could not be written into the destination, in the user's words; empty
// when nothing plain can be said.
QString destinationProblem(const QString &destination, bool deviceFailed)
{
    const QByteArray folder = QFile::encodeName(destination);
    struct statvfs st {};
    if (::statvfs(folder.constData(), &st) == 0 && (st.f_flag & ST_RDONLY))
        return QStringLiteral("il disco di destinazione \u00e8 di sola lettura");
    if (::access(folder.constData(), W_OK) != 0)
        return QStringLiteral("non si hanno i permessi di scrittura nella cartella di destinazione");
    if (deviceFailed)
        return QStringLiteral("scrittura interrotta: il disco di destinazione \u00e8 pieno o guasto");
    return {};
}

} // namespace

QString backupName(const QDateTime &when)
{
    return QStringLiteral("Tirello-copia-%1.zip").arg(when.toString(QStringLiteral("yyyy-MM-dd-HHmmss")));
}

bool isBackupEntry(const QString &name)
{
    const QStringList parts = name.split(u'/');
    if (parts.size() == 1)
        return isTopLevelFile(parts[0]);
    if (parts.size() == 3)
        return parts[0] == issued::kFolderName && issued::isYearName(parts[1]) && attachments::isBareName(parts[2])
            && (parts[2] == issued::kRegisterName || parts[2].endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive));
    return parts.size() == 2 && parts[0] == attachments::kFolderName && attachments::isBareName(parts[1]);
}

bool isBackupFolder(const QString &name)
{
    const QStringList parts = name.split(u'/');
    if (parts.size() == 1)
        return name == attachments::kFolderName || name == issued::kFolderName;
    return parts.size() == 2 && parts[0] == issued::kFolderName && issued::isYearName(parts[1]);
}

BackupResult backup(const QString &folder, const QString &destination)
{
    BackupResult result;
    if (!QFileInfo(folder).isDir()) {
        result.error = QFileInfo::exists(folder) ? QStringLiteral("%1 non \u00e8 una cartella").arg(native(folder))
                                                 : QStringLiteral("la cartella %1 non esiste").arg(native(folder));
        return result;
    }
    const QList<Source> sources = sourcesOf(folder, result.notes, result.error);
    if (!result.error.isEmpty())
        return result;
    if (sources.isEmpty()) {
        result.error = QStringLiteral("la cartella %1 non contiene dati del programma da copiare").arg(native(folder));
        return result;
    }
    if (!QDir().mkpath(destination)) {
        result.error = QStringLiteral("impossibile creare la cartella di destinazione %1").arg(native(destination));
        return result;
    }

    const QString base = backupName(Clock::now());
    QString path = QDir(destination).filePath(base);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(destination).filePath(QString(base).insert(base.size() - 4, QStringLiteral("-%1").arg(n)));

    const QStringList folders = foldersOf(folder);
    QString contentError;
    QString saveError;
    int files = 0;
    qint64 bytes = 0;
    Output output{nullptr};
    const bool saved = safesave::save(
        path,
        [&](QIODevice &device) {
            output.device = &device;
            Writer a(archive_write_new());
            if (archive_write_set_format_zip(a.get()) != ARCHIVE_OK
                || archive_write_zip_set_compression_deflate(a.get()) != ARCHIVE_OK
                || archive_write_set_options(a.get(), "hdrcharset=UTF-8") != ARCHIVE_OK
                || archive_write_set_bytes_in_last_block(a.get(), 1) != ARCHIVE_OK
                || archive_write_open2(a.get(), &output, nullptr, writeToDevice, nullptr, nullptr) != ARCHIVE_OK) {
                contentError = QStringLiteral("impossibile preparare la copia (%1)").arg(why(a.get()));
                return false;
            }
            // Each folder goes in before the first file in it; an empty one at the end.
            QSet<QString> written;
            const auto addFolders = [&](const QString &under) {
                for (const QString &f : folders) {
                    if (written.contains(f) || !(under.isNull() || under.startsWith(f + u'/')))
                        continue;
                    contentError = addFolder(a.get(), f, QFileInfo(QDir(folder).filePath(f)));
                    if (!contentError.isEmpty())
                        return false;
                    written.insert(f);
                }
                return true;
            };
            for (const Source &source : sources) {
                if (!addFolders(source.entry))
                    return false;
                contentError = addSource(a.get(), source, &bytes);
                if (!contentError.isEmpty())
                    return false;
                ++files;
            }
            if (!addFolders(QString()))
                return false;
            if (archive_write_close(a.get()) != ARCHIVE_OK) {
                contentError = QStringLiteral("impossibile completare la copia (%1)").arg(why(a.get()));
                return false;
            }
            return true;
        },
        &saveError, safesave::Links::Follow, nullptr, safesave::Access::OwnerOnly);
    if (!saved) {
        // A device failure (a full disk) shows as a libarchive error too: the save's
        // reason names it better.
        if (!contentError.isEmpty() && !output.failed) {
            result.error = contentError;
        } else {
            const QString problem = destinationProblem(destination, output.failed);
            result.error = problem.isEmpty()
                               ? QStringLiteral("impossibile scrivere la copia %1 (%2)").arg(native(path), saveError)
                               : QStringLiteral("impossibile scrivere la copia %1: %2 (%3)")
                                     .arg(native(path), problem, saveError);
        }
        return result;
    }

    // Read back whole: every entry's bytes and checksum, before it is called a backup.
    int readFiles = 0;
    qint64 readBytes = 0;
    const QString readError = readBackup(path, [&](const QString &name, archive *a, archive_entry *) {
        ++readFiles;
        return readData(a, name, {}, &readBytes);
    });
    if (!readError.isEmpty() || readFiles != files || readBytes != bytes) {
        QFile::remove(path);
        result.error = QStringLiteral("la copia scritta in %1 non si rilegge uguale: eliminata (%2)")
                           .arg(native(path), readError.isEmpty() ? QStringLiteral("contenuto diverso") : readError);
        return result;
    }
    result.ok = true;
    result.path = path;
    result.files = files;
    result.bytes = bytes;
    return result;
}

namespace {

// The hidden folder a restore fills first: the prefix and eight hexadecimal digits.
const QString kStagingPrefix = QStringLiteral(".ripristino-");

const QRegularExpression &stagingName()
{
    static const QRegularExpression name(u'^' + QRegularExpression::escape(kStagingPrefix) +
                                         QStringLiteral("[0-9a-f]{8}$"));
    return name;
}

// A restore stopped before its end (the computer switched off, the window closed) leaves
// its hidden folder behind, and nothing else when it had not started moving files into
// place. Such a folder holds only what the backup holds: it goes, so that the target
// counts as empty again. Anything else in the target stays, and makes it not empty.
void removeLeftStaging(const QString &target)
{
    const QFileInfoList entries =
        QDir(target).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo &e : entries)
        if (!e.isDir() || e.isSymLink() || !stagingName().match(e.fileName()).hasMatch())
            return;
    for (const QFileInfo &e : entries)
        QDir(e.filePath()).removeRecursively();
}

} // namespace

RestoreResult restore(const QString &backupFile, const QString &target, bool force)
{
    RestoreResult result;
    const auto fail = [&result](const QString &why) {
        result.code = kFailure;
        result.error = why;
        return result;
    };
    if (!QFileInfo(backupFile).isFile())
        return fail(QStringLiteral("la copia %1 non esiste o non \u00e8 un file").arg(native(backupFile)));
    const QFileInfo targetInfo(target);
    bool created = false;
    if (targetInfo.exists() || targetInfo.isSymLink()) {
        if (!targetInfo.isDir())
            return fail(QStringLiteral("%1 non \u00e8 una cartella").arg(native(target)));
        removeLeftStaging(target);
        if (!QDir(target).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
            return fail(QStringLiteral("la cartella %1 non \u00e8 vuota: il ripristino si fa soltanto in una "
                                       "cartella vuota, per non mescolare o sovrascrivere dati")
                            .arg(native(target)));
    } else {
        if (!QDir().mkpath(target))
            return fail(QStringLiteral("impossibile creare la cartella %1").arg(native(target)));
        created = true;
    }

    // Everything is taken out into a hidden folder inside the target first and moved into
    // place only when the whole backup has been read and checked.
    const QDir into(target);
    QString staging;
    for (int attempt = 0; attempt < 100 && staging.isEmpty(); ++attempt) {
        const QString name =
            kStagingPrefix + QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (into.mkdir(name))
            staging = into.filePath(name);
    }
    QStringList moved;
    const auto cleanUp = [&] {
        for (const QString &name : moved)
            QFileInfo(into.filePath(name)).isDir() ? QDir(into.filePath(name)).removeRecursively()
                                                   : QFile::remove(into.filePath(name));
        if (!staging.isEmpty())
            QDir(staging).removeRecursively();
        if (created)
            QDir().rmdir(target);
    };
    if (staging.isEmpty()) {
        cleanUp();
        return fail(QStringLiteral("impossibile scrivere nella cartella %1").arg(native(target)));
    }

    int files = 0;
    const QString readError = readBackup(backupFile, [&](const QString &name, archive *a, archive_entry *entry) {
        const QString path = QDir(staging).filePath(name);
        if (name.contains(u'/') && !QDir().mkpath(QFileInfo(path).absolutePath()))
            return QStringLiteral("impossibile creare la cartella %1").arg(native(QFileInfo(path).absolutePath()));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return QStringLiteral("impossibile scrivere %1 (%2)").arg(native(path), out.errorString());
        qint64 total = 0;
        bool refused = false;
        const QString error = readData(
            a, name, [&out](const char *data, qint64 n) { return out.write(data, n) == n; }, &total, &refused);
        if (refused || (error.isEmpty() && !syncFile(out))) {
            // Said in the user's words where it can be (a full disk), as for a backup.
            const QString problem = destinationProblem(target, true);
            return problem.isEmpty()
                       ? QStringLiteral("impossibile scrivere %1 (%2)").arg(native(path), out.errorString())
                       : QStringLiteral("impossibile scrivere %1: %2").arg(native(path), problem);
        }
        if (!error.isEmpty())
            return error;
        if (archive_entry_mtime_is_set(entry))
            out.setFileTime(QDateTime::fromSecsSinceEpoch(archive_entry_mtime(entry)),
                            QFileDevice::FileModificationTime);
        out.close();
        ++files;
        return QString();
    });
    if (!readError.isEmpty()) {
        cleanUp();
        return fail(readError + QStringLiteral(": ripristino non eseguito"));
    }
    if (files == 0) {
        cleanUp();
        return fail(QStringLiteral("la copia %1 non contiene nessun file").arg(native(backupFile)));
    }

    result.check = check(staging);
    result.check.folder = backupFile;
    result.files = files;
    if (!result.check.clean() && !force) {
        cleanUp();
        result.code = exitCode(result.check);
        result.error = QStringLiteral("gli archivi della copia hanno dei problemi: ripristino non eseguito");
        return result;
    }

    const QStringList names =
        QDir(staging).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!QDir().rename(QDir(staging).filePath(name), into.filePath(name))) {
            cleanUp();
            return fail(QStringLiteral("impossibile spostare %1 nella cartella %2").arg(name, native(target)));
        }
        moved << name;
    }
    QDir(staging).removeRecursively();
    result.code = result.check.clean() ? kOk : kProblems;
    return result;
}

} // namespace archivetool
