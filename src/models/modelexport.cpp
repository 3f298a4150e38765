#include "modelexport.h"

namespace models {

using spreadsheet::Sheet;

const Sheet &exportSheet()
{
    static const Sheet sheet = [] {
        Sheet s{QStringLiteral("Modelli_Analisi.xls"), QStringLiteral("Modelli Analisi"), {}};
        s.columns.append({"Nome analisi", 250, "Nome analisi", 250, {"txtAnalisi"}});
        s.columns.append({"Tipo campione", 300, "Tipo campione", 300, {"txtCampione"}});
        for (int k = 1; k <= 10; ++k) {
            const QString row = QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
            const QString parameter = QStringLiteral("Parametro %1").arg(k);
            const QString method = QStringLiteral("Metodo di prova %1").arg(k);
            s.columns.append({parameter, 250, parameter, 250, {QStringLiteral("txtParametro") + row}});
            s.columns.append({method, 250, method, 250, {QStringLiteral("txtMetodo") + row}});
        }
        return s;
    }();
    return sheet;
}

} // namespace models
