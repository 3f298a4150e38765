#pragma once
// Small pieces of look and behaviour shared by the program's windows.

#include <QColor>
#include <QString>
#include <QToolButton>
#include <QWidget>

class QDialog;
class QFrame;
class QLabel;
class QPushButton;

namespace look {

// Vertical gradient from top to bottom painted as the widget's background.
void setGradient(QWidget *widget, const QColor &top, const QColor &bottom);

// A yellow frame drawn behind the field, visible while the field has the focus.
QFrame *focusFrame(QWidget *field, const QString &objectName, int margin = 4);

// A flat picture command that can also be pressed from the keyboard.
QToolButton *pictureButton(QWidget *parent, const QString &objectName, const QString &svg,
                           const QSize &size, const QString &accessibleName);

// A label for the field: buddy, so that the field takes the caption as accessible name.
QLabel *caption(QWidget *parent, const QString &text, QWidget *field);

void setHint(QWidget *control, const QString &hint);

// A light panel with a thin dark-blue frame and round corners, grouping fields.
QFrame *sectionFrame(QWidget *parent, const QString &objectName, const QRect &geometry);
// The same look on a frame made elsewhere.
void setSectionLook(QFrame *frame);

// A bold push button whose accessible name is its caption. With autoDefault, Enter
// presses it while it has the focus.
QPushButton *button(QWidget *parent, const QString &objectName, const QString &text, bool autoDefault = false);

// A label the user never sees, holding a value for the window (a caller tag, a count).
QLabel *hiddenLabel(QWidget *parent, const QString &objectName);

// The frame of a modal tool window: title bar without buttons, fixed client size (no
// larger than the screen), a gradient from `top` down to white, centred on the screen.
void toolWindow(QDialog *dialog, const QString &objectName, const QString &title, const QSize &size,
                const QColor &top);
// Centres the dialog over the visible window of owner, else on the screen.
void centreOver(QDialog *dialog, const QWidget *owner);

inline const QColor kSteelBlue{0x46, 0x82, 0xB4};

inline const QColor kFocusYellow{0xFF, 0xFF, 0x00};

} // namespace look

// A window that lives for the whole run, shown maximised, its content drawn on a
// 995 x 692 panel centred in the window.
class WorkWindow : public QWidget {
    Q_OBJECT
public:
    WorkWindow(const QString &objectName, const QString &title, QWidget *parent = nullptr);
    QWidget *panel() const { return m_panel; }
    void showWork(); // maximised

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *m_panel;
};

// Shows the target (maximised when it is a work window), then hides the source.
void windowSwitch(QWidget *target, QWidget *source);
