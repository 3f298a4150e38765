#include "yearwindow.h"

#include "storage/programfolder.h"
#include "storage/textcodec.h"
#include "ui/helpwindows.h"
#include "ui/inputrules.h"
#include "ui/seams.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSvgWidget>
#include <QToolButton>

YearWindow::YearWindow(const Description &description, QWidget *home, QWidget *card,
                       std::function<void(const QString &, const QString &)> handOver)
    : WorkWindow(description.objectName, description.title), m_d(description), m_home(home), m_card(card),
      m_handOver(std::move(handOver))
{
    look::setGradient(this, QColor(0x40, 0x8A, 0xB3), Qt::white);
    QWidget *p = panel();

    auto *banner = new QSvgWidget(m_d.banner, p);
    banner->setObjectName(QStringLiteral("imgTitolo"));
    banner->setGeometry((995 - 640) / 2, 40, 640, 90);
    banner->setAccessibleName(m_d.bannerWords);

    lblInfo = new QLabel(m_d.intro, p);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setGeometry((995 - 640) / 2, 150, 640, 60);
    lblInfo->setWordWrap(true);
    lblInfo->setAlignment(Qt::AlignCenter);
    lblInfo->setStyleSheet(QStringLiteral("color: #0E2A44; font-size: 13pt; font-weight: bold;"));

    QFrame *box = look::sectionFrame(p, QStringLiteral("shpAnno"), QRect((995 - 420) / 2, 240, 420, 124));
    intAnnoPreventivi = new QLabel(m_d.heading, box);
    intAnnoPreventivi->setObjectName(QStringLiteral("intAnnoPreventivi"));
    intAnnoPreventivi->setGeometry(0, 0, 420, 36);
    intAnnoPreventivi->setAlignment(Qt::AlignCenter);
    intAnnoPreventivi->setStyleSheet(QStringLiteral(
        "background-color: #1F4E79; color: white; font-weight: bold; font-size: 12pt;"
        " border-top-left-radius: 6px; border-top-right-radius: 6px;"));

    txtAnnoPreventivi = new QLineEdit(box);
    txtAnnoPreventivi->setObjectName(QStringLiteral("txtAnnoPreventivi"));
    txtAnnoPreventivi->setMaxLength(4);
    QFont yearFont(QStringLiteral("Verdana"), 16);
    yearFont.setBold(true);
    txtAnnoPreventivi->setFont(yearFont);
    txtAnnoPreventivi->setAlignment(Qt::AlignCenter);
    txtAnnoPreventivi->setStyleSheet(QStringLiteral("QLineEdit:focus { background-color: #FFFF00; }"));
    txtAnnoPreventivi->setGeometry(150, 60, 110, 40);
    titAnnoPreventivi = look::caption(box, QStringLiteral("Anno:"), txtAnnoPreventivi);
    titAnnoPreventivi->setObjectName(QStringLiteral("titAnnoPreventivi"));
    titAnnoPreventivi->setGeometry(70, 60, 74, 40);
    titAnnoPreventivi->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    titAnnoPreventivi->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 13pt; color: #0E2A44;"));

    btnApriPreventivi = look::button(box, QStringLiteral("btnApriPreventivi"), QStringLiteral("Apri"), true);
    btnApriPreventivi->setGeometry(272, 62, 90, 36);

    imgGuida = look::pictureButton(p, QStringLiteral("imgGuida"), QStringLiteral(":/img/cards/cmdGuida.svg"),
                                   QSize(150, 44), QStringLiteral("Guida"));
    imgGuida->move(995 / 2 - 150 - 14, 400);
    imgEsci = look::pictureButton(p, QStringLiteral("imgEsci"), QStringLiteral(":/img/cards/cmdEsci.svg"),
                                  QSize(150, 44), QStringLiteral("Esci"));
    imgEsci->move(995 / 2 + 8, 400);

    lblMemory = look::hiddenLabel(p, QStringLiteral("lblMemory"));
    lblMemory->setText(kStart);

    rules::digitsOnly(txtAnnoPreventivi, true); // Home, End and the arrows move the cursor
    rules::enterMoves(txtAnnoPreventivi, [this] { return btnApriPreventivi; });
    setTabOrder(txtAnnoPreventivi, btnApriPreventivi);
    setTabOrder(btnApriPreventivi, imgGuida);
    setTabOrder(imgGuida, imgEsci);

    connect(btnApriPreventivi, &QPushButton::clicked, this, &YearWindow::btnApriPreventiviClick);
    connect(imgGuida, &QToolButton::clicked, this, [this] { help::show(this, m_d.topic()); });
    connect(imgEsci, &QToolButton::clicked, this, &QWidget::close);
}

void YearWindow::showEvent(QShowEvent *event)
{
    WorkWindow::showEvent(event);
    if (event->spontaneous())
        return;
    txtAnnoPreventivi->setText(Clock::now().toString(QStringLiteral("yyyy")));
    lblMemory->setText(kStart);
    txtAnnoPreventivi->setFocus();
}

void YearWindow::btnApriPreventiviClick()
{
    const QString year = txtAnnoPreventivi->text();
    if (year.size() != 4) {
        Messages::warning(this, kFourDigits);
        txtAnnoPreventivi->setFocus();
        return;
    }
    const QString trimmed = text::trim(year);
    m_handOver(ProgramFolder::file(trimmed + m_d.extension), m_d.cardTitle + trimmed);
    lblMemory->setText(m_d.tag);
    close();
}

void YearWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (lblMemory->text() == m_d.tag && m_card)
        windowSwitch(m_card, this);
    else if (m_home)
        windowSwitch(m_home, this);
    else
        hide();
}
