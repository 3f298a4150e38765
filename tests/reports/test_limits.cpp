// A result judged against its limit: the numbers, the forms of limits and results, the
// three verdicts and the texts never judged, all in one table; the stored bytes of a
// record give the same verdicts; a report's rows out of limit and their count line.

#include "reports/limits.h"
#include "storage/records.h"
#include "storage/textcodec.h"

#include <QtTest>

using limits::Verdict;

Q_DECLARE_METATYPE(limits::Verdict)

class TestLimits : public QObject {
    Q_OBJECT
private slots:
    void judge_data()
    {
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("limit");
        QTest::addColumn<Verdict>("verdict");
        QTest::addColumn<QString>("reason"); // checked when given

        constexpr Verdict in = Verdict::Conforming, out = Verdict::OutOfLimit, part = Verdict::Undecidable,
                          none = Verdict::NotJudged;
        const struct {
            const char *result, *limit;
            Verdict verdict;
            const char *reason = "";
        } rows[] = {
            // Numbers: comma or point, thousands, exponent, sign, blanks.
            {"162", "150", out, "Risultato fuori limite: 162 supera il limite 150."},
            {"150", "150", in},
            {"149,9", "150", in},
            {"0,5", "0.5", in},
            {"0.6", "0,5", out},
            {",5", "1", in},
            {"1.250,5", "1250,5", in},
            {"1.250,6", "1.250,5", out, "Risultato fuori limite: 1.250,6 supera il limite 1.250,5."},
            {"1.234.567", "2.000.000", in},
            {"1,2E-3", "0,001", out},
            {"1,2e-3", "0,0012", in},
            {"1.000E3", "999", out}, // an exponent: the point is a decimal point
            {" \t7  ", "  10 ", in},
            {"-3", "0", in},
            {"+3", "0", out},
            {"0", "0", in},
            // Unreadable numbers and texts: never judged.
            {"7 mg/l", "10", none},
            {"7", "10 mg/l", none},
            {"5,", "10", none},
            {"1,2,3", "10", none},
            {"12.50,5", "100", none},
            {"1,250.5", "2000", none},
            {"- 5", "10", none},
            {"1E", "10", none},
            {"assente", "assente", none},
            {"n.r.", "5", none},
            {"conforme", "10", none},
            {"non rilevata", "100", none},
            {"", "10", none},
            {"5", "", none},
            {"5", "accettabile per i consumatori", none},
            // Limits of at most x.
            {"10", "<= 10", in},
            {"10,1", "\u2264 10", out},
            {"10", "=< 10", in},
            {"11", "max 10", out, "Risultato fuori limite: 11 supera il limite 10."},
            {"10", "Max. 10", in},
            {"11", "fino a 10", out},
            {"10", "FINO A 10", in},
            {"10", "< 10", out, "Risultato fuori limite: 10 non \u00e8 inferiore a 10."},
            {"9,99", "<10", in},
            // Limits of at least x.
            {"5", ">= 5", in},
            {"4,9", "\u2265 5", out},
            {"4", "min 5", out, "Risultato fuori limite: 4 \u00e8 inferiore al limite minimo 5."},
            {"5", "MIN. 5", in},
            {"6", "almeno 5", in},
            {"5", "> 5", out, "Risultato fuori limite: 5 non \u00e8 superiore a 5."},
            {"5,01", ">5", in},
            // Ranges, ends included.
            {"7,2", "6,5 - 9,5", in},
            {"6,5", "6,5-9,5", in},
            {"9,6", "6,5 \u2013 9,5", out, "Risultato fuori limite: 9,6 supera il limite massimo 9,5."},
            {"6,4", "6,5 \u00f7 9,5", out, "Risultato fuori limite: 6,4 \u00e8 inferiore al limite minimo 6,5."},
            {"8", "da 6,5 a 9,5", in},
            {"10", "DA 6,5 A 9,5", out},
            {"-2", "-5 - -1", in},
            // Limits that do not read.
            {"8", "9,5 - 6,5", none},
            {"5", "fino 10", none},
            {"5", "max", none},
            {"5", "massimo 10", none},
            {"5", "6,5 -", none},
            {"5", "da 1 fino a 9", none},
            // Results with their uncertainty: simple acceptance, the value alone.
            {"162 \u00b1 5", "150", out, "Risultato fuori limite: 162 supera il limite 150."},
            {"148 \u00b1 5", "150", in},
            {"148 +/- 5", "150", in},
            {"148 \u00b1 abc", "150", none},
            {"148 \u00b1 5 mg/l", "150", none},
            // Results under the limit of quantification, and above a range of counting.
            {"< 0,5", "0,1", part, "Risultato non valutabile: < 0,5 comprende valori entro e fuori dal limite 0,1."},
            {"<0,5", "1", in},
            {"< 0,5", "0,5", in},
            {"inferiore a 0,5", "0,1", part},
            {"Inferiore A 0,5", "1", in},
            {"inferiore 0,5", "1", none},
            {"< 10", "< 10", in},
            {"< 0,5", "min 1", out, "Risultato fuori limite: < 0,5 \u00e8 inferiore al limite minimo 1."},
            {"< 1", "6,5 - 9,5", out},
            {"> 100", "100", out, "Risultato fuori limite: > 100 supera il limite 100."},
            {"superiore a 100", "50 - 200", part},
            {"> 100", "min 50", in},
            {"> 5", "> 5", in},
            // A single point before three digits reads as thousands or as decimals: the
            // verdict stands only when both readings give it.
            {"60", "1.000", part,
             "Risultato non valutabile: il numero 1.000 pu\u00f2 valere 1 oppure 1000 (il punto pu\u00f2 separare i "
             "decimali o le migliaia)."},
            {"2.400", "1.000", out},
            {"0,5", "1.000", in},
            {"1.250", "2", part},
            {"0.500", "1", in}, // a leading 0 groups no thousands
            {"1.25", "1.5", in},
        };
        for (const auto &r : rows)
            QTest::addRow("%s | %s", r.result, r.limit)
                << QString::fromUtf8(r.result) << QString::fromUtf8(r.limit) << r.verdict << QString::fromUtf8(r.reason);
    }
    void judge()
    {
        QFETCH(QString, result);
        QFETCH(QString, limit);
        QFETCH(Verdict, verdict);
        QFETCH(QString, reason);

        const limits::Judgement j = limits::judge(result, limit);
        QCOMPARE(j.verdict, verdict);
        QCOMPARE(limits::verdict(result, limit), verdict);
        // A reason for what is coloured, nothing for the rest.
        const bool flagged = verdict == Verdict::OutOfLimit || verdict == Verdict::Undecidable;
        QCOMPARE(!j.reason.isEmpty(), flagged);
        if (!reason.isEmpty())
            QCOMPARE(j.reason, reason);

        // The stored bytes of the two fields judge alike (text outside the code page never
        // reaches the archive).
        const auto r = text::toCp1252Exact(result), l = text::toCp1252Exact(limit);
        if (r && l)
            QCOMPARE(limits::verdict(QByteArrayView(*r), QByteArrayView(*l)), verdict);
    }

