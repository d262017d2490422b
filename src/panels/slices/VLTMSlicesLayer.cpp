#include "panels/slices/VLTMSlicesLayer.h"

#include "app/application/VLTMHelpTrampoline.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "panels/slices/SlicesToolPalette.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/model/VXLayerMouseEvent.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QApplication>
#include <QCoreApplication>
#include <cmath>

namespace {

const QString kSlicesKey = QStringLiteral("VLTMSlicesLayer_slices");
const QString kToolModeKey = QStringLiteral("VLTMSlicesLayer_toolMode");
const QString kSliceInfoKey = QStringLiteral("slice");
const QString kSlicesInfoKey = QStringLiteral("slices");

// A new slice must be larger than this each way to be kept.
constexpr double kMinimumSliceSide = 4;


QVariant sliceValue(const VXQSlicePtr& slice) { return QVariant::fromValue(ZQObjectPtr(slice)); }

QVariantList sliceValues(const QList<VXQSlicePtr>& slices)
{
    QVariantList values;
    for (const VXQSlicePtr& slice : slices)
        values.append(sliceValue(slice));
    return values;
}

QPointF flooredPoint(QPointF point) { return {std::floor(point.x()), std::floor(point.y())}; }

} // namespace

VLTMSlicesLayer::VLTMSlicesLayer()
{
    setLayerName(tr("Slices"));
    setSelectionColour(Qt::black);
    setShouldDrawToPrinter(false);
}

VLTMSlicesLayer::~VLTMSlicesLayer()
{
    for (const VXQSlicePtr& slice : std::as_const(m_slices))
        slice->m_slicesLayer = nullptr;
}

VLTMSlicesLayer* VLTMSlicesLayer::slicesLayerOfDrawing(const VXDrawing* drawing)
{
    return drawing ? qobject_cast<VLTMSlicesLayer*>(drawing->slicesLayer()) : nullptr;
}

void VLTMSlicesLayer::post(const QString& name, const QVariantMap& userInfo)
{
    platform::NotificationCenter::defaultCenter().postNotificationName(name, this, userInfo);
}

