#pragma once

#include "storage/records.h"
#include "tools/spreadsheet.h"
#include "ui/helptopics.h"
#include "ui/hintline.h"

#include <QDialog>

class HintLine;
class QTableView;
class QToolButton;
class StatusLine;

// The fixed texts of every export window.
namespace exportTexts {
inline const QString kStart = QStringLiteral("Esportazione archivio in Microsoft Excel.");
inline const QString kHintExport = QStringLiteral("Esporta l'archivio in formato Microsoft Excel.");
inline const QString kHintHelp = QStringLiteral("Visualizza la pagina della guida sensibile al contesto.");
inline const QString kHintExit = QStringLiteral("Esci da questo ambiente di lavoro.");
inline const QString kAskExport = QStringLiteral(
    "L'esportazione dei dati in Excel pu\u00f2 richiedere diversi minuti a seconda del numero di schede "
    "presenti in archivio.\r\n\r\nSi vuole esportare i dati adesso?");
inline const QString kAskOpen = QStringLiteral(
    "Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire il file di Excel?");
inline const QString kFailed = QStringLiteral(
    "Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
    "Accertarsi che il file di Excel non sia gi\u00e0 aperto.");
inline const QString kNotReadWhole = QStringLiteral(
    "Attenzione: non \u00e8 stato possibile leggere tutto l'archivio; il file di Excel non \u00e8 stato scritto.\n\r\n\r"
    "Accertarsi di possedere i privilegi di lettura nella cartella di installazione del programma e riaprire "
    "questa finestra.");
} // namespace exportTexts

// The frame every archive export window shares: the banner strip with its three
// commands, the read-only grid of the archive and the status line. The grid is filled
// when the window is first shown; Esporta writes it to the sheet's file beside the program.
class ExportWindow : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        QString objectName;
        QString title;
        const spreadsheet::Sheet *sheet;
        const records::Layout *layout;
        QString archivePath;
        help::Topic (*topic)();
    };
    ExportWindow(QWidget *owner, const Setup &setup);

    void cmdEsportaClick();
    void cmdGuidaClick();
    QString exportPath() const;
    spreadsheet::ArchiveGridModel *model() const { return m_model; }

    QTableView *grdRecords;
    QToolButton *cmdEsporta;
    QToolButton *cmdGuida;
    QToolButton *cmdEsci;
    StatusLine *panInfo;

    static constexpr QSize kClient{862, 560};
    static constexpr int kRowHeight = 21;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillGrid();

    Setup m_setup;
    spreadsheet::ArchiveGridModel *m_model;
    HintLine *m_hints;
    bool m_filled = false;
    bool m_readFailed = false; // the archive could not be read whole
};
