// The client an issued document is mailed to: the addresses an e-mail field gives, and
// which client of the archive the document names.

#include "clients/clientmail.h"
#include "storage/records.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

records::Record client(const QString &name, const QString &vat, const QString &mail)
{
    records::Record r(records::client());
    r.setText(QStringLiteral("txtCliente"), name);
    r.setText(QStringLiteral("txtPartitaIva"), vat);
    r.setText(QStringLiteral("txtEmail"), mail);
    return r;
}

// A field's text stored as given, blanks around it included, as another copy of the
// program or an older one may have left it (the program itself trims what it stores).
records::Record storedAsGiven(records::Record r, const QString &field, const QByteArray &text)
{
    const records::Field &f = r.layout().fields().at(r.layout().indexOf(field));
    r.bytes()[f.offset] = char(text.size());
    r.bytes().replace(f.offset + 1, text.size(), text);
    return r;
}

} // namespace

class TestClientMail : public QObject {
    Q_OBJECT
private slots:
    // Only plain addresses reach the mail program: nothing that it would read as an option,
    // a second address or a part of the message (a mail link's "?attach=").
    void mailAddresses_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("addresses");
        QTest::newRow("one") << " qualita@santagnese.it " << QStringList{"qualita@santagnese.it"};
        QTest::newRow("two, either separator") << "a@b.it; c.d+lab@e.com,f@g.it"
                                               << QStringList{"a@b.it", "c.d+lab@e.com", "f@g.it"};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("no domain") << "mario.rossi" << QStringList{};
        QTest::newRow("an option") << "--attach@x.it" << QStringList{};
        QTest::newRow("a mail link's options") << "a@b.it?attach=/etc/passwd" << QStringList{};
        QTest::newRow("blank inside") << "mario rossi@b.it" << QStringList{};
        QTest::newRow("a name and its address") << "Mario <m@b.it>" << QStringList{};
        QTest::newRow("the bad one left out") << "a@b.it; -x@y.it" << QStringList{"a@b.it"};
    }
    void mailAddresses()
    {
        QFETCH(QString, field);
        QFETCH(QStringList, addresses);
        QCOMPARE(clients::mailAddresses(field), addresses);
    }

    // The client is the one the document names: by name (blanks and A-Z case aside, accents
    // as they are) and, when both have one, by VAT number. Two clients of that name with
    // different addresses leave the choice to the user.
    void recipients_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("vat");
        QTest::addColumn<QStringList>("to");
        QTest::newRow("accented name") << "  caseificio sant'agnese di Nicol\u00f2 & c." << "00743110157"
                                       << QStringList{"qualita@santagnese.it"};
        QTest::newRow("no VAT number on the document") << "Caseificio Sant'Agnese di Nicol\u00f2 & C." << ""
                                                       << QStringList{"qualita@santagnese.it"};
        QTest::newRow("accent differs") << "Caseificio Sant'Agnese di Nicolo & C." << "" << QStringList{};
        QTest::newRow("VAT number differs") << "Caseificio Sant'Agnese di Nicol\u00f2 & C." << "01234567890"
                                            << QStringList{};
        QTest::newRow("two clients, two addresses") << "Rossi Mario" << "" << QStringList{};
        QTest::newRow("two clients, two addresses, the VAT number decides") << "Rossi Mario" << "11111111111"
                                                                           << QStringList{"mario@rossi.it"};
        QTest::newRow("the same address twice") << "Verdi Srl" << "" << QStringList{"info@verdi.it"};
        QTest::newRow("no address") << "Bianchi Anna" << "" << QStringList{};
        QTest::newRow("stored with blanks around") << "Gialli Lab" << "33333333333" << QStringList{"lab@gialli.it"};
        QTest::newRow("nobody") << "Neri" << "" << QStringList{};
        QTest::newRow("no name") << "" << "" << QStringList{};
    }
    void recipients()
    {
        QFETCH(QString, name);
        QFETCH(QString, vat);
        QFETCH(QStringList, to);
        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("Clienti.pro"));
        QByteArray bytes;
        for (const records::Record &r :
             {client(QStringLiteral("Caseificio Sant'Agnese di Nicol\u00f2 & C."), QStringLiteral("00743110157"),
                     QStringLiteral("qualita@santagnese.it")),
              client(QStringLiteral("Rossi Mario"), QStringLiteral("11111111111"), QStringLiteral("mario@rossi.it")),
              client(QStringLiteral("Rossi Mario"), QString(), QStringLiteral("altro@rossi.it")),
              client(QStringLiteral("Verdi Srl"), QString(), QStringLiteral("info@verdi.it")),
              client(QStringLiteral("Verdi Srl"), QStringLiteral("22222222222"), QStringLiteral("info@verdi.it")),
              client(QStringLiteral("Bianchi Anna"), QString(), QString()),
              storedAsGiven(storedAsGiven(client(QString(), QString(), QStringLiteral("lab@gialli.it")),
                                          QStringLiteral("txtCliente"), " Gialli Lab  "),
                            QStringLiteral("txtPartitaIva"), "33333333333 ")})
            bytes += r.bytes();
        QVERIFY(support::writeFile(archive, bytes));
        QCOMPARE(clients::mailRecipients(archive, name, vat), to);
    }

    void missingArchiveIsNotMade()
    {
        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("Clienti.pro"));
        QCOMPARE(clients::mailRecipients(archive, QStringLiteral("Rossi"), QString()), QStringList());
        QVERIFY(!QFileInfo::exists(archive));
    }
};

QTEST_GUILESS_MAIN(TestClientMail)
#include "test_clientmail.moc"
