#include "template.h"

#include "storage/programfolder.h"
#include "storage/textcodec.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace render {

RenderError::RenderError(const QString &message)
    : m_message(message), m_utf8(message.toUtf8())
{
}

namespace {

constexpr double kEps = 1e-6;
constexpr QSizeF kA4{210.0, 297.0};

// --- Reading the JSON description -------------------------------------------------------

[[noreturn]] void invalid(const QString &source, const QString &why)
{
    throw RenderError(QStringLiteral("Il modello di stampa \"%1\" non \u00e8 valido: %2.").arg(source, why));
}

// Every key must be known: a typo in a template must not pass silently.
void checkKeys(const QJsonObject &o, std::initializer_list<const char *> known, const QString &source,
               const QString &where)
{
    for (auto it = o.begin(); it != o.end(); ++it) {
        bool ok = false;
        for (const char *k : known)
            ok = ok || it.key() == QLatin1String(k);
        if (!ok)
            invalid(source, QStringLiteral("chiave \"%1\" sconosciuta in %2").arg(it.key(), where));
    }
}

// Millimetres (and points) of a page: a metre is beyond any sheet, and keeps a band
// read from a template to a handful of sheets when it is laid out.
constexpr double kMaxNumber = 1000;
// A margin leaves at least 110 mm of printable area on the short side of the sheet.
constexpr double kMaxMargin = 50;
// Objects of one template in all, repeated copies included (the largest template of
// the program has about 200). Objects on a page are drawn on every sheet it yields.
constexpr qsizetype kMaxObjects = 5000;

double number(const QJsonObject &o, const char *key, double fallback, const QString &source, const QString &where,
              double max = kMaxNumber)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return fallback;
    if (!v.isDouble() || !(v.toDouble() >= 0 && v.toDouble() <= max))
        invalid(source, QStringLiteral("\"%1\" di %2 deve essere un numero da 0 a %3")
                            .arg(QLatin1String(key), where, QString::number(max)));
    return v.toDouble();
}

QString string(const QJsonObject &o, const char *key, const QString &fallback, const QString &source,
               const QString &where)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return fallback;
    if (!v.isString())
        invalid(source, QStringLiteral("\"%1\" di %2 deve essere un testo").arg(QLatin1String(key), where));
    return v.toString();
}

bool boolean(const QJsonObject &o, const char *key, bool fallback, const QString &source, const QString &where)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return fallback;
    if (!v.isBool())
        invalid(source, QStringLiteral("\"%1\" di %2 deve essere true o false").arg(QLatin1String(key), where));
    return v.toBool();
}

template <typename E>
E choice(const QJsonObject &o, const char *key, E fallback, std::initializer_list<std::pair<const char *, E>> options,
         const QString &source, const QString &where)
{
    const QString s = string(o, key, {}, source, where);
    if (s.isEmpty())
        return fallback;
    for (const auto &[text, value] : options)
        if (s == QLatin1String(text))
            return value;
    invalid(source, QStringLiteral("valore \"%1\" non ammesso per \"%2\" di %3").arg(s, QLatin1String(key), where));
}

Object readObject(const QJsonObject &o, const QString &source)
{
    Object obj;
    obj.name = string(o, "name", {}, source, QStringLiteral("un oggetto"));
    const QString where = obj.name.isEmpty() ? QStringLiteral("un oggetto senza nome") : obj.name;
    obj.kind = choice(o, "kind", Kind::Text,
                      {{"text", Kind::Text}, {"picture", Kind::Picture}, {"rectangle", Kind::Rectangle},
                       {"line", Kind::Line}},
                      source, where);
    obj.rect = QRectF(number(o, "left", 0, source, where), number(o, "top", 0, source, where),
                      number(o, "width", 0, source, where), number(o, "height", 0, source, where));
    switch (obj.kind) {
    case Kind::Text:
        checkKeys(o, {"name", "kind", "left", "top", "width", "height", "text", "font", "size", "bold", "italic",
                      "color", "fill", "align", "valign", "wrap"},
                  source, where);
        obj.text = string(o, "text", {}, source, where);
        obj.font = string(o, "font", obj.font, source, where);
        obj.size = number(o, "size", obj.size, source, where);
        if (obj.size <= 0)
            invalid(source, QStringLiteral("dimensione del carattere nulla in %1").arg(where));
        obj.bold = boolean(o, "bold", false, source, where);
        obj.italic = boolean(o, "italic", false, source, where);
        obj.color = string(o, "color", obj.color, source, where);
        obj.fill = string(o, "fill", {}, source, where);
        obj.centred = choice(o, "align", false, {{"left", false}, {"centre", true}}, source, where);
        obj.middle = choice(o, "valign", false, {{"top", false}, {"middle", true}}, source, where);
        obj.wrap = boolean(o, "wrap", true, source, where);
        break;
    case Kind::Picture:
        checkKeys(o, {"name", "kind", "left", "top", "width", "height", "picture", "centred"}, source, where);
        if (const QString path = string(o, "picture", {}, source, where); !path.isEmpty())
            obj.picture = path;
        obj.centred = boolean(o, "centred", false, source, where);
        break;
    case Kind::Rectangle:
        checkKeys(o, {"name", "kind", "left", "top", "width", "height", "outline", "fill"}, source, where);
        obj.outline = string(o, "outline", obj.outline, source, where);
        obj.fill = string(o, "fill", {}, source, where);
        break;
    case Kind::Line:
        checkKeys(o, {"name", "kind", "left", "top", "width", "height", "color", "vertical"}, source, where);
        obj.color = string(o, "color", obj.color, source, where);
        obj.vertical = boolean(o, "vertical", false, source, where);
        break;
    }
    return obj;
}

