#include "platform/foundation/EditProgress.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <algorithm>
#include <utility>

namespace platform {
namespace {

EditProgress::Presenter* g_presenter = nullptr;
EditProgress::Scope* g_innermost = nullptr;

} // namespace

EditProgress::Presenter* EditProgress::setPresenter(Presenter* presenter)
{
    ZQ_ASSERT(!g_innermost, QStringLiteral("edit progress presenter changed during an edit"));
    return std::exchange(g_presenter, presenter);
}

EditProgress::Scope::Scope(const QString& name, qsizetype steps, Failures failures)
    : m_reports(RunLoop::isMainThread())
    , m_outer(m_reports ? std::exchange(g_innermost, this) : nullptr)
    , m_steps(std::max<qsizetype>(steps, 1))
    , m_failures(failures)
{
    if (!m_reports || m_outer || !g_presenter)
        return;
    try {
        g_presenter->editBegan(name);
    } catch (...) {
        if (m_failures == Failures::Ignore) {
            m_failure = std::current_exception();
            LogEvent(kStateEvent, QStringLiteral("progress not shown: showing it raised"));
            return;
        }
        g_innermost = nullptr; // no destructor runs for a scope that never was
        throw;
    }
}

EditProgress::Scope::~Scope()
{
    if (!m_reports)
        return;
    g_innermost = m_outer;
    if (!m_outer && g_presenter)
        g_presenter->editEnded();
}

archive::Progress EditProgress::Scope::archiveProgress()
{
    return [this](double part) {
        report(part);
        return true;
    };
}

void EditProgress::Scope::finish()
{
    if (m_failures == Failures::Hold && m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
}

EditProgress::Scope* EditProgress::Scope::failureKeeper()
{
    Scope* holder = nullptr;
    for (Scope* scope = this; scope; scope = scope->m_outer) {
        if (scope->m_failures == Failures::Ignore)
            return scope;
        if (!holder && scope->m_failures == Failures::Hold)
            holder = scope;
    }
    return holder;
}

void EditProgress::Scope::report(double partOfStep)
{
    if (!m_reports || !g_presenter)
        return;
    Scope* keeper = failureKeeper();
    if (keeper && keeper->m_failure)
        return;
    Scope* outermost = this;
    while (outermost->m_outer)
        outermost = outermost->m_outer;
    const double fraction = std::max(outermostFraction(partOfStep), outermost->m_reported);
    outermost->m_reported = fraction;
    if (!keeper) {
        g_presenter->editProgressed(fraction);
        return;
    }
    try {
        g_presenter->editProgressed(fraction);
    } catch (...) {
        keeper->m_failure = std::current_exception();
        if (keeper->m_failures == Failures::Ignore)
            LogEvent(kStateEvent, QStringLiteral("progress no longer shown: showing it raised"));
    }
}

double EditProgress::Scope::outermostFraction(double part) const
{
    const double fraction = std::min((double(m_done) + part) / double(m_steps), 1.0);
    return m_outer ? m_outer->outermostFraction(fraction) : fraction;
}

} // namespace platform
