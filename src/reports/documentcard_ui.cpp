#include "documentcard_ui.h"

#include "frmnumerazione.h"
#include "issue_ui.h"

#include "checks/checkwindows.h"
#include "clients/frmtrovaclienti.h"
#include "models/frmtrovaparametri.h"
#include "storage/issued.h"
#include "storage/log.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"
#include "ui/frmallegacartella.h"
#include "ui/frmcalendario.h"
#include "ui/frmlogo.h"
#include "ui/helpwindows.h"
#include "ui/inputrules.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSvgWidget>
#include <QToolButton>

namespace {

constexpr int kCaptionH = 16;
constexpr int kFieldH = 24;
constexpr int kRow = 44; // a caption above its field

// The date fields; each opens the calendar with the card's tag + "_" + its own word.
struct DateField {
    const char *field;
    const char *word;
};
constexpr DateField kDates[] = {
    {"txtData", "data"},         {"txtDataPrel", "dataprel"},     {"txtDataRic", "dataric"},
    {"txtDataInizio", "datainizio"}, {"txtDataFine", "datafine"},
};

// Enter walks these fields, then the signing person's, and back to the first; at a date
// field it opens the calendar instead.
const char *const kChain[] = {"txtLaboratorio", "txtIndirizzoLab", "txtCittaLab",  "txtPartitaIvaLab",
                              "txtCodFiscLab",  "txtEmailLab",     "txtTelLab",    "txtLiberoLab",
                              "txtCliente",     "txtIndirizzoRes", "txtCapRes",    "txtProvRes",
                              "txtComuneRes",   "txtPartitaIva",   "txtCodFisc",   "txtNumRap",
                              "txtData",        "txtAnalisi",      "txtCampione",  "txtLuogoPrel",
                              "txtDataPrel",    "txtCura",         "txtContenitore", "txtDataRic",
                              "txtOraRic",      "txtDataInizio"};

QPushButton *sectionButton(QWidget *parent, const QString &name, const QString &text, int x, int y)
{
    QPushButton *b = look::button(parent, name, text);
    b->setGeometry(x, y, 200, 32);
    b->setAccessibleName(QString(text).remove(u'<').remove(u'>').trimmed());
    return b;
}

} // namespace

