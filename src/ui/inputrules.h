#pragma once
// Typing rules of the input fields. Most react only to what the user types; the tidy-ups
// of the document cards run after any change, also on a text the program puts there.

#include <QList>

#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace rules {

// Which changes a tidy-up follows: the user's (typed, pasted, dropped) or any.
enum class Changes { Typed, Any };

// After every typed change and on leaving: trimmed and upper case (a-z only).
void province(QComboBox *combo);
// When a key is released: upper case.
void upperOnKeyRelease(QLineEdit *edit);
// A memo holds at most `limit` characters as stored (a line break counts two, CR LF):
// what goes beyond, typed or pasted, is cut.
void memoLimit(QPlainTextEdit *memo, int limit);

// Keys only: a typed character that is not a digit is swallowed; Backspace, Delete, the
// arrows and shortcuts pass, and pasted text is left to the field's own checks.
void digitKeysOnly(QLineEdit *edit);
// Text that arrives by pasting or dropping (keyboard, context menu, mouse) keeps only its
// digits; a text the program puts there is left as it is.
void pastedDigitsOnly(QLineEdit *edit);
// After every change: trimmed; optionally also on leaving the field.
void trimmed(QLineEdit *edit, bool alsoOnLeave = false, Changes changes = Changes::Typed);
// After every change: trimmed, then upper case.
void trimmedUpper(QLineEdit *edit, Changes changes = Changes::Typed);
// Only the digits 0-9 can be typed; Enter, Backspace, Delete and the Left and Right
// arrows still work, and with `allMoves` also Home, End, Up and Down. Pasted or dropped
// text keeps its digits only.
void digitsOnly(QLineEdit *edit, bool allMoves = false);
// A one-line field: line breaks and tabs that arrive by pasting or dropping become single
// blanks (CR LF counts as one break).
void oneLine(QLineEdit *edit);

// A read-only date field filled from the calendar: Backspace or Delete empties it, any
// other key (Enter included) runs `open`. Tab, Shift+Tab and keys held with Ctrl or Alt
// keep their usual meaning, so the field can still be left from the keyboard.
void dateField(QLineEdit *edit, std::function<void()> open);

// Enter in the field moves the focus to the widget `next` names at that moment.
void enterMoves(QWidget *field, std::function<QWidget *()> next);
// Enter in each field moves the focus to the next one; the last leads back to the first.
void enterChain(const QList<QWidget *> &fields);

} // namespace rules
