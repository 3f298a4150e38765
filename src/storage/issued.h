#pragma once
// Documents issued as PDF files. A test report or certificate issued from its card is
// written once into "Documenti_Emessi/<year of its archive>/" beside the program and never
// changed or removed afterwards: issuing the same number again makes a revision, a file of
// its own ("... rev. 1.pdf"). The register of each year's folder lists every file issued
// there, with the SHA-256 of its bytes, so that years later the laboratory can show that a
// file is exactly the one it sent.
//
// No windows here: the cards issue through this, and tirello-archivi checks, backs up and
// restores what it wrote.

#include "storage/settings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>
#include <stdexcept>

namespace issued {

inline const QString kFolderName = QStringLiteral("Documenti_Emessi");
inline const QString kRegisterName = QStringLiteral("Registro documenti emessi.txt");

// "Rapporto di prova", "Certificato di analisi".
QString kindWords(settings::DocumentKind kind);
// "Rapporto di prova n. 104/2026": the PDF's title and the e-mail's subject.
QString title(settings::DocumentKind kind, const QString &number);

// The number as a file name can hold it on Windows and Linux alike, and the register in its
// code page: "/", "\", the characters Windows refuses in a name (< > : " | ? *), control
// characters and those Windows-1252 lacks each become "-". Trimmed first.
QString numberForFileName(const QString &number);
// "Rapporto di prova 104-2026.pdf"; revision 1 and on: "Rapporto di prova 104-2026 rev. 1.pdf".
QString fileName(settings::DocumentKind kind, const QString &number, int revision = 0);

// programFolder + "Documenti_Emessi/<year>/".
QString yearFolder(const QString &programFolder, int year);
// Whether a folder name is a year's ("2026").
bool isYearName(const QString &name);

// One line of the register: issue date and time, kind, number, client, file name and the
// SHA-256 of the file, separated by tabs.
struct Entry {
    QString date;   // dd/mm/yyyy
    QString time;   // hh:mm:ss
    QString kind;   // kindWords()
    QString number;
    QString client;
    QString fileName;
    QByteArray sha256; // 64 lower-case hexadecimal digits
};

// The line as the register holds it: Windows-1252, ended by CR LF. A tab or line break
// inside a value becomes a blank, so that a line is always one line of seven fields.
QByteArray registerLine(const Entry &entry);
// A line read back, with or without its line end; none when it is not a register line
// (not seven fields, no file name, no SHA-256 of 64 hexadecimal digits).
std::optional<Entry> parseLine(QByteArrayView line);
// The register's lines, in order, without their line ends; a last empty line is dropped.
QList<QByteArray> lines(const QByteArray &registerBytes);

QByteArray sha256Hex(QByteArrayView bytes);

class IssueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Document {
    settings::DocumentKind kind;
    int year;       // of the archive the document belongs to
    QString number; // as on the card
    QString client;
    QByteArray pdf;
};

struct Issued {
    QString path;     // the file written
    QString fileName;
    int revision = 0; // 0: the first issue of the number
    QByteArray sha256;
};

// Writes the PDF under the first free name of the number (the plain name, then rev. 1,
// rev. 2, ...: a name is taken when the folder has a file of that name or the register
// lists it) through the safe save, and appends its line, dated `when`, to the end of the
// register; all in one hold of the register's lock, so that two stations issuing one
// number at once get two names. The year's folder is made when missing. The PDF never
// replaces a file, and nothing that was in the folder is changed or removed. Throws
// IssueError with the cause (English, for diagnosis); the folder is then as it was:
// neither the file nor the line is left.
Issued issue(const QString &programFolder, const Document &document, const QDateTime &when);

} // namespace issued
