#include "reportsheet.h"

namespace reports {

records::Values documentHead(const records::Values &card)
{
    const auto v = [&card](const char *field) { return card.trimmed(QLatin1String(field)); };
    const QString dash = QStringLiteral("   -   ");
    const QString gap = QStringLiteral("   ");

    records::Values t;
    const auto set = [&t](const char *object, const QString &text) { t.set(QLatin1String(object), text); };

    // Laboratory and date.
    set("txtLaboratorio", v("txtLaboratorio"));
    set("txtIndirizzoLab", v("txtIndirizzoLab") + dash + v("txtCittaLab"));
    set("txtFiscale", QStringLiteral("Partita IVA:  ") + v("txtPartitaIvaLab") + dash + QStringLiteral("Codice fiscale:  ")
                          + v("txtCodFiscLab"));
    set("txtEmail", QStringLiteral("E-mail:  ") + v("txtEmailLab") + dash + QStringLiteral("Tel.  ") + v("txtTelLab"));
    set("txtLibero", v("txtLiberoLab"));
    set("txtData", QStringLiteral("Data emissione:  ") + v("txtData"));

    // Analysis and client.
    set("txtAnalisi", v("txtAnalisi"));
    set("txtCliente", v("txtCliente"));
    set("txtIndirizzoCli", v("txtIndirizzoRes") + gap + v("txtCapRes") + gap + v("txtComuneRes") + gap + v("txtProvRes"));
    set("txtFiscaleCli", QStringLiteral("Partita IVA:  ") + v("txtPartitaIva") + dash + QStringLiteral("Codice fiscale:  ")
                             + v("txtCodFisc"));

    // The sample and its history.
    set("txtCampione", QStringLiteral("CAMPIONE ANALIZZATO:  ") + v("txtCampione"));
    set("txtLuogoPrel", v("txtLuogoPrel"));
    set("txtDataPrel", QStringLiteral("Data prelievo:  ") + v("txtDataPrel"));
    set("txtCura", v("txtCura"));
    set("txtContenitore", v("txtContenitore"));
    set("txtDataRic", QStringLiteral("Data ricezione:  ") + v("txtDataRic"));
    set("txtOraRic", QStringLiteral("Ora ricezione:  ") + v("txtOraRic"));
    set("txtDataInizio", QStringLiteral("Inizio analisi:  ") + v("txtDataInizio"));
    set("txtDataFine", QStringLiteral("Fine analisi:  ") + v("txtDataFine"));
    return t;
}

records::Values sheetTexts(const records::Values &card)
{
    records::Values t = documentHead(card);
    t.set(QStringLiteral("txtNumRap"), QStringLiteral("RAPPORTO DI PROVA N. ") + card.trimmed(QStringLiteral("txtNumRap")));

    // The results, each cell under the card field's own name, and the remarks.
    for (int k = 1; k <= 30; ++k) {
        const QString row = QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
        for (const char *column : {"txtParametro", "txtMetodo", "txtUM", "txtRisultato", "txtLimite"}) {
            const QString name = QLatin1String(column) + row;
            t.set(name, card.trimmed(name));
        }
    }
    t.set(QStringLiteral("txtOsservazioni"), card.trimmed(QStringLiteral("txtOsservazioni")));
    return t;
}

} // namespace reports