    // A stored report: its rows out of limit wherever they stand, on either page of the
    // card; an undecidable row or a text row is not one of them.
    void reportRows()
    {
        records::Record r(records::report());
        const auto row = [&r](int k, const char *result, const char *limit) {
            r.setText(reports::resultField(k), QString::fromUtf8(result));
            r.setText(reports::limitField(k), QString::fromUtf8(limit));
        };
        row(1, "7,2", "6,5 - 9,5");
        row(2, "< 0,5", "0,1");
        row(3, "assente", "assente");
        QVERIFY(!reports::hasOutOfLimit(r));
        QVERIFY(reports::outOfLimitRows(records::Values::of(r)).isEmpty());
        QCOMPARE(reports::outOfLimitSummary({}), QString());

        row(4, "162", "150");
        QVERIFY(reports::hasOutOfLimit(r));
        QCOMPARE(reports::outOfLimitRows(records::Values::of(r)), QList<int>{4});
        QCOMPARE(reports::outOfLimitSummary({4}), QStringLiteral("Risultati fuori limite: 1 (riga 4)"));

        row(17, "10,1", "max 10");
        row(30, "3", "0");
        QCOMPARE(reports::outOfLimitRows(records::Values::of(r)), (QList<int>{4, 17, 30}));
        QCOMPARE(reports::outOfLimitSummary({4, 17}), QStringLiteral("Risultati fuori limite: 2 (righe 4, 17)"));

        // A row further down alone is found too.
        records::Record last(records::report());
        last.setText(reports::resultField(30), QStringLiteral("3"));
        last.setText(reports::limitField(30), QStringLiteral("0"));
        QVERIFY(reports::hasOutOfLimit(last));
    }
};

QTEST_MAIN(TestLimits)
#include "test_limits.moc"
