#pragma once

// Dragging rows of the layers panel. A drag declares one of two types and carries no data:
// the dragged items wait in one process-wide slot. Layers
// are moved among and into groups; objects are reordered or moved to another object layer.
//
// The rules are plain functions over items, so they are checked without a drag. Positions
// are child positions in the outline: among layers the index in the group (0 first), among
// objects a row position (0 above the top-most object), -1 a drop onto the row itself. A
// null item is the outline's top level.

#include <QList>
#include <QPointer>
#include <QString>

class VXDrawing;

inline const QString kVLTMLayerDragPasteboardType = QStringLiteral("kVLTMLayerDragPasteboardType");
inline const QString kVLTMDrawableRowPasteboardType = QStringLiteral("kVLTMDrawableRowPasteboardType");

class LayerDropRules {
public:
    // The type a drag of these items declares (the first decides); empty when none may start:
    // the drawing's row, a locked item, a slice, items of no drawing.
    static QString pasteboardTypeForDraggedItems(const QList<QObject*>& items);

    struct Drop {
        bool accepted = false;
        // Where the drop goes, retargeted: a group for layers, an object layer for objects.
        QObject* item = nullptr;
        int childIndex = -1;
    };
    // Whether `dragged` (of `type`) may go to `proposedItem` at `childIndex` in the outline of
    // `drawing`. Refused: items of another drawing; a layer onto the top level or the drawing's
    // row, onto its own group's row, at the top above the drawing's row, into a locked group or
    // into itself or a group it holds; objects anywhere but an unlocked object layer.
    static Drop validateDrop(const QString& type, const QList<QObject*>& dragged, QObject* proposedItem,
                             int childIndex, const VXDrawing* drawing, bool showsRoot);

    // --- The one slot ---------------------------------------------------------------------------
    // The items of the drag in progress from any layers panel; dead ones drop out.
    static QList<QObject*> draggedItems();
    static void setDraggedItems(const QList<QObject*>& items);

private:
    static QList<QPointer<QObject>>& slot();
};
