#include "check.h"

#include "storage/attachments.h"
#include "storage/issued.h"
#include "storage/programfiles.h"
#include "storage/recordfile.h"
#include "storage/records.h"
#include "storage/sharelock.h"
#include "storage/textcodec.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>
#include <QTime>

#include <cstring>

namespace archivetool {
namespace {

const QSet<QString> &dateFields()
{
    static const QSet<QString> names{QStringLiteral("txtData"), QStringLiteral("txtDataPrel"),
                                     QStringLiteral("txtDataRic"), QStringLiteral("txtDataInizio"),
                                     QStringLiteral("txtDataFine")};
    return names;
}

const QString kTimeField = QStringLiteral("txtOraRic");
const QString kNumberField = QStringLiteral("txtNumRap");

bool isFlagField(const QString &name)
{
    return name.startsWith(QLatin1String("chk"));
}

bool isNameField(const QString &name)
{
    return name.startsWith(QLatin1String("lblFile"));
}

// The first control character (a line break, a tab) inside a text, as words; empty if none.
QString controlInside(const QString &value)
{
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\r':
        case u'\n':
            return QStringLiteral("un a capo");
        case u'\t':
            return QStringLiteral("una tabulazione");
        default:
            if (c.unicode() < 32 || c.unicode() == 127)
                return QStringLiteral("il carattere di controllo %1").arg(c.unicode());
        }
    }
    return {};
}

// A stored text as it can be shown on one line: control characters become "?", long
// texts are cut.
QString shown(const QString &value)
{
    QString out;
    for (const QChar c : value)
        out += c.unicode() < 32 || c.unicode() == 127 ? QChar(u'?') : c;
    if (out.size() > 40)
        out = out.left(40) + QStringLiteral("...");
    return u'"' + out + u'"';
}

// "dd/mm/yyyy" and a day that exists.
QString dateProblem(const QString &value)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{2})/(\\d{2})/(\\d{4})$"));
    const QRegularExpressionMatch m = form.match(value);
    if (!m.hasMatch())
        return QStringLiteral("data %1 non nel formato gg/mm/aaaa").arg(shown(value));
    if (!QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt()).isValid())
        return QStringLiteral("data %1 impossibile").arg(shown(value));
    return {};
}

// "hh:mm" and a time that exists.
QString timeProblem(const QString &value)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{2}):(\\d{2})$"));
    const QRegularExpressionMatch m = form.match(value);
    if (!m.hasMatch())
        return QStringLiteral("ora %1 non nel formato hh:mm").arg(shown(value));
    if (!QTime(m.captured(1).toInt(), m.captured(2).toInt()).isValid())
        return QStringLiteral("ora %1 impossibile").arg(shown(value));
    return {};
}

class ArchiveCheck {
public:
    ArchiveCheck(const QString &folder, const QString &name, const programfiles::Archive &archive,
                 CheckReport &report)
        : m_folder(folder), m_name(name), m_archive(archive), m_layout(*archive.layout), m_report(report)
    {
    }

    void run()
    {
        ArchiveSummary summary{m_name};
        const qint64 before = m_report.findings.size();
        const QString path = QDir(m_folder).filePath(m_name);
        if (!QFileInfo(path).isFile()) {
            unreadable(summary, QStringLiteral("non \u00e8 un file"));
            return;
        }
        try {
            RecordFile file(path, m_layout.size());
            file.openForReading();
            // Held while reading: a record that a copy of the program is writing right now
            // is read before or after it, never half way.
            file.lock(RecordFile::Lock::Read, true);
            const qint64 size = QFileInfo(path).size();
            const qint64 whole = size / m_layout.size();
            const int perBlock = qMax(1, (1 << 20) / m_layout.size());
            QByteArray block;
            qint64 index = 0;
            while (const int got = file.readMany(block, perBlock)) {
                for (int i = 0; i < got; ++i, ++index)
                    checkRecord(index, block.constData() + qsizetype(i) * m_layout.size());
            }
            summary.records = index;
            if (index != whole) // the file shrank under us: no lock on this file system
                add(int(index + 1), index * m_layout.size(), {},
                    QStringLiteral("l'archivio \u00e8 cambiato durante la lettura"));
            if (const qint64 tail = size - whole * m_layout.size())
                add(int(whole + 1), whole * m_layout.size(), {},
                    QStringLiteral("coda incompleta di %1 byte dopo l'ultima scheda intera (una scheda misura %2 "
                                   "byte); il programma la ignora e la sovrascrive con la prossima scheda nuova")
                        .arg(tail)
                        .arg(m_layout.size()));
        } catch (const ArchiveError &e) {
            unreadable(summary, QString::fromStdString(e.what()));
            return;
        }
        summary.findings = m_report.findings.size() - before + m_unlisted;
        summary.unlisted = m_unlisted;
        m_report.archives.append(summary);
    }

private:
    void unreadable(ArchiveSummary &summary, const QString &why)
    {
        summary.readable = false;
        m_report.archives.append(summary);
        m_report.errors.append(QStringLiteral("%1: impossibile leggere l'archivio (%2)").arg(m_name, why));
    }

