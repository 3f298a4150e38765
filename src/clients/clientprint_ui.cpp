#include "clientprint_ui.h"

#include "clientsheet.h"
#include "frmclienti.h"

#include "storage/programfolder.h"
#include "ui/seams.h"

namespace clients {

namespace {

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

printing::Document cardSheet(TfrmClienti *card)
{
    return {kSheetTemplate, [card] { return sheetTexts(card->values()); }};
}

void previewCard(TfrmClienti *card)
{
    guarded(card, [&] { printing::preview(card, cardSheet(card)); });
}

void printCard(TfrmClienti *card)
{
    guarded(card, [&] { printing::print(card, cardSheet(card)); });
}

void pdfCard(TfrmClienti *card)
{
    guarded(card, [&] {
        const QString path = ProgramFolder::file(kSheetPdf);
        printing::pdf(cardSheet(card), path);
        if (Messages::question(card, kPdfDone))
            Shell::open(u'"' + path + u'"');
    });
}

} // namespace clients
