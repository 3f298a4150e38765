#pragma once
// What the test report card and the certificate card share: the toolbar, the general
// data section (laboratory with its logo, client, number and date, sample and analysis
// dates, the signing person), the delivered box and the section buttons, the date fields
// on the calendar, the laboratory block kept in the settings file and "Nuovo" with the
// proposed number. Each card adds its second section and its own texts. A new document
// whose number another station stored after "Nuovo" is not saved before the user has
// been asked.

#include "storage/settings.h"
#include "ui/card.h"
#include "ui/helptopics.h"
#include "ui/printwindow.h"

#include <QHash>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;

class DocumentCard : public CardWindow {
    Q_OBJECT
public:
    using ShowRecord = std::function<void(const records::Record &, int)>;
    using CardValues = std::function<records::Values()>;

    struct FieldSpec {
        const char *field;
        const char *caption;
        int width;
    };
    struct Mandatory {
        const char *field;
        const char *warning;
    };
    struct Description {
        QString objectName;
        QString title;       // before a year is chosen
        settings::DocumentKind kind;
        QString tag;         // "rapporti": the client search's tag and the calendar tags' start
        QString numberWords; // over the number: "RAPPORTO DI PROVA N."
        bool withImport = false; // the model import command
        // Toolbar hints, in toolbar order: Nuovo, Salva, Trova, File, (Importa,)
        // NonConsegnati, Anteprima, Stampa, Esporta, Numerazione; and the four arrows.
        QStringList hints;
        CardWindow::BrowseHints browse;
        QString logoHint;
        QString deliveredHint;
        QString secondSection; // "Risultati analitici  >>"
        QString secondSectionHint;
        QString generalStyle; // style sheet of the general data section
        QList<FieldSpec> signer; // the last fields of the analysis band
        QList<Mandatory> mandatory;
        Messages::Kind saveFailure = Messages::Kind::Error;
        help::Topic (*topic)();
        // The kind's windows.
        void (*openSearch)(QWidget *, const QString &, std::function<void(const records::Record &, int)>);
        void (*openUndelivered)(QWidget *, const QString &, std::function<void(const records::Record &, int)>);
        void (*openExport)(QWidget *, const QString &);
        void (*openPreview)(QWidget *, std::function<records::Values()>);
        // The print window also issues the document as a PDF ("Salva PDF").
        void (*openPrint)(QWidget *, std::function<records::Values()>, PrintWindow::Issue);
    };

    // "Attenzione: il numero ... è già stato assegnato ..." for a number that another
    // station stored since "Nuovo"; words: "rapporto di prova" or "certificato di analisi".
    static QString repeatedNumberQuestion(const QString &number, const QString &proposed, const QString &words);

    static inline const QString kDateHint = QStringLiteral(
        "Fai clic su questo campo e premi un tasto qualsiasi per importare una data dal calendario.");
    // Closing the card could not write the laboratory block back; the card closes all
    // the same and the settings file keeps what it held.
    static inline const QString kLaboratoryNotSaved = QStringLiteral(
        "Attenzione: il sistema non permette di salvare i dati del laboratorio.\n\r\n\r"
        "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");

    QString archivePath() const override; // lblFile
    // What the year window hands over: the archive and the title with the year.
    void openArchive(const QString &archivePath, const QString &title);
    QLineEdit *edit(const QString &name) const; // a field control by its name
    const QList<Mandatory> &mandatoryFields() const { return m_d.mandatory; }

    QLabel *lblFile = nullptr;
    QLabel *lblInizio = nullptr;
    QLabel *lblSolare = nullptr;
    QWidget *panDatiGen = nullptr;
    QWidget *panRisultati = nullptr; // filled by each card
    QCheckBox *chkConsegnato = nullptr;
    QPushButton *btnDatiGen_A = nullptr, *btnRisultati_A = nullptr, *btnDatiGen_B = nullptr,
                *btnRisultati_B = nullptr;
    QToolButton *btnLogo = nullptr, *impCliente = nullptr, *btnOraRic = nullptr, *btnPartitaIvaLab = nullptr,
                *btnCodFiscLab = nullptr, *btnPartitaIva = nullptr, *btnCodFisc = nullptr;
    QToolButton *cmdNuovo = nullptr, *cmdSalva = nullptr, *cmdTrova = nullptr, *cmdFile = nullptr,
                *cmdImporta = nullptr, *cmdNonConsegnati = nullptr, *cmdAnteprima = nullptr, *cmdStampa = nullptr,
                *cmdEsporta = nullptr, *cmdNumerazione = nullptr, *cmdGuida = nullptr, *cmdEsci = nullptr;

    // New document: the proposed number and today's date on a blank card.
    void cmdNuovoClick() override;
    // The second section, then back to the general data.
    void btnRisultatiClick();
    void btnDatiGenClick();
    void btnOraRicClick();
    // Empties the document fields; the laboratory block with its signing person, the
    // number and the date stay.
    void blankCard();
    bool showsSecondSection() const;

protected:
    DocumentCard(const Description &description, const records::Layout &layout, QWidget *home);

    // The second section's first field and what showing it does (a card with pages goes
    // back to the first).
    virtual QWidget *secondSectionFirstField() const = 0;
    virtual void secondSectionShown() {}
    // The footer of the second section with its two buttons; y: its top.
    void buildSecondFooter(int y);
    // A caption over a field, as on the general data section.
    QLineEdit *line(QWidget *parent, const char *name, const char *caption, int x, int y, int width);

    QWidget *firstField() const override;
    bool mandatoryFieldsPresent() override;
    // A new document's number against what other stations stored since "Nuovo".
    std::optional<QString> checkBeforeAppend(RecordFile &file) override;
    bool answerBeforeAppend(Messages::Answer answer) override;
    void becameStored(int position) override;
    Messages::Kind saveFailureKind() const override { return m_d.saveFailure; }
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    // The card base's binding, then the card's one font for every edit and memo. The two
    // kinds call it, under this name, once their controls are all there.
    void bindFields();

private:
    void buildGeneralData();
    // The number "Nuovo" proposes when the archive holds `count` records, with the
    // numbering options it read last (the hidden labels) and `year` for the one that adds
    // it; none for a start that is not a whole number.
    std::optional<QString> numberAfter(int count, int year) const;

    Description m_d;
    // The records the archive held when "Nuovo" proposed the card's number: those stored
    // after them came from other stations meanwhile. None: no proposed number to check.
    std::optional<int> m_numberedAt;
    QString m_proposed;           // the number the last question offered
    bool m_keepNumber = false;    // the user chose to save a repeated number as it is
    // Laboratory values read from the settings that the fields could not hold whole (a
    // file edited by hand): field name, the value read and what the field showed. Written
    // back unchanged while the field still shows that.
    QHash<QString, std::pair<QString, QString>> m_longSettings;
};
