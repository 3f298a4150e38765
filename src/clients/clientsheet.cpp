#include "clientsheet.h"

namespace clients {

namespace {

struct Row {
    const char *caption;
    const char *field;
};

// Rows 3, 7 and 16 are put together from more than one field (see rowValue).
constexpr Row kRows[24] = {
    {"Cognome e nome:", "txtCliente"},
    {"Data di nascita:", "txtDataNasc"},
    {"Comune di nascita:", nullptr},
    {"Sesso:", "txtSesso"},
    {"Recapito preferenziale:", "txtRecapito"},
    {"Indirizzo di residenza:", "txtIndirizzoRes"},
    {"Comune di residenza:", nullptr},
    {"Modalit\u00e0 pagamento:", "txtEstremi"},
    {"Tel. casa:", "txtTelCasa"},
    {"Tel. ufficio:", "txtTelUff"},
    {"Tel. cellulare:", "txtTelCel"},
    {"PEC:", "txtFax"},
    {"E-mail:", "txtEmail"},
    {"Codice fiscale:", "txtCodFisc"},
    {"Partita IVA:", "txtPartitaIva"},
    {"Carta di credito:", nullptr},
    {"IBAN:", "txtIban"},
    {"Estremi documento:", "txtDocumento"},
    {"Occupazione:", "txtOccupazione"},
    {"Titoli e qualifiche:", "txtTitoli"},
    {"Prodotti e servizi:", "txtProdotti"},
    {"Zona di appartenenza:", "txtZona"},
    {"Questioni in sospeso:", "txtQuestioni"},
    {"Note:", "txtNote"},
};

QString rowValue(const records::Values &card, int n)
{
    const auto field = [&card](const char *name) { return card.trimmed(QString::fromLatin1(name)); };
    switch (n) {
    case 3:
        return field("txtComuneNasc") + u' ' + field("txtProvNasc");
    case 7:
        return field("txtComuneRes") + u' ' + field("txtProvRes");
    case 16:
        return QStringLiteral("N. ") + field("txtCarta") + QStringLiteral("  -  Scadenza: ") + field("txtScadeCarta");
    default:
        return field(kRows[n - 1].field);
    }
}

} // namespace

records::Values sheetTexts(const records::Values &card)
{
    records::Values t;
    t.set(QStringLiteral("txtTitolo"), QStringLiteral("SCHEDA ANAGRAFICA CLIENTE"));
    for (int n = 1; n <= 24; ++n) {
        const QString number = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
        t.set(QStringLiteral("titCampo") + number, QString::fromUtf8(kRows[n - 1].caption));
        t.set(QStringLiteral("txtCampo") + number, rowValue(card, n));
    }
    return t;
}

} // namespace clients