DocumentCard::DocumentCard(const Description &description, const records::Layout &layout, QWidget *home)
    : CardWindow(description.objectName, description.title, layout, home), m_d(description)
{
    QList<Command> commands{
        {&cmdNuovo, "cmdNuovo", "Nuovo", nullptr, ":/img/reports/tbNuovo.svg"},
        {&cmdSalva, "cmdSalva", "Salva", nullptr, ":/img/reports/tbSalva.svg"},
        {&cmdTrova, "cmdTrova", "Trova", nullptr, ":/img/reports/tbTrova.svg"},
        {&cmdFile, "cmdFile", "Allega file", nullptr, ":/img/reports/tbFile.svg"},
    };
    if (m_d.withImport)
        commands.append({&cmdImporta, "cmdImporta", "Importa modello di analisi", nullptr,
                         ":/img/reports/tbImporta.svg"});
    commands += QList<Command>{
        {&cmdNonConsegnati, "cmdNonConsegnati", "Documenti non consegnati", nullptr,
         ":/img/reports/tbNonConsegnati.svg"},
        {&cmdAnteprima, "cmdAnteprima", "Anteprima", nullptr, ":/img/reports/tbAnteprima.svg"},
        {&cmdStampa, "cmdStampa", "Stampa", nullptr, ":/img/reports/tbStampa.svg", QSize(148, 32)},
        {&cmdEsporta, "cmdEsporta", "Esporta archivio", nullptr, ":/img/reports/tbEsporta.svg"},
        {&cmdNumerazione, "cmdNumerazione", "Numerazione", nullptr, ":/img/reports/tbNumerazione.svg"},
        {&cmdGuida, "cmdGuida", "Guida", "Visualizza la guida in linea.", ":/img/reports/tbGuida.svg"},
        {&cmdEsci, "cmdEsci", "Esci", "Esci dalla schermata di lavoro corrente.", ":/img/reports/tbEsci.svg"},
    };
    // The kind's hints, in toolbar order.
    QList<QByteArray> hints;
    for (const QString &h : m_d.hints)
        hints.append(h.toUtf8());
    for (int i = 0, h = 0; i < commands.size() && h < hints.size(); ++i)
        if (!commands[i].hint)
            commands[i].hint = hints[h++].constData();
    // The browsing arrows stand between Stampa and Esporta.
    const int browseAt = int(std::find_if(commands.cbegin(), commands.cend(),
                                          [](const Command &c) { return QByteArray(c.name) == "cmdEsporta"; })
                             - commands.cbegin());
    commandToolbar(commands, browseAt, m_d.browse);

    buildGeneralData();

    panRisultati = new QWidget(panel());
    panRisultati->setObjectName(QStringLiteral("panRisultati"));
    panRisultati->setGeometry(panDatiGen->geometry());
    clearsHint(panRisultati);
    panRisultati->hide();

    lblFile = look::hiddenLabel(panel(), QStringLiteral("lblFile"));
    lblInizio = look::hiddenLabel(panel(), QStringLiteral("lblInizio"));
    lblInizio->setText(QStringLiteral("1"));
    lblSolare = look::hiddenLabel(panel(), QStringLiteral("lblSolare"));
    makeAttachmentLabels();
    // The status strip: white Tahoma 12 on a deep blue.
    buildStatusBar(false, QStringLiteral("#3030DD"));
    panInfo->setFont(QFont(QStringLiteral("Tahoma"), 12));
    panInfo->setStyleSheet(QStringLiteral("color: white;"));

    // ---- Commands --------------------------------------------------------------------------
    const auto show = [this](const records::Record &record, int position) { showRecord(record, position); };
    const auto card = [this] { return values(); };
    connect(cmdNuovo, &QToolButton::clicked, this, &DocumentCard::cmdNuovoClick);
    connect(cmdSalva, &QToolButton::clicked, this, &CardWindow::cmdSalvaClick);
    connect(cmdEsci, &QToolButton::clicked, this, &QWidget::close);
    connect(cmdGuida, &QToolButton::clicked, this, [this] { help::show(this, m_d.topic()); });
    connect(cmdTrova, &QToolButton::clicked, this, [this, show] { m_d.openSearch(this, archivePath(), show); });
    connect(cmdNonConsegnati, &QToolButton::clicked, this,
            [this, show] { m_d.openUndelivered(this, archivePath(), show); });
    connect(cmdEsporta, &QToolButton::clicked, this, [this] { m_d.openExport(this, archivePath()); });
    connect(cmdAnteprima, &QToolButton::clicked, this, [this, card] { m_d.openPreview(this, card); });
    connect(cmdStampa, &QToolButton::clicked, this,
            [this, card] { m_d.openPrint(this, card, issuing::issuer(this, m_d.kind)); });
    connect(cmdFile, &QToolButton::clicked, this, [this] { attachments::open(this, m_d.tag); });
    connect(cmdNumerazione, &QToolButton::clicked, this, [this] { reports::openNumbering(this, m_d.kind); });
    if (cmdImporta)
        connect(cmdImporta, &QToolButton::clicked, this, [this] { models::openImport(this, this); });
    connect(btnLogo, &QToolButton::clicked, this, [this] { logo::open(this); });
    connect(impCliente, &QToolButton::clicked, this, [this] { clients::openSearch(this, this, m_d.tag); });
    connect(btnOraRic, &QToolButton::clicked, this, &DocumentCard::btnOraRicClick);
    const auto text = [this](const char *name) { return edit(QString::fromLatin1(name))->text(); };
    connect(btnPartitaIvaLab, &QToolButton::clicked, this, [this, text] { checks::openVat(this, text("txtPartitaIvaLab")); });
    connect(btnPartitaIva, &QToolButton::clicked, this, [this, text] { checks::openVat(this, text("txtPartitaIva")); });
    connect(btnCodFiscLab, &QToolButton::clicked, this,
            [this, text] { checks::openTaxCodeOrVat(this, text("txtCodFiscLab")); });
    connect(btnCodFisc, &QToolButton::clicked, this, [this, text] { checks::openTaxCodeOrVat(this, text("txtCodFisc")); });
    connect(btnRisultati_A, &QPushButton::clicked, this, &DocumentCard::btnRisultatiClick);
}

