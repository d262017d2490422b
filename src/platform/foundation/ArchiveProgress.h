#pragma once

// How a long encoding or decoding says how far it has come and hears that it should stop.
//
// Code that saves or opens a large graph opens a ProgressScope around the call; a keyed
// archiver or unarchiver made on the thread during the scope reports to its hook. The
// coder holds the hook for its life, so coders that objects make in turn while they are
// encoded or decoded (copies, nested archives) report nothing.
//
// The coder calls the hook every kProgressInterval entries with the fraction done (0..1,
// never falling), and with 1 once the whole archive is written (finishEncoding) or read
// (unarchiveObjectWithData). Once the hook answers false the work ends without a result:
// the archiver answers an empty archive, the unarchiver no object and an error.

#include <functional>

namespace platform::archive {

using Progress = std::function<bool(double fraction)>;

// Small enough that a hook is heard every few milliseconds on any archive, large enough
// that asking costs nothing next to the entries.
inline constexpr int kProgressInterval = 256;
// The same for the plain property-list objects an archive is laid out in and checked as,
// each a small part of an entry's cost.
inline constexpr int kPropertyListProgressInterval = 4096;

class ProgressScope {
public:
    explicit ProgressScope(Progress progress);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    friend class ProgressClaim;
    Progress m_progress;
    ProgressScope* m_outer;
    bool m_claimed = false;
};

// What a coder holds for its life: the hook of the innermost scope on this thread, unless
// another coder holds it.
class ProgressClaim {
public:
    ProgressClaim();
    ~ProgressClaim();
    ProgressClaim(const ProgressClaim&) = delete;
    ProgressClaim& operator=(const ProgressClaim&) = delete;

    explicit operator bool() const { return m_scope != nullptr; }
    // Whether to go on.
    bool tell(double fraction) const { return m_scope->m_progress(fraction); }

private:
    ProgressScope* m_scope = nullptr;
};

} // namespace platform::archive
