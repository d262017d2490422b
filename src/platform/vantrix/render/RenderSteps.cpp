#include "platform/vantrix/render/RenderSteps.h"

#include "platform/vantrix/render/RenderGate.h"

#include <algorithm>
#include <utility>

namespace platform {

namespace {

thread_local RenderSteps::Scope* t_scope = nullptr;

} // namespace

RenderSteps::Scope::Scope(std::optional<Stop> resumeFrom)
    : m_resumeFrom(std::move(resumeFrom))
    , m_outer(std::exchange(t_scope, this))
{
}

RenderSteps::Scope::~Scope()
{
    t_scope = m_outer;
}

std::optional<RenderSteps::Stop> RenderSteps::Scope::takeStop()
{
    return m_stopped ? std::optional(std::move(m_stop)) : std::nullopt;
}

void RenderSteps::Scope::noteStop(Position at)
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_stop.at = at;
    if (at.layer == m_layer)
        m_stop.items = std::move(m_layerItems);
}

bool RenderSteps::Scope::mayStop() const
{
    // A rendering draws something before it stops, or a main thread waking more often than it
    // takes to get back to its place (or to its first object) would leave it there for good.
    return m_drewSomething;
}

bool RenderSteps::beginLayer()
{
    Scope* scope = t_scope;
    if (!scope)
        return true;
    ++scope->m_layer;
    scope->m_step = 0;
    const std::optional<Stop>& from = scope->m_resumeFrom;
    const bool stoppedHere = from && scope->m_layer == from->at.layer;
    scope->m_layerItems = stoppedHere ? from->items : std::any();
    return !from || scope->m_layer >= from->at.layer;
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
    const std::optional<Stop>& from = scope->m_resumeFrom;
    if (from && scope->m_layer == from->at.layer && step < from->at.step)
        return Next::Skip;
    scope->m_drewSomething = true;
    return Next::Draw;
}

qsizetype RenderSteps::stepsTakenBefore(qsizetype count)
{
    Scope* scope = t_scope;
    if (!scope || !scope->m_resumeFrom || scope->m_layer != scope->m_resumeFrom->at.layer)
        return 0;
    const qsizetype taken = std::clamp<qsizetype>(scope->m_resumeFrom->at.step - scope->m_step, 0, count);
    scope->m_step += int(taken);
    return taken;
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

std::any RenderSteps::keptItems()
{
    const Scope* scope = t_scope;
    return scope ? scope->m_layerItems : std::any();
}

void RenderSteps::noteItems(std::any items)
{
    if (Scope* scope = t_scope)
        scope->m_layerItems = std::move(items);
}

RenderSteps::Composing::Composing(const void* layer, QImage& apart)
    : m_scope(layer ? t_scope : nullptr)
    , m_layer(layer)
    , m_apart(apart)
{
    if (!m_scope || !m_scope->m_resumeFrom)
        return;
    std::vector<KeptLayer>& kept = m_scope->m_resumeFrom->apart;
    const auto it = std::find_if(kept.begin(), kept.end(), [layer](const KeptLayer& k) { return k.layer == layer; });
    if (it == kept.end())
        return;
    if (it->image.size() == apart.size() && it->image.format() == apart.format())
        apart = std::move(it->image);
    kept.erase(it);
}

RenderSteps::Composing::~Composing()
{
    // Inner layers end first: each goes before those around it.
    if (stopped())
        m_scope->m_stop.apart.insert(m_scope->m_stop.apart.begin(), {m_layer, std::move(m_apart)});
}

} // namespace platform
