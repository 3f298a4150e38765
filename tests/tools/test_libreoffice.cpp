// Every export, opened by LibreOffice Calc (headless, converted to CSV): each cell reads
// back exactly as the record holds it — accents, the euro sign, & < >, long texts and
// codes with leading zeros that must stay text.

#include "certificates/certexport.h"
#include "clients/clientexport.h"
#include "models/modelexport.h"
#include "reports/reportexport.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"
#include "tools/spreadsheet.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include "support/environment.h"
#include <QtTest>

namespace {

// Cells of a CSV file written as comma-separated, double-quoted UTF-8.
QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                cell += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.append(cell);
            cell.clear();
        } else if (c == u'\n') {
            row.append(cell);
            rows.append(row);
            row.clear();
            cell.clear();
        } else if (c != u'\r') {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty()) {
        row.append(cell);
        rows.append(row);
    }
    return rows;
}

// A value for every field that tries the reader: leading zeros, accents, the euro sign,
// markup characters, and as long as the field allows.
QString trickyValue(const records::Field &f, int record)
{
    const QStringList samples{QStringLiteral("00743110157"), QStringLiteral("00100"),
                              QStringLiteral("Citt\u00e0 & Forl\u00ec <sede> \u20ac 12,50"),
                              QStringLiteral("0012/2025"), QStringLiteral("01/02/2025")};
    QString v = samples[(f.offset / 7 + record) % samples.size()];
    if (f.name.endsWith(QLatin1String("01")) || f.name == u"txtNote")
        v = QString(f.capacity, u'L').replace(0, 6, QStringLiteral("Lungo "));
    return v.left(f.capacity);
}

} // namespace

class TestLibreOffice : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (m_soffice.isEmpty())
            TIRELLO_ENVIRONMENT_MISSING("LibreOffice (soffice) is not installed: the exports are not opened in a spreadsheet program");
    }

    void everyExportOpensIntact()
    {
        QTemporaryDir dir;
        struct Export {
            const spreadsheet::Sheet *sheet;
            const records::Layout *layout;
        };
        const Export exports[] = {{&clients::exportSheet(), &records::client()},
                                  {&models::exportSheet(), &records::model()},
                                  {&reports::exportSheet(), &records::report()},
                                  {&certificates::exportSheet(), &records::certificate()}};
        QList<spreadsheet::Grid> grids;
        QStringList files;
        for (const Export &e : exports) {
            const QString archive = dir.filePath(e.sheet->fileName + QStringLiteral(".archivio"));
            for (int n = 0; n < 3; ++n) {
                records::Record r(*e.layout);
                for (const records::Field &f : e.layout->fields())
                    r.setText(f.name, trickyValue(f, n));
                archive::append(archive, r.bytes());
            }
            spreadsheet::Grid grid(int(e.sheet->columns.size()));
            QVERIFY(spreadsheet::fill(grid, *e.sheet, *e.layout, archive));
            const QString file = dir.filePath(e.sheet->fileName);
            QVERIFY(spreadsheet::save(file, *e.sheet, grid));
            grids.append(grid);
            files.append(file);
        }

        // One conversion for the four files, with a profile of its own.
        QProcess lo;
        lo.setWorkingDirectory(dir.path());
        QStringList args{QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profilo")),
                         QStringLiteral("--headless"), QStringLiteral("--infilter=HTML (StarCalc)"),
                         QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
                         QStringLiteral("--outdir"), dir.path()};
        args += files;
        lo.start(m_soffice, args);
        QVERIFY2(lo.waitForFinished(180000), "LibreOffice did not finish");

        for (int i = 0; i < files.size(); ++i) {
            const spreadsheet::Sheet &sheet = *exports[i].sheet;
            QFile csv(QString(files[i]).replace(QStringLiteral(".xls"), QStringLiteral(".csv")));
            QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(csv.fileName()));
            const QList<QStringList> rows = parseCsv(QString::fromUtf8(csv.readAll()));
            QCOMPARE(rows.size(), 1 + grids[i].rowCount());
            for (int c = 0; c < sheet.columns.size(); ++c)
                QCOMPARE(rows[0].value(c), sheet.columns[c].caption);
            for (int r = 0; r < grids[i].rowCount(); ++r)
                for (int c = 0; c < sheet.columns.size(); ++c)
                    QVERIFY2(rows[r + 1].value(c) == grids[i].cell(r, c).toString(),
                             qPrintable(QStringLiteral("%1 row %2 column %3: \"%4\" instead of \"%5\"")
                                            .arg(sheet.fileName).arg(r + 1).arg(c + 1)
                                            .arg(rows[r + 1].value(c), grids[i].cell(r, c).toString())));
        }
    }

private:
    QString m_soffice;
};

QTEST_GUILESS_MAIN(TestLibreOffice)
#include "test_libreoffice.moc"
