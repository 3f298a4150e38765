// The spreadsheet writer with arbitrary cell texts. The document is parsed back with a
// reader of the exact form the writer produces, and every cell must come back as the
// grid held it: trimmed, with what the code page cannot hold as numeric references (half
// a surrogate pair, having nothing to refer to, as a question mark).
//
// Input: a byte with the column count (1-8), a byte choosing cells to change with
// setCell afterwards, then UTF-16 texts separated by U+FFFF: the worksheet name, the
// column captions, then the cells row by row.

#include "fuzzsupport.h"

#include "storage/textcodec.h"
#include "tools/spreadsheet.h"

#include <QBuffer>

namespace {

using spreadsheet::Grid;
using spreadsheet::Sheet;

QString trimmed(const QString &s)
{
    return text::trim(s);
}

// What a reader gets back for a text: references give the code point they name.
// Cells are trimmed; the worksheet name and the captions go in as they are.
QString expected(const QString &cell, bool trim = true)
{
    QString out;
    const QString t = trim ? trimmed(cell) : cell;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isHighSurrogate() && i + 1 < t.size() && t[i + 1].isLowSurrogate()) {
            out += c;
            out += t[++i];
        } else if (c.isSurrogate()) {
            out += u'?';
        } else {
            out += c;
        }
    }
    return out;
}

class Reader {
public:
    explicit Reader(const QByteArray &doc) : m_doc(doc) {}

    bool literal(const QByteArray &s)
    {
        if (!m_doc.mid(m_at).startsWith(s))
            return false;
        m_at += s.size();
        return true;
    }
    bool at(const QByteArray &s) const { return m_doc.mid(m_at).startsWith(s); }
    bool atEnd() const { return m_at == m_doc.size(); }

    // Text up to the next '<': the writer never leaves a '<' inside a text.
    QString text()
    {
        const qsizetype end = m_doc.indexOf('<', m_at);
        FUZZ_CHECK(end >= 0);
        const QByteArray raw = m_doc.mid(m_at, end - m_at);
        m_at = end;
        QString out;
        for (qsizetype i = 0; i < raw.size();) {
            if (raw[i] != '&') {
                const qsizetype amp = raw.indexOf('&', i);
                const qsizetype stop = amp < 0 ? raw.size() : amp;
                FUZZ_CHECK(raw.mid(i, stop - i).indexOf('>') < 0);
                out += text::fromCp1252(raw.mid(i, stop - i));
                i = stop;
                continue;
            }
            const qsizetype semi = raw.indexOf(';', i);
            FUZZ_CHECK(semi > i);
            const QByteArray entity = raw.mid(i + 1, semi - i - 1);
            if (entity == "amp") {
                out += u'&';
            } else if (entity == "lt") {
                out += u'<';
            } else if (entity == "gt") {
                out += u'>';
            } else {
                FUZZ_CHECK(entity.startsWith('#') && entity.size() > 1);
                bool ok = false;
                const uint code = entity.mid(1).toUInt(&ok);
                FUZZ_CHECK(ok && code <= 0x10FFFF && QByteArray::number(code) == entity.mid(1));
                // A reference is only written for what the code page cannot hold.
                FUZZ_CHECK(code >= 0x80);
                // By hand: QString::fromUcs4() would take U+FEFF for a byte-order mark.
                if (QChar::requiresSurrogates(code)) {
                    out += QChar(QChar::highSurrogate(code));
                    out += QChar(QChar::lowSurrogate(code));
                } else {
                    out += QChar(char16_t(code));
                }
            }
            i = semi + 1;
        }
        return out;
    }

private:
    QByteArray m_doc;
    qsizetype m_at = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const int columns = data[0] % 8 + 1;
    const uint8_t edits = data[1];
    const QStringList texts = fuzz::utf16(data + 2, size - 2).split(QChar(0xFFFF));

    Sheet sheet;
    sheet.name = texts.value(0);
    for (int c = 0; c < columns; ++c)
        sheet.columns.append({QStringLiteral("H%1").arg(c), 80, texts.value(1 + c), 10 * c + 5, {}});

    // The grid, and beside it the same cells kept plainly.
    Grid grid(columns);
    QList<QStringList> cells;
    for (qsizetype i = 1 + columns; i < texts.size(); ++i) {
        if ((i - 1 - columns) % columns == 0) {
            grid.appendRow();
            cells.append(QStringList(columns));
        }
        grid.appendCell(texts[i]);
        cells.last()[(i - 1 - columns) % columns] = texts[i];
    }
    // Some cells changed afterwards, as the export windows do with edited cells.
    for (int k = 0; k < 8 && !cells.isEmpty(); ++k) {
        if (!(edits & (1 << k)))
            continue;
        const int row = (k * 7 + edits) % int(cells.size());
        const int column = (k * 3) % columns;
        const QString text = texts.value((k + edits) % texts.size()) + QString(k, u'x');
        grid.setCell(row, column, text);
        cells[row][column] = text;
    }
    FUZZ_CHECK(grid.rowCount() == cells.size());
    for (int r = 0; r < cells.size(); ++r)
        for (int c = 0; c < columns; ++c)
            FUZZ_CHECK(grid.cell(r, c) == cells[r][c]);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    FUZZ_CHECK(spreadsheet::write(buffer, sheet, grid));
    const QByteArray doc = buffer.data();

    const qsizetype nameAt = doc.indexOf("<x:Name>");
    FUZZ_CHECK(nameAt > 0);
    Reader name(doc.mid(nameAt + 8));
    FUZZ_CHECK(name.text() == expected(sheet.name, false) && name.literal("</x:Name>"));
    const qsizetype tableAt = doc.indexOf("<table x:str>");
    FUZZ_CHECK(tableAt > nameAt);
    Reader table(doc.mid(tableAt));
    FUZZ_CHECK(table.literal("<table x:str><tr>"));
    for (int c = 0; c < columns; ++c) {
        FUZZ_CHECK(table.literal("<td style=\"text-align: left; font-weight: bold;\" width="
                                 + QByteArray::number(sheet.columns[c].width) + ">"));
        FUZZ_CHECK(table.text() == expected(sheet.columns[c].caption, false));
        FUZZ_CHECK(table.literal("</td>"));
    }
    FUZZ_CHECK(table.literal("</tr>"));
    for (const QStringList &row : std::as_const(cells)) {
        FUZZ_CHECK(table.literal("<tr>"));
        for (const QString &cell : row) {
            FUZZ_CHECK(table.literal("<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">"));
            fuzz::checkSame(table.text(), expected(cell), "cell");
            FUZZ_CHECK(table.literal("</td>"));
        }
        FUZZ_CHECK(table.literal("</tr>"));
    }
    FUZZ_CHECK(table.literal("</table></body></html>") && table.atEnd());
    return 0;
}
