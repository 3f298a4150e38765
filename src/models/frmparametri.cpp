#include "frmparametri.h"

#include "frmexpparametri.h"
#include "frmstampapar.h"
#include "frmtrovaparametri.h"
#include "modelsearch.h"

#include "app/helptopics.h"
#include "app/helpwindows.h"
#include "app/seams.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSvgWidget>
#include <QToolButton>

#include <functional>

namespace {

constexpr int kRows = 15;      // rows per page
constexpr int kRowStep = 26;   // one row below the other
constexpr int kFieldH = 24;
constexpr int kHeadingH = 22;

// Column widths of a row: parameter, method, unit, limit.
constexpr int kColumnX[] = {4, 258, 613, 708};
constexpr int kColumnW[] = {250, 351, 91, 91};
constexpr int kPageW = 803;

// Enter in a field moves the focus to the field the rule names at that moment.
class EnterMoves : public QObject {
public:
    EnterMoves(QWidget *field, std::function<QWidget *()> next) : QObject(field), m_next(std::move(next))
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        m_next()->setFocus(Qt::TabFocusReason);
        return true;
    }

private:
    std::function<QWidget *()> m_next;
};

QString rowName(const char *field, int row)
{
    return QString::fromLatin1(field) + QStringLiteral("%1").arg(row, 2, 10, QLatin1Char('0'));
}

} // namespace

