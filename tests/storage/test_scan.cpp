// Whole-archive reading and searching: the filters tested on the stored bytes must agree
// with folding the decoded texts, and an archive read on two threads must give exactly
// what one thread gives (lines, order, counts, the record behind a line, failures).

#include "certificates/certsearch.h"
#include "clients/clientsearch.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"

#include <QTemporaryDir>
#include <QtTest>

#include <thread>

#include "support/twothreads.h"

using records::Record;

namespace {

// The filter rule spelled out on decoded texts: fold A-Z in both, then look for the one in
// the other. The byte-level test in lists::Filters must always agree with it.
bool foldedContains(const Record &r, const QString &field, const QString &typed)
{
    return text::isBlank(typed) || text::lowerAscii(r.text(field)).contains(text::lowerAscii(typed));
}

// Raw field contents: the length byte (ShortText) or the zero (ZeroText) is added here,
// so that bytes no card would write (controls, zeros, unassigned code points) are stored
// as another program may have left them.
void storeRaw(Record &r, const QString &field, const QByteArray &bytes, int lengthByte = -1)
{
    const records::Field *f = r.layout().find(field);
    QVERIFY(f && bytes.size() <= f->capacity);
    QByteArray stored = r.layout().encoding() == records::Encoding::ShortText
                            ? char(lengthByte >= 0 ? lengthByte : bytes.size()) + bytes
                            : bytes + '\0';
    r.bytes().replace(f->offset, stored.size(), stored);
}

// Varied client cards: names with accents and mixed case, empty fields. Every card shows
// the same line as the one 600 records before it; only the zone tells them apart.
Record sampleClient(int index)
{
    const int i = index % 600;
    static const char16_t *const names[] = {u"Rossi Mario", u"ROSSI MARIO", u"Nicol\u00f2 Bianchi", u"\u00c8lite S.r.l.",
                                            u"d'Arco Anna", u"Caff\u00e8 \u20ac uro", u"", u"Zanardi Piero"};
    static const char16_t *const towns[] = {u"Roma", u"ROMA", u"Forl\u00ec", u"Sanremo", u"roccaraso", u"Pisa"};
    Record r(records::client());
    r.setText(QStringLiteral("txtCliente"), QString::fromUtf16(names[i % 8]) + (i % 3 ? QStringLiteral(" %1").arg(i % 97) : QString()));
    r.setText(QStringLiteral("txtComuneRes"), QString::fromUtf16(towns[i % 6]));
    r.setText(QStringLiteral("txtRecapito"), QStringLiteral("050 %1").arg(i * 7919 % 1000));
    r.setText(QStringLiteral("txtOccupazione"), i % 5 ? QStringLiteral("Agronomo") : QString());
    r.setText(QStringLiteral("txtProdotti"), i % 4 ? QStringLiteral("Analisi acque, vino") : QStringLiteral("ANALISI terreni"));
    r.setText(QStringLiteral("txtNote"), QStringLiteral("Nota %1 \u00e0 \u0160").arg(i % 11));
    r.setText(QStringLiteral("txtQuestioni"), QStringLiteral("Questione %1").arg(i % 13));
    r.setText(QStringLiteral("chkRicontatta"), i % 3 ? records::kNo : records::kYes);
    r.setText(QStringLiteral("txtZona"), QString::number(index));
    return r;
}

void writeArchive(const QString &path, int count, const QByteArray &tail = {})
{
    QByteArray all;
    for (int i = 0; i < count; ++i)
        all += sampleClient(i).bytes();
    all += tail;
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(all), all.size());
}

using support::TwoThreadSize;
constexpr qint64 kNever = std::numeric_limits<qint64>::max();

bool twoCores()
{
    return std::thread::hardware_concurrency() >= 2;
}

} // namespace

