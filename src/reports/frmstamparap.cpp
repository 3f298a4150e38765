#include "frmstamparap.h"

#include "limits.h"
#include "reportsheet.h"

#include "storage/log.h"
#include "storage/settings.h"

#include <memory>

TfrmAnteprimaRap::TfrmAnteprimaRap(QWidget *owner, std::function<records::Values()> values)
    : LogoPrintWindow(owner, Output::Preview, QStringLiteral("frmAnteprimaRap"), QStringLiteral(" Anteprima di stampa"),
                      std::bind_front(&reports::reportSheet, std::move(values)))
{
}

TfrmStampaRap::TfrmStampaRap(QWidget *owner, std::function<records::Values()> values, Issue issue)
    : LogoPrintWindow(owner, Output::Print, QStringLiteral("frmStampaRap"), QStringLiteral(" Stampa rapporto di prova"),
                      std::bind_front(&reports::reportSheet, std::move(values)), std::move(issue))
{
}

namespace {

// The printing option; a settings file that cannot be read prints the page as it is.
bool highlightOn()
{
    try {
        return settings::readHighlightOutOfLimit(settings::filePath());
    } catch (const std::exception &e) {
        qCWarning(lcTirello) << "print highlighting setting not read:" << e.what();
        return false;
    }
}

// Whether the text shows whole on one line of the box.
bool fits(const render::Object &box, const QString &text)
{
    render::Object probe = box;
    probe.wrap = true;
    return render::fontLineBreaker()(probe, text).size() <= 1;
}

// The mark after a result out of its limit, as much of it as the cell has room for: the
// value itself must never be cut for it.
QString marked(const render::Object &cell)
{
    for (const QString &mark : {reports::kOutOfLimitMark, QStringLiteral("(*)")})
        if (fits(cell, cell.text + mark))
            return cell.text + mark;
    return cell.text + u'*';
}

// The results of these rows in bold with their mark, and the note that explains it: in
// the remarks box under the remarks while they leave room for it (up to two lines), else
// in the blank between that box and the one below it. Nothing else on the page moves.
void markOutOfLimit(render::Template &t, const QList<int> &rows)
{
    if (rows.isEmpty())
        return;
    for (int row : rows) {
        render::Object &cell = t.textBox(reports::resultField(row));
        cell.bold = true;
        cell.text = marked(cell);
    }

    const QString remarksName = QStringLiteral("txtOsservazioni");
    const render::Placed *remarks = render::prepareForOutput(t).value(0).find(remarksName);
    const QRectF remarksBox = t.object(remarksName).rect;
    const QRectF frame = t.object(QStringLiteral("Shape22")).rect;
    render::Object note;
    note.name = reports::kOutOfLimitNoteObject;
    note.kind = render::Kind::Text;
    note.text = reports::kOutOfLimitNote;
    note.size = 7;
    note.wrap = false;
    // A 7-point line is 2.96 mm high and its ink, brackets and tails included, lies from
    // 0.55 to 2.85 mm under its top. Its bottom 0.2 mm above the frame's, the line clears
    // two lines of remarks; its top 0.2 mm above the frame's bottom, it clears both frames.
    const double pitch = render::linePitch(note);
    const bool inFrame = !remarks || remarks->lines.size() <= 2;
    const double top = inFrame ? frame.bottom() - 0.2 - pitch : frame.bottom() - 0.2;
    note.rect = QRectF(remarksBox.left(), top, remarksBox.width(), pitch);
    t.pages[0].objects.append(note);
}

} // namespace

namespace reports {

printing::Document reportSheet(std::function<records::Values()> values, const QImage *logo)
{
    // The rows to mark are known once the card's values are read, with the texts.
    auto rows = std::make_shared<QList<int>>();
    printing::Document document = LogoPrintWindow::document(
        kSheetTemplate,
        [values = std::move(values), rows] {
            const records::Values card = values();
            *rows = highlightOn() ? outOfLimitRows(card) : QList<int>{};
            return sheetTexts(card);
        },
        logo);
    document.finish = [rows](render::Template &t) { markOutOfLimit(t, *rows); };
    return document;
}

void openPreview(QWidget *owner, std::function<records::Values()> values)
{
    TfrmAnteprimaRap window(owner, std::move(values));
    window.exec();
}

void openPrint(QWidget *owner, std::function<records::Values()> values, PrintWindow::Issue issue)
{
    TfrmStampaRap window(owner, std::move(values), std::move(issue));
    window.exec();
}

} // namespace reports
