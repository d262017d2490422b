#pragma once

// Fresh memory faulted in ahead of the main thread. A paste of a million objects spends a
// third of its time in the kernel, giving the heap's new pages their first touch one at a time.
// While a scope is open on the main thread, the heap grows in large steps and a worker thread
// faults each step's pages in (without writing to them) before the main thread reaches them.
// Large blocks (a list of a million entries) come from the heap too rather than being mapped
// apart; freed, they stay with the heap for the allocations that follow.
// A scope opened inside another, or on another thread, does nothing; where the kernel cannot
// populate pages for another thread, the heap only grows in larger steps.

#include <memory>

namespace platform {

class HeapGrowthAhead {
public:
    HeapGrowthAhead();
    ~HeapGrowthAhead();
    HeapGrowthAhead(const HeapGrowthAhead&) = delete;
    HeapGrowthAhead& operator=(const HeapGrowthAhead&) = delete;

    // How far past what the heap holds it grows at a time while a scope is open.
    static constexpr long kStepBytes = 64L * 1024 * 1024;

private:
    class Worker;
    std::unique_ptr<Worker> m_worker;
};

} // namespace platform
