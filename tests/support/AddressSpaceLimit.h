#pragma once

// Caps the test process's address space for a scope, so that a reader that reserves memory
// for what a file claims rather than what it holds fails where it would in a small machine.

#include <QtGlobal>
#include <dlfcn.h>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace testsupport {

// The address space the process spans now.
inline qint64 addressSpaceInUse()
{
    std::ifstream statm("/proc/self/statm");
    qint64 pages = 0;
    statm >> pages;
    return pages * sysconf(_SC_PAGESIZE);
}

// Whether the address sanitizer runs in this process: its shadow spans terabytes of address space
// from the start, and its allocator holds back what is freed, so no cap leaves room for the work.
inline bool underAddressSanitizer() { return dlsym(RTLD_DEFAULT, "__asan_init") != nullptr; }

class AddressSpaceLimit {
public:
    static constexpr qint64 kTwoGigabytes = qint64(2) << 30;

    explicit AddressSpaceLimit(qint64 bytes = kTwoGigabytes)
    {
        getrlimit(RLIMIT_AS, &m_previous);
        rlimit capped = m_previous;
        capped.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_AS, &capped);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &m_previous); }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

private:
    rlimit m_previous{};
};

} // namespace testsupport

// Skips the calling test, which caps its address space, under the address sanitizer.
#define SKIP_CAPPED_UNDER_ADDRESS_SANITIZER()                                                                     \
    if (testsupport::underAddressSanitizer())                                                                     \
    GTEST_SKIP() << "under the address sanitizer, whose shadow and held-back frees take more address space "     \
                    "than the test's cap allows"