// Millimetres of repeated objects are sums of steps: rounded to a millionth of a
// millimetre, row 30 lands exactly where row 1 plus 29 steps says.
double roundedMm(double mm)
{
    return std::round(mm * 1e6) / 1e6;
}

// The run of '#' in a repeated object's name becomes the copy's number, with as many
// digits as there are '#' ("txtParametro##" -> "txtParametro01").
QString numberedName(const QString &name, int number)
{
    const qsizetype at = name.indexOf(u'#');
    if (at < 0)
        return name;
    qsizetype end = at;
    while (end < name.size() && name[end] == u'#')
        ++end;
    return name.left(at) + QStringLiteral("%1").arg(number, int(end - at), 10, QLatin1Char('0')) + name.mid(end);
}

// `left` is how many objects the template may still have; every object read counts.
QList<Object> readObjects(const QJsonObject &parent, const QString &source, qsizetype &left);

// A repeat entry: its objects as they stand in the first copy, copied `repeat` times,
// each copy `down` millimetres below and `across` to the right of the one before.
QList<Object> readRepeat(const QJsonObject &o, const QString &source, qsizetype &left)
{
    const QString where = QStringLiteral("una ripetizione");
    checkKeys(o, {"repeat", "down", "across", "objects"}, source, where);
    const QJsonValue count = o.value(QLatin1String("repeat"));
    if (!count.isDouble() || count.toDouble() != std::floor(count.toDouble()) || count.toDouble() < 1
        || count.toDouble() > 1000)
        invalid(source, QStringLiteral("\"repeat\" di %1 deve essere un numero intero da 1 a 1000").arg(where));
    const double down = number(o, "down", 0, source, where);
    const double across = number(o, "across", 0, source, where);
    const QList<Object> first = readObjects(o, source, left);
    if (first.isEmpty())
        invalid(source, QStringLiteral("%1 senza oggetti").arg(where));
    // Repeats inside repeats multiply: the copies are counted before they are made.
    left += first.size();
    if (first.size() * count.toInt() > left)
        invalid(source, QStringLiteral("pi\u00f9 di %1 oggetti").arg(kMaxObjects));
    left -= first.size() * count.toInt();

    QList<Object> objects;
    for (int k = 1; k <= count.toInt(); ++k) {
        for (Object copy : first) {
            copy.name = numberedName(copy.name, k);
            copy.rect.moveTo(roundedMm(copy.rect.left() + across * (k - 1)),
                             roundedMm(copy.rect.top() + down * (k - 1)));
            objects.append(copy);
        }
    }
    return objects;
}

QList<Object> readObjects(const QJsonObject &parent, const QString &source, qsizetype &left)
{
    QList<Object> objects;
    for (const QJsonValue &v : parent.value(QLatin1String("objects")).toArray()) {
        if (!v.isObject())
            invalid(source, QStringLiteral("un oggetto non \u00e8 descritto come tale"));
        const QJsonObject o = v.toObject();
        if (o.contains(QLatin1String("repeat"))) {
            objects.append(readRepeat(o, source, left));
        } else {
            if (left <= 0)
                invalid(source, QStringLiteral("pi\u00f9 di %1 oggetti").arg(kMaxObjects));
            objects.append(readObject(o, source));
            --left;
        }
    }
    return objects;
}

