#include "inputrules.h"

#include "storage/textcodec.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace rules {
namespace {

// Replaces the text as typed rules do, keeping the cursor where the user was typing.
void replaceText(QLineEdit *edit, const QString &text)
{
    if (edit->text() == text)
        return;
    const int cursor = edit->cursorPosition();
    const int lost = int(edit->text().size() - text.size());
    edit->setText(text);
    edit->setCursorPosition(qBound(0, cursor - qMax(0, lost), int(text.size())));
}

// Runs a function on one kind of event of a widget.
class EventHook : public QObject {
public:
    using Handler = std::function<bool(QEvent *)>; // true: the event is swallowed
    EventHook(QObject *target, Handler handler) : QObject(target), m_handler(std::move(handler))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override { return m_handler(event); }

private:
    Handler m_handler;
};

QString upperTrimmed(const QString &s)
{
    return text::upperAscii(text::trim(s));
}

} // namespace

void province(QComboBox *combo)
{
    QLineEdit *edit = combo->lineEdit();
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [edit](const QString &t) { replaceText(edit, upperTrimmed(t)); });
    new EventHook(combo, [combo, edit](QEvent *e) {
        if (e->type() == QEvent::FocusIn) {
            // The drop-down list forgets its selection; the text stays.
            const QString keep = edit->text();
            if (combo->currentIndex() >= 0) {
                const QSignalBlocker block(combo);
                combo->setCurrentIndex(-1);
                combo->setEditText(keep);
            }
        } else if (e->type() == QEvent::FocusOut) {
            replaceText(edit, upperTrimmed(edit->text()));
        }
        return false;
    });
}

void upperOnKeyRelease(QLineEdit *edit)
{
    new EventHook(edit, [edit](QEvent *e) {
        if (e->type() == QEvent::KeyRelease)
            replaceText(edit, text::upperAscii(edit->text()));
        return false;
    });
}

void trimmed(QLineEdit *edit, bool alsoOnLeave)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &t) { replaceText(edit, text::trim(t)); });
    if (alsoOnLeave)
        new EventHook(edit, [edit](QEvent *e) {
            if (e->type() == QEvent::FocusOut)
                replaceText(edit, text::trim(edit->text()));
            return false;
        });
}

void trimmedUpper(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &t) { replaceText(edit, upperTrimmed(t)); });
}

void digitsOnly(QLineEdit *edit)
{
    new EventHook(edit, [](QEvent *e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto *k = static_cast<QKeyEvent *>(e);
        switch (k->key()) {
        case Qt::Key_Return: case Qt::Key_Enter: case Qt::Key_Backspace: case Qt::Key_Delete:
        case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Tab: case Qt::Key_Backtab:
            return false;
        default:
            break;
        }
        if (k->modifiers() & Qt::ControlModifier)
            return false; // copy, paste, select all: what lands is filtered below
        const QString t = k->text();
        return !(t.size() == 1 && t[0] >= u'0' && t[0] <= u'9');
    });
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &t) {
        QString digits;
        for (QChar c : t)
            if (c >= u'0' && c <= u'9')
                digits += c;
        replaceText(edit, digits);
    });
}

void memoLimit(QPlainTextEdit *memo, int limit)
{
    // A line break is stored as CR LF: it takes two of the characters.
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo, limit] {
        const QString t = memo->toPlainText();
        if (t.size() + t.count(u'\n') <= limit)
            return;
        qsizetype keep = 0;
        for (int used = 0; keep < t.size(); ++keep) {
            used += t[keep] == u'\n' ? 2 : 1;
            if (used > limit)
                break;
        }
        QTextCursor cursor = memo->textCursor();
        const int at = int(std::min<qsizetype>(cursor.position(), keep));
        memo->setPlainText(t.left(keep));
        cursor = memo->textCursor();
        cursor.setPosition(at);
        memo->setTextCursor(cursor);
    });
}

void digitKeysOnly(QLineEdit *edit)
{
    new EventHook(edit, [](QEvent *e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto *k = static_cast<QKeyEvent *>(e);
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        for (QChar c : k->text())
            if (c.isPrint() && !(c >= u'0' && c <= u'9'))
                return true;
        return false;
    });
}

void dateField(QLineEdit *edit, std::function<void()> open)
{
    edit->setReadOnly(true);
    new EventHook(edit, [edit, open = std::move(open)](QEvent *e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto *k = static_cast<QKeyEvent *>(e);
        switch (k->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            edit->clear();
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
        case Qt::Key_AltGr:
            return false;
        default:
            break;
        }
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false; // copy and other shortcuts
        open();
        return true;
    });
}

void enterMoves(QWidget *field, std::function<QWidget *()> next)
{
    new EventHook(field, [next = std::move(next)](QEvent *e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        next()->setFocus(Qt::TabFocusReason);
        return true;
    });
}

void enterChain(const QList<QWidget *> &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        QWidget *next = fields[(i + 1) % fields.size()];
        enterMoves(fields[i], [next] { return next; });
    }
}

} // namespace rules
