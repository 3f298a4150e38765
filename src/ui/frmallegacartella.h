#pragma once
// " Allega file": the three attachments of the record shown on a card. "Sfoglia..." copies
// the chosen file into the attachment folder beside the program, "Apri" opens a copy with
// the program the desktop associates with it, and "Applica e chiudi" writes the names and
// descriptions back into the card's hidden labels, which the card stores with its next
// save. Every card opens it the same way, with its own tag.

#include "storage/attachments.h"

#include <QDialog>

class CardWindow;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
namespace records {
class FieldTarget;
}

class TfrmAllegaCartella : public QDialog {
    Q_OBJECT
public:
    TfrmAllegaCartella(QWidget *owner, records::FieldTarget *target);

    static constexpr int kSlots = 3;
    static constexpr QSize kClient{634, 534};

    static inline const QString kTitle = QStringLiteral(" Allega file");
    static inline const QString kDialogTitle = QStringLiteral("Selezionare il file da allegare:");
    static inline const QString kDialogFilter = QStringLiteral("Tutti i file (*.*)");
    static inline const QString kOverwrite = QStringLiteral(
        "Attenzione: nella cartella dei documenti allegati \u00e8 presente un file con lo stesso nome.\r\n\r\n"
        "Si vuole sovrascrivere il file esistente?");
    // %1 is the file name in each of these.
    static inline const QString kCopyFailed = QStringLiteral(
        "Attenzione: non \u00e8 stato possibile copiare il file \"%1\" nella cartella dei documenti allegati.\r\n\r\n"
        "Il file non \u00e8 stato allegato. %2");
    // The second part of kCopyFailed: the cause, as far as the system tells it.
    static inline const QString kCauseUnknown = QStringLiteral(
        "Controllare che la cartella del programma sia accessibile in scrittura, che il disco non sia pieno e "
        "che il file scelto sia leggibile.");
    static inline const QString kCauseSource = QStringLiteral(
        "Il file scelto non si pu\u00f2 leggere: controllare che esista ancora e di avere il permesso di aprirlo.");
    static inline const QString kCauseNoPermission = QStringLiteral(
        "Il sistema non permette di scrivere nella cartella dei documenti allegati: accertarsi di possedere i "
        "privilegi di scrittura nella cartella di installazione del programma.");
    static inline const QString kCauseDiskFull = QStringLiteral(
        "Il disco della cartella del programma \u00e8 pieno: liberare spazio e allegare di nuovo il file.");
    static inline const QString kCauseNameTooLong = QStringLiteral(
        "Il disco della cartella del programma non accetta un nome cos\u00ec lungo: rinominare il file con un "
        "nome pi\u00f9 breve e allegarlo di nuovo.");
    // kCopyFailed for the file name and the cause of the failure.
    static QString copyFailed(const QString &name, attachments::CopyFailure failure);
    static inline const QString kUnsafeName = QStringLiteral(
        "Attenzione: \"%1\" non \u00e8 un nome di file valido per un allegato.\r\n\r\n"
        "Un allegato \u00e8 indicato dal solo nome del file, senza cartelle, e si trova nella cartella dei "
        "documenti allegati. Scegliere di nuovo il file con il pulsante Sfoglia.");
    static inline const QString kNotStorable = QStringLiteral(
        "Attenzione: il nome del file \"%1\" non pu\u00f2 essere memorizzato nella scheda perch\u00e9 \u00e8 "
        "troppo lungo o contiene caratteri non ammessi.\r\n\r\n"
        "Rinominare il file con un nome pi\u00f9 breve, senza simboli particolari, e allegarlo di nuovo.");
    static inline const QString kMissing = QStringLiteral(
        "Attenzione: il file \"%1\" non \u00e8 presente nella cartella dei documenti allegati.\r\n\r\n"
        "Il file pu\u00f2 essere stato spostato o cancellato: allegarlo di nuovo con il pulsante Sfoglia.");
    static inline const QString kCopying = QStringLiteral("Copia del file \"%1\" nella cartella dei documenti allegati...");

    // The tags of the four cards; "Applica e chiudi" writes back only for these.
    static bool knowsTag(const QString &tag);
    // The card's labels behind slot n (0, 1, 2).
    static QString fileField(int n);
    static QString descField(int n);

    // Slot n (0, 1, 2).
    void btnSfogliaClick(int n);
    void btnApriClick(int n);
    void imgCancellaClick(int n);
    void btnApplicaClick();

    QLabel *lblMemory;
    QLineEdit *txtFile[kSlots];
    QToolButton *imgCancella[kSlots];
    QPushButton *btnSfoglia[kSlots];
    QPushButton *btnApri[kSlots];
    QLineEdit *txtDesc[kSlots];
    QPushButton *btnAnnulla;
    QPushButton *btnApplica;

    // A copy that lasts longer than this, in milliseconds, shows its progress.
    static inline int progressDelay = 500;

private:
    attachments::CopyResult copyWithProgress(const QString &source, const QString &name,
                                             attachments::CopyFailure *failure);

    records::FieldTarget *m_target;
};

namespace attachments {

// A card's "Allega file": a fresh modal window over the card with the card's tag and
// its six attachment labels, trimmed, in the slots; destroyed when it closes.
void open(CardWindow *card, const QString &tag);

} // namespace attachments
