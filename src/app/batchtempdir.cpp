#include "batchtempdir.h"

#include "fileio/filename.h"

#include <QDir>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};

// What the handler needs, set up before the handlers are installed: the folder's path as
// bytes, and the handling each signal had before.
char g_folder[PATH_MAX];
struct sigaction g_previous[std::size(Signals)];

// Removes the folder and the files in it with system calls alone, as a signal handler may.
void removeFolder()
{
    const int dir = ::open(g_folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        alignas(8) char buf[4096];
        for (;;) {
            const long n = ::syscall(SYS_getdents64, dir, buf, sizeof buf);
            if (n <= 0)
                break;
            for (long at = 0; at < n;) {
                const auto *entry = reinterpret_cast<const struct dirent64 *>(buf + at);
                const char *name = entry->d_name;
                if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
                    ::unlinkat(dir, name, 0);
                at += entry->d_reclen;
            }
        }
        ::close(dir);
    }
    ::rmdir(g_folder);
}

void onInterrupt(int signal)
{
    removeFolder();
    // Ended by the signal, with the handling it had before.
    for (std::size_t i = 0; i < std::size(Signals); ++i) {
        if (Signals[i] == signal)
            ::sigaction(signal, &g_previous[i], nullptr);
    }
    ::raise(signal);
}

} // namespace

BatchTempDir::BatchTempDir()
{
    QByteArray pattern = fileio::encodeName(QDir::tempPath()) + "/pelorin-XXXXXX";
    if (pattern.size() >= qsizetype(sizeof g_folder) || !::mkdtemp(pattern.data())) {
        m_error = QString::fromLocal8Bit(
            std::strerror(pattern.size() >= PATH_MAX ? ENAMETOOLONG : errno));
        return;
    }
    std::memcpy(g_folder, pattern.constData(), size_t(pattern.size()) + 1);
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (int s : Signals)
        sigaddset(&action.sa_mask, s);
    for (std::size_t i = 0; i < std::size(Signals); ++i)
        ::sigaction(Signals[i], &action, &g_previous[i]);
    m_path = fileio::decodeName(pattern);
}

BatchTempDir::~BatchTempDir()
{
    if (m_path.isEmpty())
        return;
    // The folder goes first: a signal now finds nothing left to remove.
    removeFolder();
    for (std::size_t i = 0; i < std::size(Signals); ++i)
        ::sigaction(Signals[i], &g_previous[i], nullptr);
}
