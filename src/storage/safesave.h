#pragma once
// Replacing a whole file without ever leaving a damaged one: the new contents go to a
// temporary file in the same folder, every byte checked and synced to disk, and only
// then is the temporary file renamed over the target. On any failure the temporary file
// is removed and the old file keeps every byte.
//
// Every write of the program that replaces a whole file (settings, password, exports,
// PDF files) goes through here.

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

namespace safesave {

// Writes the contents through the device it is given and returns false when it could
// not produce them. The device writes straight to the temporary file, nothing is held
// back: a write that fails returns -1, and once one has failed every later write does
// too and the save fails, whatever the writer returns.
using Writer = std::function<bool(QIODevice &device)>;

// Replaces the file at path with the bytes. False on failure, with the reason in *error
// when given. A path that names a folder, a read-only file, a missing or read-only
// folder and a full disk all fail without touching anything.
// A link at path is followed by default: the file it points to is replaced and the link
// stays. With Links::Replace the link itself is replaced by the new file and whatever it
// pointed to is left alone (for folders of the program's own copies, where a link could
// lead anywhere).
enum class Links { Follow, Replace };
// Who may read the new file: as usual (a file that is replaced keeps its permissions), or
// its owner alone (a backup, which holds every archive and the password).
enum class Access { Usual, OwnerOnly };

bool save(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// *code, when given, gets the system's error number of a failure (0 when it has none).
bool save(const QString &path, const Writer &writer, QString *error = nullptr, Links links = Links::Follow,
          int *code = nullptr, Access access = Access::Usual);

// Writes a new file: as save(), but a file, folder or link already at path is never
// replaced; the save fails and leaves it as it was (for documents issued once).
bool saveNew(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace safesave
