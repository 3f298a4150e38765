// The identifier rules: tax code, VAT number and office, payment card, IBAN.

#include "checks/identifiers.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace checks;

Q_DECLARE_METATYPE(checks::TaxCodeAnswer)
Q_DECLARE_METATYPE(checks::VatAnswer)
Q_DECLARE_METATYPE(checks::CardAnswer)
Q_DECLARE_METATYPE(checks::CardFamily)
Q_DECLARE_METATYPE(checks::IbanAnswer)

namespace {

// Remainder of a long digit text, one digit at a time: independent of the piecewise rule.
int mod97(const QString &digits)
{
    int r = 0;
    for (QChar c : digits)
        r = (r * 10 + (c.unicode() - u'0')) % 97;
    return r;
}

QString lettersToNumbers(const QString &s)
{
    QString out;
    for (QChar c : s)
        out += (c >= u'A' && c <= u'Z') ? QString::number(c.unicode() - u'A' + 10) : QString(c);
    return out;
}

} // namespace

class TestIdentifiers : public QObject {
    Q_OBJECT
private slots:
    void taxCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<TaxCodeAnswer>("answer");
        const auto V = TaxCodeAnswer::Valid, W = TaxCodeAnswer::Wrong, B = TaxCodeAnswer::BadFormat;
        QTest::newRow("published sample") << "RSSMRA85T10A562S" << V;
        QTest::newRow("lower case") << "rssmra85t10a562s" << V;
        QTest::newRow("mixed case") << "RssMra85t10A562s" << V;
        QTest::newRow("woman") << "BNCLRA92M41F205B" << V;
        QTest::newRow("born abroad") << "DLCNNA99S50Z404R" << V;
        QTest::newRow("another") << "VRDGPP80A01H501U" << V;
        QTest::newRow("letter for a digit") << "RSSMRA85T10A56NH" << V;
        QTest::newRow("digits only before the letter") << "000000000000000I" << V;
        QTest::newRow("last letter changed") << "RSSMRA85T10A562T" << W;
        QTest::newRow("inner letter changed") << "RSSMRB85T10A562S" << W;
        QTest::newRow("last character a digit") << "RSSMRA85T10A5621" << W;
        QTest::newRow("empty") << "" << B;
        QTest::newRow("15 characters") << "RSSMRA85T10A562" << B;
        QTest::newRow("17 characters") << "RSSMRA85T10A562SX" << B;
        QTest::newRow("blank inside") << "RSSMRA85 T10A562" << B;
        QTest::newRow("hyphen") << "RSSMRA85T10A56-S" << B;
        QTest::newRow("accented letter") << QStringLiteral("RSSMRA85T10A562\u00c8") << B;
        QTest::newRow("non-Latin digit") << QStringLiteral("RSSMRA85T10A56\u0662S") << B;
    }
    void taxCode()
    {
        QFETCH(QString, code);
        QFETCH(TaxCodeAnswer, answer);
        QCOMPARE(checkTaxCode(code), answer);
    }

    // The odd-position values of the official table, read through the check letter:
    // the character in front of fourteen A's gives (value + 7) mod 26.
    void taxCodeOddValues_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QChar>("letter");
        QTest::newRow("A = 1") << "A" << QChar(u'I');
        QTest::newRow("B = 0") << "B" << QChar(u'H');
        QTest::newRow("C = 5") << "C" << QChar(u'M');
        QTest::newRow("K = 2") << "K" << QChar(u'J');
        QTest::newRow("M = 18") << "M" << QChar(u'Z');
        QTest::newRow("X = 25") << "X" << QChar(u'G');
        QTest::newRow("Z = 23") << "Z" << QChar(u'E');
        QTest::newRow("0 as A") << "0" << QChar(u'I');
        QTest::newRow("9 as J") << "9" << QChar(u'C'); // J = 21
    }
    void taxCodeOddValues()
    {
        QFETCH(QString, first);
        QFETCH(QChar, letter);
        QCOMPARE(taxCodeCheckLetter(QString(first + QString(14, u'A'))), letter);
    }

    // Everywhere a digit counts as the letter in the same place of the alphabet.
    void taxCodeDigitsCountAsLetters()
    {
        const QString withDigits = QStringLiteral("RSSMRA85T10A562");
        QString withLetters = withDigits;
        for (QChar &c : withLetters)
            if (c.isDigit())
                c = QChar(u'A' + (c.unicode() - u'0'));
        QCOMPARE(taxCodeCheckLetter(withLetters), taxCodeCheckLetter(withDigits));
        QCOMPARE(taxCodeCheckLetter(QStringLiteral("RSSMRA85T10A56")), QChar());
        QCOMPARE(taxCodeCheckLetter(QStringLiteral("rssmra85t10a562")), QChar());
    }

    void vat_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<VatAnswer>("answer");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("office");
        const auto V = VatAnswer::Valid, W = VatAnswer::Wrong, B = VatAnswer::BadLength;
        QTest::newRow("015 Milano 1") << "12345670157" << V << "015" << "Milano 1";
        QTest::newRow("096 with parentheses") << "01234560967" << V << "096" << "Monza (Milano 2)";
        QTest::newRow("120 as 101") << "07654321202" << V << "120" << "Bologna 2";
        QTest::newRow("101") << "07654321012" << V << "101" << "Bologna 2";
        QTest::newRow("121 as 102") << "02222221216" << V << "121" << "Napoli 2";
        QTest::newRow("058 Roma 1") << "03333330581" << V << "058" << "Roma 1";
        QTest::newRow("040 accented") << "11111110406" << V << "040" << QStringLiteral("Forl\u00ec");
        QTest::newRow("all zeros, unknown 000") << "00000000000" << V << "000" << "";
        QTest::newRow("unknown 103") << "04444441036" << V << "103" << "";
        QTest::newRow("last digit changed") << "12345670158" << W << "" << "";
        QTest::newRow("inner digit changed") << "12345680157" << W << "" << "";
        QTest::newRow("letter in 11") << "1234567015A" << W << "" << "";
        QTest::newRow("blank in 11") << "1234567 157" << W << "" << "";
        QTest::newRow("empty") << "" << B << "" << "";
        QTest::newRow("10 digits") << "1234567015" << B << "" << "";
        QTest::newRow("12 digits") << "123456701570" << B << "" << "";
    }
    void vat()
    {
        QFETCH(QString, number);
        QFETCH(VatAnswer, answer);
        QFETCH(QString, code);
        QFETCH(QString, office);
        const VatResult r = checkVat(number);
        QCOMPARE(r.answer, answer);
        QCOMPARE(r.officeCode, code);
        QCOMPARE(r.office, office);
    }

    void vatOfficeTable()
    {
        int known = 0;
        for (int i = 0; i < 1000; ++i)
            if (!vatOffice(QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'))).isEmpty())
                ++known;
        QCOMPARE(known, 104);
        QCOMPARE(vatOffice(u"001"), QStringLiteral("Torino"));
        QCOMPARE(vatOffice(u"080"), QStringLiteral("Reggio Calabria"));
        QCOMPARE(vatOffice(u"099"), QStringLiteral("Chiavari (Genova 2)"));
        QCOMPARE(vatOffice(u"102"), QStringLiteral("Napoli 2"));
        QCOMPARE(vatOffice(u"121"), vatOffice(u"102"));
        QCOMPARE(vatOffice(u"1"), QString()); // codes are three-character texts
        QCOMPARE(vatOffice(u"01"), QString());
    }

    void card_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<CardAnswer>("answer");
        QTest::addColumn<CardFamily>("family");
        const auto V = CardAnswer::Valid, W = CardAnswer::Wrong;
        QTest::newRow("Visa") << "4111111111111111" << V << CardFamily::Visa;
        QTest::newRow("Visa 2") << "4012888888881881" << V << CardFamily::Visa;
        QTest::newRow("Visa of two digits") << "42" << V << CardFamily::Visa;
        QTest::newRow("MasterCard") << "5555555555554444" << V << CardFamily::MasterCard;
        QTest::newRow("MasterCard 2") << "5105105105105100" << V << CardFamily::MasterCard;
        QTest::newRow("American Express 37") << "378282246310005" << V << CardFamily::AmericanExpress;
        QTest::newRow("American Express 34") << "343434343434343" << V << CardFamily::AmericanExpress;
        QTest::newRow("Diners 30") << "30569309025904" << V << CardFamily::DinersClub;
        QTest::newRow("Diners 36") << "36111111111111" << V << CardFamily::DinersClub;
        QTest::newRow("Diners 38") << "38520000023237" << V << CardFamily::DinersClub;
        QTest::newRow("JCB 35") << "3530111333300000" << V << CardFamily::Jcb;
        QTest::newRow("JCB 31") << "3111111111111113" << V << CardFamily::Jcb;
        QTest::newRow("JCB 33") << "3311111111111111" << V << CardFamily::Jcb;
        QTest::newRow("Discover") << "6011111111111117" << V << CardFamily::Discover;
        QTest::newRow("Discover of 19 digits") << "6011123456789012348" << V << CardFamily::Discover;
        QTest::newRow("3 then 2: no family") << "32123456789017" << V << CardFamily::None;
        QTest::newRow("3 then 9: no family") << "39123456789010" << V << CardFamily::None;
        QTest::newRow("right digit, first 7") << "71234567890123455" << W << CardFamily::None;
        QTest::newRow("right digit, first 0") << "00" << W << CardFamily::None;
        QTest::newRow("last digit changed") << "4111111111111112" << W << CardFamily::None;
        QTest::newRow("no digits") << "abc" << W << CardFamily::None;
        QTest::newRow("blanks between groups") << "4111 1111 1111 1111" << V << CardFamily::Visa;
        // At most 20 digits take part; the 21st is ignored either way.
        QTest::newRow("21 digits, first 20 right") << "411111111111111111150" << V << CardFamily::Visa;
        QTest::newRow("21 digits, first 20 wrong") << "411111111111111111166" << W << CardFamily::None;
        // The 20 are digits, not characters: a 19-digit number in groups is judged whole.
        QTest::newRow("19 digits in groups") << "6011 1234 5678 9012 348" << V << CardFamily::Discover;
        QTest::newRow("separator after the 3") << "3-78282246310005" << V << CardFamily::AmericanExpress;
        QTest::newRow("empty") << "" << CardAnswer::Empty << CardFamily::None;
        QTest::newRow("blanks") << " \t " << CardAnswer::Empty << CardFamily::None;
    }
    void card()
    {
        QFETCH(QString, text);
        QFETCH(CardAnswer, answer);
        QFETCH(CardFamily, family);
        const CardResult r = checkCard(text);
        QCOMPARE(r.answer, answer);
        QCOMPARE(r.family, family);
    }

    void cardKeepsTheTrimmedText()
    {
        const CardResult r = checkCard(QStringLiteral("  4111 1111 1111 1111\t"));
        QCOMPARE(r.shown, QStringLiteral("4111 1111 1111 1111"));
        QCOMPARE(cardFamilyName(CardFamily::DinersClub), QStringLiteral("Diner's Club / Carte Blanche"));
    }

    // Luhn catches every change of a single digit.
    void luhnCatchesEverySingleDigitChange()
    {
        for (const char *n : {"4111111111111111", "378282246310005", "6011123456789012348", "42"}) {
            const QString valid = QString::fromLatin1(n);
            QVERIFY(luhnValid(valid));
            for (qsizetype i = 0; i < valid.size(); ++i) {
                for (char d = '0'; d <= '9'; ++d) {
                    QString changed = valid;
                    changed[i] = QChar(d);
                    if (changed != valid)
                        QVERIFY2(!luhnValid(changed), qPrintable(changed));
                }
            }
        }
    }

    // The same holds for the VAT check digit.
    void vatCatchesEverySingleDigitChange()
    {
        const QString valid = QStringLiteral("01234560967");
        for (qsizetype i = 0; i < valid.size(); ++i) {
            for (char d = '0'; d <= '9'; ++d) {
                QString changed = valid;
                changed[i] = QChar(d);
                if (changed != valid)
                    QVERIFY2(checkVat(changed).answer == VatAnswer::Wrong, qPrintable(changed));
            }
        }
    }

    void iban_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<IbanAnswer>("answer");
        const auto V = IbanAnswer::Valid, W = IbanAnswer::Wrong, B = IbanAnswer::BadLength;
        QTest::newRow("public example") << "IT60X0542811101000000123456" << true << V;
        QTest::newRow("lower case") << "it60x0542811101000000123456" << true << V;
        QTest::newRow("mixed case") << "It60x0542811101000000123456" << true << V;
        QTest::newRow("another") << "IT66A0306909606100000012345" << true << V;
        QTest::newRow("and another") << "IT61Z0100503382000000218020" << true << V;
        QTest::newRow("blanks round") << "  IT60X0542811101000000123456 " << true << V;
        QTest::newRow("one digit changed") << "IT60X0542811101000000123457" << false << W;
        QTest::newRow("check digits changed") << "IT61X0542811101000000123456" << false << W;
        QTest::newRow("two digits swapped") << "IT60X0542811101000000123465" << false << W;
        QTest::newRow("hyphen") << "IT60X0542811101000000-23456" << false << W;
        QTest::newRow("full stop") << "IT60X0542811101000000.23456" << false << W;
        QTest::newRow("accented letter") << QStringLiteral("IT60X054281110100000012345\u00e9") << false << W;
        QTest::newRow("27 with blanks, tested without") << "DE89 3704 0044 0532 0130 00" << true << V;
        QTest::newRow("in groups: too long") << "IT60 X054 2811 1010 0000 0123 456" << true << B;
        QTest::newRow("with the word IBAN") << "IBAN IT60X0542811101000000123456" << true << B;
        QTest::newRow("other country") << "GB82WEST12345698765432" << true << B;
        QTest::newRow("26 characters") << "IT60X054281110100000012345" << false << B;
        QTest::newRow("empty") << "" << false << B;
    }
    void iban()
    {
        QFETCH(QString, text);
        QFETCH(bool, passes);
        QFETCH(IbanAnswer, answer);
        QCOMPARE(ibanValid(text), passes);
        QCOMPARE(checkIban(text), answer);
    }

    // The piecewise remainder against a plain one, on many generated account numbers.
    void ibanPiecewiseRemainder()
    {
        QRandomGenerator random(97);
        for (int round = 0; round < 300; ++round) {
            QString bban(QChar(u'A' + random.bounded(26)));
            for (int i = 0; i < 22; ++i)
                bban += QChar(u'0' + random.bounded(10));
            const int check = 98 - mod97(lettersToNumbers(bban + QStringLiteral("IT00")));
            const QString good = QStringLiteral("IT%1").arg(check, 2, 10, QLatin1Char('0')) + bban;
            QVERIFY2(checkIban(good) == IbanAnswer::Valid, qPrintable(good));
            const QString bad = QStringLiteral("IT%1").arg((check + 1) % 100, 2, 10, QLatin1Char('0')) + bban;
            QVERIFY2(checkIban(bad) == IbanAnswer::Wrong, qPrintable(bad));
        }
    }
};

QTEST_APPLESS_MAIN(TestIdentifiers)
#include "test_checks_identifiers.moc"
