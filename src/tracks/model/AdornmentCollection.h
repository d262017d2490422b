#pragma once

// The adornments a multi-style path carries, in drawing order, and the selected ones among
// them. The path is the container of every adornment in the collection. Inserting and removing
// are refused while the path is locked, register their undo on the path's undo manager and
// announce the path's "adornments" key and its change of bounds; selecting announces
// "selectedAdornments" and redraws the path.

#include "tracks/model/VXQAdornment.h"

#include <QList>
#include <QPointF>

class ZQMultiStylePath;

class AdornmentCollection {
public:
    explicit AdornmentCollection(ZQMultiStylePath& path);
    AdornmentCollection(const AdornmentCollection&) = delete;
    AdornmentCollection& operator=(const AdornmentCollection&) = delete;

    const QList<VXQAdornmentPtr>& list() const { return m_adornments; }
    // At `index`, clamped to the list.
    void insertAtIndex(const VXQAdornmentPtr& adornment, int index);
    // Adornments not in the collection are ignored.
    void remove(const VXQAdornment* adornment);
    // Replaces the list with adornments read from an archive, without undo or announcement;
    // those without an object are left out.
    void setDecoded(QList<VXQAdornmentPtr> adornments);

    // The index of the topmost adornment drawn on `path` under the point, or -1.
    int indexHitByPoint(QPointF point, const platform::BezierPath& path) const;
    // Whether the point lies within `reach` of an adornment's bounds on `path`.
    bool anyWithinDistanceOfPoint(double reach, QPointF point, const platform::BezierPath& path) const;

    const QList<VXQAdornmentPtr>& selection() const { return m_selection; }
    // Adornments not in the collection, and repeats, are left out.
    void setSelection(const QList<VXQAdornmentPtr>& adornments);
    // A press on an adornment selects it alone; a toggling press adds it to the selection or
    // takes it out.
    void selectPressed(const VXQAdornmentPtr& adornment, bool toggling);

private:
    ZQMultiStylePath& m_path;
    QList<VXQAdornmentPtr> m_adornments;
    QList<VXQAdornmentPtr> m_selection;
};
