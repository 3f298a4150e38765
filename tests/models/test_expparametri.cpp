// The model export window: the exact file for a small archive, the grid with its
// editable columns, the questions, the help and a failing write that keeps the old file.

#include "ui/helpwindows.h"
#include "ui/seams.h"
#include "models/frmexpparametri.h"
#include "models/modelsearch.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "ui/exportwindow.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

#include "support/exportfixture.h"

using Messages::Kind;
using records::Record;

namespace {

const QByteArray kHead = support::exportHead("Modelli Analisi");
using support::exportDataRow;
using support::kExportTail;
using support::readAll;

// The header row as the file must carry it: captions and widths in this order.
const QList<std::pair<QByteArray, int>> kHeader = {
    {"Nome analisi", 250},       {"Tipo campione", 300},      {"Parametro 1", 250},  {"Metodo di prova 1", 250},
    {"Parametro 2", 250},        {"Metodo di prova 2", 250},  {"Parametro 3", 250},  {"Metodo di prova 3", 250},
    {"Parametro 4", 250},        {"Metodo di prova 4", 250},  {"Parametro 5", 250},  {"Metodo di prova 5", 250},
    {"Parametro 6", 250},        {"Metodo di prova 6", 250},  {"Parametro 7", 250},  {"Metodo di prova 7", 250},
    {"Parametro 8", 250},        {"Metodo di prova 8", 250},  {"Parametro 9", 250},  {"Metodo di prova 9", 250},
    {"Parametro 10", 250},       {"Metodo di prova 10", 250},
};

QByteArray headerRow()
{
    return support::exportHeaderRow(kHeader);
}

QString two(int k)
{
    return QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
}

// Every row filled, units, limits and an attachment too: only the first ten parameters
// and methods may reach the file.
Record fullModel()
{
    Record r(records::model());
    r.setText(QStringLiteral("txtAnalisi"), QStringLiteral("Acque & bevande"));
    r.setText(QStringLiteral("txtCampione"), QStringLiteral("Pozzo di Forl\u00ec"));
    for (int k = 1; k <= 30; ++k) {
        r.setText(QStringLiteral("txtParametro") + two(k), QStringLiteral("P%1").arg(k));
        r.setText(QStringLiteral("txtMetodo") + two(k), QStringLiteral("M%1").arg(k));
        r.setText(QStringLiteral("txtUM") + two(k), QStringLiteral("U%1").arg(k));
        r.setText(QStringLiteral("txtLimite") + two(k), QStringLiteral("L%1").arg(k));
    }
    r.setText(QStringLiteral("lblFile01"), QStringLiteral("allegato.pdf"));
    return r;
}

// Only rows 11 to 30 in use.
Record lateRowsModel()
{
    Record r(records::model());
    r.setText(QStringLiteral("txtAnalisi"), QStringLiteral("Vini"));
    r.setText(QStringLiteral("txtCampione"), QStringLiteral("Rosso"));
    for (int k = 11; k <= 30; ++k) {
        r.setText(QStringLiteral("txtParametro") + two(k), QStringLiteral("tardi %1").arg(k));
        r.setText(QStringLiteral("txtMetodo") + two(k), QStringLiteral("metodo %1").arg(k));
    }
    return r;
}

} // namespace

class TestExpParametri : public QObject {
    Q_OBJECT
private slots:
    void init() { m_fx.setUp(); }
    void cleanup() { m_fx.tearDown(); }

    void fileForASmallArchive_data()
    {
        QTest::addColumn<int>("models");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("empty archive: header row only") << 0 << kHead + headerRow() + kExportTail;

        QList<QByteArray> full{"Acque &amp; bevande", "Pozzo di Forl\xEC"};
        for (int k = 1; k <= 10; ++k)
            full << "P" + QByteArray::number(k) << "M" + QByteArray::number(k);
        QList<QByteArray> late{"Vini", "Rosso"};
        for (int c = 0; c < 20; ++c)
            late << QByteArray();
        QTest::newRow("two models") << 2 << kHead + headerRow() + exportDataRow(full) + exportDataRow(late) + kExportTail;
    }
    void fileForASmallArchive()
    {
        QFETCH(int, models);
        QFETCH(QByteArray, expected);
        if (models > 0) {
            archive::append(models::archivePath(), fullModel().bytes());
            archive::append(models::archivePath(), lateRowsModel().bytes());
        }
        open();
        QCOMPARE(w()->grdRecords->model()->rowCount(), models);
        exportAnswering({true, false});
        QCOMPARE(readAll(xls()), expected);
        QCOMPARE(Messages::taken().size(), 2);
        QVERIFY(Shell::taken().isEmpty());
    }

