#pragma once
// A window that tool windows fill by field name, standing in for a card that does not
// exist in the test (a test report, a certificate): line edits named after fields.

#include "storage/values.h"

#include <QLineEdit>
#include <QWidget>

namespace support {

class EditsTarget : public QWidget, public records::FieldTarget {
public:
    explicit EditsTarget(const QStringList &names, const QString &initial = {})
    {
        for (const QString &name : names) {
            auto *e = new QLineEdit(this);
            e->setObjectName(name);
            e->setText(initial);
        }
    }
    void setField(const QString &name, const QString &text) override
    {
        calls.append({name, text});
        if (auto *e = findChild<QLineEdit *>(name))
            e->setText(text);
    }
    QString field(const QString &name) const
    {
        const auto *e = findChild<QLineEdit *>(name);
        return e ? e->text() : QString();
    }

    QList<std::pair<QString, QString>> calls; // every setField, in order
};

} // namespace support
