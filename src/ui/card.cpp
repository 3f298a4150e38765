#include "card.h"

#include "storage/log.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"
#include "ui/hintline.h"
#include "ui/inputrules.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

using records::Record;

CardWindow::CardWindow(const QString &objectName, const QString &title, const records::Layout &layout,
                       QWidget *home)
    : WorkWindow(objectName, title), m_layout(layout), m_home(home), m_hints(new HintLine(this))
{
    look::setGradient(this, QColor(0x40, 0x8A, 0xB3), Qt::white);
    setStyleSheet(QStringLiteral(
        "QLineEdit:focus, QComboBox:focus, QPlainTextEdit:focus { background-color: #FFFF00; }"));
    clearsHint(this);
    clearsHint(panel());
}

// ---- Fields --------------------------------------------------------------------------

void CardWindow::bindFields()
{
    m_controls.clear();
    for (const records::Field &f : m_layout.fields()) {
        QWidget *w = findChild<QWidget *>(f.name);
        m_controls.append(w);
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            edit->setMaxLength(f.capacity);
            rules::oneLine(edit);
        } else if (auto *memo = qobject_cast<QPlainTextEdit *>(w)) {
            rules::memoLimit(memo, f.capacity);
        } else if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->lineEdit()) {
            combo->lineEdit()->setMaxLength(f.capacity);
            rules::oneLine(combo->lineEdit());
        }
    }
}

namespace {

// What a control shows, as text: a flag box "Sì" or "No".
QString controlText(const QWidget *w)
{
    if (auto *edit = qobject_cast<const QLineEdit *>(w))
        return edit->text();
    if (auto *combo = qobject_cast<const QComboBox *>(w))
        return combo->currentText();
    if (auto *memo = qobject_cast<const QPlainTextEdit *>(w))
        return memo->toPlainText();
    if (auto *check = qobject_cast<const QCheckBox *>(w))
        return check->isChecked() ? records::kYes : records::kNo;
    if (auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    return {};
}

void setControlText(QWidget *w, const QString &value)
{
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        edit->setText(value);
        edit->setCursorPosition(0);
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        combo->setCurrentIndex(-1);
        combo->setEditText(value);
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(w)) {
        QString t = value;
        memo->setPlainText(t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    } else if (auto *check = qobject_cast<QCheckBox *>(w)) {
        // Only the two flag texts move the box; anything else leaves it as it was.
        const QString flag = text::trim(value);
        if (flag == records::kYes)
            check->setChecked(true);
        else if (flag == records::kNo)
            check->setChecked(false);
    } else if (auto *label = qobject_cast<QLabel *>(w)) {
        label->setText(value);
    }
}

} // namespace

QWidget *CardWindow::control(const QString &name) const
{
    const int i = m_layout.indexOf(name);
    if (i >= 0 && i < m_controls.size() && m_controls[i])
        return m_controls[i];
    return findChild<QWidget *>(name);
}

void CardWindow::loadRecord(const Record &record)
{
    for (int i = 0; i < m_controls.size(); ++i)
        if (QWidget *w = m_controls[i])
            setControlText(w, record.text(i));
}

Record CardWindow::storeRecord() const
{
    Record record(m_layout);
    for (int i = 0; i < m_controls.size(); ++i) {
        const QWidget *w = m_controls[i];
        if (!w)
            continue;
        QString value = controlText(w);
        if (qobject_cast<const QPlainTextEdit *>(w))
            value.replace(u'\n', QStringLiteral("\r\n")); // stored with CR LF line ends
        record.setText(i, value);
    }
    return record;
}

records::Values CardWindow::values() const
{
    records::Values v;
    for (int i = 0; i < m_controls.size(); ++i)
        if (const QWidget *w = m_controls[i])
            v.set(m_layout.fields()[i].name, controlText(w));
    return v;
}

void CardWindow::setField(const QString &name, const QString &text)
{
    if (QWidget *w = control(name))
        setControlText(w, text);
}

bool CardWindow::showsStoredRecord() const
{
    bool ok = false;
    const int position = text::trim(lblPosizione->text()).toInt(&ok);
    return ok && position > 0 && position == m_loadedAt && m_loaded.size() == m_layout.size()
        && records::sameContent(storeRecord(), Record(m_layout, m_loaded));
}

void CardWindow::clearCard()
{
    for (QWidget *w : std::as_const(m_controls)) {
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            edit->clear();
        else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            combo->setCurrentIndex(-1);
            combo->setEditText(QString());
        } else if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
            memo->clear();
        else if (auto *check = qobject_cast<QCheckBox *>(w))
            check->setChecked(false);
        else if (auto *label = qobject_cast<QLabel *>(w))
            label->clear();
    }
    lblPosizione->clear();
    m_loadedAt = 0;
}

