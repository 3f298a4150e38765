#include "values.h"

#include "storage/textcodec.h"

namespace records {

Values Values::of(const Record &record)
{
    Values v;
    const QList<Field> &fields = record.layout().fields();
    for (int i = 0; i < fields.size(); ++i)
        v.set(fields[i].name, record.text(i));
    return v;
}

QString Values::trimmed(const QString &name) const
{
    return text::trim(text(name));
}

void copyFields(const Record &from, const QStringList &names, FieldTarget &to)
{
    for (const QString &name : names)
        to.setField(name, text::trim(from.text(name)));
}

} // namespace records
