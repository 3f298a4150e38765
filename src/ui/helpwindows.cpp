#include "helpwindows.h"

#include "helptopics.h"
#include "seams.h"
#include "widgets.h"

#include "storage/programfolder.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSvgWidget>
#include <QToolButton>

namespace {

void toolLook(QDialog *d, const QString &name, const QString &title, QSize size, QColor top)
{
    d->setObjectName(name);
    d->setWindowTitle(title);
    d->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    d->setFixedSize(size);
    look::setGradient(d, top, Qt::white);
}

QPushButton *closeButton(QDialog *d, QRect at)
{
    auto *b = new QPushButton(QStringLiteral("Chiudi"), d);
    b->setObjectName(QStringLiteral("btnChiudi"));
    b->setAccessibleName(b->text());
    b->setGeometry(at);
    QObject::connect(b, &QPushButton::clicked, d, &QDialog::accept);
    return b;
}

// Gives the link its normal colour back when the mouse button goes up over the icon or
// after leaving it.
class ReleaseWatcher : public QObject {
public:
    ReleaseWatcher(QObject *parent, LinkLabel *link) : QObject(parent), m_link(link) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseButtonRelease)
            m_link->setPressed(false);
        return false;
    }

private:
    LinkLabel *m_link;
};

QToolButton *linkIcon(QDialog *d, const QString &name, const QString &svg, QPoint at, LinkLabel *link,
                      const QString &accessible)
{
    QToolButton *b = look::pictureButton(d, name, svg, QSize(40, 40), accessible);
    b->move(at);
    QObject::connect(b, &QToolButton::pressed, d, [link] { link->setPressed(true); });
    // Released anywhere (outside the icon there is no click): the link takes its colour back.
    b->installEventFilter(new ReleaseWatcher(b, link));
    QObject::connect(b, &QToolButton::clicked, d, [link] { link->click(); });
    return b;
}

const QColor kLightBlue(0xAD, 0xD8, 0xE6);
const QColor kSteelBlue(0x46, 0x82, 0xB4);

} // namespace

