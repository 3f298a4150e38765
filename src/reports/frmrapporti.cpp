#include "frmrapporti.h"

#include "frmexprapporti.h"
#include "frmnonconsegnati.h"
#include "frmnumerazione.h"
#include "frmstamparap.h"
#include "frmtrovarapporti.h"

#include "checks/checkwindows.h"
#include "clients/frmtrovaclienti.h"
#include "models/frmtrovaparametri.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/settings.h"
#include "storage/textcodec.h"
#include "ui/frmallegacartella.h"
#include "ui/frmcalendario.h"
#include "ui/frmlogo.h"
#include "ui/helptopics.h"
#include "ui/helpwindows.h"
#include "ui/inputrules.h"
#include "ui/rowgrid.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSvgWidget>
#include <QToolButton>

namespace {

constexpr int kCaptionH = 16;
constexpr int kFieldH = 24;
constexpr int kRow = 44; // a caption above its field

// The date fields and their calendar tags.
struct DateField {
    const char *field;
    const char *tag;
};
constexpr DateField kDates[] = {
    {"txtData", "rapporti_data"},
    {"txtDataPrel", "rapporti_dataprel"},
    {"txtDataRic", "rapporti_dataric"},
    {"txtDataInizio", "rapporti_datainizio"},
    {"txtDataFine", "rapporti_datafine"},
};

// The fields a blank card keeps: the laboratory block with its head, the number and the date.
bool keptByBlank(const QString &name)
{
    if (name == u"txtNumRap" || name == u"txtData")
        return true;
    for (const settings::LaboratoryField &f : settings::laboratoryFields(settings::DocumentKind::Reports))
        if (name == QLatin1String(f.field))
            return true;
    return false;
}

// Fields filled white at rest; the others of the general data are alice blue.
const char *const kWhiteFields[] = {"txtNumRap", "txtData",      "txtAnalisi", "txtCampione",
                                    "txtLuogoPrel", "txtDataPrel", "txtCura",    "txtContenitore"};

QString generalDataStyle()
{
    QString white, whiteFocus;
    for (const char *name : kWhiteFields) {
        white += QStringLiteral("QLineEdit#%1, ").arg(QLatin1String(name));
        whiteFocus += QStringLiteral("QLineEdit#%1:focus, ").arg(QLatin1String(name));
    }
    white.chop(2);
    whiteFocus.chop(2);
    return QStringLiteral("QLineEdit { background-color: #F0F8FF; border: 1px solid #87CEEB; border-radius: 2px; }"
                          "%1 { background-color: #FFFFFF; }"
                          "QLineEdit:focus, %2 { background-color: #FFFF00; }")
        .arg(white, whiteFocus);
}

QPushButton *sectionButton(QWidget *parent, const QString &name, const QString &text, int x, int y)
{
    QPushButton *b = look::button(parent, name, text);
    b->setGeometry(x, y, 200, 32);
    b->setAccessibleName(QString(text).remove(u'<').remove(u'>').trimmed());
    return b;
}

} // namespace

