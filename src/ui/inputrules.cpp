#include "inputrules.h"

#include "storage/textcodec.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <memory>

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

QString digitsOf(const QString &s)
{
    QString digits;
    for (QChar c : s)
        if (c >= u'0' && c <= u'9')
            digits += c;
    return digits;
}

// Runs a tidy-up after each change: typed ones only, or any change (then also a text
// the program puts there). The handler reads the field afresh, so that rules stacked on
// one field see each other's work whatever their order.
void afterChange(QLineEdit *edit, rules::Changes changes, std::function<QString(const QString &)> tidy)
{
    const auto run = [edit, tidy = std::move(tidy)] { replaceText(edit, tidy(edit->text())); };
    if (changes == rules::Changes::Any)
        QObject::connect(edit, &QLineEdit::textChanged, edit, run);
    else
        QObject::connect(edit, &QLineEdit::textEdited, edit, run);
}

} // namespace

void province(QComboBox *combo)
{
    QLineEdit *edit = combo->lineEdit();
    afterChange(edit, Changes::Typed, upperTrimmed);
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

void trimmed(QLineEdit *edit, bool alsoOnLeave, Changes changes)
{
    afterChange(edit, changes, text::trim);
    if (alsoOnLeave)
        new EventHook(edit, [edit](QEvent *e) {
            if (e->type() == QEvent::FocusOut)
                replaceText(edit, text::trim(edit->text()));
            return false;
        });
}

void trimmedUpper(QLineEdit *edit, Changes changes)
{
    afterChange(edit, changes, upperTrimmed);
}

void oneLine(QLineEdit *edit)
{
    afterChange(edit, Changes::Typed, [](const QString &t) {
        QString out;
        out.reserve(t.size());
        for (qsizetype i = 0; i < t.size(); ++i) {
            const QChar c = t[i];
            if (c == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n')
                continue; // CR LF is one break: the LF gives the blank
            const bool breaks = c == u'\r' || c == u'\n' || c == u'\t' || c == u'\v' || c == u'\f'
                || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
            out += breaks ? QChar(u' ') : c;
        }
        return out;
    });
}

void digitsOnly(QLineEdit *edit, bool allMoves)
{
    new EventHook(edit, [allMoves](QEvent *e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto *k = static_cast<QKeyEvent *>(e);
        switch (k->key()) {
        case Qt::Key_Return: case Qt::Key_Enter: case Qt::Key_Backspace: case Qt::Key_Delete:
        case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Tab: case Qt::Key_Backtab:
            return false;
        case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Home: case Qt::Key_End:
            if (allMoves)
                return false;
            break;
        default:
            break;
        }
        if (k->modifiers() & Qt::ControlModifier)
            return false; // copy, paste, select all: what lands is filtered below
        const QString t = k->text();
        return !(t.size() == 1 && t[0] >= u'0' && t[0] <= u'9');
    });
    pastedDigitsOnly(edit);
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

void pastedDigitsOnly(QLineEdit *edit)
{
    // The digits are taken out before they land: the field's length limit then cuts
    // digits, not the letters and blanks around them.
    const auto insertDigits = [edit](const QString &pasted) {
        if (!edit->isReadOnly())
            edit->insert(digitsOf(pasted));
    };
    new EventHook(edit, [edit, insertDigits](QEvent *e) {
        switch (e->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(e)->matches(QKeySequence::Paste)) {
                insertDigits(QGuiApplication::clipboard()->text());
                return true;
            }
            return false;
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(e);
            if (!drop->mimeData()->hasText() || drop->source() == edit)
                return false; // a move inside the field is left to it
            edit->setCursorPosition(edit->cursorPositionAt(drop->position().toPoint()));
            insertDigits(drop->mimeData()->text());
            drop->acceptProposedAction();
            edit->setFocus(Qt::MouseFocusReason);
            return true;
        }
        case QEvent::ContextMenu: {
            // The field's own menu, with "Incolla" pasting the digits only.
            std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
            for (QAction *action : menu->actions())
                if (action->objectName() == QLatin1String("edit-paste")) {
                    action->disconnect();
                    QObject::connect(action, &QAction::triggered, edit,
                                     [insertDigits] { insertDigits(QGuiApplication::clipboard()->text()); });
                }
            menu->exec(static_cast<QContextMenuEvent *>(e)->globalPos());
            return true;
        }
        default:
            return false;
        }
    });
    afterChange(edit, Changes::Typed, digitsOf); // anything else that brings text
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
