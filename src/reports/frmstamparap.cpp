#include "frmstamparap.h"

#include "reportsheet.h"

#include "ui/logo.h"

TfrmAnteprimaRap::TfrmAnteprimaRap(QWidget *owner, std::function<records::Values()> values)
    : PrintWindow(owner, {QStringLiteral("frmAnteprimaRap"), QStringLiteral(" Anteprima di stampa"), Output::Preview,
                          QStringLiteral("Mostra anteprima"), QStringLiteral(":/img/print/anteprima.svg"),
                          QStringLiteral("Anteprima di stampa. La funzione mostra sullo schermo i dati che "
                                         "appariranno in stampa. Mostra anteprima visualizza il documento prima "
                                         "di stamparlo su carta."),
                          kFailed, reports::reportSheet(std::move(values), &imgLogo)}),
      imgLogo(logo::current())
{
}

TfrmStampaRap::TfrmStampaRap(QWidget *owner, std::function<records::Values()> values)
    : PrintWindow(owner, {QStringLiteral("frmStampaRap"), QStringLiteral(" Stampa rapporto di prova"), Output::Print,
                          QStringLiteral("Stampa"), QStringLiteral(":/img/print/stampa.svg"),
                          QStringLiteral("Stampa documento. La funzione stampa il documento con i dati inseriti "
                                         "nei campi. Stampa avvia la stampa, Annulla rinuncia."),
                          kFailed, reports::reportSheet(std::move(values), &imgLogo)}),
      imgLogo(logo::current())
{
}

namespace reports {

printing::Document reportSheet(std::function<records::Values()> values, const QImage *logo)
{
    printing::Document document;
    document.templateName = kSheetTemplate;
    document.texts = [values = std::move(values)] { return sheetTexts(values()); };
    document.stamp.clear(); // the report carries no print stamp
    document.pictures = [logo] { return QHash<QString, QImage>{{QStringLiteral("imgLogo"), *logo}}; };
    document.zoom = 1.0;
    return document;
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
