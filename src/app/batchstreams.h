#pragma once

#include <unistd.h>

// Where "-" reads its log and writes its output.
struct StandardStreams
{
    int in = STDIN_FILENO;
    int out = STDOUT_FILENO;
    // Closed when the program started: their slots hold /dev/null instead.
    bool inClosed = false;
    bool outClosed = false;
};

// Opens /dev/null on whichever of standard input, output and error is closed, before anything
// else opens a file: a descriptor of the program's own in slot 0 or 1 would be taken for them.
// Call first thing in main.
StandardStreams holdStandardStreams();
