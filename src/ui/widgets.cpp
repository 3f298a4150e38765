#include "widgets.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLinearGradient>
#include <QPalette>
#include <QPointer>

namespace look {
namespace {

class FocusWatcher : public QObject {
public:
    FocusWatcher(QWidget *field, QFrame *frame) : QObject(field), m_frame(frame) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        // The frame stands under the field and may go first when the window is destroyed.
        if (!m_frame)
            return false;
        if (e->type() == QEvent::FocusIn)
            m_frame->show();
        else if (e->type() == QEvent::FocusOut)
            m_frame->hide();
        else if (e->type() == QEvent::Move || e->type() == QEvent::Resize)
            follow();
        return false;
    }

public:
    void follow()
    {
        auto *field = static_cast<QWidget *>(parent());
        const int m = m_frame->property("margin").toInt();
        m_frame->setGeometry(field->geometry().adjusted(-m, -m, m, m));
    }

private:
    QPointer<QFrame> m_frame;
};

} // namespace

void setGradient(QWidget *widget, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(0, 0, 0, 1);
    g.setCoordinateMode(QGradient::ObjectMode);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    QPalette pal = widget->palette();
    pal.setBrush(QPalette::Window, QBrush(g));
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

QFrame *focusFrame(QWidget *field, const QString &objectName, int margin)
{
    auto *frame = new QFrame(field->parentWidget());
    frame->setObjectName(objectName);
    frame->setProperty("margin", margin);
    frame->setStyleSheet(QStringLiteral("background-color: #FFFF00; border: none;"));
    frame->hide();
    frame->stackUnder(field);
    auto *watcher = new FocusWatcher(field, frame);
    field->installEventFilter(watcher);
    watcher->follow();
    return frame;
}

QToolButton *pictureButton(QWidget *parent, const QString &objectName, const QString &svg,
                           const QSize &size, const QString &accessibleName)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(objectName);
    b->setAutoRaise(true);
    b->setIcon(QIcon(svg));
    b->setIconSize(size);
    b->setFixedSize(size + QSize(6, 6));
    b->setCursor(Qt::PointingHandCursor);
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setAccessibleName(accessibleName);
    b->setToolTip(accessibleName);
    b->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"
                                    "QToolButton:focus { border: 2px solid #FFFF00; }"));
    return b;
}

QLabel *caption(QWidget *parent, const QString &text, QWidget *field)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(field);
    field->setAccessibleName(text);
    // An editable list is typed into through its own edit: it says the same name.
    if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit())
        combo->lineEdit()->setAccessibleName(text);
    return label;
}

void setHint(QWidget *control, const QString &hint)
{
    control->setAccessibleDescription(hint);
    control->setStatusTip(hint);
}

QFrame *sectionFrame(QWidget *parent, const QString &objectName, const QRect &geometry)
{
    auto *f = new QFrame(parent);
    f->setObjectName(objectName);
    f->setGeometry(geometry);
    setSectionLook(f);
    return f;
}

void setSectionLook(QFrame *frame)
{
    frame->setStyleSheet(QStringLiteral("#%1 { background: rgba(255,255,255,150); border: 1px solid #1F4E79;"
                                        " border-radius: 6px; }")
                             .arg(frame->objectName()));
}

QPushButton *button(QWidget *parent, const QString &objectName, const QString &text, bool autoDefault)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(objectName);
    b->setAccessibleName(text);
    b->setCursor(Qt::PointingHandCursor);
    QFont f = b->font();
    f.setPointSize(10);
    f.setBold(true);
    b->setFont(f);
    b->setAutoDefault(autoDefault);
    return b;
}

QLabel *hiddenLabel(QWidget *parent, const QString &objectName)
{
    auto *l = new QLabel(parent);
    l->setObjectName(objectName);
    l->hide();
    return l;
}

void toolWindow(QDialog *dialog, const QString &objectName, const QString &title, const QSize &size,
                const QColor &top)
{
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(title);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    const QWidget *owner = dialog->parentWidget();
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    dialog->setFixedSize(screen ? size.boundedTo(screen->availableGeometry().size()) : size);
    setGradient(dialog, top, Qt::white);
    centreOver(dialog, nullptr);
}

void centreOver(QDialog *dialog, const QWidget *owner)
{
    const QWidget *over = owner ? owner->window() : nullptr;
    if (over && over->isVisible()) {
        dialog->move(over->geometry().center() - dialog->rect().center());
        return;
    }
    const QWidget *parent = dialog->parentWidget();
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        dialog->move(screen->availableGeometry().center() - dialog->rect().center());
}

} // namespace look

WorkWindow::WorkWindow(const QString &objectName, const QString &title, QWidget *parent)
    : QWidget(parent, Qt::Window), m_panel(new QWidget(this))
{
    setObjectName(objectName);
    setWindowTitle(title);
    m_panel->setObjectName(QStringLiteral("panContenuto"));
    m_panel->setFixedSize(995, 692);
    setMinimumSize(995, 692);
}

void WorkWindow::showWork()
{
    showMaximized();
}

void WorkWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_panel->move(qMax(0, (width() - m_panel->width()) / 2), qMax(0, (height() - m_panel->height()) / 2));
}

void windowSwitch(QWidget *target, QWidget *source)
{
    if (auto *work = qobject_cast<WorkWindow *>(target))
        work->showWork();
    else
        target->show();
    target->activateWindow();
    source->hide();
}
