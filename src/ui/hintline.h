#pragma once
// The status line at the bottom of the cards and export windows: moving the mouse over a
// command shows its one-sentence hint there, moving over the background empties it.

#include <QHash>
#include <QLabel>
#include <QObject>

// The label of the status line. Screen readers read its current text as the
// description of the "Barra di stato".
class StatusLine : public QLabel {
    Q_OBJECT
public:
    StatusLine(const QString &text, QWidget *parent);
    // Sets the text and tells assistive tools that it changed.
    void showText(const QString &text);
    static inline const QString kAccessibleName = QStringLiteral("Barra di stato");
};

class HintLine : public QObject {
    Q_OBJECT
public:
    // The line may come later (setLine): hints are registered as the window is built.
    explicit HintLine(QObject *owner, StatusLine *line = nullptr);
    void setLine(StatusLine *line);

    // The control shows its hint on the line while the mouse is over it; the hint is
    // also its accessible description.
    void setHint(QWidget *control, const QString &hint);
    // Moving the mouse over these (background, panels, frames, pictures) empties the line.
    void clearsHint(QWidget *background);

    StatusLine *line() const { return m_line; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    StatusLine *m_line;
    QHash<QObject *, QString> m_hints;
};
