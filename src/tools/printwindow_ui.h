#pragma once
// The small window that every document print and preview command opens: an explanatory
// picture, Annulla and the button that fills the document from its card and outputs it.

#include "tools/template.h"

#include <QDialog>

#include <functional>

class QPushButton;
class QSvgWidget;

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
        // The document filled from the card as it is at that moment. Throws RenderError.
        std::function<render::Template()> document;
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
