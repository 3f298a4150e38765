#pragma once
// An archive of fixed-size records without header, addressed by 0-based index.
// Every user command opens it, does its work and closes it again: nothing stays open.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <stdexcept>

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

    // Advisory lock on the whole archive for a write cycle, so that copies of the
    // program sharing the folder never append onto the same record.
    void lock();
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
    int m_index = 0;
    bool m_locked = false;
};

// Complete cycles (open, work, close) on an archive. They throw ArchiveError.
namespace archive {

int count(const QString &path, int recordSize);
// position is 1-based, as shown on the cards.
QByteArray readAt(const QString &path, int recordSize, int position);
void overwriteAt(const QString &path, int position, const QByteArray &record);
// Returns the new record's position (the old count + 1).
int append(const QString &path, const QByteArray &record);
// Reads every record in file order; the callback gets the 0-based index.
void scan(const QString &path, int recordSize,
          const std::function<void(int index, const QByteArray &record)> &each);
// Opens and closes the archive (creating it when missing), nothing else.
void touch(const QString &path, int recordSize);

} // namespace archive