TfrmGuida::TfrmGuida(QWidget *owner) : QDialog(owner)
{
    toolLook(this, QStringLiteral("frmGuida"), QStringLiteral(" Guida all'utilizzo del software"), QSize(760, 620),
             kLightBlue);
    auto *logo = new QSvgWidget(QStringLiteral(":/img/nome.svg"), this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setGeometry(230, 10, 300, 64);

    lblTitolo = new QLabel(QStringLiteral("Argomento della guida."), this);
    lblTitolo->setObjectName(QStringLiteral("lblTitolo"));
    QFont tf(QStringLiteral("Arial"), 16);
    tf.setBold(true);
    lblTitolo->setFont(tf);
    lblTitolo->setStyleSheet(QStringLiteral("color: #DC143C;"));
    lblTitolo->setAlignment(Qt::AlignCenter);
    lblTitolo->setGeometry(20, 80, 720, 32);

    txtGuida = new QPlainTextEdit(this);
    txtGuida->setObjectName(QStringLiteral("txtGuida"));
    txtGuida->setReadOnly(true);
    txtGuida->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QFont gf(QStringLiteral("Verdana"), 12);
    gf.setBold(true);
    txtGuida->setFont(gf);
    txtGuida->setGeometry(20, 120, 720, 420);
    txtGuida->setAccessibleName(QStringLiteral("Testo della guida"));

    lnkWeb = new LinkLabel(QStringLiteral("Visualizza guida in formato PDF"), this,
                           [] { Shell::open(u'"' + ProgramFolder::file(QStringLiteral("Guida.pdf")) + u'"'); });
    lnkWeb->setObjectName(QStringLiteral("lnkWeb"));
    lnkWeb->setGeometry(76, 560, 360, 30);
    linkIcon(this, QStringLiteral("imgPDF"), QStringLiteral(":/img/guida.svg"), QPoint(26, 552), lnkWeb,
             QStringLiteral("Guida in formato PDF"));
    btnChiudi = closeButton(this, QRect(620, 556, 110, 34));
}

TfrmInfo::TfrmInfo(QWidget *owner) : QDialog(owner)
{
    toolLook(this, QStringLiteral("frmInfo"), QStringLiteral(" Informazioni su Tirello"), QSize(520, 400), kSteelBlue);
    auto *logo = new QSvgWidget(QStringLiteral(":/img/nome.svg"), this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setGeometry(110, 14, 300, 64);
    auto *caption = new QLabel(QStringLiteral("Tirello, gestione del laboratorio di analisi.\nVersione 1.0"), this);
    caption->setObjectName(QStringLiteral("lblDidascalia"));
    QFont cf = caption->font();
    cf.setBold(true);
    cf.setPointSize(12);
    caption->setFont(cf);
    caption->setStyleSheet(QStringLiteral("color: #DC143C;"));
    caption->setAlignment(Qt::AlignCenter);
    caption->setGeometry(20, 90, 480, 50);
    auto *pic1 = new QSvgWidget(QStringLiteral(":/img/logo.svg"), this);
    pic1->setObjectName(QStringLiteral("imgInfo01"));
    pic1->setGeometry(150, 150, 96, 96);
    auto *pic2 = new QSvgWidget(QStringLiteral(":/img/lucchetto.svg"), this);
    pic2->setObjectName(QStringLiteral("imgInfo02"));
    pic2->setGeometry(274, 150, 96, 96);
    btnChiudi = closeButton(this, QRect(205, 264, 110, 34));

    lnkWeb = new LinkLabel(kEmail, this, [] { Shell::open(QStringLiteral("\"mailto:%1\"").arg(kEmail)); });
    lnkWeb->setObjectName(QStringLiteral("lnkWeb"));
    lnkWeb->setGeometry(190, 340, 300, 30);
    linkIcon(this, QStringLiteral("imgEmail"), QStringLiteral(":/img/email.svg"), QPoint(140, 334), lnkWeb,
             QStringLiteral("Scrivi una e-mail"));
}

TfrmSplash::TfrmSplash(QWidget *owner) : QDialog(owner)
{
    toolLook(this, QStringLiteral("frmSplash"), QStringLiteral(" Tirello - Riconoscimenti"), QSize(665, 500),
             QColor(0x1F, 0x3A, 0x5F));
    auto *credits = new QSvgWidget(QStringLiteral(":/img/crediti.svg"), this);
    credits->setObjectName(QStringLiteral("imgCrediti"));
    credits->setGeometry(20, 14, 625, 380);
    lnkWeb = new LinkLabel(QStringLiteral("www.tirello.it"), this, [] { Shell::open(help::kWebSite); });
    lnkWeb->setObjectName(QStringLiteral("lnkWeb"));
    lnkWeb->setGeometry(80, 420, 300, 30);
    linkIcon(this, QStringLiteral("imgWeb"), QStringLiteral(":/img/web.svg"), QPoint(30, 414), lnkWeb,
             QStringLiteral("Sito web"));
    btnChiudi = closeButton(this, QRect(535, 418, 110, 34));
}

namespace help {

void show(QWidget *owner, const Topic &topic)
{
    show(owner, topic.title, topic.text);
}

void show(QWidget *owner, const QString &title, const QString &text)
{
    TfrmGuida window(owner);
    window.lblTitolo->setText(title);
    window.txtGuida->setPlainText(text);
    window.exec();
}

void showOverview(QWidget *owner)
{
    const Topic t = overview();
    show(owner, t.title, t.text);
}

void showInfo(QWidget *owner)
{
    TfrmInfo window(owner);
    window.exec();
}

void showCredits(QWidget *owner)
{
    TfrmSplash window(owner);
    window.exec();
}

} // namespace help
