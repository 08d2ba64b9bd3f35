#pragma once

#include <csignal>
#include <sys/resource.h>

// While it lives, no file of this process may grow past `bytes`: a write beyond that fails
// with EFBIG (SIGXFSZ is ignored), as on a full disk. Only the soft limit is lowered, so it
// needs no privilege and is restored afterwards.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit lowered = m_previous;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_previous {};
    void (*m_previousHandler)(int) = nullptr;
};
