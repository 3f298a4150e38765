#pragma once
// Browsing and saving protocol shared by the four card windows: first, previous, next,
// last, new, save (overwrite or append), duplicate, the position label and the status
// hints. A card loads and stores a record by walking its field table and the controls
// that carry the same names.

#include "app/widgets.h"
#include "storage/records.h"

#include <QHash>
#include <QList>

class QLabel;
class QToolButton;
struct Workspace;

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
} // namespace cardTexts

class CardWindow : public WorkWindow {
    Q_OBJECT
public:
    CardWindow(Workspace &ws, const QString &objectName, const QString &title, const records::Layout &layout);

    // Protocol commands, as the pictures of the card run them.
    void cmdPrimoClick();
    void cmdIndietroClick();
    void cmdAvantiClick();
    void cmdUltimoClick();
    void cmdNuovoClick();
    void cmdSalvaClick();
    void cmdDuplicaClick();

    // Loads a record into the controls and shows its position (used by the search and
    // summary windows too).
    void showRecord(const records::Record &record, int position);
    void loadRecord(const records::Record &record);
    records::Record storeRecord() const;
    void clearCard();

    QLabel *lblPosizione = nullptr;
    QLabel *panInfo = nullptr;
    QToolButton *cmdPrimo = nullptr;
    QToolButton *cmdIndietro = nullptr;
    QToolButton *cmdAvanti = nullptr;
    QToolButton *cmdUltimo = nullptr;

    virtual QString archivePath() const = 0;
    const records::Layout &layout() const { return m_layout; }

protected:
    // The first field of the card, focused by New and Duplicate.
    virtual QWidget *firstField() const = 0;
    // Shows the warning of the first missing mandatory field; false stops the save.
    virtual bool mandatoryFieldsPresent() = 0;
    // How the card announces a duplicate (the model card warns instead of informing).
    virtual void announceDuplicate();

    // Call at the end of the subclass constructor: binds the controls named after the
    // record's fields and sets their maximum lengths.
    void bindFields();
    // The status bar at the bottom of the panel with the hint line and the arrows.
    void buildStatusBar();
    // A command picture of the right-hand column.
    QToolButton *command(const QString &name, const QString &caption, const QString &hint, int y);
    // Moving the mouse over control writes its hint into panInfo.
    void setHint(QWidget *control, const QString &hint);
    // Moving the mouse over these (background, panels, frames) empties panInfo.
    void clearsHint(QWidget *background);

    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    Workspace &m_ws;

private:
    // Runs a command's archive cycle; any failure shows the archive access message.
    template <typename F>
    void archiveCommand(F &&work);
    int position() const; // throws ArchiveError when the label holds no number

    const records::Layout &m_layout;
    QList<QWidget *> m_controls; // aligned with the layout's fields; null when absent
    QHash<QObject *, QString> m_hints;
};
