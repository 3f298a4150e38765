#pragma once
// The four record types, each described once as a table of fields. Offsets and sizes
// follow from the tables; the sizes are checked at compile time in records.cpp.

#include "fields.h"
#include "textcodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

namespace records {

enum class Encoding { ShortText, ZeroText };

struct Field {
    QString name;   // the name of the card control that shows it
    int offset = 0; // from the start of the record
    int capacity = 0; // N: the field takes N + 1 bytes
};

class Layout {
public:
    Layout(QString typeName, Encoding encoding, QList<Field> fields);

    const QString &typeName() const { return m_typeName; }
    Encoding encoding() const { return m_encoding; }
    int size() const { return m_size; }
    const QList<Field> &fields() const { return m_fields; }
    // -1 when the record has no field of that name.
    int indexOf(const QString &name) const { return m_index.value(name, -1); }
    const Field *find(const QString &name) const;

private:
    QString m_typeName;
    Encoding m_encoding;
    int m_size = 0;
    QList<Field> m_fields;
    QHash<QString, int> m_index;
};

const Layout &client();      // TSchedaCliente, 3392 bytes
const Layout &model();       // TSchedaModello, 10868 bytes
const Layout &report();      // TSchedaRapporto, 13494 bytes
const Layout &certificate(); // TSchedaCertificato, 29250 bytes

class Record;

// Field access to one record's bytes held elsewhere (an archive scan's read buffer), with
// nothing copied or decoded until a field is read. Valid as long as those bytes are.
class RecordView {
public:
    RecordView(const Layout &layout, const char *bytes) : m_layout(&layout), m_bytes(bytes) {} // layout.size() bytes

    const Layout &layout() const { return *m_layout; }
    const char *data() const { return m_bytes; }

    QString text(int field) const;
    // Unknown names read as empty.
    QString text(const QString &name) const;
    // text() added to the end of `out`, without a string of its own (see
    // text::appendCp1252); appendTrimmed() adds it as text::trim would leave it.
    void appendText(int field, QString &out) const { text::appendCp1252(out, stored(field)); }
    void appendTrimmed(int field, QString &out) const { text::appendCp1252(out, text::trimBytes(stored(field))); }
    // appendText() for a buffer of char16_t that grows like a QVarLengthArray, whose
    // resize costs nothing while its room lasts.
    template <typename Chars>
    void appendText(int field, Chars &out) const
    {
        const QByteArrayView bytes = stored(field);
        const qsizetype at = out.size();
        out.resize(at + bytes.size());
        text::decodeCp1252(bytes, out.data() + at);
    }
    // The bytes text() decodes, one character each (trimmed like the text), not decoded.
    QByteArrayView stored(int field) const
    {
        const Field &f = m_layout->fields().at(field);
        const char *p = m_bytes + f.offset;
        return m_layout->encoding() == Encoding::ShortText ? fields::shortBytes(p, f.capacity)
                                                           : fields::zeroBytes(p, f.capacity);
    }
    // A copy that owns its bytes, to keep.
    Record toRecord() const;

private:
    const Layout *m_layout;
    const char *m_bytes;
};

// One record's bytes with field access through its layout's encoding.
class Record {
public:
    explicit Record(const Layout &layout);
    Record(const Layout &layout, QByteArray bytes); // bytes must be layout.size() long

    const Layout &layout() const { return *m_layout; }
    QByteArray &bytes() { return m_bytes; }
    const QByteArray &bytes() const { return m_bytes; }

    RecordView view() const { return RecordView(*m_layout, m_bytes.constData()); }
    operator RecordView() const { return view(); }

    QString text(int field) const { return view().text(field); }
    void setText(int field, const QString &value);
    // Unknown names read as empty and are ignored on writing.
    QString text(const QString &name) const;
    void setText(const QString &name, const QString &value);

private:
    const Layout *m_layout;
    QByteArray m_bytes;
};

// Whether two records of one layout hold the same texts in every field: the bytes a field
// leaves unused (after its length or its ending zero) do not count, as no reader looks at
// them and copies of the program leave different things there.
bool sameContent(RecordView a, RecordView b);

// Attachment fields: the three file names and descriptions every record carries, shown
// on the cards as hidden labels.
bool isAttachmentField(const QString &name);

// The certificate's six memo fields, in the card's order: they keep their line breaks,
// every other text of a record is one line.
inline constexpr const char *kCertificateMemos[] = {"txtMetodi",    "txtMotivazione", "txtAllegati",
                                                    "txtTempoDocu", "txtTempoCamp",   "txtConclusioni"};
bool isCertificateMemo(const QString &name);

// Flag fields hold exactly one of these two texts.
inline const QString kYes = QStringLiteral("S\u00ec");
inline const QString kNo = QStringLiteral("No");
// The same two as stored (Windows-1252), for lists that compare bytes.
inline constexpr QByteArrayView kYesStored("S\xec", 2);
inline constexpr QByteArrayView kNoStored("No", 2);

} // namespace records
