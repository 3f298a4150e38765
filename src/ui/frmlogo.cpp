#include "frmlogo.h"

#include "storage/programfolder.h"
#include "tools/template.h"
#include "ui/logo.h"
#include "ui/seams.h"
#include "ui/widgets.h"

#include <QFrame>
#include <QPainter>
#include <QPushButton>
#include <QSvgWidget>
#include <QToolButton>

namespace {

const QColor kTop{0x69, 0x9B, 0xC5};
const QColor kLightSteelBlue{0xB0, 0xC4, 0xDE};

// The picture fitted inside the box with its proportions kept, in the middle, on a pale
// ground so that a white picture still shows its size.
class LogoView : public QWidget {
public:
    LogoView(QWidget *parent, const QImage *picture) : QWidget(parent), m_picture(picture) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0xDC, 0xE6, 0xF0));
        if (!m_picture->isNull()) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(render::fitPicture(QRectF(rect()), QSizeF(m_picture->size()), true), *m_picture);
        }
        p.setPen(QColor(0x1F, 0x4E, 0x79));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    const QImage *m_picture;
};

} // namespace

TfrmLogo::TfrmLogo(QWidget *owner) : QDialog(owner)
{
    look::toolWindow(this, QStringLiteral("frmLogo"), kTitle, kClient, kTop);

    auto *panTitolo = new QFrame(this);
    panTitolo->setObjectName(QStringLiteral("panTitolo"));
    panTitolo->setGeometry(0, 0, kClient.width(), 84);
    panTitolo->setStyleSheet(QStringLiteral("#panTitolo { background: white; }"));
    imgTitolo = new QSvgWidget(QStringLiteral(":/img/logo/titolo.svg"), panTitolo);
    imgTitolo->setObjectName(QStringLiteral("imgTitolo"));
    imgTitolo->setGeometry(0, 0, kClient.width(), 84);
    imgTitolo->setAccessibleName(QStringLiteral("Impostazione logo Ditta. Caricare il logo della Ditta come "
                                                "immagine JPEG o Bitmap di 298 \u00d7 186 pixel."));

    auto *panLogo = new QFrame(this);
    panLogo->setObjectName(QStringLiteral("panLogo"));
    panLogo->setGeometry(16, 92, 330, 224);
    look::setGradient(panLogo, look::kSteelBlue, kLightSteelBlue);

    imgLogo = new LogoView(panLogo, &m_picture);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(16, 8, logo::kDefaultSize.width(), logo::kDefaultSize.height());
    imgLogo->setAccessibleName(QStringLiteral("Anteprima del logo"));

    // The two picture buttons under the preview's lower corners, 30 x 26 each.
    imgEuro = look::pictureButton(panLogo, QStringLiteral("imgEuro"), QStringLiteral(":/img/logo/badge.svg"),
                                  QSize(24, 20), QStringLiteral("Logo predefinito"));
    imgEuro->move(16, 8 + 186 + 4);
    btnCancLogo = look::pictureButton(panLogo, QStringLiteral("btnCancLogo"), QStringLiteral(":/img/logo/gomma.svg"),
                                      QSize(24, 20), QStringLiteral("Cancella il logo"));
    btnCancLogo->move(16 + 298 - btnCancLogo->width(), 8 + 186 + 4);

    btnAnnulla = look::button(this, QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"));
    btnAnnulla->setGeometry(16, 326, 90, 34);
    btnSfoglia = look::button(this, QStringLiteral("btnSfoglia"), QStringLiteral("Sfoglia..."));
    btnSfoglia->setGeometry(114, 326, 90, 34);
    btnApplica = look::button(this, QStringLiteral("btnApplica"), QStringLiteral("Applica e chiudi"));
    btnApplica->setGeometry(212, 326, 134, 34);
    btnApplica->setDefault(true);
    setTabOrder(btnApplica, btnAnnulla);
    setTabOrder(btnAnnulla, btnSfoglia);
    setTabOrder(btnSfoglia, imgEuro);
    setTabOrder(imgEuro, btnCancLogo);
    btnApplica->setFocus();

    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnSfoglia, &QPushButton::clicked, this, &TfrmLogo::btnSfogliaClick);
    connect(btnApplica, &QPushButton::clicked, this, &TfrmLogo::btnApplicaClick);
    connect(imgEuro, &QToolButton::clicked, this, &TfrmLogo::imgEuroClick);
    connect(btnCancLogo, &QToolButton::clicked, this, &TfrmLogo::btnCancLogoClick);

    showPicture(logo::current());
    look::centreOver(this, owner);
}

void TfrmLogo::showPicture(const QImage &picture)
{
    m_picture = picture;
    imgLogo->update();
}

void TfrmLogo::btnSfogliaClick()
{
    const QString chosen = FileDialogs::openFile(this, kDialogTitle, ProgramFolder::path(), kDialogFilter);
    if (chosen.isEmpty())
        return; // cancelled: nothing changes
    QImage picture;
    if (!picture.load(chosen) || picture.isNull())
        picture = logo::defaultPicture();
    showPicture(picture);
}

void TfrmLogo::btnCancLogoClick()
{
    showPicture(logo::blankPicture());
}

void TfrmLogo::imgEuroClick()
{
    showPicture(logo::defaultPicture());
}

void TfrmLogo::btnApplicaClick()
{
    if (!logo::save(m_picture)) {
        // The old Logo.bmp keeps every byte; the user may try again or give up.
        Messages::warning(this, kSaveFailed);
        return;
    }
    accept();
}

namespace logo {

void open(QWidget *owner)
{
    TfrmLogo window(owner);
    window.exec();
}

} // namespace logo
