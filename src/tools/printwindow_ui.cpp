#include "printwindow_ui.h"

#include "app/seams.h"
#include "app/widgets.h"
#include "tools/render_ui.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSvgWidget>

PrintWindow::PrintWindow(QWidget *card, Setup setup) : QDialog(card), m_setup(std::move(setup))
{
    setObjectName(m_setup.objectName);
    setWindowTitle(m_setup.title);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kClient);
    look::setGradient(this, QColor(0x46, 0x82, 0xB4), Qt::white);

    imgLogo01 = new QSvgWidget(m_setup.picture, this);
    imgLogo01->setObjectName(QStringLiteral("imgLogo01"));
    imgLogo01->setGeometry(12, 12, 340, 208);
    imgLogo01->setAccessibleName(m_setup.explanation);

    auto button = [this](const QString &name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAccessibleName(text);
        b->setCursor(Qt::PointingHandCursor);
        QFont f = b->font();
        f.setPointSize(10);
        f.setBold(true);
        b->setFont(f);
        return b;
    };
    btnAnnulla = button(QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"));
    btnAnnulla->setGeometry(12, 234, 160, 38);
    btnAnnulla->setAutoDefault(false);
    btnStampa = button(QStringLiteral("btnStampa"), m_setup.action);
    btnStampa->setGeometry(192, 234, 160, 38);
    btnStampa->setDefault(true);
    setTabOrder(btnStampa, btnAnnulla);
    btnStampa->setFocus();

    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnStampa, &QPushButton::clicked, this, &PrintWindow::btnStampaClick);

    // Centred over the card.
    const QWidget *over = card ? card->window() : nullptr;
    if (over && over->isVisible()) {
        move(over->geometry().center() - rect().center());
    } else if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void PrintWindow::btnStampaClick()
{
    try {
        const render::Template document = m_setup.document();
        const render::Prepared pages = render::prepareForOutput(document);
        if (m_setup.output == Output::Preview)
            render::preview(this, pages, document.name);
        else
            render::print(this, pages, document.name); // cancelled: nothing printed, nothing said
    } catch (const std::exception &) {
        Messages::warning(this, m_setup.failure);
        reject();
        return;
    }
    accept();
}
