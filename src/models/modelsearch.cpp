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

QString listLine(records::RecordView model)
{
    return listLine(model.text(QStringLiteral("txtAnalisi")), model.text(QStringLiteral("txtCampione")));
}

lists::LineOf lineOf()
{
    return [](records::RecordView model) { return listLine(model); };
}

QStringList buildList(const QString &path)
{
    QStringList lines;
    try {
        lists::collectLines(path, records::model(), lineOf(),
                            [](records::RecordView r) { return !text::isBlank(r.text(QStringLiteral("txtAnalisi"))); },
                            lines);
    } catch (const std::exception &) {
        // What was read so far stays listed.
    }
    return lines;
}

QStringList importedFields()
{
    QStringList names;
    for (const records::Field &f : records::model().fields())
        if (f.name.startsWith(QStringLiteral("txt")))
            names.append(f.name);
    return names;
}

} // namespace models
