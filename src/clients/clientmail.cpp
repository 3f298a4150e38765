#include "clientmail.h"

#include "storage/recordfile.h"
#include "storage/records.h"
#include "storage/textcodec.h"

#include <QFileInfo>

namespace clients {

QStringList mailAddresses(const QString &field)
{
    static const QString refused = QStringLiteral("<>()[]\\\",;:?&=%/#'`|{}^~!$*");
    QStringList out;
    for (const QString &raw : field.split(u';').join(u',').split(u',')) {
        const QString part = text::trim(raw);
        const qsizetype at = part.indexOf(u'@');
        bool plain = at > 0 && at == part.lastIndexOf(u'@') && at < part.size() - 1 && !part.startsWith(u'-')
            && !part.endsWith(u'.') && part.indexOf(u'.', at) > at + 1;
        for (QChar c : part)
            plain = plain && c.unicode() > 32 && c.unicode() != 127 && !refused.contains(c);
        if (plain && !out.contains(part))
            out.append(part);
    }
    return out;
}

QStringList mailRecipients(const QString &archivePath, const QString &name, const QString &vat)
{
    const QString wantedName = text::upperAscii(text::trim(name));
    const QString wantedVat = text::trim(vat);
    if (wantedName.isEmpty() || !QFileInfo(archivePath).isFile())
        return {};
    const records::Layout &layout = records::client();
    const int nameField = layout.indexOf(QStringLiteral("txtCliente"));
    const int vatField = layout.indexOf(QStringLiteral("txtPartitaIva"));
    const int mailField = layout.indexOf(QStringLiteral("txtEmail"));
    // The addresses of the clients matched by name and VAT number, and of those matched by
    // name alone (one of the two VAT numbers empty): the first, when any, are the surer.
    QList<QStringList> byVat, byName;
    archive::scan(archivePath, layout.size(), [&](int, QByteArrayView bytes) {
        const records::RecordView client(layout, bytes.data());
        if (text::upperAscii(client.text(nameField)) != wantedName)
            return;
        const QString clientVat = client.text(vatField);
        const bool vatKnown = !wantedVat.isEmpty() && !clientVat.isEmpty();
        if (vatKnown && clientVat != wantedVat)
            return;
        QList<QStringList> &found = vatKnown ? byVat : byName;
        const QStringList addresses = mailAddresses(client.text(mailField));
        if (!addresses.isEmpty() && !found.contains(addresses))
            found.append(addresses);
    });
    const QList<QStringList> &found = byVat.isEmpty() ? byName : byVat;
    return found.size() == 1 ? found.first() : QStringList();
}

} // namespace clients