TfrmRapporti::TfrmRapporti(QWidget *home)
    : CardWindow(QStringLiteral("frmRapporti"), kTitlePrefix.trimmed(), records::report(), home)
{
    setWindowTitle(QStringLiteral(" Tirello - Rapporti di prova"));
    QWidget *p = panel();

    commandToolbar(
        {
            {&cmdNuovo, "cmdNuovo", "Nuovo",
             "Prepara la schermata per la registrazione di un nuovo rapporto di prova.", ":/img/reports/tbNuovo.svg"},
            {&cmdSalva, "cmdSalva", "Salva", "Salva il rapporto di prova corrente.", ":/img/reports/tbSalva.svg"},
            {&cmdTrova, "cmdTrova", "Trova", "Trova un rapporto di prova in archivio.", ":/img/reports/tbTrova.svg"},
            {&cmdFile, "cmdFile", "Allega file", "Allega file al rapporto di prova corrente.",
             ":/img/reports/tbFile.svg"},
            {&cmdImporta, "cmdImporta", "Importa modello di analisi",
             "Importa i dati dall'archivio dei modelli di analisi.", ":/img/reports/tbImporta.svg"},
            {&cmdNonConsegnati, "cmdNonConsegnati", "Rapporti non consegnati",
             "Visualizza il riepilogo dei rapporti di prova non consegnati ai committenti.",
             ":/img/reports/tbNonConsegnati.svg"},
            {&cmdAnteprima, "cmdAnteprima", "Anteprima",
             "Visualizza l'anteprima di stampa del rapporto di prova corrente.", ":/img/reports/tbAnteprima.svg"},
            {&cmdStampa, "cmdStampa", "Stampa", "Stampa il rapporto di prova corrente."},
            {&cmdEsporta, "cmdEsporta", "Esporta archivio",
             "Esporta i rapporti di prova in archivio in un file di Microsoft Excel.", ":/img/reports/tbEsporta.svg"},
            {&cmdNumerazione, "cmdNumerazione", "Numerazione",
             "Imposta il numero iniziale per la numerazione dei rapporti di prova.",
             ":/img/reports/tbNumerazione.svg"},
            {&cmdGuida, "cmdGuida", "Guida", "Visualizza la guida in linea.", ":/img/reports/tbGuida.svg"},
            {&cmdEsci, "cmdEsci", "Esci", "Esci dalla schermata di lavoro corrente.", ":/img/reports/tbEsci.svg"},
        },
        8,
        {"Visualizza il primo rapporto di prova in archivio.",
         "Visualizza il rapporto di prova precedente in archivio.",
         "Visualizza il rapporto di prova successivo in archivio.", "Visualizza l'ultimo rapporto di prova in archivio."});

    const QRect sectionArea(0, 62, 995, 586);
    auto section = [&](const QString &name) {
        auto *w = new QWidget(p);
        w->setObjectName(name);
        w->setGeometry(sectionArea);
        clearsHint(w);
        return w;
    };
    auto box = [&](QWidget *parent, const QString &name, const QRect &r) {
        QFrame *f = look::sectionFrame(parent, name, r);
        clearsHint(f);
        return f;
    };
    auto line = [&](QWidget *parent, const char *name, const char *caption, int x, int y, int width) {
        auto *e = new QLineEdit(parent);
        e->setObjectName(QString::fromLatin1(name));
        QLabel *l = look::caption(parent, QString::fromUtf8(caption), e);
        l->setGeometry(x, y, width + 40, kCaptionH);
        l->setStyleSheet(QStringLiteral("font-weight: bold; color: #0E2A44;"));
        clearsHint(l);
        e->setGeometry(x, y + kCaptionH + 1, width, kFieldH);
        return e;
    };
    auto iconButton = [&](QWidget *parent, const char *name, const QString &picture, const QString &accessible,
                          const QString &hint, QLineEdit *beside) {
        QToolButton *b = look::pictureButton(parent, QString::fromLatin1(name), picture, QSize(24, 24), accessible);
        b->move(beside->geometry().right() + 3, beside->geometry().top() - 3);
        setHint(b, hint);
        return b;
    };
    auto picture = [&](QWidget *parent, const QString &name, const QString &svg, const QRect &r) {
        auto *pic = new QSvgWidget(svg, parent);
        pic->setObjectName(name);
        pic->setGeometry(r);
        clearsHint(pic);
        return pic;
    };
    const QString vatHint = QStringLiteral("Controlla il numero di partita IVA.");
    const QString taxHint = QStringLiteral("Controlla il codice fiscale.");

    // ---- General data -------------------------------------------------------------------
    panDatiGen = section(QStringLiteral("panDatiGen"));
    panDatiGen->setStyleSheet(generalDataStyle());

    QFrame *lab = box(panDatiGen, QStringLiteral("shpLaboratorio"), QRect(8, 0, 979, 146));
    btnLogo = look::pictureButton(lab, QStringLiteral("btnLogo"), QStringLiteral(":/img/reports/btnLogo.svg"),
                                  QSize(90, 56), QStringLiteral("Logo"));
    btnLogo->move(6, 44);
    setHint(btnLogo, QStringLiteral("Carica il logo da inserire nelle stampe dei rapporti di prova."));
    int y = 4;
    line(lab, "txtLaboratorio", "Denominazione Laboratorio analisi:", 112, y, 420);
    line(lab, "txtIndirizzoLab", "Indirizzo e numero civico:", 544, y, 424);
    y += kRow;
    line(lab, "txtCittaLab", "CAP, citt\u00e0 e provincia:", 112, y, 290);
    QLineEdit *vatLab = line(lab, "txtPartitaIvaLab", "Partita IVA:", 412, y, 120);
    btnPartitaIvaLab = iconButton(lab, "btnPartitaIvaLab", QStringLiteral(":/img/cards/btnPartitaIva.svg"),
                                  QStringLiteral("Controlla la partita IVA del Laboratorio"), vatHint, vatLab);
    QLineEdit *taxLab = line(lab, "txtCodFiscLab", "Codice fiscale:", 574, y, 170);
    btnCodFiscLab = iconButton(lab, "btnCodFiscLab", QStringLiteral(":/img/cards/btnCodFisc.svg"),
                               QStringLiteral("Controlla il codice fiscale del Laboratorio"), taxHint, taxLab);
    QLineEdit *emailLab = line(lab, "txtEmailLab", "E-mail:", 786, y, 182);
    y += kRow;
    line(lab, "txtTelLab", "Telefono:", 112, y, 200);
    line(lab, "txtLiberoLab", "Campo libero:", 324, y, 644);

    QFrame *client = box(panDatiGen, QStringLiteral("shpCliente"), QRect(8, 152, 640, 146));
    picture(client, QStringLiteral("imgCliente"), QStringLiteral(":/img/cards/sezAnagrafica.svg"),
            QRect(8, 40, 64, 64));
    y = 4;
    QLineEdit *clientName = line(client, "txtCliente", "Committente:", 80, y, 500);
    impCliente = iconButton(client, "impCliente", QStringLiteral(":/img/reports/impCliente.svg"),
                            QStringLiteral("Importa il committente dall'anagrafica clienti"),
                            QStringLiteral("Importa i dati dall'archivio anagrafico dei clienti."), clientName);
    y += kRow;
    line(client, "txtIndirizzoRes", "Indirizzo e numero civico:", 80, y, 360);
    line(client, "txtCapRes", "CAP:", 450, y, 70);
    line(client, "txtProvRes", "Prov.", 530, y, 50);
    y += kRow;
    line(client, "txtComuneRes", "Comune di residenza:", 80, y, 200);
    QLineEdit *vat = line(client, "txtPartitaIva", "Partita IVA:", 290, y, 120);
    btnPartitaIva = iconButton(client, "btnPartitaIva", QStringLiteral(":/img/cards/btnPartitaIva.svg"),
                               QStringLiteral("Controlla la partita IVA del committente"), vatHint, vat);
    QLineEdit *tax = line(client, "txtCodFisc", "Codice fiscale:", 444, y, 160);
    btnCodFisc = iconButton(client, "btnCodFisc", QStringLiteral(":/img/cards/btnCodFisc.svg"),
                            QStringLiteral("Controlla il codice fiscale del committente"), taxHint, tax);

    QFrame *number = box(panDatiGen, QStringLiteral("shpNumero"), QRect(656, 152, 331, 146));
    auto heading = [&](const QString &name, const QString &words, int top) {
        auto *h = new QLabel(words, number);
        h->setObjectName(name);
        h->setGeometry(14, top, 303, 24);
        h->setAlignment(Qt::AlignCenter);
        h->setStyleSheet(QStringLiteral("background-color: #1F4E79; color: white; font-weight: bold;"
                                        " border-radius: 4px;"));
        clearsHint(h);
        return h;
    };
    QLabel *numberHeading = heading(QStringLiteral("imgNumRap"), QStringLiteral("RAPPORTO DI PROVA N."), 8);
    auto *numRap = new QLineEdit(number);
    numRap->setObjectName(QStringLiteral("txtNumRap"));
    numRap->setGeometry(14, 36, 303, 30);
    numRap->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
    numberHeading->setBuddy(numRap);
    numRap->setAccessibleName(QStringLiteral("Rapporto di prova n."));
    QLabel *dateHeading = heading(QStringLiteral("imgData"), QStringLiteral("DATA EMISSIONE"), 76);
    auto *date = new QLineEdit(number);
    date->setObjectName(QStringLiteral("txtData"));
    date->setGeometry(14, 104, 140, 30);
    date->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
    dateHeading->setBuddy(date);
    date->setAccessibleName(QStringLiteral("Data emissione"));

    QFrame *analysis = box(panDatiGen, QStringLiteral("shpAnalisi"), QRect(8, 304, 979, 186));
    y = 4;
    line(analysis, "txtAnalisi", "Tipologia di analisi effettuata:", 10, y, 470);
    line(analysis, "txtCampione", "Campione analizzato:", 492, y, 476);
    y += kRow;
    line(analysis, "txtLuogoPrel", "Luogo prelievo:", 10, y, 470);
    line(analysis, "txtDataPrel", "Data prelievo:", 492, y, 110);
    y += kRow;
    line(analysis, "txtCura", "Campionamento a cura di:", 10, y, 470);
    line(analysis, "txtContenitore", "Contenitore utilizzato:", 492, y, 476);
    y += kRow;
    picture(analysis, QStringLiteral("imgLaboratorio"), QStringLiteral(":/img/models/imgAnalisi.svg"),
            QRect(10, y + 2, 40, 40));
    line(analysis, "txtDataRic", "Data ricezione:", 60, y, 110);
    QLineEdit *time = line(analysis, "txtOraRic", "Ora ricezione:", 182, y, 70);
    btnOraRic = iconButton(analysis, "btnOraRic", QStringLiteral(":/img/reports/btnOraRic.svg"),
                           QStringLiteral("Inserisci l'ora corrente"), QStringLiteral("Inserisci l'ora corrente."),
                           time);
    line(analysis, "txtDataInizio", "Data inizio analisi:", 296, y, 110);
    line(analysis, "txtDataFine", "Data fine analisi:", 440, y, 110);
    line(analysis, "txtResponsabile", "Responsabile del Laboratorio:", 562, y, 406);

    QFrame *footA = box(panDatiGen, QStringLiteral("shpPiede_A"), QRect(8, 496, 979, 46));
    btnDatiGen_A = sectionButton(footA, QStringLiteral("btnDatiGen_A"), QStringLiteral("<<  Dati generali"), 8, 7);
    btnDatiGen_A->setEnabled(false);
    picture(footA, QStringLiteral("imgConsegnato"), QStringLiteral(":/img/reports/tbNonConsegnati.svg"),
            QRect(330, 4, 38, 38));
    chkConsegnato = new QCheckBox(QStringLiteral("Consegnato al committente"), footA);
    chkConsegnato->setObjectName(QStringLiteral("chkConsegnato"));
    chkConsegnato->setGeometry(376, 12, 260, 22);
    chkConsegnato->setStyleSheet(QStringLiteral("font-weight: bold; color: #0E2A44;"));
    setHint(chkConsegnato, QStringLiteral(
                               "Spunta questa casella per indicare che il rapporto di prova \u00e8 stato consegnato al "
                               "committente."));
    btnRisultati_A = sectionButton(footA, QStringLiteral("btnRisultati_A"),
                                   QStringLiteral("Risultati analitici  >>"), 979 - 208, 7);
    setHint(btnRisultati_A, QStringLiteral("Visualizza la sezione dei risultati analitici."));

    // ---- Results -------------------------------------------------------------------------
    panRisultati = section(QStringLiteral("panRisultati"));
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
    QLineEdit *remarks = line(panRisultati, "txtOsservazioni", "Osservazioni:", 8, grdRisultati->geometry().bottom() + 4,
                              979);
    QFrame *footB = box(panRisultati, QStringLiteral("shpPiede_B"), QRect(8, remarks->geometry().bottom() + 8, 979, 46));
    btnDatiGen_B = sectionButton(footB, QStringLiteral("btnDatiGen_B"), QStringLiteral("<<  Dati generali"), 8, 7);
    setHint(btnDatiGen_B, QStringLiteral("Visualizza la sezione dei dati generali."));
    btnRisultati_B = sectionButton(footB, QStringLiteral("btnRisultati_B"),
                                   QStringLiteral("Risultati analitici  >>"), 979 - 208, 7);
    btnRisultati_B->setEnabled(false);
    panRisultati->hide();

    // ---- Hidden state ----------------------------------------------------------------------
    lblFile = look::hiddenLabel(p, QStringLiteral("lblFile"));
    lblInizio = look::hiddenLabel(p, QStringLiteral("lblInizio"));
    lblInizio->setText(QStringLiteral("1"));
    lblSolare = look::hiddenLabel(p, QStringLiteral("lblSolare"));
    makeAttachmentLabels();
    buildStatusBar(false);

    // ---- Typing rules, dates, Enter ---------------------------------------------------------
    rules::digitKeysOnly(vatLab);
    rules::digitKeysOnly(vat);
    rules::trimmedUpper(taxLab);
    rules::trimmedUpper(tax);
    rules::trimmedUpper(edit(QStringLiteral("txtProvRes")));
    rules::trimmed(emailLab, true);
    for (const DateField &d : kDates) {
        QLineEdit *field = edit(QString::fromLatin1(d.field));
        const QString tag = QString::fromLatin1(d.tag);
        rules::dateField(field, [this, tag] { calendar::pick(this, this, tag); });
        setHint(field, kDateHint);
    }
    // Enter walks the fields; at a date field it opens the calendar instead.
    static const char *const chain[] = {
        "txtLaboratorio", "txtIndirizzoLab", "txtCittaLab", "txtPartitaIvaLab", "txtCodFiscLab", "txtEmailLab",
        "txtTelLab",      "txtLiberoLab",    "txtCliente",  "txtIndirizzoRes",  "txtCapRes",     "txtProvRes",
        "txtComuneRes",   "txtPartitaIva",   "txtCodFisc",  "txtNumRap",        "txtData",       "txtAnalisi",
        "txtCampione",    "txtLuogoPrel",    "txtDataPrel", "txtCura",          "txtContenitore", "txtDataRic",
        "txtOraRic",      "txtDataInizio",   "txtResponsabile"};
    constexpr int n = int(std::size(chain));
    QList<QWidget *> tabs;
    for (int i = 0; i < n; ++i) {
        QLineEdit *field = edit(QString::fromLatin1(chain[i]));
        tabs.append(field);
        if (field->isReadOnly())
            continue; // a date field
        QLineEdit *next = edit(QString::fromLatin1(chain[(i + 1) % n]));
        rules::enterMoves(field, [next] { return next; });
    }
    tabs.insert(tabs.indexOf(edit(QStringLiteral("txtDataInizio"))) + 1, edit(QStringLiteral("txtDataFine")));
    tabs << chkConsegnato << btnRisultati_A;
    for (qsizetype i = 0; i + 1 < tabs.size(); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);
    const QList<QWidget *> results = grdRisultati->tabOrder();
    for (qsizetype i = 0; i + 1 < results.size(); ++i)
        setTabOrder(results[i], results[i + 1]);
    setTabOrder(results.last(), remarks);
    setTabOrder(remarks, btnDatiGen_B);

    bindFields();

    // ---- Commands --------------------------------------------------------------------------
    connect(cmdNuovo, &QToolButton::clicked, this, &TfrmRapporti::cmdNuovoClick);
    connect(cmdSalva, &QToolButton::clicked, this, &CardWindow::cmdSalvaClick);
    connect(cmdEsci, &QToolButton::clicked, this, &QWidget::close);
    connect(cmdGuida, &QToolButton::clicked, this, [this] { help::show(this, help::reports()); });
    connect(cmdFile, &QToolButton::clicked, this, [this] { attachments::open(this, QStringLiteral("rapporti")); });
    const auto show = [this](const records::Record &record, int position) { showRecord(record, position); };
    connect(cmdTrova, &QToolButton::clicked, this, [this, show] { reports::openSearch(this, archivePath(), show); });
    connect(cmdNonConsegnati, &QToolButton::clicked, this,
            [this, show] { reports::openUndelivered(this, archivePath(), show); });
    connect(cmdEsporta, &QToolButton::clicked, this, [this] { reports::openExport(this, archivePath()); });
    const auto card = [this] { return values(); };
    connect(cmdAnteprima, &QToolButton::clicked, this, [this, card] { reports::openPreview(this, card); });
    connect(cmdStampa, &QToolButton::clicked, this, [this, card] { reports::openPrint(this, card); });
    connect(btnLogo, &QToolButton::clicked, this, [this] { logo::open(this); });
    connect(cmdImporta, &QToolButton::clicked, this, [this] { models::openImport(this, this); });
    connect(cmdNumerazione, &QToolButton::clicked, this,
            [this] { reports::openNumbering(this, settings::DocumentKind::Reports); });
    connect(impCliente, &QToolButton::clicked, this,
            [this] { clients::openSearch(this, this, TfrmTrovaClienti::kTagReports); });
    connect(btnOraRic, &QToolButton::clicked, this, &TfrmRapporti::btnOraRicClick);
    connect(btnPartitaIvaLab, &QToolButton::clicked, this, [this, vatLab] { checks::openVat(this, vatLab->text()); });
    connect(btnPartitaIva, &QToolButton::clicked, this, [this, vat] { checks::openVat(this, vat->text()); });
    connect(btnCodFiscLab, &QToolButton::clicked, this, [this, taxLab] { checks::openTaxCodeOrVat(this, taxLab->text()); });
    connect(btnCodFisc, &QToolButton::clicked, this, [this, tax] { checks::openTaxCodeOrVat(this, tax->text()); });
    connect(btnRisultati_A, &QPushButton::clicked, this, &TfrmRapporti::btnRisultatiClick);
    connect(btnDatiGen_B, &QPushButton::clicked, this, &TfrmRapporti::btnDatiGenClick);
}

