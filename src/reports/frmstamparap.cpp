#include "frmstamparap.h"

#include "reportsheet.h"

TfrmAnteprimaRap::TfrmAnteprimaRap(QWidget *owner, std::function<records::Values()> values)
    : LogoPrintWindow(owner, Output::Preview, QStringLiteral("frmAnteprimaRap"), QStringLiteral(" Anteprima di stampa"),
                      std::bind_front(&reports::reportSheet, std::move(values)))
{
}

TfrmStampaRap::TfrmStampaRap(QWidget *owner, std::function<records::Values()> values)
    : LogoPrintWindow(owner, Output::Print, QStringLiteral("frmStampaRap"), QStringLiteral(" Stampa rapporto di prova"),
                      std::bind_front(&reports::reportSheet, std::move(values)))
{
}

namespace reports {

printing::Document reportSheet(std::function<records::Values()> values, const QImage *logo)
{
    return LogoPrintWindow::document(kSheetTemplate, [values = std::move(values)] { return sheetTexts(values()); }, logo);
}

void openPreview(QWidget *owner, std::function<records::Values()> values)
{
    TfrmAnteprimaRap window(owner, std::move(values));
    window.exec();
}

void openPrint(QWidget *owner, std::function<records::Values()> values)
{
    TfrmStampaRap window(owner, std::move(values));
    window.exec();
}

} // namespace reports