void CardWindow::showRecord(const Record &record, int position)
{
    loadRecord(record);
    lblPosizione->setText(QString::number(position));
    rememberStored(record.bytes(), position);
}

void CardWindow::rememberStored(const QByteArray &bytes, int position)
{
    m_loaded = bytes;
    m_loadedAt = position;
    becameStored(position);
}

// ---- Protocol ------------------------------------------------------------------------

template <typename F>
bool CardWindow::archiveCommand(F &&work, Messages::Kind failure)
{
    try {
        RecordFile file(archivePath(), m_layout.size());
        file.open();
        work(file);
        return true;
    } catch (const std::exception &e) {
        qCWarning(lcTirello) << objectName() << "archive command failed:" << e.what();
        Messages::show(this, failure, cardTexts::kArchiveAccess);
        return false;
    }
}

int CardWindow::shownPosition() const
{
    bool ok = false;
    const int p = text::trim(lblPosizione->text()).toInt(&ok);
    if (!ok)
        throw ArchiveError(QStringLiteral("position is not a number"));
    return p;
}

void CardWindow::loadAt(RecordFile &file, int position)
{
    Record r(m_layout);
    file.seek(position - 1);
    file.read(r.bytes());
    file.close(); // the lock goes before the card is filled
    showRecord(r, position);
}

void CardWindow::cmdPrimoClick()
{
    archiveCommand([this](RecordFile &file) {
        file.lock(RecordFile::Lock::Read);
        if (file.count() == 0) {
            file.close();
            Messages::information(this, cardTexts::kEmptyArchive);
            return;
        }
        loadAt(file, 1);
    });
}

void CardWindow::cmdUltimoClick()
{
    archiveCommand([this](RecordFile &file) {
        file.lock(RecordFile::Lock::Read);
        const int n = file.count();
        if (n == 0) {
            file.close();
            Messages::information(this, cardTexts::kEmptyArchive);
            return;
        }
        loadAt(file, n);
    });
}

void CardWindow::cmdAvantiClick()
{
    archiveCommand([this](RecordFile &file) {
        file.lock(RecordFile::Lock::Read);
        if (text::isBlank(lblPosizione->text()))
            lblPosizione->setText(QStringLiteral("0")); // a new card moves to the first record
        const int n = file.count();
        if (n == 0) {
            lblPosizione->clear();
            m_loadedAt = 0;
            file.close();
            Messages::information(this, cardTexts::kEmptyArchive);
            return;
        }
        const int p = shownPosition();
        if (p < n)
            loadAt(file, p + 1);
    });
}

void CardWindow::cmdIndietroClick()
{
    archiveCommand([this](RecordFile &file) {
        if (text::trim(lblPosizione->text()) == u"1")
            return;
        file.lock(RecordFile::Lock::Read);
        if (file.count() == 0) {
            file.close();
            Messages::information(this, cardTexts::kEmptyArchive);
            return;
        }
        if (text::isBlank(lblPosizione->text())) {
            loadAt(file, 1);
            return;
        }
        loadAt(file, shownPosition() - 1);
    });
}

void CardWindow::cmdNuovoClick()
{
    clearCard();
    firstField()->setFocus();
}

