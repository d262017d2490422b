#pragma once

// Keeps the object rows the outline paints current without watching every object of the
// drawing: an object is watched from the first time its row is painted. A change of its name,
// lock or visibility redraws the row at once; a change of its look draws its icon again 0.2 s
// after the last of a burst of changes. The watch list is bounded: past its capacity it
// starts afresh, and the rows painted next are watched again.

#include "platform/foundation/KeyValueObserving.h"

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QPointer>

class VXDrawableObject;

class ObjectRowWatcher : public QObject {
    Q_OBJECT

public:
    static constexpr int kIconRefreshDelay = 200;
    static constexpr int kCapacity = 4000;

    explicit ObjectRowWatcher(QObject* parent = nullptr);
    ~ObjectRowWatcher() override;

    // The object's icon, drawn on first use and kept; the object is watched from then on.
    QPixmap iconForObject(VXDrawableObject* object);
    // Stops watching every object.
    void clear();
    int watchedCount() const { return int(m_entries.size()); }

Q_SIGNALS:
    // The object's row needs drawing again (its icon, when it changed, is already new).
    void objectRowChanged(QObject* object);

private:
    struct Entry {
        QPointer<VXDrawableObject> object;
        QPixmap icon;
        QList<platform::ObservationToken> tokens;
    };
    void scheduleIconRefresh(const VXDrawableObject* object);
    void refreshIcon(const VXDrawableObject* object);
    static QPixmap drawIcon(const VXDrawableObject& object);

    QHash<const VXDrawableObject*, Entry> m_entries;
};