    void add(qint64 position, qint64 offset, const QString &field, const QString &message)
    {
        if (m_listed == kListed) {
            ++m_unlisted;
            return;
        }
        ++m_listed;
        m_report.findings.append(Finding{m_name, int(qMin<qint64>(position, std::numeric_limits<int>::max())),
                                         offset, field, message});
    }

    void checkRecord(qint64 index, const char *bytes)
    {
        const qint64 start = index * m_layout.size();
        const qint64 position = index + 1;
        const records::Record record(m_layout, QByteArray(bytes, m_layout.size()));
        const QList<records::Field> &fields = m_layout.fields();
        const bool zeroText = m_layout.encoding() == records::Encoding::ZeroText;
        for (int i = 0; i < fields.size(); ++i) {
            const records::Field &f = fields[i];
            const qint64 at = start + f.offset;
            const char *p = bytes + f.offset;
            if (!zeroText && static_cast<unsigned char>(p[0]) > f.capacity)
                add(position, at, f.name,
                    QStringLiteral("byte di lunghezza %1 oltre la capienza del campo (%2 caratteri)")
                        .arg(static_cast<unsigned char>(p[0]))
                        .arg(f.capacity));
            if (zeroText && !std::memchr(p, 0, size_t(f.capacity) + 1))
                add(position, at, f.name,
                    QStringLiteral("manca lo zero finale: il testo supera la capienza del campo (%1 caratteri)")
                        .arg(f.capacity));

            // Certificates keep their texts untrimmed; the program trims them on reading.
            const QString value = text::trim(record.text(i));
            if (!isFlagField(f.name) && !records::isCertificateMemo(f.name))
                if (const QString control = controlInside(value); !control.isEmpty())
                    add(position, at, f.name,
                        QStringLiteral("%1 dentro un campo di una riga: %2").arg(control, shown(value)));
            if (isFlagField(f.name) && value != records::kYes && value != records::kNo) {
                add(position, at, f.name,
                    value.isEmpty() ? QStringLiteral("indicatore vuoto invece di \"S\u00ec\" o \"No\"")
                                    : QStringLiteral("indicatore %1 invece di \"S\u00ec\" o \"No\"").arg(shown(value)));
            } else if (value.isEmpty()) {
                continue;
            } else if (dateFields().contains(f.name)) {
                if (const QString problem = dateProblem(value); !problem.isEmpty())
                    add(position, at, f.name, problem);
            } else if (f.name == kTimeField) {
                if (const QString problem = timeProblem(value); !problem.isEmpty())
                    add(position, at, f.name, problem);
            } else if (f.name == kNumberField && programfiles::isYearly(m_archive.kind)) {
                const auto first = m_numbers.constFind(value);
                if (first != m_numbers.constEnd())
                    add(position, at, f.name,
                        QStringLiteral("numero %1 gi\u00e0 usato dalla scheda %2").arg(shown(value)).arg(*first));
                else
                    m_numbers.insert(value, position);
            } else if (isNameField(f.name)) {
                // An older archive may hold a whole path: its last part is looked for.
                const QString name = attachments::folderName(value);
                if (name.isEmpty())
                    add(position, at, f.name,
                        QStringLiteral("nome di allegato non sicuro %1: non \u00e8 un semplice nome di file "
                                       "della cartella %2")
                            .arg(shown(value), attachments::kFolderName));
                else if (!QFileInfo(QDir(m_folder).filePath(attachments::kFolderName + u'/' + name)).isFile())
                    add(position, at, f.name,
                        QStringLiteral("allegato %1 assente dalla cartella %2")
                            .arg(shown(name), attachments::kFolderName));
            }
        }
    }

