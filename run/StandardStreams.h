// Descriptors 0, 1 and 2 as a program started from cron or a service may
// find them: closed. The first file opened would then take one of them, and
// whatever is printed would land in it.
#pragma once

#include <fcntl.h>

#include <cerrno>

namespace quellor {

// Opens /dev/null on each of the three that is closed; call first in main,
// before anything opens a file. False when one could not be made safe.
inline bool OpenClosedStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() gives the lowest free descriptor, which is this one.
        if (::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd) return false;
    }
    return true;
}

}  // namespace quellor