void CardWindow::cmdSalvaClick()
{
    if (!mandatoryFieldsPresent())
        return;
    // What the save found under the lock that needs the user's word first.
    enum class Found { Nothing, ChangedElsewhere, AppendQuestion };
    // The stored record the user agreed to replace, after the question.
    std::optional<QByteArray> agreed;
    for (;;) {
        const Record r = storeRecord();
        Found found = Found::Nothing;
        QString question;
        QByteArray storedNow;
        QString done;
        const bool ok = archiveCommand([&](RecordFile &file) {
            file.lock();
            if (!text::isBlank(lblPosizione->text())) {
                const int p = shownPosition();
                // The check and the write in one hold of the lock: no other save between.
                const QByteArray expected = agreed ? *agreed : (m_loadedAt == p ? m_loaded : QByteArray());
                if (!expected.isEmpty()) {
                    Record now(m_layout);
                    file.seek(p - 1);
                    file.read(now.bytes());
                    if (!records::sameContent(now, Record(m_layout, expected))) {
                        storedNow = now.bytes();
                        found = Found::ChangedElsewhere;
                        return;
                    }
                }
                file.seek(p - 1);
                file.write(r.bytes());
                lblPosizione->setText(QString::number(p));
                done = cardTexts::kSavedChanges;
            } else {
                if (const std::optional<QString> ask = checkBeforeAppend(file)) {
                    question = *ask;
                    found = Found::AppendQuestion;
                    return;
                }
                file.seek(file.count());
                file.write(r.bytes());
                lblPosizione->setText(QString::number(file.currentIndex()));
                done = cardTexts::kInserted;
            }
            file.close(); // written and flushed before the user is told
        }, saveFailureKind());
        if (!ok)
            return;
        switch (found) {
        case Found::Nothing:
            rememberStored(r.bytes(), shownPosition());
            Messages::information(this, done);
            return;
        case Found::ChangedElsewhere:
            // No: nothing written, the screen stays for the user to copy from.
            if (!Messages::question(this, cardTexts::kChangedElsewhere))
                return;
            agreed = storedNow;
            break;
        case Found::AppendQuestion:
            if (!answerBeforeAppend(Messages::choose(this, question)))
                return;
            break;
        }
    }
}

void CardWindow::cmdDuplicaClick()
{
    if (text::isBlank(lblPosizione->text())) {
        Messages::warning(this, cardTexts::kDuplicateNeedsStored);
        return;
    }
    // A duplicate carries no attachments.
    for (int i = 0; i < m_controls.size(); ++i)
        if (m_controls[i] && records::isAttachmentField(m_layout.fields()[i].name))
            setControlText(m_controls[i], QString());
    lblPosizione->clear();
    m_loadedAt = 0;
    if (!archiveCommand([](RecordFile &) {}, duplicateFailureKind())) // only an access check
        return;
    firstField()->setFocus();
    Messages::information(this, cardTexts::kDuplicated);
}

// ---- Window furniture ----------------------------------------------------------------

void CardWindow::commandColumn(const QList<Command> &commands, int top, int step)
{
    int y = top;
    for (const Command &c : commands) {
        const QString name = QString::fromLatin1(c.name);
        QToolButton *b = look::pictureButton(panel(), name, QStringLiteral(":/img/cards/%1.svg").arg(name),
                                             QSize(150, 44), QString::fromUtf8(c.caption));
        b->move(995 - 150 - 12, y);
        setHint(b, QString::fromUtf8(c.hint));
        *c.button = b;
        y += step;
    }
}

void CardWindow::makeAttachmentLabels()
{
    for (const records::Field &f : m_layout.fields())
        if (records::isAttachmentField(f.name))
            look::hiddenLabel(panel(), f.name);
}

void CardWindow::buildStatusBar(bool withArrows, const QString &colour)
{
    auto *bar = new QWidget(panel());
    bar->setObjectName(QStringLiteral("panStato"));
    bar->setGeometry(0, 692 - 40, 995, 40);
    bar->setAttribute(Qt::WA_StyledBackground);
    // Set once: a second style sheet given before the bar is first shown is not drawn.
    bar->setStyleSheet(QStringLiteral("#panStato { background-color: %1; border-radius: 4px; }").arg(colour));
    clearsHint(bar);

    panInfo = new StatusLine(cardTexts::kReady, bar);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->setGeometry(12, 0, withArrows ? 700 : 971, 40);
    panInfo->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    m_hints->setLine(panInfo);

    if (!withArrows)
        return;
    const BrowseHints hints;
    buildBrowsing(bar, 995 - 232, 1, hints);
}

