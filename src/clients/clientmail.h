#pragma once
// The client a document is sent to by e-mail: found in the client archive by the name
// (and VAT number) on the document, with the addresses of its "E-mail" field. No windows.

#include <QString>
#include <QStringList>

namespace clients {

// The plain addresses of an e-mail field: the parts between ";" or ",", trimmed, that are
// one address each ("name@domain": no blanks, none of the characters that would end an
// address or start a mail link's options, not starting with "-"). Others are left out.
QStringList mailAddresses(const QString &field);

// The addresses to send a document to: those of the clients in the archive whose name is
// the document's (trimmed, A-Z folded) and whose VAT number, when both are filled, is the
// document's too; a client whose VAT number is the document's goes before one that has
// none. No client, none with an address, or clients with different addresses (one could
// be the wrong one): none. A missing archive is not made. Throws ArchiveError when the
// archive cannot be read.
QStringList mailRecipients(const QString &archivePath, const QString &name, const QString &vat);

} // namespace clients