void VLTMSlicesLayer::nameUndoAction(const QString& name) const
{
    ZQUndoManager* undo = undoManager();
    if (undo && !undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(name);
}

// --- Slices ----------------------------------------------------------------------------------------

QVariantList VLTMSlicesLayer::slicesValue() const { return sliceValues(m_slices); }

void VLTMSlicesLayer::setSlices(const QList<VXQSlicePtr>& slices)
{
    announceChangeForKey(kSlicesInfoKey, [&] {
        for (const VXQSlicePtr& slice : std::as_const(m_slices))
            slice->m_slicesLayer = nullptr;
        m_slices = slices;
        m_selectedSlices.clear();
        for (const VXQSlicePtr& slice : std::as_const(m_slices))
            slice->m_slicesLayer = this;
    });
    setNeedsDisplay();
}

qint64 VLTMSlicesLayer::indexOfSlice(const VXQSlice* slice) const
{
    for (qsizetype i = 0; i < m_slices.size(); ++i)
        if (m_slices[i].get() == slice)
            return i;
    return -1;
}

VXQSlicePtr VLTMSlicesLayer::addNewSlice()
{
    auto slice = std::make_shared<VXQSlice>();
    slice->setTitle(tr("Slice"));
    addSlice(slice);
    return slice;
}

VXQSlicePtr VLTMSlicesLayer::makeSliceAtPoint(QPointF point)
{
    auto slice = std::make_shared<VXQSlice>();
    slice->setTitle(tr("Slice"));
    slice->m_bounds = QRectF(point, QSizeF(0, 0));
    addSlice(slice);
    return slice;
}

void VLTMSlicesLayer::addSlice(const VXQSlicePtr& slice)
{
    if (!ZQ_EXPECT(slice, QStringLiteral("cannot pass nil to -addSlice:")))
        return;
    const QVariantMap info{{kSliceInfoKey, sliceValue(slice)}};
    announceChangeForKey(kSlicesInfoKey, [&] {
        post(kVLTMSlicesLayerWillAddSlice, info);
        if (ZQUndoManager* undo = undoManager())
            undo->registerUndoWithTargetHandler(this, [this, slice] { removeSlice(slice.get()); });
        slice->setSlicesLayer(this);
        m_slices.append(slice);
        slice->setNeedsDisplay();
        post(kVLTMSlicesLayerDidAddSlice, info);
        nameUndoAction(tr("Add Slice"));
    });
}

void VLTMSlicesLayer::removeSlice(const VXQSlice* slice)
{
    const qint64 index = indexOfSlice(slice);
    if (index < 0)
        return;
    const VXQSlicePtr kept = m_slices[index];
    const QVariantMap info{{kSliceInfoKey, sliceValue(kept)}};
    announceChangeForKey(kSlicesInfoKey, [&] {
        post(kVLTMSlicesLayerWillRemoveSlice, info);
        if (ZQUndoManager* undo = undoManager())
            undo->registerUndoWithTargetHandler(this, [this, kept] { addSlice(kept); });
        kept->setNeedsDisplay();
        kept->setSlicesLayer(nullptr);
        if (isSelectedSlice(kept.get()))
            deselectSlice(kept.get());
        m_slices.removeAt(index);
        setNeedsDisplay();
        post(kVLTMSlicesLayerDidRemoveSlice, info);
        nameUndoAction(tr("Delete Slice"));
    });
}

void VLTMSlicesLayer::removeAllSlices()
{
    const QList<VXQSlicePtr> removed = m_slices;
    announceChangeForKey(kSlicesInfoKey, [&] {
        post(kVLTMSlicesLayerWillRemoveSlice);
        // Putting them back attaches them again, or they could not draw, delete or export.
        if (ZQUndoManager* undo = undoManager())
            undo->registerUndoWithTargetHandler(this, [this, removed] {
                setSlices(removed);
                if (ZQUndoManager* inverse = undoManager())
                    inverse->registerUndoWithTargetHandler(this, [this] { removeAllSlices(); });
            });
        for (const VXQSlicePtr& slice : removed)
            slice->setSlicesLayer(nullptr);
        m_slices.clear();
        m_selectedSlices.clear();
        setNeedsDisplay();
        post(kVLTMSlicesLayerDidRemoveSlice);
        nameUndoAction(tr("Delete Slices"));
    });
}

VXQSlicePtr VLTMSlicesLayer::sliceAtPointHitPart(QPointF point, int* part) const
{
    int hit = kVXQSliceNoPart;
    for (auto it = m_slices.crbegin(); it != m_slices.crend(); ++it) {
        hit = (*it)->hitTest(point);
        if (hit != kVXQSliceNoPart) {
            if (part)
                *part = hit;
            return *it;
        }
    }
    if (part)
        *part = hit;
    return nullptr;
}

// --- Selection ---------------------------------------------------------------------------------------

QList<VXQSlicePtr> VLTMSlicesLayer::selectedSlices() const
{
    QList<VXQSlicePtr> selected;
    for (const VXQSlicePtr& slice : m_slices)
        if (m_selectedSlices.contains(slice.get()))
            selected.append(slice);
    return selected;
}

QVariantList VLTMSlicesLayer::selectedSlicesValue() const { return sliceValues(selectedSlices()); }

void VLTMSlicesLayer::selectSliceExtendingSelection(const VXQSlicePtr& slice, bool extending)
{
    if (!slice)
        return;
    selectSlicesInArrayExtendingSelection({slice}, extending);
    showSelectionInRulers(slice->bounds());
}

void VLTMSlicesLayer::selectSlicesInArrayExtendingSelection(const QList<VXQSlicePtr>& slices, bool extending)
{
    const QVariantMap info{{kSliceInfoKey, slices.isEmpty() ? QVariant() : sliceValue(slices.first())},
                           {kSlicesInfoKey, sliceValues(slices)}};
    announceChangeForKey(QStringLiteral("selectedSlices"), [&] {
        post(kVLTMSliceLayerWillChangeSelection, info);
        for (const VXQSlicePtr& slice : slices)
            slice->setNeedsDisplay();
        if (!extending)
            deselectAll();
        for (const VXQSlicePtr& slice : slices)
            m_selectedSlices.insert(slice.get());
        post(kVLTMSlicesLayerDidChangeSelection, info);
    });
}

void VLTMSlicesLayer::deselectSlice(const VXQSlice* slice)
{
    const qint64 index = indexOfSlice(slice);
    const QVariantMap info{{kSliceInfoKey, index >= 0 ? sliceValue(m_slices[index]) : QVariant()}};
    announceChangeForKey(QStringLiteral("selectedSlices"), [&] {
        post(kVLTMSliceLayerWillChangeSelection, info);
        slice->setNeedsDisplay();
        m_selectedSlices.remove(slice);
        post(kVLTMSlicesLayerDidChangeSelection, info);
    });
    showSelectionInRulers(QRectF());
}

void VLTMSlicesLayer::selectAll()
{
    announceChangeForKey(QStringLiteral("selectedSlices"), [&] {
        post(kVLTMSliceLayerWillChangeSelection);
        for (const VXQSlicePtr& slice : std::as_const(m_slices)) {
            m_selectedSlices.insert(slice.get());
            slice->setNeedsDisplay();
        }
        post(kVLTMSlicesLayerDidChangeSelection);
    });
}

void VLTMSlicesLayer::deselectAll()
{
    announceChangeForKey(QStringLiteral("selectedSlices"), [&] {
        post(kVLTMSliceLayerWillChangeSelection);
        for (const VXQSlicePtr& slice : selectedSlices())
            slice->setNeedsDisplay();
        m_selectedSlices.clear();
        post(kVLTMSlicesLayerDidChangeSelection);
    });
    showSelectionInRulers(QRectF());
}

// --- Moving, snapping and undo ---------------------------------------------------------------------------

void VLTMSlicesLayer::moveSelectedSlicesByXByY(double dx, double dy)
{
    if (dx == 0 && dy == 0)
        return;
    for (const VXQSlicePtr& slice : selectedSlices())
        slice->setBounds(slice->bounds().translated(dx, dy));
}

QList<QPointF> VLTMSlicesLayer::selectionSnappingPointsWithOffset(QPointF offset) const
{
    QList<QPointF> points;
    for (const VXQSlicePtr& slice : selectedSlices())
        points.append(slice->snappingPointsWithOffset(offset));
    return points;
}

QPointF VLTMSlicesLayer::snapPointToGuides(QPointF point) const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->snapToGuides(point) : point;
}

