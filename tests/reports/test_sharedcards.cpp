// Two stations on one shared folder, at the level of the cards: two card objects, each on
// its own mount of one folder shared through sshfs (see support/sshfs.h). A save over a
// record that the other station saved meanwhile asks first; a new document whose number
// the other station took meanwhile asks first; a card never loads a record that the other
// station is part-way through writing.

#include "certificates/frmcertificati.h"
#include "clients/frmclienti.h"
#include "models/frmparametri.h"
#include "reports/frmrapporti.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "ui/card.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "support/environment.h"
#include "support/messages.h"
#include "support/sshfs.h"

#include <functional>
#include <memory>

#include <sys/wait.h>
#include <unistd.h>

using Messages::Kind;

namespace {

enum class CardKind { Clients, Models, Reports, Certificates };

std::unique_ptr<CardWindow> makeCard(CardKind kind)
{
    switch (kind) {
    case CardKind::Clients: return std::make_unique<TfrmClienti>(nullptr);
    case CardKind::Models: return std::make_unique<TfrmParametri>(nullptr);
    case CardKind::Reports: return std::make_unique<TfrmRapporti>(nullptr);
    case CardKind::Certificates: return std::make_unique<TfrmCertificati>(nullptr);
    }
    return {};
}

// The fields each kind needs filled to be saved.
QStringList mandatory(CardKind kind)
{
    switch (kind) {
    case CardKind::Clients: return {QStringLiteral("txtCliente")};
    case CardKind::Models: return {QStringLiteral("txtAnalisi"), QStringLiteral("txtCampione")};
    default:
        return {QStringLiteral("txtLaboratorio"), QStringLiteral("txtCliente"), QStringLiteral("txtNumRap"),
                QStringLiteral("txtData"),        QStringLiteral("txtAnalisi"), QStringLiteral("txtCampione")};
    }
}

QString archiveName(CardKind kind)
{
    switch (kind) {
    case CardKind::Clients: return QStringLiteral("Clienti.pro");
    case CardKind::Models: return QStringLiteral("Parametri_Chimici.pro");
    case CardKind::Reports: return QStringLiteral("2026.rdp");
    case CardKind::Certificates: return QStringLiteral("2026.cda");
    }
    return {};
}

const records::Layout &layoutOf(CardKind kind)
{
    switch (kind) {
    case CardKind::Clients: return records::client();
    case CardKind::Models: return records::model();
    case CardKind::Reports: return records::report();
    case CardKind::Certificates: return records::certificate();
    }
    return records::client();
}

} // namespace

Q_DECLARE_METATYPE(CardKind)
Q_DECLARE_METATYPE(Messages::Answer)

// One station: a card and the mount it sees the folder through. Its commands run with
// the program folder set to that mount, as on its own computer.
struct Station {
    std::unique_ptr<CardWindow> card;
    QString folder;
    CardKind kind;

    void run(const std::function<void(CardWindow &)> &command) const
    {
        ProgramFolder::setOverride(folder);
        if (auto *document = dynamic_cast<DocumentCard *>(card.get()))
            document->openArchive(QDir(folder).filePath(archiveName(kind)), QString());
        command(*card);
    }
    QString field(const QString &name) const { return card->values().text(name); }
};

