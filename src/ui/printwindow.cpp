#include "printwindow.h"

#include "storage/log.h"
#include "storage/programfolder.h"
#include "ui/logo.h"
#include "ui/seams.h"
#include "ui/widgets.h"

#include <QPushButton>
#include <QSvgWidget>

#include <optional>

namespace printing {

render::Template fill(const Document &document)
{
    render::Template t = render::Template::load(document.templateName);
    t.setOrientation(0, render::Orientation::Portrait);
    for (auto it = document.moved.cbegin(); it != document.moved.cend(); ++it)
        t.object(it.key()).rect.moveTopLeft(it.value());
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
    if (document.finish)
        document.finish(t);
    return t;
}

QStringList cutTexts(const Document &document, const render::Template &t)
{
    QStringList captions;
    if (document.whole.isEmpty())
        return captions;
    const QStringList cut = render::cutBoxes(t, render::fontLineBreaker());
    for (const auto &[object, caption] : document.whole) {
        t.object(object); // a name the template lacks is a fault of the document
        if (cut.contains(object))
            captions.append(caption);
    }
    return captions;
}

QString cutTextsQuestion(const QStringList &captions)
{
    QString text = QStringLiteral("Attenzione: il testo dei campi seguenti \u00e8 pi\u00f9 lungo dello spazio che il "
                                  "documento gli riserva e non comparirebbe per intero:\n");
    for (const QString &caption : captions)
        text += QStringLiteral("\n- ") + caption;
    return text + QStringLiteral("\n\nSi desidera proseguire comunque?");
}

namespace {

// The filled template, once the user has agreed to any text that would be cut; none
// when the user answers No.
std::optional<render::Template> agreed(QWidget *owner, const Document &document)
{
    render::Template t = fill(document);
    const QStringList cut = cutTexts(document, t);
    if (!cut.isEmpty() && !Messages::question(owner, cutTextsQuestion(cut)))
        return std::nullopt;
    return t;
}

} // namespace

bool preview(QWidget *owner, const Document &document)
{
    const std::optional<render::Template> t = agreed(owner, document);
    if (!t)
        return false;
    render::preview(owner, render::prepareForOutput(*t), t->name, document.zoom, document.sides);
    return true;
}

bool print(QWidget *owner, const Document &document)
{
    const std::optional<render::Template> t = agreed(owner, document);
    return t && render::print(owner, render::prepareForOutput(*t), t->name, document.sides);
}

void pdf(const Document &document, const QString &path)
{
    const render::Template t = fill(document);
    render::exportPdf(render::prepareForOutput(t), path, {t.name, t.name});
}

std::optional<QByteArray> archivalPdf(QWidget *owner, const Document &document,
                                      const render::PdfProperties &properties)
{
    const std::optional<render::Template> t = agreed(owner, document);
    if (!t)
        return std::nullopt;
    render::PdfProperties archival = properties;
    archival.archival = true;
    return render::pdfBytes(render::prepareForOutput(*t), archival);
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
    if (m_setup.issue) {
        btnSalvaPdf = look::button(this, QStringLiteral("btnSalvaPdf"), QStringLiteral("Salva PDF"));
        btnSalvaPdf->setToolTip(kIssueHint);
        btnSalvaPdf->setAccessibleDescription(kIssueHint);
        imgLogo01->setAccessibleName(m_setup.explanation + QStringLiteral(" Salva PDF s") + kIssueHint.mid(1));
        btnAnnulla->setGeometry(12, 234, 104, 38);
        btnSalvaPdf->setGeometry(130, 234, 104, 38);
        btnStampa->setGeometry(248, 234, 104, 38);
        setTabOrder(btnStampa, btnSalvaPdf);
        setTabOrder(btnSalvaPdf, btnAnnulla);
        connect(btnSalvaPdf, &QPushButton::clicked, this, &PrintWindow::btnSalvaPdfClick);
    }
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
    } catch (const std::exception &e) {
        qCWarning(lcTirello) << objectName() << "printing failed:" << e.what();
        Messages::warning(this, m_setup.failure);
        reject();
        return;
    }
    accept();
}

void PrintWindow::btnSalvaPdfClick()
{
    m_setup.issue(this, m_setup.document);
    accept();
}

LogoPrintWindow::LogoPrintWindow(QWidget *owner, Output output, const QString &objectName, const QString &title,
                                 const std::function<printing::Document(const QImage *logo)> &document, Issue issue)
    : PrintWindow(owner,
                  output == Output::Preview
                      ? Setup{objectName, title, output, QStringLiteral("Mostra anteprima"),
                              QStringLiteral(":/img/print/anteprima.svg"),
                              QStringLiteral("Anteprima di stampa. La funzione mostra sullo schermo i dati che "
                                             "appariranno in stampa. Mostra anteprima visualizza il documento prima "
                                             "di stamparlo su carta."),
                              kPreviewFailed, document(&imgLogo)}
                      : Setup{objectName, title, output, QStringLiteral("Stampa"),
                              QStringLiteral(":/img/print/stampa.svg"),
                              QStringLiteral("Stampa documento. La funzione stampa su carta il documento con i dati "
                                             "inseriti nei campi. Stampa avvia la stampa, Annulla rinuncia."),
                              kPrintFailed, document(&imgLogo), std::move(issue)}),
      imgLogo(logo::current())
{
}

printing::Document LogoPrintWindow::document(const QString &templateName, std::function<records::Values()> texts,
                                             const QImage *logo)
{
    printing::Document document;
    document.templateName = templateName;
    document.texts = std::move(texts);
    document.stamp.clear();
    document.pictures = [logo] { return QHash<QString, QImage>{{QStringLiteral("imgLogo"), *logo}}; };
    document.zoom = 1.0;
    return document;
}
