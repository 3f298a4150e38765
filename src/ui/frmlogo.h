#pragma once
// The logo window ("Impostazione Logo Ditta"), shared by the test report and certificate
// cards: pick a JPEG or bitmap picture, clear it or go back to the built-in picture, and
// write it as "Logo.bmp" beside the program.

#include <QDialog>
#include <QImage>

class QPushButton;
class QSvgWidget;
class QToolButton;

class TfrmLogo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogo(QWidget *owner);

    static inline const QString kTitle = QStringLiteral(" Impostazione Logo Ditta");
    static inline const QString kDialogTitle =
        QStringLiteral("Selezionare il logo della Ditta in formato Jpeg o Bitmap.");
    // Shown as written; the file dialog seam hands Qt the patterns in its own form.
    static inline const QString kDialogFilter =
        QStringLiteral("Immagine JPEG (*.jpg; *.jpeg);;Immagine Bitmap (*.bmp)");
    static inline const QString kSaveFailed = QStringLiteral(
        "Attenzione: non \u00e8 stato possibile salvare il logo nel file \"Logo.bmp\".\r\n\r\n"
        "Il logo precedente non \u00e8 stato modificato. Controllare che la cartella del programma "
        "sia accessibile in scrittura e che il disco non sia pieno.");

    // The picture shown, and written by "Applica e chiudi".
    const QImage &picture() const { return m_picture; }

    void btnSfogliaClick();   // a JPEG or bitmap from the file dialog
    void btnCancLogoClick();  // the blank picture
    void imgEuroClick();      // the built-in picture
    void btnApplicaClick();   // writes Logo.bmp and closes; a failure is said and the window stays

    QSvgWidget *imgTitolo;
    QWidget *imgLogo;
    QToolButton *imgEuro;
    QToolButton *btnCancLogo;
    QPushButton *btnAnnulla;
    QPushButton *btnSfoglia;
    QPushButton *btnApplica;

    static constexpr QSize kClient{362, 371};

private:
    void showPicture(const QImage &picture);

    QImage m_picture;
};

namespace logo {

// The cards' "Logo" button: a fresh modal window over owner, destroyed afterwards.
void open(QWidget *owner);

} // namespace logo
