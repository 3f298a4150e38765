#pragma once
// A write-only device with room for a fixed number of bytes, as a disk that fills up:
// a write that reaches past the room takes what fits and returns the short count, and
// every write after that returns -1. Given a device to write through, the bytes it takes
// go on to that one (a real file, say), so a failure part way leaves them there as a
// failing disk would.

#include <QByteArray>
#include <QIODevice>

class FailDevice : public QIODevice {
public:
    explicit FailDevice(qint64 room, QIODevice *through = nullptr) : m_room(room), m_through(through)
    {
        open(QIODevice::WriteOnly);
    }

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
        if (m_through && n > 0 && m_through->write(data, n) != n) {
            m_failed = true;
            setErrorString(m_through->errorString());
            return -1;
        }
        m_taken.append(data, n);
        m_room -= n;
        if (n < len) {
            m_failed = true;
            setErrorString(QStringLiteral("no room left"));
        }
        return n;
    }

private:
    qint64 m_room;
    QIODevice *m_through;
    QByteArray m_taken;
    bool m_failed = false;
};
