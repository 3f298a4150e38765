// The laboratory's logo on the documents that print it, test reports and certificates:
// Logo.bmp, or the built-in picture when there is none or it is no picture, fitted into
// the 69 x 39 mm frame at its top-left corner with its proportions kept, on the first
// page only. Every case runs for each document.

#include "certificates/frmstampacer.h"
#include "reports/frmstamparap.h"
#include "storage/programfolder.h"
#include "tools/render_ui.h"
#include "ui/logo.h"
#include "ui/seams.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

#include "support/folderfixture.h"
#include "support/sheets.h"

namespace {

struct Document {
    std::function<std::unique_ptr<LogoPrintWindow>()> printWindow;
    int pages;
};

template <class W>
std::function<std::unique_ptr<LogoPrintWindow>()> printWindowOf()
{
    return [] { return std::make_unique<W>(nullptr, [] { return records::Values{}; }); };
}

const QList<Document> &documents()
{
    static const QList<Document> d = {
        {printWindowOf<TfrmStampaRap>(), 1},
        {printWindowOf<TfrmStampaCer>(), 2},
    };
    return d;
}

} // namespace

class TestPrintedLogo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data()
    {
        QTest::addColumn<int>("document");
        QTest::newRow("rapporto di prova") << 0;
        QTest::newRow("certificato") << 1;
    }
    void init() { m_fx.setUp(); }
    void cleanup() { m_fx.tearDown(); }

    void logoFitsItsFrame_data()
    {
        QTest::addColumn<QSize>("file");     // Logo.bmp's size; empty: no picture
        QTest::addColumn<bool>("garbage");   // a Logo.bmp that is no picture
        QTest::addColumn<QColor>("colour");  // of the picture in Logo.bmp
        QTest::addColumn<QSizeF>("printed"); // millimetres
        const QColor red(0xD0, 0x10, 0x10);
        QTest::newRow("no Logo.bmp: the built-in picture") << QSize() << false << QColor() << QSizeF(62.5, 39.0);
        QTest::newRow("unreadable Logo.bmp: the built-in picture") << QSize() << true << QColor() << QSizeF(62.5, 39.0);
        QTest::newRow("wider than 69:39 fills the width") << QSize(690, 100) << false << red << QSizeF(69.0, 10.0);
        QTest::newRow("taller fills the height") << QSize(100, 390) << false << red << QSizeF(10.0, 39.0);
        QTest::newRow("2 x 2 grows to a square") << QSize(2, 2) << false << red << QSizeF(39.0, 39.0);
        QTest::newRow("2 x 2 white, an erased logo, grows to a square")
            << QSize(2, 2) << false << QColor(Qt::white) << QSizeF(39.0, 39.0);
    }
    void logoFitsItsFrame()
    {
        QFETCH_GLOBAL(int, document);
        QFETCH(QSize, file);
        QFETCH(bool, garbage);
        QFETCH(QColor, colour);
        QFETCH(QSizeF, printed);
        if (file.isValid()) {
            QImage image(file, QImage::Format_RGB32);
            image.fill(colour);
            QVERIFY(image.save(logo::path(), "BMP"));
        }
        if (garbage) {
            QFile f(logo::path());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("BM not a picture at all");
        }

        const std::unique_ptr<LogoPrintWindow> window = documents()[document].printWindow();
        window->show();
        QTest::mouseClick(window->btnStampa, Qt::LeftButton);
        const QList<Outputs::Taken> taken = Outputs::taken();
        QCOMPARE(taken.size(), 1);
        QCOMPARE(taken[0].pages.size(), documents()[document].pages);
        for (qsizetype page = 1; page < taken[0].pages.size(); ++page)
            QVERIFY(!taken[0].pages[page].find(QStringLiteral("imgLogo")));
        const QImage picture = file.isValid() ? QImage(logo::path()) : logo::defaultPicture();
        QCOMPARE(picture.size(), file.isValid() ? file : QSize(298, 186));
        // On paper a red picture covers its part of the frame from the top-left corner, the
        // rest of the frame stays white.
        support::expectLogoFrame(taken[0].pages.value(0), picture, printed);
    }

private:
    support::FolderFixture m_fx;
};

QTEST_MAIN(TestPrintedLogo)
#include "test_printedlogo.moc"
