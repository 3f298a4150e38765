#pragma once
// The two list windows of the analysis models: the search, which opens the chosen model
// in the model card, and the import, which copies it into a test report. Both list every
// named model in one line, find a line by a few words and print the list.

#include "modelsearch.h"

#include "storage/values.h"
#include "ui/listwindow.h"

class TfrmParametri;

namespace models {
inline const QString kListTitle = QStringLiteral("Riepilogo modelli di analisi");
// What the two windows share; they differ in their names, titles, banners and in what
// choosing a model does.
ListWindow::Description listDescription();
} // namespace models

// Opened by Trova of the model card: the double-clicked model is shown in the card.
class TfrmTrovaParametri : public ListWindow {
    Q_OBJECT
public:
    TfrmTrovaParametri(QWidget *owner, TfrmParametri *card);
};

// Opened by the import command of the test report card: the double-clicked model fills
// the report's analysis, sample and all thirty parameter rows (models::importedFields),
// and nothing else.
class TfrmImportaParametri : public ListWindow {
    Q_OBJECT
public:
    TfrmImportaParametri(QWidget *owner, records::FieldTarget *target);
};

namespace models {

// Each creates a fresh modal window, runs it and destroys it.
void openSearch(TfrmParametri *card);
void openImport(QWidget *owner, records::FieldTarget *target);

} // namespace models
