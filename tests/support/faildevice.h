#pragma once
// A write-only device with room for a fixed number of bytes, as a disk that fills up:
// a write that reaches past the room takes what fits and returns the short count, and
// every write after that returns -1.

#include <QByteArray>
#include <QIODevice>

class FailDevice : public QIODevice {
public:
    explicit FailDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

    const QByteArray &taken() const { return m_taken; } // the bytes it accepted
    bool failed() const { return m_failed; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 len) override
    {
        if (len > 0 && m_room == 0) {
            m_failed = true;
            setErrorString(QStringLiteral("no room left"));
            return -1;
        }
        const qint64 n = qMin(len, m_room);
        m_taken.append(data, n);
        m_room -= n;
        if (n < len)
            m_failed = true;
        return n;
    }

private:
    qint64 m_room;
    QByteArray m_taken;
    bool m_failed = false;
};
