#pragma once

// Makes writes past a size fail, as a full disk would, while the object lives;
// the failure comes from the system, so it reaches code as it would in use.
// Windows has no such limit: there kSupported is false and the object does
// nothing, and a test that needs it skips itself.

#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#endif

namespace testing_support {

#if defined(_WIN32)
class FileSizeLimit {
public:
    static constexpr bool kSupported = false;
    explicit FileSizeLimit(unsigned long long /*bytes*/) {}
};
#else
class FileSizeLimit {
public:
    static constexpr bool kSupported = true;
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        ::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    sighandler_t m_oldHandler;
};
#endif

}  // namespace testing_support
