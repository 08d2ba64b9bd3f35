#include "batchstreams.h"

#include <fcntl.h>

StandardStreams holdStandardStreams()
{
    StandardStreams streams;
    bool closed[3] = {};
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        closed[fd] = ::fcntl(fd, F_GETFD) < 0;
    // The lowest free slot is taken first, so each open fills the next closed one.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (closed[fd])
            ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    }
    streams.inClosed = closed[STDIN_FILENO];
    streams.outClosed = closed[STDOUT_FILENO];
    return streams;
}
