#include "storage/crypt.h"
#include "storage/inifile.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCrypt : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::newRow("first password") << "BENVENUTONUOVO";
        QTest::newRow("empty") << "";
        QTest::newRow("latin1") << "CAFF\u00c8 \u00e0 \u00ff";
        QTest::newRow("255 chars") << QString(255, u'Z');
    }
    void roundTrip()
    {
        QFETCH(QString, plain);
        const QString hex = Crypt::Scramble(plain);
        QCOMPARE(hex.size(), plain.size() * 2);
        QCOMPARE(hex, Crypt::Scramble(plain)); // no random element
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]*$")).match(hex).hasMatch());
        QCOMPARE(Crypt::Unscramble(hex), plain);
        QCOMPARE(Crypt::Unscramble(hex.toLower()), plain);
    }

    // Pinned: a changed constant would lock every installation out of its own password
    // file while every round trip still passed. The first row is the stored form of the
    // first-installation password that every password file starts with.
    void storedFormsArePinned_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("stored");
        QTest::newRow("first password") << "BENVENUTONUOVO" << "55D84306E70E08BD5B30D9EABE42";
        QTest::newRow("accented letters") << "CAFF\u00c8 ANALISI \u00c0\u00d2" << "54632BAEEE0F4EBA043EC0CF663AD448";
    }
    void storedFormsArePinned()
    {
        QFETCH(QString, plain);
        QFETCH(QString, stored);
        QCOMPARE(Crypt::Scramble(plain), stored);
        QCOMPARE(Crypt::Unscramble(stored), plain);
    }

    void keyFollowsTheScrambledByte()
    {
        // Same first character, different second: the first pair agrees, the rest differs.
        const QString a = Crypt::Scramble(QStringLiteral("AB")), b = Crypt::Scramble(QStringLiteral("AC"));
        QCOMPARE(a.left(2), b.left(2));
        QVERIFY(a.mid(2) != b.mid(2));
    }

    void oddDigitAndBadDigits()
    {
        const QString hex = Crypt::Scramble(QStringLiteral("ROSSI"));
        QCOMPARE(Crypt::Unscramble(hex + u'7'), QStringLiteral("ROSSI"));
        QVERIFY_THROWS_EXCEPTION(Crypt::Error, Crypt::Unscramble(QStringLiteral("0G")));
        QVERIFY_THROWS_EXCEPTION(Crypt::Error, Crypt::Unscramble(hex.left(4) + QStringLiteral(" 1")));
    }

    void storableTexts()
    {
        QVERIFY(Crypt::isStorable(QString(255, u'\u00ff')));
        QVERIFY(!Crypt::isStorable(QString(256, u'A')));
        QVERIFY(!Crypt::isStorable(QStringLiteral("PREZZO\u20ac")));
    }

    void storedPassword()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(password::kFileName);
        QCOMPARE(password::readStored(file), QString()); // missing file reads as empty
        password::writeStored(file, QStringLiteral("  nuova Parola  "));
        QCOMPARE(ini::read(file, QStringLiteral("Accesso"), QStringLiteral("Valore")),
                 Crypt::Scramble(QStringLiteral("NUOVA PAROLA")));
        QCOMPARE(password::readStored(file), QStringLiteral("NUOVA PAROLA"));
        ini::write(file, QStringLiteral("Accesso"), QStringLiteral("Valore"), QStringLiteral("XYZ1"));
        QVERIFY_THROWS_EXCEPTION(Crypt::Error, password::readStored(file));
    }
};

QTEST_APPLESS_MAIN(TestCrypt)
#include "test_crypt.moc"
