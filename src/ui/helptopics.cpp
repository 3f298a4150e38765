#include "helptopics.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

// The pages are text files compiled in under ":/aiuto" (docs/aiuto, where LEGGIMI.txt
// tells how they are written): a title line, paragraphs separated by empty lines, the
// lines of a paragraph joined with one blank, and {{name: first | second}} standing for
// the part parti/name.txt (or the page name.txt without its title) with {1}, {2}, ...
// replaced by the texts given. So a sentence that several pages share is written once.

namespace help {
namespace {

const QString kParagraphBreak = QStringLiteral("\r\n\r\n");
const QString kTitle = QStringLiteral("Titolo:");
// A page that includes itself through its parts would never end.
constexpr int kMaxDepth = 8;

// The file's lines without the writers' notes (lines that begin with "#").
QStringList linesOf(const QString &resource)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        QString l = line;
        if (l.endsWith(u'\r'))
            l.chop(1);
        if (!l.trimmed().startsWith(u'#'))
            lines << l;
    }
    return lines;
}

// What {{name}} stands for, as written, before its own parts are filled in: a part, else
// a page without its title. Empty lines at either end do not count.
QString partText(const QString &name)
{
    QStringList lines = linesOf(QStringLiteral(":/aiuto/parti/%1.txt").arg(name));
    if (lines.isEmpty()) {
        lines = linesOf(QStringLiteral(":/aiuto/%1.txt").arg(name));
        if (!lines.isEmpty() && lines.first().startsWith(kTitle))
            lines.removeFirst();
    }
    while (!lines.isEmpty() && lines.first().trimmed().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

QString expand(const QString &text, int depth)
{
    static const QRegularExpression partCall(QStringLiteral("\\{\\{([^{}:|]+)(?::([^{}]*))?\\}\\}"));
    if (depth > kMaxDepth)
        return text;
    QString out;
    qsizetype done = 0;
    QRegularExpressionMatchIterator it = partCall.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QString body = partText(m.captured(1).trimmed());
        if (body.isEmpty())
            continue; // an unknown name stays as written, for the proof-reader to see
        const QStringList args = m.captured(2).split(u'|');
        for (qsizetype i = 0; i < args.size(); ++i)
            body.replace(QStringLiteral("{%1}").arg(i + 1), args[i].trimmed());
        out += QStringView(text).mid(done, m.capturedStart() - done);
        out += expand(body, depth + 1);
        done = m.capturedEnd();
    }
    out += QStringView(text).mid(done);
    return out;
}

Topic page(const QString &name)
{
    QStringList lines = linesOf(QStringLiteral(":/aiuto/%1.txt").arg(name));
    Topic topic;
    if (!lines.isEmpty() && lines.first().startsWith(kTitle))
        topic.title = lines.takeFirst().mid(kTitle.size()).trimmed();
    QStringList paragraphs;
    QStringList current;
    for (const QString &line : expand(lines.join(u'\n'), 0).split(u'\n')) {
        const QString l = line.trimmed();
        if (!l.isEmpty()) {
            current << l;
        } else if (!current.isEmpty()) {
            paragraphs << current.join(u' ');
            current.clear();
        }
    }
    if (!current.isEmpty())
        paragraphs << current.join(u' ');
    topic.text = paragraphs.join(kParagraphBreak);
    return topic;
}

} // namespace

Topic overview() { return page(QStringLiteral("panoramica")); }
Topic clients() { return page(QStringLiteral("clienti")); }
Topic clientExport() { return page(QStringLiteral("esportazione-clienti")); }
Topic models() { return page(QStringLiteral("modelli")); }
Topic modelExport() { return page(QStringLiteral("esportazione-modelli")); }
Topic reports() { return page(QStringLiteral("rapporti")); }
Topic reportExport() { return page(QStringLiteral("esportazione-rapporti")); }
Topic certificates() { return page(QStringLiteral("certificati")); }
Topic certificateExport() { return page(QStringLiteral("esportazione-certificati")); }

} // namespace help
