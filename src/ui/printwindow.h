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

#include <functional>

class QPushButton;
class QSvgWidget;

namespace printing {

struct Document {
    QString templateName;                 // ":/templates/<name>.json"
    std::function<records::Values()> texts; // object name -> text
    QString stamp = QStringLiteral("txtCalce"); // the object that takes the print stamp; empty: none
    std::function<QHash<QString, QImage>()> pictures = {}; // picture object name -> image; may be empty
    double zoom = 0; // the preview's first zoom: 0 fits the page to the window, 1.0 is 100 %
};

// Loads the template (first page portrait), sets every text, every picture and the
// print stamp. Throws render::RenderError.
render::Template fill(const Document &document);

// The three outputs; each throws render::RenderError.
void preview(QWidget *owner, const Document &document);
bool print(QWidget *owner, const Document &document); // false: the print dialog was cancelled
void pdf(const Document &document, const QString &path);

} // namespace printing

class PrintWindow : public QDialog {
    Q_OBJECT
public:
    enum class Output { Preview, Print };

    struct Setup {
        QString objectName;
        QString title;
        Output output;
        QString action;      // caption of btnStampa
        QString picture;     // the explanatory picture
        QString explanation; // what the picture says, for screen readers
        QString failure;     // warning shown when the document cannot be output
        printing::Document document;
    };
    PrintWindow(QWidget *card, Setup setup);

    // Fills, prepares and outputs the document, then closes the window. A failure is
    // shown as the window's warning; a cancelled print dialog closes without a word.
    void btnStampaClick();

    QSvgWidget *imgLogo01;
    QPushButton *btnAnnulla;
    QPushButton *btnStampa;

    static constexpr QSize kClient{364, 287};

private:
    Setup m_setup;
};
