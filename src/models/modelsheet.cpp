#include "modelsheet.h"

namespace models {

records::Values sheetTexts(const records::Values &card)
{
    records::Values t;
    const auto copy = [&](const QString &name) { t.set(name, card.trimmed(name)); };
    copy(QStringLiteral("txtAnalisi"));
    copy(QStringLiteral("txtCampione"));
    for (int k = 1; k <= 30; ++k) {
        const QString row = QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
        for (const char *column : {"txtParametro", "txtMetodo", "txtUM", "txtLimite"})
            copy(QLatin1String(column) + row);
    }
    return t;
}

} // namespace models