QPointF VLTMSlicesLayer::snapPointsToGuidesWithControlFlag(const QList<QPointF>& points, bool controlFlag) const
{
    const VXDrawing* owner = drawing();
    return controlFlag || !owner ? QPointF() : owner->snapPointsToGuide(points);
}

QString VLTMSlicesLayer::dimensionStringForLength(double length) const
{
    const VXDrawing* owner = drawing();
    if (!m_useDrawingUnits || !owner)
        return QStringLiteral("%1 pt").arg(length, 0, 'f', 0);
    return QStringLiteral("%1 %2").arg(owner->convertLength(length), 0, 'f', 2).arg(owner->abbreviatedDrawingUnits());
}

QList<VLTMSlicesLayer::SliceState> VLTMSlicesLayer::saveSlicesUndoInfo()
{
    m_savedUndoInfo.clear();
    for (const VXQSlicePtr& slice : std::as_const(m_slices))
        m_savedUndoInfo.append({slice, slice->bounds(), isSelectedSlice(slice.get())});
    return m_savedUndoInfo;
}

void VLTMSlicesLayer::restoreSlicesWithUndoInfo(const QList<SliceState>& info)
{
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, redo = saveSlicesUndoInfo()] { restoreSlicesWithUndoInfo(redo); });
    deselectAll();
    for (const SliceState& state : info) {
        if (indexOfSlice(state.slice.get()) < 0)
            continue;
        state.slice->setBounds(state.bbox);
        if (state.sel)
            m_selectedSlices.insert(state.slice.get());
    }
    if (!m_selectedSlices.isEmpty())
        post(kVLTMSlicesLayerDidChangeSelection);
    m_savedUndoInfo.clear();
}

// --- Tools ---------------------------------------------------------------------------------------------

void VLTMSlicesLayer::setToolMode(int mode)
{
    if (mode == m_toolMode)
        return;
    announceChangeForKey(QStringLiteral("toolMode"), [&] { m_toolMode = mode; });
    post(kVLTMSlicesLayerToolModeDidChange);
    SlicesToolPalette::sharedSlicesToolPalette().selectToolMode(mode);
    if (m_currentView)
        m_currentView->viewport()->setCursor(cursor());
}

