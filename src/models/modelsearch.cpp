#include "modelsearch.h"

#include "storage/log.h"
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
    return text::trim(name).leftJustified(kNameWidth, u' ', true) + QLatin1StringView(kSampleColumn)
        + text::trim(sample);
}

namespace {

int nameField()
{
    static const int f = records::model().indexOf(QStringLiteral("txtAnalisi"));
    return f;
}

int sampleField()
{
    static const int f = records::model().indexOf(QStringLiteral("txtCampione"));
    return f;
}

} // namespace

void appendLine(QByteArray &line, records::RecordView model)
{
    lists::appendColumn(line, model, nameField(), kNameWidth);
    lists::appendBytes(line, kSampleColumn);
    lists::appendTrimmed(line, model, sampleField());
}

QString listLine(records::RecordView model)
{
    QByteArray line;
    appendLine(line, model);
    return text::fromCp1252(line);
}

lists::LineOf lineOf()
{
    return [](records::RecordView model) { return listLine(model); };
}

lists::Lines modelList(const QString &path)
{
    lists::Lines lines;
    try {
        lists::collectLines(
            path, records::model(), [](records::RecordView r, QByteArray &line) { appendLine(line, r); },
            [](records::RecordView r) { return !text::trimBytes(r.stored(nameField())).isEmpty(); }, lines);
    } catch (const std::exception &e) {
        // What was read so far stays listed.
        qCWarning(lcTirello) << "model list cut short:" << e.what();
    }
    return lines;
}

QStringList buildList(const QString &path)
{
    return modelList(path).texts();
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
