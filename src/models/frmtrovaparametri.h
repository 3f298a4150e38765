#pragma once
// The two list windows of the analysis models: the search, which opens the chosen model
// in the model card, and the import, which copies it into a test report. Both list every
// named model in one line, find a line by a few words and print the list.

#include "modelsearch.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSvgWidget;
class TfrmParametri;

class ModelListWindow : public QDialog {
    Q_OBJECT
public:
    static inline const QString kListTitle = QStringLiteral("Riepilogo modelli di analisi");
    static inline const QString kEmptyList =
        QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce.");

    QSvgWidget *imgLogo;
    QSvgWidget *icoIstruzioni;
    QSvgWidget *imgLente;
    QLineEdit *txtTrova;
    QPushButton *btnTrova;
    QListWidget *lstRecords;
    QLabel *lblRigo03;
    QPushButton *btnChiudi;
    QPushButton *btnStampa;

    QStringList lines() const;
    int selectedLine() const; // -1 when no line is selected

    void btnTrovaClick();
    void btnStampaClick();
    // Finds the record of the selected line, hands it over and closes the window.
    void lstRecordsDblClick();

protected:
    ModelListWindow(QWidget *owner, const QString &objectName, const QString &title, const QString &banner,
                    const QString &bannerText);
    // Gives the chosen model to the window's caller.
    virtual void take(const models::Found &found) = 0;

    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    models::QuickFind m_find;
};

// Opened by Trova of the model card: the double-clicked model is shown in the card.
class TfrmTrovaParametri : public ModelListWindow {
    Q_OBJECT
public:
    TfrmTrovaParametri(QWidget *owner, TfrmParametri *card);

protected:
    void take(const models::Found &found) override;

private:
    TfrmParametri *m_card;
};

class ModelImportTarget;

namespace models {

// Each creates a fresh modal window, runs it and destroys it.
void openSearch(TfrmParametri *card);
void openImport(QWidget *owner, ModelImportTarget *target);

} // namespace models
