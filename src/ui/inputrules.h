#pragma once
// Typing rules of the input fields. They react only to what the user types: a text set
// by the program is left as it is.

#include <QList>

#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace rules {

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
// After every typed change: trimmed; optionally also on leaving the field.
void trimmed(QLineEdit *edit, bool alsoOnLeave = false);
// After every typed change: trimmed, then upper case.
void trimmedUpper(QLineEdit *edit);
// Only the digits 0-9 can be typed; Enter, Backspace, Delete and the Left and Right
// arrows still work. Pasted text keeps its digits only.
void digitsOnly(QLineEdit *edit);

// A read-only date field filled from the calendar: Backspace or Delete empties it, any
// other key (Enter included) runs `open`. Tab, Shift+Tab and keys held with Ctrl or Alt
// keep their usual meaning, so the field can still be left from the keyboard.
void dateField(QLineEdit *edit, std::function<void()> open);

// Enter in the field moves the focus to the widget `next` names at that moment.
void enterMoves(QWidget *field, std::function<QWidget *()> next);
// Enter in each field moves the focus to the next one; the last leads back to the first.
void enterChain(const QList<QWidget *> &fields);

} // namespace rules
