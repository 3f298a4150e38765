#include "clientprint_ui.h"

#include "clients/frmclienti.h"

#include "app/seams.h"
#include "storage/programfolder.h"
#include "storage/textcodec.h"
#include "tools/render_ui.h"

#include <QComboBox>
#include <QLineEdit>

namespace clients {

namespace {

const QString kTemplate = QStringLiteral("scheda_cliente");

struct Row {
    const char *caption;
    const char *field;
};

// Rows 3, 7 and 16 are put together from more than one control (see rowValue).
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

QString field(TfrmClienti *card, const char *name)
{
    return text::trim(card->edit(QString::fromLatin1(name))->text());
}

QString rowValue(TfrmClienti *card, int n)
{
    switch (n) {
    case 3:
        return field(card, "txtComuneNasc") + u' ' + text::trim(card->txtProvNasc->currentText());
    case 7:
        return field(card, "txtComuneRes") + u' ' + text::trim(card->txtProvRes->currentText());
    case 16:
        return QStringLiteral("N. ") + field(card, "txtCarta") + QStringLiteral("  -  Scadenza: ")
            + field(card, "txtScadeCarta");
    default:
        return field(card, kRows[n - 1].field);
    }
}

// Every failure of the three commands ends the command with the engine's message; the
// card stays as it was.
template <typename F>
void guarded(TfrmClienti *card, F &&command)
{
    try {
        command();
    } catch (const render::RenderError &e) {
        Messages::error(card, e.message());
    }
}

} // namespace

render::Template cardSheet(TfrmClienti *card)
{
    render::Template t = render::Template::load(kTemplate);
    t.setOrientation(0, render::Orientation::Portrait);
    t.setText(QStringLiteral("txtTitolo"), QStringLiteral("SCHEDA ANAGRAFICA CLIENTE"));
    for (int n = 1; n <= 24; ++n) {
        const QString number = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
        t.setText(QStringLiteral("titCampo") + number, QString::fromUtf8(kRows[n - 1].caption));
        t.setText(QStringLiteral("txtCampo") + number, rowValue(card, n));
    }
    t.setText(QStringLiteral("txtCalce"), render::printStamp(Clock::now()));
    return t;
}

void previewCard(TfrmClienti *card)
{
    guarded(card, [&] {
        const render::Template t = cardSheet(card);
        render::preview(card, render::prepareForOutput(t), t.name);
    });
}

void printCard(TfrmClienti *card)
{
    guarded(card, [&] {
        const render::Template t = cardSheet(card);
        render::print(card, render::prepareForOutput(t), t.name);
    });
}

void pdfCard(TfrmClienti *card)
{
    guarded(card, [&] {
        const QString path = ProgramFolder::file(kSheetPdf);
        const render::Template t = cardSheet(card);
        render::exportPdf(render::prepareForOutput(t), path, {t.name, t.name});
        if (Messages::question(card, kPdfDone))
            Shell::open(u'"' + path + u'"');
    });
}

} // namespace clients
