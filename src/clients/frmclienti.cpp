#include "frmclienti.h"

#include "clients/clientprint_ui.h"
#include "clients/frmexpclienti.h"
#include "clients/frmricontatta.h"
#include "clients/frmtrovaclienti.h"
#include "clients/provinces.h"

#include "checks/checkwindows.h"
#include "storage/programfolder.h"
#include "storage/textcodec.h"
#include "ui/frmallegacartella.h"
#include "ui/helptopics.h"
#include "ui/helpwindows.h"
#include "ui/inputrules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSvgWidget>
#include <QToolButton>

namespace {

constexpr int kRow = 46;     // a caption above its field
constexpr int kLeft = 80;    // fields start right of the section picture
constexpr int kFieldH = 24;

} // namespace

TfrmClienti::TfrmClienti(QWidget *home)
    : CardWindow(QStringLiteral("frmClienti"), QStringLiteral(" Tirello - Anagrafica clienti"), records::client(), home)
{
    QWidget *p = panel();

    auto section = [&](int n, const QString &picture, int y, int h) {
        QFrame *frame = look::sectionFrame(p, QStringLiteral("shpSezione%1").arg(n, 2, 10, QLatin1Char('0')),
                                           QRect(8, y, 815, h));
        auto *pic = new QSvgWidget(QStringLiteral(":/img/cards/%1.svg").arg(picture), frame);
        pic->setObjectName(QStringLiteral("img") + picture);
        pic->setGeometry(8, (h - 64) / 2, 64, 64);
        clearsHint(frame);
        clearsHint(pic);
        return frame;
    };
    auto place = [&](QWidget *parent, QWidget *w, const QString &caption, int x, int y, int width) {
        QLabel *l = look::caption(parent, caption, w);
        l->setGeometry(x, y, width + 60, 16);
        w->setGeometry(x, y + 17, width, kFieldH);
        clearsHint(l);
    };
    auto line = [&](QWidget *parent, const QString &name, const QString &caption, int x, int y, int width) {
        auto *e = new QLineEdit(parent);
        e->setObjectName(name);
        place(parent, e, caption, x, y, width);
        return e;
    };
    auto combo = [&](QWidget *parent, const QString &name, int x, int y) {
        auto *c = new QComboBox(parent);
        c->setObjectName(name);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setCompleter(nullptr); // the list is an aid: typing never completes on its own
        c->addItems(clients::provinceCodes());
        c->setMaxVisibleItems(16);
        place(parent, c, QStringLiteral("Prov."), x, y, 62);
        return c;
    };
    auto iconButton = [&](QWidget *parent, const QString &name, const QString &accessible, const QString &hint,
                          QLineEdit *beside) {
        QToolButton *b = look::pictureButton(parent, name, QStringLiteral(":/img/cards/%1.svg").arg(name),
                                             QSize(24, 24), accessible);
        b->move(beside->geometry().right() + 3, beside->geometry().top() - 3);
        setHint(b, hint);
        return b;
    };

    // Identity, birth, residence and payment method.
    QFrame *s1 = section(1, QStringLiteral("sezAnagrafica"), 6, 3 * kRow + 10);
    int y = 4;
    line(s1, QStringLiteral("txtCliente"), QStringLiteral("Cognome e nome o ragione sociale:"), kLeft, y, 300);
    line(s1, QStringLiteral("txtDataNasc"), QStringLiteral("Data di nascita:"), kLeft + 310, y, 110);
    line(s1, QStringLiteral("txtComuneNasc"), QStringLiteral("Comune di nascita:"), kLeft + 430, y, 222);
    txtProvNasc = combo(s1, QStringLiteral("txtProvNasc"), kLeft + 662, y);
    y += kRow;
    line(s1, QStringLiteral("txtSesso"), QStringLiteral("Sesso:"), kLeft, y, 50);
    line(s1, QStringLiteral("txtRecapito"), QStringLiteral("Recapito preferenziale:"), kLeft + 60, y, 270);
    line(s1, QStringLiteral("txtIndirizzoRes"), QStringLiteral("Residente in Via / Piazza e numero civico:"),
         kLeft + 340, y, 384);
    y += kRow;
    txtProvRes = combo(s1, QStringLiteral("txtProvRes"), kLeft, y);
    line(s1, QStringLiteral("txtComuneRes"), QStringLiteral("Comune di residenza:"), kLeft + 72, y, 240);
    line(s1, QStringLiteral("txtCapRes"), QStringLiteral("CAP:"), kLeft + 322, y, 70);
    line(s1, QStringLiteral("txtEstremi"), QStringLiteral("Modalit\u00e0 di pagamento:"), kLeft + 402, y, 322);

    // Telephones, certified mail and e-mail.
    QFrame *s2 = section(2, QStringLiteral("sezContatti"), s1->geometry().bottom() + 6, kRow + 22);
    y = 4;
    line(s2, QStringLiteral("txtTelCasa"), QStringLiteral("Tel. casa:"), kLeft, y, 118);
    line(s2, QStringLiteral("txtTelUff"), QStringLiteral("Tel. ufficio:"), kLeft + 126, y, 118);
    line(s2, QStringLiteral("txtTelCel"), QStringLiteral("Tel. cellulare:"), kLeft + 252, y, 118);
    line(s2, QStringLiteral("txtFax"), QStringLiteral("PEC:"), kLeft + 378, y, 160);
    QLineEdit *email = line(s2, QStringLiteral("txtEmail"), QStringLiteral("E-mail:"), kLeft + 546, y, 148);
    btnEmail = iconButton(s2, QStringLiteral("btnEmail"), QStringLiteral("Invia una e-mail"),
                          QStringLiteral("Invia una e-mail all'indirizzo indicato."), email);

    // Tax code, payment card, VAT number and IBAN.
    QFrame *s3 = section(3, QStringLiteral("sezFiscali"), s2->geometry().bottom() + 6, 2 * kRow + 14);
    y = 4;
    QLineEdit *codFisc = line(s3, QStringLiteral("txtCodFisc"), QStringLiteral("Codice fiscale:"), kLeft, y, 170);
    btnCodFisc = iconButton(s3, QStringLiteral("btnCodFisc"), QStringLiteral("Controlla il codice fiscale"),
                            QStringLiteral("Controlla il codice fiscale."), codFisc);
    QLineEdit *carta = line(s3, QStringLiteral("txtCarta"), QStringLiteral("Carta di credito n."), kLeft + 212, y, 200);
    btnCarta = iconButton(s3, QStringLiteral("btnCarta"), QStringLiteral("Controlla la carta di credito"),
                          QStringLiteral("Controlla il numero di carta di credito."), carta);
    line(s3, QStringLiteral("txtScadeCarta"), QStringLiteral("Scadenza:"), kLeft + 454, y, 110);
    QLineEdit *piva = line(s3, QStringLiteral("txtPartitaIva"), QStringLiteral("Partita IVA:"), kLeft + 574, y, 116);
    btnPartitaIva = iconButton(s3, QStringLiteral("btnPartitaIva"), QStringLiteral("Controlla la partita IVA"),
                               QStringLiteral("Controlla il numero di partita IVA."), piva);
    y += kRow;
    QLineEdit *iban = line(s3, QStringLiteral("txtIban"), QStringLiteral("IBAN:"), kLeft, y, 300);
    btnIban = iconButton(s3, QStringLiteral("btnIban"), QStringLiteral("Controlla l'IBAN"),
                         QStringLiteral("Controlla l'IBAN."), iban);

    // Document, occupation, marital status, titles, products and area.
    QFrame *s4 = section(4, QStringLiteral("sezProfilo"), s3->geometry().bottom() + 6, 2 * kRow + 14);
    y = 4;
    line(s4, QStringLiteral("txtDocumento"), QStringLiteral("Estremi documento:"), kLeft, y, 300);
    line(s4, QStringLiteral("txtOccupazione"), QStringLiteral("Occupazione:"), kLeft + 310, y, 200);
    line(s4, QStringLiteral("txtCivile"), QStringLiteral("Stato civile:"), kLeft + 520, y, 204);
    y += kRow;
    line(s4, QStringLiteral("txtTitoli"), QStringLiteral("Titoli e qualifiche:"), kLeft, y, 300);
    line(s4, QStringLiteral("txtProdotti"), QStringLiteral("Prodotti o servizi di interesse:"), kLeft + 310, y, 250);
    line(s4, QStringLiteral("txtZona"), QStringLiteral("Zona di appartenenza:"), kLeft + 570, y, 154);

    // Open questions, call-back flag and notes.
    y = s4->geometry().bottom() + 6;
    line(p, QStringLiteral("txtQuestioni"), QStringLiteral("Questioni in sospeso:"), 16, y, 807);
    chkRicontatta = new QCheckBox(QStringLiteral("Da ricontattare"), p);
    chkRicontatta->setObjectName(QStringLiteral("chkRicontatta"));
    chkRicontatta->setGeometry(16, y + kRow, 300, 22);
    chkRicontatta->setStyleSheet(QStringLiteral("font-weight: bold;"));
    setHint(chkRicontatta, QStringLiteral("Annota che il cliente \u00e8 da ricontattare per questioni in sospeso."));
    line(p, QStringLiteral("txtNote"), QStringLiteral("Note:"), 16, y + kRow + 24, 807);

    makeAttachmentLabels();

    commandColumn(
        {
            {&cmdNuovo, "cmdNuovo", "Nuovo", "Prepara la schermata per la registrazione di una nuova scheda."},
            {&cmdDuplica, "cmdDuplica", "Duplica",
             "Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti."},
            {&cmdFile, "cmdFile", "Allega file", "Allega file alla scheda corrente."},
            {&cmdSalva, "cmdSalva", "Salva", "Salva la scheda corrente."},
            {&cmdTrova, "cmdTrova", "Trova", "Trova una scheda in archivio."},
            {&cmdAnteprima, "cmdAnteprima", "Anteprima", "Visualizza l'anteprima di stampa."},
            {&cmdStampa, "cmdStampa", "Stampa", "Stampa la scheda corrente."},
            {&cmdPDF, "cmdPDF", "Crea PDF", "Esporta la scheda in formato PDF."},
            {&cmdRicontatta, "cmdRicontatta", "Da ricontattare",
             "Visualizza il riepilogo dei clienti da ricontattare."},
            {&cmdEsporta, "cmdEsporta", "Esporta archivio",
             "Esporta le schede in archivio in un file di Microsoft Excel."},
            {&cmdGuida, "cmdGuida", "Guida", "Visualizza la guida in linea."},
            {&cmdEsci, "cmdEsci", "Esci", "Esci dalla schermata di lavoro corrente."},
        },
        6, 53);
    buildStatusBar();

    // Typing rules.
    rules::province(txtProvNasc);
    rules::province(txtProvRes);
    rules::upperOnKeyRelease(edit(QStringLiteral("txtSesso")));
    rules::upperOnKeyRelease(edit(QStringLiteral("txtCapRes")));
    rules::trimmed(edit(QStringLiteral("txtFax")));
    rules::trimmed(email, true);
    rules::trimmedUpper(codFisc);
    rules::trimmedUpper(iban);
    rules::digitsOnly(carta);
    rules::digitsOnly(piva);

    // Tab order and the Enter chain: every field in order, the check box only by Tab.
    static const char *const order[] = {
        "txtCliente", "txtDataNasc", "txtComuneNasc", "txtProvNasc", "txtSesso", "txtRecapito",
        "txtIndirizzoRes", "txtProvRes", "txtComuneRes", "txtCapRes", "txtEstremi", "txtTelCasa",
        "txtTelUff", "txtTelCel", "txtFax", "txtEmail", "txtCodFisc", "txtCarta", "txtScadeCarta",
        "txtPartitaIva", "txtIban", "txtDocumento", "txtOccupazione", "txtCivile", "txtTitoli",
        "txtProdotti", "txtZona", "txtQuestioni", "chkRicontatta", "txtNote"};
    QList<QWidget *> tabs, chain;
    for (const char *name : order) {
        QWidget *w = findChild<QWidget *>(QString::fromLatin1(name));
        tabs.append(w);
        if (w != chkRicontatta)
            chain.append(w);
    }
    for (qsizetype i = 0; i + 1 < tabs.size(); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);
    rules::enterChain(chain);

    bindFields();

    connect(cmdNuovo, &QToolButton::clicked, this, &CardWindow::cmdNuovoClick);
    connect(cmdDuplica, &QToolButton::clicked, this, &CardWindow::cmdDuplicaClick);
    connect(cmdSalva, &QToolButton::clicked, this, &CardWindow::cmdSalvaClick);
    connect(cmdFile, &QToolButton::clicked, this, [this] { attachments::open(this, QStringLiteral("clienti")); });
    connect(cmdEsci, &QToolButton::clicked, this, &QWidget::close);
    connect(cmdTrova, &QToolButton::clicked, this, [this] { clients::openSearch(this); });
    connect(cmdRicontatta, &QToolButton::clicked, this, [this] { clients::openRecontact(this); });
    connect(cmdEsporta, &QToolButton::clicked, this, [this] { clients::openExport(this); });
    connect(cmdAnteprima, &QToolButton::clicked, this, [this] { clients::previewCard(this); });
    connect(cmdStampa, &QToolButton::clicked, this, [this] { clients::printCard(this); });
    connect(cmdPDF, &QToolButton::clicked, this, [this] { clients::pdfCard(this); });
    connect(cmdGuida, &QToolButton::clicked, this, [this] {
        help::show(this, help::clients());
    });
    connect(btnEmail, &QToolButton::clicked, this, &TfrmClienti::btnEmailClick);
    connect(btnCodFisc, &QToolButton::clicked, this, &TfrmClienti::btnCodFiscClick);
    connect(btnPartitaIva, &QToolButton::clicked, this,
            [this] { checks::openVat(this, text::trim(edit(QStringLiteral("txtPartitaIva"))->text())); });
    connect(btnCarta, &QToolButton::clicked, this,
            [this] { checks::openCard(this, text::trim(edit(QStringLiteral("txtCarta"))->text())); });
    connect(btnIban, &QToolButton::clicked, this,
            [this] { checks::openIban(this, text::trim(edit(QStringLiteral("txtIban"))->text())); });
}

QString TfrmClienti::archivePath() const
{
    return ProgramFolder::file(kArchiveName);
}

QLineEdit *TfrmClienti::edit(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}

QWidget *TfrmClienti::firstField() const
{
    return edit(QStringLiteral("txtCliente"));
}

bool TfrmClienti::mandatoryFieldsPresent()
{
    if (!text::isBlank(edit(QStringLiteral("txtCliente"))->text()))
        return true;
    Messages::warning(this, kNameMissing);
    firstField()->setFocus();
    return false;
}

void TfrmClienti::showEvent(QShowEvent *event)
{
    CardWindow::showEvent(event);
    if (event->spontaneous())
        return;
    cmdNuovoClick();
}

void TfrmClienti::btnCodFiscClick()
{
    checks::openTaxCodeOrVat(this, edit(QStringLiteral("txtCodFisc"))->text());
}

void TfrmClienti::btnEmailClick()
{
    Shell::open(QStringLiteral("\"mailto:%1\"").arg(text::trim(edit(QStringLiteral("txtEmail"))->text())));
}
