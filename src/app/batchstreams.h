#pragma once

#include <unistd.h>

// Where "-" reads its log and writes its output.
struct StandardStreams
{
    int in = STDIN_FILENO;
    int out = STDOUT_FILENO;
};
