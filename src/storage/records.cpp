#include "records.h"

#include "fields.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace records {
namespace {

struct Spec {
    std::string_view name;
    int capacity;
};

// A run of fields. With rows > 1 the run repeats row by row and each name gets the
// row number as two digits ("txtParametro01".."txtParametro30").
struct Block {
    std::span<const Spec> fields;
    int rows = 1;
};

template <size_t N>
constexpr int sizeOf(const std::array<Block, N> &blocks)
{
    int size = 0;
    for (const Block &b : blocks)
        for (const Spec &f : b.fields)
            size += (f.capacity + 1) * b.rows;
    return size;
}

template <size_t N>
QList<Field> expand(const std::array<Block, N> &blocks)
{
    QList<Field> out;
    int offset = 0;
    for (const Block &b : blocks) {
        for (int row = 1; row <= b.rows; ++row) {
            for (const Spec &f : b.fields) {
                QString name = QString::fromLatin1(f.name.data(), qsizetype(f.name.size()));
                if (b.rows > 1)
                    name += QStringLiteral("%1").arg(row, 2, 10, QLatin1Char('0'));
                out.append(Field{name, offset, f.capacity});
                offset += f.capacity + 1;
            }
        }
    }
    return out;
}

constexpr Spec kAttachments[] = {
    {"lblFile01", 250}, {"lblFile02", 250}, {"lblFile03", 250},
    {"lblDesc01", 250}, {"lblDesc02", 250}, {"lblDesc03", 250},
};

// ---- TSchedaCliente -------------------------------------------------------------
constexpr Spec kClientFields[] = {
    {"txtCliente", 50},      {"txtDataNasc", 30},     {"txtComuneNasc", 50},
    {"txtProvNasc", 2},      {"txtSesso", 1},         {"txtRecapito", 50},
    {"txtIndirizzoRes", 50}, {"txtProvRes", 2},       {"txtComuneRes", 50},
    {"txtCapRes", 5},        {"txtEstremi", 250},     {"txtTelCasa", 30},
    {"txtTelUff", 30},       {"txtTelCel", 30},       {"txtFax", 50},
    {"txtEmail", 50},        {"txtCodFisc", 16},      {"txtCarta", 30},
    {"txtScadeCarta", 30},   {"txtPartitaIva", 11},   {"txtIban", 27},
    {"txtDocumento", 120},   {"txtOccupazione", 50},  {"txtCivile", 50},
    {"txtTitoli", 120},      {"txtProdotti", 120},    {"txtZona", 50},
    {"txtQuestioni", 250},   {"txtNote", 250},        {"chkRicontatta", 2},
};
constexpr std::array<Block, 2> kClient{{{kClientFields}, {kAttachments}}};
static_assert(sizeOf(kClient) == 3392);

// ---- TSchedaModello -------------------------------------------------------------
constexpr Spec kModelHead[] = {{"txtAnalisi", 120}, {"txtCampione", 120}};
constexpr Spec kModelRow[] = {
    {"txtParametro", 120}, {"txtMetodo", 120}, {"txtUM", 30}, {"txtLimite", 30}};
constexpr std::array<Block, 3> kModel{{{kModelHead}, {kModelRow, 30}, {kAttachments}}};
static_assert(sizeOf(kModel) == 10868);

// ---- TSchedaRapporto and TSchedaCertificato share their first 28 fields' shape ----
#define TIRELLO_DOCUMENT_HEAD                                                         \
    {"txtLaboratorio", 120}, {"txtIndirizzoLab", 120}, {"txtCittaLab", 120},          \
    {"txtPartitaIvaLab", 11}, {"txtCodFiscLab", 16}, {"txtEmailLab", 50},             \
    {"txtTelLab", 50}, {"txtLiberoLab", 250}, {"txtCliente", 50},                     \
    {"txtIndirizzoRes", 50}, {"txtCapRes", 5}, {"txtProvRes", 2},                     \
    {"txtComuneRes", 50}, {"txtPartitaIva", 11}, {"txtCodFisc", 16},                  \
    {"txtNumRap", 30}, {"txtData", 10}, {"txtAnalisi", 120}, {"txtCampione", 120},    \
    {"txtLuogoPrel", 120}, {"txtDataPrel", 10}, {"txtCura", 120},                     \
    {"txtContenitore", 120}, {"txtDataRic", 10}, {"txtOraRic", 5},                    \
    {"txtDataInizio", 10}, {"txtDataFine", 10}

constexpr Spec kReportHead[] = {TIRELLO_DOCUMENT_HEAD, {"txtResponsabile", 50}};
// The result rows are stored column by column: 30 parameters, then 30 methods, ...
constexpr Spec kReportParametro[] = {{"txtParametro", 120}};
constexpr Spec kReportMetodo[] = {{"txtMetodo", 120}};
constexpr Spec kReportUM[] = {{"txtUM", 30}};
constexpr Spec kReportRisultato[] = {{"txtRisultato", 30}};
constexpr Spec kReportLimite[] = {{"txtLimite", 30}};
constexpr Spec kReportTail[] = {{"txtOsservazioni", 250}, {"chkConsegnato", 2}};
constexpr std::array<Block, 8> kReport{{
    {kReportHead}, {kReportParametro, 30}, {kReportMetodo, 30}, {kReportUM, 30},
    {kReportRisultato, 30}, {kReportLimite, 30}, {kReportTail}, {kAttachments},
}};
static_assert(sizeOf(kReport) == 13494);

constexpr Spec kCertificateFields[] = {
    TIRELLO_DOCUMENT_HEAD,
    {"txtChimico", 50},      {"txtOrdine", 50},      {"txtMetodi", 5000},
    {"txtMotivazione", 5000}, {"txtAllegati", 5000}, {"txtTempoDocu", 3000},
    {"txtTempoCamp", 3000},  {"txtConclusioni", 5000}, {"chkConsegnato", 2},
};
#undef TIRELLO_DOCUMENT_HEAD
constexpr std::array<Block, 2> kCertificate{{{kCertificateFields}, {kAttachments}}};
static_assert(sizeOf(kCertificate) == 29250);

} // namespace

