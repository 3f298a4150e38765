#include "programfiles.h"

namespace programfiles {

std::optional<Archive> archiveOf(const QString &fileName)
{
    if (fileName == kClients)
        return Archive{ArchiveKind::Clients, &records::client()};
    if (fileName == kModels)
        return Archive{ArchiveKind::Models, &records::model()};
    const auto yearly = [&](const QString &extension) -> int {
        if (fileName.size() != 4 + extension.size() || !fileName.endsWith(extension))
            return -1;
        for (int i = 0; i < 4; ++i)
            if (fileName.at(i) < u'0' || fileName.at(i) > u'9')
                return -1;
        return fileName.left(4).toInt();
    };
    if (const int year = yearly(kReportsExtension); year >= 0)
        return Archive{ArchiveKind::Reports, &records::report(), year};
    if (const int year = yearly(kCertificatesExtension); year >= 0)
        return Archive{ArchiveKind::Certificates, &records::certificate(), year};
    return std::nullopt;
}

} // namespace programfiles
