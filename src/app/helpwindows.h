#pragma once
// The help window (one class for every topic), the information and the credits window.
// Each use creates a fresh modal window owned by the caller and destroys it afterwards.

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class LinkLabel;

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

void show(QWidget *owner, const QString &title, const QString &text);
void showOverview(QWidget *owner);
void showInfo(QWidget *owner);
void showCredits(QWidget *owner);

} // namespace help
