#include "frmparametri.h"

#include "frmexpparametri.h"
#include "frmstampapar.h"
#include "frmtrovaparametri.h"
#include "modelsearch.h"

#include "storage/textcodec.h"
#include "ui/frmallegacartella.h"
#include "ui/helptopics.h"
#include "ui/helpwindows.h"
#include "ui/inputrules.h"
#include "ui/rowgrid.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSvgWidget>
#include <QToolButton>

TfrmParametri::TfrmParametri(QWidget *home)
    : CardWindow(QStringLiteral("frmParametri"), QStringLiteral(" Tirello - Modelli di analisi"), records::model(),
                 home)
{
    look::setGradient(this, QColor(0x42, 0x7A, 0xA8), Qt::white);
    QWidget *p = panel();
    QFont fieldFont(QStringLiteral("Verdana"), 12);
    fieldFont.setBold(true);

    // Name and sample, each with its picture.
    QFrame *head = look::sectionFrame(p, QStringLiteral("shpIntestazione"), QRect(8, 62, 979, 100));
    clearsHint(head);
    auto header = [&](const QString &name, const QString &caption, const QString &picture, int y) {
        auto *pic = new QSvgWidget(QStringLiteral(":/img/models/%1.svg").arg(picture), head);
        pic->setObjectName(picture);
        pic->setGeometry(12, y + 4, 40, 40);
        clearsHint(pic);
        auto *e = new QLineEdit(head);
        e->setObjectName(name);
        e->setFont(fieldFont);
        QLabel *l = look::caption(head, caption, e);
        l->setGeometry(72, y, 300, 18);
        l->setStyleSheet(QStringLiteral("font-weight: bold; color: #0E2A44;"));
        clearsHint(l);
        e->setGeometry(72, y + 19, 895, 28);
        return e;
    };
    txtAnalisi = header(QStringLiteral("txtAnalisi"), QStringLiteral("Nome analisi:"), QStringLiteral("imgAnalisi"), 3);
    txtCampione =
        header(QStringLiteral("txtCampione"), QStringLiteral("Tipo campione:"), QStringLiteral("imgCampione"), 50);

    // The parameter rows: two pages of fifteen, one shown at a time.
    panParametri = new PagedRowGrid(p, {QStringLiteral("panParametri"),
                                        QStringLiteral("panPag"),
                                        {{"txtParametro", "PARAMETRO", "Parametro", 284},
                                         {"txtMetodo", "METODO DI PROVA", "Metodo di prova", 400},
                                         {"txtUM", "U.M.", "Unit\u00e0 di misura", 106},
                                         {"txtLimite", "LIMITE", "Limite", 106}},
                                        30,
                                        15,
                                        979,
                                        fieldFont});
    panParametri->move(8, 168);
    // Only the two header fields light up while focused.
    panParametri->setStyleSheet(panParametri->styleSheet()
                                + QStringLiteral(" QLineEdit, QLineEdit:focus { background-color: white; }"));
    for (QWidget *w : panParametri->backgrounds())
        clearsHint(w);
    setHint(panParametri->btnIndietro, QStringLiteral("Visualizza la pagina precedente."));
    setHint(panParametri->btnAvanti, QStringLiteral("Visualizza la pagina successiva."));
    const QList<QWidget *> tabs = QList<QWidget *>{txtAnalisi, txtCampione} + panParametri->tabOrder();

    makeAttachmentLabels();

    // The command bar across the top, left to right, the browsing arrows after Stampa;
    // "Allega file" and "Stampa" are pictures with their words.
    commandToolbar(
        {
            {&cmdNuovo, "cmdNuovo", "Nuovo", "Prepara la schermata per l'inserimento di una nuova scheda.",
             ":/img/reports/tbNuovo.svg"},
            {&cmdDuplica, "cmdDuplica", "Duplica",
             "Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti.",
             ":/img/models/tbDuplica.svg"},
            {&cmdSalva, "cmdSalva", "Salva", "Salva la scheda corrente in archivio.", ":/img/reports/tbSalva.svg"},
            {&cmdTrova, "cmdTrova", "Trova", "Trova una scheda in archivio.", ":/img/reports/tbTrova.svg"},
            {&cmdFile, "cmdFile", "Allega file", "Allega file alla scheda corrente.", ":/img/models/tbAllega.svg",
             QSize(148, 32)},
            {&cmdAnteprima, "cmdAnteprima", "Anteprima", "Visualizza l'anteprima di stampa della scheda corrente.",
             ":/img/reports/tbAnteprima.svg"},
            {&cmdStampa, "cmdStampa", "Stampa", "Stampa la scheda corrente.", ":/img/reports/tbStampa.svg",
             QSize(148, 32)},
            {&cmdEsporta, "cmdEsporta", "Esporta archivio", "Esporta l'archivio in un file di Microsoft Excel.",
             ":/img/reports/tbEsporta.svg"},
            {&cmdGuida, "cmdGuida", "Guida", "Visualizza la guida in linea.", ":/img/reports/tbGuida.svg"},
            {&cmdEsci, "cmdEsci", "Esci", "Esci da questa schermata di lavoro.", ":/img/reports/tbEsci.svg"},
        },
        7, BrowseHints{});
    buildStatusBar(false);
    panInfo->setFont(QFont(QStringLiteral("Tahoma"), 12)); // white Tahoma 12 on the blue strip
    panInfo->setStyleSheet(QStringLiteral("color: white;"));

    for (qsizetype i = 0; i + 1 < tabs.size(); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);
    rules::enterMoves(txtAnalisi, [this] { return txtCampione; });
    rules::enterMoves(txtCampione, [this] { return panParametri->firstFieldOf(page()); });

    bindFields();

    connect(cmdNuovo, &QToolButton::clicked, this, &TfrmParametri::cmdNuovoClick);
    connect(cmdDuplica, &QToolButton::clicked, this, &CardWindow::cmdDuplicaClick);
    connect(cmdSalva, &QToolButton::clicked, this, &CardWindow::cmdSalvaClick);
    connect(cmdTrova, &QToolButton::clicked, this, [this] { models::openSearch(this); });
    connect(cmdFile, &QToolButton::clicked, this, [this] { attachments::open(this, QStringLiteral("parametri")); });
    connect(cmdAnteprima, &QToolButton::clicked, this, [this] { models::openPreview(this); });
    connect(cmdStampa, &QToolButton::clicked, this, [this] { models::openPrint(this); });
    connect(cmdEsporta, &QToolButton::clicked, this, [this] { models::openExport(this); });
    connect(cmdEsci, &QToolButton::clicked, this, &QWidget::close);
    connect(cmdGuida, &QToolButton::clicked, this, [this] {
        help::show(this, help::models());
    });
}

QString TfrmParametri::archivePath() const
{
    return models::archivePath();
}

QLineEdit *TfrmParametri::edit(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}

QWidget *TfrmParametri::firstField() const
{
    return txtAnalisi;
}

int TfrmParametri::page() const
{
    return panParametri->page();
}

void TfrmParametri::cmdNuovoClick()
{
    panParametri->showPage(1);
    CardWindow::cmdNuovoClick();
}

bool TfrmParametri::mandatoryFieldsPresent()
{
    if (text::isBlank(txtAnalisi->text())) {
        Messages::warning(this, kNameMissing);
        txtAnalisi->setFocus();
        return false;
    }
    if (text::isBlank(txtCampione->text())) {
        Messages::warning(this, kSampleMissing);
        txtCampione->setFocus();
        return false;
    }
    return true;
}

void TfrmParametri::showEvent(QShowEvent *event)
{
    CardWindow::showEvent(event);
    if (event->spontaneous())
        return;
    cmdNuovoClick(); // every visit starts from a blank card on page 1
}
