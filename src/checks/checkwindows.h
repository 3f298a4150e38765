#pragma once
#include <QString>
class QWidget;
namespace checks {
// Each creates a fresh modal window owned by owner, primed with the text, runs it, destroys it.
void openTaxCode(QWidget *owner, const QString &text); // frmCodFisc
void openVat(QWidget *owner, const QString &text);     // frmPartitaIva
void openCard(QWidget *owner, const QString &text);    // frmCarta
void openIban(QWidget *owner, const QString &text);    // frmIban
// A tax code field's check button: a code of digits only is a company's VAT number and
// goes to the VAT number check; anything else (empty too) to the tax code check.
void openTaxCodeOrVat(QWidget *owner, const QString &text);
}
