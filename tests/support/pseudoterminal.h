#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

// End-to-end tests skip on machines without pseudo-terminals.
inline bool pseudoTerminalsWork()
{
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}