void CardWindow::buildBrowsing(QWidget *parent, int x, int y, const BrowseHints &hints)
{
    struct Arrow {
        QToolButton **button;
        const char *name;
        const char *accessible;
        const char *hint;
    };
    const Arrow arrows[] = {
        {&cmdPrimo, "cmdPrimo", "Prima scheda", hints.first},
        {&cmdIndietro, "cmdIndietro", "Scheda precedente", hints.previous},
        {&cmdAvanti, "cmdAvanti", "Scheda successiva", hints.next},
        {&cmdUltimo, "cmdUltimo", "Ultima scheda", hints.last},
    };
    // First and previous, the position, next and last.
    const int at[] = {x, x + 44, x + 136, x + 180};
    for (int i = 0; i < 4; ++i) {
        const Arrow &a = arrows[i];
        const QString name = QString::fromLatin1(a.name);
        *a.button = look::pictureButton(parent, name, QStringLiteral(":/img/cards/%1.svg").arg(name), QSize(40, 32),
                                        QString::fromUtf8(a.accessible));
        (*a.button)->move(at[i], y);
        setHint(*a.button, QString::fromUtf8(a.hint));
    }
    lblPosizione = new QLabel(parent);
    lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
    lblPosizione->setGeometry(x + 90, y + 5, 44, 28);
    lblPosizione->setAlignment(Qt::AlignCenter);
    lblPosizione->setStyleSheet(QStringLiteral(
        "background: white; color: black; font-weight: bold; border: 1px solid #9FB8CF; border-radius: 3px;"));
    lblPosizione->setAccessibleName(QStringLiteral("Posizione della scheda in archivio"));

    connect(cmdPrimo, &QToolButton::clicked, this, &CardWindow::cmdPrimoClick);
    connect(cmdIndietro, &QToolButton::clicked, this, &CardWindow::cmdIndietroClick);
    connect(cmdAvanti, &QToolButton::clicked, this, &CardWindow::cmdAvantiClick);
    connect(cmdUltimo, &QToolButton::clicked, this, &CardWindow::cmdUltimoClick);
}

void CardWindow::commandToolbar(const QList<Command> &commands, int browseAt, const BrowseHints &hints)
{
    auto *bar = new QWidget(panel());
    bar->setObjectName(QStringLiteral("panComandi"));
    bar->setGeometry(0, 0, 995, 58);
    clearsHint(bar);

    // Each command in a white box; the browsing arrows and the position in theirs.
    const auto box = [&](int x, int w) {
        auto *frame = new QFrame(bar);
        frame->setGeometry(x, 3, w, 52);
        frame->setStyleSheet(QStringLiteral("background: white; border: 1px solid #9FB8CF; border-radius: 6px;"));
        clearsHint(frame);
    };
    int x = 4;
    for (int i = 0; i <= commands.size(); ++i) {
        if (i == browseAt) {
            box(x, 226);
            buildBrowsing(bar, x + 2, 10, hints);
            x += 229;
        }
        if (i == commands.size())
            break;
        const Command &c = commands[i];
        const QString name = QString::fromLatin1(c.name);
        const QString picture = c.picture ? QString::fromLatin1(c.picture)
                                          : QStringLiteral(":/img/cards/%1.svg").arg(name);
        const QSize size = c.size.isValid() ? c.size : QSize(37, 39);
        box(x, size.width() + 8);
        QToolButton *b = look::pictureButton(bar, name, picture, size, QString::fromUtf8(c.caption));
        b->move(x + 1, 3 + (52 - b->height()) / 2);
        setHint(b, QString::fromUtf8(c.hint));
        *c.button = b;
        x += size.width() + 11;
    }
}

void CardWindow::setHint(QWidget *control, const QString &hint)
{
    m_hints->setHint(control, hint);
}

void CardWindow::clearsHint(QWidget *background)
{
    m_hints->clearsHint(background);
}

void CardWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_home)
        windowSwitch(m_home, this);
    else
        hide();
}
