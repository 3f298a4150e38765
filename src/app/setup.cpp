// Lays out a portable program folder: the first-installation password file (only when
// missing: a changed password is never overwritten) and the manual "Guida.pdf".

#include "storage/crypt.h"
#include "storage/inifile.h"
#include "storage/safesave.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "uso: tirello-setup <cartella del programma>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "impossibile creare la cartella %s\n", argv[1]);
        return 1;
    }

    const QString passwordFile = folder.filePath(password::kFileName);
    if (!QFile::exists(passwordFile)) {
        try {
            password::writeStored(passwordFile, password::kFirstPassword);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }

    QFile source(QStringLiteral(":/docs/guida.html"));
    if (!source.open(QIODevice::ReadOnly))
        return 1;
    QTextDocument manual;
    manual.setHtml(QString::fromUtf8(source.readAll()));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QStringLiteral("Tirello - Guida all'utilizzo del software"));
        pdf.setCreator(QStringLiteral("Tirello"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
        manual.print(&pdf);
    }
    QString error;
    if (!safesave::save(folder.filePath(QStringLiteral("Guida.pdf")), buffer.data(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
