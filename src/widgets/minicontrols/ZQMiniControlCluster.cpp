#include "widgets/minicontrols/ZQMiniControlCluster.h"

#include <algorithm>

ZQMiniControlCluster::ZQMiniControlCluster()
    : ZQMiniControl(QRectF())
{
}

ZQMiniControlCluster::~ZQMiniControlCluster()
{
    for (const auto& member : m_controls)
        member->setCluster(nullptr);
}

void ZQMiniControlCluster::addMiniControl(const std::shared_ptr<ZQMiniControl>& control)
{
    if (!control || std::find(m_controls.begin(), m_controls.end(), control) != m_controls.end())
        return;
    if (ZQMiniControlCluster* previous = control->cluster(); previous && previous != this)
        previous->removeMiniControl(control.get());
    m_controls.push_back(control);
    control->setCluster(this);
    if (!control->identifier().isEmpty())
        setControlForKey(control.get(), control->identifier());
}

void ZQMiniControlCluster::removeMiniControl(ZQMiniControl* control)
{
    const auto found = std::find_if(m_controls.begin(), m_controls.end(),
                                    [control](const auto& member) { return member.get() == control; });
    if (found == m_controls.end())
        return;
    const std::shared_ptr<ZQMiniControl> removed = *found; // dies after the bookkeeping, not inside it
    m_controls.erase(found);
    m_controlNames.removeIf([control](const std::pair<const QString&, QPointer<ZQMiniControl>&>& entry) {
        return entry.second == control;
    });
    if (m_hitTarget == control)
        m_hitTarget = nullptr;
    removed->setCluster(nullptr);
}

ZQMiniControl* ZQMiniControlCluster::controlAtIndex(int index) const
{
    return index >= 0 && index < int(m_controls.size()) ? m_controls[size_t(index)].get() : nullptr;
}

void ZQMiniControlCluster::setControlForKey(ZQMiniControl* control, const QString& key)
{
    if (control)
        m_controlNames.insert(key, control);
    else
        m_controlNames.remove(key);
}

ZQMiniControl* ZQMiniControlCluster::controlForKey(const QString& key) const
{
    if (ZQMiniControl* own = m_controlNames.value(key))
        return own;
    for (const auto& member : m_controls)
        if (const auto* nested = qobject_cast<const ZQMiniControlCluster*>(member.get()))
            if (ZQMiniControl* found = nested->controlForKey(key))
                return found;
    return nullptr;
}

QWidget* ZQMiniControlCluster::view() const
{
    if (m_view)
        return m_view;
    return cluster() ? cluster()->view() : nullptr;
}

double ZQMiniControlCluster::alpha() const { return cluster() ? cluster()->alpha() : m_controlAlpha; }

void ZQMiniControlCluster::setAlpha(double alpha)
{
    m_controlAlpha = alpha;
    setNeedsDisplay();
}

bool ZQMiniControlCluster::visible() const { return cluster() ? cluster()->visible() : m_visible; }

void ZQMiniControlCluster::setVisible(bool visible)
{
    if (visible) {
        m_fadeTimer.reset();
        setAlpha(1.0);
        m_visible = true;
    } else if (m_visible) {
        fadeControlAlphaWithTimeInterval(kFadeDuration);
    }
}

void ZQMiniControlCluster::forceVisible(bool visible)
{
    m_visible = visible;
    if (visible)
        setAlpha(1.0);
    else
        setNeedsDisplay();
}

void ZQMiniControlCluster::fadeControlAlphaWithTimeInterval(double seconds)
{
    if (m_fadeTimer)
        return;
    m_fadeStartTime = platform::RunLoop::now();
    m_fadeDuration = seconds;
    m_fadeTimer.emplace(kFadeStepMilliseconds, true, this, [this](platform::Timer&) { timerFadeCallback(); });
}

void ZQMiniControlCluster::timerFadeCallback()
{
    const double elapsed = double(platform::RunLoop::now() - m_fadeStartTime) / 1000.0;
    const bool done = m_fadeDuration <= 0 || elapsed >= m_fadeDuration;
    setAlpha(done ? 0.0 : 1.0 - elapsed / m_fadeDuration);
    if (done) {
        m_visible = false;
        m_fadeTimer.reset();
    }
}

QRectF ZQMiniControlCluster::bounds() const
{
    QRectF united;
    for (const auto& member : m_controls)
        united = united.isNull() ? member->bounds() : united.united(member->bounds());
    return united;
}

void ZQMiniControlCluster::draw(QPainter& painter)
{
    if (!visible())
        return;
    for (const auto& member : m_controls)
        member->draw(painter);
}

int ZQMiniControlCluster::hitTestPoint(QPointF point)
{
    const auto members = membersSnapshot();
    for (auto it = members.rbegin(); it != members.rend(); ++it) {
        if (const int part = (*it)->hitTestPoint(point); part != kNoPart) {
            m_hitTarget = it->get();
            return part;
        }
    }
    return kNoPart;
}

std::shared_ptr<ZQMiniControl> ZQMiniControlCluster::retainedHitTarget() const
{
    for (const auto& member : m_controls)
        if (member.get() == m_hitTarget)
            return member;
    return nullptr;
}

bool ZQMiniControlCluster::mouseDownAt(QPointF point, int, platform::ModifierFlags flags)
{
    if (!visible())
        return false;
    const auto self = retainedSelf();
    m_hitPart = hitTestPoint(point);
    if (m_hitPart == kNoPart)
        return false;
    if (m_hitPart == m_linkPart) {
        for (const auto& member : membersSnapshot())
            member->mouseDownAt(point, m_hitPart, flags);
        return true;
    }
    const auto target = retainedHitTarget();
    return target && target->mouseDownAt(point, m_hitPart, flags);
}

bool ZQMiniControlCluster::mouseDraggedAt(QPointF point, int, platform::ModifierFlags flags)
{
    const auto target = retainedHitTarget();
    if (!visible() || !target)
        return false;
    const auto self = retainedSelf();
    if (m_hitPart == m_linkPart && (flags & m_linkModifierMask)) {
        for (const auto& member : membersSnapshot())
            member->mouseDraggedAt(point, m_hitPart, flags);
        return true;
    }
    return target->mouseDraggedAt(point, m_hitPart, flags);
}

void ZQMiniControlCluster::mouseUpAt(QPointF point, int, platform::ModifierFlags flags)
{
    const auto self = retainedSelf();
    if (const auto target = retainedHitTarget(); visible() && target) {
        if (m_hitPart == m_linkPart) {
            for (const auto& member : membersSnapshot())
                member->mouseUpAt(point, m_hitPart, flags);
        } else {
            target->mouseUpAt(point, m_hitPart, flags);
        }
    }
    m_hitTarget = nullptr;
}

void ZQMiniControlCluster::flagsChanged(platform::ModifierFlags flags)
{
    const auto self = retainedSelf();
    for (const auto& member : membersSnapshot())
        member->flagsChanged(flags);
}

void ZQMiniControlCluster::setLinkControlPartModifierKeyMask(int part, platform::ModifierFlags mask)
{
    m_linkPart = part;
    m_linkModifierMask = mask;
}
