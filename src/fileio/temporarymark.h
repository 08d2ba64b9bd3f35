#pragma once

#include <QByteArray>
#include <sys/stat.h>

// How a named temporary that a killed run left behind is known as the program's own, so that
// a later run may remove it. It carries the id of the process writing it twice: in the
// extended attribute user.pelorin.temporary, where the file system keeps such attributes, and
// in its first TemporaryMarkSize bytes, which FAT and exFAT (USB sticks, SD cards) keep too.
// The data's own first bytes take the mark's place only when the file gets its real name.
namespace fileio {

constexpr qsizetype TemporaryMarkSize = 32;

// The first bytes of a named temporary written by process `pid`.
QByteArray temporaryMark(qint64 pid);

// Gives the temporary open as `fd` the attribute, where the file system allows it.
void setTemporaryAttribute(int fd);

// Whether `name` in the folder `dirFd` is a temporary whose writer is gone: a regular file of
// this user carrying the attribute, or else the mark, of a process that no longer runs.
// `st`: what the name's own entry holds (not followed).
bool isStaleTemporary(int dirFd, const QByteArray &name, const struct stat &st);

} // namespace fileio