    // Column order and widths on screen; only the listed columns can be edited, and an
    // edit reaches the file but never the archive.
    void gridAndEditableColumns()
    {
        archive::append(models::archivePath(), fullModel().bytes());
        const QByteArray archiveBefore = readAll(models::archivePath());
        open();
        QCOMPARE(w()->objectName(), QStringLiteral("frmExpParametri"));
        QCOMPARE(w()->windowTitle(), QStringLiteral(" Esporta archivio modelli di analisi in Microsoft Excel"));
        QCOMPARE(w()->size(), QSize(862, 560));

        QTableView *grid = w()->grdRecords;
        QAbstractItemModel *m = grid->model();
        QCOMPARE(m->columnCount(), 23);
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("N."));
        QCOMPARE(grid->columnWidth(0), 60);
        QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("1"));
        for (int c = 1; c < 23; ++c) {
            QCOMPARE(m->headerData(c, Qt::Horizontal).toString(), QString::fromLatin1(kHeader[c - 1].first));
            QCOMPARE(grid->columnWidth(c), kHeader[c - 1].second);
        }
        QCOMPARE(m->index(0, 21).data().toString(), QStringLiteral("P10"));
        QCOMPARE(m->index(0, 22).data().toString(), QStringLiteral("M10"));
        QCOMPARE(grid->rowHeight(0), 21);
        QVERIFY(grid->alternatingRowColors());

        // Parametro 2, 5, 7, 9, 10 and Metodo di prova 2, 5, 9, 10.
        const QSet<int> editable{5, 6, 11, 12, 15, 19, 20, 21, 22};
        for (int c = 0; c < 23; ++c)
            QVERIFY2(bool(m->flags(m->index(0, c)) & Qt::ItemIsEditable) == editable.contains(c),
                     qPrintable(m->headerData(c, Qt::Horizontal).toString()));
        QVERIFY(!m->setData(m->index(0, 3), QStringLiteral("cambiato")));
        QVERIFY(m->setData(m->index(0, 5), QStringLiteral("  Nitrati  ")));

        exportAnswering({true, false});
        const QByteArray bytes = readAll(xls());
        QVERIFY(bytes.contains("<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">P1</td><td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">M1</td>"
                               "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">Nitrati</td><td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">M2</td>"));
        QVERIFY(!bytes.contains(">P2<"));
        QCOMPARE(readAll(models::archivePath()), archiveBefore);
    }

    void answersDecide()
    {
        archive::append(models::archivePath(), fullModel().bytes());
        open();
        exportAnswering({false});
        QCOMPARE(Messages::taken().size(), 1);
        QVERIFY(!QFileInfo::exists(xls()));

        exportAnswering({true, true});
        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].text, QStringLiteral("Le schede in archivio sono state esportate con successo.\r\n\r\n"
                                               "Si vuole aprire il file di Excel?"));
        QVERIFY(QFileInfo::exists(xls()));
        QCOMPARE(Shell::taken(), QStringList{u'"' + xls() + u'"'});
    }

    void startTextAndHelp()
    {
        open();
        QCOMPARE(w()->panInfo->text(), QStringLiteral("Esportazione archivio in Microsoft Excel."));
        QCOMPARE(w()->cmdEsporta->accessibleDescription(),
                 QStringLiteral("Esporta l'archivio in formato Microsoft Excel."));
        const auto [title, text] = m_fx.pressGuida();
        QCOMPARE(title, QStringLiteral("Esportazione archivio modelli di analisi in Excel"));
        QVERIFY(text.contains(QStringLiteral("Modelli_Analisi.xls")));
    }

#ifdef Q_OS_LINUX
    // A write that fails half way (a full disk) is reported and leaves the previous file
    // as it was, with no stray file beside it.
    void failureKeepsTheOldFile()
    {
        archive::append(models::archivePath(), fullModel().bytes());
        open();
        exportAnswering({true, false});
        const QByteArray old = readAll(xls());
        Messages::taken();

        QVERIFY(w()->model()->setData(w()->model()->index(0, 5), QString(20000, u'x')));
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto *previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = rlim_t(old.size() + 4096);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        Messages::queueAnswer(true);
        QTest::mouseClick(w()->cmdEsporta, Qt::LeftButton);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].kind, Kind::Plain);
        QCOMPARE(shown[1].text, QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                                               "Accertarsi che il file di Excel non sia gi\u00e0 aperto."));
        QVERIFY(Shell::taken().isEmpty());
        QCOMPARE(readAll(xls()), old);
        QCOMPARE(QDir(m_fx.folder()).entryList(QDir::Files),
                 (QStringList{QStringLiteral("Modelli_Analisi.xls"), models::kArchiveName}));
    }
#endif

private:
    TfrmExpParametri *w() const { return m_fx.w(); }
    QString xls() const { return ProgramFolder::file(QStringLiteral("Modelli_Analisi.xls")); }
    void open() { m_fx.open(); }
    void exportAnswering(const QList<bool> &answers) { m_fx.exportAnswering(answers); }

    support::ExportFixture<TfrmExpParametri> m_fx;
};

QTEST_MAIN(TestExpParametri)
#include "test_expparametri.moc"
