#pragma once

// A search over drawable objects (the search subsystem's queries implement it), so that
// the core can narrow a set of objects without knowing how queries are built.

#include <QList>
#include <memory>

class VXDrawableObject;

class ObjectQuery {
public:
    virtual ~ObjectQuery() = default;

    // The members of `objects` that match, in their order.
    virtual QList<std::shared_ptr<VXDrawableObject>> findAllMatchingObjectsIn(
        const QList<std::shared_ptr<VXDrawableObject>>& objects) const = 0;
};
