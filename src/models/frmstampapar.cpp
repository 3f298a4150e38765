#include "frmstampapar.h"

#include "frmparametri.h"
#include "modelsheet.h"

TfrmAnteprimaPar::TfrmAnteprimaPar(TfrmParametri *card)
    : PrintWindow(card, {QStringLiteral("frmAnteprimaPar"), QStringLiteral(" Anteprima di stampa"), Output::Preview,
                         QStringLiteral("Mostra anteprima"), QStringLiteral(":/img/print/anteprima.svg"),
                         QStringLiteral("Anteprima di stampa. L'anteprima mostra sullo schermo ci\u00f2 che verr\u00e0 "
                                        "stampato. Premere Mostra anteprima."),
                         kFailed, models::modelSheet(card)})
{
}

TfrmStampaPar::TfrmStampaPar(TfrmParametri *card)
    : PrintWindow(card, {QStringLiteral("frmStampaPar"), QStringLiteral(" Stampa modello analisi"), Output::Print,
                         QStringLiteral("Stampa"), QStringLiteral(":/img/print/stampa.svg"),
                         QStringLiteral("Stampa documento. Il documento verr\u00e0 stampato con i dati inseriti nei "
                                        "campi. Premere Stampa, oppure Annulla per rinunciare."),
                         kFailed, models::modelSheet(card)})
{
}

namespace models {

printing::Document modelSheet(const TfrmParametri *card)
{
    return {kSheetTemplate, [card] { return sheetTexts(card->values()); }};
}

void openPreview(TfrmParametri *card)
{
    TfrmAnteprimaPar window(card);
    window.exec();
}

void openPrint(TfrmParametri *card)
{
    TfrmStampaPar window(card);
    window.exec();
}

} // namespace models
