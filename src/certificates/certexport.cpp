#include "certexport.h"

namespace certificates {

using spreadsheet::Column;
using spreadsheet::Sheet;

const Sheet &exportSheet()
{
    static const Sheet sheet = [] {
        // Heading and width in the grid, then the width in the file; the file's caption
        // is the grid's heading but for the number.
        auto column = [](const char *heading, int gridWidth, int width, const char *field) {
            const QString h = QString::fromUtf8(heading);
            return Column{h, gridWidth, h, width, {QString::fromLatin1(field)}};
        };
        Column number = column("Rapporto di analisi n.", 180, 200, "txtNumRap");
        number.caption = QStringLiteral("Certificato di analisi n.");
        return Sheet{QStringLiteral("Certificati_Analisi_Chimica.xls"),
                     QStringLiteral("Certificati Analisi Chimica"),
                     {
                         number,
                         column("Data emissione", 150, 180, "txtData"),
                         column("Committente", 250, 250, "txtCliente"),
                         column("Indirizzo e numero civico", 250, 300, "txtIndirizzoRes"),
                         column("CAP", 120, 160, "txtCapRes"),
                         column("Prov.", 120, 160, "txtProvRes"),
                         column("Comune di residenza", 250, 250, "txtComuneRes"),
                         column("Partita IVA", 150, 180, "txtPartitaIva"),
                         column("Codice fiscale", 180, 200, "txtCodFisc"),
                         column("Tipo analisi", 250, 250, "txtAnalisi"),
                         column("Campione analizzato", 300, 300, "txtCampione"),
                         column("Luogo prelievo", 250, 250, "txtLuogoPrel"),
                         column("Data prelievo", 150, 180, "txtDataPrel"),
                         column("Campionamento a cura di", 250, 250, "txtCura"),
                         column("Contenitore utilizzato", 250, 250, "txtContenitore"),
                         column("Data ricezione", 150, 180, "txtDataRic"),
                         column("Ora ricezione", 150, 180, "txtOraRic"),
                         column("Inizio analisi", 150, 180, "txtDataInizio"),
                         column("Fine analisi", 150, 180, "txtDataFine"),
                         column("Chimico responsabile", 250, 250, "txtChimico"),
                         column("Ordine appartenenza", 250, 250, "txtOrdine"),
                         column("Consegnato", 120, 160, "chkConsegnato"),
                     }};
    }();
    return sheet;
}

} // namespace certificates