void VLTMSlicesLayer::setToolModeAction(QObject* sender)
{
    if (const auto* item = qobject_cast<platform::MenuItem*>(sender))
        setToolMode(item->tag());
    else if (sender)
        setToolMode(sender->property("tag").toInt());
}

void VLTMSlicesLayer::showToolPalette(bool show)
{
    SlicesToolPalette& palette = SlicesToolPalette::sharedSlicesToolPalette();
    if (!show) {
        palette.close();
        return;
    }
    palette.setDelegate(this);
    palette.showWindow();
    palette.selectToolMode(m_toolMode);
}

VXDrawingView* VLTMSlicesLayer::currentView() const { return m_currentView; }

QCursor VLTMSlicesLayer::cursor() const
{
    return m_toolMode == kVLTMSlicesDrawMode ? QCursor(Qt::CrossCursor) : QCursor(Qt::ArrowCursor);
}

void VLTMSlicesLayer::showSelectionInRulers(const QRectF& rect) const
{
    if (m_currentView)
        m_currentView->updateRulerMarkersForRect(rect);
}

void VLTMSlicesLayer::mouseDownInView(const VXLayerMouseEvent& event, VXDrawingView* view)
{
    m_currentView = view;
    const QPointF point = flooredPoint(event.point);
    m_dragAnchor = snapPointToGuides(point);
    m_mouseMoved = false;
    if (m_toolMode == kVLTMSlicesDrawMode) {
        // The new slice becomes an undo step only if it is kept, at the release.
        const platform::UndoSuspension suspension(undoManager());
        m_draggingSlice = makeSliceAtPoint(m_dragAnchor);
        selectSliceExtendingSelection(m_draggingSlice, false);
        return;
    }
    int part = kVXQSliceNoPart;
    m_draggingSlice = sliceAtPointHitPart(point, &part);
    const bool extending = event.modifierFlags & (platform::ShiftKeyMask | platform::CommandKeyMask);
    if (!m_draggingSlice) {
        if (!extending)
            deselectAll();
        return;
    }
    m_partCode = part;
    m_dragOffset = point - m_draggingSlice->bounds().topLeft();
    if (part == kVXQSliceResizeHandle) {
        m_dragAnchor = m_draggingSlice->bounds().topLeft();
    } else if (!isSelectedSlice(m_draggingSlice.get())) {
        selectSliceExtendingSelection(m_draggingSlice, extending);
    } else if (event.modifierFlags & platform::CommandKeyMask) {
        deselectSlice(m_draggingSlice.get());
    }
}

void VLTMSlicesLayer::mouseDraggedInView(const VXLayerMouseEvent& event, VXDrawingView* view)
{
    // A drag that began on no slice does nothing.
    if (!m_draggingSlice)
        return;
    m_currentView = view;
    const QPointF point = flooredPoint(event.point);
    if (!m_mouseMoved) {
        saveSlicesUndoInfo();
        m_mouseMoved = true;
    }
    if (m_toolMode == kVLTMSlicesDrawMode || m_partCode == kVXQSliceResizeHandle) {
        m_draggingSlice->setBounds(QRectF(m_dragAnchor, snapPointToGuides(point)).normalized());
    } else {
        const QPointF delta = point - m_dragOffset - m_draggingSlice->bounds().topLeft();
        const bool noSnapping = event.modifierFlags & (platform::ControlKeyMask | platform::OptionKeyMask);
        const QPointF snap =
            snapPointsToGuidesWithControlFlag(selectionSnappingPointsWithOffset(delta), noSnapping);
        moveSelectedSlicesByXByY(delta.x() + snap.x(), delta.y() + snap.y());
    }
    showSelectionInRulers(m_draggingSlice->bounds());
}

