#include "certsheet.h"

#include "reports/reportsheet.h"

namespace certificates {

namespace {

QString withLineFeeds(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace

records::Values sheetTexts(const records::Values &card)
{
    // The head is the test report's: laboratory, date, analysis, client and sample.
    records::Values t = reports::documentHead(card);
    const auto v = [&card](const char *field) { return card.trimmed(QLatin1String(field)); };
    t.set(QStringLiteral("txtNumRap"), QStringLiteral("CERTIFICATO DI ANALISI CHIMICA N. ") + v("txtNumRap"));
    for (const char *memo : records::kCertificateMemos)
        t.set(QLatin1String(memo), withLineFeeds(v(memo)));
    t.set(QStringLiteral("txtChimico"), v("txtChimico"));
    t.set(QStringLiteral("txtOrdine"), v("txtOrdine"));
    return t;
}

const QList<std::pair<QString, QString>> &wholeBoxes()
{
    static const QList<std::pair<QString, QString>> boxes{
        {QStringLiteral("txtCampione"), QStringLiteral("Campione analizzato")},
        {QStringLiteral("txtMetodi"), QStringLiteral("Metodi di studio, di esecuzione e di analisi seguiti")},
        {QStringLiteral("txtMotivazione"), QStringLiteral("Motivazione delle scelte a base delle procedure seguite")},
        {QStringLiteral("txtAllegati"), QStringLiteral("Rapporti di prova e altri documenti allegati")},
        {QStringLiteral("txtTempoDocu"), QStringLiteral("Tempo di conservazione della documentazione")},
        {QStringLiteral("txtTempoCamp"), QStringLiteral("Tempo di conservazione del campione di controllo")},
        {QStringLiteral("txtConclusioni"), QStringLiteral("Conclusioni e giudizio tecnico")},
    };
    return boxes;
}

} // namespace certificates
