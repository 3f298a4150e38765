#pragma once
// The data files the program keeps in its folder, by name: the four archives, the logo,
// and (named beside their own code) the settings file, the password file and the
// attachment folder. Whatever lists or copies the program's data starts here.

#include "storage/records.h"

#include <QString>

#include <optional>

namespace programfiles {

inline const QString kClients = QStringLiteral("Clienti.pro");
inline const QString kModels = QStringLiteral("Parametri_Chimici.pro");
// Yearly archives: the four-digit year and the extension, "2024.rdp".
inline const QString kReportsExtension = QStringLiteral(".rdp");
inline const QString kCertificatesExtension = QStringLiteral(".cda");
inline const QString kLogo = QStringLiteral("Logo.bmp");

enum class ArchiveKind { Clients, Models, Reports, Certificates };

struct Archive {
    ArchiveKind kind;
    const records::Layout *layout;
    int year = 0; // yearly archives only
};

// The archive a file name (without folder) belongs to; none for any other name.
std::optional<Archive> archiveOf(const QString &fileName);

// Yearly archives carry document numbers that are meant to be unique in their year.
inline bool isYearly(ArchiveKind kind)
{
    return kind == ArchiveKind::Reports || kind == ArchiveKind::Certificates;
}

} // namespace programfiles
