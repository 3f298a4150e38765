#pragma once
// The help window (one class for every topic), the information and the credits window.
// Each use creates a fresh modal window owned by the caller and destroys it afterwards.

#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QString>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// An underlined link text: orange while the mouse button is down, dark blue otherwise.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString &text, QWidget *parent, std::function<void()> action)
        : QLabel(text, parent), m_action(std::move(action))
    {
        QFont f(QStringLiteral("Tahoma"), 14);
        f.setUnderline(true);
        setFont(f);
        setCursor(Qt::PointingHandCursor);
        setAccessibleName(text);
        setFocusPolicy(Qt::StrongFocus);
        paint(kDarkBlue);
    }
    void click()
    {
        paint(kDarkBlue);
        m_action();
    }
    // Orange while a mouse button is down on the link or on its icon.
    void setPressed(bool pressed) { paint(pressed ? kOrange : kDarkBlue); }
    static inline const QColor kDarkBlue{0x00, 0x00, 0x8B};
    static inline const QColor kOrange{0xFF, 0xA5, 0x00};

protected:
    void mousePressEvent(QMouseEvent *) override { paint(kOrange); }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        paint(kDarkBlue);
        if (rect().contains(e->position().toPoint()))
            click();
    }
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space)
            click();
        else
            QLabel::keyPressEvent(e);
    }

private:
    void paint(const QColor &c)
    {
        QPalette pal = palette();
        pal.setColor(QPalette::WindowText, c);
        setPalette(pal);
    }
    std::function<void()> m_action;
};


class TfrmGuida : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGuida(QWidget *owner);
    QLabel *lblTitolo;
    QPlainTextEdit *txtGuida;
    LinkLabel *lnkWeb;
    QPushButton *btnChiudi;
};

class TfrmInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget *owner);
    LinkLabel *lnkWeb;
    QPushButton *btnChiudi;
    static inline const QString kEmail = QStringLiteral("info@tirello.it");
};

class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget *owner);
    LinkLabel *lnkWeb;
    QPushButton *btnChiudi;
};

namespace help {

struct Topic;
inline const QString kWebSite = QStringLiteral("https://www.tirello.it");

void show(QWidget *owner, const QString &title, const QString &text);
void show(QWidget *owner, const Topic &topic);
void showOverview(QWidget *owner);
void showInfo(QWidget *owner);
void showCredits(QWidget *owner);

} // namespace help
