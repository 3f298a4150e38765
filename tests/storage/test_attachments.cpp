// The attachment folder's rules: which stored names may be used, which chosen names a
// record can hold, and the copy into the folder (folder made on demand, replacement,
// progress, cancelling that leaves nothing behind).

#include "storage/attachments.h"
#include "storage/programfolder.h"
#include "support/files.h"
#include "support/scratchfs.h" // folderContents

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using support::readFile;
using support::writeFile;

namespace {

// Bytes that differ from one position to the next, so a block out of place shows.
QByteArray pattern(qint64 size)
{
    QByteArray b(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        b[i] = char((i * 7 + i / 4096) & 0xFF);
    return b;
}

} // namespace

class TestAttachments : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_elsewhere.reset(new QTemporaryDir);
        ProgramFolder::setOverride(m_dir->path());
    }
    void cleanup() { ProgramFolder::setOverride({}); }

    // What a record may hold, and the name looked for in the folder: a bare name as it is,
    // an older archive's whole path by its last part; nothing that climbs out of the
    // folder, names no file or names a device.
    void bareNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("bare");
        QTest::addColumn<QString>("looked"); // empty: refused
        QTest::newRow("plain") << "referto.pdf" << true << "referto.pdf";
        QTest::newRow("blanks and accents") << "Analisi acqua \u00e8 ok.xls" << true << "Analisi acqua \u00e8 ok.xls";
        QTest::newRow("dots inside the name") << "versione..2.pdf" << true << "versione..2.pdf";
        QTest::newRow("hidden file") << ".nascosto" << true << ".nascosto";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("dot") << "." << false << "";
        QTest::newRow("dot dot") << ".." << false << "";
        QTest::newRow("parent folder") << "../segreto.txt" << false << "";
        QTest::newRow("parent folder, Windows") << "..\\segreto.txt" << false << "";
        QTest::newRow("parent folder inside a path") << "C:\\Tirello\\..\\Clienti.pro" << false << "";
        QTest::newRow("sub-folder") << "sotto/referto.pdf" << false << "referto.pdf";
        QTest::newRow("absolute") << "/etc/passwd" << false << "passwd";
        QTest::newRow("older archive's whole path")
            << "C:\\Tirello\\Documenti_Allegati\\Verbale.pdf" << false << "Verbale.pdf";
        QTest::newRow("drive only") << "d:referto.pdf" << false << "";
        QTest::newRow("network share") << "\\\\server\\allegati\\referto.pdf" << false << "referto.pdf";
        QTest::newRow("folder without a file") << "C:\\Tirello\\Documenti_Allegati\\" << false << "";
        QTest::newRow("device") << "NUL" << false << "";
        QTest::newRow("device with extension, in a path") << "C:\\Tirello\\con.txt" << false << "";
        QTest::newRow("printer port") << "lpt1" << false << "";
        QTest::newRow("a name that starts like a device") << "console.pdf" << true << "console.pdf";
        QTest::newRow("zero character") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << false << "";
    }
    void bareNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, bare);
        QFETCH(QString, looked);
        QCOMPARE(attachments::isBareName(name), bare);
        QCOMPARE(attachments::folderName(name), looked);
        QCOMPARE(attachments::pathOf(name),
                 looked.isEmpty() ? QString() : ProgramFolder::path() + "Documenti_Allegati/" + looked);
        QVERIFY(!attachments::isPresent(name));
    }

    // A record keeps the name of a file only if Windows-1252 has every character and
    // the name fits in 250 bytes.
    void storableNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("storable");
        QTest::newRow("plain") << "referto.pdf" << true;
        QTest::newRow("accents and euro") << "Qualit\u00e0 \u20ac 2025.pdf" << true;
        QTest::newRow("250 characters") << QString(246, u'x') + ".pdf" << true;
        QTest::newRow("251 characters") << QString(247, u'x') + ".pdf" << false;
        QTest::newRow("Greek letter") << "\u03a9mega.pdf" << false;
        QTest::newRow("outside the basic plane") << "analisi \U0001F9EA.pdf" << false;
        QTest::newRow("leading blank") << " referto.pdf" << false;
    }
    void storableNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, storable);
        QCOMPARE(attachments::isStorable(name), storable);
    }

    // The folder and its missing parents are made; the copy has every byte; a copy of
    // the same name is replaced; progress comes after each block and ends at the size.
    void copyIntoTheFolder()
    {
        const QString program = m_dir->filePath(QStringLiteral("a/b"));
        ProgramFolder::setOverride(program);
        const QByteArray bytes = pattern(2 * 1024 * 1024 + 1234);
        const QString source = m_elsewhere->filePath(QStringLiteral("referto.pdf"));
        QVERIFY(writeFile(source, bytes));

        QList<qint64> seen;
        const auto result = attachments::copyIn(source, QStringLiteral("referto.pdf"), [&](qint64 done, qint64 total) {
            seen.append(done);
            return total == bytes.size();
        });
        QCOMPARE(result, attachments::CopyResult::Copied);
        const QString copy = program + QStringLiteral("/Documenti_Allegati/referto.pdf");
        QCOMPARE(attachments::pathOf(QStringLiteral("referto.pdf")), copy);
        QVERIFY(readFile(copy) == bytes);
        QVERIFY(attachments::isPresent(QStringLiteral("referto.pdf")));
        QCOMPARE(seen, (QList<qint64>{1024 * 1024, 2 * 1024 * 1024, bytes.size()}));

        QVERIFY(writeFile(source, "nuovo"));
        QCOMPARE(attachments::copyIn(source, QStringLiteral("referto.pdf")), attachments::CopyResult::Copied);
        QCOMPARE(readFile(copy), QByteArray("nuovo"));
        // Choosing the folder's own copy leaves it as it is.
        QCOMPARE(attachments::copyIn(copy, QStringLiteral("referto.pdf")), attachments::CopyResult::Copied);
        QCOMPARE(readFile(copy), QByteArray("nuovo"));
        QCOMPARE(QDir(program + "/Documenti_Allegati").entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("referto.pdf")});
    }

    // A link left in the folder under the attachment's name, pointing out of it (at
    // another file, or at the chosen file itself), becomes a copy of its own; what it
    // pointed to keeps every byte.
    void aLinkOfTheNameIsReplacedNotFollowed_data()
    {
        QTest::addColumn<bool>("toTheSource");
        QTest::newRow("link to another file") << false;
        QTest::newRow("link to the chosen file") << true;
    }
    void aLinkOfTheNameIsReplacedNotFollowed()
    {
        QFETCH(bool, toTheSource);
        const QString source = m_elsewhere->filePath(QStringLiteral("referto.pdf"));
        const QString other = m_elsewhere->filePath(QStringLiteral("altro.txt"));
        QVERIFY(writeFile(source, "referto"));
        QVERIFY(writeFile(other, "da non toccare"));
        QVERIFY(QDir().mkpath(attachments::folder()));
        const QString copy = attachments::pathOf(QStringLiteral("referto.pdf"));
        QVERIFY(QFile::link(toTheSource ? source : other, copy));

        QCOMPARE(attachments::copyIn(source, QStringLiteral("referto.pdf")), attachments::CopyResult::Copied);
        QVERIFY(!QFileInfo(copy).isSymLink());
        QCOMPARE(readFile(copy), QByteArray("referto"));
        QCOMPARE(readFile(other), QByteArray("da non toccare"));
        QCOMPARE(readFile(source), QByteArray("referto"));
        QCOMPARE(QDir(attachments::folder()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{QStringLiteral("referto.pdf")});
    }

    // Cancelled half way, failed, or asked for a name that is not bare: the folder is
    // as it was, the earlier copy keeps its bytes, and nothing lands anywhere else.
    void nothingLeftBehind_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("result");
        const int cancelled = int(attachments::CopyResult::Cancelled);
        const int failed = int(attachments::CopyResult::Failed);
        QTest::newRow("cancelled after the first block") << "grande.bin" << "referto.pdf" << cancelled;
        QTest::newRow("source missing") << "sparito.pdf" << "referto.pdf" << failed;
        QTest::newRow("source is a folder") << "cartella" << "referto.pdf" << failed;
        QTest::newRow("parent folder") << "grande.bin" << "../fuori.pdf" << failed;
        QTest::newRow("absolute") << "grande.bin" << "<absolute>" << failed; // a path in the test's own folder
    }
    void nothingLeftBehind()
    {
        QFETCH(QString, source);
        QFETCH(QString, name);
        QFETCH(int, result);
        const QString outside = m_elsewhere->filePath(QStringLiteral("fuori.pdf"));
        if (name == u"<absolute>")
            name = outside;
        QVERIFY(writeFile(m_elsewhere->filePath(QStringLiteral("grande.bin")), pattern(3 * 1024 * 1024)));
        QVERIFY(QDir(m_elsewhere->path()).mkdir(QStringLiteral("cartella")));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Documenti_Allegati")));
        QVERIFY(writeFile(attachments::pathOf(QStringLiteral("referto.pdf")), "vecchio"));
        const auto program = folderContents(m_dir->path());
        const auto folder = folderContents(attachments::folder());

        int calls = 0;
        QString error;
        const auto got = attachments::copyIn(m_elsewhere->filePath(source), name,
                                             [&](qint64, qint64) { return ++calls < 1; }, &error);
        QCOMPARE(int(got), result);
        QVERIFY(calls <= 1);
        QVERIFY(result == int(attachments::CopyResult::Cancelled) || !error.isEmpty());
        QCOMPARE(folderContents(attachments::folder()), folder);
        QCOMPARE(folderContents(m_dir->path()), program);
        QVERIFY(!QFile::exists(outside));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_elsewhere;
};

QTEST_GUILESS_MAIN(TestAttachments)
#include "test_attachments.moc"
