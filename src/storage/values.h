#pragma once
// Field texts by name, away from any window: what a card shows (saved or not), or what a
// record holds. Documents are filled from them, and tool windows write into a card
// through FieldTarget, by field name.

#include "storage/records.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace records {

class Values {
public:
    Values() = default;
    // Every field of the record, by its name (standard conversion: trimmed).
    static Values of(const Record &record);

    // Empty for a name that was never set.
    QString text(const QString &name) const { return m_texts.value(name); }
    // The text trimmed as stored texts are.
    QString trimmed(const QString &name) const;
    void set(const QString &name, const QString &text) { m_texts.insert(name, text); }
    bool contains(const QString &name) const { return m_texts.contains(name); }
    const QHash<QString, QString> &all() const { return m_texts; }

private:
    QHash<QString, QString> m_texts;
};

// A window that other windows fill by field name (a card under a search, import,
// calendar or attachment window). A name the target does not have is skipped.
class FieldTarget {
public:
    virtual ~FieldTarget() = default;
    virtual void setField(const QString &name, const QString &text) = 0;
};

// Writes the named fields of the record, trimmed, into the target; nothing else of the
// target changes.
void copyFields(const Record &from, const QStringList &names, FieldTarget &to);

} // namespace records
