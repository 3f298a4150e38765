#include "frmrapporti.h"

#include "frmexprapporti.h"
#include "frmnonconsegnati.h"
#include "frmstamparap.h"
#include "frmtrovarapporti.h"

#include "ui/helptopics.h"
#include "ui/rowgrid.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>

namespace {

// At rest some fields are white, the others of the general data alice blue; all of them
// yellow while focused, with a sky-blue border.
QString generalDataStyle()
{
    static const char *const white[] = {"txtNumRap",    "txtData",     "txtAnalisi", "txtCampione",
                                        "txtLuogoPrel", "txtDataPrel", "txtCura",    "txtContenitore"};
    QString rest, focus;
    for (const char *name : white) {
        rest += QStringLiteral("QLineEdit#%1, ").arg(QLatin1String(name));
        focus += QStringLiteral("QLineEdit#%1:focus, ").arg(QLatin1String(name));
    }
    rest.chop(2);
    focus.chop(2);
    return QStringLiteral("QLineEdit { background-color: #F0F8FF; border: 1px solid #87CEEB; border-radius: 2px; }"
                          "%1 { background-color: #FFFFFF; }"
                          "QLineEdit:focus, %2 { background-color: #FFFF00; }")
        .arg(rest, focus);
}

} // namespace

const DocumentCard::Description &TfrmRapporti::description()
{
    static const Description d{
        QStringLiteral("frmRapporti"),
        QStringLiteral(" Tirello - Rapporti di prova"),
        settings::DocumentKind::Reports,
        QStringLiteral("rapporti"),
        QStringLiteral("RAPPORTO DI PROVA N."),
        true,
        {QStringLiteral("Prepara la schermata per la registrazione di un nuovo rapporto di prova."),
         QStringLiteral("Salva il rapporto di prova corrente."), QStringLiteral("Trova un rapporto di prova in archivio."),
         QStringLiteral("Allega file al rapporto di prova corrente."),
         QStringLiteral("Importa i dati dall'archivio dei modelli di analisi."),
         QStringLiteral("Visualizza il riepilogo dei rapporti di prova non consegnati ai committenti."),
         QStringLiteral("Visualizza l'anteprima di stampa del rapporto di prova corrente."),
         QStringLiteral("Stampa il rapporto di prova corrente."),
         QStringLiteral("Esporta i rapporti di prova in archivio in un file di Microsoft Excel."),
         QStringLiteral("Imposta il numero iniziale per la numerazione dei rapporti di prova.")},
        {"Visualizza il primo rapporto di prova in archivio.", "Visualizza il rapporto di prova precedente in archivio.",
         "Visualizza il rapporto di prova successivo in archivio.", "Visualizza l'ultimo rapporto di prova in archivio."},
        QStringLiteral("Carica il logo da inserire nelle stampe dei rapporti di prova."),
        QStringLiteral("Spunta questa casella per indicare che il rapporto di prova \u00e8 stato consegnato al "
                       "committente."),
        QStringLiteral("Risultati analitici  >>"),
        QStringLiteral("Visualizza la sezione dei risultati analitici."),
        generalDataStyle(),
        {{"txtResponsabile", "Responsabile del Laboratorio:", 406}},
        {{"txtLaboratorio", "Attenzione: per salvare il rapporto di prova \u00e8 necessario indicare la denominazione "
                            "del Laboratorio."},
         {"txtCliente", "Attenzione: per salvare il rapporto di prova \u00e8 necessario indicare il nome del "
                        "committente."},
         {"txtNumRap", "Attenzione: per salvare il rapporto di prova \u00e8 necessario indicare il numero progressivo "
                       "del documento."},
         {"txtData", "Attenzione: per salvare il rapporto di prova \u00e8 necessario indicare la data di emissione del "
                     "documento."},
         {"txtAnalisi", "Attenzione: per salvare il rapporto di prova \u00e8 necessario indicare la tipologia di analisi "
                        "effettuata."},
         {"txtCampione", "Attenzione: per salvare il rapporto di prova \u00e8 necessario indicare il campione "
                         "analizzato."}},
        Messages::Kind::Error,
        &help::reports,
        &reports::openSearch,
        &reports::openUndelivered,
        &reports::openExport,
        &reports::openPreview,
        &reports::openPrint,
    };
    return d;
}

TfrmRapporti::TfrmRapporti(QWidget *home) : DocumentCard(description(), records::report(), home)
{
    // The results: the grid on two pages, the remarks, the footer.
    panRisultati->setStyleSheet(QStringLiteral("QLineEdit, QLineEdit:focus { background-color: white; }"));
    grdRisultati = new PagedRowGrid(panRisultati,
                                    {QStringLiteral("shpRisultati"),
                                     QStringLiteral("panPagina"),
                                     {{"txtParametro", "PARAMETRO", "Parametro", 284},
                                      {"txtMetodo", "METODO DI PROVA", "Metodo di prova", 312},
                                      {"txtUM", "U.M.", "Unit\u00e0 di misura", 106},
                                      {"txtRisultato", "RISULTATO", "Risultato", 106},
                                      {"txtLimite", "LIMITE", "Limite", 106}},
                                     30,
                                     15,
                                     979,
                                     QFont(),
                                     {{QStringLiteral("btnIndietro_A"), QStringLiteral("lblPag_A"),
                                       QStringLiteral("btnAvanti")},
                                      {QStringLiteral("btnIndietro_B"), QStringLiteral("titPag_B"),
                                       QStringLiteral("btnAvanti_B")}}});
    grdRisultati->move(8, 0);
    for (QWidget *w : grdRisultati->backgrounds())
        clearsHint(w);
    setHint(grdRisultati->nextButton(1), QStringLiteral("Visualizza la pagina successiva."));
    setHint(grdRisultati->backButton(2), QStringLiteral("Visualizza la pagina precedente."));
    QLineEdit *remarks =
        line(panRisultati, "txtOsservazioni", "Osservazioni:", 8, grdRisultati->geometry().bottom() + 4, 979);
    buildSecondFooter(remarks->geometry().bottom() + 8);

    const QList<QWidget *> results = grdRisultati->tabOrder();
    for (qsizetype i = 0; i + 1 < results.size(); ++i)
        setTabOrder(results[i], results[i + 1]);
    setTabOrder(results.last(), remarks);
    setTabOrder(remarks, btnDatiGen_B);

    bindFields();
}

QWidget *TfrmRapporti::secondSectionFirstField() const
{
    return grdRisultati->firstFieldOf(1);
}

void TfrmRapporti::secondSectionShown()
{
    grdRisultati->showPage(1);
}
