#include "platform/foundation/EditProgress.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"

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

EditProgress::Scope::Scope(const QString& name, qsizetype steps)
    : m_reports(RunLoop::isMainThread())
    , m_outer(m_reports ? std::exchange(g_innermost, this) : nullptr)
    , m_steps(std::max<qsizetype>(steps, 1))
{
    if (m_reports && !m_outer && g_presenter)
        g_presenter->editBegan(name);
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

void EditProgress::Scope::report(double partOfStep)
{
    if (!m_reports || !g_presenter)
        return;
    Scope* outermost = this;
    while (outermost->m_outer)
        outermost = outermost->m_outer;
    const double fraction = std::max(outermostFraction(partOfStep), outermost->m_reported);
    outermost->m_reported = fraction;
    g_presenter->editProgressed(fraction);
}

double EditProgress::Scope::outermostFraction(double part) const
{
    const double fraction = std::min((double(m_done) + part) / double(m_steps), 1.0);
    return m_outer ? m_outer->outermostFraction(fraction) : fraction;
}

} // namespace platform
