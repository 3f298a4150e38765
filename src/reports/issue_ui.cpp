#include "issue_ui.h"

#include "clients/clientmail.h"
#include "storage/issued.h"
#include "storage/log.h"
#include "storage/programfiles.h"
#include "storage/programfolder.h"
#include "storage/textcodec.h"
#include "ui/card.h"
#include "ui/seams.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace issuing {
namespace {

// "il rapporto di prova", "il certificato di analisi"
QString withArticle(settings::DocumentKind kind)
{
    return QStringLiteral("il ") + text::lowerAscii(issued::kindWords(kind));
}

} // namespace

QString noNumberWarning(settings::DocumentKind kind)
{
    return QStringLiteral("Attenzione: per emettere %1 in PDF \u00e8 necessario indicarne il numero e salvarlo in "
                          "archivio.\r\n\r\nInserire il numero, premere Salva e poi di nuovo Salva PDF.")
        .arg(withArticle(kind));
}

QString saveFirstWarning(settings::DocumentKind kind)
{
    return QStringLiteral("Attenzione: prima di emettere %1 in PDF \u00e8 necessario salvarlo in archivio, cos\u00ec "
                          "come appare sullo schermo.\r\n\r\nPremere Salva e poi di nuovo Salva PDF.")
        .arg(withArticle(kind));
}

QString doneQuestion(settings::DocumentKind kind, const QString &number, const QString &path, int revision)
{
    const QString what = issued::title(kind, number);
    const QString saved = revision == 0
        ? QStringLiteral("%1 \u00e8 stato salvato in PDF nel file:").arg(what)
        : QStringLiteral("%1 era gi\u00e0 stato emesso: questa revisione \u00e8 stata salvata in PDF nel file:")
              .arg(what);
    return saved + QStringLiteral("\r\n\r\n") + QDir::toNativeSeparators(path)
        + QStringLiteral("\r\n\r\nSi vuole inviarlo per posta elettronica?");
}

QString mailFailedWarning(const QString &path)
{
    return QStringLiteral("Attenzione: non \u00e8 stato possibile avviare il programma di posta elettronica.\r\n\r\n"
                          "Il documento resta salvato nel file:\r\n\r\n")
        + QDir::toNativeSeparators(path);
}

void issue(CardWindow *card, settings::DocumentKind kind, QWidget *window, const printing::Document &document)
{
    const records::Values values = card->values();
    const QString number = values.trimmed(QStringLiteral("txtNumRap"));
    if (number.isEmpty()) {
        Messages::warning(window, noNumberWarning(kind));
        return;
    }
    if (!card->showsStoredRecord()) {
        Messages::warning(window, saveFirstWarning(kind));
        return;
    }
    const QString client = values.trimmed(QStringLiteral("txtCliente"));
    const std::optional<programfiles::Archive> archive =
        programfiles::archiveOf(QFileInfo(card->archivePath()).fileName());

    issued::Issued done;
    try {
        if (!archive || !programfiles::isYearly(archive->kind))
            throw issued::IssueError("the card's archive is no yearly archive");
        render::PdfProperties properties;
        properties.title = issued::title(kind, number);
        properties.subject = client;
        properties.author = values.trimmed(QStringLiteral("txtLaboratorio"));
        const std::optional<QByteArray> pdf = printing::archivalPdf(window, document, properties);
        if (!pdf)
            return; // the user would not have texts cut
        done = issued::issue(ProgramFolder::path(), {kind, archive->year, number, client, *pdf}, Clock::now());
    } catch (const std::exception &e) {
        qCWarning(lcTirello) << "issuing" << issued::title(kind, number) << "failed:" << e.what();
        Messages::error(window, kFailed);
        return;
    }

    if (!Messages::question(window, doneQuestion(kind, number, done.path, done.revision)))
        return;
    QStringList to;
    try {
        to = clients::mailRecipients(ProgramFolder::file(programfiles::kClients), client,
                                     values.trimmed(QStringLiteral("txtPartitaIva")));
    } catch (const std::exception &e) {
        // The user types the address.
        qCWarning(lcTirello) << "client archive not read for the recipient:" << e.what();
    }
    const QPointer<QWidget> owner(card);
    const QString path = done.path;
    Mail::compose({to, issued::title(kind, number), path},
                  [owner, path] { Messages::warning(owner, mailFailedWarning(path)); });
}

PrintWindow::Issue issuer(CardWindow *card, settings::DocumentKind kind)
{
    return [card, kind](QWidget *window, const printing::Document &document) { issue(card, kind, window, document); };
}

} // namespace issuing
