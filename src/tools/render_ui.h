#pragma once
// Drawing of prepared sheets and the engine's three outputs: the preview window, the
// print dialog with its printer, and PDF files.

#include "tools/template.h"

#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrinter>

class QPainter;
class QWidget;

namespace render {

// Wraps paragraphs of word-wrapping boxes with the metrics of the box's font.
LineBreaker fontLineBreaker();
// prepare() with that line breaker: what every output is given.
Prepared prepareForOutput(const Template &t);

void setPicture(Template &t, const QString &name, const QImage &picture);

// Draws one sheet; the painter's origin must be the corner of the paper.
void paint(QPainter &painter, const PreparedPage &page);
// One sheet as a white picture at the given resolution (dots per inch).
QImage paintImage(const PreparedPage &page, double dpi);

// How the sheets of a document are meant to meet the paper.
enum class Sides {
    One, // as the printer is set
    Two, // one sheet, front and back: the print dialog proposes both faces, long edge
};

// The duplex mode the print dialog starts with: printing on both faces along the long
// edge for a two-sided document when the printer offers it, else the printer's own.
QPrinter::DuplexMode proposedDuplex(Sides sides, QPrinter::DuplexMode current,
                                    const QList<QPrinter::DuplexMode> &supported);

// Modal preview with print, zoom, full screen and close; returns when it is closed.
// zoom 0 fits the page to the window, 1.0 is 100 %. Throws RenderError.
void preview(QWidget *parent, const Prepared &pages, const QString &title, double zoom = 0,
             Sides sides = Sides::One);

// The chosen sheets on a printer as its print dialog left it: the range (all, a range of
// sheets, the current one), the copies and their collation when the driver does not make
// them itself. What print() and the preview's print command do. Throws RenderError.
void printSheets(QPrinter &printer, const Prepared &pages);

// The print dialog on the default printer, then the chosen printer. Cancelling prints
// nothing and returns false; a printer that fails throws RenderError.
bool print(QWidget *parent, const Prepared &pages, const QString &title, Sides sides = Sides::One);

inline const QString kMaker = QStringLiteral("Tirello"); // PDF author and creator

struct PdfProperties {
    QString title;
    QString subject;
    QString author = {}; // empty: the program's name
    // PDF/A-1b, for documents kept for years: every font embedded, the XMP metadata with the
    // same title, author and subject, the sRGB output intent, nothing transparent (Qt's
    // writer lays a picture's transparent parts on white, as on paper). An empty subject is
    // left out.
    bool archival = false;
};

// The sheets as the bytes of a PDF file. Throws RenderError.
QByteArray pdfBytes(const Prepared &pages, const PdfProperties &properties);
// Writes the sheets to a PDF file, replacing it, without any dialog. Throws RenderError.
void exportPdf(const Prepared &pages, const QString &path, const PdfProperties &properties);

// The engine's preview window: Qt's print preview without the commands that would
// change the document (orientation, page setup), plus full screen and close.
namespace detail {
struct PrinterHolder {
    QPrinter heldPrinter{QPrinter::HighResolution};
};
} // namespace detail

class PreviewWindow : private detail::PrinterHolder, public QPrintPreviewDialog {
public:
    PreviewWindow(QWidget *parent, const Prepared &pages, const QString &title, double zoom = 0,
                  Sides sides = Sides::One);
    QString failure() const { return m_failure; } // what went wrong while drawing, if anything

private:
    Prepared m_pages;
    QString m_failure;
};

} // namespace render

// Test seam for previews and prints: while recording no window or dialog opens; each
// output is kept with its sheets. PDF files are still written, and recorded too.
namespace Outputs {

enum class Kind { Preview, Print, Pdf };

struct Taken {
    Kind kind;
    QString title; // the window title, or the PDF title
    render::Prepared pages;
    QString path;    // PDF only
    double zoom = 0; // preview only: as asked of render::preview
    render::Sides sides = render::Sides::One; // previews and prints: as asked
};

void startRecording();
void stopRecording();
void queuePrintAnswer(bool print); // false: the print dialog is cancelled (default: print)
// The next preview or accepted print fails with this message, as a broken printer would.
void queueFailure(const QString &message);
QList<Taken> taken();              // what was output since the last call

} // namespace Outputs
