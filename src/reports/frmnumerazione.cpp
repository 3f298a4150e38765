#include "frmnumerazione.h"

#include "numbering.h"

#include "storage/log.h"
#include "storage/textcodec.h"
#include "ui/inputrules.h"
#include "ui/seams.h"
#include "ui/widgets.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {

QLabel *note(QWidget *parent, const QString &text, int y)
{
    auto *l = new QLabel(text, parent);
    l->setWordWrap(true);
    l->setGeometry(46, y, 330, 44);
    l->setStyleSheet(QStringLiteral("color: #0E2A44; font-size: 9pt;"));
    auto *mark = new QLabel(QStringLiteral("i"), parent);
    mark->setGeometry(14, y + 8, 24, 24);
    mark->setAlignment(Qt::AlignCenter);
    mark->setStyleSheet(QStringLiteral("background: #1D5B9A; color: white; font: bold 12pt 'Georgia';"
                                       " border-radius: 12px;"));
    return l;
}

} // namespace

TfrmNumerazione::TfrmNumerazione(QWidget *owner) : QDialog(owner)
{
    look::toolWindow(this, QStringLiteral("frmNumerazione"), kTitleReports, kClient, look::kSteelBlue);

    imgLogo = new QFrame(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(12, 12, 396, 112);
    imgLogo->setStyleSheet(QStringLiteral("#imgLogo { background: white; border: 1px solid #9FB8CF;"
                                          " border-radius: 8px; }"));
    const QString first = QStringLiteral(
        "Utilizzare questa funzione per iniziare la numerazione automatica da un numero superiore a 1.");
    const QString second = QStringLiteral(
        "La numerazione automatica funziona soltanto se si preme Nuovo prima di compilare il documento.");
    note(imgLogo, first, 6);
    note(imgLogo, second, 58);
    imgLogo->setAccessibleName(first + u' ' + second);

    grpNumerazione = new QGroupBox(QStringLiteral(" Inizia numerazione da: "), this);
    grpNumerazione->setObjectName(QStringLiteral("grpNumerazione"));
    grpNumerazione->setGeometry(12, 136, 396, 84);
    grpNumerazione->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; color: #0E2A44; }"));
    txtInizio = new QLineEdit(QStringLiteral("1"), grpNumerazione);
    txtInizio->setObjectName(QStringLiteral("txtInizio"));
    txtInizio->setMaxLength(5);
    txtInizio->setFont(QFont(QStringLiteral("Verdana"), 12));
    txtInizio->setGeometry(24, 32, 120, 32);
    txtInizio->setAccessibleName(QStringLiteral("Inizia numerazione da:"));
    effInizio = look::focusFrame(txtInizio, QStringLiteral("effInizio"));

    chkTipo = new QCheckBox(QStringLiteral("Indica l'anno solare dopo il numero progressivo del documento"), this);
    chkTipo->setObjectName(QStringLiteral("chkTipo"));
    chkTipo->setGeometry(14, 236, 400, 36);
    chkTipo->setStyleSheet(QStringLiteral("QCheckBox { color: #0E2A44; font-size: 8pt; }"));

    btnAnnulla = look::button(this, QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"));
    btnAnnulla->setGeometry(12, 316, 150, 40);
    btnApplica = look::button(this, QStringLiteral("btnApplica"), QStringLiteral("Applica e chiudi"), true);
    btnApplica->setGeometry(258, 316, 150, 40);
    lblMemory = look::hiddenLabel(this, QStringLiteral("lblMemory"));
    lblMemory->setText(kModeReports);

    rules::digitKeysOnly(txtInizio);
    rules::enterMoves(txtInizio, [this] { return btnApplica; });
    // Put in shape when the field is left (or Enter leaves it).
    // A start the field cannot take stays as typed, for "Applica e chiudi" to refuse.
    connect(txtInizio, &QLineEdit::editingFinished, this, [this] {
        const QString start = reports::normaliseStart(txtInizio->text());
        if (reports::isAcceptedStart(start))
            txtInizio->setText(start);
    });
    setTabOrder(txtInizio, chkTipo);
    setTabOrder(chkTipo, btnApplica);
    setTabOrder(btnApplica, btnAnnulla);

    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnApplica, &QPushButton::clicked, this, &TfrmNumerazione::btnApplicaClick);

    look::centreOver(this, owner);
}

settings::DocumentKind TfrmNumerazione::kind() const
{
    return lblMemory->text() == kModeCertificates ? settings::DocumentKind::Certificates
                                                  : settings::DocumentKind::Reports;
}

void TfrmNumerazione::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    settings::Numbering n;
    try {
        n = settings::readNumbering(settings::filePath(), kind());
    } catch (const std::exception &e) {
        // An unreadable file: the defaults, as for a missing one.
        qCWarning(lcTirello) << "numbering settings not read:" << e.what();
    }
    txtInizio->setText(n.start);
    m_longStart = n.start.size() > txtInizio->text().size() ? n.start : QString();
    m_longStartShown = txtInizio->text();
    chkTipo->setChecked(n.withYear);
    if (text::isBlank(txtInizio->text()))
        txtInizio->setText(QStringLiteral("1"));
    txtInizio->setFocus();
}

void TfrmNumerazione::btnApplicaClick()
{
    QString start;
    if (!m_longStart.isEmpty() && txtInizio->text() == m_longStartShown) {
        start = m_longStart; // not edited: kept as the file has it
    } else {
        // A field still being edited is normalised as leaving it would.
        start = reports::normaliseStart(txtInizio->text());
        if (!reports::isAcceptedStart(start)) {
            Messages::warning(this, kBadStart);
            txtInizio->setFocus();
            return;
        }
        txtInizio->setText(start);
    }
    try {
        settings::writeNumbering(settings::filePath(), kind(), {start, chkTipo->isChecked()});
    } catch (const std::exception &e) {
        qCWarning(lcTirello) << "numbering settings not written:" << e.what();
        Messages::error(this, kWriteFailed);
        return;
    }
    accept();
}

namespace reports {

void openNumbering(QWidget *owner, settings::DocumentKind kind)
{
    TfrmNumerazione window(owner);
    const bool reports = kind == settings::DocumentKind::Reports;
    window.lblMemory->setText(reports ? TfrmNumerazione::kModeReports : TfrmNumerazione::kModeCertificates);
    window.setWindowTitle(reports ? TfrmNumerazione::kTitleReports : TfrmNumerazione::kTitleCertificates);
    window.exec();
}

} // namespace reports
