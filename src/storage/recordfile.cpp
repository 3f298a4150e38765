#include "recordfile.h"

#include "posixfile.h"
#include "sharelock.h"
#include "writethrough.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#ifdef Q_OS_UNIX
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
    m_mode = QIODevice::ReadWrite | QIODevice::Unbuffered;
    if (!m_file.open(m_mode))
        fail(QStringLiteral("cannot open or create"));
    m_index = 0;
}

void RecordFile::openForReading()
{
    close();
    m_mode = QIODevice::ReadOnly | QIODevice::Unbuffered;
    if (!m_file.open(m_mode))
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
    const auto readOnce = [&](char *into) {
        // A short read means there is no whole record here (past the end or a partial tail).
        if ((m_file.pos() != at && !m_file.seek(at)) || m_file.read(into, m_size) != m_size)
            fail(QStringLiteral("no record at index %1").arg(m_index));
    };
    readOnce(buffer.data());
    if (m_share && !m_share->hasLockFile()) {
        // Locked without a lock file (a folder that takes no new file): another station
        // may be writing this very record, so it is taken only once two reads agree.
        QByteArray again(m_size, Qt::Uninitialized);
        for (int attempt = 0;; ++attempt) {
            readOnce(again.data());
            if (again == buffer)
                break;
            if (attempt == 20)
                fail(QStringLiteral("record at index %1 kept changing while read").arg(m_index));
            buffer.swap(again);
        }
    }
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
    return posixfile::syncData(m_file.handle());
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
    // An append first gives the file its new size in one step, then writes the record
    // into it: a share may carry one write in several pieces, and the size others see
    // must never stop part way through a record.
    const bool grows = at + m_size > oldSize;
    if ((grows && !m_file.resize(at + m_size)) || !m_file.seek(at) || !writeWhole(buffer) || !syncToDisk()) {
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

void RecordFile::lock(Lock kind, bool keepAlive)
{
    if (m_share || !m_file.isOpen())
        return;
    auto share = std::make_unique<sharelock::ShareLock>(m_path);
    try {
        share->acquire(keepAlive);
    } catch (const sharelock::Error &e) {
        throw ArchiveError(QStringLiteral("%1: lock not had (%2)").arg(m_path, QString::fromStdString(e.what())));
    }
    // Opened again under the lock: what a share shows is fresh only from an open on.
    m_file.close();
    if (!m_file.open(m_mode))
        fail(QStringLiteral("cannot open again under the lock")); // the lock goes with `share`
    m_share = std::move(share);
    m_share->flockFile(m_file.handle(), kind == Lock::Read);
}

void RecordFile::unlock()
{
    m_share = nullptr; // lets flock go and removes the lock file
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
    file.lock(RecordFile::Lock::Read);
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

namespace {

// Read in blocks of about this size: few calls, and a block still fits in the cache
// where the callbacks read it.
constexpr int kBlockBytes = 256 * 1024;
// Below this size a second thread costs more than it saves.
constexpr qint64 kDefaultTwoThreadSize = 4 * 1024 * 1024;
std::atomic<qint64> g_twoThreadSize{kDefaultTwoThreadSize};

int recordsPerBlock(int recordSize)
{
    return qMax(1, kBlockBytes / recordSize);
}

using Each = std::function<void(int index, QByteArrayView record)>;

// Reads the records [first, end) of an open file in blocks and hands them to `each`, until
// the end, the end of the file (when it got shorter meanwhile) or `stop`.
void readRange(RecordFile &file, int first, int end, const Each &each, const std::atomic<bool> *stop = nullptr)
{
    const int size = file.recordSize();
    const int perBlock = recordsPerBlock(size);
    file.seek(first);
    QByteArray block;
    int index = first;
    while (index < end && !(stop && stop->load(std::memory_order_relaxed))) {
        const int got = file.readMany(block, qMin(perBlock, end - index));
        if (got == 0)
            break;
        for (int i = 0; i < got; ++i, ++index)
            each(index, QByteArrayView(block.constData() + qsizetype(i) * size, size));
    }
}

// scan() on a big archive: a second thread reads the blocks ahead into a ring of buffers
// while the calling thread hands the records of the block before to the callback. The
// file is the reader's alone until the object is gone.
class ReadAhead {
public:
    ReadAhead(RecordFile &file, int count)
        : m_file(file), m_size(file.recordSize()), m_count(count), m_reader([this] { read(); })
    {
    }
    ~ReadAhead()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_reader.join();
    }

    void run(const Each &each)
    {
        for (int s = 0;; s = (s + 1) % kSlots) {
            Slot &slot = m_slots[s];
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return slot.full; });
            }
            if (slot.error)
                std::rethrow_exception(slot.error);
            if (slot.count == 0)
                return;
            for (int i = 0; i < slot.count; ++i)
                each(slot.first + i, QByteArrayView(slot.bytes.constData() + qsizetype(i) * m_size, m_size));
            {
                std::lock_guard lock(m_mutex);
                slot.full = false;
            }
            m_changed.notify_all();
        }
    }

private:
    static constexpr int kSlots = 3;
    // A slot belongs to the reader while it is not full, to the consumer while it is.
    struct Slot {
        QByteArray bytes;
        int first = 0;
        int count = 0; // 0: the end
        std::exception_ptr error;
        bool full = false;
    };

    void read()
    {
        int s = 0;
        try {
            RecordFile &file = m_file;
            file.seek(0);
            const int perBlock = recordsPerBlock(m_size);
            for (int index = 0;; s = (s + 1) % kSlots) {
                Slot &slot = m_slots[s];
                {
                    std::unique_lock lock(m_mutex);
                    m_changed.wait(lock, [&] { return !slot.full || m_stop; });
                    if (m_stop)
                        return;
                }
                const int got = index < m_count ? file.readMany(slot.bytes, qMin(perBlock, m_count - index)) : 0;
                slot.first = index;
                slot.count = got;
                index += got;
                {
                    std::lock_guard lock(m_mutex);
                    slot.full = true;
                }
                m_changed.notify_all();
                if (got == 0)
                    return;
            }
        } catch (...) {
            // Handed to the consumer in the next slot, which throws it on the calling thread.
            Slot &slot = m_slots[s];
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return !slot.full || m_stop; });
                if (m_stop)
                    return;
                slot.error = std::current_exception();
                slot.count = 0;
                slot.full = true;
            }
            m_changed.notify_all();
        }
    }

    RecordFile &m_file;
    const int m_size;
    const int m_count;
    std::array<Slot, kSlots> m_slots;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stop = false;
    std::thread m_reader; // last: it starts once the rest is ready
};

} // namespace

