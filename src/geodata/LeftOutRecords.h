#pragma once

// What a shapefile import left out of the map, counted by cause, and told as the sentences a
// user reads after it.

#include <QString>

namespace geodata {

struct LeftOutRecords {
    quint64 outsideDrawing = 0;
    // The drawing's placement came from an earlier import, not from this file.
    bool placementWasKept = false;
    quint64 damaged = 0;
    QString damage; // the damaged records described, with their count
    quint64 notMade = 0;      // the object factory failed on them
    quint64 withoutShape = 0; // null shapes and shape types that are not imported
    // Points of the shapes made that a path cannot hold (not finite numbers, or too large).
    quint64 pointsLeftOut = 0;
    QString attributesProblem;

    // Records left out; points left out of shapes that were made are none.
    quint64 recordCount() const { return outsideDrawing + damaged + notMade + withoutShape; }
    // One sentence (or more) per cause, each with its count; empty when nothing was left out.
    QString description() const;
};

} // namespace geodata