    QString m_folder;
    QString m_name;
    programfiles::Archive m_archive;
    const records::Layout &m_layout;
    CheckReport &m_report;
    QHash<QString, qint64> m_numbers; // document number -> first position
    int m_listed = 0;
    qint64 m_unlisted = 0;
};

// Lock and turn files of the folder that a station left behind when it stopped; prefix: the
// folder's place in the program folder, for the report.
void abandonedLocks(const QDir &dir, const QString &prefix, CheckReport &report)
{
    const QStringList names = dir.entryList({QStringLiteral("*.lock"), QStringLiteral("*.lock.turn")},
                                            QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        const qint64 age = sharelock::ageOnShare(path);
        if (!sharelock::abandoned(age))
            continue; // a station writing right now
        const sharelock::Holder h = sharelock::holderOf(path);
        report.abandonedLocks.append(
            QStringLiteral("%1, lasciato dalla postazione %2 (processo %3, %4), fermo da %5 secondi: il programma "
                           "lo toglie da s\u00e9 alla prossima scrittura")
                .arg(prefix + name, h.host.isEmpty() ? QStringLiteral("sconosciuta") : h.host)
                .arg(h.pid)
                .arg(h.time.isEmpty() ? QStringLiteral("ora sconosciuta") : h.time)
                .arg(age));
    }
}

bool isPdfName(const QString &name)
{
    return name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
}

// The PDF files of a folder (not the hidden ones a save leaves half way), by name.
QStringList pdfsIn(const QDir &dir)
{
    QStringList out;
    for (const QString &name : dir.entryList(QDir::Files | QDir::System | QDir::NoSymLinks, QDir::Name))
        if (isPdfName(name))
            out.append(name);
    // Links are listed apart: they are never the issued file.
    for (const QString &name : dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        if (isPdfName(name) && QFileInfo(dir.filePath(name)).isSymLink() && !out.contains(name))
            out.append(name);
    return out;
}

// The SHA-256 of a file's bytes, or why it cannot be read.
QByteArray hashOf(const QString &path, QString *why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return {};
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file) || file.error() != QFileDevice::NoError) {
        *why = file.errorString();
        return {};
    }
    return hash.result().toHex();
}

class IssuedCheck {
public:
    IssuedCheck(const QString &name, CheckReport &report) : m_summary{name}, m_report(report) { m_summary.issued = true; }

    // One year's folder: its register read and its files listed under the register's lock,
    // so that a document being issued meanwhile is seen whole (file and line) or not at all.
    void runYear(const QDir &dir)
    {
        const QString registerPath = dir.filePath(issued::kRegisterName);
        QByteArray registerBytes;
        QStringList pdfs;
        try {
            sharelock::ShareLock lock(registerPath);
            lock.acquire();
            QFile reg(registerPath);
            if (reg.exists() || QFileInfo(registerPath).isSymLink()) {
                if (!QFileInfo(registerPath).isFile() || !reg.open(QIODevice::ReadOnly)) {
                    unreadable(QStringLiteral("impossibile leggere il registro %1 (%2)")
                                   .arg(issued::kRegisterName,
                                        reg.errorString().isEmpty() ? QStringLiteral("non \u00e8 un file") : reg.errorString()));
                    return;
                }
                registerBytes = reg.readAll();
            }
            pdfs = pdfsIn(dir);
        } catch (const sharelock::Error &e) {
            unreadable(QStringLiteral("impossibile leggere il registro %1 (%2)")
                           .arg(issued::kRegisterName, QString::fromStdString(e.what())));
            return;
        }

        QHash<QString, int> listedAt; // file name -> its first line
        const QList<QByteArray> lines = issued::lines(registerBytes);
        for (int i = 0; i < lines.size(); ++i) {
            const int lineNo = i + 1;
            if (lines[i].trimmed().isEmpty())
                continue;
            ++m_summary.records;
            const std::optional<issued::Entry> e = issued::parseLine(lines[i]);
            if (!e) {
                add(lineNo, QStringLiteral("riga non leggibile: non ha i sette campi del registro con l'impronta "
                                           "SHA-256 del file"));
                continue;
            }
            if (!attachments::isBareName(e->fileName)) {
                add(lineNo, QStringLiteral("nome di file non sicuro %1: non \u00e8 un semplice nome di file della "
                                           "cartella").arg(shown(e->fileName)));
                continue;
            }
            if (const auto first = listedAt.constFind(e->fileName); first != listedAt.constEnd()) {
                add(lineNo, QStringLiteral("documento %1 gi\u00e0 elencato alla riga %2").arg(shown(e->fileName)).arg(*first));
                continue;
            }
            listedAt.insert(e->fileName, lineNo);
            const QString path = dir.filePath(e->fileName);
            const QFileInfo info(path);
            if (info.isSymLink()) {
                add(lineNo, QStringLiteral("documento %1: \u00e8 un collegamento ad altro file, non il documento "
                                           "emesso").arg(shown(e->fileName)));
                continue;
            }
            if (!info.exists()) {
                add(lineNo, QStringLiteral("documento %1 assente dalla cartella").arg(shown(e->fileName)));
                continue;
            }
            QString why;
            const QByteArray hash = info.isFile() ? hashOf(path, &why) : QByteArray();
            if (hash.isEmpty())
                add(lineNo, QStringLiteral("documento %1 illeggibile (%2)")
                                .arg(shown(e->fileName), why.isEmpty() ? QStringLiteral("non \u00e8 un file") : why));
            else if (hash != e->sha256)
                add(lineNo, QStringLiteral("documento %1 modificato dopo l'emissione: la sua impronta SHA-256 non "
                                           "\u00e8 quella del registro").arg(shown(e->fileName)));
        }
        for (const QString &name : pdfs)
            if (!listedAt.contains(name))
                add(0, QStringLiteral("documento %1 non elencato nel registro").arg(shown(name)));
        finish();
    }

