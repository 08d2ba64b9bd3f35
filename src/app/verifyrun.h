#pragma once

class QTextStream;
struct CommandLine;

// `pelorin --verify PAGE [SOURCE…]`: prints, one line per source the page names, whether it is
// the same file as when the page was made. Returns ExitAllWritten when every one is the same,
// ExitSomeNotWritten when any is not, ExitNotVerifiable when the page cannot be read or names
// no source.
int runVerify(const CommandLine &commandLine, QTextStream &out);