QString TfrmRapporti::archivePath() const
{
    return lblFile->text();
}

void TfrmRapporti::openArchive(const QString &archivePath, const QString &title)
{
    lblFile->setText(archivePath);
    setWindowTitle(title);
}

QLineEdit *TfrmRapporti::edit(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}

QWidget *TfrmRapporti::firstField() const
{
    return edit(QStringLiteral("txtCliente"));
}

bool TfrmRapporti::showsResults() const
{
    return panRisultati->isVisibleTo(panel());
}

void TfrmRapporti::btnRisultatiClick()
{
    panDatiGen->hide();
    panRisultati->show();
    grdRisultati->showPage(1);
    grdRisultati->firstFieldOf(1)->setFocus();
}

void TfrmRapporti::btnDatiGenClick()
{
    panRisultati->hide();
    panDatiGen->show();
    edit(QStringLiteral("txtLaboratorio"))->setFocus();
}

void TfrmRapporti::btnOraRicClick()
{
    edit(QStringLiteral("txtOraRic"))->setText(Clock::now().toString(QStringLiteral("HH:mm")));
}

void TfrmRapporti::blankCard()
{
    panRisultati->hide();
    panDatiGen->show();
    for (const records::Field &f : layout().fields())
        if (!keptByBlank(f.name))
            setField(f.name, QString());
    chkConsegnato->setChecked(false);
    lblPosizione->clear();
    firstField()->setFocus();
}

