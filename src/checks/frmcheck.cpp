#include "frmcheck.h"

#include "identifiers.h"

#include "ui/inputrules.h"
#include "ui/seams.h"
#include "ui/widgets.h"
#include "storage/textcodec.h"

#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSvgWidget>
#include <QValidator>

namespace {

const QColor kSteelBlue(0x46, 0x82, 0xB4);

// Trims and upper-cases (a-z only) the text as it is typed, keeping the cursor in place.
class TrimUpperValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        qsizetype lead = 0;
        while (lead < input.size() && input[lead].unicode() <= 32)
            ++lead;
        input = text::upperAscii(text::trim(input));
        pos = int(qBound<qsizetype>(0, pos - lead, input.size()));
        return Acceptable;
    }
};

// The banner: the window's title words beside a small picture, on a light plate.
QByteArray bannerSvg(QSize size, const QString &title, const QByteArray &icon)
{
    const int w = size.width();
    const int h = size.height();
    const int iconSide = h - 14;
    const int textX = 14 + iconSide + 16;
    const int room = w - textX - 14;

    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    int px = int(h * 0.42);
    for (; px > 12; --px) {
        f.setPixelSize(px);
        if (QFontMetrics(f).horizontalAdvance(title) <= room)
            break;
    }
    const int baseline = h / 2 + px * 36 / 100;

    QString svg = QStringLiteral(
        "<svg xmlns='http://www.w3.org/2000/svg' version='1.1' width='%1' height='%2' viewBox='0 0 %1 %2'>"
        "<defs>"
        "<linearGradient id='plate' x1='0' y1='0' x2='0' y2='1'>"
        "<stop offset='0' stop-color='#FFFFFF'/><stop offset='1' stop-color='#D6E6F4'/></linearGradient>"
        "<linearGradient id='shine' x1='0' y1='0' x2='1' y2='0'>"
        "<stop offset='0' stop-color='#4682B4'/><stop offset='1' stop-color='#4682B4' stop-opacity='0'/>"
        "</linearGradient>"
        "</defs>"
        "<rect x='1.5' y='1.5' width='%3' height='%4' rx='12' ry='12' fill='url(#plate)' "
        "stroke='#1F4E79' stroke-width='2'/>"
        "<g transform='translate(14 7) scale(%5)'>")
                      .arg(w)
                      .arg(h)
                      .arg(w - 3)
                      .arg(h - 3)
                      .arg(iconSide / 64.0);
    svg += QString::fromUtf8(icon);
    // A small green tick: every banner belongs to a check.
    svg += QStringLiteral("<circle cx='52' cy='52' r='11' fill='#2E8B57' stroke='#FFFFFF' stroke-width='2.5'/>"
                          "<path d='M46 52 L50.5 56.5 L58 47.5' fill='none' stroke='#FFFFFF' "
                          "stroke-width='3.2' stroke-linecap='round' stroke-linejoin='round'/></g>");
    svg += QStringLiteral("<text x='%1' y='%2' font-family='Arial' font-weight='bold' font-size='%3' "
                          "fill='#0E3558' fill-opacity='0.25'>%4</text>"
                          "<text x='%5' y='%6' font-family='Arial' font-weight='bold' font-size='%3' "
                          "fill='#123F66'>%4</text>"
                          "<rect x='%5' y='%7' width='%8' height='3' rx='1.5' fill='url(#shine)'/>")
               .arg(textX + 1)
               .arg(baseline + 1)
               .arg(px)
               .arg(title.toHtmlEscaped())
               .arg(textX)
               .arg(baseline)
               .arg(baseline + px / 4)
               .arg(room);
    svg += QStringLiteral("</svg>");
    return svg.toUtf8();
}

