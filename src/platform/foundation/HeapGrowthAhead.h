#pragma once

// Fresh memory faulted in ahead of the main thread. A paste of a million objects spends a
// third of its time in the kernel, giving the heap's new pages their first touch one at a time.
// A scope opened on the main thread sets free heap memory aside for about what its work will
// allocate, and a worker thread faults its pages in (without writing to them) before the main
// thread reaches them. Large blocks (a list of a million entries) are taken from it too rather
// than mapped apart. What the work leaves unused goes back to the system when the scope closes.
//
// The allocator's settings are left alone: changing any of them stops it for good from raising
// the size above which it maps blocks apart, and every block between that size and 32 MiB would
// then be mapped, zero-filled and unmapped at each use for the rest of the session.
//
// A scope opened inside another, or on another thread, does nothing; so does one whose worker
// cannot start, or one under an allocator that does not grow the heap's break (the memory is
// then faulted in as it is used, as without a scope).

#include <QtGlobal>
#include <memory>

namespace platform {

class HeapGrowthAhead {
public:
    // `expectedBytes`: about what the work within the scope allocates, set aside up to half the
    // memory available.
    explicit HeapGrowthAhead(qint64 expectedBytes);
    ~HeapGrowthAhead();
    HeapGrowthAhead(const HeapGrowthAhead&) = delete;
    HeapGrowthAhead& operator=(const HeapGrowthAhead&) = delete;

    // Whether this scope set memory aside (the outermost one on the main thread, whose worker
    // started).
    bool isGrowingAhead() const { return m_worker != nullptr; }

private:
    class Reserve;
    class Worker;
    // Declared first, so it is given back after the worker has stopped.
    std::unique_ptr<Reserve> m_reserve;
    std::unique_ptr<Worker> m_worker;
};

} // namespace platform
