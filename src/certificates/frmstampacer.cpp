#include "frmstampacer.h"

#include "certsheet.h"

TfrmAnteprimaCer::TfrmAnteprimaCer(QWidget *owner, std::function<records::Values()> values)
    : LogoPrintWindow(owner, Output::Preview, QStringLiteral("frmAnteprimaCer"), QStringLiteral(" Anteprima di stampa"),
                      std::bind_front(&certificates::certificateSheet, Output::Preview, std::move(values)))
{
}

TfrmStampaCer::TfrmStampaCer(QWidget *owner, std::function<records::Values()> values, Issue issue)
    : LogoPrintWindow(owner, Output::Print, QStringLiteral("frmStampaCer"),
                      QStringLiteral(" Stampa certificato di analisi"),
                      std::bind_front(&certificates::certificateSheet, Output::Print, std::move(values)),
                      std::move(issue))
{
}

namespace certificates {

printing::Document certificateSheet(PrintWindow::Output output, std::function<records::Values()> values,
                                    const QImage *logo)
{
    printing::Document document =
        LogoPrintWindow::document(kSheetTemplate, [values = std::move(values)] { return sheetTexts(values()); }, logo);
    document.sides = render::Sides::Two; // front and back of one sheet
    document.whole = wholeBoxes();
    if (output == PrintWindow::Output::Preview) // the preview's copy of the page differs here
        document.moved = {{QStringLiteral("txtChimico"), QPointF(111.0, 259.4)},
                          {QStringLiteral("txtOrdine"), QPointF(111.0, 264.4)}};
    return document;
}

void openPreview(QWidget *owner, std::function<records::Values()> values)
{
    TfrmAnteprimaCer window(owner, std::move(values));
    window.exec();
}

void openPrint(QWidget *owner, std::function<records::Values()> values, PrintWindow::Issue issue)
{
    TfrmStampaCer window(owner, std::move(values), std::move(issue));
    window.exec();
}

} // namespace certificates
