#pragma once

// Letting go of many objects at once without keeping the main thread from its events. When a
// large map closes, its hundreds of thousands of objects would all be destroyed in one turn of
// the event loop while another map's window waits; handed here, they go a slice per turn, still
// on the main thread their objects belong to.

#include <QList>
#include <QtGlobal>
#include <memory>
#include <vector>

namespace platform {

class GradualRelease {
public:
    // Takes references to drop over later turns on the main thread, each turn stopping once
    // it has spent a few milliseconds. Off the main thread, or with no application, nothing is
    // kept: the caller's references go as they would have.
    template <class T>
    static void releaseLater(const QList<std::shared_ptr<T>>& objects)
    {
        if (!acceptsReferences())
            return;
        std::vector<std::shared_ptr<const void>> references(objects.cbegin(), objects.cend());
        enqueue(std::move(references));
    }

    // References still waiting to be dropped.
    static qsizetype pendingCount();
    // Drops every waiting reference now.
    static void releaseAll();

private:
    static bool acceptsReferences();
    static void enqueue(std::vector<std::shared_ptr<const void>> references);
};

} // namespace platform