QLineEdit *DocumentCard::line(QWidget *parent, const char *name, const char *caption, int x, int y, int width)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    QLabel *l = look::caption(parent, QString::fromUtf8(caption), e);
    l->setGeometry(x, y, width + 40, kCaptionH);
    l->setStyleSheet(QStringLiteral("font-weight: bold; color: #0E2A44;"));
    clearsHint(l);
    e->setGeometry(x, y + kCaptionH + 1, width, kFieldH);
    return e;
}

void DocumentCard::buildGeneralData()
{
    panDatiGen = new QWidget(panel());
    panDatiGen->setObjectName(QStringLiteral("panDatiGen"));
    panDatiGen->setGeometry(0, 62, 995, 586);
    panDatiGen->setStyleSheet(m_d.generalStyle);
    clearsHint(panDatiGen);

    auto box = [&](const QString &name, const QRect &r) {
        QFrame *f = look::sectionFrame(panDatiGen, name, r);
        clearsHint(f);
        return f;
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
    };
    const QString vatHint = QStringLiteral("Controlla il numero di partita IVA.");
    const QString taxHint = QStringLiteral("Controlla il codice fiscale.");

    QFrame *lab = box(QStringLiteral("shpLaboratorio"), QRect(8, 0, 979, 146));
    btnLogo = look::pictureButton(lab, QStringLiteral("btnLogo"), QStringLiteral(":/img/reports/btnLogo.svg"),
                                  QSize(125, 101), QStringLiteral("Logo"));
    btnLogo->move(3, 19);
    setHint(btnLogo, m_d.logoHint);
    int y = 4;
    line(lab, "txtLaboratorio", "Denominazione Laboratorio analisi:", 142, y, 396);
    line(lab, "txtIndirizzoLab", "Indirizzo e numero civico:", 550, y, 418);
    y += kRow;
    line(lab, "txtCittaLab", "CAP, citt\u00e0 e provincia:", 142, y, 240);
    QLineEdit *vatLab = line(lab, "txtPartitaIvaLab", "Partita IVA:", 390, y, 134);
    btnPartitaIvaLab = iconButton(lab, "btnPartitaIvaLab", QStringLiteral(":/img/cards/btnPartitaIva.svg"),
                                  QStringLiteral("Controlla la partita IVA del Laboratorio"), vatHint, vatLab);
    QLineEdit *taxLab = line(lab, "txtCodFiscLab", "Codice fiscale:", 566, y, 182);
    btnCodFiscLab = iconButton(lab, "btnCodFiscLab", QStringLiteral(":/img/cards/btnCodFisc.svg"),
                               QStringLiteral("Controlla il codice fiscale del Laboratorio"), taxHint, taxLab);
    QLineEdit *emailLab = line(lab, "txtEmailLab", "E-mail:", 790, y, 178);
    y += kRow;
    line(lab, "txtTelLab", "Telefono:", 142, y, 170);
    line(lab, "txtLiberoLab", "Campo libero:", 324, y, 644);

    QFrame *client = box(QStringLiteral("shpCliente"), QRect(8, 152, 640, 146));
    picture(client, QStringLiteral("imgCliente"), QStringLiteral(":/img/cards/sezAnagrafica.svg"), QRect(8, 40, 64, 64));
    y = 4;
    QLineEdit *clientName = line(client, "txtCliente", "Committente:", 80, y, 500);
    impCliente = iconButton(client, "impCliente", QStringLiteral(":/img/reports/impCliente.svg"),
                            QStringLiteral("Importa il committente dall'anagrafica clienti"),
                            QStringLiteral("Importa i dati dall'archivio anagrafico dei clienti."), clientName);
    y += kRow;
    line(client, "txtIndirizzoRes", "Indirizzo e numero civico:", 80, y, 360);
    line(client, "txtCapRes", "CAP:", 450, y, 70);
    QLineEdit *province = line(client, "txtProvRes", "Prov.", 530, y, 50);
    y += kRow;
    line(client, "txtComuneRes", "Comune di residenza:", 80, y, 160);
    QLineEdit *vat = line(client, "txtPartitaIva", "Partita IVA:", 248, y, 134);
    btnPartitaIva = iconButton(client, "btnPartitaIva", QStringLiteral(":/img/cards/btnPartitaIva.svg"),
                               QStringLiteral("Controlla la partita IVA del committente"), vatHint, vat);
    QLineEdit *tax = line(client, "txtCodFisc", "Codice fiscale:", 422, y, 182);
    btnCodFisc = iconButton(client, "btnCodFisc", QStringLiteral(":/img/cards/btnCodFisc.svg"),
                            QStringLiteral("Controlla il codice fiscale del committente"), taxHint, tax);

    QFrame *number = box(QStringLiteral("shpNumero"), QRect(656, 152, 331, 146));
    auto heading = [&](const QString &name, const QString &words, int top, QLineEdit *field) {
        auto *h = new QLabel(words, number);
        h->setObjectName(name);
        h->setGeometry(14, top, 303, 24);
        h->setAlignment(Qt::AlignCenter);
        h->setStyleSheet(QStringLiteral("background-color: #1F4E79; color: white; font-weight: bold;"
                                        " border-radius: 4px;"));
        clearsHint(h);
        h->setBuddy(field);
        field->setAccessibleName(words);
        field->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
        field->setAlignment(Qt::AlignCenter);
    };
    auto *numRap = new QLineEdit(number);
    numRap->setObjectName(QStringLiteral("txtNumRap"));
    numRap->setGeometry(14, 36, 303, 30);
    heading(QStringLiteral("imgNumRap"), m_d.numberWords, 8, numRap);
    auto *date = new QLineEdit(number);
    date->setObjectName(QStringLiteral("txtData"));
    date->setGeometry(14, 104, 140, 30);
    heading(QStringLiteral("imgData"), QStringLiteral("DATA EMISSIONE"), 76, date);

    QFrame *analysis = box(QStringLiteral("shpAnalisi"), QRect(8, 304, 979, 186));
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
    int x = 562;
    for (const FieldSpec &f : m_d.signer) {
        line(analysis, f.field, f.caption, x, y, f.width);
        x += f.width + 10;
    }

    QFrame *foot = box(QStringLiteral("shpPiede_A"), QRect(8, 496, 979, 46));
    btnDatiGen_A = sectionButton(foot, QStringLiteral("btnDatiGen_A"), QStringLiteral("<<  Dati generali"), 8, 7);
    btnDatiGen_A->setEnabled(false);
    picture(foot, QStringLiteral("imgConsegnato"), QStringLiteral(":/img/reports/tbNonConsegnati.svg"),
            QRect(330, 4, 38, 38));
    chkConsegnato = new QCheckBox(QStringLiteral("Consegnato al committente"), foot);
    chkConsegnato->setObjectName(QStringLiteral("chkConsegnato"));
    chkConsegnato->setGeometry(376, 12, 260, 22);
    chkConsegnato->setStyleSheet(QStringLiteral("font-weight: bold; color: #0E2A44;"));
    setHint(chkConsegnato, m_d.deliveredHint);
    btnRisultati_A = sectionButton(foot, QStringLiteral("btnRisultati_A"), m_d.secondSection, 979 - 208, 7);
    setHint(btnRisultati_A, m_d.secondSectionHint);

    // Typing rules and the date fields.
    for (QLineEdit *digits : {vatLab, vat}) {
        rules::digitKeysOnly(digits);
        rules::pastedDigitsOnly(digits);
    }
    // These tidy-ups follow every change: a loaded report, the settings, an imported client.
    for (QLineEdit *code : {taxLab, tax, province})
        rules::trimmedUpper(code, rules::Changes::Any);
    rules::trimmed(emailLab, true, rules::Changes::Any);
    time->setAlignment(Qt::AlignCenter);
    for (const DateField &d : kDates) {
        QLineEdit *field = edit(QString::fromLatin1(d.field));
        field->setAlignment(Qt::AlignCenter);
        const QString tag = m_d.tag + u'_' + QString::fromLatin1(d.word);
        rules::dateField(field, [this, tag] { calendar::pick(this, this, tag); });
        setHint(field, kDateHint);
    }

    // The Enter chain and the tab order.
    QList<QLineEdit *> chain;
    for (const char *name : kChain)
        chain.append(edit(QString::fromLatin1(name)));
    for (const FieldSpec &f : m_d.signer)
        chain.append(edit(QString::fromLatin1(f.field)));
    for (int i = 0; i < chain.size(); ++i) {
        if (chain[i]->isReadOnly())
            continue; // a date field
        QLineEdit *next = chain[(i + 1) % chain.size()];
        rules::enterMoves(chain[i], [next] { return next; });
    }
    QList<QWidget *> tabs(chain.cbegin(), chain.cend());
    tabs.insert(tabs.indexOf(edit(QStringLiteral("txtDataInizio"))) + 1, edit(QStringLiteral("txtDataFine")));
    tabs << chkConsegnato << btnRisultati_A;
    for (qsizetype i = 0; i + 1 < tabs.size(); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);
}