    // PDF files where no register lists anything: straight in Documenti_Emessi, or in a
    // folder that is no year's.
    void runStray(const QStringList &names)
    {
        for (const QString &name : names)
            add(0, QStringLiteral("documento %1 fuori dalle cartelle degli anni: nessun registro lo elenca")
                       .arg(shown(name)));
        finish();
    }

private:
    void add(int line, const QString &message)
    {
        m_report.findings.append(Finding{m_summary.archive, line, 0, {}, message});
        ++m_summary.findings;
    }
    void unreadable(const QString &why)
    {
        m_summary.readable = false;
        m_report.archives.append(m_summary);
        m_report.errors.append(QStringLiteral("%1: %2").arg(m_summary.archive, why));
    }
    void finish() { m_report.archives.append(m_summary); }

    ArchiveSummary m_summary;
    CheckReport &m_report;
};

void checkIssued(const QString &folder, CheckReport &report)
{
    const QDir root(QDir(folder).filePath(issued::kFolderName));
    const QFileInfo rootInfo(root.path());
    if (!rootInfo.isDir() || rootInfo.isSymLink())
        return;
    QStringList stray = pdfsIn(root);
    const QStringList folders = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QString &name : folders) {
        if (!issued::isYearName(name)) {
            for (const QString &pdf : pdfsIn(QDir(root.filePath(name))))
                stray.append(name + u'/' + pdf);
            continue;
        }
        IssuedCheck(issued::kFolderName + u'/' + name, report).runYear(QDir(root.filePath(name)));
    }
    if (!stray.isEmpty())
        IssuedCheck(issued::kFolderName, report).runStray(stray);
}

} // namespace

CheckReport check(const QString &folder)
{
    CheckReport report;
    report.folder = folder;
    const QDir dir(folder);
    if (!QFileInfo(folder).isDir()) {
        report.errors.append(QFileInfo::exists(folder) ? QStringLiteral("%1 non \u00e8 una cartella").arg(folder)
                                                       : QStringLiteral("la cartella %1 non esiste").arg(folder));
        return report;
    }
    if (!QFileInfo(folder).isReadable()) {
        report.errors.append(QStringLiteral("la cartella %1 non si pu\u00f2 leggere").arg(folder));
        return report;
    }
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    // Looked at first: reading an archive takes over a lock file left on it.
    abandonedLocks(dir, QString(), report);
    const QDir issuedRoot(dir.filePath(issued::kFolderName));
    const QStringList years = QFileInfo(issuedRoot.path()).isDir() && !QFileInfo(issuedRoot.path()).isSymLink()
        ? issuedRoot.entryList({QStringLiteral("????")}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name)
        : QStringList();
    for (const QString &year : years)
        if (issued::isYearName(year))
            abandonedLocks(QDir(issuedRoot.filePath(year)), issued::kFolderName + u'/' + year + u'/', report);
    for (const QString &name : names) {
        if (const auto archive = programfiles::archiveOf(name))
            ArchiveCheck(folder, name, *archive, report).run();
    }
    checkIssued(folder, report);
    return report;
}

