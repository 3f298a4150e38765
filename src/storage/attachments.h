#pragma once
// Attached files: copies kept in one folder beside the program, "Documenti_Allegati",
// shared by every record of every archive. A record stores only the bare name of its
// copy and a description; the names are checked here before any file is opened or
// written, so that a name from an archive never reaches outside the folder.

#include <QString>

#include <functional>

namespace attachments {

inline const QString kFolderName = QStringLiteral("Documenti_Allegati");

// ProgramFolder + "Documenti_Allegati/".
QString folder();

// A bare file name: not empty, no folder separator of any system ("/" or "\"), no
// drive ("C:"), not "." or "..". Anything else could point outside the folder.
bool isBareName(const QString &name);

// A name that a record holds without change: every character has a Windows-1252 byte
// and the name fits the record's name field. Any other name would be saved as the name
// of another file.
bool isStorable(const QString &name);

// The copy of a bare name in the folder; empty for any other name.
QString pathOf(const QString &name);

// The folder's copy of a bare name is there as a file.
bool isPresent(const QString &name);

enum class CopyResult { Copied, Cancelled, Failed };

// Told after each block copied: bytes copied so far and the size of the source. Returns
// false to cancel the copy.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Copies the source into the folder under a bare name, creating the folder with any
// missing parents and replacing a copy of that name. The copy is written under a
// temporary name and renamed when complete: a copy that fails or is cancelled leaves
// the folder as it was. On failure *error says why (for diagnosis, in English).
CopyResult copyIn(const QString &source, const QString &name, const Progress &progress = {},
                  QString *error = nullptr);

} // namespace attachments
