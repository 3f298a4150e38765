#pragma once
// Small pieces of look and behaviour shared by the program's windows.

#include <QColor>
#include <QString>
#include <QToolButton>
#include <QWidget>

class QFrame;
class QLabel;

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
