#pragma once
// Documents and their outputs. A document is a template filled from field texts (taken
// from a card as it stands, saved or not, or from a record), with the print stamp; it
// goes to the preview, the print dialog or a PDF file. PrintWindow is the small window
// that the print and preview commands of the documents open: an explanatory picture,
// Annulla and the button that fills the document and outputs it.

#include "storage/values.h"
#include "tools/render_ui.h"

#include <QDialog>
#include <QHash>
#include <QImage>
#include <QPointF>

#include <functional>
#include <optional>

class QPushButton;
class QSvgWidget;

namespace printing {

struct Document {
    QString templateName;                 // ":/templates/<name>.json"
    std::function<records::Values()> texts; // object name -> text
    QString stamp = QStringLiteral("txtCalce"); // the object that takes the print stamp; empty: none
    std::function<QHash<QString, QImage>()> pictures = {}; // picture object name -> image; may be empty
    double zoom = 0; // the preview's first zoom: 0 fits the page to the window, 1.0 is 100 %
    // Objects this copy of the template places elsewhere: name -> top-left corner (mm).
    QHash<QString, QPointF> moved = {};
    render::Sides sides = render::Sides::One; // Two: one sheet, printed front and back
    // Text boxes that must print whole, as (object name, caption the user knows it by).
    // Before a preview or a print, the user is told which of them would be cut and asked
    // whether to go on.
    QList<std::pair<QString, QString>> whole = {};
    // Last touches on the filled template (a text made bold, an object added), after the
    // texts, pictures and stamp; without it the template stays as filled.
    std::function<void(render::Template &)> finish = {};
};

// Loads the template (first page portrait), places the moved objects, sets every
// text, every picture and the print stamp, then gives the document its last touches.
// Throws render::RenderError.
render::Template fill(const Document &document);

// The captions of the boxes of document.whole that cannot show their whole text in
// the filled template t, in the order of document.whole.
QStringList cutTexts(const Document &document, const render::Template &t);
// The question asked before the output when some texts would be cut.
QString cutTextsQuestion(const QStringList &captions);

// The three outputs; each throws render::RenderError. Preview and print first ask
// about texts that would be cut (see Document::whole); they return false when the user
// answers No or cancels the print dialog, and nothing is output.
bool preview(QWidget *owner, const Document &document);
bool print(QWidget *owner, const Document &document);
void pdf(const Document &document, const QString &path);
// The document as an archival PDF in memory (render::PdfProperties::archival), once the
// user has agreed to any text that would be cut, as before a print; none when the user
// answers No. Throws render::RenderError.
std::optional<QByteArray> archivalPdf(QWidget *owner, const Document &document,
                                      const render::PdfProperties &properties);

} // namespace printing

class PrintWindow : public QDialog {
    Q_OBJECT
public:
    enum class Output { Preview, Print };
    // What "Salva PDF" does with the document: it issues it, telling the user, over the
    // window, how it went.
    using Issue = std::function<void(QWidget *window, const printing::Document &document)>;

    struct Setup {
        QString objectName;
        QString title;
        Output output;
        QString action;      // caption of btnStampa
        QString picture;     // the explanatory picture
        QString explanation; // what the picture says, for screen readers
        QString failure;     // warning shown when the document cannot be output
        printing::Document document;
        Issue issue = {};    // empty: the window has no "Salva PDF"
    };
    PrintWindow(QWidget *card, Setup setup);

    // Fills, prepares and outputs the document, then closes the window. A failure is
    // shown as the window's warning; a cancelled print dialog, or No to the question about
    // texts that would be cut, closes it without a word.
    void btnStampaClick();
    // Issues the document as a PDF file, then closes the window.
    void btnSalvaPdfClick();

    QSvgWidget *imgLogo01;
    QPushButton *btnAnnulla;
    QPushButton *btnStampa;
    QPushButton *btnSalvaPdf = nullptr; // between the two, in a window that issues

    static inline const QString kIssueHint = QStringLiteral(
        "Salva il documento come file PDF nella cartella Documenti_Emessi, da conservare o inviare per posta "
        "elettronica.");

    static constexpr QSize kClient{364, 287};

private:
    Setup m_setup;
};

// The preview or print window of a document that prints the laboratory's logo in its
// picture object "imgLogo" (test report, certificate): the standard picture, captions
// and failure warning of its kind, and the logo read when the window opens (Logo.bmp,
// or the built-in picture).
class LogoPrintWindow : public PrintWindow {
    Q_OBJECT
public:
    // document(logo) is the document to output, printing *logo: the window's imgLogo.
    // With issue, a print window also saves the document as an issued PDF ("Salva PDF").
    LogoPrintWindow(QWidget *owner, Output output, const QString &objectName, const QString &title,
                    const std::function<printing::Document(const QImage *logo)> &document, Issue issue = {});

    static inline const QString kPreviewFailed = QStringLiteral(
        "Attenzione: la visualizzazione dell'anteprima di stampa non \u00e8 andata a buon fine.");
    static inline const QString kPrintFailed = QStringLiteral("Attenzione: la stampa non \u00e8 andata a buon fine.");

    QImage imgLogo; // the logo to print, taken when the window opens

    // Such a document: texts() filling the template, *logo in "imgLogo" (both read when
    // the document is filled), no print stamp, the preview at 100 %.
    static printing::Document document(const QString &templateName, std::function<records::Values()> texts,
                                       const QImage *logo);
};