void DocumentCard::buildSecondFooter(int y)
{
    QFrame *foot = look::sectionFrame(panRisultati, QStringLiteral("shpPiede_B"), QRect(8, y, 979, 46));
    clearsHint(foot);
    btnDatiGen_B = sectionButton(foot, QStringLiteral("btnDatiGen_B"), QStringLiteral("<<  Dati generali"), 8, 7);
    setHint(btnDatiGen_B, QStringLiteral("Visualizza la sezione dei dati generali."));
    btnRisultati_B = sectionButton(foot, QStringLiteral("btnRisultati_B"), m_d.secondSection, 979 - 208, 7);
    btnRisultati_B->setEnabled(false);
    connect(btnDatiGen_B, &QPushButton::clicked, this, &DocumentCard::btnDatiGenClick);
}

void DocumentCard::bindFields()
{
    CardWindow::bindFields();
    // Every edit and memo of the card, the result rows included, writes Verdana 12 bold.
    const QFont font(QStringLiteral("Verdana"), 12, QFont::Bold);
    for (QLineEdit *e : panel()->findChildren<QLineEdit *>())
        e->setFont(font);
    for (QPlainTextEdit *memo : panel()->findChildren<QPlainTextEdit *>())
        memo->setFont(font);
}

QString DocumentCard::archivePath() const
{
    return lblFile->text();
}