class TestSharedCards : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TIRELLO_START_SSHFS_OR_SKIP(m_share);
    }
    void cleanupTestCase() { m_share.stop(); }

    void init() { Messages::startRecording(); }
    void cleanup()
    {
        Messages::stopRecording();
        ProgramFolder::setOverride({});
        const QDir share(m_share.share());
        for (const QString &name : share.entryList(QDir::Files | QDir::Hidden))
            QFile::remove(share.filePath(name));
    }

    // A opens and changes one field, B opened before and changes another: B is asked, and
    // "No" writes nothing and keeps B's screen; "Sì" stores B's screen as it is.
    void saveOverAnotherStationsSaveAsksFirst_data()
    {
        QTest::addColumn<CardKind>("kind");
        QTest::addColumn<QString>("fieldA");
        QTest::addColumn<QString>("fieldB");
        QTest::newRow("client") << CardKind::Clients << "txtTelCasa" << "txtNote";
        QTest::newRow("model") << CardKind::Models << "txtParametro01" << "txtMetodo02";
        QTest::newRow("test report") << CardKind::Reports << "txtRisultato01" << "txtOsservazioni";
        QTest::newRow("certificate") << CardKind::Certificates << "txtMetodi" << "txtConclusioni";
    }
    void saveOverAnotherStationsSaveAsksFirst()
    {
        QFETCH(CardKind, kind);
        QFETCH(QString, fieldA);
        QFETCH(QString, fieldB);
        const Station a{makeCard(kind), m_share.mountA(), kind};
        const Station b{makeCard(kind), m_share.mountB(), kind};
        a.run([&](CardWindow &card) {
            for (const QString &name : mandatory(kind))
                card.setField(name, QStringLiteral("Prova %1").arg(name));
            card.setField(fieldA, QStringLiteral("prima"));
            card.cmdSalvaClick();
        });
        b.run([](CardWindow &card) { card.cmdPrimoClick(); });
        QCOMPARE(b.field(fieldA), QStringLiteral("prima"));
        Messages::taken();

        a.run([&](CardWindow &card) {
            card.setField(fieldA, QStringLiteral("cambiato da A"));
            card.cmdSalvaClick();
        });
        support::expectShown({{Kind::Information, cardTexts::kSavedChanges}});

        const QString path = QDir(m_share.share()).filePath(archiveName(kind));
        const auto stored = [&](const QString &name) {
            return records::Record(layoutOf(kind), archive::readAt(path, layoutOf(kind).size(), 1)).text(name);
        };
        // No: nothing written, B's screen stays for B to copy from.
        b.run([&](CardWindow &card) {
            card.setField(fieldB, QStringLiteral("scritto da B"));
            Messages::queueAnswer(false);
            card.cmdSalvaClick();
        });
        support::expectShown({{Kind::Question, cardTexts::kChangedElsewhere}});
        QCOMPARE(stored(fieldA), QStringLiteral("cambiato da A"));
        QCOMPARE(stored(fieldB), QString());
        QCOMPARE(b.field(fieldB), QStringLiteral("scritto da B"));
        QCOMPARE(b.card->lblPosizione->text(), QStringLiteral("1"));

        // Sì: what B sees is what is stored.
        b.run([&](CardWindow &card) {
            Messages::queueAnswer(true);
            card.cmdSalvaClick();
        });
        support::expectShown({{Kind::Question, cardTexts::kChangedElsewhere},
                                                             {Kind::Information, cardTexts::kSavedChanges}});
        QCOMPARE(stored(fieldA), QStringLiteral("prima"));
        QCOMPARE(stored(fieldB), QStringLiteral("scritto da B"));

        // Its own last save is what B compares with now: no question.
        b.run([](CardWindow &card) { card.cmdSalvaClick(); });
        support::expectShown({{Kind::Information, cardTexts::kSavedChanges}});
        QCOMPARE(archive::count(path, layoutOf(kind).size()), 1);
    }

    // Both stations press "Nuovo" and get the same number; the second to save is asked,
    // with the next number counted under the lock.
    void repeatedNumberAsksFirst_data()
    {
        QTest::addColumn<CardKind>("kind");
        QTest::addColumn<Messages::Answer>("answer");
        QTest::addColumn<QString>("stored");  // the second document's number, empty: not saved
        QTest::addColumn<QString>("question");
        const QString reports = QStringLiteral(
            "Attenzione: il numero 1 \u00e8 gi\u00e0 stato assegnato a un altro rapporto di prova dell'archivio.\n\r\n\r"
            "Si vuole registrare questo rapporto di prova con il numero 2?");
        const QString certificates = QStringLiteral(
            "Attenzione: il numero 1 \u00e8 gi\u00e0 stato assegnato a un altro certificato di analisi "
            "dell'archivio.\n\r\n\rSi vuole registrare questo certificato di analisi con il numero 2?");
        QTest::newRow("report, yes") << CardKind::Reports << Messages::Answer::Yes << "2" << reports;
        QTest::newRow("report, no") << CardKind::Reports << Messages::Answer::No << "1" << reports;
        QTest::newRow("report, cancel") << CardKind::Reports << Messages::Answer::Cancel << "" << reports;
        QTest::newRow("certificate, yes") << CardKind::Certificates << Messages::Answer::Yes << "2" << certificates;
    }
    void repeatedNumberAsksFirst()
    {
        QFETCH(CardKind, kind);
        QFETCH(Messages::Answer, answer);
        QFETCH(QString, stored);
        QFETCH(QString, question);
        const Station a{makeCard(kind), m_share.mountA(), kind};
        const Station b{makeCard(kind), m_share.mountB(), kind};
        const auto fillAndNumber = [&](const Station &s, const QString &client) {
            s.run([&](CardWindow &card) {
                card.cmdNuovoClick();
                for (const QString &name : mandatory(kind))
                    if (name != u"txtNumRap" && name != u"txtData")
                        card.setField(name, client);
            });
        };
        fillAndNumber(a, QStringLiteral("Rossi"));
        fillAndNumber(b, QStringLiteral("Bianchi"));
        QCOMPARE(a.field(QStringLiteral("txtNumRap")), QStringLiteral("1"));
        QCOMPARE(b.field(QStringLiteral("txtNumRap")), QStringLiteral("1"));
        a.run([](CardWindow &card) { card.cmdSalvaClick(); });
        Messages::taken();

        b.run([&](CardWindow &card) {
            Messages::queueAnswer(answer);
            card.cmdSalvaClick();
        });
        const QString path = QDir(m_share.share()).filePath(archiveName(kind));
        const int size = layoutOf(kind).size();
        QList<Messages::Shown> shown{{Kind::Question, question}};
        if (stored.isEmpty()) {
            QCOMPARE(archive::count(path, size), 1);
            QCOMPARE(b.card->lblPosizione->text(), QString());
        } else {
            shown.append({Kind::Information, cardTexts::kInserted});
            QCOMPARE(archive::count(path, size), 2);
            const records::Record second(layoutOf(kind), archive::readAt(path, size, 2));
            QCOMPARE(second.text(QStringLiteral("txtNumRap")), stored);
            QCOMPARE(second.text(QStringLiteral("txtCliente")), QStringLiteral("Bianchi"));
            QCOMPARE(b.field(QStringLiteral("txtNumRap")), stored);
            // Saving over a stored document never asks about its number.
            b.run([](CardWindow &card) { card.cmdSalvaClick(); });
            shown.append({Kind::Information, cardTexts::kSavedChanges});
        }
        support::expectShown(shown);
    }

    // A card loading one position 500 times while another station saves it there: every
    // field always from one save.
    void cardNeverLoadsAHalfWrittenRecord()
    {
        const records::Layout &layout = records::client();
        const auto version = [&](int v) {
            records::Record r(layout);
            for (int i = 0; i < layout.fields().size(); ++i)
                r.setText(i, QString::number(v));
            return r.bytes();
        };
        const QString onDisk = QDir(m_share.share()).filePath(QStringLiteral("Clienti.pro"));
        archive::append(onDisk, version(10));
        const QString throughA = QDir(m_share.mountA()).filePath(QStringLiteral("Clienti.pro"));
        const pid_t saver = ::fork();
        QVERIFY(saver >= 0);
        if (saver == 0) {
            try {
                for (int i = 0; i < 500; ++i)
                    archive::overwriteAt(throughA, 1, version(10 + i % 90));
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        const Station b{makeCard(CardKind::Clients), m_share.mountB(), CardKind::Clients};
        const QStringList names{QStringLiteral("txtCliente"), QStringLiteral("txtProvRes"), QStringLiteral("txtNote"),
                                QStringLiteral("txtIban"), QStringLiteral("lblDesc03")};
        for (int n = 0; n < 500; ++n) {
            b.run([](CardWindow &card) { card.cmdUltimoClick(); });
            const QString first = b.field(names.first());
            for (const QString &name : names)
                QVERIFY2(b.field(name) == first, qPrintable(QStringLiteral("load %1: %2 is %3, %4 is %5")
                                                                .arg(n)
                                                                .arg(names.first(), first, name, b.field(name))));
        }
        int status = 0;
        QCOMPARE(::waitpid(saver, &status, 0), saver);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QVERIFY(Messages::taken().isEmpty());
    }

private:
    support::SshfsPair m_share;
};

QTEST_MAIN(TestSharedCards)
#include "test_sharedcards.moc"