TfrmParametri::TfrmParametri(Workspace &ws)
    : CardWindow(ws, QStringLiteral("frmParametri"), QStringLiteral(" Tirello - Modelli di analisi"), records::model())
{
    look::setGradient(this, QColor(0x42, 0x7A, 0xA8), Qt::white);
    QWidget *p = panel();
    QFont fieldFont(QStringLiteral("Verdana"), 12);
    fieldFont.setBold(true);

    auto frame = [&](QWidget *parent, const QString &name, const QRect &geometry) {
        auto *f = new QFrame(parent);
        f->setObjectName(name);
        f->setGeometry(geometry);
        f->setStyleSheet(QStringLiteral("#%1 { background: rgba(255,255,255,150); border: 1px solid #1F4E79;"
                                        " border-radius: 6px; }")
                             .arg(name));
        clearsHint(f);
        return f;
    };

    // Name and sample, each with its picture.
    QFrame *head = frame(p, QStringLiteral("shpIntestazione"), QRect(8, 10, 815, 118));
    auto header = [&](const QString &name, const QString &caption, const QString &picture, int y) {
        auto *pic = new QSvgWidget(QStringLiteral(":/img/models/%1.svg").arg(picture), head);
        pic->setObjectName(picture);
        pic->setGeometry(12, y + 6, 48, 48);
        clearsHint(pic);
        auto *e = new QLineEdit(head);
        e->setObjectName(name);
        e->setFont(fieldFont);
        QLabel *l = look::caption(head, caption, e);
        l->setGeometry(72, y, 300, 18);
        l->setStyleSheet(QStringLiteral("font-weight: bold; color: #0E2A44;"));
        clearsHint(l);
        e->setGeometry(72, y + 19, 731, 30);
        return e;
    };
    txtAnalisi = header(QStringLiteral("txtAnalisi"), QStringLiteral("Nome analisi:"), QStringLiteral("imgAnalisi"), 6);
    txtCampione =
        header(QStringLiteral("txtCampione"), QStringLiteral("Tipo campione:"), QStringLiteral("imgCampione"), 62);

    // The parameter rows: two pages of fifteen, one shown at a time.
    const int pageH = kHeadingH + 4 + (kRows - 1) * kRowStep + kFieldH;
    panParametri = frame(p, QStringLiteral("panParametri"), QRect(8, 140, 815, 6 + pageH + 10 + 30 + 8));
    // Only the two header fields light up while focused.
    panParametri->setStyleSheet(panParametri->styleSheet()
                                + QStringLiteral(" QLineEdit, QLineEdit:focus { background-color: white; }"));
    static const char *const titles[] = {"PARAMETRO", "METODO DI PROVA", "U.M.", "LIMITE"};
    static const char *const columns[] = {"txtParametro", "txtMetodo", "txtUM", "txtLimite"};
    static const char *const spoken[] = {"Parametro", "Metodo di prova", "Unit\u00e0 di misura", "Limite"};
    QList<QWidget *> tabs{txtAnalisi, txtCampione};
    for (int pg = 1; pg <= 2; ++pg) {
        auto *page = new QWidget(panParametri);
        page->setObjectName(QStringLiteral("panPag%1").arg(pg, 2, 10, QLatin1Char('0')));
        page->setGeometry(6, 6, kPageW, pageH);
        clearsHint(page);
        (pg == 1 ? panPag01 : panPag02) = page;

        auto *band = new QFrame(page);
        band->setObjectName(QStringLiteral("shpTitoli%1").arg(pg, 2, 10, QLatin1Char('0')));
        band->setGeometry(0, 0, kPageW, kHeadingH);
        band->setStyleSheet(QStringLiteral("background-color: #1F4E79; border-radius: 3px;"));
        clearsHint(band);
        for (int c = 0; c < 4; ++c) {
            auto *t = new QLabel(QString::fromLatin1(titles[c]), band);
            t->setObjectName(QStringLiteral("tit%1_%2").arg(QString::fromLatin1(columns[c]).mid(3)).arg(pg));
            t->setGeometry(kColumnX[c], 0, kColumnW[c], kHeadingH);
            t->setAlignment(Qt::AlignCenter);
            t->setStyleSheet(QStringLiteral("color: white; font-weight: bold; background: transparent;"));
            clearsHint(t);
        }
        for (int r = 0; r < kRows; ++r) {
            const int row = (pg - 1) * kRows + r + 1;
            for (int c = 0; c < 4; ++c) {
                auto *e = new QLineEdit(page);
                e->setObjectName(rowName(columns[c], row));
                e->setFont(fieldFont);
                e->setGeometry(kColumnX[c], kHeadingH + 4 + r * kRowStep, kColumnW[c], kFieldH);
                e->setAccessibleName(QStringLiteral("%1 %2").arg(QString::fromUtf8(spoken[c])).arg(row));
                tabs.append(e);
            }
        }
    }

    // Page controls below the rows.
    const int controlsY = 6 + pageH + 10;
    btnIndietro = new QPushButton(QStringLiteral("<<  Indietro"), panParametri);
    btnIndietro->setObjectName(QStringLiteral("btnIndietro"));
    btnIndietro->setGeometry(10, controlsY, 130, 30);
    btnAvanti = new QPushButton(QStringLiteral("Avanti  >>"), panParametri);
    btnAvanti->setObjectName(QStringLiteral("btnAvanti"));
    btnAvanti->setGeometry(815 - 10 - 130, controlsY, 130, 30);
    for (QPushButton *b : {btnIndietro, btnAvanti}) {
        b->setAccessibleName(b->text().remove(u'<').remove(u'>').trimmed());
        b->setCursor(Qt::PointingHandCursor);
        b->setStyleSheet(QStringLiteral("font-weight: bold;"));
    }
    setHint(btnIndietro, QStringLiteral("Visualizza la pagina precedente."));
    setHint(btnAvanti, QStringLiteral("Visualizza la pagina successiva."));
    lblPag = new QLabel(kPage1, panParametri);
    lblPag->setObjectName(QStringLiteral("lblPag"));
    lblPag->setGeometry((815 - 200) / 2, controlsY, 200, 30);
    lblPag->setAlignment(Qt::AlignCenter);
    lblPag->setStyleSheet(QStringLiteral("font-weight: bold; color: #0E2A44; background: transparent;"));
    clearsHint(lblPag);
    tabs << btnIndietro << btnAvanti;

    for (int i = 0; i < 3; ++i) {
        lblFile[i] = new QLabel(p);
        lblFile[i]->setObjectName(QStringLiteral("lblFile%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        lblFile[i]->hide();
        lblDesc[i] = new QLabel(p);
        lblDesc[i]->setObjectName(QStringLiteral("lblDesc%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        lblDesc[i]->hide();
    }

    // Command column.
    struct Command {
        QToolButton **button;
        const char *name;
        const char *caption;
        const char *hint;
    };
    const Command commands[] = {
        {&cmdNuovo, "cmdNuovo", "Nuovo", "Prepara la schermata per l'inserimento di una nuova scheda."},
        {&cmdDuplica, "cmdDuplica", "Duplica",
         "Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti."},
        {&cmdSalva, "cmdSalva", "Salva", "Salva la scheda corrente in archivio."},
        {&cmdTrova, "cmdTrova", "Trova", "Trova una scheda in archivio."},
        {&cmdFile, "cmdFile", "Allega file", "Allega file alla scheda corrente."},
        {&cmdAnteprima, "cmdAnteprima", "Anteprima", "Visualizza l'anteprima di stampa della scheda corrente."},
        {&cmdStampa, "cmdStampa", "Stampa", "Stampa la scheda corrente."},
        {&cmdEsporta, "cmdEsporta", "Esporta archivio", "Esporta l'archivio in un file di Microsoft Excel."},
        {&cmdGuida, "cmdGuida", "Guida", "Visualizza la guida in linea."},
        {&cmdEsci, "cmdEsci", "Esci", "Esci da questa schermata di lavoro."},
    };
    int cy = 12;
    for (const Command &c : commands) {
        *c.button = command(QString::fromLatin1(c.name), QString::fromUtf8(c.caption), QString::fromUtf8(c.hint), cy);
        cy += 60;
    }
    buildStatusBar();

    for (qsizetype i = 0; i + 1 < tabs.size(); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);
    new EnterMoves(txtAnalisi, [this] { return txtCampione; });
    new EnterMoves(txtCampione, [this] { return edit(page() == 1 ? QStringLiteral("txtParametro01")
                                                                 : QStringLiteral("txtParametro16")); });

    bindFields();
    showPage(1);

    connect(cmdNuovo, &QToolButton::clicked, this, &TfrmParametri::cmdNuovoClick);
    connect(cmdDuplica, &QToolButton::clicked, this, &TfrmParametri::cmdDuplicaClick);
    connect(cmdSalva, &QToolButton::clicked, this, &CardWindow::cmdSalvaClick);
    connect(cmdTrova, &QToolButton::clicked, this, [this] { models::openSearch(this); });
    connect(cmdAnteprima, &QToolButton::clicked, this, [this] { models::openPreview(this); });
    connect(cmdStampa, &QToolButton::clicked, this, [this] { models::openPrint(this); });
    connect(cmdEsporta, &QToolButton::clicked, this, [this] { models::openExport(this); });
    connect(cmdEsci, &QToolButton::clicked, this, &QWidget::close);
    connect(cmdGuida, &QToolButton::clicked, this, [this] {
        const help::Topic t = help::models();
        help::show(this, t.title, t.text);
    });
    connect(btnAvanti, &QPushButton::clicked, this, &TfrmParametri::btnAvantiClick);
    connect(btnIndietro, &QPushButton::clicked, this, &TfrmParametri::btnIndietroClick);
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
    return panPag02->isVisibleTo(panParametri) ? 2 : 1;
}

void TfrmParametri::showPage(int page)
{
    panPag01->setVisible(page == 1);
    panPag02->setVisible(page == 2);
    lblPag->setText(page == 1 ? kPage1 : kPage2);
    btnAvanti->setEnabled(page == 1);
    btnIndietro->setEnabled(page == 2);
}

void TfrmParametri::btnAvantiClick()
{
    showPage(2);
    edit(QStringLiteral("txtParametro16"))->setFocus();
}

void TfrmParametri::btnIndietroClick()
{
    showPage(1);
    edit(QStringLiteral("txtParametro01"))->setFocus();
}

void TfrmParametri::cmdNuovoClick()
{
    showPage(1);
    CardWindow::cmdNuovoClick();
}

void TfrmParametri::cmdDuplicaClick()
{
    if (text::isBlank(lblPosizione->text())) {
        Messages::warning(this, cardTexts::kDuplicateNeedsStored);
        return;
    }
    // A duplicate carries no attachments.
    for (int i = 0; i < 3; ++i) {
        lblFile[i]->clear();
        lblDesc[i]->clear();
    }
    lblPosizione->clear();
    try {
        archive::touch(archivePath(), layout().size());
    } catch (const std::exception &) {
        Messages::warning(this, cardTexts::kArchiveAccess);
        return;
    }
    txtAnalisi->setFocus();
    Messages::information(this, cardTexts::kDuplicated);
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
