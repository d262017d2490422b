#pragma once

// A drawable that takes drops on itself. An object drawing layer offers a drop under the
// pointer to an unlocked one first, before it takes the drop as objects, files or an image.

#include <QStringList>
#include <Qt>

class QMimeData;

class VXObjectDropTarget {
public:
    virtual ~VXObjectDropTarget() = default;
    // The MIME types taken for the operation (VXPasteboardOperation flags).
    virtual QStringList pasteboardTypesForOperation(int operation) const = 0;
    // Answers whether the drop was taken.
    virtual bool performDragOperation(const QMimeData* data, Qt::KeyboardModifiers modifiers) = 0;
};