// Pictures for the banners, in a 64 x 64 box (the tick sits at the lower right).
const QByteArray kIdCardIcon =
    "<rect x='3' y='10' width='56' height='40' rx='5' fill='#FFFFFF' stroke='#1F4E79' stroke-width='2.5'/>"
    "<rect x='3' y='10' width='56' height='9' rx='4' fill='#4682B4'/>"
    "<circle cx='17' cy='30' r='5' fill='#7A9CC0'/>"
    "<path d='M8.5 44 C9 37 25 37 25.5 44 Z' fill='#7A9CC0'/>"
    "<rect x='30' y='25' width='22' height='3' rx='1.5' fill='#123F66'/>"
    "<rect x='30' y='32' width='18' height='3' rx='1.5' fill='#7A9CC0'/>"
    "<rect x='30' y='39' width='12' height='3' rx='1.5' fill='#7A9CC0'/>";

const QByteArray kVatIcon =
    "<path d='M12 3 H40 L52 15 V58 H12 Z' fill='#FFFFFF' stroke='#1F4E79' stroke-width='2.5' "
    "stroke-linejoin='round'/>"
    "<path d='M40 3 V15 H52' fill='#D6E6F4' stroke='#1F4E79' stroke-width='2.5' stroke-linejoin='round'/>"
    "<text x='31' y='33' font-family='Arial' font-weight='bold' font-size='14' text-anchor='middle' "
    "fill='#123F66'>IVA</text>"
    "<rect x='18' y='40' width='22' height='3' rx='1.5' fill='#7A9CC0'/>"
    "<rect x='18' y='47' width='14' height='3' rx='1.5' fill='#7A9CC0'/>";

const QByteArray kCardIcon =
    "<defs><linearGradient id='card' x1='0' y1='0' x2='1' y2='1'>"
    "<stop offset='0' stop-color='#4682B4'/><stop offset='1' stop-color='#1F4E79'/></linearGradient></defs>"
    "<rect x='2' y='12' width='58' height='38' rx='5' fill='url(#card)'/>"
    "<rect x='2' y='18' width='58' height='7' fill='#0E3558'/>"
    "<rect x='9' y='30' width='11' height='8' rx='1.5' fill='#E8C45A' stroke='#B8932E' stroke-width='1'/>"
    "<rect x='9' y='42' width='30' height='3' rx='1.5' fill='#FFFFFF' fill-opacity='0.85'/>";

const QByteArray kBankIcon =
    "<path d='M32 4 L60 18 H4 Z' fill='#4682B4' stroke='#1F4E79' stroke-width='2.5' stroke-linejoin='round'/>"
    "<rect x='7' y='21' width='50' height='4' fill='#1F4E79'/>"
    "<rect x='10' y='27' width='7' height='21' fill='#FFFFFF' stroke='#1F4E79' stroke-width='2'/>"
    "<rect x='23' y='27' width='7' height='21' fill='#FFFFFF' stroke='#1F4E79' stroke-width='2'/>"
    "<rect x='36' y='27' width='7' height='21' fill='#FFFFFF' stroke='#1F4E79' stroke-width='2'/>"
    "<rect x='4' y='50' width='40' height='6' fill='#1F4E79'/>";

QPushButton *button(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAccessibleName(text);
    return b;
}

} // namespace

// ---- The shared frame ----------------------------------------------------------------

