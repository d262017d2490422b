#pragma once

// Caps the test process's address space for a scope, so that a reader that reserves memory
// for what a file claims rather than what it holds fails where it would in a small machine.

#include <QtGlobal>
#include <sys/resource.h>

namespace testsupport {

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
