#include "frmpassword.h"

#include "application.h"
#include "ui/seams.h"
#include "ui/widgets.h"

#include "storage/log.h"
#include "storage/crypt.h"
#include "storage/inifile.h"
#include "storage/programfolder.h"
#include "storage/textcodec.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSvgWidget>

namespace {

QString passwordFile()
{
    return ProgramFolder::file(password::kFileName);
}

QLineEdit *passwordEdit(QWidget *parent, const QString &name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setEchoMode(QLineEdit::Password);
    QFont f(QStringLiteral("Verdana"), 14);
    f.setBold(true);
    e->setFont(f);
    return e;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAccessibleName(text);
    b->setAutoDefault(false);
    return b;
}

void fixedDialogLook(QWidget *w, const QString &name, const QString &title, QSize size)
{
    w->setObjectName(name);
    w->setWindowTitle(title);
    w->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    w->setFixedSize(size);
    look::setGradient(w, QColor(0x40, 0x8A, 0xB3), Qt::white);
}

void centreOnScreen(QWidget *w)
{
    if (QScreen *s = QGuiApplication::primaryScreen())
        w->move(s->availableGeometry().center() - w->rect().center());
}

QSvgWidget *picture(QWidget *parent, const QString &name, const QString &svg, QRect at)
{
    auto *p = new QSvgWidget(svg, parent);
    p->setObjectName(name);
    p->setGeometry(at);
    return p;
}

QLabel *hiddenLabel(QWidget *parent, const QString &name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->hide();
    return l;
}

} // namespace

// ---- Login ---------------------------------------------------------------------------

TfrmPassword::TfrmPassword()
{
    fixedDialogLook(this, QStringLiteral("frmPassword"), QStringLiteral(" Tirello - Autenticazione"),
                    QSize(460, 330));

    picture(this, QStringLiteral("imgLogo"), QStringLiteral(":/img/nome.svg"), QRect(80, 16, 300, 64));
    picture(this, QStringLiteral("imgLucchetto"), QStringLiteral(":/img/lucchetto.svg"), QRect(198, 86, 64, 64));

    txtPassword = passwordEdit(this, QStringLiteral("txtPassword"));
    auto *lblRigo05 = look::caption(this, QStringLiteral("Immetti la password e premi OK."), txtPassword);
    lblRigo05->setObjectName(QStringLiteral("lblRigo05"));
    lblRigo05->setAlignment(Qt::AlignCenter);
    QFont lf = lblRigo05->font();
    lf.setBold(true);
    lf.setPointSize(11);
    lblRigo05->setFont(lf);
    lblRigo05->setGeometry(20, 160, 420, 24);
    txtPassword->setGeometry(80, 196, 300, 36);
    look::focusFrame(txtPassword, QStringLiteral("effPassword"));

    cmdOK = button(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdEsci = button(this, QStringLiteral("cmdEsci"), QStringLiteral("Esci"));
    btnCambiaPassword = button(this, QStringLiteral("btnCambiaPassword"), QStringLiteral("Cambia password"));
    cmdOK->setGeometry(40, 262, 110, 34);
    cmdEsci->setGeometry(160, 262, 110, 34);
    btnCambiaPassword->setGeometry(280, 262, 140, 34);
    cmdOK->setEnabled(false);
    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdEsci);
    setTabOrder(cmdEsci, btnCambiaPassword);

    lblMemory = hiddenLabel(this, QStringLiteral("lblMemory"));

    connect(txtPassword, &QLineEdit::textChanged, this, &TfrmPassword::updateOK);
    connect(txtPassword, &QLineEdit::returnPressed, this, [this] {
        if (!text::isBlank(txtPassword->text()))
            cmdOK->click();
    });
    connect(cmdOK, &QPushButton::clicked, this, &TfrmPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, [] { endProgram(); });
    connect(btnCambiaPassword, &QPushButton::clicked, this,
            [this] { windowSwitch(m_change, this); });
    centreOnScreen(this);
}

void TfrmPassword::updateOK()
{
    cmdOK->setEnabled(!text::isBlank(txtPassword->text()));
}

void TfrmPassword::setNext(QWidget *launcher, QWidget *changePassword)
{
    m_launcher = launcher;
    m_change = changePassword;
}

void TfrmPassword::reset()
{
    txtPassword->clear();
    lblMemory->clear();
    txtPassword->setFocus();
}

void TfrmPassword::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    txtPassword->setFocus();
}

void TfrmPassword::closeEvent(QCloseEvent *event)
{
    event->accept();
    endProgram();
}

void TfrmPassword::cmdOKClick()
{
    QString stored;
    try {
        stored = password::readStored(passwordFile());
    } catch (const std::exception &e) {
        qCWarning(lcTirello) << "password file not read:" << e.what();
        Messages::plain(this, passwordTexts::kReadError);
        return;
    }
    lblMemory->setText(stored);
    const bool right = lblMemory->text() == password::normalise(txtPassword->text());
    lblMemory->clear();
    if (right) {
        windowSwitch(m_launcher, this);
        return;
    }
    Messages::plain(this, passwordTexts::kWrong);
    txtPassword->clear();
    txtPassword->setFocus();
}

