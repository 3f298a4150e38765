// Restoring a backup that was not written by the tool: entries that would land outside
// the target folder, links, unknown files, repeated names. Each backup is refused whole.

#include "archivetool/backup.h"
#include "storage/records.h"
#include "support/files.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <archive.h>
#include <archive_entry.h>

namespace {

// A zip written by hand with the given entries (name, contents); a contents of "->x"
// makes a symbolic link to x.
QString makeZip(const QString &path, const QList<QPair<QByteArray, QByteArray>> &entries)
{
    archive *a = archive_write_new();
    archive_write_set_format_zip(a);
    if (archive_write_open_filename(a, QFile::encodeName(path).constData()) != ARCHIVE_OK)
        return QString::fromLocal8Bit(archive_error_string(a));
    for (const auto &[name, data] : entries) {
        archive_entry *e = archive_entry_new();
        archive_entry_set_pathname(e, name.constData());
        if (data.startsWith("->")) {
            archive_entry_set_filetype(e, AE_IFLNK);
            archive_entry_set_symlink(e, data.mid(2).constData());
            archive_entry_set_size(e, 0);
        } else {
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_size(e, data.size());
        }
        archive_entry_set_perm(e, 0644);
        archive_write_header(a, e);
        if (!data.startsWith("->"))
            archive_write_data(a, data.constData(), size_t(data.size()));
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
    return {};
}

using Entries = QList<QPair<QByteArray, QByteArray>>;

} // namespace

class TestRestoreSafety : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new QTemporaryDir); }

    // Backups that are damaged or hold entries that are not plain files of the program
    // folder are refused whole: nothing is restored and nothing is written elsewhere.
    void unsafeOrDamagedBackupsAreRefused_data()
    {
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<QString>("why");
        const QByteArray ok = records::Record(records::report()).bytes();
        QTest::newRow("parent folder") << Entries{{"2024.rdp", ok}, {"../fuori.txt", "x"}} << QStringLiteral("non sicura");
        // <absolute>: a path in the test's own folder.
        QTest::newRow("absolute path") << Entries{{"<absolute>", "x"}} << QStringLiteral("non sicura");
        QTest::newRow("dot dot in attachments") << Entries{{"Documenti_Allegati/../../x", "x"}} << QStringLiteral("non sicura");
        QTest::newRow("deeper folder") << Entries{{"Documenti_Allegati/a/b.pdf", "x"}} << QStringLiteral("non sicura");
        QTest::newRow("issued document, no year's folder")
            << Entries{{"Documenti_Emessi/26/Rapporto di prova 1.pdf", "x"}} << QStringLiteral("non sicura");
        QTest::newRow("issued document, dot dot") << Entries{{"Documenti_Emessi/2026/../../x.pdf", "x"}}
                                                  << QStringLiteral("non sicura");
        QTest::newRow("issued document, not a PDF") << Entries{{"Documenti_Emessi/2026/script.sh", "x"}}
                                                    << QStringLiteral("non sicura");
        QTest::newRow("backslash") << Entries{{"..\\fuori.txt", "x"}} << QStringLiteral("non sicura");
        QTest::newRow("unknown file") << Entries{{"2024.rdp", ok}, {"script.sh", "x"}} << QStringLiteral("non prevista");
        QTest::newRow("symbolic link") << Entries{{"Clienti.pro", "->/etc/passwd"}} << QStringLiteral("non \u00e8 un file");
        QTest::newRow("twice") << Entries{{"2024.rdp", ok}, {"2024.rdp", ok}} << QStringLiteral("due volte");
        QTest::newRow("empty") << Entries{} << QStringLiteral("nessun file");
    }
    void unsafeOrDamagedBackupsAreRefused()
    {
        QFETCH(Entries, entries);
        QFETCH(QString, why);
        const QString outside = m_dir->filePath(QStringLiteral("assoluto.txt"));
        for (auto &entry : entries)
            if (entry.first == "<absolute>")
                entry.first = outside.toUtf8();
        const QString zip = m_dir->filePath(QStringLiteral("copia.zip"));
        QCOMPARE(makeZip(zip, entries), QString());
        const QString target = m_dir->filePath(QStringLiteral("vuota"));
        QVERIFY(QDir().mkdir(target));
        const auto around = support::treeOf(m_dir->path());

        QProcess p;
        p.start(QStringLiteral(TIRELLO_ARCHIVI), {QStringLiteral("ripristina"), QStringLiteral("--forza"), zip, target});
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 2);
        QVERIFY2(err.contains(why), qPrintable(err));
        QCOMPARE(support::treeOf(m_dir->path()), around);
        QVERIFY(!QFile::exists(outside));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestRestoreSafety)
#include "test_restoresafety.moc"