class TestScan : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_archive = m_dir->filePath(QStringLiteral("Clienti.pro"));
    }

    // Every typed filter against every stored text, in a short-text field (clients: read
    // back trimmed) and a zero-ended one (certificates: read back as stored).
    void bytesAgreeWithDecodedTexts_data()
    {
        QTest::addColumn<const records::Layout *>("layout");
        QTest::addColumn<QString>("field");
        QTest::newRow("client name") << &records::client() << QStringLiteral("txtCliente");
        QTest::newRow("certificate conclusions") << &records::certificate() << QStringLiteral("txtConclusioni");
    }
    void bytesAgreeWithDecodedTexts()
    {
        QFETCH(const records::Layout *, layout);
        QFETCH(QString, field);
        const QList<QString> typed = {
            QString(), QStringLiteral("   "), QStringLiteral("ROSSI"), QStringLiteral("rOsSi"), QStringLiteral("ssi m"),
            QStringLiteral(" rossi"), QStringLiteral("rossi "), QStringLiteral("\u00c8"), QStringLiteral("\u00e8"),
            QStringLiteral("caff\u00e8"), QStringLiteral("CAFF\u00c8"), QStringLiteral("\u20ac"),
            QStringLiteral("\u0160a"), QStringLiteral("\u0161A"), QStringLiteral("\u0081"), QStringLiteral("\u0080"),
            QStringLiteral("\u0142\u00f3d\u017a"), QString::fromUtf16(u"\U0001F600"), QStringLiteral("?"),
            QStringLiteral("[\\]"), QStringLiteral("@"), QStringLiteral("`{"), QString(QChar(0)), QStringLiteral("\u00ff"),
            QStringLiteral("\u0178"), QStringLiteral("a\tb"), QStringLiteral("1/2"), QStringLiteral("x"),
        };
        const QList<QByteArray> stored = {
            QByteArray(), QByteArray("Rossi Mario"), QByteArray("  ROSSI MARIO\t "), QByteArray("mario rossi"),
            QByteArray("Caff\xe8 Roma"), QByteArray("CAFF\xc8"), QByteArray("\x80 5,00 \x8a\x9a"),
            QByteArray("\x81\x8d\x8f\x90\x9d"), QByteArray("[\\]^_`{|}~@"), QByteArray("a\tb \xff\x9f"),
            QByteArray("1/2 x", 5), QByteArray("a\0b?", 4), QByteArray(50, 'x'),
        };
        for (const QByteArray &bytes : stored) {
            Record r(*layout);
            storeRaw(r, field, bytes);
            for (const QString &t : typed) {
                lists::Filters f(*layout);
                f.set(field, t);
                QVERIFY2(f.matches(r) == foldedContains(r, field, t),
                         qPrintable(QStringLiteral("typed %1 stored %2").arg(t, QString::fromLatin1(bytes.toHex()))));
            }
        }
        // What the rule gives, for a few of them, so that both sides cannot be wrong alike.
        Record r(*layout);
        storeRaw(r, field, QByteArray("Caff\xe8 \x80 ROSSI"));
        const auto hit = [&](const QString &t) {
            lists::Filters f(*layout);
            f.set(field, t);
            return f.matches(r);
        };
        QVERIFY(hit(QStringLiteral("caff\u00e8 \u20ac rossi")));
        QVERIFY(!hit(QStringLiteral("CAFF\u00c8")));
        QVERIFY(!hit(QStringLiteral("caff? ")));
        QVERIFY(!hit(QString::fromUtf16(u"\U0001F600")));
    }

    // The trimming and the cuts of the short-text readers hold for the byte test too: a
    // length byte over the capacity, blanks and controls at both ends.
    void bytesFollowTheStoredLength()
    {
        Record r(records::client());
        const int capacity = r.layout().find(QStringLiteral("txtProvRes"))->capacity; // 2
        storeRaw(r, QStringLiteral("txtProvRes"), QByteArray("PI"), 200);
        storeRaw(r, QStringLiteral("txtCliente"), QByteArray("\x01 Rossi\x1f "), 5); // "\x01 Ros"
        for (const auto &[field, typed] : std::initializer_list<std::pair<const char *, const char *>>{
                 {"txtProvRes", "pi"}, {"txtProvRes", "pi "}, {"txtCliente", "ros"}, {"txtCliente", "rossi"},
                 {"txtCliente", " ros"}, {"txtCliente", "\x01"}}) {
            lists::Filters f(records::client());
            f.set(QString::fromLatin1(field), QString::fromLatin1(typed));
            QCOMPARE(f.matches(r), foldedContains(r, QString::fromLatin1(field), QString::fromLatin1(typed)));
        }
        QCOMPARE(capacity, 2);
        QCOMPARE(r.text(QStringLiteral("txtProvRes")), QStringLiteral("PI"));
    }

    // A record of the archive big enough for two threads, with a partial record at the end:
    // searches, lists, the record behind a line and the raw scan are the same both ways.
    void twoThreadsGiveWhatOneGives()
    {
        constexpr int kCount = 2001; // 6.8 MB: over the size that takes two threads
        writeArchive(m_archive, kCount, QByteArray("partial tail"));
        if (twoCores())
            QCOMPARE(archive::threadsFor(QFileInfo(m_archive).size()), 2);

        struct Result {
            QList<QStringList> searches;
            QStringList recontact;
            QList<int> positions;
            QList<QByteArray> records;
            QByteArray scanned;
            QList<int> indexes;
        };
        QList<clients::ClientFilters> searches(5);
        searches[1].set(QStringLiteral("txtCliente"), QStringLiteral("ROSSI"));
        searches[2].set(QStringLiteral("txtComuneRes"), QStringLiteral("ro"));
        searches[2].set(QStringLiteral("txtProdotti"), QStringLiteral("analisi"));
        searches[3].set(QStringLiteral("txtCliente"), QStringLiteral("\u00e8lite"));
        searches[3].set(QStringLiteral("txtNote"), QStringLiteral("\u00e0 \u0161"));
        searches[4].set(QStringLiteral("txtCliente"), QStringLiteral("\u00c8lite"));
        searches[4].set(QStringLiteral("txtNote"), QStringLiteral("\u00e0 \u0160"));
        const QStringList chosen = {
            clients::listLine(sampleClient(5), clients::LastColumn::Notes), // in both halves
            clients::listLine(sampleClient(kCount - 1), clients::LastColumn::Notes), // the last record
            clients::listLine(sampleClient(0), clients::LastColumn::Notes),
            QStringLiteral("nessuna riga così"),
        };
        const auto run = [&](qint64 twoThreadSize) {
            TwoThreadSize size(twoThreadSize);
            Result out;
            for (const clients::ClientFilters &f : std::as_const(searches))
                out.searches.append(clients::searchLines(m_archive, f));
            clients::recontactLines(m_archive, out.recontact);
            for (const QString &line : chosen) {
                const auto found = lists::lastRecordOfLine(m_archive, records::client(),
                                                           clients::lineOf(clients::LastColumn::Notes), line);
                out.positions.append(found ? found->position : 0);
                out.records.append(found ? found->record.bytes() : QByteArray());
            }
            archive::scan(m_archive, records::client().size(), [&](int index, QByteArrayView bytes) {
                out.indexes.append(index);
                out.scanned += bytes.toByteArray();
            });
            return out;
        };
        const Result one = run(kNever);
        const Result two = run(0);

        QCOMPARE(one.searches.at(0).size(), kCount);
        QVERIFY(one.searches.at(2).size() > 0 && one.searches.at(2).size() < kCount);
        QVERIFY(one.searches.at(3).isEmpty()); // accented letters are not folded
        QVERIFY(!one.searches.at(4).isEmpty());
        for (int s = 0; s < one.searches.size(); ++s) {
            QCOMPARE(two.searches.at(s).size(), one.searches.at(s).size());
            for (int i = 0; i < one.searches.at(s).size(); ++i)
                QCOMPARE(two.searches.at(s).at(i), one.searches.at(s).at(i));
        }
        QCOMPARE(two.recontact, one.recontact);
        QCOMPARE(one.recontact.size(), (kCount + 2) / 3);
        // The last equal line wins, wherever the halves meet.
        QCOMPARE(one.positions, (QList<int>{1806, kCount, 1801, 0}));
        QCOMPARE(two.positions, one.positions);
        QCOMPARE(two.records, one.records);
        QCOMPARE(one.indexes.size(), kCount);
        QCOMPARE(two.indexes, one.indexes);
        QVERIFY(two.scanned == one.scanned);
        QCOMPARE(one.scanned.size(), qsizetype(kCount) * records::client().size());
    }

    // A failure part way through either half keeps exactly the lines before it, in file
    // order, and is reported; the threads end, and the archive reads again afterwards.
    void failurePartWayKeepsTheLinesBefore_data()
    {
        QTest::addColumn<int>("failAt");
        QTest::addColumn<qint64>("twoThreadSize");
        QTest::newRow("one thread") << 700 << kNever;
        QTest::newRow("first half") << 300 << qint64(0);
        QTest::newRow("second half") << 1700 << qint64(0);
        QTest::newRow("first record of the second half") << 1000 << qint64(0);
    }
    void failurePartWayKeepsTheLinesBefore()
    {
        QFETCH(int, failAt);
        QFETCH(qint64, twoThreadSize);
        constexpr int kCount = 2000;
        writeArchive(m_archive, kCount);
        TwoThreadSize size(twoThreadSize);
        const lists::LineOf numbered = [failAt](records::RecordView r) {
            const QString zone = r.text(QStringLiteral("txtZona"));
            if (zone == QString::number(failAt))
                throw ArchiveError(QStringLiteral("lettura non riuscita"));
            return zone;
        };
        QStringList lines{QStringLiteral("resto di prima")};
        QVERIFY_THROWS_EXCEPTION(ArchiveError, lists::collectLines(m_archive, records::client(), numbered, {}, lines));
        QCOMPARE(lines.size(), failAt);
        for (int i = 0; i < failAt; ++i)
            QCOMPARE(lines.at(i), QString::number(i));
        QVERIFY_THROWS_EXCEPTION(ArchiveError,
                                 lists::lastRecordOfLine(m_archive, records::client(), numbered, QStringLiteral("x")));

        // scan() stops where its callback throws, whether it reads ahead or not.
        int seen = 0;
        QVERIFY_THROWS_EXCEPTION(ArchiveError, archive::scan(m_archive, records::client().size(), [&](int i, QByteArrayView) {
                                     if (i == failAt)
                                         throw ArchiveError(QStringLiteral("interrotto"));
                                     ++seen;
                                 }));
        QCOMPARE(seen, failAt);
        QCOMPARE(clients::searchLines(m_archive, {}).size(), kCount);
    }

    // Small archives, empty or made only of a partial record, read the same on either path.
    void smallArchives_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("missing") << -1 << QByteArray();
        QTest::newRow("empty") << 0 << QByteArray();
        QTest::newRow("only a partial record") << 0 << QByteArray(100, 'x');
        QTest::newRow("one record and a tail") << 1 << QByteArray(3391, 'x');
        QTest::newRow("three records") << 3 << QByteArray();
    }
    void smallArchives()
    {
        QFETCH(int, count);
        QFETCH(QByteArray, tail);
        if (count >= 0)
            writeArchive(m_archive, count, tail);
        for (const qint64 twoThreadSize : {kNever, qint64(0)}) {
            TwoThreadSize size(twoThreadSize);
            QStringList lines = clients::searchLines(m_archive, {});
            QCOMPARE(lines.size(), qMax(count, 0));
            int scanned = 0;
            archive::scan(m_archive, records::client().size(), [&](int i, QByteArrayView) { QCOMPARE(i, scanned++); });
            QCOMPARE(scanned, qMax(count, 0));
        }
        QVERIFY(QFile::exists(m_archive)); // created when missing, as before
    }

    // Certificates are read two at a time too: their untrimmed fields filter as before.
    void certificateSearchOnTwoThreads()
    {
        const QString path = m_dir->filePath(QStringLiteral("2024.cda"));
        QByteArray all;
        for (int i = 0; i < 300; ++i) { // 8.8 MB
            Record r(records::certificate());
            r.setText(QStringLiteral("txtCliente"), i % 2 ? QStringLiteral("  Rossi  ") : QStringLiteral("Bianchi"));
            r.setText(QStringLiteral("txtConclusioni"), QStringLiteral("Conforme \u00e8 %1").arg(i));
            r.setText(QStringLiteral("txtNumRap"), QString::number(i));
            all += r.bytes();
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(all);
        f.close();
        certificates::CertificateFilters filters;
        filters.set(QStringLiteral("txtCliente"), QStringLiteral("rossi  "));
        filters.set(QStringLiteral("txtConclusioni"), QStringLiteral("CONFORME \u00e8 1"));
        QStringList one, two;
        {
            TwoThreadSize size(kNever);
            one = certificates::documentLists().search(path, filters);
        }
        {
            TwoThreadSize size(0);
            two = certificates::documentLists().search(path, filters);
        }
        QCOMPARE(two, one);
        QCOMPARE(one.size(), 56); // odd i with a "1" in it, from 1 to 299
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_archive;
};

QTEST_APPLESS_MAIN(TestScan)
#include "test_scan.moc"
