// Documents issued as PDF files, without windows: the file name from the number, the
// register line, revisions that never touch what was issued before, two issues of one
// number at once, and a failed issue that leaves the folder as it was.

#include "storage/issued.h"
#include "storage/safesave.h"
#include "storage/textcodec.h"
#include "support/files.h"
#include "support/scratchfs.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

using settings::DocumentKind;

namespace {

const QDateTime kWhen(QDate(2026, 3, 14), QTime(9, 30, 5));

issued::Document report(const QString &number, const QByteArray &pdf)
{
    return {DocumentKind::Reports, 2026, number, QStringLiteral("Caseificio Sant'Agnese di Nicol\u00f2 & C."), pdf};
}

QString yearFolder(const QString &programFolder)
{
    return issued::yearFolder(programFolder, 2026);
}

QList<issued::Entry> registerOf(const QString &programFolder)
{
    QList<issued::Entry> out;
    for (const QByteArray &line : issued::lines(support::readFile(yearFolder(programFolder) + issued::kRegisterName)))
        out.append(issued::parseLine(line).value_or(issued::Entry{}));
    return out;
}

} // namespace

class TestIssued : public QObject {
    Q_OBJECT
private slots:
    void fileNames_data()
    {
        QTest::addColumn<bool>("certificate");
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("name");
        QTest::newRow("number with the year") << false << "104/2026" << 0 << "Rapporto di prova 104-2026.pdf";
        QTest::newRow("revision") << false << "104/2026" << 1 << "Rapporto di prova 104-2026 rev. 1.pdf";
        QTest::newRow("certificate, revision 12") << true << " 7/2026 " << 12
                                                  << "Certificato di analisi 7-2026 rev. 12.pdf";
        QTest::newRow("what Windows refuses") << false << "1\\2:3*4?5\"6<7>8|9" << 0
                                              << "Rapporto di prova 1-2-3-4-5-6-7-8-9.pdf";
        QTest::newRow("control characters") << false << "12\ta\x01" "b" << 0 << "Rapporto di prova 12-a-b.pdf";
        QTest::newRow("accents stay, letters outside the code page do not")
            << false << QStringLiteral("5\u00e8-\u0141") << 0 << QStringLiteral("Rapporto di prova 5\u00e8--.pdf");
        QTest::newRow("nothing can climb out") << false << "../../etc" << 0 << "Rapporto di prova ..-..-etc.pdf";
    }
    void fileNames()
    {
        QFETCH(bool, certificate);
        QFETCH(QString, number);
        QFETCH(int, revision);
        QFETCH(QString, name);
        const DocumentKind kind = certificate ? DocumentKind::Certificates : DocumentKind::Reports;
        QCOMPARE(issued::fileName(kind, number, revision), name);
        QVERIFY(!name.contains(u'/'));
    }

    void titles()
    {
        QCOMPARE(issued::title(DocumentKind::Reports, QStringLiteral(" 104/2026 ")),
                 QStringLiteral("Rapporto di prova n. 104/2026"));
        QCOMPARE(issued::title(DocumentKind::Certificates, QStringLiteral("7")),
                 QStringLiteral("Certificato di analisi n. 7"));
    }

    // Windows-1252, tabs between the seven fields, CR LF; a tab or line break typed into a
    // value cannot split the line. Read back as written; anything else is no line.
    void registerLines()
    {
        const QByteArray hash = issued::sha256Hex("%PDF-1.4 prova");
        const issued::Entry entry{QStringLiteral("14/03/2026"), QStringLiteral("09:30:05"),
                                  QStringLiteral("Rapporto di prova"), QStringLiteral("104/2026"),
                                  QStringLiteral("Nicol\u00f2\tSpa\r\nDue"), QStringLiteral("Rapporto di prova 104-2026.pdf"),
                                  hash};
        const QByteArray line = issued::registerLine(entry);
        QCOMPARE(line, QByteArray("14/03/2026\t09:30:05\tRapporto di prova\t104/2026\tNicol\xf2 Spa  Due\t"
                                  "Rapporto di prova 104-2026.pdf\t")
                           + hash + "\r\n");
        const std::optional<issued::Entry> back = issued::parseLine(line);
        QVERIFY(back);
        QCOMPARE(back->client, QStringLiteral("Nicol\u00f2 Spa  Due"));
        QCOMPARE(back->fileName, entry.fileName);
        QCOMPARE(back->sha256, hash);
        QCOMPARE(hash.size(), 64);

        for (const QByteArray &bad : {QByteArray("14/03/2026\t09:30\tRapporto di prova\t1\tX\tf.pdf"),
                                      QByteArray("a\tb\tc\td\te\tf.pdf\t") + hash.left(63),
                                      QByteArray("a\tb\tc\td\te\t\t") + hash, QByteArray()})
            QVERIFY2(!issued::parseLine(bad), bad.constData());
    }