Layout::Layout(QString typeName, Encoding encoding, QList<Field> fields)
    : m_typeName(std::move(typeName)), m_encoding(encoding), m_fields(std::move(fields))
{
    for (int i = 0; i < m_fields.size(); ++i)
        m_index.insert(m_fields[i].name, i);
    if (!m_fields.isEmpty())
        m_size = m_fields.last().offset + m_fields.last().capacity + 1;
}

const Field *Layout::find(const QString &name) const
{
    const int i = indexOf(name);
    return i < 0 ? nullptr : &m_fields[i];
}

const Layout &client()
{
    static const Layout layout(QStringLiteral("TSchedaCliente"), Encoding::ShortText, expand(kClient));
    return layout;
}

const Layout &model()
{
    static const Layout layout(QStringLiteral("TSchedaModello"), Encoding::ShortText, expand(kModel));
    return layout;
}

const Layout &report()
{
    static const Layout layout(QStringLiteral("TSchedaRapporto"), Encoding::ShortText, expand(kReport));
    return layout;
}

const Layout &certificate()
{
    static const Layout layout(QStringLiteral("TSchedaCertificato"), Encoding::ZeroText,
                               expand(kCertificate));
    return layout;
}

Record::Record(const Layout &layout) : m_layout(&layout), m_bytes(layout.size(), '\0') {}

Record::Record(const Layout &layout, QByteArray bytes) : m_layout(&layout), m_bytes(std::move(bytes))
{
    if (m_bytes.size() != layout.size())
        m_bytes.resize(layout.size(), '\0');
}

QString RecordView::text(int field) const
{
    const Field &f = m_layout->fields().at(field);
    const char *p = m_bytes + f.offset;
    return m_layout->encoding() == Encoding::ShortText ? fields::readShort(p, f.capacity)
                                                       : fields::readZero(p, f.capacity);
}

QString RecordView::text(const QString &name) const
{
    const int i = m_layout->indexOf(name);
    return i < 0 ? QString() : text(i);
}

bool sameContent(RecordView a, RecordView b)
{
    const int n = int(a.layout().fields().size());
    if (&a.layout() != &b.layout())
        return false;
    for (int i = 0; i < n; ++i)
        if (a.stored(i) != b.stored(i))
            return false;
    return true;
}

Record RecordView::toRecord() const
{
    return Record(*m_layout, QByteArray(m_bytes, m_layout->size()));
}

void Record::setText(int field, const QString &value)
{
    const Field &f = m_layout->fields().at(field);
    char *p = m_bytes.data() + f.offset;
    if (m_layout->encoding() == Encoding::ShortText)
        fields::writeShort(p, f.capacity, value);
    else
        fields::writeZero(p, f.capacity, value);
}

QString Record::text(const QString &name) const
{
    return view().text(name);
}

void Record::setText(const QString &name, const QString &value)
{
    const int i = m_layout->indexOf(name);
    if (i >= 0)
        setText(i, value);
}

bool isAttachmentField(const QString &name)
{
    return name.startsWith(QLatin1String("lblFile")) || name.startsWith(QLatin1String("lblDesc"));
}

bool isCertificateMemo(const QString &name)
{
    return std::any_of(std::begin(kCertificateMemos), std::end(kCertificateMemos),
                       [&name](const char *memo) { return name == QLatin1String(memo); });
}

} // namespace records
