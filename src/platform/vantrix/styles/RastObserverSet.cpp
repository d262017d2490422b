#include "platform/vantrix/styles/RastObserverSet.h"

#include <vector>

void RastObserverSet::insert(VXRasterizerObserver* observer, QObject* trackedObject)
{
    if (trackedObject)
        m_tracked.insert_or_assign(observer, trackedObject);
    else if (!m_tracked.empty())
        m_tracked.erase(observer);
    if (!m_many.empty()) {
        m_many.insert(observer);
    } else if (!m_sole) {
        m_sole = observer;
    } else if (m_sole != observer) {
        m_many = {m_sole, observer};
        m_sole = nullptr;
    }
}

bool RastObserverSet::remove(VXRasterizerObserver* observer)
{
    if (!m_tracked.empty())
        m_tracked.erase(observer);
    if (m_sole == observer && observer) {
        m_sole = nullptr;
        return true;
    }
    if (m_many.erase(observer) == 0)
        return false;
    // Back inline: a set emptied by an undo gives its table back.
    if (m_many.size() == 1) {
        m_sole = *m_many.cbegin();
        m_many = decltype(m_many)();
    }
    return true;
}

bool RastObserverSet::containsLive(VXRasterizerObserver* observer) const
{
    const bool present = m_many.empty() ? observer && observer == m_sole : m_many.contains(observer);
    return present && (m_tracked.empty() || isLive(observer));
}

qsizetype RastObserverSet::removeGone()
{
    std::vector<VXRasterizerObserver*> gone;
    for (const auto& [observer, object] : m_tracked)
        if (!object)
            gone.push_back(observer);
    for (VXRasterizerObserver* observer : gone)
        remove(observer);
    return qsizetype(gone.size());
}

bool RastObserverSet::isLive(VXRasterizerObserver* observer) const
{
    const auto it = m_tracked.find(observer);
    return it == m_tracked.cend() || it->second;
}
