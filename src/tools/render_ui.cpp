#include "render_ui.h"

#include "storage/log.h"
#include "storage/programfolder.h"
#include "storage/safesave.h"

#include <QAction>
#include <QBuffer>
#include <QCoreApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPrintPreviewWidget>
#include <QQueue>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextLayout>
#include <QToolBar>

namespace Outputs {
namespace {
bool g_recording = false;
QQueue<bool> g_answers;
QQueue<QString> g_failures;
QList<Taken> g_taken;

void failIfQueued()
{
    if (!g_failures.isEmpty())
        throw render::RenderError(g_failures.dequeue());
}
} // namespace

void startRecording()
{
    g_recording = true;
    g_answers.clear();
    g_failures.clear();
    g_taken.clear();
}

void stopRecording()
{
    g_recording = false;
}

void queuePrintAnswer(bool print)
{
    g_answers.enqueue(print);
}

void queueFailure(const QString &message)
{
    g_failures.enqueue(message);
}

QList<Taken> taken()
{
    return std::exchange(g_taken, {});
}

} // namespace Outputs

namespace render {
namespace {

constexpr double kReferenceDpi = 1200; // metrics for word wrapping, as on paper

QColor colour(const QString &name)
{
    return name.isEmpty() ? QColor() : QColor::fromString(name);
}

QFont fontOf(const Object &o)
{
    QFont f(o.font);
    f.setPointSizeF(o.size);
    f.setBold(o.bold);
    f.setItalic(o.italic);
    if (o.font.contains(QLatin1String("Courier"), Qt::CaseInsensitive))
        f.setStyleHint(QFont::TypeWriter);
    return f;
}

QPageLayout pageLayout(const PreparedPage &page)
{
    return QPageLayout(QPageSize(QPageSize::A4),
                       page.orientation == Orientation::Portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

void drawPicture(QPainter &p, const Object &o, const QRectF &box)
{
    const QVariant &v = o.picture;
    QImage image;
    if (v.typeId() == QMetaType::QImage || v.typeId() == QMetaType::QPixmap) {
        image = v.value<QImage>();
    } else if (v.typeId() == QMetaType::QString) {
        const QString path = v.toString();
        if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
            QSvgRenderer svg(path);
            if (svg.isValid())
                svg.render(&p, fitPicture(box, svg.defaultSize(), o.centred));
            return;
        }
        image.load(path);
    }
    if (!image.isNull())
        p.drawImage(fitPicture(box, image.size(), o.centred), image);
}

// A printer made ready for the sheets, before its dialog opens: full page, the first
// sheet's layout, both faces proposed for a two-sided document.
void setUp(QPrinter &printer, const Prepared &pages, const QString &title, Sides sides)
{
    printer.setDocName(title);
    printer.setFullPage(true);
    if (!pages.isEmpty())
        printer.setPageLayout(pageLayout(pages.first()));
    if (sides == Sides::Two)
        printer.setDuplex(proposedDuplex(sides, printer.duplex(), QPrinterInfo(printer).supportedDuplexModes()));
}

// --- PDF document properties --------------------------------------------------------------

QByteArray pdfString(const QString &text)
{
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7F;
    if (ascii) {
        QByteArray out = "(";
        for (char c : text.toLatin1()) {
            if (c == '(' || c == ')' || c == '\\')
                out += '\\';
            out += c;
        }
        return out + ')';
    }
    QByteArray utf16 = "\xFE\xFF";
    for (QChar c : text) {
        utf16 += char(c.unicode() >> 8);
        utf16 += char(c.unicode() & 0xFF);
    }
    return '<' + utf16.toHex().toUpper() + '>';
}

// "D:20260314083005Z" and "2026-03-14T08:30:05Z": one moment as the information dictionary
// and the XMP metadata write it.
QByteArray pdfDate(const QDateTime &utc)
{
    return "D:" + utc.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + 'Z';
}

QString xmpDate(const QDateTime &utc)
{
    return utc.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + u'Z';
}

QString producer()
{
    return QStringLiteral("Qt ") + QLatin1String(qVersion());
}

QString author(const PdfProperties &props)
{
    return props.author.isEmpty() ? kMaker : props.author;
}

// The XMP packet of an archival file: the information dictionary's values again, and the
// PDF/A part and conformance.
QByteArray xmpMetadata(const PdfProperties &props, const QDateTime &utc)
{
    const auto e = [](const QString &text) { return text.toHtmlEscaped(); };
    QString x = QStringLiteral("<?xpacket begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
                               "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                               " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                               "  <rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
                               "   <dc:format>application/pdf</dc:format>\n");
    x += QStringLiteral("   <dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt></dc:title>\n")
             .arg(e(props.title));
    x += QStringLiteral("   <dc:creator><rdf:Seq><rdf:li>%1</rdf:li></rdf:Seq></dc:creator>\n").arg(e(author(props)));
    if (!props.subject.isEmpty())
        x += QStringLiteral("   <dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt>"
                            "</dc:description>\n")
                 .arg(e(props.subject));
    x += QStringLiteral("  </rdf:Description>\n"
                        "  <rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
                        "   <xmp:CreatorTool>%1</xmp:CreatorTool>\n"
                        "   <xmp:CreateDate>%2</xmp:CreateDate>\n"
                        "   <xmp:ModifyDate>%2</xmp:ModifyDate>\n"
                        "   <xmp:MetadataDate>%2</xmp:MetadataDate>\n"
                        "  </rdf:Description>\n"
                        "  <rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\">\n"
                        "   <pdf:Producer>%3</pdf:Producer>\n"
                        "  </rdf:Description>\n"
                        "  <rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
                        "   <pdfaid:part>1</pdfaid:part>\n"
                        "   <pdfaid:conformance>B</pdfaid:conformance>\n"
                        "  </rdf:Description>\n"
                        " </rdf:RDF>\n"
                        "</x:xmpmeta>\n")
             .arg(e(kMaker), xmpDate(utc), e(producer()));
    // Room for a later editor to add to the packet in place, as XMP writers leave.
    for (int i = 0; i < 20; ++i)
        x += QString(99, u' ') + u'\n';
    x += QStringLiteral("<?xpacket end=\"w\"?>");
    return x.toUtf8();
}

// Qt's writer sets only title and creator: an incremental update adds a complete
// information dictionary (title, subject, author, creator) after the original file. An
// archival file keeps its identifier in the new trailer, and its dictionary says what its
// XMP metadata says.
QByteArray withProperties(const QByteArray &pdf, const PdfProperties &props, const QDateTime &utc)
{
    const qsizetype trailerAt = pdf.lastIndexOf("trailer");
    const qsizetype startAt = pdf.lastIndexOf("startxref");
    if (trailerAt < 0 || startAt < trailerAt)
        throw RenderError(QStringLiteral("Il file PDF prodotto non \u00e8 leggibile."));
    const QByteArray trailer = pdf.mid(trailerAt, startAt - trailerAt);
    const QString trailerText = QString::fromLatin1(trailer);
    const auto size = QRegularExpression(QStringLiteral("/Size\\s+(\\d+)")).match(trailerText);
    const auto root = QRegularExpression(QStringLiteral("/Root\\s+(\\d+\\s+\\d+\\s+R)")).match(trailerText);
    const auto id = QRegularExpression(QStringLiteral("/ID\\s*(\\[[^\\]]*\\])")).match(trailerText);
    bool ok = false;
    const qlonglong previous = pdf.mid(startAt + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!size.hasMatch() || !root.hasMatch() || !ok || (props.archival && !id.hasMatch()))
        throw RenderError(QStringLiteral("Il file PDF prodotto non \u00e8 leggibile."));

    const int object = size.captured(1).toInt();
    QByteArray out = pdf;
    if (!out.endsWith('\n'))
        out += '\n';
    const qsizetype objectAt = out.size();
    out += QByteArray::number(object) + " 0 obj\n<<\n";
    out += "/Title " + pdfString(props.title) + "\n";
    if (!props.archival || !props.subject.isEmpty())
        out += "/Subject " + pdfString(props.subject) + "\n";
    out += "/Author " + pdfString(author(props)) + "\n";
    out += "/Creator " + pdfString(kMaker) + "\n";
    out += "/Producer " + pdfString(producer()) + "\n";
    out += "/CreationDate (" + pdfDate(utc) + ")\n";
    if (props.archival)
        out += "/ModDate (" + pdfDate(utc) + ")\n";
    out += ">>\nendobj\n";
    const qsizetype xrefAt = out.size();
    out += "xref\n" + QByteArray::number(object) + " 1\n";
    out += QByteArray::number(objectAt).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<<\n/Size " + QByteArray::number(object + 1) + "\n/Root " + root.captured(1).toLatin1()
        + "\n/Info " + QByteArray::number(object) + " 0 R\n/Prev " + QByteArray::number(previous) + "\n";
    if (id.hasMatch())
        out += "/ID " + id.captured(1).toLatin1() + "\n";
    out += ">>\nstartxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
    return out;
}

} // namespace

LineBreaker fontLineBreaker()
{
    return [](const Object &box, const QString &paragraph) {
        static QImage reference = [] {
            QImage image(1, 1, QImage::Format_RGB32);
            image.setDotsPerMeterX(qRound(kReferenceDpi / 0.0254));
            image.setDotsPerMeterY(qRound(kReferenceDpi / 0.0254));
            return image;
        }();
        QStringList lines;
        if (paragraph.isEmpty())
            return QStringList{QString()};
        QTextLayout layout(paragraph, fontOf(box), &reference);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        const double width = std::max(0.0, box.rect.width() - 2 * kTextGap) * kReferenceDpi / 25.4;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.append(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
        // The blank where a line was broken stays at the end of the line: drop it there.
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            while (lines[i].endsWith(u' '))
                lines[i].chop(1);
        return lines;
    };
}

Prepared prepareForOutput(const Template &t)
{
    return prepare(t, fontLineBreaker());
}

void setPicture(Template &t, const QString &name, const QImage &picture)
{
    t.setPicture(name, QVariant::fromValue(picture));
}

void paint(QPainter &p, const PreparedPage &page)
{
    const QPaintDevice *device = p.device();
    const double sx = device->logicalDpiX() / 25.4;
    const double sy = device->logicalDpiY() / 25.4;
    auto px = [&](const QRectF &mm) {
        return QRectF(mm.x() * sx, mm.y() * sy, mm.width() * sx, mm.height() * sy);
    };

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(page.margin * sx, page.margin * sy);
    for (const Placed &placed : page.objects) {
        const Object &o = placed.object;
        p.save();
        switch (o.kind) {
        case Kind::Text: {
            const QRectF clip = px(placed.clip);
            if (clip.isEmpty())
                break;
            if (const QColor fill = colour(o.fill); fill.isValid())
                p.fillRect(clip, fill);
            p.setFont(fontOf(o));
            p.setPen(colour(o.color));
            const int flags = (o.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine;
            for (const TextLine &line : placed.lines) {
                const QRectF slot = px(QRectF(o.rect.left() + kTextGap, line.top, o.rect.width() - 2 * kTextGap,
                                              placed.pitch));
                // The layout shows only the lines that belong in the box; each is drawn
                // whole, cut by the box at its sides only. A line can be taller than its box
                // (8 pt text in 3 mm): cut at the box, g, j, p, q and y would lose their tails.
                const double top = std::min(clip.top(), slot.top());
                const double bottom = std::max(clip.bottom(), slot.bottom());
                p.save();
                p.setClipRect(QRectF(clip.left(), top, clip.width(), bottom - top), Qt::IntersectClip);
                p.drawText(slot, flags, line.text);
                p.restore();
            }
            break;
        }
        case Kind::Picture: {
            const QRectF clip = px(placed.clip);
            if (clip.isEmpty())
                break;
            p.setClipRect(clip, Qt::IntersectClip);
            drawPicture(p, o, px(o.rect));
            break;
        }
        case Kind::Rectangle: {
            const QRectF box = px(o.rect);
            p.setClipRect(px(placed.clip).adjusted(-o.pen * sx, -o.pen * sy, o.pen * sx, o.pen * sy), Qt::IntersectClip);
            if (const QColor fill = colour(o.fill); fill.isValid())
                p.fillRect(box, fill);
            if (const QColor outline = colour(o.outline); outline.isValid()) {
                p.setPen(QPen(outline, o.pen * sx, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
                p.setBrush(Qt::NoBrush);
                p.drawRect(box);
            }
            break;
        }
        case Kind::Line: {
            p.setPen(QPen(colour(o.color), o.pen * sx, Qt::SolidLine, Qt::FlatCap));
            const QRectF r = px(o.rect);
            if (o.vertical)
                p.drawLine(QPointF(r.left(), r.top()), QPointF(r.left(), r.bottom()));
            else
                p.drawLine(QPointF(r.left(), r.top()), QPointF(r.right(), r.top()));
            break;
        }
        }
        p.restore();
    }
    p.restore();
}

QImage paintImage(const PreparedPage &page, double dpi)
{
    const QSizeF paper = page.paper();
    QImage image(qRound(paper.width() / 25.4 * dpi), qRound(paper.height() / 25.4 * dpi), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter p(&image);
    paint(p, page);
    return image;
}

QPrinter::DuplexMode proposedDuplex(Sides sides, QPrinter::DuplexMode current,
                                    const QList<QPrinter::DuplexMode> &supported)
{
    if (sides == Sides::Two && supported.contains(QPrinter::DuplexLongSide))
        return QPrinter::DuplexLongSide;
    return current;
}

void printSheets(QPrinter &printer, const Prepared &pages)
{
    QList<int> chosen;
    for (int i = 0; i < pages.size(); ++i) {
        switch (printer.printRange()) {
        case QPrinter::AllPages:
        case QPrinter::Selection:
            chosen.append(i);
            break;
        case QPrinter::PageRange:
            if (printer.pageRanges().contains(i + 1))
                chosen.append(i);
            break;
        case QPrinter::CurrentPage: // outside the preview the current sheet is the first
            if (i == 0)
                chosen.append(i);
            break;
        }
    }
    if (printer.printRange() == QPrinter::PageRange && printer.pageRanges().isEmpty())
        for (int i = 0; i < pages.size(); ++i)
            chosen.append(i);
    if (chosen.isEmpty())
        return;

    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    QList<int> sequence;
    if (printer.collateCopies())
        for (int c = 0; c < copies; ++c)
            sequence += chosen;
    else
        for (int i : chosen)
            for (int c = 0; c < copies; ++c)
                sequence.append(i);

    // The preview hands over a printer already painting: its layout is set already.
    auto setLayout = [&printer](const PreparedPage &page) {
        const QPageLayout wanted = pageLayout(page);
        if (!printer.pageLayout().isEquivalentTo(wanted))
            printer.setPageLayout(wanted);
    };
    if (!printer.paintingActive()) {
        printer.setFullPage(true);
        setLayout(pages[sequence.first()]);
    }
    QPainter painter;
    if (!painter.begin(&printer))
        throw RenderError(QStringLiteral("Impossibile avviare la stampa sulla stampante \"%1\".").arg(printer.printerName()));
    for (qsizetype n = 0; n < sequence.size(); ++n) {
        const PreparedPage &page = pages[sequence[n]];
        if (n > 0) {
            setLayout(page);
            if (!printer.newPage())
                throw RenderError(QStringLiteral("La stampante \"%1\" non ha accettato la pagina %2.")
                                      .arg(printer.printerName())
                                      .arg(sequence[n] + 1));
        }
        paint(painter, page);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw RenderError(QStringLiteral("La stampa sulla stampante \"%1\" non \u00e8 riuscita.").arg(printer.printerName()));
}

PreviewWindow::PreviewWindow(QWidget *parent, const Prepared &pages, const QString &title, double zoom, Sides sides)
    : QPrintPreviewDialog(&heldPrinter, parent), m_pages(pages)
{
    setObjectName(QStringLiteral("frmAnteprima"));
    setUp(heldPrinter, pages, title, sides);
    setWindowTitle(QStringLiteral(" Anteprima di stampa - ") + title);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    connect(this, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) {
        try {
            printSheets(*target, m_pages);
        } catch (const RenderError &e) {
            m_failure = e.message();
        }
    });

    // The document stays as the program made it: no orientation, no page setup.
    auto translated = [](const char *text) { return QCoreApplication::translate("QPrintPreviewDialog", text); };
    const QStringList hidden{translated("Portrait"), translated("Landscape"), translated("Page setup")};
    QToolBar *bar = findChild<QToolBar *>();
    if (bar) {
        for (QAction *a : bar->actions())
            if (hidden.contains(a->text())) {
                a->setVisible(false);
                a->setEnabled(false);
            }
        bar->addSeparator();
        QAction *full = bar->addAction(QStringLiteral("Schermo intero"));
        full->setObjectName(QStringLiteral("actSchermoIntero"));
        full->setCheckable(true);
        full->setShortcut(QKeySequence(Qt::Key_F11));
        connect(full, &QAction::toggled, this, [this](bool on) {
            setWindowState(on ? (windowState() | Qt::WindowFullScreen) : (windowState() & ~Qt::WindowFullScreen));
        });
        QAction *close = bar->addAction(QStringLiteral("Chiudi"));
        close->setObjectName(QStringLiteral("actChiudi"));
        connect(close, &QAction::triggered, this, &QDialog::reject);
    }
    if (zoom > 0) {
        if (auto *view = findChild<QPrintPreviewWidget *>()) {
            connect(view, &QPrintPreviewWidget::previewChanged, this, [view, zoom, done = false]() mutable {
                if (done)
                    return;
                done = true;
                view->setZoomFactor(zoom);
            });
        }
    }
}

void preview(QWidget *parent, const Prepared &pages, const QString &title, double zoom, Sides sides)
{
    if (Outputs::g_recording) {
        Outputs::failIfQueued();
        Outputs::g_taken.append({Outputs::Kind::Preview, title, pages, {}, zoom, sides});
        return;
    }
    PreviewWindow window(parent, pages, title, zoom, sides);
    window.exec();
    if (!window.failure().isEmpty())
        throw RenderError(window.failure());
}

bool print(QWidget *parent, const Prepared &pages, const QString &title, Sides sides)
{
    if (Outputs::g_recording) {
        const bool answer = Outputs::g_answers.isEmpty() || Outputs::g_answers.dequeue();
        if (answer) {
            Outputs::failIfQueued();
            Outputs::g_taken.append({Outputs::Kind::Print, title, pages, {}, 0, sides});
        }
        return answer;
    }
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, pages, title, sides);
    QPrintDialog dialog(&printer, parent);
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCollateCopies
                      | QAbstractPrintDialog::PrintCurrentPage);
    dialog.setMinMax(1, int(std::max<qsizetype>(1, pages.size())));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printSheets(printer, pages);
    return true;
}

QByteArray pdfBytes(const Prepared &pages, const PdfProperties &properties)
{
    const QDateTime utc = Clock::now().toUTC();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(properties.title);
        writer.setCreator(kMaker);
        if (properties.archival) {
            writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
            writer.setDocumentXmpMetadata(xmpMetadata(properties, utc));
        }
        writer.setResolution(int(kReferenceDpi));
        writer.setPageLayout(pageLayout(pages.isEmpty() ? PreparedPage{} : pages.first()));
        QPainter painter;
        if (!painter.begin(&writer))
            throw RenderError(QStringLiteral("Impossibile preparare il file PDF."));
        for (qsizetype i = 0; i < pages.size(); ++i) {
            if (i > 0) {
                writer.setPageLayout(pageLayout(pages[i]));
                writer.newPage();
            }
            paint(painter, pages[i]);
        }
        painter.end();
    }
    return withProperties(buffer.data(), properties, utc);
}

void exportPdf(const Prepared &pages, const QString &path, const PdfProperties &properties)
{
    const QByteArray bytes = pdfBytes(pages, properties);
    // Written aside and renamed over the old file, so a failure leaves the old one whole.
    QString why;
    if (!safesave::save(path, bytes, &why)) {
        qCWarning(lcTirello) << "PDF not written:" << why;
        throw RenderError(QStringLiteral("Impossibile scrivere il file PDF \"%1\".").arg(path));
    }
    if (Outputs::g_recording)
        Outputs::g_taken.append({Outputs::Kind::Pdf, properties.title, pages, path, 0});
}

} // namespace render
