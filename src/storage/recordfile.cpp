#include "recordfile.h"

#include "writethrough.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/file.h>
#include <unistd.h>
#endif

RecordFile::RecordFile(QString path, int recordSize)
    : m_path(std::move(path)), m_size(recordSize), m_file(m_path)
{
}

RecordFile::~RecordFile()
{
    close();
}

void RecordFile::fail(const QString &what) const
{
    throw ArchiveError(QStringLiteral("%1: %2 (%3)").arg(m_path, what, m_file.errorString()));
}

void RecordFile::open()
{
    close();
    // Unbuffered: every write reaches the file inside the write call, under the lock,
    // and nothing is left over for close() to write after the lock is gone.
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        fail(QStringLiteral("cannot open or create"));
    m_index = 0;
}

void RecordFile::openForReading()
{
    close();
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        fail(QStringLiteral("cannot open for reading"));
    m_index = 0;
}

void RecordFile::close()
{
    if (!m_file.isOpen())
        return;
    unlock();
    m_file.close();
}

int RecordFile::count() const
{
    if (!m_file.isOpen())
        fail(QStringLiteral("not open"));
    return int(qMin<qint64>(m_file.size() / m_size, std::numeric_limits<int>::max()));
}

void RecordFile::seek(int index)
{
    if (index < 0 || index > count())
        fail(QStringLiteral("index %1 out of range").arg(index));
    m_index = index;
}

void RecordFile::read(QByteArray &buffer)
{
    buffer.resize(m_size);
    const qint64 at = qint64(m_index) * m_size;
    // A short read means there is no whole record here (past the end or a partial tail).
    if ((m_file.pos() != at && !m_file.seek(at)) || m_file.read(buffer.data(), m_size) != m_size)
        fail(QStringLiteral("no record at index %1").arg(m_index));
    ++m_index;
}

int RecordFile::readMany(QByteArray &block, int maxRecords)
{
    const int n = qMin(maxRecords, count() - m_index);
    if (n <= 0)
        return 0;
    const qint64 bytes = qint64(n) * m_size;
    block.resize(bytes);
    const qint64 at = qint64(m_index) * m_size;
    if ((m_file.pos() != at && !m_file.seek(at)) || m_file.read(block.data(), bytes) != bytes)
        fail(QStringLiteral("no record at index %1").arg(m_index));
    m_index += n;
    return n;
}

bool RecordFile::syncToDisk()
{
#ifdef Q_OS_UNIX
    int rc;
    do {
        rc = ::fdatasync(m_file.handle());
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
#else
    return m_file.flush();
#endif
}

bool RecordFile::writeWhole(const QByteArray &buffer)
{
    if (const WriteThrough::Wrap &wrap = WriteThrough::current()) {
        const std::unique_ptr<QIODevice> between = wrap(m_file);
        return between->write(buffer) == m_size;
    }
    return m_file.write(buffer) == m_size;
}

void RecordFile::write(const QByteArray &buffer)
{
    if (buffer.size() != m_size)
        fail(QStringLiteral("record of %1 bytes instead of %2").arg(buffer.size()).arg(m_size));
    const qint64 at = qint64(m_index) * m_size;
    const qint64 oldSize = m_file.size();
    // What the record is written over (a stored record, or a partial tail), to put back
    // when the write fails half way.
    QByteArray before;
    if (at < oldSize) {
        if (!m_file.seek(at))
            fail(QStringLiteral("cannot reach index %1").arg(m_index));
        before = m_file.read(qMin<qint64>(m_size, oldSize - at));
        if (before.size() != qMin<qint64>(m_size, oldSize - at))
            fail(QStringLiteral("cannot read index %1").arg(m_index));
    }
    if (!m_file.seek(at) || !writeWhole(buffer) || !syncToDisk()) {
        // Undone here, still under the lock: a failed write leaves the archive as it was.
        const QString why = m_file.errorString();
        if (!before.isEmpty() && m_file.seek(at))
            m_file.write(before);
        if (m_file.size() != oldSize)
            m_file.resize(oldSize);
        syncToDisk();
        throw ArchiveError(QStringLiteral("%1: write failed at index %2 (%3)").arg(m_path).arg(m_index).arg(why));
    }
    ++m_index;
}

void RecordFile::lock()
{
    if (m_locked || !m_file.isOpen())
        return;
#ifdef Q_OS_UNIX
    int rc;
    do {
        rc = ::flock(m_file.handle(), LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    // A file system without locks still lets the user work, as without sharing.
#endif
    m_locked = true;
}

void RecordFile::unlock()
{
    if (!m_locked)
        return;
#ifdef Q_OS_UNIX
    ::flock(m_file.handle(), LOCK_UN);
#endif
    m_locked = false;
}

namespace archive {

int count(const QString &path, int recordSize)
{
    RecordFile file(path, recordSize);
    file.open();
    return file.count();
}

QByteArray readAt(const QString &path, int recordSize, int position)
{
    RecordFile file(path, recordSize);
    file.open();
    file.seek(position - 1);
    QByteArray record;
    file.read(record);
    return record;
}

void overwriteAt(const QString &path, int position, const QByteArray &record)
{
    RecordFile file(path, int(record.size()));
    file.open();
    file.lock();
    file.seek(position - 1);
    file.write(record);
}

int append(const QString &path, const QByteArray &record)
{
    RecordFile file(path, int(record.size()));
    file.open();
    file.lock();
    file.seek(file.count());
    file.write(record);
    return file.currentIndex();
}

void scan(const QString &path, int recordSize,
          const std::function<void(int, const QByteArray &)> &each)
{
    RecordFile file(path, recordSize);
    file.open();
    // Whole blocks of records per read: far fewer calls than one read per record.
    const int perBlock = qMax(1, (1 << 20) / recordSize);
    QByteArray block, record(recordSize, '\0');
    int index = 0;
    while (const int got = file.readMany(block, perBlock)) {
        for (int i = 0; i < got; ++i, ++index) {
            std::memcpy(record.data(), block.constData() + qsizetype(i) * recordSize, size_t(recordSize));
            each(index, record);
        }
    }
}

void touch(const QString &path, int recordSize)
{
    RecordFile file(path, recordSize);
    file.open();
}

} // namespace archive
