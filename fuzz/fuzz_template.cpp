// The template reader with arbitrary JSON. A template it accepts must also lay out:
// prepare() and cutBoxes() end, and every object keeps the unique name it was read with.

#include "fuzzsupport.h"

#include "tools/template.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    render::Template t;
    try {
        t = render::Template::fromJson(fuzz::bytes(data, size), QStringLiteral("prova"));
    } catch (const render::RenderError &e) {
        FUZZ_CHECK(!e.message().isEmpty());
        return 0;
    }
    FUZZ_CHECK(!t.pages.isEmpty());

    QSet<QString> names;
    for (const render::Page &p : std::as_const(t.pages)) {
        QList<const render::Object *> objects;
        for (const render::Object &o : p.objects)
            objects.append(&o);
        for (const render::Band &b : p.bands)
            for (const render::Object &o : b.objects)
                objects.append(&o);
        for (const render::Object *o : objects) {
            FUZZ_CHECK(o->rect.left() >= 0 && o->rect.top() >= 0 && o->rect.width() >= 0 && o->rect.height() >= 0);
            if (o->name.isEmpty())
                continue;
            FUZZ_CHECK(!names.contains(o->name));
            names.insert(o->name);
            FUZZ_CHECK(&t.object(o->name) == o);
        }
    }

    // A word breaker like the printer's, cutting at blanks, so that wrapping is laid out too.
    const render::LineBreaker wrap = [](const render::Object &box, const QString &paragraph) {
        const int perLine = std::max(1, int(box.rect.width() / 2));
        QStringList lines;
        for (qsizetype at = 0; at < paragraph.size(); at += perLine)
            lines.append(paragraph.mid(at, perLine));
        return lines;
    };
    const render::Prepared sheets = render::prepare(t, wrap);
    FUZZ_CHECK(sheets.size() >= t.pages.size());
    render::cutBoxes(t, wrap);
    return 0;
}