QString format(const CheckReport &report)
{
    QString out;
    QTextStream s(&out);
    const auto problems = [](qint64 n) {
        return n == 1 ? QStringLiteral("1 problema") : QStringLiteral("%1 problemi").arg(n);
    };
    const auto recordsText = [](qint64 n) {
        return n == 1 ? QStringLiteral("1 scheda") : QStringLiteral("%1 schede").arg(n);
    };
    s << "Verifica degli archivi in " << QDir::toNativeSeparators(report.folder) << "\n";
    int damaged = 0, archives = 0;       // archives
    int damagedFolders = 0, folders = 0; // folders of issued documents
    const auto documentsText = [](qint64 n) {
        return n == 1 ? QStringLiteral("1 documento emesso") : QStringLiteral("%1 documenti emessi").arg(n);
    };
    for (const ArchiveSummary &a : report.archives) {
        if (!a.readable) {
            s << "  " << a.archive << ": illeggibile\n";
            continue;
        }
        s << "  " << a.archive << ": " << (a.issued ? documentsText(a.records) : recordsText(a.records)) << ", "
          << (a.findings ? problems(a.findings) : QStringLiteral("nessun problema")) << "\n";
        if (a.findings)
            ++(a.issued ? damagedFolders : damaged);
        ++(a.issued ? folders : archives);
        for (const Finding &f : report.findings) {
            if (f.archive != a.archive)
                continue;
            if (a.issued) {
                s << "    ";
                if (f.record > 0)
                    s << "riga " << f.record << " del registro: ";
                s << f.message << "\n";
                continue;
            }
            s << "    scheda " << f.record << " (byte " << f.offset << ")";
            if (!f.field.isEmpty())
                s << ", campo " << f.field;
            s << ": " << f.message << "\n";
        }
        if (a.unlisted)
            s << "    ... e altri " << problems(a.unlisted) << " non elencati\n";
    }
    for (const QString &e : report.errors)
        s << "  Errore: " << e << "\n";
    for (const QString &lock : report.abandonedLocks)
        s << "  Blocco abbandonato: " << lock << "\n";
    if (report.archives.isEmpty() && report.errors.isEmpty())
        s << "  Nessun archivio nella cartella.\n";
    s << "Esito: ";
    if (report.clean())
        s << "nessun problema.\n";
    else {
        QStringList parts;
        if (!report.findings.isEmpty()) {
            QStringList where;
            if (damaged)
                where << QStringLiteral("archivi con problemi: %1 su %2").arg(damaged).arg(archives);
            if (damagedFolders)
                where << QStringLiteral("cartelle di documenti emessi con problemi: %1 su %2")
                             .arg(damagedFolders)
                             .arg(folders);
            parts << QStringLiteral("%1 (%2)").arg(problems(report.total()), where.join(QStringLiteral("; ")));
        }
        if (!report.errors.isEmpty())
            parts << (report.errors.size() == 1 ? QStringLiteral("1 errore di lettura")
                                                : QStringLiteral("%1 errori di lettura").arg(report.errors.size()));
        s << parts.join(QStringLiteral(", ")) << ".\n";
    }
    return out;
}

QString whileLocked(const QString &path, int recordSize, const std::function<QString()> &work)
{
    try {
        RecordFile file(path, recordSize);
        file.openForReading();
        file.lock(RecordFile::Lock::Read, true);
        return work();
    } catch (const ArchiveError &e) {
        return QStringLiteral("impossibile leggere %1 (%2)")
            .arg(QDir::toNativeSeparators(path), QString::fromStdString(e.what()));
    }
}

qint64 CheckReport::total() const
{
    qint64 n = 0;
    for (const ArchiveSummary &a : archives)
        n += a.findings;
    return n;
}

int exitCode(const CheckReport &report)
{
    if (!report.errors.isEmpty())
        return kFailure;
    return report.findings.isEmpty() ? kOk : kProblems;
}

} // namespace archivetool