// ---- Change of password --------------------------------------------------------------

TfrmCambiaPassword::TfrmCambiaPassword(TfrmPassword *login) : m_login(login)
{
    fixedDialogLook(this, QStringLiteral("frmCambiaPassword"), QStringLiteral(" Cambia password"),
                    QSize(460, 420));
    picture(this, QStringLiteral("imgLogo"), QStringLiteral(":/img/nome.svg"), QRect(80, 14, 300, 64));

    QFont lf;
    lf.setBold(true);
    lf.setPointSize(11);
    const QString captions[3] = {QStringLiteral("Vecchia password:"), QStringLiteral("Nuova password:"),
                                 QStringLiteral("Conferma nuova password:")};
    const QString names[3] = {QStringLiteral("txtPasswordOld"), QStringLiteral("txtPasswordNew"),
                              QStringLiteral("txtConferma")};
    const QString frames[3] = {QStringLiteral("effPasswordOld"), QStringLiteral("effPasswordNew"),
                               QStringLiteral("effConferma")};
    QLineEdit *edits[3];
    for (int i = 0; i < 3; ++i) {
        edits[i] = passwordEdit(this, names[i]);
        QLabel *l = look::caption(this, captions[i], edits[i]);
        l->setFont(lf);
        l->setGeometry(80, 90 + i * 86, 300, 24);
        edits[i]->setGeometry(80, 116 + i * 86, 300, 36);
        look::focusFrame(edits[i], frames[i]);
        connect(edits[i], &QLineEdit::textChanged, this, &TfrmCambiaPassword::updateOK);
    }
    txtPasswordOld = edits[0];
    txtPasswordNew = edits[1];
    txtConferma = edits[2];
    // Enter moves round the three fields and never presses OK.
    connect(txtPasswordOld, &QLineEdit::returnPressed, txtPasswordNew, qOverload<>(&QWidget::setFocus));
    connect(txtPasswordNew, &QLineEdit::returnPressed, txtConferma, qOverload<>(&QWidget::setFocus));
    connect(txtConferma, &QLineEdit::returnPressed, txtPasswordOld, qOverload<>(&QWidget::setFocus));

    cmdEsci = button(this, QStringLiteral("cmdEsci"), QStringLiteral("Chiudi"));
    cmdOK = button(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdEsci->setGeometry(110, 360, 110, 34);
    cmdOK->setGeometry(240, 360, 110, 34);
    cmdOK->setEnabled(false);
    setTabOrder(txtPasswordOld, txtPasswordNew);
    setTabOrder(txtPasswordNew, txtConferma);
    setTabOrder(txtConferma, cmdEsci);
    setTabOrder(cmdEsci, cmdOK);

    lblMemory = hiddenLabel(this, QStringLiteral("lblMemory"));

    connect(cmdOK, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &QWidget::close);
    centreOnScreen(this);
}

void TfrmCambiaPassword::updateOK()
{
    cmdOK->setEnabled(!text::isBlank(txtPasswordOld->text()) && !text::isBlank(txtPasswordNew->text())
                      && !text::isBlank(txtConferma->text()));
}

void TfrmCambiaPassword::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    txtPasswordOld->clear();
    txtPasswordNew->clear();
    txtConferma->clear();
    lblMemory->clear();
    txtPasswordOld->setFocus();
}

void TfrmCambiaPassword::closeEvent(QCloseEvent *event)
{
    event->accept();
    auto *login = m_login;
    login->txtPassword->clear();
    login->lblMemory->clear();
    windowSwitch(login, this);
    login->txtPassword->setFocus();
}

void TfrmCambiaPassword::cmdOKClick()
{
    try {
        const QString stored = password::readStored(passwordFile());
        if (password::normalise(txtPasswordOld->text()) != stored) {
            Messages::plain(this, passwordTexts::kOldWrong);
            txtPasswordOld->clear();
            txtPasswordOld->setFocus();
            return;
        }
        if (text::trim(txtPasswordNew->text()) != text::trim(txtConferma->text())) {
            Messages::plain(this, passwordTexts::kNotConfirmed);
            txtPasswordNew->clear();
            txtConferma->clear();
            txtPasswordNew->setFocus();
            return;
        }
        const QString newPassword = password::normalise(txtPasswordNew->text());
        // Beyond these the stored form could never be typed again.
        if (!Crypt::isStorable(newPassword)) {
            Messages::plain(this, passwordTexts::kNotStorable);
            txtPasswordNew->clear();
            txtConferma->clear();
            txtPasswordNew->setFocus();
            return;
        }
        password::writeStored(passwordFile(), newPassword);
    } catch (const std::exception &e) {
        qCWarning(lcTirello) << "password not changed:" << e.what();
        Messages::plain(this, passwordTexts::kChangeError);
        return;
    }
    Messages::plain(this, passwordTexts::kChanged);
    close();
}
