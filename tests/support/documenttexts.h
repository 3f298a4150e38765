#pragma once
// The texts of printed documents, as tables of rows: an object, its text from a card
// whose every field holds its own name padded with blanks, its text from an empty card.

#include "storage/records.h"
#include "storage/values.h"

#include <QList>
#include <QtTest>

namespace support {

// Every field of the layout, holding its own name padded with blanks: the values a
// typed card gives.
inline records::Values paddedCard(const records::Layout &layout)
{
    records::Values card;
    for (const records::Field &f : layout.fields())
        card.set(f.name, QStringLiteral("  ") + f.name + QStringLiteral(" \t"));
    return card;
}

struct TextRow {
    const char *object;
    const char *filled; // from paddedCard()
    const char *empty;  // from a card with no field set
};

// What the test report and the certificate print alike: the laboratory lines, the issue
// date, the analysis, the client lines, the sample and its history.
inline const QList<TextRow> kDocumentHead = {
    {"txtData", "Data emissione:  txtData", "Data emissione:  "},
    {"txtLaboratorio", "txtLaboratorio", ""},
    {"txtIndirizzoLab", "txtIndirizzoLab   -   txtCittaLab", "   -   "},
    {"txtFiscale", "Partita IVA:  txtPartitaIvaLab   -   Codice fiscale:  txtCodFiscLab",
     "Partita IVA:     -   Codice fiscale:  "},
    {"txtEmail", "E-mail:  txtEmailLab   -   Tel.  txtTelLab", "E-mail:     -   Tel.  "},
    {"txtLibero", "txtLiberoLab", ""},
    {"txtAnalisi", "txtAnalisi", ""},
    {"txtCliente", "txtCliente", ""},
    {"txtIndirizzoCli", "txtIndirizzoRes   txtCapRes   txtComuneRes   txtProvRes", "         "},
    {"txtFiscaleCli", "Partita IVA:  txtPartitaIva   -   Codice fiscale:  txtCodFisc",
     "Partita IVA:     -   Codice fiscale:  "},
    {"txtCampione", "CAMPIONE ANALIZZATO:  txtCampione", "CAMPIONE ANALIZZATO:  "},
    {"txtLuogoPrel", "txtLuogoPrel", ""},
    {"txtDataPrel", "Data prelievo:  txtDataPrel", "Data prelievo:  "},
    {"txtCura", "txtCura", ""},
    {"txtContenitore", "txtContenitore", ""},
    {"txtDataRic", "Data ricezione:  txtDataRic", "Data ricezione:  "},
    {"txtOraRic", "Ora ricezione:  txtOraRic", "Ora ricezione:  "},
    {"txtDataInizio", "Inizio analisi:  txtDataInizio", "Inizio analisi:  "},
    {"txtDataFine", "Fine analisi:  txtDataFine", "Fine analisi:  "},
};

// The columns filled (bool), object and text, and two rows for each row of each table.
inline void addTextRows(std::initializer_list<QList<TextRow>> tables)
{
    QTest::addColumn<bool>("filled");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("text");
    for (const QList<TextRow> &rows : tables) {
        for (const TextRow &r : rows) {
            QTest::addRow("%s filled", r.object) << true << QString::fromLatin1(r.object) << QString::fromLatin1(r.filled);
            QTest::addRow("%s empty", r.object) << false << QString::fromLatin1(r.object) << QString::fromLatin1(r.empty);
        }
    }
}

} // namespace support
