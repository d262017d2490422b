#pragma once

// What edge labels and border bands share: an owner that answers VXQGridInfoProtocol (not
// kept alive by them) and the margin strips, one per edge, that a change asks the owner to
// redraw.

#include "furniture/edges/VXQGridInfoProtocol.h"
#include "platform/foundation/ZQObject.h"

#include <QPointer>

namespace platform {
class KeyedArchiver;
class KeyedUnarchiver;
}

class GridEdgeDecoration : public ZQObject {
    Q_OBJECT

public:
    ~GridEdgeDecoration() override;

    QObject* owner() const { return m_owner; }
    // The owner must answer VXQGridInfoProtocol: anything else, null included, throws a
    // platform::NamedException and keeps the previous owner.
    void setOwner(QObject* owner);
    // The owner's answers, or null once it is gone.
    VXQGridInfoProtocol* gridInfo() const;

    // The area the decoration covers along one edge (1, 2, 4 or 8).
    virtual QRectF boundsForEdge(int edge) const = 0;
    // Asks the owner to redraw the strips of the four edges, left, right, top and bottom.
    void setNeedsDisplay() const;

protected:
    GridEdgeDecoration();
    // The owner's rectangle; the zero rectangle without owner.
    QRectF ownerBorderRect() const;
    // The owner's span length; none without owner or unless a positive, finite number.
    std::optional<double> ownerSpanLength() const;
    // The owner is archived conditionally; an archive without one, or with an object that is
    // no grid owner, leaves the owner to whoever holds the decoration.
    void encodeOwner(platform::KeyedArchiver& coder, const QString& key) const;
    void decodeOwner(platform::KeyedUnarchiver& coder, const QString& key);
    // Setter of a stored property: announces the change and redraws when the value differs.
    template <class T>
    bool changeField(const char* key, T& field, const T& value)
    {
        if (field == value)
            return false;
        announceChangeForKey(QString::fromLatin1(key), [&] { field = value; });
        setNeedsDisplay();
        return true;
    }

private:
    QPointer<QObject> m_owner;
    VXQGridInfoProtocol* m_gridInfo = nullptr;
};
