#pragma once
// The low-level steps every file the program opens by descriptor shares: an open and a
// sync to disk that are tried again when a signal interrupts them, and a write that goes on
// until every byte is in (POSIX lets a write take only part).

#include <QtGlobal>

namespace posixfile {

// open(2) of an encoded path, tried again when interrupted; -1 with errno set when it fails.
int openFile(const char *path, int flags, unsigned mode = 0);

// Writes size bytes from data at offset, retrying short and interrupted writes. On failure
// returns false with the cause (an errno value) in *err; a write that takes nothing and
// gives no reason counts as EIO, so that it never loops for ever.
bool writeAllAt(int fd, const char *data, qint64 size, qint64 offset, int *err);
// fdatasync(), tried again when interrupted; false with errno set when it fails.
bool syncData(int fd);

} // namespace posixfile
