// The settings file from arbitrary bytes: read every setting, write the laboratory block
// and the numbering back as a card would after "Salva" without changes, read again.
// What was written reads back as written, and every other key of every section keeps
// its value.

#include "fuzzsupport.h"

#include "storage/settings.h"
#include "storage/textcodec.h"

#include <QDate>
#include <QSet>
#include <QStringDecoder>

namespace {

// The names in the file, section by section: what a person editing it would see. Only
// used to know which keys to ask the program for.
QList<std::pair<QString, QString>> names(const QByteArray &bytes, bool *fits = nullptr)
{
    QString all;
    const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom)) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        all = utf8.decode(bytes.mid(3));
        if (utf8.hasError())
            all = text::fromCp1252(bytes.mid(3));
    } else {
        all = text::fromCp1252(bytes);
    }
    if (fits)
        *fits = text::fromCp1252(text::toCp1252(all)) == all;
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    auto strip = [](QString s) {
        while (!s.isEmpty() && (s.front() == u' ' || s.front() == u'\t'))
            s.remove(0, 1);
        while (!s.isEmpty() && (s.back() == u' ' || s.back() == u'\t'))
            s.chop(1);
        return s;
    };
    QList<std::pair<QString, QString>> out;
    QString section;
    bool inSection = false;
    for (const QString &line : all.split(u'\n')) {
        const QString s = strip(line);
        if (s.startsWith(u'[')) {
            const qsizetype close = s.indexOf(u']');
            section = strip(close < 0 ? s.mid(1) : s.mid(1, close - 1));
            inSection = true;
        } else if (inSection && !s.startsWith(u';') && s.indexOf(u'=') > 0) {
            out.append({section, strip(s.left(s.indexOf(u'=')))});
        }
    }
    return out;
}

bool fitsCodePage(const QString &s)
{
    return text::fromCp1252(text::toCp1252(s)) == s;
}

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace settings;
    const QString path = fuzz::scratchDir() + u'/' + kFileName;
    const QString original = fuzz::scratchDir() + QStringLiteral("/Prima.ini");
    const QByteArray contents = fuzz::bytes(data, size);
    fuzz::writeFile(path, contents);
    fuzz::writeFile(original, contents);

    // Everything the file says before: the program's own reading of every key in it.
    bool fitsWhole = true;
    QList<std::pair<QString, QString>> keys = names(contents, &fitsWhole);
    if (keys.size() > 64)
        keys.resize(64);
    QStringList before;
    for (const auto &[section, key] : keys)
        before.append(ini::read(path, section, key));
    const Laboratory lab = readLaboratory(path);
    const DocumentKind kind = size % 2 ? DocumentKind::Reports : DocumentKind::Certificates;
    const DocumentKind other = size % 2 ? DocumentKind::Certificates : DocumentKind::Reports;
    const Numbering numbering = readNumbering(path, kind);
    const Numbering otherNumbering = readNumbering(path, other);
    for (const Numbering &n : {numbering, otherNumbering})
        if (const auto next = nextNumber(n.start, 7, n.withYear, 2026))
            FUZZ_CHECK(!next->isEmpty());

    writeLaboratory(path, kind, lab);
    writeNumbering(path, kind, numbering);

    // The file now is Windows-1252 text: compare what that code page can hold.
    const Laboratory labAfter = readLaboratory(path);
    const QList<LaboratoryField> written = laboratoryFields(kind);
    for (const LaboratoryField &f : laboratoryFields(DocumentKind::Reports) + laboratoryFields(DocumentKind::Certificates)) {
        const QString was = lab.*f.member;
        if (!fitsCodePage(was))
            continue;
        bool isWritten = false;
        for (const LaboratoryField &w : written)
            isWritten = isWritten || w.member == f.member;
        FUZZ_CHECK(labAfter.*f.member == (isWritten ? text::trim(was) : was));
    }
    if (fitsCodePage(numbering.start))
        FUZZ_CHECK(readNumbering(path, kind) == numbering);
    if (fitsCodePage(otherNumbering.start))
        FUZZ_CHECK(readNumbering(path, other) == otherNumbering);

    // Every other key of every section keeps its value, and no key turns up that the
    // file did not have: the names of both files, asked of both. (Not for text the code
    // page cannot hold: written back as '?', such names are new names.)
    const QList<std::pair<QString, QString>> keysAfter = names(fuzz::readFile(path));
    for (qsizetype i = 0; fitsWhole && i < keysAfter.size() && i < 64; ++i) {
        keys.append(keysAfter[i]);
        before.append(ini::read(original, keysAfter[i].first, keysAfter[i].second));
    }
    QStringList writtenKeys{QStringLiteral("Denominazione"), QStringLiteral("Indirizzo"), QStringLiteral("Comune"),
                            QStringLiteral("Partita"),       QStringLiteral("Codice"),    QStringLiteral("Email"),
                            QStringLiteral("Telefono"),      QStringLiteral("Libero"),
                            kind == DocumentKind::Reports ? QStringLiteral("Responsabile") : QStringLiteral("Chimico"),
                            QStringLiteral("Ordine")};
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString &section = keys[i].first;
        const QString &key = keys[i].second;
        if (!fitsCodePage(section) || !fitsCodePage(key) || !fitsCodePage(before[i]))
            continue;
        const bool labKey = same(section, kLaboratorySection)
            && std::any_of(writtenKeys.begin(), writtenKeys.end(), [&](const QString &k) {
                   return same(k, key) && (kind == DocumentKind::Certificates || !same(k, QStringLiteral("Ordine")));
               });
        const bool numberingKey = same(section, numberingSection(kind)) && (same(key, kStartKey) || same(key, kYearKey));
        if (labKey || numberingKey)
            continue;
        FUZZ_CHECK(ini::read(path, section, key) == before[i]);
    }
    return 0;
}
