#include "posixfile.h"

#ifndef Q_OS_UNIX
#error "posixfile: written for POSIX file systems (pwrite, fdatasync)"
#endif

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace posixfile {

int openFile(const char *path, int flags, unsigned mode)
{
    int fd;
    do {
        fd = ::open(path, flags, mode_t(mode));
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeAllAt(int fd, const char *data, qint64 size, qint64 offset, int *err)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(qMin<qint64>(size, 1 << 30)), off_t(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *err = errno;
            return false;
        }
        if (n == 0) {
            *err = EIO;
            return false;
        }
        data += n;
        size -= n;
        offset += n;
    }
    return true;
}

bool syncData(int fd)
{
    int rc;
    do {
        rc = ::fdatasync(fd);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

} // namespace posixfile