void DocumentCard::openArchive(const QString &archivePath, const QString &title)
{
    if (archivePath != lblFile->text())
        m_numberedAt.reset(); // a number proposed for another year's archive
    lblFile->setText(archivePath);
    setWindowTitle(title);
}

QLineEdit *DocumentCard::edit(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}

QWidget *DocumentCard::firstField() const
{
    return edit(QStringLiteral("txtCliente"));
}

bool DocumentCard::showsSecondSection() const
{
    return panRisultati->isVisibleTo(panel());
}

void DocumentCard::btnRisultatiClick()
{
    panDatiGen->hide();
    panRisultati->show();
    secondSectionShown();
    secondSectionFirstField()->setFocus();
}

void DocumentCard::btnDatiGenClick()
{
    panRisultati->hide();
    panDatiGen->show();
    edit(QStringLiteral("txtLaboratorio"))->setFocus();
}

void DocumentCard::btnOraRicClick()
{
    edit(QStringLiteral("txtOraRic"))->setText(Clock::now().toString(QStringLiteral("HH:mm")));
}

void DocumentCard::blankCard()
{
    panRisultati->hide();
    panDatiGen->show();
    QStringList kept{QStringLiteral("txtNumRap"), QStringLiteral("txtData")};
    for (const settings::LaboratoryField &f : settings::laboratoryFields(m_d.kind))
        kept.append(QString::fromLatin1(f.field));
    for (const records::Field &f : layout().fields())
        if (!kept.contains(f.name))
            setField(f.name, QString());
    chkConsegnato->setChecked(false);
    lblPosizione->clear();
    firstField()->setFocus();
}

void DocumentCard::cmdNuovoClick()
{
    // The numbering options of the last "Nuovo" stay in the hidden labels.
    int count = 0;
    try {
        const settings::Numbering numbering = settings::readNumbering(settings::filePath(), m_d.kind);
        lblInizio->setText(numbering.start);
        lblSolare->setText(numbering.withYear ? settings::kYes : settings::kNo);
        if (text::isBlank(lblInizio->text()))
            lblInizio->setText(QStringLiteral("1"));
        count = archive::count(archivePath(), layout().size());
    } catch (const std::exception &e) {
        qCWarning(lcTirello) << objectName() << "new document not numbered:" << e.what();
        Messages::error(this, cardTexts::kArchiveAccess);
        return;
    }
    blankCard();
    const QDateTime now = Clock::now();
    const std::optional<QString> number = numberAfter(count, now.date().year());
    if (!number) {
        Messages::error(this, cardTexts::kArchiveAccess); // a start that is not a whole number
        return;
    }
    edit(QStringLiteral("txtNumRap"))->setText(*number);
    edit(QStringLiteral("txtData"))->setText(now.toString(QStringLiteral("dd/MM/yyyy")));
    m_numberedAt = count;
    firstField()->setFocus();
}

