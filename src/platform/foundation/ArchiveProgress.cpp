#include "platform/foundation/ArchiveProgress.h"

#include <utility>

namespace platform::archive {
namespace {
thread_local ProgressScope* t_innermost = nullptr;
} // namespace

ProgressScope::ProgressScope(Progress progress)
    : m_progress(std::move(progress))
    , m_outer(std::exchange(t_innermost, this))
{
}

ProgressScope::~ProgressScope()
{
    t_innermost = m_outer;
}

ProgressClaim::ProgressClaim()
{
    if (t_innermost && !t_innermost->m_claimed && t_innermost->m_progress) {
        m_scope = t_innermost;
        m_scope->m_claimed = true;
    }
}

ProgressClaim::~ProgressClaim()
{
    if (m_scope)
        m_scope->m_claimed = false;
}

} // namespace platform::archive