    // Issued three times: the plain name, then rev. 1 and rev. 2; what was issued first
    // keeps every byte, and each line of the register holds its own file's SHA-256.
    void issuingAgainMakesRevisions()
    {
        QTemporaryDir dir;
        QList<QByteArray> pdfs{"%PDF-1.4 prima", "%PDF-1.4 seconda", "%PDF-1.4 terza"};
        QStringList names;
        for (int i = 0; i < pdfs.size(); ++i) {
            const issued::Issued done = issued::issue(dir.path(), report(QStringLiteral("104/2026"), pdfs[i]), kWhen);
            QCOMPARE(done.revision, i);
            QCOMPARE(done.path, yearFolder(dir.path()) + done.fileName);
            QCOMPARE(done.sha256, issued::sha256Hex(pdfs[i]));
            names << done.fileName;
        }
        QCOMPARE(names, (QStringList{QStringLiteral("Rapporto di prova 104-2026.pdf"),
                                     QStringLiteral("Rapporto di prova 104-2026 rev. 1.pdf"),
                                     QStringLiteral("Rapporto di prova 104-2026 rev. 2.pdf")}));
        for (int i = 0; i < pdfs.size(); ++i)
            QCOMPARE(support::readFile(yearFolder(dir.path()) + names[i]), pdfs[i]);

        const QByteArray bytes = support::readFile(yearFolder(dir.path()) + issued::kRegisterName);
        QCOMPARE(bytes.count("\r\n"), 3);
        QVERIFY(bytes.contains("\tCaseificio Sant'Agnese di Nicol\xf2 & C.\t"));
        const QList<issued::Entry> lines = registerOf(dir.path());
        QCOMPARE(lines.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(lines[i].fileName, names[i]);
            QCOMPARE(lines[i].sha256, issued::sha256Hex(support::readFile(yearFolder(dir.path()) + names[i])));
            QCOMPARE(lines[i].date + u' ' + lines[i].time, QStringLiteral("14/03/2026 09:30:05"));
            QCOMPARE(lines[i].kind, QStringLiteral("Rapporto di prova"));
            QCOMPARE(lines[i].number, QStringLiteral("104/2026"));
        }
        QVERIFY(!QFileInfo::exists(yearFolder(dir.path()) + issued::kRegisterName + QStringLiteral(".lock")));
    }