// --- Layout --------------------------------------------------------------------------------

QString normalisedBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

// Every line of a box's text as it would print without the box's bottom.
QStringList visualLines(const Object &box, const LineBreaker &wrap)
{
    QStringList visual;
    if (box.text.isEmpty())
        return visual;
    for (const QString &paragraph : normalisedBreaks(box.text).split(u'\n')) {
        if (box.wrap && wrap) {
            const QStringList pieces = wrap(box, paragraph);
            visual += pieces.isEmpty() ? QStringList{QString()} : pieces;
        } else {
            visual.append(paragraph);
        }
    }
    return visual;
}

// The lines of a text box where they stand in the frame of its rect (page or band).
QList<TextLine> layOutText(const Object &box, const QStringList &visual)
{
    QList<TextLine> lines;
    const double pitch = linePitch(box);
    const double block = pitch * visual.size();
    const double h = box.rect.height();
    // A single line is centred even when its slot is taller than the box.
    const double offset = box.middle && (block <= h || visual.size() == 1) ? (h - block) / 2 : 0;
    for (qsizetype i = 0; i < visual.size(); ++i) {
        const double top = box.rect.top() + offset + i * pitch;
        // The box does not grow: the first line is always shown, each further one when
        // the middle of its slot is still inside. A shown line is drawn whole.
        if (top >= box.rect.bottom() - kEps || (i > 0 && top + pitch / 2 > box.rect.bottom() + kEps))
            break;
        lines.append({visual[i], top});
    }
    return lines;
}

QList<TextLine> layOutText(const Object &box, const LineBreaker &wrap)
{
    return layOutText(box, visualLines(box, wrap));
}

struct Layout {
    const Page &page;
    const LineBreaker &wrap;
    Prepared &sheets;
    double y = 0; // where the next band starts on the current sheet

    double height() const { return page.printable().height(); }

    void newSheet()
    {
        PreparedPage sheet;
        sheet.orientation = page.orientation;
        sheet.margin = page.margin;
        for (const Object &o : page.objects) {
            Placed p{o, o.rect, {}, 0};
            if (o.kind == Kind::Text) {
                p.lines = layOutText(o, wrap);
                p.pitch = linePitch(o);
            }
            sheet.objects.append(p);
        }
        sheets.append(sheet);
        y = 0;
    }

    // Puts the part [from, to) of a band at the current y of the current sheet.
    void placePiece(const Band &band, const QList<QList<TextLine>> &texts, double from, double to)
    {
        const double shift = y - from;
        const bool last = to >= band.height - kEps;
        PreparedPage &sheet = sheets.last();
        for (qsizetype i = 0; i < band.objects.size(); ++i) {
            const Object &o = band.objects[i];
            const QRectF r = o.rect;
            if (o.kind == Kind::Line && !o.vertical) {
                if (r.top() < from - kEps || r.top() > to + kEps || (r.top() > to - kEps && !last))
                    continue;
                Placed p{o, r.translated(0, shift), {}, 0};
                p.object.rect = p.clip;
                sheet.objects.append(p);
                continue;
            }
            const double top = std::max(r.top(), from);
            const double bottom = std::min(r.bottom(), to);
            if (bottom - top <= kEps)
                continue;
            Placed p{o, QRectF(r.left(), top + shift, r.width(), bottom - top), {}, 0};
            p.object.rect = r.translated(0, shift);
            if (o.kind == Kind::Line)
                p.object.rect = p.clip; // a vertical line shows only its visible stretch
            if (o.kind == Kind::Text) {
                p.pitch = linePitch(o);
                for (const TextLine &l : texts[i])
                    if (l.top >= from - kEps && l.top < to - kEps)
                        p.lines.append({l.text, l.top + shift});
            }
            sheet.objects.append(p);
        }
    }

