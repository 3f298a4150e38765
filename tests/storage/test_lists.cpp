// The lines of a list kept as bytes: their order and the quick find over them give what
// the same lines as strings give, over every byte of the code page.

#include "storage/lists.h"
#include "storage/textcodec.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

// Bytes that decide orders and matches: letters of both cases, the signs between and
// around the capitals and the small letters, blanks and controls, the code page's own
// letters (0x80-0x9F, decoded far above 0xFF, and the five unassigned ones), accented
// letters.
QByteArray randomLine(QRandomGenerator &random, const QList<QByteArray> &starts)
{
    static const QByteArray common("aAbBzZ_[`{@ \t\x01\x80\x81\x8a\x9a\x9f\xa0\xc0\xe0\xe8\xc8\xff", 25);
    QByteArray line = starts.at(random.bounded(int(starts.size())));
    const int tail = random.bounded(0, 6);
    for (int i = 0; i < tail; ++i)
        line += random.bounded(4) ? common.at(random.bounded(int(common.size()))) : char(random.bounded(256));
    return line;
}

// Beginnings shared by many lines, so that comparisons run up to and past the first
// sixteen characters, where the sort changes its way of comparing.
QList<QByteArray> shared()
{
    return {QByteArray(), QByteArray("a"), QByteArray("Rossi Ma"), QByteArray("ROSSI MA"), QByteArray("Rossi Mario Gius"),
            QByteArray("rossi mario gius"), QByteArray("Rossi Mario Giuseppe "), QByteArray("Rossi Mario Giuseppe\0", 21),
            QByteArray("Caff\xe8 Roma \x80 1234")};
}

} // namespace

class TestLists : public QObject {
    Q_OBJECT
private slots:
    void sortedAsStrings()
    {
        QRandomGenerator random(2024);
        // Many short lists, and a long one (sorted in two halves at once, then merged).
        for (int round = 0; round < 21; ++round) {
            lists::Lines lines;
            QStringList strings;
            for (int i = 0; i < (round < 20 ? 400 : 30000); ++i) {
                const QByteArray line = randomLine(random, shared());
                lines.append(line);
                strings.append(text::fromCp1252(line));
            }
            lines.sort();
            lists::sortLines(strings); // stable: case variants keep their first order
            QCOMPARE(lines.texts(), strings);
        }
        // The rule itself, for a few: '_' after the letters, the code page's letters last.
        lists::Lines few;
        for (const char *l : {"_b", "Zz", "ab", "\x80", "AB", "\xe0", "b", "a", "Ab"})
            few.append(QByteArrayView(l));
        few.sort();
        QCOMPARE(few.texts(), (QStringList{"a", "ab", "AB", "Ab", "b", "Zz", "_b", "\u00e0", "\u20ac"}));
    }

    void quickFindAsOverStrings()
    {
        QRandomGenerator random(7);
        lists::Lines lines;
        QStringList strings;
        for (int i = 0; i < 60; ++i) {
            const QByteArray line = randomLine(random, shared());
            lines.append(line);
            strings.append(text::fromCp1252(line));
        }
        const QStringList typed = {
            QStringLiteral("rossi"), QStringLiteral("ROSSI MA"), QStringLiteral("mario g"), QStringLiteral("A"),
            QStringLiteral("_"), QStringLiteral("\u20ac"), QStringLiteral("\u00c8"), QStringLiteral("\u00e8"),
            QStringLiteral("\u0081"), QStringLiteral(" "), QString(), QStringLiteral("\u03a9"),
            QStringLiteral("gius\u0000"), QStringLiteral("caff\u00e8 roma"), QStringLiteral("zz"),
        };
        lists::QuickFind overStrings, overBytes;
        for (int step = 0; step < 600; ++step) {
            const QString t = typed.at(random.bounded(int(typed.size())));
            const int selected = random.bounded(-1, int(strings.size()));
            const int expected = overStrings.find(strings, selected, t);
            QCOMPARE(overBytes.findIn(lines, selected, t), expected);
            QCOMPARE(overBytes.remembered(), overStrings.remembered());
            // Pressing again from what was found, as the window does.
            QCOMPARE(overBytes.findIn(lines, expected, t), overStrings.find(strings, expected, t));
        }
        QCOMPARE(overBytes.findIn(lists::Lines(), 0, QStringLiteral("x")), -1);
    }

    void partsJoinInOrder()
    {
        lists::Lines first, second;
        first.append("uno");
        second.append("tre");
        second.append(QByteArrayView("quattro \x80", 9));
        first.append("due");
        first.append(std::move(second));
        QCOMPARE(first.texts(), (QStringList{"uno", "due", "tre", "quattro \u20ac"}));
        QCOMPARE(first.longest(), 9);
        QVERIFY(second.isEmpty());
        lists::Lines none;
        none.append(std::move(first));
        QCOMPARE(none.size(), 4);
        QCOMPARE(none.bytes(3), QByteArrayView("quattro \x80", 9));
    }
};

QTEST_GUILESS_MAIN(TestLists)
#include "test_lists.moc"