CheckWindow::CheckWindow(QWidget *owner, const Frame &frame) : QDialog(owner), m_limit(frame.maxLength)
{
    setObjectName(frame.objectName);
    setWindowTitle(frame.title);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(frame.client);
    look::setGradient(this, kSteelBlue, Qt::white);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("panCornice"));
    panel->setGeometry(QRect(QPoint((frame.client.width() - frame.panel.width()) / 2,
                                    (frame.client.height() - frame.panel.height()) / 2),
                             frame.panel));
    panel->setStyleSheet(QStringLiteral("QFrame#panCornice { background: rgba(255, 255, 255, 90); "
                                        "border: 1px solid rgba(31, 78, 121, 110); border-radius: 10px; }"));
    const int pw = frame.panel.width();
    const int ph = frame.panel.height();

    imgLogo = new QSvgWidget(panel);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->load(bannerSvg(frame.banner, frame.bannerTitle, frame.bannerIcon));
    imgLogo->setGeometry((pw - frame.banner.width()) / 2, 8, frame.banner.width(), frame.banner.height());
    imgLogo->setAccessibleName(frame.bannerTitle);

    m_field = new QLineEdit(panel);
    m_field->setObjectName(frame.fieldName);
    QFont ff(QStringLiteral("Courier New"), 20);
    ff.setBold(true);
    m_field->setFont(ff);
    m_field->setMaxLength(frame.maxLength);
    const int fieldWidth =
        qMin(pw - 24, QFontMetrics(ff).horizontalAdvance(QString(frame.visibleChars, u'0')) + 18);
    const int fieldHeight = QFontMetrics(ff).height() + 12;

    btnControlla = button(panel, QStringLiteral("btnControlla"), QStringLiteral("Controlla"));
    btnChiudi = button(panel, QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"));
    QFont bf = btnControlla->font();
    bf.setPointSize(10);
    bf.setBold(true);
    const QSize buttonSize(116, 32);
    const int buttonsY = ph - 12 - buttonSize.height();
    for (QPushButton *b : {btnControlla, btnChiudi}) {
        b->setFont(bf);
        b->resize(buttonSize);
        b->setCursor(Qt::PointingHandCursor);
    }
    btnControlla->move(pw / 2 - 8 - buttonSize.width(), buttonsY);
    btnChiudi->move(pw / 2 + 8, buttonsY);

    const int fieldY = buttonsY - 12 - fieldHeight;
    m_field->setGeometry((pw - fieldWidth) / 2, fieldY, fieldWidth, fieldHeight);

    lblTitolo = look::caption(panel, frame.caption, m_field);
    lblTitolo->setObjectName(QStringLiteral("lblTitolo"));
    lblTitolo->setFont(QFont(QStringLiteral("Arial"), 12));
    lblTitolo->setWordWrap(true);
    lblTitolo->setAlignment(Qt::AlignCenter);
    lblTitolo->setStyleSheet(QStringLiteral("color: #0E2A44;"));
    const int captionTop = 8 + frame.banner.height() + 2;
    lblTitolo->setGeometry(10, captionTop, pw - 20, fieldY - 2 - captionTop);

    setTabOrder(m_field, btnControlla);
    setTabOrder(btnControlla, btnChiudi);

    if (frame.trimUpper)
        m_field->setValidator(new TrimUpperValidator(m_field));
    if (frame.digitsOnly)
        m_field->setInputMethodHints(Qt::ImhDigitsOnly);
    rules::enterMoves(m_field, [this] { return btnControlla; }); // Enter moves on to the check button
    if (frame.digitsOnly) {
        rules::digitKeysOnly(m_field);
        rules::pastedDigitsOnly(m_field);
    }

    // A longer handed-over text keeps its length until the user has brought it in range.
    connect(m_field, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (m_field->maxLength() > m_limit && t.size() <= m_limit)
            m_field->setMaxLength(m_limit);
    });
    connect(btnControlla, &QPushButton::clicked, this, [this] { check(); });
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);

    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

void CheckWindow::prime(const QString &text)
{
    m_field->setMaxLength(qMax(m_limit, int(text.size())));
    m_field->setText(text);
}

void CheckWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_field->setFocus(Qt::OtherFocusReason);
}

void CheckWindow::answered()
{
    accept();
}

void CheckWindow::backToField()
{
    m_field->setFocus(Qt::OtherFocusReason);
}

// ---- Tax code ------------------------------------------------------------------------

TfrmCodFisc::TfrmCodFisc(QWidget *owner)
    : CheckWindow(owner, {QStringLiteral("frmCodFisc"), QStringLiteral(" Controllo codice fiscale"), QSize(478, 254),
                          QSize(452, 232), QSize(421, 73), QStringLiteral("Controllo codice fiscale"), kIdCardIcon,
                          QStringLiteral("Immettere il codice fiscale e premere il pulsante di controllo."),
                          QStringLiteral("txtCodFisc"), 16, 16, false, true})
{
    txtCodFisc = m_field;
}

