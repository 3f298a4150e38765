// The help pages, kept as text files with shared parts (docs/aiuto): every page comes out
// whole, and a shared sentence is the same wherever it is used.

#include "ui/helptopics.h"

#include <QtTest>

using TopicOf = help::Topic (*)();
Q_DECLARE_METATYPE(TopicOf)

class TestHelpPages : public QObject {
    Q_OBJECT
private slots:
    void everyPageComesOutWhole_data()
    {
        QTest::addColumn<TopicOf>("topic");
        QTest::addColumn<QString>("title");
        QTest::newRow("overview") << TopicOf(&help::overview) << "Uno sguardo ad Tirello";
        QTest::newRow("clients") << TopicOf(&help::clients) << "App Anagrafica clienti";
        QTest::newRow("client export") << TopicOf(&help::clientExport) << "Esportazione archivio clienti in Excel";
        QTest::newRow("models") << TopicOf(&help::models) << "App Modelli di analisi";
        QTest::newRow("model export") << TopicOf(&help::modelExport)
                                      << "Esportazione archivio modelli di analisi in Excel";
        QTest::newRow("reports") << TopicOf(&help::reports) << "App Rapporti di prova";
        QTest::newRow("report export") << TopicOf(&help::reportExport)
                                       << "Esportazione archivio rapporti di prova in Excel";
        QTest::newRow("certificates") << TopicOf(&help::certificates) << "App Certificati di analisi chimica";
        QTest::newRow("certificate export") << TopicOf(&help::certificateExport)
                                            << "Esportazione archivio certificati di analisi chimica in Excel";
    }
    void everyPageComesOutWhole()
    {
        QFETCH(TopicOf, topic);
        QFETCH(QString, title);
        const help::Topic t = topic();
        QCOMPARE(t.title, title);
        // Paragraphs apart by CR LF CR LF, nothing left of the parts or of the notes.
        const QStringList paragraphs = t.text.split(QStringLiteral("\r\n\r\n"));
        QVERIFY(paragraphs.size() >= 3);
        for (const QString &p : paragraphs) {
            QVERIFY2(!p.isEmpty() && p == p.trimmed(), qPrintable(p));
            for (const char *left : {"{{", "}}", "{1}", "{2}", "\n", "\r", "#", "  "})
                QVERIFY2(!p.contains(QLatin1String(left)), qPrintable(QStringLiteral("%1 in: %2").arg(left, p)));
        }
    }

    // The overview holds each app's page as it is, and a part takes each page's own words.
    void sharedTextIsTheSameEverywhere()
    {
        const QString overview = help::overview().text;
        for (TopicOf app : {&help::clients, &help::models, &help::reports, &help::certificates})
            QVERIFY(overview.contains(app().text));
        for (const auto &[topic, words] :
             {std::pair{&help::clients, "alla scheda del cliente"}, std::pair{&help::models, "al modello"},
              std::pair{&help::reports, "al rapporto di prova"},
              std::pair{&help::certificates, "al certificato di analisi chimica"}})
            QVERIFY(topic().text.contains(QStringLiteral("Il pulsante Allega file permette di collegare %1 fino a tre "
                                                         "file, ciascuno con una breve descrizione.")
                                              .arg(QString::fromUtf8(words))));
        QVERIFY(help::certificateExport().text.contains(
            QStringLiteral("il file Certificati_Analisi_Chimica.xls nella cartella del programma")));
    }
};

QTEST_GUILESS_MAIN(TestHelpPages)
#include "test_helppages.moc"