void VLTMSlicesLayer::mouseUpInView(const VXLayerMouseEvent&, VXDrawingView* view)
{
    m_currentView = view;
    if (!m_draggingSlice) {
        resetDrag();
        return;
    }
    if (m_toolMode == kVLTMSlicesDrawMode) {
        const QRectF bounds = m_draggingSlice->bounds();
        if (bounds.width() <= kMinimumSliceSide || bounds.height() <= kMinimumSliceSide) {
            const platform::UndoSuspension suspension(undoManager());
            removeSlice(m_draggingSlice.get());
        } else if (ZQUndoManager* undo = undoManager()) {
            undo->registerUndoWithTargetHandler(this, [this, slice = m_draggingSlice] { removeSlice(slice.get()); });
            nameUndoAction(tr("Add Slice"));
        }
    } else if (m_mouseMoved) {
        if (ZQUndoManager* undo = undoManager())
            undo->registerUndoWithTargetHandler(this, [this, info = m_savedUndoInfo] { restoreSlicesWithUndoInfo(info); });
        if (m_partCode == kVXQSliceResizeHandle)
            nameUndoAction(tr("Resize Slice"));
        else
            nameUndoAction(m_selectedSlices.size() < 2 ? tr("Move Slice") : tr("Move Slices"));
    }
    resetDrag();
}

void VLTMSlicesLayer::resetDrag()
{
    m_draggingSlice.reset();
    m_mouseMoved = false;
    m_savedUndoInfo.clear();
    m_partCode = kVXQSliceNoPart;
}

// --- Layer behaviour ---------------------------------------------------------------------------------------

QIcon VLTMSlicesLayer::icon() const { return QIcon(QStringLiteral(":/bundle/images/VL_Layer_Slices-Template.svg")); }

QString VLTMSlicesLayer::auxiliaryInfoString() const
{
    return tr("%n slice(s), %1 selected", nullptr, int(m_slices.size())).arg(m_selectedSlices.size());
}

void VLTMSlicesLayer::drawLiveRectInView(const QRectF& rect, VXDrawingView* view) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!view || !context)
        return;
    for (const VXQSlicePtr& slice : m_slices)
        if (slice->visible() && slice->extent().intersects(rect))
            slice->drawInContextSelected(*context, isSelectedSlice(slice.get()));
}

void VLTMSlicesLayer::setVisibleWithoutUndo(bool visible)
{
    // Showing and hiding follow activation, which is not an edit.
    const platform::UndoSuspension suspension(undoManager());
    setVisible(visible);
}

void VLTMSlicesLayer::layerDidBecomeActiveLayer()
{
    VXLayer::layerDidBecomeActiveLayer();
    setVisibleWithoutUndo(true);
    showToolPalette(true);
}

void VLTMSlicesLayer::layerDidResignActiveLayer()
{
    VXLayer::layerDidResignActiveLayer();
    setVisibleWithoutUndo(false);
    showToolPalette(false);
}

std::unique_ptr<platform::Menu> VLTMSlicesLayer::menuForEventInView(QPointF point, VXDrawingView* view)
{
    m_currentView = view;
    if (const VXQSlicePtr slice = sliceAtPointHitPart(point))
        return slice->menuForEventInView(point, view);
    auto menu = std::make_unique<platform::Menu>();
    const auto addModeItem = [&](const QString& title, int mode) {
        platform::MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(title, "setToolModeAction");
        item->setTag(mode);
        item->setTarget(this);
    };
    addModeItem(tr("Draw Slices"), kVLTMSlicesDrawMode);
    addModeItem(tr("Select Slices"), kVLTMSlicesSelectMode);
    menu->addItemWithTitleActionKeyEquivalent(tr("Export Slices..."), "exportAction");
    if (!m_selectedSlices.isEmpty())
        menu->addItemWithTitleActionKeyEquivalent(tr("Copy Slices"), "copy")->setTarget(this);
    if (VXQSlice::canInitWithPasteboard(platform::Pasteboard::generalPasteboard()))
        menu->addItemWithTitleActionKeyEquivalent(tr("Paste Slices"), "paste")->setTarget(this);
    menu->addSeparator();
    menu->addItemWithTitleActionKeyEquivalent(tr("Slices Help..."), "slicesHelpAction")->setTarget(this);
    return menu;
}

bool VLTMSlicesLayer::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    if (action == "setToolModeAction") {
        item->setState(item->tag() == m_toolMode ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    }
    if (action == "paste")
        return VXQSlice::canInitWithPasteboard(platform::Pasteboard::generalPasteboard());
    if (action == "extractDrawingAction")
        return m_selectedSlices.size() == 1;
    return respondsToSelector(action);
}