    void placeBand(const Band &band)
    {
        QList<QList<TextLine>> texts;
        for (const Object &o : band.objects)
            texts.append(o.kind == Kind::Text ? layOutText(o, wrap) : QList<TextLine>{});

        if (band.kind != BandKind::Data) {
            if (y > kEps && y + band.height > height() + kEps)
                newSheet();
            placePiece(band, texts, 0, band.height);
            y += band.height;
            return;
        }

        double from = 0;
        while (band.height - from > kEps) {
            const double room = height() - y;
            if (band.height - from <= room + kEps) {
                placePiece(band, texts, from, band.height);
                y += band.height - from;
                return;
            }
            // Cut where the page ends, moved up so that no text line is split.
            double cut = from + room;
            for (qsizetype i = 0; i < band.objects.size(); ++i) {
                const double pitch = band.objects[i].kind == Kind::Text ? linePitch(band.objects[i]) : 0;
                for (const TextLine &l : texts[i])
                    if (l.top > from + kEps && l.top < cut - kEps && l.top + pitch > cut + kEps)
                        cut = std::min(cut, l.top);
            }
            if (cut - from <= kEps) {
                if (y > kEps) { // nothing fits here: start on a fresh sheet
                    newSheet();
                    continue;
                }
                cut = from + room; // a line taller than a page: cut it
            }
            placePiece(band, texts, from, cut);
            from = cut;
            newSheet();
        }
    }
};

} // namespace

// --- Page ----------------------------------------------------------------------------------

QSizeF Page::paper() const
{
    return orientation == Orientation::Portrait ? kA4 : kA4.transposed();
}

QSizeF Page::printable() const
{
    return paper() - QSizeF(2 * margin, 2 * margin);
}

QSizeF PreparedPage::paper() const
{
    return orientation == Orientation::Portrait ? kA4 : kA4.transposed();
}

const Placed *PreparedPage::find(const QString &name) const
{
    for (const Placed &p : objects)
        if (p.object.name == name)
            return &p;
    return nullptr;
}

// --- Template ------------------------------------------------------------------------------

Template Template::load(const QString &name)
{
    QFile file(QStringLiteral(":/templates/%1.json").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        throw RenderError(QStringLiteral("Il modello di stampa \"%1\" non \u00e8 disponibile.").arg(name));
    return fromJson(file.readAll(), name);
}

Template Template::fromJson(const QByteArray &json, const QString &source)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        invalid(source, error.errorString());
    const QJsonObject root = doc.object();
    checkKeys(root, {"name", "pages"}, source, QStringLiteral("il modello"));

    Template t;
    t.name = string(root, "name", source, source, QStringLiteral("il modello"));
    qsizetype left = kMaxObjects;
    for (const QJsonValue &pv : root.value(QLatin1String("pages")).toArray()) {
        const QJsonObject po = pv.toObject();
        const QString where = QStringLiteral("la pagina %1").arg(t.pages.size() + 1);
        checkKeys(po, {"orientation", "margin", "objects", "bands"}, source, where);
        Page page;
        page.orientation = choice(po, "orientation", Orientation::Portrait,
                                  {{"portrait", Orientation::Portrait}, {"landscape", Orientation::Landscape}},
                                  source, where);
        page.margin = number(po, "margin", page.margin, source, where, kMaxMargin);
        page.objects = readObjects(po, source, left);
        for (const QJsonValue &bv : po.value(QLatin1String("bands")).toArray()) {
            const QJsonObject bo = bv.toObject();
            Band band;
            band.name = string(bo, "name", {}, source, QStringLiteral("una banda"));
            checkKeys(bo, {"name", "kind", "height", "objects"}, source, band.name);
            band.kind = choice(bo, "kind", BandKind::Data,
                               {{"title", BandKind::Title}, {"data", BandKind::Data}, {"footer", BandKind::Footer}},
                               source, band.name);
            // One of each kind at most, title first and footer last.
            if (!page.bands.isEmpty() && page.bands.last().kind >= band.kind)
                invalid(source, QStringLiteral("bande fuori ordine o ripetute in %1").arg(where));
            band.height = number(bo, "height", 0, source, band.name);
            band.objects = readObjects(bo, source, left);
            page.bands.append(band);
        }
        t.pages.append(page);
    }
    if (t.pages.isEmpty())
        invalid(source, QStringLiteral("nessuna pagina"));

    QSet<QString> names;
    auto unique = [&](const QString &name) {
        if (name.isEmpty())
            return;
        if (names.contains(name))
            invalid(source, QStringLiteral("il nome \"%1\" \u00e8 ripetuto").arg(name));
        names.insert(name);
    };
    for (const Page &p : t.pages) {
        for (const Object &o : p.objects)
            unique(o.name);
        for (const Band &b : p.bands) {
            unique(b.name);
            for (const Object &o : b.objects)
                unique(o.name);
        }
    }
    return t;
}