int threadsFor(qint64 bytes)
{
    return bytes >= g_twoThreadSize.load() && std::thread::hardware_concurrency() >= 2 ? 2 : 1;
}

qint64 setTwoThreadSize(qint64 bytes)
{
    return g_twoThreadSize.exchange(bytes);
}

void scan(const QString &path, int recordSize, const Each &each, ScanLock lock)
{
    RecordFile file(path, recordSize);
    file.open();
    if (lock == ScanLock::Held)
        file.lock(RecordFile::Lock::Read, true);
    const int n = file.count();
    std::optional<ReadAhead> ahead;
    if (n >= 2 && threadsFor(qint64(n) * recordSize) > 1) {
        try {
            ahead.emplace(file, n);
        } catch (const std::system_error &) {
            // No thread to be had: this one reads too.
        }
    }
    if (ahead)
        ahead->run(each);
    else
        readRange(file, 0, n, each);
}

PartErrors scanParts(const QString &path, int recordSize,
                     const std::function<void(int part, int index, QByteArrayView record)> &each)
{
    PartErrors errors;
    RecordFile file(path, recordSize);
    file.open();
    const int n = file.count();
    const int half = n >= 2 && threadsFor(qint64(n) * recordSize) > 1 ? n / 2 : n;
    std::atomic<bool> stop{false};
    auto part1 = [&] {
        try {
            RecordFile own(path, recordSize);
            own.open();
            readRange(own, half, n, [&](int index, QByteArrayView r) { each(1, index, r); }, &stop);
        } catch (...) {
            errors[1] = std::current_exception();
        }
    };
    std::thread second;
    if (half < n) {
        try {
            second = std::thread(part1);
        } catch (const std::system_error &) {
            // No thread to be had: the second part follows the first on this one.
        }
    }
    try {
        readRange(file, 0, half, [&](int index, QByteArrayView r) { each(0, index, r); });
    } catch (...) {
        errors[0] = std::current_exception();
        stop = true;
    }
    if (second.joinable())
        second.join();
    else if (half < n && !errors[0])
        part1();
    return errors;
}

void touch(const QString &path, int recordSize)
{
    RecordFile file(path, recordSize);
    file.open();
}

} // namespace archive
