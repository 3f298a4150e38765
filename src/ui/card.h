#pragma once
// The card base every card window stands on: the browsing and saving protocol (first,
// previous, next, last, new, save by position or append, duplicate), the position label,
// the command column, the status line with its hints and the hidden attachment labels.
// A card loads and stores a record by walking its field table and the controls that
// carry the same names.
//
// Several stations may share the archive: a card reads a record under the archive's read
// lock (never half written), and a save by position first checks, in the same hold of the
// write lock as the write, that the record is still what the card loaded or last wrote
// there; when another station saved it meanwhile, the user is asked before it is replaced.

#include "storage/records.h"
#include "storage/values.h"
#include "ui/hintline.h"
#include "ui/seams.h"
#include "ui/widgets.h"

#include <QList>
#include <QSize>

#include <optional>

class QLabel;
class RecordFile;
class QToolButton;

namespace cardTexts {
inline const QString kArchiveAccess = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
    "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");
inline const QString kEmptyArchive = QStringLiteral("L'archivio non contiene nessuna scheda.");
inline const QString kSavedChanges =
    QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");
inline const QString kInserted = QStringLiteral("La scheda corrente \u00e8 stata inserita in archivio.");
inline const QString kDuplicateNeedsStored = QStringLiteral(
    "Attenzione: la duplicazione di una scheda pu\u00f2 avvenire soltanto dopo che questa \u00e8 stata "
    "inserita in archivio.");
inline const QString kDuplicated = QStringLiteral(
    "E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
    "Al termine premere Salva per inserire la scheda in archivio.");
inline const QString kReady = QStringLiteral("Pronto per archiviare una nuova scheda...");
// Saving over a record that another station saved after this card loaded it.
inline const QString kChangedElsewhere = QStringLiteral(
    "Attenzione: dopo l'apertura, questa scheda \u00e8 stata modificata e salvata da un'altra postazione.\n\r\n\r"
    "Si vuole sostituire la versione salvata con quella sullo schermo?");
} // namespace cardTexts

class CardWindow : public WorkWindow, public records::FieldTarget {
    Q_OBJECT
public:
    // home: the window that closing the card brings back (the launcher).
    CardWindow(const QString &objectName, const QString &title, const records::Layout &layout, QWidget *home);

    // Protocol commands, as the pictures of the card run them.
    virtual void cmdPrimoClick();
    virtual void cmdIndietroClick();
    virtual void cmdAvantiClick();
    virtual void cmdUltimoClick();
    virtual void cmdNuovoClick();
    virtual void cmdSalvaClick();
    virtual void cmdDuplicaClick();

    // Loads a record into the controls and shows its position (used by the search and
    // summary windows too).
    void showRecord(const records::Record &record, int position);
    void loadRecord(const records::Record &record);
    records::Record storeRecord() const;
    void clearCard();

    // The card's fields as they stand on screen, saved or not, by field name (memos with
    // their line breaks as typed). Documents are filled from these.
    records::Values values() const;
    // Writes a text into the control of that name, as loading a record would (a flag
    // control takes "Sì" or "No"). A name without a control is skipped.
    void setField(const QString &name, const QString &text) override;
    // Whether the card shows a stored record just as this card last loaded or saved it: no
    // change made on screen since (documents are issued only so).
    bool showsStoredRecord() const;

    QLabel *lblPosizione = nullptr;
    StatusLine *panInfo = nullptr;
    QToolButton *cmdPrimo = nullptr;
    QToolButton *cmdIndietro = nullptr;
    QToolButton *cmdAvanti = nullptr;
    QToolButton *cmdUltimo = nullptr;

    virtual QString archivePath() const = 0;
    const records::Layout &layout() const { return m_layout; }

    // One command picture of the command column or toolbar.
    struct Command {
        QToolButton **button;
        const char *name; // the picture is ":/img/cards/<name>.svg" unless given
        const char *caption;
        const char *hint;
        const char *picture = nullptr;
        QSize size = {}; // in the toolbar: 37 x 39 unless given
    };
    // The hints of the four browsing arrows.
    struct BrowseHints {
        const char *first = "Visualizza la prima scheda in archivio.";
        const char *previous = "Visualizza la scheda precedente in archivio.";
        const char *next = "Visualizza la scheda successiva in archivio.";
        const char *last = "Visualizza l'ultima scheda in archivio.";
    };

protected:
    // A new card's check under the archive's lock, just before it is appended to the
    // archive as it stands now: a question to ask first, or nothing to append at once.
    // While the question is asked the lock is let go; the answer goes to
    // answerBeforeAppend(), and the save then starts again from the card (true) or ends
    // with nothing written (false). A document card checks its number here.
    virtual std::optional<QString> checkBeforeAppend(RecordFile &) { return std::nullopt; }
    virtual bool answerBeforeAppend(Messages::Answer) { return false; }
    // The card became a stored record at this position, loaded or saved.
    virtual void becameStored(int /*position*/) {}

    // The first field of the card, focused by New and Duplicate.
    virtual QWidget *firstField() const = 0;
    // Shows the warning of the first missing mandatory field; false stops the save.
    virtual bool mandatoryFieldsPresent() = 0;
    // The kind of box that reports an archive that Salva cannot write.
    virtual Messages::Kind saveFailureKind() const { return Messages::Kind::Error; }
    // The kind of box that reports an archive that Duplica cannot open.
    virtual Messages::Kind duplicateFailureKind() const { return Messages::Kind::Error; }

    // Call at the end of the subclass constructor: binds the controls named after the
    // record's fields and sets their maximum lengths.
    void bindFields();
    // The hidden labels of the record's attachment fields, on the panel.
    void makeAttachmentLabels();
    // The status bar at the bottom of the panel with the hint line, and with the browsing
    // arrows and the position unless the card has them in its toolbar.
    void buildStatusBar(bool withArrows = true, const QString &colour = QStringLiteral("#1F4E79"));
    // A toolbar of commands in white boxes along the top of the panel; the browsing arrows
    // and the position stand before command number browseAt.
    void commandToolbar(const QList<Command> &commands, int browseAt, const BrowseHints &hints);
    // The command column down the right of the panel, from `top`, one command every `step`.
    void commandColumn(const QList<Command> &commands, int top, int step);
    // Moving the mouse over control writes its hint into panInfo.
    void setHint(QWidget *control, const QString &hint);
    // Moving the mouse over these (background, panels, frames) empties panInfo.
    void clearsHint(QWidget *background);

    void closeEvent(QCloseEvent *event) override;

private:
    // Runs a command's archive cycle; any failure shows the archive access message.
    template <typename F>
    bool archiveCommand(F &&work, Messages::Kind failure = Messages::Kind::Error);
    int shownPosition() const; // throws ArchiveError when the label holds no number
    void buildBrowsing(QWidget *parent, int x, int y, const BrowseHints &hints);
    QWidget *control(const QString &name) const;

    // Reads the record at a position under the archive's read lock and shows it.
    void loadAt(RecordFile &file, int position);
    // The card now shows the record stored at that position with these bytes.
    void rememberStored(const QByteArray &bytes, int position);
    // What the card last loaded from its position or wrote there: a save by position
    // first checks that the archive still holds it. m_loadedAt 0: nothing to check.
    QByteArray m_loaded;
    int m_loadedAt = 0;

    const records::Layout &m_layout;
    QWidget *m_home;
    QList<QWidget *> m_controls; // aligned with the layout's fields; null when absent
    HintLine *m_hints;
};