const Object &Template::object(const QString &name) const
{
    if (!name.isEmpty()) {
        for (const Page &p : pages) {
            for (const Object &o : p.objects)
                if (o.name == name)
                    return o;
            for (const Band &b : p.bands)
                for (const Object &o : b.objects)
                    if (o.name == name)
                        return o;
        }
    }
    throw RenderError(QStringLiteral("L'oggetto \"%1\" non si trova nel modello di stampa \"%2\".").arg(name, this->name));
}

Object &Template::object(const QString &name)
{
    return const_cast<Object &>(std::as_const(*this).object(name));
}

Object &Template::textBox(const QString &name)
{
    Object &o = object(name);
    if (o.kind != Kind::Text)
        throw RenderError(QStringLiteral("L'oggetto \"%1\" del modello di stampa \"%2\" non \u00e8 un testo.").arg(name, this->name));
    return o;
}

Object &Template::pictureBox(const QString &name)
{
    Object &o = object(name);
    if (o.kind != Kind::Picture)
        throw RenderError(
            QStringLiteral("L'oggetto \"%1\" del modello di stampa \"%2\" non \u00e8 un'immagine.").arg(name, this->name));
    return o;
}

Band &Template::band(const QString &name)
{
    for (Page &p : pages)
        for (Band &b : p.bands)
            if (!name.isEmpty() && b.name == name)
                return b;
    throw RenderError(QStringLiteral("La banda \"%1\" non si trova nel modello di stampa \"%2\".").arg(name, this->name));
}

void Template::setText(const QString &name, const QString &text)
{
    textBox(name).text = text;
}

void Template::setLines(const QString &name, const QStringList &lines)
{
    textBox(name).text = lines.join(u'\n');
}

void Template::setPicture(const QString &name, const QVariant &picture)
{
    pictureBox(name).picture = picture;
}

void Template::setHeight(const QString &name, double mm)
{
    for (Page &p : pages)
        for (Band &b : p.bands)
            if (!name.isEmpty() && b.name == name) {
                b.height = std::max(0.0, mm);
                return;
            }
    textBox(name).rect.setHeight(std::max(0.0, mm));
}

void Template::setOrientation(int page, Orientation orientation)
{
    if (page < 0 || page >= pages.size())
        throw RenderError(QStringLiteral("Il modello di stampa \"%1\" non ha la pagina %2.").arg(name).arg(page + 1));
    pages[page].orientation = orientation;
}

// --- Free functions ------------------------------------------------------------------------

double linePitch(const Object &box)
{
    return pointsToMm(box.size * 1.2);
}

Prepared prepare(const Template &t, const LineBreaker &wrap)
{
    Prepared sheets;
    for (const Page &page : t.pages) {
        Layout layout{page, wrap, sheets};
        layout.newSheet();
        for (const Band &band : page.bands)
            layout.placeBand(band);
    }
    return sheets;
}

QStringList cutBoxes(const Template &t, const LineBreaker &wrap)
{
    QStringList cut;
    auto check = [&](const Object &o) {
        if (o.kind != Kind::Text)
            return;
        const QStringList visual = visualLines(o, wrap);
        const qsizetype shown = layOutText(o, visual).size();
        for (qsizetype i = shown; i < visual.size(); ++i)
            if (!text::isBlank(visual[i])) {
                cut.append(o.name);
                return;
            }
    };
    for (const Page &page : t.pages) {
        for (const Object &o : page.objects)
            check(o);
        for (const Band &band : page.bands)
            for (const Object &o : band.objects)
                check(o);
    }
    return cut;
}

QRectF fitPicture(const QRectF &box, const QSizeF &picture, bool centred)
{
    if (picture.width() <= 0 || picture.height() <= 0 || box.isEmpty())
        return {box.topLeft(), QSizeF(0, 0)};
    const double factor = std::min(box.width() / picture.width(), box.height() / picture.height());
    const QSizeF size = picture * factor;
    if (!centred)
        return {box.topLeft(), size};
    return {box.left() + (box.width() - size.width()) / 2, box.top() + (box.height() - size.height()) / 2,
            size.width(), size.height()};
}

QString printStamp(const QDateTime &when)
{
    // The long time format of the Italian locale ends with the time zone: the hour is
    // shown as hours, minutes and seconds only.
    return QStringLiteral("Stampa eseguita in data ") + formats::date(when.date()) + QStringLiteral(" alle ore ")
        + when.time().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace render
