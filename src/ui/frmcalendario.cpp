#include "frmcalendario.h"

#include "storage/programfolder.h"
#include "ui/widgets.h"

#include <QCalendarWidget>
#include <QTextCharFormat>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

namespace {

struct Tag {
    const char *tag;
    const char *field;
};

constexpr Tag kTags[] = {
    {"rapporti_data", "txtData"},
    {"rapporti_dataprel", "txtDataPrel"},
    {"rapporti_dataric", "txtDataRic"},
    {"rapporti_datainizio", "txtDataInizio"},
    {"rapporti_datafine", "txtDataFine"},
    {"certificati_data", "txtData"},
    {"certificati_dataprel", "txtDataPrel"},
    {"certificati_dataric", "txtDataRic"},
    {"certificati_datainizio", "txtDataInizio"},
    {"certificati_datafine", "txtDataFine"},
};

} // namespace

TfrmCalendario::TfrmCalendario(QWidget *owner, records::FieldTarget *target) : QDialog(owner), m_target(target)
{
    look::toolWindow(this, QStringLiteral("frmCalendario"), QStringLiteral(" Importazione data"), kClient,
                     Qt::white);
    // Steel blue at the bottom, white at the top.
    look::setGradient(this, Qt::white, look::kSteelBlue);

    lblTitolo = new QLabel(QStringLiteral("Importare una data:"), this);
    lblTitolo->setObjectName(QStringLiteral("lblTitolo"));
    lblTitolo->setGeometry(10, 6, 233, 22);
    lblTitolo->setStyleSheet(QStringLiteral("font-weight: bold; color: #0E2A44;"));

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panCalendario"));
    panel->setGeometry(6, 30, 241, 210);
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(QStringLiteral("#panCalendario { background-color: #D6DCE1; border-radius: 4px; }"));

    calAppuntamenti = new QCalendarWidget(panel);
    calAppuntamenti->setObjectName(QStringLiteral("calAppuntamenti"));
    calAppuntamenti->setGeometry(4, 4, 233, 202);
    calAppuntamenti->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    calAppuntamenti->setGridVisible(true);
    calAppuntamenti->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // The seven day names fit their columns whole ("dom" too) in this narrow window.
    QTextCharFormat dayNames = calAppuntamenti->headerTextFormat();
    dayNames.setFontPointSize(8);
    calAppuntamenti->setHeaderTextFormat(dayNames);
    calAppuntamenti->setAccessibleName(QStringLiteral("Calendario"));
    calAppuntamenti->setSelectedDate(Clock::now().date());
    lblTitolo->setBuddy(calAppuntamenti);

    btnAnnulla = look::button(this, QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"));
    btnAnnulla->setGeometry(10, 252, 110, 32);
    btnImportaData = look::button(this, QStringLiteral("btnImportaData"), QStringLiteral("Importa"));
    btnImportaData->setGeometry(133, 252, 110, 32);
    btnImportaData->setDefault(true);
    lblMemory = look::hiddenLabel(this, QStringLiteral("lblMemory"));

    setTabOrder(calAppuntamenti, btnImportaData);
    setTabOrder(btnImportaData, btnAnnulla);
    calAppuntamenti->setFocus();

    // A double click on a day imports it, as "Importa" would.
    connect(calAppuntamenti, &QCalendarWidget::activated, this, &TfrmCalendario::btnImportaDataClick);
    connect(btnImportaData, &QPushButton::clicked, this, &TfrmCalendario::btnImportaDataClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);

    look::centreOver(this, owner);
}

QString TfrmCalendario::fieldOf(const QString &tag)
{
    for (const Tag &t : kTags)
        if (tag == QLatin1String(t.tag))
            return QString::fromLatin1(t.field);
    return {};
}

void TfrmCalendario::btnImportaDataClick()
{
    const QString field = fieldOf(lblMemory->text());
    if (field.isEmpty() || !m_target)
        return;
    m_target->setField(field, calAppuntamenti->selectedDate().toString(QStringLiteral("dd/MM/yyyy")));
    accept();
}

namespace calendar {

void pick(QWidget *owner, records::FieldTarget *target, const QString &tag)
{
    TfrmCalendario window(owner, target);
    window.lblMemory->setText(tag);
    window.exec();
}

} // namespace calendar
