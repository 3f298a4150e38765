#pragma once
// An archive of fixed-size records without header, addressed by 0-based index.
// Every user command opens it, does its work and closes it again: nothing stays open.

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>

namespace sharelock {
class ShareLock;
}

class ArchiveError : public std::runtime_error {
public:
    explicit ArchiveError(const QString &what) : std::runtime_error(what.toStdString()) {}
};

class RecordFile {
public:
    RecordFile(QString path, int recordSize);
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Opens for reading and writing, creating the file empty when it is missing.
    // The current index becomes 0. Throws ArchiveError.
    void open();
    // Opens an existing archive for reading only, creating nothing (an archive on a
    // read-only disk, or one that is only looked at). The lock can still be taken, to
    // read while no copy of the program writes. Throws ArchiveError.
    void openForReading();
    void close();
    bool isOpen() const { return m_file.isOpen(); }

    // Whole records only: a partial record at the end is not counted.
    int count() const;
    int currentIndex() const { return m_index; }
    bool atEnd() const { return m_index >= count(); }
    void seek(int index);
    // Reads the record at the current index into buffer and advances. Throws past the end.
    void read(QByteArray &buffer);
    // Reads up to maxRecords whole records from the current index into block, in one
    // go, and advances; returns how many were read.
    int readMany(QByteArray &block, int maxRecords);
    // Writes the whole record at the current index, in one write, flushes it to disk and
    // advances. A write that fails puts back what was there (the file keeps its size and
    // every byte) before it throws, so with lock() taken nothing of it is ever seen.
    void write(const QByteArray &buffer);

    // The lock on the whole archive, between the processes of this computer (flock) and
    // between the stations sharing the folder (the lock file "<archive>.lock", see
    // sharelock.h). Write: for a write cycle, so that no two copies of the program append
    // onto the same record or save one record at once. Read: to read records whole while
    // no copy writes (a whole-archive read passes keepAlive, as it may take a while).
    // The file is opened again once the lock is had, so that its size and bytes are those
    // on the share now, never those seen before. Throws ArchiveError when another station
    // holds the lock for longer than the wait.
    enum class Lock { Write, Read };
    void lock(Lock kind = Lock::Write, bool keepAlive = false);
    void unlock();

    const QString &path() const { return m_path; }
    int recordSize() const { return m_size; }

private:
    [[noreturn]] void fail(const QString &what) const;
    bool syncToDisk();
    bool writeWhole(const QByteArray &buffer); // at the file's position, in one write

    QString m_path;
    int m_size;
    QFile m_file;
    QIODevice::OpenMode m_mode;
    int m_index = 0;
    std::unique_ptr<sharelock::ShareLock> m_share; // held while the archive is locked
};

// Complete cycles (open, work, close) on an archive. They throw ArchiveError.
namespace archive {

int count(const QString &path, int recordSize);
// position is 1-based, as shown on the cards. Read under the lock: never a record that
// another copy of the program is part-way through writing.
QByteArray readAt(const QString &path, int recordSize, int position);
void overwriteAt(const QString &path, int position, const QByteArray &record);
// Returns the new record's position (the old count + 1).
int append(const QString &path, const QByteArray &record);
// Reads every whole record in file order and hands it to `each` on the calling thread with
// its 0-based index. The bytes lie in the read buffer and last only for the call: copy
// them (record.toByteArray()) to keep them. A big archive is read ahead on a second thread
// while `each` works.
// Without the lock (lists on screen) a record that another copy of the program is writing
// at that moment may be read half old, half new; what is read to be written somewhere
// (an export file) takes the archive's read lock for the whole read.
enum class ScanLock { None, Held };
void scan(const QString &path, int recordSize,
          const std::function<void(int index, QByteArrayView record)> &each, ScanLock lock = ScanLock::None);

// The most parts scanParts() cuts an archive into.
inline constexpr int kMaxScanParts = 2;
using PartErrors = std::array<std::exception_ptr, kMaxScanParts>;

// Like scan(), for work that can run on both cores: a big archive is cut into consecutive
// parts of the record range, read at the same time, part 0 on the calling thread and
// part 1 on another. `each` gets the part of the record too, so that the caller keeps the
// parts' results apart and joins them in part order: within a part the records come in
// file order. `each` must be safe to call from both threads at once.
// Returns when every part has ended, with the failure of each part (a read error, or what
// `each` threw) in its slot, null for a part read whole; after a failed part the later
// parts stop early, what they read being cut off from the rest. A failure to open the
// archive is thrown, as by scan().
PartErrors scanParts(const QString &path, int recordSize,
                     const std::function<void(int part, int index, QByteArrayView record)> &each);

// How many threads scan() and scanParts() use on an archive of `bytes` bytes: two from
// 4 MiB (or the size setTwoThreadSize() gave) on, on a machine with two cores or more.
int threadsFor(qint64 bytes);
// For tests and benchmarks: sets the size from which a scan uses two threads (0: always,
// a huge value: never) and returns the previous one. Not for use while a scan runs.
qint64 setTwoThreadSize(qint64 bytes);
// Opens and closes the archive (creating it when missing), nothing else.
void touch(const QString &path, int recordSize);

} // namespace archive
