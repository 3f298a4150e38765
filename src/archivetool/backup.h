#pragma once
// Backups of a program folder as one ZIP file ("copia"), and their restore into an empty
// folder ("ripristina").
//
// A backup holds the archives, the settings file, the password file, the logo, the
// attached documents and the issued ones, each under its own name (attachments under
// "Documenti_Allegati/", issued documents and their registers under
// "Documenti_Emessi/<year>/"). Each archive is read under the lock the program takes to write
// it, so a record that a working copy of the program is saving is in the backup whole
// or not at all. ZIP because every desktop system opens it without further programs:
// a single file can be taken out of a backup by hand.

#include "check.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace archivetool {

// "Tirello-copia-2024-03-05-142233.zip"
QString backupName(const QDateTime &when);

// Whether a name (relative, "/" between folder and file) is one a backup may hold: an
// archive, the settings file, the password file or the logo at the top, a bare file name
// under "Documenti_Allegati/", or an issued PDF or the register under
// "Documenti_Emessi/<year>/". Nothing else is ever written or restored.
bool isBackupEntry(const QString &name);
// The folders a backup may hold as entries: "Documenti_Allegati", "Documenti_Emessi" and
// its years' folders.
bool isBackupFolder(const QString &name);

struct BackupResult {
    bool ok = false;
    QString path;      // the backup written
    int files = 0;     // entries written (files; the attachment folder not counted)
    qint64 bytes = 0;  // their size before compression
    QString error;     // Italian, when !ok
    QStringList notes; // files left out, and why (Italian): a backup with notes is not whole
};

// Writes a backup of the folder into the destination folder (created when missing),
// named after the current time, readable by its owner only. The file appears only when it
// is complete and has been read back; on any failure nothing is left in the destination.
// What is not a plain file (a folder or a pipe with an archive's name, a link or a device
// among the attachments) is left out, with a note; links are never followed there.
BackupResult backup(const QString &folder, const QString &destination);

struct RestoreResult {
    int code = kFailure; // kOk, kProblems (archives not sound), kFailure
    int files = 0;
    QString error;       // Italian, when the code is kFailure
    CheckReport check;   // of the backup's archives
};

// Reads the whole backup, checks every entry and the archives it holds, and only then
// puts the files into the target folder, which must be empty or missing. With force, a
// backup whose archives have problems is restored all the same (unsafe entries and
// unreadable backups never are). On failure the target is left as it was found.
RestoreResult restore(const QString &backupFile, const QString &target, bool force);

} // namespace archivetool
