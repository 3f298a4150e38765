#pragma once

#include "frmtrovaparametri.h"

// What the import window writes into: the 122 text fields of a model, by their names
// (txtAnalisi, txtCampione, txtParametro01..30, txtMetodo01..30, txtUM01..30,
// txtLimite01..30). Nothing else of the target is touched.
class ModelImportTarget {
public:
    virtual ~ModelImportTarget() = default;
    virtual void setField(const QString &name, const QString &text) = 0;
};

// A target that sets the text of the line edits found by name under a window (the test
// report card, for one). A name without a line edit is skipped.
class LineEditImportTarget : public ModelImportTarget {
public:
    explicit LineEditImportTarget(QWidget *window) : m_window(window) {}
    void setField(const QString &name, const QString &text) override;

private:
    QWidget *m_window;
};

// Opened by the import command of the test report card: the double-clicked model fills
// the report's analysis, sample and all thirty parameter rows.
class TfrmImportaParametri : public ModelListWindow {
    Q_OBJECT
public:
    TfrmImportaParametri(QWidget *owner, ModelImportTarget *target);

    // The names of the fields the import writes, in record order.
    static QStringList importedFields();

protected:
    void take(const models::Found &found) override;

private:
    ModelImportTarget *m_target;
};
