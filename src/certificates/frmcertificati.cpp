#include "frmcertificati.h"

#include "frmdaconsegnare.h"
#include "frmexpcertificati.h"
#include "frmstampacer.h"
#include "frmtrovacertificati.h"

#include "ui/helptopics.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

struct Memo {
    const char *field;
    const char *title;
};
// In tab order: left and right, three rows.
constexpr Memo kMemos[] = {
    {"txtMetodi", "METODI DI STUDIO, DI ESECUZIONE E DI ANALISI SEGUITI"},
    {"txtMotivazione", "MOTIVAZIONE DELLE SCELTE A BASE DELLE PROCEDURE SEGUITE"},
    {"txtAllegati", "RAPPORTI DI PROVA E ALTRI DOCUMENTI ALLEGATI"},
    {"txtTempoDocu", "TEMPO DI CONSERVAZIONE DELLA DOCUMENTAZIONE"},
    {"txtTempoCamp", "TEMPO DI CONSERVAZIONE DEL CAMPIONE DI CONTROLLO"},
    {"txtConclusioni", "CONCLUSIONI E GIUDIZIO TECNICO"},
};

// The e-mail field of the laboratory, once left, turns a very light blue.
class LeftTint : public QObject {
public:
    explicit LeftTint(QLineEdit *edit) : QObject(edit) { edit->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::FocusOut && watched->isWidgetType())
            static_cast<QWidget *>(watched)->setStyleSheet(
                QStringLiteral("QLineEdit { background-color: #F0F8FF; } QLineEdit:focus { background-color: #FFFF00; }"));
        return false;
    }
};

} // namespace

const DocumentCard::Description &TfrmCertificati::description()
{
    static const Description d{
        QStringLiteral("frmCertificati"),
        QStringLiteral(" Tirello - Certificati di analisi chimica"),
        settings::DocumentKind::Certificates,
        QStringLiteral("certificati"),
        QStringLiteral("CERTIFICATO DI ANALISI N."),
        false,
        {QStringLiteral("Prepara la schermata per la registrazione di un nuovo certificato di analisi."),
         QStringLiteral("Salva il certificato di analisi corrente."),
         QStringLiteral("Trova un certificato di analisi in archivio."),
         QStringLiteral("Allega file al certificato di analisi corrente."),
         QStringLiteral("Visualizza il riepilogo dei certificati di analisi chimica non consegnati ai committenti."),
         QStringLiteral("Visualizza l'anteprima di stampa del certificato di analisi corrente."),
         QStringLiteral("Stampa il certificato di analisi corrente."),
         QStringLiteral("Esporta i certificati di analisi in archivio in un file di Microsoft Excel."),
         QStringLiteral("Imposta il numero iniziale per la numerazione dei certificati di analisi.")},
        {"Visualizza il primo certificato di analisi in archivio.",
         "Visualizza il certificato di analisi precedente in archivio.",
         "Visualizza il certificato di analisi successivo in archivio.",
         "Visualizza l'ultimo certificato di analisi in archivio."},
        QStringLiteral("Carica il logo da inserire nelle stampe dei certificati di analisi chimica."),
        QStringLiteral("Spunta questa casella per indicare che il certificato di analisi \u00e8 stato consegnato al "
                       "committente."),
        QStringLiteral("Dettagli tecnici  >>"),
        QStringLiteral("Visualizza la sezione dei dettagli tecnici."),
        QStringLiteral("QLineEdit:focus, QPlainTextEdit:focus { background-color: #FFFF00; }"),
        {{"txtChimico", "Chimico responsabile:", 200}, {"txtOrdine", "Ordine appartenenza:", 196}},
        {{"txtLaboratorio", "Attenzione: per salvare il certificato di analisi chimica \u00e8 necessario indicare la "
                            "denominazione del Laboratorio."},
         {"txtCliente", "Attenzione: per salvare il certificato di analisi chimica \u00e8 necessario indicare il nome "
                        "del committente."},
         {"txtNumRap", "Attenzione: per salvare il certificato di analisi chimica \u00e8 necessario indicare il numero "
                       "progressivo del documento."},
         {"txtData", "Attenzione: per salvare il certificato di analisi chimica \u00e8 necessario indicare la data di "
                     "emissione del documento."},
         {"txtAnalisi", "Attenzione: per salvare il certificato di analisi chimica \u00e8 necessario indicare la "
                        "tipologia di analisi effettuata."},
         {"txtCampione", "Attenzione: per salvare il certificato di analisi chimica \u00e8 necessario indicare il "
                         "campione analizzato."}},
        Messages::Kind::Plain,
        &help::certificates,
        &certificates::openSearch,
        &certificates::openUndelivered,
        &certificates::openExport,
        &certificates::openPreview,
        &certificates::openPrint,
    };
    return d;
}

TfrmCertificati::TfrmCertificati(QWidget *home) : DocumentCard(description(), records::certificate(), home)
{
    look::setGradient(this, QColor(0x42, 0x7A, 0xA8), Qt::white);
    new LeftTint(edit(QStringLiteral("txtEmailLab")));

    // The technical details: six memos of 448 x 120, two by two, each under its title.
    QFont memoFont(QStringLiteral("Verdana"), 12);
    memoFont.setBold(true);
    QList<QWidget *> tabs;
    for (int i = 0; i < 6; ++i) {
        const Memo &m = kMemos[i];
        const int left = i % 2 == 0 ? 30 : 995 - 30 - 448;
        const int y = 6 + (i / 2) * 172;
        auto *title = new QLabel(QString::fromLatin1(m.title), panRisultati);
        title->setObjectName(QStringLiteral("tit") + QString::fromLatin1(m.field).mid(3));
        title->setGeometry(left, y, 448, 26);
        title->setAlignment(Qt::AlignCenter);
        title->setStyleSheet(QStringLiteral("background-color: #1F4E79; color: white; font-weight: bold;"
                                            " font-size: 8pt; border-radius: 4px;"));
        clearsHint(title);
        auto *memo = new QPlainTextEdit(panRisultati);
        memo->setObjectName(QString::fromLatin1(m.field));
        memo->setGeometry(left, y + 30, 448, 120);
        memo->setFont(memoFont);
        memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        memo->setTabChangesFocus(true);
        title->setBuddy(memo);
        memo->setAccessibleName(QString::fromLatin1(m.title));
        tabs.append(memo);
    }
    buildSecondFooter(6 + 3 * 172 + 4);
    for (qsizetype i = 0; i + 1 < tabs.size(); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);
    setTabOrder(tabs.last(), btnDatiGen_B);

    bindFields();
}

QPlainTextEdit *TfrmCertificati::memo(const QString &name) const
{
    return findChild<QPlainTextEdit *>(name);
}

QWidget *TfrmCertificati::secondSectionFirstField() const
{
    return memo(QStringLiteral("txtMetodi"));
}
