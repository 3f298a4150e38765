#include "settings.h"

#include "programfolder.h"
#include "textcodec.h"

#include <QStringList>
#include <QtNumeric>

#include <limits>

namespace settings {
namespace {

const QStringList kSharedKeys = {
    QStringLiteral("Denominazione"), QStringLiteral("Indirizzo"), QStringLiteral("Comune"),
    QStringLiteral("Partita"),       QStringLiteral("Codice"),    QStringLiteral("Email"),
    QStringLiteral("Telefono"),      QStringLiteral("Libero"),
};
const QString kResponsabile = QStringLiteral("Responsabile");
const QString kChimico = QStringLiteral("Chimico");
const QString kOrdine = QStringLiteral("Ordine");

// The shared fields in the order of kSharedKeys.
template <typename Lab>
auto sharedFields(Lab &lab)
{
    return QList{&lab.denominazione, &lab.indirizzo, &lab.comune, &lab.partita,
                 &lab.codice,        &lab.email,     &lab.telefono, &lab.libero};
}

// Optional sign and decimal digits, nothing else.
std::optional<qint64> wholeNumber(const QString &text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (value > (std::numeric_limits<qint64>::max() - (c - u'0')) / 10)
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return negative ? -value : value;
}

} // namespace

QString filePath()
{
    return ProgramFolder::file(kFileName);
}

Laboratory readLaboratory(const QString &path)
{
    const QStringList values =
        ini::readMany(path, kLaboratorySection, kSharedKeys + QStringList{kResponsabile, kChimico, kOrdine});
    Laboratory lab;
    const auto shared = sharedFields(lab);
    for (qsizetype i = 0; i < shared.size(); ++i)
        *shared[i] = values[i];
    lab.responsabile = values[shared.size()];
    lab.chimico = values[shared.size() + 1];
    lab.ordine = values[shared.size() + 2];
    return lab;
}

void writeLaboratory(const QString &path, DocumentKind kind, const Laboratory &lab)
{
    QList<std::pair<QString, QString>> values;
    const auto shared = sharedFields(lab);
    for (qsizetype i = 0; i < shared.size(); ++i)
        values.append({kSharedKeys[i], text::trim(*shared[i])});
    if (kind == DocumentKind::Reports) {
        values.append({kResponsabile, text::trim(lab.responsabile)});
    } else {
        values.append({kChimico, text::trim(lab.chimico)});
        values.append({kOrdine, text::trim(lab.ordine)});
    }
    ini::writeMany(path, kLaboratorySection, values);
}

QString numberingSection(DocumentKind kind)
{
    return kind == DocumentKind::Reports ? QStringLiteral("Numerazione Rapporti")
                                         : QStringLiteral("Numerazione Certificati");
}

Numbering readNumbering(const QString &path, DocumentKind kind)
{
    const QStringList values = ini::readMany(path, numberingSection(kind), {kStartKey, kYearKey});
    Numbering n;
    const QString start = text::trim(values[0]);
    if (!start.isEmpty())
        n.start = start;
    n.withYear = text::trim(values[1]) == kYes;
    return n;
}

void writeNumbering(const QString &path, DocumentKind kind, const Numbering &numbering)
{
    ini::writeMany(path, numberingSection(kind),
                   {{kStartKey, text::trim(numbering.start)}, {kYearKey, numbering.withYear ? kYes : kNo}});
}

bool readHighlightOutOfLimit(const QString &path)
{
    return text::trim(ini::read(path, kReportPrintSection, kHighlightKey)) == kYes;
}

void writeHighlightOutOfLimit(const QString &path, bool on)
{
    ini::write(path, kReportPrintSection, kHighlightKey, on ? kYes : kNo);
}

std::optional<QString> nextNumber(const QString &start, int count, bool withYear, int year)
{
    const QString trimmed = text::trim(start);
    const std::optional<qint64> first = trimmed.isEmpty() ? qint64(1) : wholeNumber(trimmed);
    if (!first || count < 0)
        return std::nullopt;
    qint64 n = 0;
    if (qAddOverflow(*first, qint64(count), &n))
        return std::nullopt;
    QString number = QString::number(n);
    if (withYear)
        number += u'/' + QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
    return number;
}

QList<LaboratoryField> laboratoryFields(DocumentKind kind)
{
    QList<LaboratoryField> fields{
        {"txtLaboratorio", &Laboratory::denominazione}, {"txtIndirizzoLab", &Laboratory::indirizzo},
        {"txtCittaLab", &Laboratory::comune},           {"txtPartitaIvaLab", &Laboratory::partita},
        {"txtCodFiscLab", &Laboratory::codice},         {"txtEmailLab", &Laboratory::email},
        {"txtTelLab", &Laboratory::telefono},           {"txtLiberoLab", &Laboratory::libero},
    };
    if (kind == DocumentKind::Reports) {
        fields.append({"txtResponsabile", &Laboratory::responsabile});
    } else {
        fields.append({"txtChimico", &Laboratory::chimico});
        fields.append({"txtOrdine", &Laboratory::ordine});
    }
    return fields;
}

records::Values laboratoryValues(const Laboratory &lab, DocumentKind kind)
{
    records::Values v;
    for (const LaboratoryField &f : laboratoryFields(kind))
        v.set(QString::fromLatin1(f.field), lab.*f.member);
    return v;
}

Laboratory laboratoryFrom(const records::Values &card, DocumentKind kind)
{
    Laboratory lab;
    for (const LaboratoryField &f : laboratoryFields(kind))
        lab.*f.member = card.trimmed(QString::fromLatin1(f.field));
    return lab;
}

} // namespace settings
