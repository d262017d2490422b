#pragma once

// The observers of one component. Most components have one, the object drawn with them, held
// inline: a table for it took 160 bytes, for each object of a map whose objects each have a
// style of their own. A style shared by a million objects has a million, added and removed in
// bulk as pastes, restyles and their undos come and go, held in a set of bare pointers.
// An observer that is a QObject and does not stop observing before it is destroyed is tracked,
// and counts as gone once it is destroyed.

#include <QPointer>
#include <unordered_map>
#include <unordered_set>

class VXRasterizerObserver;

class RastObserverSet {
public:
    // Adding an observer again keeps it once, tracked by `trackedObject` (or no more).
    void insert(VXRasterizerObserver* observer, QObject* trackedObject);
    // False when it was not there.
    bool remove(VXRasterizerObserver* observer);
    // Present and not gone.
    bool containsLive(VXRasterizerObserver* observer) const;
    // Removes the observers that are gone; how many.
    qsizetype removeGone();
    qsizetype size() const { return m_many.empty() ? (m_sole ? 1 : 0) : qsizetype(m_many.size()); }

    // Calls `visit` for each observer that is not gone, in no particular order.
    template <class Visit>
    void forEachLive(Visit visit) const
    {
        const auto live = [&](VXRasterizerObserver* observer) { return m_tracked.empty() || isLive(observer); };
        if (m_sole && live(m_sole))
            visit(m_sole);
        for (VXRasterizerObserver* observer : m_many)
            if (live(observer))
                visit(observer);
    }

private:
    bool isLive(VXRasterizerObserver* observer) const;

    VXRasterizerObserver* m_sole = nullptr; // the only observer, while m_many is empty
    // Every observer, once there are two. Its removals are what a restyle of a million waits
    // on: an open-addressed set moved its neighbours back for each.
    std::unordered_set<VXRasterizerObserver*> m_many;
    // Few and often alone: a QHash would set aside room for 48 (1.3 KB).
    std::unordered_map<VXRasterizerObserver*, QPointer<QObject>> m_tracked;
};
