#pragma once
// " Importazione data": a month calendar whose chosen day goes, as "dd/mm/yyyy", into the
// date field of the card that opened it. The caller's tag names the field.

#include "storage/values.h"

#include <QDialog>

class QCalendarWidget;
class QLabel;
class QPushButton;

class TfrmCalendario : public QDialog {
    Q_OBJECT
public:
    TfrmCalendario(QWidget *owner, records::FieldTarget *target);

    // The card field a tag stands for; empty for an unknown tag.
    static QString fieldOf(const QString &tag);

    QLabel *lblTitolo;
    QCalendarWidget *calAppuntamenti;
    QPushButton *btnImportaData;
    QPushButton *btnAnnulla;
    QLabel *lblMemory;

    // Writes the selected day into the tagged field and closes; an unknown tag writes
    // nothing and the window stays open.
    void btnImportaDataClick();

    static constexpr QSize kClient{253, 294};

private:
    records::FieldTarget *m_target;
};

namespace calendar {

// A fresh modal calendar over owner for the date field of `tag`, destroyed afterwards.
void pick(QWidget *owner, records::FieldTarget *target, const QString &tag);

} // namespace calendar
