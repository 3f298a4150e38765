#include "frmallegacartella.h"

#include "storage/textcodec.h"
#include "storage/values.h"
#include "ui/card.h"
#include "ui/inputrules.h"
#include "ui/seams.h"
#include "ui/widgets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSvgWidget>
#include <QToolButton>

namespace {

const QColor kTop{0x7D, 0xA7, 0xCB};

constexpr const char *kTags[] = {"clienti", "parametri", "rapporti", "certificati"};

constexpr int kSteps = 1000; // of the progress bar

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n + 1, 2, 10, QLatin1Char('0'));
}

} // namespace

TfrmAllegaCartella::TfrmAllegaCartella(QWidget *owner, records::FieldTarget *target)
    : QDialog(owner), m_target(target)
{
    look::toolWindow(this, QStringLiteral("frmAllegaCartella"), kTitle, kClient, kTop);
    setStyleSheet(QStringLiteral("QLineEdit:focus { background-color: #FFFF00; }"));

    // The paper clip and what to do.
    auto *panIstruzioni = new QFrame(this);
    panIstruzioni->setObjectName(QStringLiteral("panIstruzioni"));
    panIstruzioni->setGeometry(16, 10, 602, 74);
    panIstruzioni->setStyleSheet(
        QStringLiteral("#panIstruzioni { background: white; border: 1px solid #1F4E79; border-radius: 6px; }"));
    auto *imgGraffetta = new QSvgWidget(QStringLiteral(":/img/attachments/graffetta.svg"), panIstruzioni);
    imgGraffetta->setObjectName(QStringLiteral("imgGraffetta"));
    imgGraffetta->setGeometry(10, 9, 56, 56);
    auto *lblIstruzioni = new QLabel(panIstruzioni);
    lblIstruzioni->setObjectName(QStringLiteral("lblIstruzioni"));
    lblIstruzioni->setGeometry(78, 6, 516, 62);
    lblIstruzioni->setTextFormat(Qt::PlainText);
    lblIstruzioni->setText(QStringLiteral(
        "Scegliere i documenti da allegare con il pulsante Sfoglia...\n"
        "Premere poi Applica e chiudi, quindi Salva sulla scheda per memorizzare le modifiche.\n"
        "Per aprire un file allegato premere Apri."));
    lblIstruzioni->setStyleSheet(QStringLiteral("color: #0E2A44;"));

    QFont nameFont(QStringLiteral("Verdana"), 11, QFont::Bold);
    QFont descFont(QStringLiteral("Verdana"), 12, QFont::Bold);
    QList<QWidget *> tabs;
    for (int n = 0; n < kSlots; ++n) {
        const QString nn = twoDigits(n);
        const QString ordinal = QStringLiteral("%1\u00b0").arg(n + 1);

        auto *slot = new QFrame(this);
        slot->setObjectName(QStringLiteral("panFile") + nn);
        slot->setGeometry(16, 92 + n * 132, 602, 124);
        slot->setStyleSheet(QStringLiteral("#%1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                           "stop:0 #EEF5FC, stop:1 #BCD6EE); border: 1px solid #7DA7CB; "
                                           "border-radius: 6px; }")
                                .arg(slot->objectName()));

        QLineEdit *file = txtFile[n] = new QLineEdit(slot);
        file->setObjectName(QStringLiteral("txtFile") + nn);
        file->setReadOnly(true);
        file->setFont(nameFont);
        file->setStyleSheet(QStringLiteral("color: #7F7F7F;"));
        file->setGeometry(12, 25, 396, 28);
        QLabel *fileCaption =
            look::caption(slot, QStringLiteral("Nome %1 file allegato:").arg(ordinal), file);
        fileCaption->setGeometry(12, 6, 396, 18);

        imgCancella[n] = look::pictureButton(slot, QStringLiteral("imgCancella") + nn,
                                             QStringLiteral(":/img/logo/gomma.svg"), QSize(22, 22),
                                             QStringLiteral("Togli il %1 file allegato").arg(ordinal));
        imgCancella[n]->setFixedSize(22, 22); // the picture is the button
        imgCancella[n]->move(413, 28);

        btnSfoglia[n] = look::button(slot, QStringLiteral("btnSfoglia") + nn, QStringLiteral("Sfoglia..."), true);
        btnSfoglia[n]->setGeometry(444, 24, 82, 30);
        btnApri[n] = look::button(slot, QStringLiteral("btnApri") + nn, QStringLiteral("Apri"), true);
        btnApri[n]->setGeometry(532, 24, 58, 30);
        btnApri[n]->setEnabled(false);

        QLineEdit *desc = txtDesc[n] = new QLineEdit(slot);
        desc->setObjectName(QStringLiteral("txtDesc") + nn);
        desc->setMaxLength(32767); // no limit here: the record cuts it when the card is saved
        desc->setFont(descFont);
        desc->setGeometry(12, 79, 578, 30);
        rules::oneLine(desc);
        QLabel *descCaption =
            look::caption(slot, QStringLiteral("Descrizione %1 file allegato:").arg(ordinal), desc);
        descCaption->setGeometry(12, 60, 578, 18);
        for (QLabel *l : {fileCaption, descCaption})
            l->setStyleSheet(QStringLiteral("color: #0E2A44; font-weight: bold;"));

        tabs << file << btnSfoglia[n] << btnApri[n] << desc;

        connect(file, &QLineEdit::textChanged, this,
                [this, n](const QString &name) { btnApri[n]->setEnabled(!text::isBlank(name)); });
        connect(btnSfoglia[n], &QPushButton::clicked, this, [this, n] { btnSfogliaClick(n); });
        connect(btnApri[n], &QPushButton::clicked, this, [this, n] { btnApriClick(n); });
        connect(imgCancella[n], &QToolButton::clicked, this, [this, n] { imgCancellaClick(n); });
    }

    btnAnnulla = look::button(this, QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"));
    btnAnnulla->setGeometry(318, 492, 140, 32);
    btnApplica = look::button(this, QStringLiteral("btnApplica"), QStringLiteral("Applica e chiudi"));
    btnApplica->setGeometry(466, 492, 152, 32);
    btnApplica->setDefault(true);
    lblMemory = look::hiddenLabel(this, QStringLiteral("lblMemory"));

    // The slots in turn, the two buttons; the erasers last, still within reach of the keyboard.
    tabs << btnApplica << btnAnnulla;
    for (QToolButton *eraser : imgCancella)
        tabs << eraser;
    for (qsizetype i = 0; i + 1 < tabs.size(); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);
    txtFile[0]->setFocus();

    connect(btnApplica, &QPushButton::clicked, this, &TfrmAllegaCartella::btnApplicaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

bool TfrmAllegaCartella::knowsTag(const QString &tag)
{
    for (const char *t : kTags)
        if (tag == QLatin1String(t))
            return true;
    return false;
}

QString TfrmAllegaCartella::fileField(int n)
{
    return QStringLiteral("lblFile") + twoDigits(n);
}

QString TfrmAllegaCartella::descField(int n)
{
    return QStringLiteral("lblDesc") + twoDigits(n);
}

void TfrmAllegaCartella::btnSfogliaClick(int n)
{
    const QString chosen = FileDialogs::openFile(this, kDialogTitle, QDir::homePath(), kDialogFilter);
    if (chosen.isEmpty())
        return; // cancelled: nothing changes
    const QString name = text::trim(QFileInfo(chosen).fileName());
    // The slot only ever names a file that the record can hold and that is in the folder.
    if (!attachments::isBareName(name) || !attachments::isStorable(name)) {
        Messages::warning(this, kNotStorable.arg(name));
        return;
    }
    if (QFileInfo::exists(attachments::pathOf(name)) && !Messages::question(this, kOverwrite)) {
        txtFile[n]->setText(name); // the file already in the folder stays, and the slot names it
        return;
    }
    attachments::CopyFailure failure = attachments::CopyFailure::None;
    switch (copyWithProgress(chosen, name, &failure)) {
    case attachments::CopyResult::Copied:
        txtFile[n]->setText(name);
        txtFile[n]->setCursorPosition(0);
        break;
    case attachments::CopyResult::Cancelled:
        break;
    case attachments::CopyResult::Failed:
        Messages::warning(this, copyFailed(name, failure));
        break;
    }
}

QString TfrmAllegaCartella::copyFailed(const QString &name, attachments::CopyFailure failure)
{
    using F = attachments::CopyFailure;
    const QString cause = failure == F::SourceUnreadable ? kCauseSource
        : failure == F::NoPermission                     ? kCauseNoPermission
        : failure == F::DiskFull                         ? kCauseDiskFull
        : failure == F::NameTooLong                      ? kCauseNameTooLong
                                                         : kCauseUnknown;
    return kCopyFailed.arg(name, cause);
}

attachments::CopyResult TfrmAllegaCartella::copyWithProgress(const QString &source, const QString &name,
                                                             attachments::CopyFailure *failure)
{
    // Shown only when the copy takes a while; the window goes on painting meanwhile.
    QProgressDialog progress(kCopying.arg(name), QStringLiteral("Annulla"), 0, kSteps, this);
    progress.setObjectName(QStringLiteral("dlgCopia"));
    progress.setWindowTitle(kTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(progressDelay);
    progress.setAutoReset(false);
    progress.setValue(0);
    return attachments::copyIn(source, name, [&progress](qint64 done, qint64 total) {
        progress.setValue(total > 0 ? int(qMin(done, total) * kSteps / total) : kSteps);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    }, nullptr, failure);
}

void TfrmAllegaCartella::btnApriClick(int n)
{
    const QString name = text::trim(txtFile[n]->text());
    if (name.isEmpty())
        return;
    // A name from an older archive may be a whole path: its last part is looked for in the
    // folder, and nothing outside the folder is ever opened.
    const QString path = attachments::pathOf(name);
    if (path.isEmpty()) {
        Messages::warning(this, kUnsafeName.arg(name));
        return;
    }
    if (!QFileInfo(path).isFile()) {
        Messages::warning(this, kMissing.arg(attachments::folderName(name)));
        return;
    }
    Shell::open(u'"' + path + u'"');
}

void TfrmAllegaCartella::imgCancellaClick(int n)
{
    // The description stays, and so does the copy in the folder.
    txtFile[n]->clear();
}

void TfrmAllegaCartella::btnApplicaClick()
{
    if (m_target && knowsTag(lblMemory->text())) {
        for (int n = 0; n < kSlots; ++n)
            m_target->setField(fileField(n), text::trim(txtFile[n]->text()));
        for (int n = 0; n < kSlots; ++n)
            m_target->setField(descField(n), text::trim(txtDesc[n]->text()));
    }
    accept();
}

namespace attachments {

void open(CardWindow *card, const QString &tag)
{
    TfrmAllegaCartella window(card, card);
    window.lblMemory->setText(tag);
    const records::Values shown = card->values();
    for (int n = 0; n < TfrmAllegaCartella::kSlots; ++n) {
        window.txtFile[n]->setText(shown.trimmed(TfrmAllegaCartella::fileField(n)));
        window.txtFile[n]->setCursorPosition(0);
        window.txtDesc[n]->setText(shown.trimmed(TfrmAllegaCartella::descField(n)));
        window.txtDesc[n]->setCursorPosition(0);
    }
    window.exec();
}

} // namespace attachments
