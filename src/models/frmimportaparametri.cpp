#include "frmimportaparametri.h"

#include <QLineEdit>

void LineEditImportTarget::setField(const QString &name, const QString &text)
{
    if (auto *edit = m_window->findChild<QLineEdit *>(name)) {
        edit->setText(text);
        edit->setCursorPosition(0);
    }
}

TfrmImportaParametri::TfrmImportaParametri(QWidget *owner, ModelImportTarget *target)
    : ModelListWindow(owner, QStringLiteral("frmImportaParametri"), QStringLiteral(" Importa dati da modello di analisi"),
                      QStringLiteral("bannerImporta"), QStringLiteral("Importa modello di analisi")),
      m_target(target)
{
}

QStringList TfrmImportaParametri::importedFields()
{
    // Every text field of the model; the attachments stay with the model.
    QStringList names;
    for (const records::Field &f : records::model().fields())
        if (f.name.startsWith(QStringLiteral("txt")))
            names.append(f.name);
    return names;
}

void TfrmImportaParametri::take(const models::Found &found)
{
    for (const QString &name : importedFields())
        m_target->setField(name, found.record.text(name));
}

void models::openImport(QWidget *owner, ModelImportTarget *target)
{
    TfrmImportaParametri window(owner, target);
    window.exec();
}
