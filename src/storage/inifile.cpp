#include "inifile.h"

#include "safesave.h"
#include "sharelock.h"
#include "textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringDecoder>

namespace ini {
namespace {

struct Line {
    QString text;
    QString section; // for a header line: its name
    QString key;     // for a key line: its name
    bool header = false;
};

QString stripBlanks(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && (s[b] == u' ' || s[b] == u'\t'))
        ++b;
    while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t'))
        --e;
    return s.mid(b, e - b);
}

// Windows-1252, unless an editor saved the file as UTF-8 with a byte-order mark: then
// the text is read as that editor showed it. A mark before text that is not UTF-8 is
// simply dropped.
//
// Every mark at the start goes, also a second one and one saved again as the three
// letters "\u00ef\u00bb\u00bf" by an editor that took it for text: the file is written back
// without a mark, so a mark left in the text would turn into a real one on the next
// reading, and the first line would change its meaning (a line after "\u00ef\u00bb\u00bf"
// becoming a section header) just because a setting was saved.
QString decode(const QByteArray &bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    static const QString bomAsText = QStringLiteral("\u00ef\u00bb\u00bf");
    if (!bytes.startsWith(bom))
        return text::fromCp1252(bytes);
    qsizetype start = 0;
    while (bytes.mid(start).startsWith(bom))
        start += bom.size();
    const QByteArray rest = bytes.mid(start);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString decoded = utf8.decode(rest);
    if (utf8.hasError())
        return text::fromCp1252(rest);
    while (decoded.startsWith(QChar(0xFEFF)) || decoded.startsWith(bomAsText))
        decoded.remove(0, decoded.startsWith(QChar(0xFEFF)) ? 1 : bomAsText.size());
    return decoded;
}

// CR LF, a lone LF and a lone CR each end a line; a break at the very end adds no line.
QStringList splitLines(const QString &all)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QChar c = all[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(all.mid(start, i - start));
        if (c == u'\r' && i + 1 < all.size() && all[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < all.size())
        lines.append(all.mid(start));
    return lines;
}

QList<Line> parse(const QByteArray &bytes)
{
    QList<Line> lines;
    for (const QString &t : splitLines(decode(bytes))) {
        Line line{t, {}, {}, false};
        const QString s = stripBlanks(t);
        if (s.startsWith(u'[')) {
            const qsizetype close = s.indexOf(u']');
            line.header = true;
            line.section = stripBlanks(close < 0 ? s.mid(1) : s.mid(1, close - 1));
        } else if (!s.startsWith(u';')) {
            const qsizetype eq = s.indexOf(u'=');
            if (eq > 0)
                line.key = stripBlanks(s.left(eq));
        }
        lines.append(line);
    }
    return lines;
}

// The whole file; empty when there is no file. A file that is there but cannot be read
// throws: its contents are unknown, which is not the same as empty.
QByteArray load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path))
            return {};
        throw IniError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw IniError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return bytes;
}

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the header line of the section, or -1.
qsizetype findSection(const QList<Line> &lines, const QString &section)
{
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].header && same(lines[i].section, section))
            return i;
    return -1;
}

QString valueOf(const QString &line)
{
    return stripBlanks(line.mid(line.indexOf(u'=') + 1));
}

// Single-line values only: a line break inside a value would cut the file apart.
QString oneLine(const QString &value)
{
    QString v = value;
    v.replace(u'\r', u' ').replace(u'\n', u' ');
    return v;
}

void setValue(QList<Line> &lines, const QString &section, const QString &key, const QString &value)
{
    const QString entry = key + u'=' + oneLine(value);
    const qsizetype s = findSection(lines, section);
    if (s < 0) {
        lines.append(Line{u'[' + section + u']', section, {}, true});
        lines.append(Line{entry, {}, key, false});
        return;
    }
    qsizetype lastFilled = s;
    for (qsizetype i = s + 1; i < lines.size() && !lines[i].header; ++i) {
        if (!lines[i].key.isEmpty() && same(lines[i].key, key)) {
            lines[i].text = entry;
            return;
        }
        if (!stripBlanks(lines[i].text).isEmpty())
            lastFilled = i;
    }
    lines.insert(lastFilled + 1, Line{entry, {}, key, false});
}

} // namespace

QString read(const QString &path, const QString &section, const QString &key)
{
    return readMany(path, section, {key}).constFirst();
}

QStringList readMany(const QString &path, const QString &section, const QStringList &keys)
{
    const QList<Line> lines = parse(load(path));
    QStringList values(keys.size());
    qsizetype s = findSection(lines, section);
    if (s < 0)
        return values;
    for (qsizetype k = 0; k < keys.size(); ++k) {
        for (qsizetype i = s + 1; i < lines.size() && !lines[i].header; ++i) {
            if (!lines[i].key.isEmpty() && same(lines[i].key, keys[k])) {
                values[k] = valueOf(lines[i].text);
                break;
            }
        }
    }
    return values;
}

void write(const QString &path, const QString &section, const QString &key, const QString &value)
{
    writeMany(path, section, {{key, value}});
}

void writeMany(const QString &path, const QString &section, const QList<std::pair<QString, QString>> &values)
{
    if (values.isEmpty())
        return;
    // Read, changed and replaced under the file's lock: another station's change made
    // meanwhile is read here and kept, never written over with what was read before.
    sharelock::ShareLock lock(path);
    try {
        lock.acquire();
    } catch (const sharelock::Error &e) {
        throw IniError(QString::fromStdString(e.what()));
    }
    QList<Line> lines = parse(load(path));
    for (const auto &[key, value] : values)
        setValue(lines, section, key, value);

    QString out;
    for (const Line &l : lines)
        out += l.text + QStringLiteral("\r\n");

    QString error;
    if (!safesave::save(path, text::toCp1252(out), &error))
        throw IniError(error);
}

} // namespace ini
