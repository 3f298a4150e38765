#include "numbering.h"

#include "storage/textcodec.h"

#include <QLocale>

#include <cmath>

namespace reports {

QString normaliseStart(const QString &typed)
{
    const QString t = text::trim(typed);
    if (t.isEmpty())
        return QStringLiteral("1");
    QLocale italian(QLocale::Italian, QLocale::Italy);
    italian.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = italian.toDouble(t, &ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 1e15)
        return QStringLiteral("1");
    const QString whole = QString::number(static_cast<qint64>(std::floor(value + 0.5)));
    if (whole == u"," || whole.startsWith(u',') || whole.endsWith(u','))
        return QStringLiteral("1");
    return whole;
}

bool isAcceptedStart(const QString &normalised)
{
    if (normalised.isEmpty() || normalised.size() > 5)
        return false;
    for (QChar c : normalised)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace reports
