#include "printwindow.h"

#include "storage/programfolder.h"
#include "ui/seams.h"
#include "ui/widgets.h"

#include <QPushButton>
#include <QSvgWidget>

namespace printing {

render::Template fill(const Document &document)
{
    render::Template t = render::Template::load(document.templateName);
    t.setOrientation(0, render::Orientation::Portrait);
    const records::Values texts = document.texts();
    for (auto it = texts.all().cbegin(); it != texts.all().cend(); ++it)
        t.setText(it.key(), it.value());
    if (document.pictures) {
        const QHash<QString, QImage> pictures = document.pictures();
        for (auto it = pictures.cbegin(); it != pictures.cend(); ++it)
            render::setPicture(t, it.key(), it.value());
    }
    if (!document.stamp.isEmpty())
        t.setText(document.stamp, render::printStamp(Clock::now()));
    return t;
}

void preview(QWidget *owner, const Document &document)
{
    const render::Template t = fill(document);
    render::preview(owner, render::prepareForOutput(t), t.name, document.zoom);
}

bool print(QWidget *owner, const Document &document)
{
    const render::Template t = fill(document);
    return render::print(owner, render::prepareForOutput(t), t.name);
}

void pdf(const Document &document, const QString &path)
{
    const render::Template t = fill(document);
    render::exportPdf(render::prepareForOutput(t), path, {t.name, t.name});
}

} // namespace printing

PrintWindow::PrintWindow(QWidget *card, Setup setup) : QDialog(card), m_setup(std::move(setup))
{
    look::toolWindow(this, m_setup.objectName, m_setup.title, kClient, look::kSteelBlue);

    imgLogo01 = new QSvgWidget(m_setup.picture, this);
    imgLogo01->setObjectName(QStringLiteral("imgLogo01"));
    imgLogo01->setGeometry(12, 12, 340, 208);
    imgLogo01->setAccessibleName(m_setup.explanation);

    btnAnnulla = look::button(this, QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"));
    btnAnnulla->setGeometry(12, 234, 160, 38);
    btnStampa = look::button(this, QStringLiteral("btnStampa"), m_setup.action);
    btnStampa->setGeometry(192, 234, 160, 38);
    btnStampa->setDefault(true);
    setTabOrder(btnStampa, btnAnnulla);
    btnStampa->setFocus();

    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnStampa, &QPushButton::clicked, this, &PrintWindow::btnStampaClick);

    look::centreOver(this, card); // over the card
}

void PrintWindow::btnStampaClick()
{
    try {
        if (m_setup.output == Output::Preview)
            printing::preview(this, m_setup.document);
        else
            printing::print(this, m_setup.document); // cancelled: nothing printed, nothing said
    } catch (const std::exception &) {
        Messages::warning(this, m_setup.failure);
        reject();
        return;
    }
    accept();
}
