#include "modelsearch.h"

#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"

namespace models {

QString archivePath()
{
    return ProgramFolder::file(kArchiveName);
}

QString listLine(const QString &name, const QString &sample)
{
    return text::trim(name).leftJustified(kNameWidth, u' ', true) + kSampleColumn + text::trim(sample);
}

QString listLine(const records::Record &model)
{
    return listLine(model.text(QStringLiteral("txtAnalisi")), model.text(QStringLiteral("txtCampione")));
}

QStringList buildList(const QString &path)
{
    QStringList lines;
    try {
        archive::scan(path, records::model().size(), [&lines](int, const QByteArray &bytes) {
            const records::Record r(records::model(), bytes);
            if (!text::isBlank(r.text(QStringLiteral("txtAnalisi"))))
                lines.append(listLine(r));
        });
    } catch (const std::exception &) {
        // What was read so far stays listed.
    }
    return lines;
}

std::optional<Found> recordOfLine(const QString &path, const QString &line)
{
    const QString wanted = text::trim(line);
    std::optional<Found> found;
    archive::scan(path, records::model().size(), [&](int index, const QByteArray &bytes) {
        records::Record r(records::model(), bytes);
        if (text::trim(listLine(r)) == wanted)
            found = Found{index + 1, std::move(r)}; // a later equal line wins
    });
    return found;
}

int QuickFind::find(const QStringList &lines, int selected, const QString &typed)
{
    const int n = int(lines.size());
    if (n == 0)
        return -1;
    if (selected < 0 || selected >= n)
        selected = 0;
    const QString s = text::lowerAscii(typed);
    const auto matches = [&](int i) { return !s.isEmpty() && text::lowerAscii(lines[i]).contains(s); };

    int found = -1;
    int start = selected;
    if (s != m_last) {
        start = 0;
        if (matches(0))
            found = 0;
    }
    for (int step = 1; found < 0 && step <= n; ++step) {
        const int i = (start + step) % n;
        if (matches(i))
            found = i;
    }
    m_last = s;
    return found >= 0 ? found : selected;
}

} // namespace models
