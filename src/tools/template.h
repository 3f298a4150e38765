#pragma once
// Report templates: pages of objects placed in millimetres, filled by name and laid out
// into printable pages. No drawing here; render_ui draws what prepare() lays out.
//
// Coordinates are millimetres from the top-left corner of the printable area (the page
// inside its margins), x to the right, y downwards. Objects inside a band are placed
// relative to the band's top-left corner.

#include <QDateTime>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <exception>
#include <functional>

namespace render {

// Any failure of the engine: a missing object, an unreadable template, a printer or a
// file that cannot be written. The message is Italian and ready to show.
class RenderError : public std::exception {
public:
    explicit RenderError(const QString &message);
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

inline constexpr double kUnitsPerMm = 96.0 / 25.4; // layout units of 1/96 inch
inline constexpr double unitsToMm(double units) { return units / kUnitsPerMm; }
inline constexpr double pointsToMm(double points) { return points * 25.4 / 72.0; }
// Blank kept between a text and the left and right sides of its box.
inline constexpr double kTextGap = 2.0 / kUnitsPerMm;

enum class Kind { Text, Picture, Rectangle, Line };
enum class Orientation { Portrait, Landscape };
enum class BandKind { Title, Data, Footer };

struct Object {
    QString name; // may be empty for static objects nobody fills
    Kind kind = Kind::Text;
    QRectF rect;

    // Text boxes.
    QString text;
    QString font = QStringLiteral("Arial");
    double size = 10; // points
    bool bold = false;
    bool italic = false;
    QString color = QStringLiteral("Black"); // text colour, and the colour of a line
    QString fill;                            // empty: transparent (also for rectangles)
    bool centred = false;                    // text: horizontally; picture: in the middle of its box
    bool middle = false;                     // text: vertically centred
    bool wrap = true;

    // Pictures: a QImage set at run time, or the resource path the template names.
    QVariant picture;

    // Rectangles and lines.
    QString outline = QStringLiteral("Black"); // rectangle frame; empty: none
    bool vertical = false;                     // line: length is the height, else the width
    double pen = unitsToMm(1);
};

struct Band {
    QString name;
    BandKind kind = BandKind::Data;
    double height = 0;
    QList<Object> objects;
};

struct Page {
    Orientation orientation = Orientation::Portrait;
    double margin = 10;
    QList<Object> objects; // directly on the page, drawn on every sheet it yields
    QList<Band> bands;     // title, data, footer: stacked from the top

    QSizeF paper() const; // A4 in the page's orientation
    QSizeF printable() const;
};

class Template {
public:
    // ":/templates/<name>.json"; throws RenderError when missing or malformed.
    //
    // Rows of alike objects are written once, as a repeat entry among the objects:
    //   { "repeat": 30, "down": 4.2, "across": 0, "objects": [ ...the first row... ] }
    // gives 30 copies of the objects, each `down` mm below (and `across` mm right of)
    // the one before; a run of '#' in a name becomes the copy's number with as many
    // digits ("txtUM##" -> "txtUM01" ... "txtUM30").
    static Template load(const QString &name);
    static Template fromJson(const QByteArray &json, const QString &source);

    QString name; // report name: the PDF title
    QList<Page> pages;

    // Throw RenderError when no object of that name (and kind) exists.
    Object &object(const QString &name);
    const Object &object(const QString &name) const;
    Object &textBox(const QString &name);
    Object &pictureBox(const QString &name);
    Band &band(const QString &name);

    void setText(const QString &name, const QString &text);
    void setLines(const QString &name, const QStringList &lines);
    void setPicture(const QString &name, const QVariant &picture);
    void setHeight(const QString &name, double mm); // a text box or a band
    void setOrientation(int page, Orientation orientation);
};

// What prepare() yields: every object of a sheet at its place, in millimetres of the
// sheet's printable area.
struct TextLine {
    QString text;
    double top; // top of the line's slot; the slot is one pitch high
};

struct Placed {
    Object object; // object.rect is where the whole object stands on this sheet
    QRectF clip;   // the part of it shown on this sheet
    QList<TextLine> lines; // text boxes: the lines shown here, top to bottom
    double pitch = 0;
};

struct PreparedPage {
    Orientation orientation = Orientation::Portrait;
    double margin = 10;
    QList<Placed> objects;

    QSizeF paper() const;
    const Placed *find(const QString &name) const; // first piece of that name, or null
};

using Prepared = QList<PreparedPage>;

// Splits one paragraph of a word-wrapping box into the lines that fit its width. Without
// one, paragraphs are never wrapped.
using LineBreaker = std::function<QStringList(const Object &box, const QString &paragraph)>;

// Lays the template out into sheets. Pure: the template is not changed.
Prepared prepare(const Template &t, const LineBreaker &wrap = {});

// The text boxes whose text does not show whole: lines that carry more than blanks lie
// below the box's bottom and are left off the sheet, as the box never grows. Lines are
// broken by wrap, as prepare() breaks them; names in template order.
QStringList cutBoxes(const Template &t, const LineBreaker &wrap = {});

// Height of one text line of a box: 1.2 times its font size.
double linePitch(const Object &box);

// Where a picture of the given proportions lands in its box: scaled by one factor to
// touch two sides, at the top-left corner or in the middle.
QRectF fitPicture(const QRectF &box, const QSizeF &picture, bool centred);

// "Stampa eseguita in data dd/mm/yyyy alle ore hh:mm:ss".
QString printStamp(const QDateTime &when);

} // namespace render
