// Aligning and distributing the selected objects of an object layer.

#include "platform/foundation/EditProgress.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QHash>
#include <algorithm>

void VXObjectDrawingLayer::moveSelectionBy(
    const std::function<QPointF(const VXDrawableObject&, const QRectF& all)>& offsetFor, const QString& actionName,
    int minimumCount)
{
    const QList<VXDrawableObjectPtr> objects = selectedAvailableObjects();
    if (objects.size() < minimumCount)
        return;
    QRectF all;
    for (const VXDrawableObjectPtr& object : objects)
        all = all.isNull() ? object->bounds() : all.united(object->bounds());
    // Thousands of objects moved one by one ask the views to redraw once, and show the progress.
    const VXDrawing::DisplayBatch display(drawing(), objects.size());
    platform::EditProgress::Scope progress(actionName, objects.size());
    for (const VXDrawableObjectPtr& object : objects) {
        const QPointF offset = offsetFor(*object, all);
        if (!offset.isNull())
            object->setLocation(object->location() + offset);
        progress.step();
    }
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(actionName);
}

void VXObjectDrawingLayer::alignTopEdges(QObject*)
{
    moveSelectionBy([](const VXDrawableObject& object, const QRectF& all) { return QPointF(0, all.top() - object.bounds().top()); },
                    tr("Align Top Edges"));
}

void VXObjectDrawingLayer::alignVerticalCentres(QObject*)
{
    moveSelectionBy(
        [](const VXDrawableObject& object, const QRectF& all) { return QPointF(0, all.center().y() - object.bounds().center().y()); },
        tr("Align Vertical Centers"));
}

void VXObjectDrawingLayer::alignBottomEdges(QObject*)
{
    moveSelectionBy(
        [](const VXDrawableObject& object, const QRectF& all) { return QPointF(0, all.bottom() - object.bounds().bottom()); },
        tr("Align Bottom Edges"));
}

void VXObjectDrawingLayer::alignLeftEdges(QObject*)
{
    moveSelectionBy([](const VXDrawableObject& object, const QRectF& all) { return QPointF(all.left() - object.bounds().left(), 0); },
                    tr("Align Left Edges"));
}

void VXObjectDrawingLayer::alignHorizontalCentres(QObject*)
{
    moveSelectionBy(
        [](const VXDrawableObject& object, const QRectF& all) { return QPointF(all.center().x() - object.bounds().center().x(), 0); },
        tr("Align Horizontal Centers"));
}

void VXObjectDrawingLayer::alignRightEdges(QObject*)
{
    moveSelectionBy(
        [](const VXDrawableObject& object, const QRectF& all) { return QPointF(all.right() - object.bounds().right(), 0); },
        tr("Align Right Edges"));
}

void VXObjectDrawingLayer::distributeSelection(Qt::Orientation orientation, bool centres, const QString& actionName)
{
    const bool vertical = orientation == Qt::Vertical;
    const auto start = [vertical](const QRectF& rect) { return vertical ? rect.top() : rect.left(); };
    const auto extent = [vertical](const QRectF& rect) { return vertical ? rect.height() : rect.width(); };
    const auto centre = [vertical](const QRectF& rect) { return vertical ? rect.center().y() : rect.center().x(); };
    QList<VXDrawableObjectPtr> objects = selectedAvailableObjects();
    if (objects.size() < 3)
        return;
    // Placed in the order they lie, the outermost two fixed.
    std::stable_sort(objects.begin(), objects.end(), [&](const VXDrawableObjectPtr& a, const VXDrawableObjectPtr& b) {
        return centres ? centre(a->bounds()) < centre(b->bounds()) : start(a->bounds()) < start(b->bounds());
    });
    QHash<const VXDrawableObject*, double> positions;
    const QRectF first = objects.first()->bounds();
    const QRectF last = objects.last()->bounds();
    const qsizetype gaps = objects.size() - 1;
    if (centres) {
        const double step = (centre(last) - centre(first)) / gaps;
        for (qsizetype index = 1; index < gaps; ++index)
            positions.insert(objects[index].get(), centre(first) + index * step - extent(objects[index]->bounds()) / 2);
    } else {
        double occupied = 0;
        for (const VXDrawableObjectPtr& object : std::as_const(objects))
            occupied += extent(object->bounds());
        const double gap = (start(last) + extent(last) - start(first) - occupied) / gaps;
        double next = start(first) + extent(first) + gap;
        for (qsizetype index = 1; index < gaps; ++index) {
            positions.insert(objects[index].get(), next);
            next += extent(objects[index]->bounds()) + gap;
        }
    }
    moveSelectionBy(
        [&](const VXDrawableObject& object, const QRectF&) {
            if (!positions.contains(&object))
                return QPointF();
            const double offset = positions.value(&object) - start(object.bounds());
            return vertical ? QPointF(0, offset) : QPointF(offset, 0);
        },
        actionName, 3);
}

void VXObjectDrawingLayer::distributeVerticalSpace(QObject*)
{
    distributeSelection(Qt::Vertical, false, tr("Distribute Vertical Space"));
}

void VXObjectDrawingLayer::distributeVerticalCentres(QObject*)
{
    distributeSelection(Qt::Vertical, true, tr("Distribute Vertical Centers"));
}

void VXObjectDrawingLayer::distributeHorizontalSpace(QObject*)
{
    distributeSelection(Qt::Horizontal, false, tr("Distribute Horizontal Space"));
}

void VXObjectDrawingLayer::distributeHorizontalCentres(QObject*)
{
    distributeSelection(Qt::Horizontal, true, tr("Distribute Horizontal Centers"));
}