void TfrmRapporti::cmdNuovoClick()
{
    // The numbering options of the last "Nuovo" stay in the hidden labels.
    int count = 0;
    try {
        const settings::Numbering numbering = settings::readNumbering(settings::filePath(),
                                                                      settings::DocumentKind::Reports);
        lblInizio->setText(numbering.start);
        lblSolare->setText(numbering.withYear ? settings::kYes : settings::kNo);
        if (text::isBlank(lblInizio->text()))
            lblInizio->setText(QStringLiteral("1"));
        count = archive::count(archivePath(), layout().size());
    } catch (const std::exception &) {
        Messages::error(this, cardTexts::kArchiveAccess);
        return;
    }
    blankCard();
    const QDateTime now = Clock::now();
    const std::optional<QString> number = settings::nextNumber(
        lblInizio->text(), count, text::trim(lblSolare->text()) == settings::kYes, now.date().year());
    if (!number) {
        Messages::error(this, cardTexts::kArchiveAccess); // a start that is not a whole number
        return;
    }
    edit(QStringLiteral("txtNumRap"))->setText(*number);
    edit(QStringLiteral("txtData"))->setText(now.toString(QStringLiteral("dd/MM/yyyy")));
    firstField()->setFocus();
}

const QList<TfrmRapporti::Mandatory> &TfrmRapporti::mandatoryFields()
{
    static const QList<Mandatory> fields{
        {"txtLaboratorio",
         "Attenzione: per salvare il rapporto di prova \u00e8 necessario indicare la denominazione del Laboratorio."},
        {"txtCliente", "Attenzione: per salvare il rapporto di prova \u00e8 necessario indicare il nome del committente."},
        {"txtNumRap", "Attenzione: per salvare il rapporto di prova \u00e8 necessario indicare il numero progressivo "
                      "del documento."},
        {"txtData", "Attenzione: per salvare il rapporto di prova \u00e8 necessario indicare la data di emissione del "
                    "documento."},
        {"txtAnalisi",
         "Attenzione: per salvare il rapporto di prova \u00e8 necessario indicare la tipologia di analisi effettuata."},
        {"txtCampione", "Attenzione: per salvare il rapporto di prova \u00e8 necessario indicare il campione analizzato."},
    };
    return fields;
}

