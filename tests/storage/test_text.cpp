#include "storage/fields.h"
#include "storage/textcodec.h"

#include <QtTest>

#include <array>

class TestText : public QObject {
    Q_OBJECT
private slots:
    void cp1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("back"); // what reading the bytes gives
        QTest::newRow("ascii") << "Rossi Mario" << QByteArray("Rossi Mario") << "Rossi Mario";
        QTest::newRow("latin1 accents") << "S\u00ec perch\u00e9" << QByteArray("S\xec perch\xe9") << "S\u00ec perch\u00e9";
        QTest::newRow("euro and quotes") << "\u20ac \u201cx\u201d \u2013" << QByteArray("\x80 \x93x\x94 \x96")
                                         << "\u20ac \u201cx\u201d \u2013";
        QTest::newRow("unassigned byte round trip") << "\u0081" << QByteArray("\x81") << "\u0081";
        QTest::newRow("missing from the code page") << "a\u4e2db" << QByteArray("a?b") << "a?b";
        QTest::newRow("surrogate pair is one character") << "x\U0001F600y" << QByteArray("x?y") << "x?y";
    }
    void cp1252()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, back);
        QCOMPARE(text::toCp1252(text), bytes);
        QCOMPARE(text::fromCp1252(bytes), back);
    }

    void everyByteDecodesAndComesBack()
    {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        QCOMPARE(text::toCp1252(text::fromCp1252(all)), all);
    }

    // Texts are decoded eight bytes at a time: every length around those groups, with no
    // byte that differs from Latin-1 or with one at each place, decodes as byte by byte.
    void decodingInGroupsOfEight()
    {
        for (int n = 0; n <= 26; ++n) {
            for (int at = -1; at < n; ++at) {
                QByteArray bytes(n, Qt::Uninitialized);
                for (int i = 0; i < n; ++i)
                    bytes[i] = char(i % 2 ? 0xE8 : 'a' + i); // è, a Latin-1 letter
                if (at >= 0)
                    bytes[at] = char(0x80 + (at % 32));
                QString expected;
                for (const char b : std::as_const(bytes))
                    expected += text::fromCp1252(&b, 1);

                QString appended = QStringLiteral("prima ");
                text::appendCp1252(appended, bytes);
                QCOMPARE(appended, QStringLiteral("prima ") + expected);
                QCOMPARE(text::fromCp1252(bytes), expected);

                std::array<char16_t, 32> out;
                out.fill(u'#');
                QCOMPARE(text::decodeCp1252(bytes, out.data()), out.data() + n);
                QCOMPARE(QStringView(out.data(), n), expected);
                QCOMPARE(out[n], u'#'); // nothing written past the text
            }
        }
    }

    void trimRules_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("blanks and controls") << " \t\u0001 ab c\r\n " << "ab c";
        QTest::newRow("no-break space stays") << "\u00a0ab\u00a0" << "\u00a0ab\u00a0";
        QTest::newRow("all blank") << " \t " << "";
    }
    void trimRules()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(text::trim(in), out);
    }

    void foldingTouchesOnlyAsciiLetters()
    {
        QCOMPARE(text::upperAscii(QStringLiteral("benvenuto \u00e8 \u00df 1")), QStringLiteral("BENVENUTO \u00e8 \u00df 1"));
        QCOMPARE(text::lowerAscii(QStringLiteral("ABC \u00c8")), QStringLiteral("abc \u00c8"));
    }

    void shortTextStandardConversion()
    {
        char field[11];
        memset(field, 'X', sizeof field);
        fields::writeShort(field, 10, QStringLiteral("  Verdi Anna Maria  "));
        QCOMPARE(int(field[0]), 10); // trimmed, then cut to 10
        QCOMPARE(QByteArray(field + 1, 10), QByteArray("Verdi Anna"));
        QCOMPARE(fields::readShort(field, 10), QStringLiteral("Verdi Anna"));
        // Reading trims what another writer left around the text.
        const char padded[] = "\x05 ab \x01zzzzz";
        QCOMPARE(fields::readShort(padded, 10), QStringLiteral("ab"));
    }

    void shortTextLengthAboveCapacityIsClamped()
    {
        char field[4] = {char(0xFF), 'a', 'b', 'c'};
        QCOMPARE(fields::readShort(field, 3), QStringLiteral("abc"));
    }

    void zeroTextKeepsBlanksAndItsTerminator()
    {
        char field[6];
        memset(field, 'X', sizeof field);
        fields::writeZero(field, 5, QStringLiteral(" ab "));
        QCOMPARE(QByteArray(field, 5), QByteArray(" ab \0", 5));
        QCOMPARE(fields::readZero(field, 5), QStringLiteral(" ab "));

        fields::writeZero(field, 5, QStringLiteral("abcde")); // exactly N: zero in the last byte
        QCOMPARE(QByteArray(field, 6), QByteArray("abcde\0", 6));
        fields::writeZero(field, 5, QStringLiteral("abcdef")); // N + 1: cut
        QCOMPARE(fields::readZero(field, 5), QStringLiteral("abcde"));

        const char noZero[6] = {'a', 'b', 'c', 'd', 'e', 'f'}; // written by another tool
        QCOMPARE(fields::readZero(noZero, 5), QStringLiteral("abcdef"));
    }
};

QTEST_APPLESS_MAIN(TestText)
#include "test_text.moc"
