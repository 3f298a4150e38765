#pragma once
// The archive check ("verifica"): reads every archive of a program folder and lists what
// is wrong or suspicious in it, by archive and position. It only reads: nothing in the
// folder is changed, and nothing is locked for longer than the reading of one archive
// (its lock file, and a short-lived file that reads the share's clock, are all it makes).

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace archivetool {

struct Finding {
    QString archive;    // file name, "2024.rdp"
    int record = 0;     // 1-based position; 0 for the file as a whole
    qint64 offset = 0;  // byte of the file where the fault lies
    QString field;      // control name of the field, empty for the record or file
    QString message;    // Italian, one line
};

struct ArchiveSummary {
    QString archive;
    qint64 records = 0; // whole records; lines of a register
    // A year's folder of issued documents ("Documenti_Emessi/2026"), checked against its
    // register: a finding's record is then the line of the register, 0 for a file no line
    // names.
    bool issued = false;
    qint64 findings = 0; // all of them, listed or not
    qint64 unlisted = 0; // past the first kListed of the archive: counted only
    bool readable = true;
};

// A badly damaged archive can hold millions of faults: the report lists the first ones
// of each archive and counts the rest.
inline constexpr int kListed = 500;

struct CheckReport {
    QString folder;
    QList<ArchiveSummary> archives; // in name order
    QList<Finding> findings;        // in archive, then file order
    QStringList errors;             // what could not be read at all (Italian)
    // Lock files that a station left behind when it stopped (Italian, one line each): not
    // a fault of the archives, the program takes them over by itself.
    QStringList abandonedLocks;

    bool clean() const { return findings.isEmpty() && errors.isEmpty(); }
    qint64 total() const;
};

// Checks every archive in the folder: the client and model archives and every yearly
// archive of test reports and certificates; then the documents issued as PDF files, year
// by year, against their register: a listed file missing or changed since its issue, a
// PDF that no line lists. Never throws.
CheckReport check(const QString &folder);

// The report as the tool prints it, one finding a line.
QString format(const CheckReport &report);

// Exit codes of the tool, the same for every command.
enum ExitCode { kOk = 0, kProblems = 1, kFailure = 2 };
// kOk when clean, kFailure when something could not be read, kProblems otherwise.
int exitCode(const CheckReport &report);

// Runs the work while holding the lock the program takes to write the archive at path,
// so that no copy of the program writes a record meanwhile. Returns the work's error, or
// why the archive could not be opened (Italian); empty on success.
QString whileLocked(const QString &path, int recordSize, const std::function<QString()> &work);

} // namespace archivetool