bool TfrmRapporti::mandatoryFieldsPresent()
{
    for (const Mandatory &m : mandatoryFields()) {
        QLineEdit *field = edit(QString::fromLatin1(m.field));
        if (!text::isBlank(field->text()))
            continue;
        Messages::warning(this, QString::fromUtf8(m.warning));
        btnDatiGenClick();
        field->setFocus();
        return false;
    }
    return true;
}

void TfrmRapporti::showEvent(QShowEvent *event)
{
    CardWindow::showEvent(event);
    if (event->spontaneous())
        return;
    blankCard();
    try {
        const records::Values lab = settings::laboratoryValues(settings::readLaboratory(settings::filePath()),
                                                               settings::DocumentKind::Reports);
        for (auto it = lab.all().cbegin(); it != lab.all().cend(); ++it)
            setField(it.key(), it.value());
    } catch (const std::exception &) {
        // The laboratory fields stay as they were.
    }
}

void TfrmRapporti::closeEvent(QCloseEvent *event)
{
    const settings::Laboratory lab = settings::laboratoryFrom(values(), settings::DocumentKind::Reports);
    try {
        settings::writeLaboratory(settings::filePath(), settings::DocumentKind::Reports, lab);
    } catch (const std::exception &) {
        // The card closes all the same.
    }
    CardWindow::closeEvent(event);
}
