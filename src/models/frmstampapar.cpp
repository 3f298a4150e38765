#include "frmstampapar.h"

#include "frmparametri.h"

#include "storage/programfolder.h"
#include "storage/textcodec.h"

#include <QLineEdit>

namespace {

const QString kTemplate = QStringLiteral("modello_analisi");

} // namespace

TfrmAnteprimaPar::TfrmAnteprimaPar(TfrmParametri *card)
    : PrintWindow(card, {QStringLiteral("frmAnteprimaPar"), QStringLiteral(" Anteprima di stampa"), Output::Preview,
                         QStringLiteral("Mostra anteprima"), QStringLiteral(":/img/print/anteprima.svg"),
                         QStringLiteral("Anteprima di stampa. L'anteprima mostra sullo schermo ci\u00f2 che verr\u00e0 "
                                        "stampato. Premere Mostra anteprima."),
                         kFailed, [card] { return models::modelSheet(card); }})
{
}

TfrmStampaPar::TfrmStampaPar(TfrmParametri *card)
    : PrintWindow(card, {QStringLiteral("frmStampaPar"), QStringLiteral(" Stampa modello analisi"), Output::Print,
                         QStringLiteral("Stampa"), QStringLiteral(":/img/print/stampa.svg"),
                         QStringLiteral("Stampa documento. Il documento verr\u00e0 stampato con i dati inseriti nei "
                                        "campi. Premere Stampa, oppure Annulla per rinunciare."),
                         kFailed, [card] { return models::modelSheet(card); }})
{
}

namespace models {

render::Template modelSheet(const TfrmParametri *card)
{
    render::Template t = render::Template::load(kTemplate);
    t.setOrientation(0, render::Orientation::Portrait);
    auto copy = [&](const QString &name) {
        const QLineEdit *field = card->edit(name);
        if (!field)
            throw render::RenderError(QStringLiteral("Il campo \"%1\" non si trova nella scheda.").arg(name));
        t.setText(name, text::trim(field->text()));
    };
    copy(QStringLiteral("txtAnalisi"));
    copy(QStringLiteral("txtCampione"));
    for (int k = 1; k <= 30; ++k) {
        const QString row = QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
        for (const char *column : {"txtParametro", "txtMetodo", "txtUM", "txtLimite"})
            copy(QLatin1String(column) + row);
    }
    t.setText(QStringLiteral("txtCalce"), render::printStamp(Clock::now()));
    return t;
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
