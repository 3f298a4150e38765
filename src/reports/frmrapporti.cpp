#include "frmrapporti.h"

#include "frmexprapporti.h"
#include "frmnonconsegnati.h"
#include "frmstamparap.h"
#include "frmtrovarapporti.h"

#include "storage/log.h"
#include "storage/settings.h"
#include "ui/helptopics.h"
#include "ui/rowgrid.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
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

// A result out of its limit in white on red, one that cannot be decided on amber; focused
// or not.
QString verdictStyle(limits::Verdict verdict)
{
    switch (verdict) {
    case limits::Verdict::OutOfLimit: return QStringLiteral("QLineEdit { background-color: #C00000; color: white; }");
    case limits::Verdict::Undecidable: return QStringLiteral("QLineEdit { background-color: #FFBF00; color: black; }");
    default: return {};
    }
}

constexpr int kRowsPerPage = 15;

const QString kNextPageHint = QStringLiteral("Visualizza la pagina successiva.");
const QString kPreviousPageHint = QStringLiteral("Visualizza la pagina precedente.");

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
                                     reports::kResultRows,
                                     kRowsPerPage,
                                     979,
                                     QFont(),
                                     {{QStringLiteral("btnIndietro_A"), QStringLiteral("lblPag_A"),
                                       QStringLiteral("btnAvanti")},
                                      {QStringLiteral("btnIndietro_B"), QStringLiteral("titPag_B"),
                                       QStringLiteral("btnAvanti_B")}}});
    grdRisultati->move(8, 0);
    for (QWidget *w : grdRisultati->backgrounds())
        clearsHint(w);
    setHint(grdRisultati->nextButton(1), kNextPageHint);
    setHint(grdRisultati->backButton(2), kPreviousPageHint);

    // Under the page controls: the rows out of limit, and the printing option.
    const int below = grdRisultati->geometry().bottom() + 3;
    lblFuoriLimite = new QLabel(panRisultati);
    lblFuoriLimite->setObjectName(QStringLiteral("lblFuoriLimite"));
    lblFuoriLimite->setGeometry(16, below, 640, 20);
    lblFuoriLimite->setStyleSheet(QStringLiteral("color: #C00000; font-weight: bold;"));
    lblFuoriLimite->hide();
    clearsHint(lblFuoriLimite);
    chkEvidenziaFuoriLimite = new QCheckBox(QStringLiteral("Evidenzia risultati fuori limite nella stampa"), panRisultati);
    chkEvidenziaFuoriLimite->setObjectName(QStringLiteral("chkEvidenziaFuoriLimite"));
    chkEvidenziaFuoriLimite->setGeometry(8 + 979 - 330, below, 330, 20);
    chkEvidenziaFuoriLimite->setStyleSheet(QStringLiteral("font-weight: bold; color: #0E2A44;"));
    chkEvidenziaFuoriLimite->setAccessibleName(chkEvidenziaFuoriLimite->text());
    setHint(chkEvidenziaFuoriLimite, kHighlightHint);
    connect(chkEvidenziaFuoriLimite, &QCheckBox::clicked, this, &TfrmRapporti::chkEvidenziaFuoriLimiteClick);

    QLineEdit *remarks = line(panRisultati, "txtOsservazioni", "Osservazioni:", 8, below + 21, 979);
    buildSecondFooter(remarks->geometry().bottom() + 6);

    const QList<QWidget *> results = grdRisultati->tabOrder();
    for (qsizetype i = 0; i + 1 < results.size(); ++i)
        setTabOrder(results[i], results[i + 1]);
    setTabOrder(results.last(), chkEvidenziaFuoriLimite);
    setTabOrder(chkEvidenziaFuoriLimite, remarks);
    setTabOrder(remarks, btnDatiGen_B);

    bindFields();

    // Every change of a result or a limit, loaded, imported or typed, judges its row.
    for (int row = 1; row <= reports::kResultRows; ++row)
        for (const QString &name : {reports::resultField(row), reports::limitField(row)})
            connect(edit(name), &QLineEdit::textChanged, this, [this, row] { judgeRow(row); });
}

void TfrmRapporti::judgeRow(int row)
{
    QLineEdit *result = edit(reports::resultField(row));
    const limits::Judgement j = limits::judge(result->text(), edit(reports::limitField(row))->text());
    if (result->toolTip() != j.reason) {
        result->setToolTip(j.reason);
        result->setAccessibleDescription(j.reason);
    }
    if (j.verdict == m_verdicts[row - 1])
        return;
    result->setStyleSheet(verdictStyle(j.verdict));
    m_verdicts[row - 1] = j.verdict;
    showOutOfLimitRows();
}

void TfrmRapporti::showOutOfLimitRows()
{
    QList<int> rows;
    for (int row = 1; row <= reports::kResultRows; ++row)
        if (m_verdicts[row - 1] == limits::Verdict::OutOfLimit)
            rows.append(row);
    const QString summary = reports::outOfLimitSummary(rows);
    lblFuoriLimite->setText(summary);
    lblFuoriLimite->setVisible(!summary.isEmpty());

    // The button that leads to a page tells screen readers what that page holds.
    const auto leadsTo = [&](QWidget *button, const QString &hint, int page) {
        const int first = (page - 1) * kRowsPerPage + 1, last = page * kRowsPerPage;
        QList<int> onPage;
        for (int row : rows)
            if (row >= first && row <= last)
                onPage.append(row);
        QString description = hint;
        if (!onPage.isEmpty())
            description += QStringLiteral(" La pagina %1 contiene risultati fuori limite (%2).")
                               .arg(page)
                               .arg(reports::rowsInWords(onPage));
        button->setAccessibleDescription(description);
    };
    leadsTo(grdRisultati->nextButton(1), kNextPageHint, 2);
    leadsTo(grdRisultati->backButton(2), kPreviousPageHint, 1);
}

void TfrmRapporti::readHighlightOption()
{
    try {
        chkEvidenziaFuoriLimite->setChecked(settings::readHighlightOutOfLimit(settings::filePath()));
    } catch (const std::exception &e) {
        // The box stays as it was.
        qCWarning(lcTirello) << "print highlighting setting not read:" << e.what();
    }
}

void TfrmRapporti::chkEvidenziaFuoriLimiteClick()
{
    const bool on = chkEvidenziaFuoriLimite->isChecked();
    try {
        settings::writeHighlightOutOfLimit(settings::filePath(), on);
    } catch (const std::exception &e) {
        qCWarning(lcTirello) << "print highlighting setting not written:" << e.what();
        chkEvidenziaFuoriLimite->setChecked(!on);
        Messages::warning(this, kHighlightNotSaved);
    }
}

QWidget *TfrmRapporti::secondSectionFirstField() const
{
    return grdRisultati->firstFieldOf(1);
}

void TfrmRapporti::secondSectionShown()
{
    grdRisultati->showPage(1);
    // Read each time the results are shown, the only place the box is seen (a card opens on
    // its general data): another station may have set it meanwhile.
    readHighlightOption();
}
