#include "ui/listing.h"

#include "ui/seams.h"
#include "storage/programfolder.h"
#include "tools/render_ui.h"

namespace listing {

namespace {
constexpr double kUnitsPerLine = 12.822; // one Courier New 8 line, in layout units
constexpr double kBandExtra = 10;        // the band is this much taller than its lines
} // namespace

void print(QWidget *owner, const QString &title, const QStringList &lines)
{
    try {
        render::Template t = render::Template::load(QStringLiteral("listing"));
        t.setText(QStringLiteral("txtTitolo"), title);
        t.setText(QStringLiteral("txtPagina"), render::printStamp(Clock::now()));
        // One list line is one printed line: a stray line break inside it would push the
        // last lines out of the box.
        QStringList printed;
        printed.reserve(lines.size());
        for (QString line : lines)
            printed.append(line.replace(u'\r', u' ').replace(u'\n', u' '));
        t.setLines(QStringLiteral("txtRiepilogo"), printed);
        const double height = render::unitsToMm(lines.size() * kUnitsPerLine);
        t.setHeight(QStringLiteral("txtRiepilogo"), height);
        t.setHeight(QStringLiteral("MasterData"), height + render::unitsToMm(kBandExtra));
        render::print(owner, render::prepareForOutput(t), title);
    } catch (const render::RenderError &e) {
        Messages::error(owner, e.message());
    }
}

} // namespace listing
