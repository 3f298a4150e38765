#include "frmavvio.h"

#include "ui/helpwindows.h"
#include "ui/seams.h"
#include "application.h"

#include <QCloseEvent>
#include <QSvgWidget>
#include <QToolButton>

TfrmAvvio::TfrmAvvio() : WorkWindow(QStringLiteral("frmAvvio"), QStringLiteral(" Tirello"))
{
    look::setGradient(this, QColor(0x40, 0x8A, 0xB3), Qt::white);
    QWidget *p = panel();

    auto *icon = new QSvgWidget(QStringLiteral(":/img/logo.svg"), p);
    icon->setObjectName(QStringLiteral("imgIcona"));
    icon->setGeometry(215, 14, 90, 90);
    auto *name = new QSvgWidget(QStringLiteral(":/img/nome.svg"), p);
    name->setObjectName(QStringLiteral("imgNome"));
    name->setGeometry(315, 14, 420, 90);
    auto *subtitle = new QSvgWidget(QStringLiteral(":/img/sottotitolo.svg"), p);
    subtitle->setObjectName(QStringLiteral("imgSottotitolo"));
    subtitle->setGeometry(237, 108, 520, 40);

    static const char *const captions[4] = {"ANAGRAFICA CLIENTI", "MODELLI DI ANALISI", "RAPPORTI DI PROVA",
                                            "CERTIFICATI DI ANALISI"};
    for (int i = 0; i < 4; ++i) {
        const QString n = QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        const QString caption = QString::fromLatin1(captions[i]);
        const int x = (i % 2 == 0) ? 165 : 530;
        const int y = (i < 2) ? 168 : 408;
        imgApp[i] = look::pictureButton(p, QStringLiteral("imgApp") + n, QStringLiteral(":/img/app%1.svg").arg(n),
                                        QSize(300, 170), caption);
        imgApp[i]->move(x - 3, y - 3);
        btnApp[i] = new QToolButton(p);
        btnApp[i]->setObjectName(QStringLiteral("btnApp") + n);
        btnApp[i]->setText(caption);
        btnApp[i]->setAccessibleName(caption);
        btnApp[i]->setCursor(Qt::PointingHandCursor);
        btnApp[i]->setGeometry(x, y + 172, 300, 34);
        btnApp[i]->setStyleSheet(QStringLiteral(
            "QToolButton { background: #1F4E79; color: white; font: bold 11pt 'Arial'; border: none;"
            " border-radius: 4px; } QToolButton:hover { background: #2E75B6; }"
            " QToolButton:focus { border: 2px solid #FFFF00; }"));
        connect(imgApp[i], &QToolButton::clicked, this, [this, i] { appClick(i); });
        connect(btnApp[i], &QToolButton::clicked, this, [this, i] { appClick(i); });
    }

    imgInfo = look::pictureButton(p, QStringLiteral("imgInfo"), QStringLiteral(":/img/info.svg"), QSize(56, 56),
                                  QStringLiteral("Informazioni su Tirello"));
    imgInfo->move(8, 8);
    imgGuida = look::pictureButton(p, QStringLiteral("imgGuida"), QStringLiteral(":/img/guida.svg"), QSize(56, 56),
                                   QStringLiteral("Guida all'utilizzo del software"));
    imgGuida->move(995 - 62 - 8, 8);
    imgCopyright = look::pictureButton(p, QStringLiteral("imgCopyright"), QStringLiteral(":/img/copyright.svg"),
                                       QSize(56, 56), QStringLiteral("Riconoscimenti"));
    imgCopyright->move(8, 692 - 62 - 8);
    imgEsci = look::pictureButton(p, QStringLiteral("imgEsci"), QStringLiteral(":/img/esci.svg"), QSize(56, 56),
                                  QStringLiteral("Esci dal programma"));
    imgEsci->move(995 - 62 - 8, 692 - 62 - 8);
    icoSito = look::pictureButton(p, QStringLiteral("icoSito"), QStringLiteral(":/img/sito.svg"), QSize(600, 32),
                                  QStringLiteral("Sito web di Tirello"));
    icoSito->move((995 - 606) / 2, 692 - 38 - 12);

    connect(imgInfo, &QToolButton::clicked, this, [this] { help::showInfo(this); });
    connect(imgGuida, &QToolButton::clicked, this, [this] { help::showOverview(this); });
    connect(imgCopyright, &QToolButton::clicked, this, [this] { help::showCredits(this); });
    connect(icoSito, &QToolButton::clicked, this, [] { Shell::open(kWebSite); });
    connect(imgEsci, &QToolButton::clicked, this, [] { endProgram(); });

    QWidget::setTabOrder(imgApp[0], btnApp[0]);
    QWidget::setTabOrder(btnApp[0], imgApp[1]);
    QWidget::setTabOrder(imgApp[1], btnApp[1]);
    QWidget::setTabOrder(btnApp[1], imgApp[2]);
    QWidget::setTabOrder(imgApp[2], btnApp[2]);
    QWidget::setTabOrder(btnApp[2], imgApp[3]);
    QWidget::setTabOrder(imgApp[3], btnApp[3]);
}

void TfrmAvvio::appClick(int tile)
{
    if (QWidget *area = m_areas[tile])
        windowSwitch(area, this);
}

void TfrmAvvio::closeEvent(QCloseEvent *event)
{
    event->accept();
    endProgram();
}
