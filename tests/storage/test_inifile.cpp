#include "storage/crypt.h"
#include "storage/inifile.h"
#include "support/environment.h"
#include "support/scratchfs.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void putBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_path = m_dir->filePath(QStringLiteral("Tirello.ini"));
    }

    void readingNeverCreates()
    {
        QCOMPARE(ini::read(m_path, QStringLiteral("Laboratorio"), QStringLiteral("Denominazione")), QString());
        QVERIFY(!QFile::exists(m_path));
    }

    void writesTheExpectedText()
    {
        ini::write(m_path, QStringLiteral("Laboratorio"), QStringLiteral("Denominazione"), QStringLiteral("Lab Rossi"));
        ini::write(m_path, QStringLiteral("Laboratorio"), QStringLiteral("Indirizzo"), QString());
        ini::write(m_path, QStringLiteral("Numerazione Rapporti"), QStringLiteral("Indicazione Anno Solare"),
                   QStringLiteral("S\u00ec"));
        ini::write(m_path, QStringLiteral("laboratorio"), QStringLiteral("Comune"), QStringLiteral("Pisa"));
        ini::write(m_path, QStringLiteral("LABORATORIO"), QStringLiteral("denominazione"), QStringLiteral("Nuovo"));
        QCOMPARE(bytesOf(m_path), QByteArray("[Laboratorio]\r\n"
                                             "denominazione=Nuovo\r\n"
                                             "Indirizzo=\r\n"
                                             "Comune=Pisa\r\n"
                                             "[Numerazione Rapporti]\r\n"
                                             "Indicazione Anno Solare=S\xec\r\n"));
        QCOMPARE(ini::read(m_path, QStringLiteral("numerazione rapporti"), QStringLiteral("INDICAZIONE ANNO SOLARE")),
                 QStringLiteral("S\u00ec"));
        QCOMPARE(ini::read(m_path, QStringLiteral("Laboratorio"), QStringLiteral("Indirizzo")), QString());
    }

    void handEditedFileIsRespected()
    {
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("; note\n[Accesso]\n  Valore =  0A1B  \n\n[Altro]\nx=1"); // LF only, no final break
        f.close();
        QCOMPARE(ini::read(m_path, QStringLiteral("accesso"), QStringLiteral("valore")), QStringLiteral("0A1B"));
        QCOMPARE(ini::read(m_path, QStringLiteral("Altro"), QStringLiteral("Valore")), QString());
        ini::write(m_path, QStringLiteral("Accesso"), QStringLiteral("Nuova"), QStringLiteral("v"));
        ini::write(m_path, QStringLiteral("Altro"), QStringLiteral("x"), QStringLiteral("2\r\nY=3"));
        QCOMPARE(bytesOf(m_path), QByteArray("; note\r\n[Accesso]\r\n  Valore =  0A1B  \r\nNuova=v\r\n\r\n"
                                             "[Altro]\r\nx=2  Y=3\r\n"));
    }

    void failedWriteLeavesTheOldFile()
    {
        const QString bad = m_dir->filePath(QStringLiteral("manca/Tirello.ini"));
        QVERIFY_THROWS_EXCEPTION(IniError, ini::write(bad, QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("c")));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Cartella.ini")));
        QVERIFY_THROWS_EXCEPTION(IniError, ini::write(m_dir->filePath(QStringLiteral("Cartella.ini")), QStringLiteral("A"),
                                                      QStringLiteral("b"), QStringLiteral("c")));
        QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("Cartella.ini"))).isDir());
    }

    // Files saved by other editors: a byte-order mark, lone CR or LF line ends. Every
    // section is found, and writing a key changes that key instead of adding a second
    // copy of its section. The rewrite is the program's own form: Windows-1252, CR LF.
    void handEditedLineEndsAndByteOrderMark_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("rewritten");
        const QByteArray lines[] = {"[Laboratorio]", "Denominazione=Lab Rossi", "[Numerazione Rapporti]",
                                    "Inizio=100", "Indicazione Anno Solare=S\xec"};
        auto joined = [&](const QByteArray &end) {
            QByteArray out;
            for (const QByteArray &l : lines)
                out += l + end;
            return out;
        };
        const QByteArray bom = "\xef\xbb\xbf";
        const QByteArray expected = "[Laboratorio]\r\nDenominazione=Lab Rossi\r\n[Numerazione Rapporti]\r\n"
                                    "Inizio=250\r\nIndicazione Anno Solare=S\xec\r\n";
        QTest::newRow("CR LF") << joined("\r\n") << expected;
        QTest::newRow("lone CR") << joined("\r") << expected;
        QTest::newRow("lone LF") << joined("\n") << expected;
        QTest::newRow("lone CR, no final break") << joined("\r").chopped(1) << expected;
        QTest::newRow("mixed ends") << QByteArray("[Laboratorio]\rDenominazione=Lab Rossi\n[Numerazione Rapporti]"
                                                  "\r\nInizio=100\rIndicazione Anno Solare=S\xec\n")
                                    << expected;
        QTest::newRow("byte-order mark, CR LF") << bom + joined("\r\n") << expected;
        QTest::newRow("byte-order mark, lone CR") << bom + joined("\r") << expected;
        // A byte-order mark says the editor saved UTF-8: the text reads as typed there.
        QTest::newRow("byte-order mark, UTF-8 text")
            << bom + joined("\r\n").replace("S\xec", "S\xc3\xac") << expected;
        // ... unless the rest is not UTF-8 at all: then it is the usual code page.
        QTest::newRow("byte-order mark before Windows-1252 text") << bom + joined("\n") << expected;
        // Marks twice, or saved again as text by an editor that took the first one for
        // letters: all of them go, so the first line is the same section header before
        // and after the rewrite (which has no mark), never "\u00ef\u00bb\u00bf[Laboratorio]".
        const QByteArray utf8 = joined("\r\n").replace("S\xec", "S\xc3\xac");
        QTest::newRow("two marks, Windows-1252 text") << bom + bom + joined("\n") << expected;
        QTest::newRow("two marks, UTF-8 text") << bom + bom + utf8 << expected;
        QTest::newRow("mark saved again as text") << bom + "\xc3\xaf\xc2\xbb\xc2\xbf" + utf8 << expected;
        QTest::newRow("mark as text, then a mark") << bom + "\xc3\xaf\xc2\xbb\xc2\xbf" + bom + utf8 << expected;
    }
    void handEditedLineEndsAndByteOrderMark()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, rewritten);
        putBytes(m_path, file);
        QCOMPARE(ini::read(m_path, QStringLiteral("Laboratorio"), QStringLiteral("Denominazione")),
                 QStringLiteral("Lab Rossi"));
        QCOMPARE(ini::read(m_path, QStringLiteral("Numerazione Rapporti"), QStringLiteral("Indicazione Anno Solare")),
                 QStringLiteral("S\u00ec"));
        ini::write(m_path, QStringLiteral("Numerazione Rapporti"), QStringLiteral("Inizio"), QStringLiteral("250"));
        QCOMPARE(bytesOf(m_path), rewritten);
        QCOMPARE(ini::read(m_path, QStringLiteral("Laboratorio"), QStringLiteral("Denominazione")),
                 QStringLiteral("Lab Rossi"));
    }

    // A file that is there but cannot be read is an error, not an empty value: only a
    // missing file, section or key reads as empty.
    void unreadableFileIsAnError()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Tirello.ini")));
        QVERIFY_THROWS_EXCEPTION(IniError, ini::read(m_path, QStringLiteral("A"), QStringLiteral("b")));

        const QString locked = m_dir->filePath(QStringLiteral("Chiuso.ini"));
        putBytes(locked, "[A]\r\nb=1\r\n");
        QVERIFY(QFile::setPermissions(locked, QFile::WriteOwner));
        QFile probe(locked);
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("files without read permission can still be read here (running as root)");
        QVERIFY_THROWS_EXCEPTION(IniError, ini::read(locked, QStringLiteral("A"), QStringLiteral("b")));
    }

    // A full disk: the settings file and the password file keep every byte, and the
    // failure is reported instead of a short file being renamed into place.
    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("settings") << "Tirello.ini" << "Laboratorio" << "Denominazione";
        QTest::newRow("password") << "unins000.dll" << "Accesso" << "Valore";
    }
    void fullDiskKeepsTheOldFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, section);
        QFETCH(QString, key);
        ScratchFs fs;
        if (!fs.mounted())
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
        const QString path = fs.filePath(name);
        ini::write(path, section, key, QStringLiteral("prima"));
        ini::write(path, QStringLiteral("Altro"), QStringLiteral("x"), QString(3000, u'x')); // a page of text
        const auto before = fs.contents();
        QVERIFY(fs.fill());
        QVERIFY_THROWS_EXCEPTION(IniError, ini::write(path, section, key, QStringLiteral("dopo")));
        if (name == password::kFileName)
            QVERIFY_THROWS_EXCEPTION(IniError, password::writeStored(path, QStringLiteral("nuova")));
        QCOMPARE(fs.contents(), before);
        fs.unfill();
        QCOMPARE(ini::read(path, section, key), QStringLiteral("prima"));
    }

    void readOnlyFolderKeepsTheOldFile()
    {
        ScratchFs fs; // as root only a read-only file system refuses a write
        const QString folder = fs.mounted() ? fs.path() : m_dir->path();
        const QString path = QDir(folder).filePath(QStringLiteral("Tirello.ini"));
        ini::write(path, QStringLiteral("Laboratorio"), QStringLiteral("Denominazione"), QStringLiteral("prima"));
        const auto before = folderContents(folder);
        const auto restore = qScopeGuard([&] { restoreFolder(folder); });
        if (!makeFolderReadOnly(fs, folder))
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(QStringLiteral("no read-only folder here: ") + fs.reason()));
        const auto write = [&] {
            ini::write(path, QStringLiteral("Laboratorio"), QStringLiteral("Denominazione"), QStringLiteral("dopo"));
        };
        QVERIFY_THROWS_EXCEPTION(IniError, write());
        QCOMPARE(folderContents(folder), before);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_APPLESS_MAIN(TestIniFile)
#include "test_inifile.moc"
