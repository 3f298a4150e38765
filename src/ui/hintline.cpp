#include "hintline.h"

#include "ui/widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>

namespace {

// Name "Barra di stato", description the text the line shows at this moment.
class StatusLineAccessible : public QAccessibleWidget {
public:
    explicit StatusLineAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::StatusBar) {}
    QString text(QAccessible::Text t) const override
    {
        auto *line = static_cast<StatusLine *>(widget());
        if (t == QAccessible::Name)
            return StatusLine::kAccessibleName;
        if (t == QAccessible::Description || t == QAccessible::Value)
            return line->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *statusLineFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("StatusLine") && object && object->isWidgetType())
        return new StatusLineAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

StatusLine::StatusLine(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(statusLineFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setAccessibleName(kAccessibleName);
}

void StatusLine::showText(const QString &text)
{
    if (text == this->text())
        return;
    setText(text);
    if (QAccessible::isActive()) {
        QAccessibleEvent description(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&description);
    }
}

HintLine::HintLine(QObject *owner, StatusLine *line) : QObject(owner), m_line(nullptr)
{
    if (line)
        setLine(line);
}

void HintLine::setLine(StatusLine *line)
{
    m_line = line;
    clearsHint(line);
}

void HintLine::setHint(QWidget *control, const QString &hint)
{
    look::setHint(control, hint);
    m_hints.insert(control, hint);
    control->installEventFilter(this);
}

void HintLine::clearsHint(QWidget *background)
{
    background->setMouseTracking(true);
    background->installEventFilter(this);
}

bool HintLine::eventFilter(QObject *watched, QEvent *event)
{
    if (m_line && (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)) {
        const auto hint = m_hints.constFind(watched);
        if (hint != m_hints.constEnd()) {
            if (event->type() == QEvent::Enter)
                m_line->showText(*hint);
        } else if (event->type() == QEvent::MouseMove) {
            m_line->showText(QString());
        }
    }
    return false;
}
