#include "reportexport.h"

namespace reports {

using spreadsheet::Sheet;

const Sheet &exportSheet()
{
    static const Sheet sheet = [] {
        Sheet s{QStringLiteral("Rapporti_di_Prova.xls"), QStringLiteral("Rapporti di Prova"), {}};
        auto column = [&s](const QString &caption, int width, const QString &field) {
            s.columns.append({caption, width, caption, width, {field}});
        };
        column(QStringLiteral("Rapporto di prova n."), 200, QStringLiteral("txtNumRap"));
        column(QStringLiteral("Data emissione"), 180, QStringLiteral("txtData"));
        column(QStringLiteral("Committente"), 250, QStringLiteral("txtCliente"));
        column(QStringLiteral("Comune di residenza"), 250, QStringLiteral("txtComuneRes"));
        column(QStringLiteral("Partita IVA"), 180, QStringLiteral("txtPartitaIva"));
        column(QStringLiteral("Codice fiscale"), 200, QStringLiteral("txtCodFisc"));
        column(QStringLiteral("Tipo analisi"), 250, QStringLiteral("txtAnalisi"));
        column(QStringLiteral("Campione analizzato"), 300, QStringLiteral("txtCampione"));
        column(QStringLiteral("Luogo prelievo"), 250, QStringLiteral("txtLuogoPrel"));
        column(QStringLiteral("Data prelievo"), 180, QStringLiteral("txtDataPrel"));
        column(QStringLiteral("Campionamento a cura di"), 250, QStringLiteral("txtCura"));
        column(QStringLiteral("Contenitore utilizzato"), 250, QStringLiteral("txtContenitore"));
        column(QStringLiteral("Inizio analisi"), 180, QStringLiteral("txtDataInizio"));
        column(QStringLiteral("Fine analisi"), 180, QStringLiteral("txtDataFine"));
        for (int k = 1; k <= 5; ++k) {
            const QString row = QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
            column(QStringLiteral("Parametro %1").arg(k), 250, QStringLiteral("txtParametro") + row);
            column(QStringLiteral("Risultato %1").arg(k), 200, QStringLiteral("txtRisultato") + row);
        }
        column(QStringLiteral("Osservazioni"), 400, QStringLiteral("txtOsservazioni"));
        return s;
    }();
    return sheet;
}

const QSet<int> &editableColumns()
{
    static const QSet<int> columns = [] {
        // Read-only: N. (0), Committente (3), Comune di residenza (4), Data prelievo (10),
        // Inizio analisi (13).
        const QSet<int> readOnly{0, 3, 4, 10, 13};
        QSet<int> editable;
        for (int c = 1; c <= int(exportSheet().columns.size()); ++c)
            if (!readOnly.contains(c))
                editable.insert(c);
        return editable;
    }();
    return columns;
}

} // namespace reports
