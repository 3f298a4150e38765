#pragma once
// Sets the size from which an archive scan takes two threads, for one scope: 0 makes every
// scan use both, a huge size none.

#include "storage/recordfile.h"

namespace support {

class TwoThreadSize {
public:
    explicit TwoThreadSize(qint64 bytes) : m_previous(archive::setTwoThreadSize(bytes)) {}
    ~TwoThreadSize() { archive::setTwoThreadSize(m_previous); }
    TwoThreadSize(const TwoThreadSize &) = delete;
    TwoThreadSize &operator=(const TwoThreadSize &) = delete;

private:
    qint64 m_previous;
};

} // namespace support