    // A name is taken by a file of that name and by a register line that names it, even
    // when its file is gone: such a name is never given out twice.
    void takenNamesAreSkipped()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(yearFolder(dir.path())));
        const QString byHand = yearFolder(dir.path()) + QStringLiteral("Rapporto di prova 5.pdf");
        QVERIFY(support::writeFile(byHand, "messo a mano"));
        issued::Issued done = issued::issue(dir.path(), report(QStringLiteral("5"), "%PDF uno"), kWhen);
        QCOMPARE(done.fileName, QStringLiteral("Rapporto di prova 5 rev. 1.pdf"));
        QCOMPARE(support::readFile(byHand), QByteArray("messo a mano"));

        QVERIFY(QFile::remove(done.path));
        done = issued::issue(dir.path(), report(QStringLiteral("5"), "%PDF due"), kWhen);
        QCOMPARE(done.fileName, QStringLiteral("Rapporto di prova 5 rev. 2.pdf"));

        // A register whose last line lost its line end keeps its lines apart.
        const QString reg = yearFolder(dir.path()) + issued::kRegisterName;
        QByteArray bytes = support::readFile(reg);
        bytes.chop(2);
        QVERIFY(support::writeFile(reg, bytes));
        issued::issue(dir.path(), report(QStringLiteral("6"), "%PDF tre"), kWhen);
        QCOMPARE(registerOf(dir.path()).size(), 3);
        QCOMPARE(registerOf(dir.path()).last().fileName, QStringLiteral("Rapporto di prova 6.pdf"));
    }

    // Two stations issuing the same number at the same moment: every issue gets a name of
    // its own, no file is written over another, and the register holds one line for each.
    void issuesAtOnceGetNamesOfTheirOwn()
    {
        QTemporaryDir dir;
        constexpr int kEach = 8;
        std::atomic<int> failures{0};
        auto station = [&](char who) {
            for (int i = 0; i < kEach; ++i) {
                try {
                    issued::issue(dir.path(), report(QStringLiteral("9/2026"),
                                                     QByteArray("%PDF ") + who + QByteArray::number(i)), kWhen);
                } catch (const std::exception &) {
                    ++failures;
                }
            }
        };
        std::thread a(station, 'a'), b(station, 'b');
        a.join();
        b.join();
        QCOMPARE(failures.load(), 0);
        const QList<issued::Entry> lines = registerOf(dir.path());
        QCOMPARE(lines.size(), 2 * kEach);
        QSet<QString> names;
        QSet<QByteArray> contents;
        for (const issued::Entry &e : lines) {
            names.insert(e.fileName);
            const QByteArray bytes = support::readFile(yearFolder(dir.path()) + e.fileName);
            QCOMPARE(issued::sha256Hex(bytes), e.sha256);
            contents.insert(bytes);
        }
        QCOMPARE(names.size(), 2 * kEach);
        QCOMPARE(contents.size(), 2 * kEach);
        QCOMPARE(QDir(yearFolder(dir.path())).entryList({QStringLiteral("*.pdf")}, QDir::Files).size(), 2 * kEach);
    }

    // A folder that takes no file, a disk too full for the document, and one with room for
    // the document but not for the register: the issue fails, and the folder holds what it
    // held before, byte for byte (no document, no line, no file left half way).
    void failedIssueLeavesNothing_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("read-only folder") << "read-only";
        QTest::newRow("full disk") << "full";
        QTest::newRow("room for the document, not for the register") << "register";
    }
    void failedIssueLeavesNothing()
    {
        QFETCH(QString, failure);
        ScratchFs fs(512 * 1024);
        if (!fs.mounted())
            QSKIP(qPrintable(fs.reason()));
        const QString folder = fs.path();
        issued::issue(folder, report(QStringLiteral("1"), "%PDF primo"), kWhen);
        // The disk's room is counted in pages of 4 KiB. A register that ends on a page
        // boundary needs a page more for the next line; the room left takes the lock file
        // (a page) and the document (four) and no more.
        constexpr qsizetype kPage = 4096;
        if (failure == u"register") {
            QByteArray bytes = support::readFile(yearFolder(folder) + issued::kRegisterName);
            bytes += QByteArray(2 * kPage - bytes.size() - 2, 'x') + "\r\n";
            QVERIFY(support::writeFile(yearFolder(folder) + issued::kRegisterName, bytes));
        }
        if (failure == u"read-only")
            QVERIFY(fs.makeReadOnly());
        else
            QVERIFY(fs.fill(failure == u"full" ? 0 : 5 * kPage));
        const auto before = support::treeOf(folder);
        QString cause;
        try {
            issued::issue(folder, report(QStringLiteral("2"), QByteArray(4 * kPage, 'p')), kWhen);
        } catch (const issued::IssueError &e) {
            cause = QString::fromStdString(e.what());
        }
        // It failed where the case says: the register's line, or the document itself.
        QVERIFY2(cause.startsWith(failure == u"register" ? QStringLiteral("cannot write the register")
                                                         : QStringLiteral("cannot write the document")),
                 qPrintable(cause));
        QCOMPARE(support::treeOf(folder).keys(), before.keys());
        QCOMPARE(support::treeOf(folder), before);
    }
};

QTEST_GUILESS_MAIN(TestIssued)
#include "test_issued.moc"
