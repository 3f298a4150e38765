#pragma once
// The settings file "Tirello.ini" in the program folder: the laboratory block shared by
// the test report and certificate cards, the numbering options of each document kind and
// the printing option of test reports. Every call reads or writes the file afresh;
// nothing is kept in memory.
//
// Reading a missing file, section or key gives the defaults, silently. A file that is
// there but cannot be read, and every failed write, throw IniError; a failed write
// leaves the file as it was.

#include "inifile.h"
#include "storage/values.h"

#include <QList>

#include <QString>

#include <optional>

namespace settings {

inline const QString kFileName = QStringLiteral("Tirello.ini");
// ProgramFolder + "Tirello.ini".
QString filePath();

enum class DocumentKind { Reports, Certificates };

// ---- Laboratory ----------------------------------------------------------------------

inline const QString kLaboratorySection = QStringLiteral("Laboratorio");

struct Laboratory {
    // Shared by both cards.
    QString denominazione; // "Denominazione"
    QString indirizzo;     // "Indirizzo"
    QString comune;        // "Comune": postcode, town and province
    QString partita;       // "Partita": VAT number
    QString codice;        // "Codice": tax code
    QString email;         // "Email"
    QString telefono;      // "Telefono"
    QString libero;        // "Libero": free field
    // Kept by the test report card only.
    QString responsabile;  // "Responsabile": head of the laboratory
    // Kept by the certificate card only.
    QString chimico;       // "Chimico": chemist in charge
    QString ordine;        // "Ordine": the chemist's professional register

    bool operator==(const Laboratory &) const = default;
};

// The card fields that show the block on a kind's card: the eight shared ones, then
// txtResponsabile (reports) or txtChimico and txtOrdine (certificates).
struct LaboratoryField {
    const char *field;
    QString Laboratory::*member;
};
QList<LaboratoryField> laboratoryFields(DocumentKind kind);
// The block as a card shows it (field name -> text), and back, trimmed.
records::Values laboratoryValues(const Laboratory &lab, DocumentKind kind);
Laboratory laboratoryFrom(const records::Values &card, DocumentKind kind);

// Every key of the block, empty where missing.
Laboratory readLaboratory(const QString &path);
// The keys the kind's card keeps, each trimmed, in this order: the eight shared keys,
// then "Responsabile" (reports) or "Chimico" and "Ordine" (certificates). The other
// kind's keys are left as they are. All of them are stored, or none.
void writeLaboratory(const QString &path, DocumentKind kind, const Laboratory &lab);

// ---- Numbering -----------------------------------------------------------------------

inline const QString kStartKey = QStringLiteral("Inizio");
inline const QString kYearKey = QStringLiteral("Indicazione Anno Solare");
inline const QString kYes = QStringLiteral("S\u00ec");
inline const QString kNo = QStringLiteral("No");

// "Numerazione Rapporti" or "Numerazione Certificati".
QString numberingSection(DocumentKind kind);

struct Numbering {
    QString start = QStringLiteral("1"); // "Inizio", trimmed; "1" when missing or empty
    bool withYear = false;               // "Indicazione Anno Solare" is exactly "Sì"

    bool operator==(const Numbering &) const = default;
};

Numbering readNumbering(const QString &path, DocumentKind kind);
// "Inizio" (trimmed), then "Indicazione Anno Solare" ("Sì" or "No"), in the kind's
// section only; both or neither.
void writeNumbering(const QString &path, DocumentKind kind, const Numbering &numbering);

// ---- Printing of test reports --------------------------------------------------------

// Whether the printed report marks the results out of their limits. The key is absent
// until the user sets the option, which then reads as off.
inline const QString kReportPrintSection = QStringLiteral("Stampa Rapporti");
inline const QString kHighlightKey = QStringLiteral("Evidenzia risultati fuori limite");

// Only the exact "Sì" (blanks around aside) is on.
bool readHighlightOutOfLimit(const QString &path);
// "Sì" or "No", in its section only.
void writeHighlightOutOfLimit(const QString &path, bool on);

// The number proposed for a new document: start + count (count = the records already in
// the open archive), written without leading zeros, followed by "/" and the four-digit
// year when withYear. A start that is empty after trimming counts as 1. Empty when the
// start is not a whole number (or the sum does not fit).
std::optional<QString> nextNumber(const QString &start, int count, bool withYear, int year);

} // namespace settings
