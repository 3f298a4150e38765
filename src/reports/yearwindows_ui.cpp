#include "yearwindows_ui.h"

#include "storage/programfiles.h"

namespace reports {

YearWindow::Description yearWindow()
{
    return {QStringLiteral("frmMenuRapporti"),
            QStringLiteral(" Tirello - Rapporti di prova"),
            QStringLiteral(":/img/reports/bannerRapporti.svg"),
            QStringLiteral("Rapporti di prova"),
            QStringLiteral("In questo ambiente \u00e8 possibile emettere e archiviare i rapporti di prova richiesti "
                           "dai propri clienti."),
            QStringLiteral("Archivio rapporti di prova"),
            programfiles::kReportsExtension,
            QStringLiteral("rapporti"),
            QStringLiteral(" Tirello - Rapporti di prova anno "),
            &help::reports};
}

} // namespace reports

namespace certificates {

YearWindow::Description yearWindow()
{
    return {QStringLiteral("frmMenuCertificati"),
            QStringLiteral(" Tirello - Certificati di analisi chimica"),
            QStringLiteral(":/img/certificates/bannerCertificati.svg"),
            QStringLiteral("Certificati di analisi"),
            QStringLiteral("In questo ambiente \u00e8 possibile emettere e archiviare i certificati di analisi chimica "
                           "richiesti dai propri clienti."),
            QStringLiteral("Archivio certificati di analisi chimica"),
            programfiles::kCertificatesExtension,
            QStringLiteral("certificati"),
            QStringLiteral(" Tirello - Certificati di analisi chimica anno "),
            &help::certificates};
}

} // namespace certificates