void TfrmCodFisc::check()
{
    using namespace checkTexts;
    switch (checks::checkTaxCode(txtCodFisc->text())) {
    case checks::TaxCodeAnswer::BadFormat:
        Messages::warning(this, kTaxCodeLength);
        backToField();
        return;
    case checks::TaxCodeAnswer::Valid:
        Messages::information(this, kTaxCodeValid);
        break;
    case checks::TaxCodeAnswer::Wrong:
        Messages::warning(this, kTaxCodeWrong);
        break;
    }
    answered();
}

// ---- VAT number ----------------------------------------------------------------------

TfrmPartitaIva::TfrmPartitaIva(QWidget *owner)
    : CheckWindow(owner, {QStringLiteral("frmPartitaIva"), QStringLiteral(" Controllo partita IVA"), QSize(480, 254),
                          QSize(454, 232), QSize(421, 73), QStringLiteral("Controllo partita IVA"), kVatIcon,
                          QStringLiteral("Immettere il numero di partita IVA e premere il pulsante di controllo."),
                          QStringLiteral("txtPartitaIva"), checks::kVatLength, checks::kVatLength, true, false})
{
    txtPartitaIva = m_field;
}

void TfrmPartitaIva::check()
{
    using namespace checkTexts;
    const checks::VatResult r = checks::checkVat(txtPartitaIva->text());
    switch (r.answer) {
    case checks::VatAnswer::BadLength:
        Messages::warning(this, kVatLength);
        backToField();
        return;
    case checks::VatAnswer::Valid:
        Messages::information(this, kVatValid + kBreak
                                        + (r.office.isEmpty() ? kVatUnknownOffice.arg(r.officeCode)
                                                              : kVatOffice + r.office + u'.'));
        break;
    case checks::VatAnswer::Wrong:
        Messages::warning(this, kVatWrong + kBreak + kVatNoOffice);
        break;
    }
    answered();
}

// ---- Payment card --------------------------------------------------------------------

TfrmCarta::TfrmCarta(QWidget *owner)
    : CheckWindow(owner, {QStringLiteral("frmCarta"), QStringLiteral(" Controllo carta di credito"), QSize(519, 254),
                          QSize(490, 232), QSize(457, 73), QStringLiteral("Controllo carta di credito"), kCardIcon,
                          QStringLiteral("Immettere il numero di carta di credito e premere il pulsante di controllo."),
                          QStringLiteral("txtNumero"), 30, checks::kCardDigits, true, true})
{
    txtNumero = m_field;
}

void TfrmCarta::check()
{
    using namespace checkTexts;
    const checks::CardResult r = checks::checkCard(txtNumero->text());
    switch (r.answer) {
    case checks::CardAnswer::Empty:
        Messages::warning(this, kCardEmpty);
        backToField();
        return;
    case checks::CardAnswer::Wrong:
        Messages::warning(this, kCardWrong + kBreak + kCardNoFamily);
        break;
    case checks::CardAnswer::Valid:
        Messages::information(this, kCardValid.arg(r.shown) + kBreak
                                        + (r.family == checks::CardFamily::None
                                               ? kCardUnknownFamily
                                               : kCardFamily + checks::cardFamilyName(r.family) + u'.'));
        break;
    }
    answered();
}

// ---- IBAN ----------------------------------------------------------------------------

TfrmIban::TfrmIban(QWidget *owner)
    : CheckWindow(owner, {QStringLiteral("frmIban"), QStringLiteral(" Controllo IBAN"), QSize(608, 270),
                          QSize(577, 238), QSize(545, 85), QStringLiteral("Controllo IBAN"), kBankIcon,
                          QStringLiteral("Immettere l'IBAN e premere il pulsante di controllo."),
                          QStringLiteral("txtIban"), checks::kIbanLength, checks::kIbanLength, false, true})
{
    txtIban = m_field;
}

void TfrmIban::check()
{
    using namespace checkTexts;
    switch (checks::checkIban(txtIban->text())) {
    case checks::IbanAnswer::BadLength:
        Messages::warning(this, kIbanLength);
        backToField();
        return;
    case checks::IbanAnswer::Valid:
        Messages::information(this, kIbanValid);
        break;
    case checks::IbanAnswer::Wrong:
        Messages::warning(this, kIbanWrong);
        break;
    }
    answered();
}
