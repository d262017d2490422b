#include "platform/vantrix/render/RenderSteps.h"

#include "platform/vantrix/render/RenderGate.h"

#include <utility>

namespace platform {

namespace {

thread_local RenderSteps::Scope* t_scope = nullptr;

} // namespace

RenderSteps::Scope::Scope(std::optional<Position> resumeFrom)
    : m_resumeFrom(resumeFrom)
    , m_outer(std::exchange(t_scope, this))
{
}

RenderSteps::Scope::~Scope()
{
    t_scope = m_outer;
}

std::optional<RenderSteps::Position> RenderSteps::Scope::resumablePosition() const
{
    return m_stopped && m_resumable ? std::optional(m_stoppedAt) : std::nullopt;
}

void RenderSteps::Scope::noteStop(Position at)
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_stoppedAt = at;
    m_resumable = m_composing == 0;
}

bool RenderSteps::beginLayer()
{
    Scope* scope = t_scope;
    if (!scope)
        return true;
    ++scope->m_layer;
    scope->m_step = 0;
    return !scope->m_resumeFrom || scope->m_layer >= scope->m_resumeFrom->layer;
}

bool RenderSteps::Scope::mayStop() const
{
    // Taken up, a rendering draws something before it stops again, or a main thread waking
    // more often than it takes to get back to its place would leave it there for good.
    return !m_resumeFrom || m_drewSomething;
}

RenderSteps::Next RenderSteps::nextStep()
{
    Scope* scope = t_scope;
    if (RenderGate::stopRequested() && (!scope || scope->mayStop())) {
        if (scope)
            scope->noteStop({scope->m_layer, scope->m_step});
        return Next::Stop;
    }
    if (!scope)
        return Next::Draw;
    const int step = scope->m_step++;
    const std::optional<Position>& from = scope->m_resumeFrom;
    if (from && scope->m_layer == from->layer && step < from->step)
        return Next::Skip;
    scope->m_drewSomething = true;
    return Next::Draw;
}

bool RenderSteps::shouldStop()
{
    Scope* scope = t_scope;
    if (!RenderGate::stopRequested() || (scope && !scope->mayStop()))
        return false;
    if (scope)
        scope->noteStop({scope->m_layer + 1, 0});
    return true;
}

RenderSteps::Composing::Composing()
{
    if (t_scope)
        ++t_scope->m_composing;
}

RenderSteps::Composing::~Composing()
{
    if (t_scope)
        --t_scope->m_composing;
}

} // namespace platform
