#include "clientexport.h"

namespace clients {

using spreadsheet::Sheet;

const Sheet &exportSheet()
{
    static const Sheet sheet{
        QStringLiteral("Clienti.xls"),
        QStringLiteral("Riepilogo Clienti"),
        {
            {"Cognome e nome cliente", 250, "Cognome e nome cliente", 250, {"txtCliente"}},
            {"Data di nascita", 120, "Data di nascita", 200, {"txtDataNasc"}},
            {"Comune / Stato estero di nascita", 250, "Comune di nascita", 250, {"txtComuneNasc", "txtProvNasc"}},
            {"Recapito preferenziale", 200, "Recapito preferenziale", 250, {"txtRecapito"}},
            {"Indirizzo di residenza", 250, "Indirizzo di residenza", 300, {"txtIndirizzoRes"}},
            {"Comune di residenza", 250, "Comune di residenza", 250, {"txtComuneRes", "txtProvRes"}},
            {"Modalit\u00e0 di pagamento", 250, "Modalit\u00e0 di pagamento", 250, {"txtEstremi"}},
            {"Tel. casa", 200, "Tel. casa", 250, {"txtTelCasa"}},
            {"Tel. ufficio", 200, "Tel. ufficio", 250, {"txtTelUff"}},
            {"Tel. cellulare", 200, "Tel. cellulare", 250, {"txtTelCel"}},
            {"PEC", 200, "PEC", 250, {"txtFax"}},
            {"E-mail", 250, "E-mail", 250, {"txtEmail"}},
            {"Codice fiscale", 150, "Codice fiscale", 250, {"txtCodFisc"}},
            {"Partita IVA", 150, "Partita IVA", 250, {"txtPartitaIva"}},
            {"Carta di credito n.", 250, "Carta di credito n.", 300, {"txtCarta"}},
            {"Scadenza", 160, "Scadenza", 150, {"txtScadeCarta"}},
            {"IBAN", 250, "IBAN", 300, {"txtIban"}},
            {"Estremi documento", 280, "Estremi documento", 280, {"txtDocumento"}},
            {"Occupazione", 250, "Occupazione", 250, {"txtOccupazione"}},
            {"Stato civile", 250, "Stato civile", 250, {"txtCivile"}},
            {"Titoli e qualifiche", 280, "Titoli e qualifiche", 280, {"txtTitoli"}},
            {"Prodotti e servizi di interesse", 300, "Prodotti e servizi di interesse", 300, {"txtProdotti"}},
            {"Zona di appartenenza", 250, "Zona di appartenenza", 250, {"txtZona"}},
            {"Questioni in sospeso", 300, "Questioni in sospeso", 300, {"txtQuestioni"}},
            {"Note", 350, "Note", 300, {"txtNote"}},
        },
    };
    return sheet;
}

} // namespace clients
