// The logo window: its controls and file dialog, the picture it opens with, the eraser
// and the badge, "Applica e chiudi" writing Logo.bmp as a bitmap at the picture's own
// size, "Annulla", and a save that fails on a read-only folder or a full disk.

#include "storage/programfolder.h"
#include "support/environment.h"
#include "support/messages.h"
#include "support/modal.h"
#include "support/scratchfs.h"
#include "ui/frmlogo.h"
#include "ui/logo.h"
#include "ui/seams.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QImage solid(const QSize &size, const QColor &colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Logo.bmp as it stands: a Windows bitmap by its bytes, read back as a picture.
QImage storedBitmap()
{
    const QByteArray bytes = bytesOf(logo::path());
    if (!bytes.startsWith("BM") || QImageReader(logo::path()).format() != "bmp")
        return {};
    return QImage(logo::path()).convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestLogo : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_elsewhere.reset(new QTemporaryDir);
        ProgramFolder::setOverride(m_dir->path());
        Messages::startRecording();
        FileDialogs::startRecording();
    }
    void cleanup()
    {
        FileDialogs::stopRecording();
        Messages::stopRecording();
        ProgramFolder::setOverride({});
    }

    // The window and its controls; Sfoglia asks the file dialog for a JPEG or bitmap
    // picture, and a cancelled dialog changes nothing.
    void windowAndFileDialog()
    {
        TfrmLogo w(nullptr);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.objectName(), QStringLiteral("frmLogo"));
        QCOMPARE(w.windowTitle(), QStringLiteral(" Impostazione Logo Ditta"));
        QCOMPARE(w.size(), QSize(362, 371));
        QVERIFY(!(w.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));
        QVERIFY(w.imgTitolo->renderer()->isValid());
        QCOMPARE(w.imgLogo->objectName(), QStringLiteral("imgLogo"));
        QCOMPARE(w.imgLogo->size(), QSize(298, 186));
        for (QToolButton *b : {w.imgEuro, w.btnCancLogo}) {
            QCOMPARE(b->size(), QSize(30, 26));
            QVERIFY(!b->icon().isNull());
            QVERIFY(!b->accessibleName().isEmpty());
        }
        // Under the preview, at its lower left and lower right corners.
        const QRect preview(w.imgLogo->mapTo(&w, QPoint(0, 0)), w.imgLogo->size());
        const QRect badge(w.imgEuro->mapTo(&w, QPoint(0, 0)), w.imgEuro->size());
        const QRect eraser(w.btnCancLogo->mapTo(&w, QPoint(0, 0)), w.btnCancLogo->size());
        QCOMPARE(badge.left(), preview.left());
        QCOMPARE(eraser.right(), preview.right());
        QVERIFY(badge.top() > preview.bottom() && eraser.top() > preview.bottom());

        const struct {
            QPushButton *button;
            const char *name, *text;
        } buttons[] = {{w.btnAnnulla, "btnAnnulla", "Annulla"},
                       {w.btnSfoglia, "btnSfoglia", "Sfoglia..."},
                       {w.btnApplica, "btnApplica", "Applica e chiudi"}};
        for (const auto &b : buttons) {
            QCOMPARE(b.button->objectName(), QLatin1String(b.name));
            QCOMPARE(b.button->text(), QLatin1String(b.text));
            QCOMPARE(b.button->accessibleName(), QLatin1String(b.text));
        }
        QVERIFY(w.btnAnnulla->x() < w.btnSfoglia->x() && w.btnSfoglia->x() < w.btnApplica->x());
        QCOMPARE(w.btnApplica->nextInFocusChain(), w.btnAnnulla);
        QCOMPARE(w.btnAnnulla->nextInFocusChain(), w.btnSfoglia);
        QVERIFY(w.btnApplica->isDefault());

        QTest::mouseClick(w.btnSfoglia, Qt::LeftButton); // no answer queued: cancelled
        const QList<FileDialogs::Asked> asked = FileDialogs::taken();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].caption, QStringLiteral("Selezionare il logo della Ditta in formato Jpeg o Bitmap."));
        QCOMPARE(asked[0].filter, QStringLiteral("Immagine JPEG (*.jpg; *.jpeg);;Immagine Bitmap (*.bmp)"));
        QCOMPARE(w.picture(), logo::defaultPicture());
        QVERIFY(w.isVisible());
        QVERIFY(!QFile::exists(logo::path()));
        support::expectNone();
    }

    // On show, and in every print: Logo.bmp, or the built-in picture when the file is
    // missing or is no picture.
    void currentLogo_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("builtIn");
        QBuffer bmp;
        bmp.open(QIODevice::WriteOnly);
        solid(QSize(40, 20), Qt::darkGreen).save(&bmp, "BMP");
        QTest::newRow("no file") << false << QByteArray() << true;
        QTest::newRow("a bitmap") << true << bmp.data() << false;
        QTest::newRow("not a picture") << true << QByteArray("BM\x10\x00 rotto", 10) << true;
        QTest::newRow("empty file") << true << QByteArray() << true;
    }
    void currentLogo()
    {
        QFETCH(bool, present);
        QFETCH(QByteArray, file);
        QFETCH(bool, builtIn);
        if (present) {
            QFile f(logo::path());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(file);
        }
        const QImage expected = builtIn ? logo::defaultPicture() : solid(QSize(40, 20), Qt::darkGreen);
        QCOMPARE(logo::current().convertToFormat(QImage::Format_RGB32), expected);
        TfrmLogo w(nullptr);
        QCOMPARE(w.picture().convertToFormat(QImage::Format_RGB32), expected);
    }

    // The built-in picture: 298 x 186, drawn (not blank), and the blank one 2 x 2 white.
    void builtInPictures()
    {
        const QImage art = logo::defaultPicture();
        QCOMPARE(art.size(), QSize(298, 186));
        QSet<QRgb> colours;
        for (int y = 0; y < art.height(); y += 3)
            for (int x = 0; x < art.width(); x += 3)
                colours.insert(art.pixel(x, y));
        QVERIFY2(colours.size() > 50, "the built-in picture looks empty");
        QCOMPARE(logo::blankPicture(), solid(QSize(2, 2), Qt::white));
    }

    // "Applica e chiudi" writes what the preview shows as a bitmap at its own size and
    // closes; the chosen file itself is neither changed nor copied.
    void applyWritesTheShownPicture_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QSize>("size");
        QTest::newRow("eraser: 2 x 2 white") << "eraser" << QSize(2, 2);
        QTest::newRow("badge: the built-in picture") << "eraser badge" << QSize(298, 186);
        QTest::newRow("a chosen JPEG") << "jpeg" << QSize(120, 80);
        QTest::newRow("a chosen bitmap") << "bmp" << QSize(33, 17);
        QTest::newRow("a chosen file that is no picture") << "eraser broken" << QSize(298, 186);
    }
    void applyWritesTheShownPicture()
    {
        QFETCH(QString, steps);
        QFETCH(QSize, size);
        // An old logo, to be replaced.
        QVERIFY(solid(QSize(7, 7), Qt::blue).save(logo::path(), "BMP"));

        QImage chosen;
        if (steps == QLatin1String("jpeg") || steps == QLatin1String("bmp")) {
            const bool jpeg = steps == QLatin1String("jpeg");
            if (jpeg && !QImageWriter::supportedImageFormats().contains("jpeg"))
                TIRELLO_ENVIRONMENT_MISSING("no JPEG support in this Qt");
            const QString path = m_elsewhere->filePath(jpeg ? QStringLiteral("marchio.jpg") : QStringLiteral("marchio.bmp"));
            QImage source = solid(size, QColor(0xE0, 0x40, 0x20));
            QPainter(&source).fillRect(0, 0, size.width() / 2, size.height() / 2, QColor(0x20, 0x60, 0xC0));
            QVERIFY(source.save(path, jpeg ? "JPG" : "BMP", 95));
            chosen = QImage(path).convertToFormat(QImage::Format_RGB32);
            FileDialogs::queueAnswer(path);
        }
        if (steps.contains(QLatin1String("broken"))) {
            const QString path = m_elsewhere->filePath(QStringLiteral("rotto.jpg"));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("non \xe8 un'immagine");
            f.close();
            FileDialogs::queueAnswer(path);
        }
        const auto before = folderContents(m_elsewhere->path());

        bool opened = false;
        support::onModal(this, [&](QDialog *modal) {
            auto *w = qobject_cast<TfrmLogo *>(modal);
            QVERIFY(w);
            opened = true;
            for (const QString &step : steps.split(u' ')) {
                if (step == QLatin1String("eraser"))
                    QTest::mouseClick(w->btnCancLogo, Qt::LeftButton);
                else if (step == QLatin1String("badge"))
                    QTest::mouseClick(w->imgEuro, Qt::LeftButton);
                else
                    QTest::mouseClick(w->btnSfoglia, Qt::LeftButton);
            }
            QTest::mouseClick(w->btnApplica, Qt::LeftButton);
        });
        logo::open(nullptr);
        QVERIFY(opened);
        QVERIFY(!QApplication::activeModalWidget());
        support::expectNone();

        const QImage stored = storedBitmap();
        QCOMPARE(stored.size(), size);
        if (steps == QLatin1String("eraser"))
            QCOMPARE(stored, solid(QSize(2, 2), Qt::white));
        else if (!chosen.isNull())
            QCOMPARE(stored, chosen); // the decoded picture, pixel for pixel
        else
            QCOMPARE(stored, logo::defaultPicture());
        QCOMPARE(logo::current().convertToFormat(QImage::Format_RGB32), stored);
        QCOMPARE(folderContents(m_elsewhere->path()), before);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{logo::kFileName});
    }

    // "Annulla" after any change leaves Logo.bmp byte for byte as it was, and a window
    // that never had a Logo.bmp writes none.
    void annullaLeavesTheFileUntouched_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("an old logo") << true;
        QTest::newRow("no logo") << false;
    }
    void annullaLeavesTheFileUntouched()
    {
        QFETCH(bool, existing);
        if (existing)
            QVERIFY(solid(QSize(9, 5), Qt::magenta).save(logo::path(), "BMP"));
        const auto before = folderContents(m_dir->path());
        TfrmLogo w(nullptr);
        w.show();
        QTest::mouseClick(w.btnCancLogo, Qt::LeftButton);
        QCOMPARE(w.picture(), logo::blankPicture());
        QTest::mouseClick(w.imgEuro, Qt::LeftButton);
        QCOMPARE(w.picture(), logo::defaultPicture());
        QTest::mouseClick(w.btnAnnulla, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(folderContents(m_dir->path()), before);
        support::expectNone();
    }

    // A save that cannot be made is said, the window stays open with its picture, and
    // the old Logo.bmp keeps every byte with nothing left beside it.
    void failedSaveSaysSoAndKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("read-only folder") << true;
        QTest::newRow("full disk") << false;
    }
    void failedSaveSaysSoAndKeepsTheOldFile()
    {
        QFETCH(bool, readOnly);
        ScratchFs fs;
        if (!fs.mounted() && !readOnly)
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
        const QString folder = fs.mounted() ? fs.path() : m_dir->path();
        ProgramFolder::setOverride(folder);
        QVERIFY(solid(QSize(9, 5), Qt::magenta).save(logo::path(), "BMP"));
        const auto before = folderContents(folder);
        const auto restore = qScopeGuard([&] { restoreFolder(folder); });
        if (readOnly && !makeFolderReadOnly(fs, folder))
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(QStringLiteral("no read-only folder here: ") + fs.reason()));
        if (!readOnly)
            QVERIFY(fs.fill());

        TfrmLogo w(nullptr);
        w.show();
        QTest::mouseClick(w.imgEuro, Qt::LeftButton); // 298 x 186: far more than a full disk takes
        QTest::mouseClick(w.btnApplica, Qt::LeftButton);
        support::expectOne(Messages::Kind::Warning, TfrmLogo::kSaveFailed);
        QVERIFY(w.isVisible());
        QCOMPARE(w.picture(), logo::defaultPicture());
        QCOMPARE(folderContents(folder), before);

        QTest::mouseClick(w.btnAnnulla, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(folderContents(folder), before);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_elsewhere;
};

QTEST_MAIN(TestLogo)
#include "test_logo.moc"