std::optional<QString> DocumentCard::numberAfter(int count, int year) const
{
    return settings::nextNumber(lblInizio->text(), count, text::trim(lblSolare->text()) == settings::kYes, year);
}

QString DocumentCard::repeatedNumberQuestion(const QString &number, const QString &proposed, const QString &words)
{
    return QStringLiteral("Attenzione: il numero %1 \u00e8 gi\u00e0 stato assegnato a un altro %3 dell'archivio.\n\r\n\r"
                          "Si vuole registrare questo %3 con il numero %2?")
        .arg(number, proposed, words);
}

std::optional<QString> DocumentCard::checkBeforeAppend(RecordFile &file)
{
    if (!m_numberedAt || std::exchange(m_keepNumber, false))
        return std::nullopt;
    const QString number = text::trim(edit(QStringLiteral("txtNumRap"))->text());
    const int numberField = layout().indexOf(QStringLiteral("txtNumRap"));
    const int n = file.count();
    records::Record r(layout());
    bool repeated = false;
    if (*m_numberedAt < n) {
        file.seek(*m_numberedAt);
        while (!repeated && !file.atEnd()) {
            file.read(r.bytes());
            repeated = text::trim(r.text(numberField)) == number;
        }
    }
    if (!repeated)
        return std::nullopt;
    // The number "Nuovo" would give now.
    const std::optional<QString> next = numberAfter(n, Clock::now().date().year());
    if (!next)
        throw ArchiveError(QStringLiteral("start number is not a whole number"));
    m_proposed = *next;
    return repeatedNumberQuestion(number, m_proposed, text::lowerAscii(issued::kindWords(m_d.kind)));
}

bool DocumentCard::answerBeforeAppend(Messages::Answer answer)
{
    switch (answer) {
    case Messages::Answer::Yes:
        edit(QStringLiteral("txtNumRap"))->setText(m_proposed);
        return true;
    case Messages::Answer::No:
        m_keepNumber = true; // saved as typed: a number may be issued again on purpose
        return true;
    case Messages::Answer::Cancel:
        return false;
    }
    return false;
}

void DocumentCard::becameStored(int)
{
    m_numberedAt.reset();
}

bool DocumentCard::mandatoryFieldsPresent()
{
    for (const Mandatory &m : m_d.mandatory) {
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

void DocumentCard::showEvent(QShowEvent *event)
{
    CardWindow::showEvent(event);
    if (event->spontaneous())
        return;
    blankCard();
    try {
        const records::Values lab =
            settings::laboratoryValues(settings::readLaboratory(settings::filePath()), m_d.kind);
        m_longSettings.clear();
        for (auto it = lab.all().cbegin(); it != lab.all().cend(); ++it) {
            setField(it.key(), it.value());
            const QLineEdit *field = edit(it.key());
            if (field && text::trim(it.value()).size() > field->text().size())
                m_longSettings.insert(it.key(), {it.value(), field->text()});
        }
    } catch (const std::exception &e) {
        // The laboratory fields stay as they were.
        qCWarning(lcTirello) << "laboratory block not read:" << e.what();
    }
}

void DocumentCard::closeEvent(QCloseEvent *event)
{
    try {
        records::Values card = values();
        for (auto it = m_longSettings.cbegin(); it != m_longSettings.cend(); ++it)
            if (edit(it.key()) && edit(it.key())->text() == it.value().second)
                card.set(it.key(), it.value().first); // not edited: kept as the file has it
        settings::writeLaboratory(settings::filePath(), m_d.kind, settings::laboratoryFrom(card, m_d.kind));
    } catch (const std::exception &e) {
        qCWarning(lcTirello) << "laboratory block not written:" << e.what();
        // Said, so that a change typed into the laboratory block is not lost unnoticed;
        // the card closes all the same.
        Messages::warning(this, kLaboratoryNotSaved);
    }
    CardWindow::closeEvent(event);
}
