#pragma once
// The choice of the solar year before a yearly archive is opened: the year field, "Apri",
// "Guida" and "Esci". "Apri" hands the archive of the year (program folder + year +
// extension) and the card's title to the card of its kind and opens it; closing without
// "Apri" returns to the launcher. Both document kinds use it with their own texts.

#include "ui/helptopics.h"
#include "ui/widgets.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class YearWindow : public WorkWindow {
    Q_OBJECT
public:
    struct Description {
        QString objectName;  // "frmMenuRapporti"
        QString title;       // " Tirello - Rapporti di prova"
        QString banner;      // ":/img/..." picture with the kind's words
        QString bannerWords; // what the banner says, for screen readers
        QString intro;       // lblInfo
        QString heading;     // intAnnoPreventivi: "Archivio rapporti di prova"
        QString extension;   // ".rdp"
        QString tag;         // the value of lblMemory that opens the card: "rapporti"
        QString cardTitle;   // the card's caption before the year
        help::Topic (*topic)();
    };
    // The card to open: given the archive path and the title, it takes them; then it is
    // shown. home: the launcher.
    YearWindow(const Description &description, QWidget *home, QWidget *card,
               std::function<void(const QString &archivePath, const QString &title)> handOver);

    static inline const QString kFourDigits =
        QStringLiteral("Attenzione: indicare l'anno solare utilizzando quattro cifre.");
    static inline const QString kStart = QStringLiteral("avvio");

    QLabel *lblInfo;
    QLabel *intAnnoPreventivi;
    QLabel *titAnnoPreventivi;
    QLineEdit *txtAnnoPreventivi;
    QPushButton *btnApriPreventivi;
    QToolButton *imgGuida;
    QToolButton *imgEsci;
    QLabel *lblMemory;

    void btnApriPreventiviClick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Description m_d;
    QWidget *m_home;
    QWidget *m_card;
    std::function<void(const QString &, const QString &)> m_handOver;
};
