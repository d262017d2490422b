#include "platform/vantrix/view/ObjectLayerEditing.h"

#include "platform/foundation/EditProgress.h"
#include "platform/foundation/HeapGrowthAhead.h"
#include "platform/foundation/KeyChangeListeners.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <algorithm>
#include <functional>

namespace platform {
namespace {

// What this process last put on the clipboard, so that pasting it back into the drawing it
// came from can step the copies clear of their originals.
struct ClipboardOrigin {
    QPointer<VXDrawing> drawing;
    QByteArray data;
    int pasteCount = 0;
};
ClipboardOrigin g_clipboardOrigin;

const QMimeData* clipboardData()
{
    return QGuiApplication::clipboard()->mimeData();
}

// Also remembers the drawing as their origin, for the paste offset. Shown as the coder goes,
// within the caller's progress scope.
void writeObjectsToClipboard(const QList<VXDrawableObjectPtr>& objects, VXDrawing* drawing, EditProgress::Scope& progress)
{
    const archive::ProgressScope archiving(progress.archiveProgress());
    const HeapGrowthAhead ahead(VXDrawableObject::heapBytesToArchive(objects.size()));
    auto data = std::make_unique<QMimeData>();
    VXDrawableObject::writeObjectsToPasteboard(objects, data.get());
    g_clipboardOrigin = {drawing, data->data(kVXDrawableObjectPasteboardType), 0};
    QGuiApplication::clipboard()->setMimeData(data.release());
}

// Adds the objects and selects them, as one step, the last of `progress`.
void addSelected(VXObjectDrawingLayer* layer, const QList<VXDrawableObjectPtr>& objects, const QString& actionName,
                 EditProgress::Scope& progress)
{
    layer->editWithSelectionUndo(actionName, [&] {
        layer->addObjectsFromArray(objects);
        layer->exchangeSelectionWithObjectsFromArray(objects);
        progress.step();
    });
}

} // namespace

VXObjectDrawingLayer* ObjectLayerEditing::activeLayer() const
{
    return m_drawing ? m_drawing->activeLayerOfClass<VXObjectDrawingLayer>() : nullptr;
}

VXObjectDrawingLayer* ObjectLayerEditing::editableLayer() const
{
    VXObjectDrawingLayer* layer = activeLayer();
    return layer && layer->visible() && !layer->locked() ? layer : nullptr;
}

QList<VXDrawableObjectPtr> ObjectLayerEditing::editableSelection() const
{
    const VXObjectDrawingLayer* layer = editableLayer();
    return layer ? layer->selectedAvailableObjects() : QList<VXDrawableObjectPtr>();
}

void ObjectLayerEditing::copy()
{
    const VXObjectDrawingLayer* layer = activeLayer();
    if (!layer || layer->countOfSelection() == 0)
        return;
    EditProgress::Scope progress(tr("Copy"), 1);
    writeObjectsToClipboard(layer->selection(), m_drawing, progress);
    progress.longStep();
}

void ObjectLayerEditing::cut()
{
    // Locked and hidden objects stay, so they are not on the clipboard either.
    const QList<VXDrawableObjectPtr> removed = editableSelection();
    if (removed.isEmpty())
        return;
    VXObjectDrawingLayer* layer = editableLayer();
    EditProgress::Scope progress(tr("Cut"), 2);
    writeObjectsToClipboard(removed, m_drawing, progress);
    progress.longStep();
    layer->editWithSelectionUndo(tr("Cut"), [&] { layer->removeObjectsInArray(removed); });
}

void ObjectLayerEditing::flip(Qt::Orientation orientation)
{
    const QList<VXDrawableObjectPtr> objects = editableSelection();
    if (objects.isEmpty())
        return;
    VXObjectDrawingLayer* layer = editableLayer();
    const bool horizontal = orientation == Qt::Horizontal;
    const QString actionName = horizontal ? tr("Flip Horizontally") : tr("Flip Vertically");
    // A flip of thousands of objects asks the views to redraw once, and shows its progress.
    const VXDrawing::DisplayBatch display(layer->drawing(), objects.size());
    EditProgress::Scope progress(actionName, objects.size());
    for (const VXDrawableObjectPtr& object : objects) {
        const QPointF centre = object->bounds().center();
        QTransform mirror;
        mirror.translate(centre.x(), centre.y());
        mirror.scale(horizontal ? -1 : 1, horizontal ? 1 : -1);
        mirror.translate(-centre.x(), -centre.y());
        object->applyTransform(mirror);
        progress.step();
    }
    if (ZQUndoManager* undo = layer->undoManager())
        undo->setActionName(actionName);
}

void ObjectLayerEditing::duplicate()
{
    const QList<VXDrawableObjectPtr> originals = editableSelection();
    if (originals.isEmpty())
        return;
    VXObjectDrawingLayer* layer = editableLayer();
    // Copied through an archive, as a paste is: shown as the coders go, then as the copies are added.
    EditProgress::Scope progress(tr("Duplicate"), 2);
    QList<VXDrawableObjectPtr> copies;
    {
        const archive::ProgressScope copying(progress.archiveProgress());
        copies = VXObjectDrawingLayer::linearDuplicateOffsetNumberOfCopies(originals, QSizeF(kPasteOffset, kPasteOffset), 1);
    }
    progress.step();
    if (copies.isEmpty())
        return;
    addSelected(layer, copies, tr("Duplicate"), progress);
}

void ObjectLayerEditing::deleteSelection()
{
    const QList<VXDrawableObjectPtr> removed = editableSelection();
    if (removed.isEmpty())
        return;
    VXObjectDrawingLayer* layer = editableLayer();
    layer->editWithSelectionUndo(tr("Delete"), [&] { layer->removeObjectsInArray(removed); });
}

void ObjectLayerEditing::paste()
{
    VXObjectDrawingLayer* layer = editableLayer();
    const QMimeData* data = clipboardData();
    if (!layer || !data || !data->hasFormat(kVXDrawableObjectPasteboardType))
        return;
    ClipboardOrigin& origin = g_clipboardOrigin;
    const QByteArray bytes = data->data(kVXDrawableObjectPasteboardType);
    // The very buffer this process wrote (shared, so unchanged since): no other writer's bytes.
    const bool written = !bytes.isEmpty() && bytes.constData() == origin.data.constData();
    EditProgress::Scope progress(tr("Paste"), 2);
    const HeapGrowthAhead ahead(VXDrawableObject::heapBytesToDecode(bytes.size()));
    const archive::ProgressScope decoding(progress.archiveProgress());
    // New objects, with keys of their own: no copy of each is needed.
    const QList<VXDrawableObjectPtr> objects = VXDrawableObject::nativeObjectsFromPasteboardData(
        bytes, written ? KeyedUnarchiver::Origin::ThisProcess : KeyedUnarchiver::Origin::Anyone,
        VXDrawableObject::Identity::New);
    progress.step();
    if (objects.isEmpty())
        return;
    if (origin.drawing == m_drawing && (written || origin.data == bytes)) {
        const double offset = kPasteOffset * ++origin.pasteCount;
        const KeyChangeListeners::Pause unfollowed; // the copies are in no document yet
        for (const VXDrawableObjectPtr& object : objects)
            object->setLocation(object->location() + QPointF(offset, offset));
    }
    addSelected(layer, objects, tr("Paste"), progress);
}

void ObjectLayerEditing::selectAll()
{
    if (VXObjectDrawingLayer* layer = activeLayer())
        layer->selectAll();
}

void ObjectLayerEditing::deselectAll()
{
    if (VXObjectDrawingLayer* layer = activeLayer())
        layer->deselectAll();
}

bool ObjectLayerEditing::hasSelection() const
{
    const VXObjectDrawingLayer* layer = activeLayer();
    return layer && layer->countOfSelection() > 0;
}

bool ObjectLayerEditing::canRemoveSelection() const
{
    return !editableSelection().isEmpty();
}

bool ObjectLayerEditing::canPaste() const
{
    const QMimeData* data = clipboardData();
    return editableLayer() && data && data->hasFormat(kVXDrawableObjectPasteboardType);
}

bool ObjectLayerEditing::canSelectAll() const
{
    // Asked before every Ctrl+A and menu display: the first visible object answers.
    const VXObjectDrawingLayer* layer = activeLayer();
    return layer && std::any_of(layer->objects().cbegin(), layer->objects().cend(),
                                [](const VXDrawableObjectPtr& object) { return object->visible(); });
}

} // namespace platform