// --- Commands --------------------------------------------------------------------------------------------

void VLTMSlicesLayer::copy(QObject*)
{
    const QList<VXQSlicePtr> selected = selectedSlices();
    if (selected.isEmpty())
        return;
    platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    pasteboard.clearContents();
    for (const VXQSlicePtr& slice : selected)
        slice->writeToPasteboard(pasteboard);
}

void VLTMSlicesLayer::paste(QObject*)
{
    const QList<VXQSlicePtr> pasted = VXQSlice::readSlicesFromPasteboard(platform::Pasteboard::generalPasteboard());
    if (pasted.isEmpty())
        return;
    for (const VXQSlicePtr& slice : pasted)
        addSlice(slice);
    selectSlicesInArrayExtendingSelection(pasted, false);
    nameUndoAction(tr("Paste Slices"));
}

void VLTMSlicesLayer::delete_(QObject*)
{
    // Removing deselects, so the selection is copied first.
    const QList<VXQSlicePtr> selected = selectedSlices();
    for (const VXQSlicePtr& slice : selected)
        slice->removeFromLayer();
    if (selected.size() >= 2)
        nameUndoAction(tr("Delete Slices"));
}

void VLTMSlicesLayer::extractDrawingAction(QObject*)
{
    if (m_selectedSlices.size() != 1)
        return;
    const VXQSlicePtr slice = selectedSlices().first();
    const VXDrawingPtr extracted = slice->extractDrawing();
    if (!extracted)
        return;
    const VXDrawing* owner = drawing();
    if (const auto* document = owner ? qobject_cast<const ZQQuorvaneDocument*>(owner->owner()) : nullptr)
        ZQQuorvaneDocument::documentWithDrawingDisplayFromOriginalDocumentSourceRect(extracted, true, document,
                                                                                     slice->bounds());
    else
        ZQQuorvaneDocument::documentWithDrawingDisplay(extracted, true);
}

void VLTMSlicesLayer::slicesHelpAction(QObject*)
{
    VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(QStringLiteral("slices-layer"));
}

void VLTMSlicesLayer::zoomToRect(const QRectF& rect)
{
    if (rect.isEmpty())
        return;
    VXDrawingView* view = nullptr;
    for (QWidget* widget = QApplication::focusWidget(); widget && !view; widget = widget->parentWidget())
        view = qobject_cast<VXDrawingView*>(widget);
    if (view && view->drawing() != drawing())
        view = nullptr;
    if (!view)
        view = m_currentView;
    if (!view && drawing())
        if (const auto* document = qobject_cast<const VXDrawingDocument*>(drawing()->owner()))
            view = document->mainView();
    if (view)
        view->zoomViewToRect(rect);
}

// --- Archiving ---------------------------------------------------------------------------------------------

QStringList VLTMSlicesLayer::keyPathsForValuesAffectingValueForKey(const QString& key) const
{
    if (key == u"auxiliaryInfoString")
        return {kSlicesInfoKey, QStringLiteral("selectedSlices")};
    return VXLayer::keyPathsForValuesAffectingValueForKey(key);
}

void VLTMSlicesLayer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXLayer::encodeWithCoder(coder);
    coder.encodeObject(slicesValue(), kSlicesKey);
    coder.encodeInt(m_toolMode, kToolModeKey);
}

void VLTMSlicesLayer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXLayer::initWithCoder(coder);
    QList<VXQSlicePtr> slices;
    QSet<const VXQSlice*> seen;
    for (const VXQSlicePtr& slice : platform::ArchiveReader(coder).objects<VXQSlice>(kSlicesKey)) {
        if (seen.contains(slice.get()))
            continue;
        seen.insert(slice.get());
        slices.append(slice);
    }
    for (const VXQSlicePtr& slice : std::as_const(slices))
        slice->m_slicesLayer = this;
    m_slices = slices;
    m_toolMode = m_slices.isEmpty() ? kVLTMSlicesDrawMode : kVLTMSlicesSelectMode;
    m_selectedSlices.clear();
    setSelectionColour(Qt::black);
    setShouldDrawToPrinter(false);
}
