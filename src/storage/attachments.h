#pragma once
// Attached files: copies kept in one folder beside the program, "Documenti_Allegati",
// shared by every record of every archive. A record stores the name of its copy and a
// description; older archives may hold a full path
// ("C:\Tirello\Documenti_Allegati\Verbale.pdf"), of which only the last component
// counts. The names are checked here before any file is opened or written, so that a
// name from an archive never reaches outside the folder.

#include <QString>

#include <functional>

namespace attachments {

inline const QString kFolderName = QStringLiteral("Documenti_Allegati");

// ProgramFolder + "Documenti_Allegati/".
QString folder();

// A bare file name: not empty, no folder separator of any system ("/" or "\"), no
// drive ("C:"), not "." or "..", not a device of a shared folder's system ("NUL",
// "CON.txt", "COM1"). Anything else could point outside the folder.
bool isBareName(const QString &name);

// The name to look for in the folder for a name a record holds: a bare name as it is, a
// path by its last component (after the last "\" or "/"). Empty when that is no bare
// name (an empty last component, "..", a device): such a name is refused.
QString folderName(const QString &stored);

// A name that a record holds without change: every character has a Windows-1252 byte
// and the name fits the record's name field. Any other name would be saved as the name
// of another file.
bool isStorable(const QString &name);

// The folder's copy for a name a record holds (see folderName); empty when refused.
QString pathOf(const QString &name);

// The folder's copy for a name a record holds is there as a file.
bool isPresent(const QString &name);

enum class CopyResult { Copied, Cancelled, Failed };

// Why a copy failed, for the message the user reads.
enum class CopyFailure {
    None,
    SourceUnreadable, // the chosen file cannot be opened or read
    NoPermission,     // the folder or the copy cannot be written
    DiskFull,
    NameTooLong,      // the folder's file system refuses a name that long
    Other,
};

// Told after each block copied: bytes copied so far and the size of the source. Returns
// false to cancel the copy.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Copies the source into the folder under a bare name, creating the folder with any
// missing parents and replacing a copy of that name. The copy is written under a
// temporary name and renamed when complete: a copy that fails or is cancelled leaves
// the folder as it was. On failure *error says why (for diagnosis, in English).
// *failure, when given, says which kind of failure it was.
CopyResult copyIn(const QString &source, const QString &name, const Progress &progress = {},
                  QString *error = nullptr, CopyFailure *failure = nullptr);

} // namespace attachments
