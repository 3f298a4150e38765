#include "clientsearch.h"

#include "storage/recordfile.h"
#include "storage/textcodec.h"

#include <algorithm>
#include <numeric>

namespace clients {
namespace {

struct LineFields {
    int name, contact, occupation, products, notes, questions, recontact;
};

const LineFields &lineFields()
{
    static const LineFields f = [] {
        const records::Layout &l = records::client();
        return LineFields{l.indexOf(QStringLiteral("txtCliente")),     l.indexOf(QStringLiteral("txtRecapito")),
                          l.indexOf(QStringLiteral("txtOccupazione")), l.indexOf(QStringLiteral("txtProdotti")),
                          l.indexOf(QStringLiteral("txtNote")),        l.indexOf(QStringLiteral("txtQuestioni")),
                          l.indexOf(QStringLiteral("chkRicontatta"))};
    }();
    return f;
}

// Appends the text and blanks, cut to exactly width characters.
void appendColumn(QString &line, const QString &text, int width)
{
    const qsizetype start = line.size();
    line.append(QStringView(text).left(width));
    line.resize(start + width, u' ');
}

// Folds A-Z in place in a text nobody else holds.
QString foldedLower(QString text)
{
    for (QChar &c : text)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return text;
}

} // namespace

// ---- Filters -------------------------------------------------------------------------

void ClientFilters::set(const QString &field, const QString &typed)
{
    const int index = records::client().indexOf(field);
    if (index < 0)
        return;
    m_active.removeIf([index](const Active &a) { return a.field == index; });
    if (!text::isBlank(typed))
        m_active.append({index, text::lowerAscii(typed)});
}

bool ClientFilters::matches(const records::Record &client) const
{
    for (const Active &a : m_active)
        if (!foldedLower(client.text(a.field)).contains(a.folded))
            return false;
    return true;
}

// ---- List lines ----------------------------------------------------------------------

QString listLine(const records::Record &client, LastColumn last)
{
    const LineFields &f = lineFields();
    QString line;
    line.reserve(kFixedLineWidth + 250);
    appendColumn(line, client.text(f.name), 26);
    line += u"  Tel. ";
    appendColumn(line, client.text(f.contact), 15);
    line += u"  ";
    appendColumn(line, client.text(f.occupation), 25);
    line += u"  Prod. ";
    appendColumn(line, client.text(f.products), 30);
    line += u"  ";
    line += client.text(last == LastColumn::Notes ? f.notes : f.questions);
    return line;
}

bool lineLess(const QString &a, const QString &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= u'a' && x <= u'z')
            x -= 32;
        if (y >= u'a' && y <= u'z')
            y -= 32;
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

void sortLines(QStringList &lines)
{
    // Fold once per line, then compare code units: the same order as lineLess.
    QStringList keys;
    keys.reserve(lines.size());
    for (const QString &line : std::as_const(lines))
        keys.append(text::upperAscii(line));
    QList<qsizetype> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](qsizetype x, qsizetype y) {
        return QStringView(keys[x]).compare(QStringView(keys[y]), Qt::CaseSensitive) < 0;
    });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (qsizetype i : std::as_const(order))
        sorted.append(lines[i]);
    lines.swap(sorted);
}

QString countLine(qsizetype count)
{
    return QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(count);
}

QStringList searchLines(const QString &archivePath, const ClientFilters &filters)
{
    const records::Layout &layout = records::client();
    QStringList lines;
    archive::scan(archivePath, layout.size(), [&](int, const QByteArray &bytes) {
        const records::Record client(layout, bytes);
        if (filters.matches(client))
            lines.append(listLine(client, LastColumn::Notes));
    });
    sortLines(lines);
    return lines;
}

void recontactLines(const QString &archivePath, QStringList &lines)
{
    const records::Layout &layout = records::client();
    const int flag = lineFields().recontact;
    lines.clear();
    try {
        archive::scan(archivePath, layout.size(), [&](int, const QByteArray &bytes) {
            const records::Record client(layout, bytes);
            if (client.text(flag) == records::kYes) // read back trimmed
                lines.append(listLine(client, LastColumn::OpenQuestions));
        });
    } catch (const ArchiveError &) {
        sortLines(lines);
        throw;
    }
    sortLines(lines);
}

// ---- Quick find ----------------------------------------------------------------------

int QuickFind::find(const QStringList &lines, int selected, const QString &typed)
{
    const int n = int(lines.size());
    if (n == 0)
        return -1;
    const int start = selected >= 0 && selected < n ? selected : 0;
    const QString wanted = text::lowerAscii(typed);
    auto hit = [&](int i) { return text::lowerAscii(lines[i]).contains(wanted); };

    int found = start;
    if (!wanted.isEmpty()) {
        if (wanted == m_remembered) {
            // The next occurrence: after the selected line, wrapping, the start line last.
            for (int k = 1; k <= n; ++k) {
                const int i = (start + k) % n;
                if (hit(i)) {
                    found = i;
                    break;
                }
            }
        } else {
            for (int i = 0; i < n; ++i) {
                if (hit(i)) {
                    found = i;
                    break;
                }
            }
        }
    }
    m_remembered = wanted;
    return found;
}

// ---- Choosing a line -----------------------------------------------------------------

std::optional<Chosen> chosenClient(const QString &archivePath, const QString &line, LastColumn last)
{
    const records::Layout &layout = records::client();
    const QString wanted = text::trim(line);
    std::optional<Chosen> chosen;
    archive::scan(archivePath, layout.size(), [&](int index, const QByteArray &bytes) {
        records::Record client(layout, bytes);
        if (text::trim(listLine(client, last)) == wanted)
            chosen = Chosen{std::move(client), index + 1}; // a later match replaces an earlier one
    });
    return chosen;
}

} // namespace clients
