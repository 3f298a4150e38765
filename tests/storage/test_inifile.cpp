#include "storage/inifile.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_APPLESS_MAIN(TestIniFile)
#include "test_inifile.moc"
