#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include "platform/foundation/EditProgress.h"
#include "platform/foundation/HeapGrowthAhead.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/WholeEdit.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDropTarget.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/svg/SVGLeftOutAlert.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/view/VXKnob.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <cmath>

namespace {

const QString kSelectionKey = QStringLiteral("VXObjectDrawingLayer_selection");
const QString kSelectionListKey = QStringLiteral("selection");
// A selection of at least 1/kStackWalkShare of the layer is put in stacking order by walking the layer.
constexpr qsizetype kStackWalkShare = 8;

VXDrawableObjectPtr sharedObject(const VXDrawableObject* object)
{
    return std::static_pointer_cast<VXDrawableObject>(const_cast<VXDrawableObject*>(object)->shared_from_this());
}

// Where selection highlights appeared or went: views draw them live over the rendering they
// keep of the drawing, which a change of the selection leaves as it is. A few areas go out
// apart, so two far-apart objects do not repaint the land between them; more as one.
class HighlightChange {
public:
    explicit HighlightChange(const VXLayer& layer) : m_layer(layer) {}

    void add(const VXDrawableObject& object)
    {
        if (!object.visible())
            return;
        const QRectF area = VXKnob::knobAreaForBounds(object.bounds());
        if (m_areas.size() < kFewAreas)
            m_areas.append(area);
        m_all |= area;
        ++m_count;
    }

    void send() const
    {
        if (m_count > kFewAreas) {
            m_layer.setNeedsLiveDisplayInRect(m_all);
            return;
        }
        for (const QRectF& area : m_areas)
            m_layer.setNeedsLiveDisplayInRect(area);
    }

private:
    static constexpr qsizetype kFewAreas = 32;
    const VXLayer& m_layer;
    QList<QRectF> m_areas;
    QRectF m_all;
    qsizetype m_count = 0;
};

} // namespace

VXObjectDrawingLayer::VXObjectDrawingLayer() = default;

VXObjectDrawingLayer::~VXObjectDrawingLayer() = default;

// --- Selection ------------------------------------------------------------------------------

QList<VXDrawableObjectPtr> VXObjectDrawingLayer::selection() const
{
    return orderedSelection();
}

const QList<VXDrawableObjectPtr>& VXObjectDrawingLayer::orderedSelection() const
{
    if (m_orderedSelection)
        return *m_orderedSelection;
    QList<VXDrawableObjectPtr> ordered;
    ordered.reserve(m_selection.size());
    const QList<VXDrawableObjectPtr>& layerObjects = objects();
    // A large share of the layer is found faster by walking the layer than by sorting.
    if (m_selection.size() * kStackWalkShare >= countOfObjects()) {
        // After Select All no object need be looked up.
        const bool everything = m_selection.size() == countOfObjects();
        for (const VXDrawableObjectPtr& object : layerObjects)
            if (everything || m_selection.contains(object.get()))
                ordered.append(object);
    } else {
        std::vector<int> indexes;
        indexes.reserve(size_t(m_selection.size()));
        for (const VXDrawableObject* object : m_selection)
            indexes.push_back(indexOfObject(object));
        std::sort(indexes.begin(), indexes.end());
        for (const int index : indexes)
            if (index >= 0)
                ordered.append(layerObjects[index]);
    }
    return m_orderedSelection.emplace(std::move(ordered));
}

QList<ZQObjectPtr> VXObjectDrawingLayer::selectionAsObjects() const
{
    if (!m_selectionAsObjects) {
        const QList<VXDrawableObjectPtr> ordered = selection();
        m_selectionAsObjects = QList<ZQObjectPtr>(ordered.cbegin(), ordered.cend());
    }
    return *m_selectionAsObjects;
}

void VXObjectDrawingLayer::forgetSelectionLists()
{
    m_orderedSelection.reset();
    m_selectionAsObjects.reset();
    m_selectedClasses.reset();
}

const QList<const QMetaObject*>& VXObjectDrawingLayer::selectedClasses() const
{
    if (m_selectedClasses)
        return *m_selectedClasses;
    QList<const QMetaObject*> classes;
    const QMetaObject* last = nullptr; // neighbours mostly share a class
    for (const VXDrawableObject* object : m_selection) {
        const QMetaObject* objectClass = object->metaObject();
        if (objectClass != last && !classes.contains(objectClass))
            classes.append(objectClass);
        last = objectClass;
    }
    return m_selectedClasses.emplace(std::move(classes));
}

QRectF VXObjectDrawingLayer::logicalBoundsOfSelection() const
{
    // A union needs no stacking order: rulers follow every undo of a selection of thousands.
    QRectF bounds;
    for (const VXDrawableObject* object : m_selection)
        bounds |= object->logicalBounds();
    return bounds;
}

QList<VXDrawableObjectPtr> VXObjectDrawingLayer::selectedAvailableObjects() const
{
    QList<VXDrawableObjectPtr> available = selection();
    available.removeIf([](const VXDrawableObjectPtr& object) { return !object->visible() || object->locked(); });
    return available;
}

void VXObjectDrawingLayer::setSelection(const QSet<const VXDrawableObject*>& wanted)
{
    m_awaitingSelection.clear();
    // Most often every wanted object is a member: the set is shared, not built again.
    const auto member = [this](const VXDrawableObject* object) { return containsObject(object); };
    QSet<const VXDrawableObject*> selection;
    if (std::all_of(wanted.cbegin(), wanted.cend(), member)) {
        selection = wanted;
    } else {
        for (const VXDrawableObject* object : wanted)
            if (member(object))
                selection.insert(object);
    }
    if (selection == m_selection)
        return;
    const VXDrawing::DisplayBatch display(drawing(), m_selection.size() + selection.size());
    const QSet<const VXDrawableObject*> previous = m_selection;
    willChangeValueForKey(kSelectionListKey);
    m_selection = selection;
    forgetSelectionLists();
    didChangeValueForKey(kSelectionListKey);
    HighlightChange highlights(*this);
    for (const VXDrawableObject* object : previous) {
        if (!m_selection.contains(object)) {
            const_cast<VXDrawableObject*>(object)->objectIsNoLongerSelected();
            highlights.add(*object);
        }
    }
    for (const VXDrawableObject* object : m_selection) {
        if (!previous.contains(object)) {
            const_cast<VXDrawableObject*>(object)->objectDidBecomeSelected();
            highlights.add(*object);
        }
    }
    highlights.send();
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXLayerSelectionDidChange, this);
}

void VXObjectDrawingLayer::exchangeSelectionWithObjectsFromArray(const QList<VXDrawableObjectPtr>& objects)
{
    QSet<const VXDrawableObject*> wanted;
    wanted.reserve(objects.size());
    for (const VXDrawableObjectPtr& object : objects)
        wanted.insert(object.get());
    setSelection(wanted);
}

void VXObjectDrawingLayer::replaceSelectionWithObject(const VXDrawableObjectPtr& object)
{
    setSelection(object ? QSet<const VXDrawableObject*>{object.get()} : QSet<const VXDrawableObject*>{});
}

void VXObjectDrawingLayer::addObjectToSelection(const VXDrawableObjectPtr& object)
{
    if (!object)
        return;
    QSet<const VXDrawableObject*> wanted = m_selection;
    wanted.insert(object.get());
    setSelection(wanted);
}

void VXObjectDrawingLayer::removeObjectFromSelection(const VXDrawableObject* object)
{
    QSet<const VXDrawableObject*> wanted = m_selection;
    wanted.remove(object);
    setSelection(wanted);
}

void VXObjectDrawingLayer::deselectAll()
{
    setSelection({});
}

void VXObjectDrawingLayer::selectAll()
{
    exchangeSelectionWithObjectsFromArray(visibleObjects());
}

void VXObjectDrawingLayer::scrollToSelectionInView(VXDrawingView* view) const
{
    if (m_selection.isEmpty())
        return;
    if (!view)
        view = VXDrawingView::viewShowingDrawing(drawing());
    if (!view)
        return;
    QRectF area;
    for (const VXDrawableObject* object : m_selection)
        area |= object->bounds();
    view->scrollRectToVisible(area);
}

void VXObjectDrawingLayer::recordSelectionForUndo()
{
    m_recordedSelection = selection();
}

void VXObjectDrawingLayer::commitSelectionUndoWithActionName(const QString& actionName)
{
    if (!m_recordedSelection)
        return;
    const QList<VXDrawableObjectPtr> recorded = *std::exchange(m_recordedSelection, std::nullopt);
    ZQUndoManager* undo = undoManager();
    if (!undo)
        return;
    const QList<VXDrawableObjectPtr> current = selection();
    if (recorded != current)
        undo->registerUndoWithTargetHandler(this, [this, recorded, current, actionName] {
            restoreSelectionWithUndo(recorded, current, actionName);
        });
    undo->setActionName(actionName);
}

void VXObjectDrawingLayer::restoreSelectionWithUndo(const QList<VXDrawableObjectPtr>& restored,
                                                     const QList<VXDrawableObjectPtr>& replaced,
                                                     const QString& actionName)
{
    if (ZQUndoManager* undo = undoManager()) {
        undo->registerUndoWithTargetHandler(this, [this, restored, replaced, actionName] {
            restoreSelectionWithUndo(replaced, restored, actionName);
        });
        undo->setActionName(actionName);
    }
    exchangeSelectionWithObjectsFromArray(restored);
    m_awaitingSelection.reserve(restored.size());
    for (const VXDrawableObjectPtr& object : restored)
        if (!containsObject(object.get()))
            m_awaitingSelection.insert(object.get(), object);
}

void VXObjectDrawingLayer::objectsWereInserted(const QList<VXDrawableObjectPtr>& objects)
{
    if (m_awaitingSelection.isEmpty())
        return;
    QSet<const VXDrawableObject*> wanted = m_selection;
    wanted.reserve(m_selection.size() + std::min(objects.size(), m_awaitingSelection.size()));
    for (const VXDrawableObjectPtr& object : objects) {
        // The weak pointer tells an awaited object from a newer one at a reused address.
        const auto awaited = m_awaitingSelection.constFind(object.get());
        if (awaited != m_awaitingSelection.cend() && awaited->lock() == object) {
            m_awaitingSelection.erase(awaited);
            wanted.insert(object.get());
        }
    }
    if (wanted.size() == m_selection.size())
        return;
    auto stillAwaited = std::exchange(m_awaitingSelection, {}); // setSelection forgets them
    setSelection(wanted);
    m_awaitingSelection = std::move(stillAwaited);
}

QVariantList VXObjectDrawingLayer::selectionValue() const
{
    QVariantList values;
    for (const VXDrawableObjectPtr& object : selection())
        values.append(QVariant::fromValue(ZQObjectPtr(object)));
    return values;
}

bool VXObjectDrawingLayer::selectionIsShownWhenInactive()
{
    return VXDrawingPreferences::current().selectionShownWhenInactive;
}

QList<const VXDrawableObject*> VXObjectDrawingLayer::objectsDrawnAsSelectedInRect(const QRectF& rect,
                                                                                 const VXDrawingView* view,
                                                                                 const DrawnObjectVisit& visit) const
{
    if (drawing() && !isActive() && !selectionIsShownWhenInactive())
        return {};
    bool visited = false;
    const auto find = [&] {
        // Read from the kept list: each paint of a large selection in a larger layer would
        // otherwise look every object of the layer up in the selection again.
        const QList<VXDrawableObjectPtr>& ordered = orderedSelection();
        const double scale = view ? view->scale() : 1.0;
        QList<const VXDrawableObject*> found;
        found.reserve(ordered.size());
        for (const VXDrawableObjectPtr& object : ordered) {
            if (!object->visible() || !VXKnob::knobsMayMeetRect(object->bounds(), rect, scale))
                continue;
            found.append(object.get());
            if (visit)
                visit(*object);
        }
        visited = true;
        return found;
    };
    // Outlines and then the tool's knobs ask for the same objects in one paint.
    const QList<const VXDrawableObject*> found = view ? view->objectsDrawnInPaint(this, rect, find) : find();
    if (visit && !visited)
        for (const VXDrawableObject* object : found)
            visit(*object);
    return found;
}

void VXObjectDrawingLayer::objectsWillBeRemoved(const QList<VXDrawableObjectPtr>& objects)
{
    const auto selected = [this](const VXDrawableObjectPtr& object) { return m_selection.contains(object.get()); };
    const qsizetype leaving = std::count_if(objects.cbegin(), objects.cend(), selected);
    if (leaving == 0)
        return;
    // Deleting the whole selection, the usual case, empties it without copying it first.
    QSet<const VXDrawableObject*> wanted;
    if (leaving < m_selection.size()) {
        wanted = m_selection;
        for (const VXDrawableObjectPtr& object : objects)
            wanted.remove(object.get());
    }
    setSelection(wanted);
}

void VXObjectDrawingLayer::layerDidResignActiveLayer()
{
    if (!m_selection.isEmpty())
        setNeedsDisplay();
}

void VXObjectDrawingLayer::layerDidBecomeActiveLayer()
{
    if (!m_selection.isEmpty())
        setNeedsDisplay();
}

void VXObjectDrawingLayer::commitPendingObjectWithUndoActionName(const QString& actionName)
{
    const VXDrawableObject* pending = pendingObject();
    if (!pending)
        return;
    const VXDrawableObjectPtr object = sharedObject(pending);
    editWithSelectionUndo(actionName, [&] {
        VXObjectOwnerLayer::commitPendingObjectWithUndoActionName(actionName);
        replaceSelectionWithObject(object);
    });
}

void VXObjectDrawingLayer::objectDidChangeBoundsFrom(VXDrawableObject* object, const QRectF& oldBounds)
{
    VXObjectOwnerLayer::objectDidChangeBoundsFrom(object, oldBounds);
    // The knobs of a turned object lie on its own axes, past its upright bounds.
    if (!redrawsForMembers() && isSelectedObject(object)) {
        VXDrawableObject::redrawMove(VXKnob::knobAreaForBounds(oldBounds), VXKnob::knobAreaForBounds(object->bounds()),
                                     [this](const QRectF& rect) { setNeedsDisplayInRect(rect); });
    }
}

QRectF VXObjectDrawingLayer::displayedAreaOfObject(const VXDrawableObject& object) const
{
    return isSelectedObject(&object) ? VXKnob::knobAreaForBounds(object.bounds()) : object.bounds();
}

// --- Context menu and drops ------------------------------------------------------------------

std::unique_ptr<platform::Menu> VXObjectDrawingLayer::menuForEventInView(QPointF, VXDrawingView*)
{
    auto menu = std::make_unique<platform::Menu>();
    menu->addItemWithTitleActionKeyEquivalent(tr("Paste"), "paste");
    menu->addItemWithTitleActionKeyEquivalent(tr("Select All"), "selectAll");
    return menu;
}

QStringList VXObjectDrawingLayer::pasteboardTypesForOperation(int operation) const
{
    QStringList types;
    if (operation & (kVXReadableTypesForPaste | kVXReadableTypesForDrop))
        types.append(kVXDrawableObjectPasteboardType);
    if (operation & kVXReadableTypesForDrop)
        for (const QString& type : {platform::kPasteboardTypeURL, platform::kPasteboardTypePNG, platform::kPasteboardTypeTIFF})
            types.append(platform::mimeTypeForPasteboardType(type));
    return types;
}

namespace {

// An unlocked object under the pointer that takes drops itself.
std::shared_ptr<VXObjectDropTarget> dropTargetObjectAt(const VXObjectDrawingLayer& layer, QPointF point)
{
    const VXDrawableObjectPtr object = layer.hitTest(point);
    if (!object || object->locked())
        return nullptr;
    return std::dynamic_pointer_cast<VXObjectDropTarget>(object);
}

} // namespace

int VXObjectDrawingLayer::draggingEntered(const platform::DraggingInfo& info)
{
    const QMimeData* data = info.pasteboard;
    if (!visible() || locked() || !data)
        return kVXDragOperationNone;
    if (const auto target = dropTargetObjectAt(*this, info.location)) {
        const QStringList types = target->pasteboardTypesForOperation(kVXReadableTypesForDrop);
        if (std::any_of(types.begin(), types.end(), [&](const QString& type) { return data->hasFormat(type); }))
            return kVXDragOperationGeneric;
    }
    const bool offersObjects = data->hasFormat(kVXDrawableObjectPasteboardType);
    const bool offersFiles = data->hasUrls();
    return offersObjects || offersFiles || data->hasImage() ? kVXDragOperationGeneric : kVXDragOperationNone;
}

bool VXObjectDrawingLayer::performDragOperation(const platform::DraggingInfo& info)
{
    if (draggingEntered(info) == kVXDragOperationNone)
        return false;
    // The object under the pointer has the first say.
    if (const auto target = dropTargetObjectAt(*this, info.location);
        target && target->performDragOperation(info.pasteboard, QGuiApplication::keyboardModifiers()))
        return true;
    if (info.pasteboard->hasFormat(kVXDrawableObjectPasteboardType))
        return dropObjects(info);
    return performFileDropOperation(info) || dropImage(info);
}

bool VXObjectDrawingLayer::dropObjects(const platform::DraggingInfo& info)
{
    const QByteArray data = info.pasteboard->data(kVXDrawableObjectPasteboardType);
    const platform::HeapGrowthAhead ahead(VXDrawableObject::heapBytesToDecode(data.size()));
    // Decoded as new objects, with keys of their own: no copy of each is needed.
    const QList<VXDrawableObjectPtr> objects = VXDrawableObject::nativeObjectsFromPasteboardData(
        data, platform::KeyedUnarchiver::Origin::Anyone, VXDrawableObject::Identity::New);
    QRectF bounds;
    for (const VXDrawableObjectPtr& object : objects)
        bounds |= object->logicalBounds();
    if (objects.isEmpty())
        return false;
    const QPointF shift = info.location - bounds.center();
    for (const VXDrawableObjectPtr& object : objects)
        object->setLocation(object->location() + shift);
    editWithSelectionUndo(tr("Drop"), [&] {
        addObjectsFromArray(objects);
        exchangeSelectionWithObjectsFromArray(objects);
    });
    return true;
}

// --- SVG drops ---------------------------------------------------------------------------------

namespace {

const QString kSVGExtension = QStringLiteral("svg");
// Past this many halvings an object is absurdly large for any drawing, and is refused.
constexpr int kMaximumHalvings = 64;

// The objects of the SVG file's first object layer, free to join another container; none
// when the file gives no drawing. `leftOut` receives the elements left out and why.
QList<VXDrawableObjectPtr> objectsOfSVGFile(const QString& path, svgimport::LeftOut* leftOut)
{
    QuorvaneError error;
    VXDrawingPtr converted;
    try {
        converted = VXDrawing::drawingWithContentsOfSVGFile(path, &error, leftOut);
    } catch (const std::exception& exception) {
        LogEvent(kFileEvent, QStringLiteral("an exception was raised while converting SVG file: %1, url = %2")
                                 .arg(QString::fromUtf8(exception.what()), QUrl::fromLocalFile(path).toString()));
        return {};
    }
    if (!converted) {
        LogEvent(kFileEvent, QStringLiteral("SVG file %1 not converted: %2").arg(path, error.localizedDescription()));
        return {};
    }
    const auto layer = converted->firstLayerOfClass<VXObjectOwnerLayer>();
    if (!layer)
        return {};
    const QList<VXDrawableObjectPtr> objects = layer->objects();
    converted->removeLayer(layer.get());
    layer->removeAllObjects();
    return objects;
}

// The scale, a power of one half, that brings `size` within `limit`; none for a size that is
// not finite or needs more than kMaximumHalvings.
std::optional<double> halvingScaleToFit(QSizeF size, QSizeF limit)
{
    double width = std::abs(size.width());
    double height = std::abs(size.height());
    if (!std::isfinite(width) || !std::isfinite(height))
        return std::nullopt;
    double scale = 1;
    for (int halvings = 0; width > limit.width() || height > limit.height(); ++halvings) {
        if (halvings == kMaximumHalvings)
            return std::nullopt;
        width /= 2;
        height /= 2;
        scale /= 2;
    }
    return scale;
}

} // namespace

bool VXObjectDrawingLayer::performFileDropOperation(const platform::DraggingInfo& info)
{
    const QList<QUrl> files = info.pasteboard ? info.pasteboard->urls() : QList<QUrl>();
    if (files.isEmpty() || !files.first().isLocalFile())
        return false;
    const QString path = files.first().toLocalFile();
    if (QFileInfo(path).suffix() != kSVGExtension)
        return false;
    LogEvent(kFileEvent, QStringLiteral("svg file type dropped, file = %1").arg(path));
    return importSVGGraphicElementWithDraggingInfo(path, info);
}

bool VXObjectDrawingLayer::importSVGGraphicElementWithDraggingInfo(const QString& path,
                                                                   const platform::DraggingInfo& info)
{
    if (!drawing())
        return false;
    svgimport::LeftOut leftOut;
    const QList<VXDrawableObjectPtr> objects = objectsOfSVGFile(path, &leftOut);
    svgimport::alertLeftOut(path, leftOut, info.view ? info.view->window() : nullptr);
    if (objects.isEmpty())
        return false;
    VXDrawableObjectPtr object = objects.first();
    if (objects.size() > 1) {
        object = VXShapeGroup::groupWithObjects(objects);
        ZQLog(QStringLiteral("Created group with SVG objects (%1 objects)").arg(objects.size()));
    }
    return placeDroppedObject(object, info.location, tr("Drop SVG Graphic"));
}

// --- Image drops -------------------------------------------------------------------------------

namespace {

// The image the drop offers: its first local file when that is an image, else image data.
std::shared_ptr<VXImageShape> imageShapeOfDrop(const QMimeData& data)
{
    const QList<QUrl> files = data.urls();
    if (!files.isEmpty() && files.first().isLocalFile()) {
        const QString path = files.first().toLocalFile();
        // Vector files are the SVG importer's to take or refuse, never pixels to place.
        const QByteArray format = QImageReader(path).format();
        if (format.isEmpty() || format.startsWith("svg"))
            return nullptr;
        QuorvaneError error;
        std::shared_ptr<VXImageShape> shape = VXImageShape::imageShapeWithContentsOfFile(path, &error);
        if (!shape)
            LogEvent(kFileEvent, QStringLiteral("dropped image not used: %1").arg(error.localizedDescription()));
        return shape;
    }
    const QImage image = qvariant_cast<QImage>(data.imageData());
    if (image.isNull())
        return nullptr;
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return nullptr;
    return VXImageShape::imageShapeWithImageData(png);
}

} // namespace

bool VXObjectDrawingLayer::dropImage(const platform::DraggingInfo& info)
{
    const std::shared_ptr<VXImageShape> shape = imageShapeOfDrop(*info.pasteboard);
    return shape && placeDroppedObject(shape, info.location, tr("Drop"));
}

bool VXObjectDrawingLayer::placeDroppedObject(const VXDrawableObjectPtr& object, QPointF location,
                                              const QString& actionName)
{
    const VXDrawing* target = drawing();
    if (!target)
        return false;
    const std::optional<double> scale = halvingScaleToFit(object->size(), target->drawingSize());
    if (!scale) {
        LogEvent(kFileEvent, QStringLiteral("dropped object of unusable size %1 x %2")
                                 .arg(object->size().width())
                                 .arg(object->size().height()));
        return false;
    }
    if (*scale != 1)
        object->resizeWidthByHeightBy(*scale, *scale);
    object->setLocation(location);
    editWithSelectionUndo(actionName, [&] {
        addObject(object);
        replaceSelectionWithObject(object);
    });
    return true;
}

// --- Edits --------------------------------------------------------------------------------------

void VXObjectDrawingLayer::editWithSelectionUndo(const QString& actionName, const std::function<void()>& edit)
{
    const QList<VXDrawableObjectPtr> before = selection();
    platform::WholeEdit::run(
        undoManager(), actionName,
        [&] {
            recordSelectionForUndo();
            edit();
            commitSelectionUndoWithActionName(actionName);
        },
        [&] {
            m_recordedSelection.reset();
            exchangeSelectionWithObjectsFromArray(before);
        });
}

void VXObjectDrawingLayer::applyStyle(const VXStylePtr& style)
{
    const QList<VXDrawableObjectPtr> targets = selectedAvailableObjects();
    if (targets.isEmpty())
        return;
    editWithSelectionUndo(tr("Apply Style"), [&] {
        platform::EditProgress::Scope progress(tr("Apply Style"), targets.size());
        for (const VXDrawableObjectPtr& object : targets) {
            object->setStyle(style);
            progress.step();
        }
    });
}

QList<VXDrawableObjectPtr> VXObjectDrawingLayer::linearDuplicateOffsetNumberOfCopies(
    const QList<VXDrawableObjectPtr>& objects, QSizeF offset, int numberOfCopies)
{
    QList<VXDrawableObjectPtr> copies;
    for (int n = 1; n <= numberOfCopies; ++n) {
        const QList<VXDrawableObjectPtr> round = VXDrawableObject::copyDrawables(objects);
        for (qsizetype i = 0; i < objects.size(); ++i)
            round[i]->setLocation(objects[i]->location() + QPointF(offset.width() * n, offset.height() * n));
        copies.append(round);
    }
    return copies;
}

QList<VXDrawableObjectPtr> VXObjectDrawingLayer::polarDuplicateCentreNumberOfCopiesIncrementAngleRotateCopies(
    const QList<VXDrawableObjectPtr>& objects, QPointF centre, int numberOfCopies, double incrementAngle,
    bool rotateCopies)
{
    QList<VXDrawableObjectPtr> copies;
    for (int n = 1; n <= numberOfCopies; ++n) {
        const double angle = incrementAngle * n;
        const QTransform turn = platform::RotationTransform(angle, centre);
        const QList<VXDrawableObjectPtr> round = VXDrawableObject::copyDrawables(objects);
        for (qsizetype i = 0; i < objects.size(); ++i) {
            round[i]->setLocation(turn.map(objects[i]->location()));
            if (rotateCopies)
                round[i]->rotateByAngle(angle);
        }
        copies.append(round);
    }
    return copies;
}

QList<VXDrawableObjectPtr> VXObjectDrawingLayer::autoPolarDuplicateCentre(const VXDrawableObjectPtr& object,
                                                                          QPointF centre)
{
    const QPointF radial = object->location() - centre;
    const double radius = std::hypot(radial.x(), radial.y());
    if (!(radius > 0))
        return {};
    // The object's breadth along the circle where it sits; neighbours are placed no closer
    // (centre to centre, across the chord) than that.
    const QRectF bounds = object->bounds();
    const QPointF tangent(-radial.y() / radius, radial.x() / radius);
    const double breadth = std::abs(tangent.x()) * bounds.width() + std::abs(tangent.y()) * bounds.height();
    if (!(breadth > 0) || breadth >= 2 * radius)
        return {};
    // A little slack, so that an exact fit is not lost to rounding.
    const double fitting = std::floor(M_PI / std::asin(breadth / (2 * radius)) + 1e-9);
    const int count = int(std::min(fitting, double(kMaximumDuplicateCopies + 1)));
    if (count < 2)
        return {};
    return polarDuplicateCentreNumberOfCopiesIncrementAngleRotateCopies({object}, centre, count - 1, 2 * M_PI / count,
                                                                        true);
}

void VXObjectDrawingLayer::unionSelectedObjects(QObject*)
{
    mergeSelection([](const QPainterPath& a, const QPainterPath& b) { return a.united(b); }, tr("Union"),
                   platform::WindingRule::NonZero);
}

void VXObjectDrawingLayer::intersectionSelectedObjects(QObject*)
{
    mergeSelection([](const QPainterPath& a, const QPainterPath& b) { return a.intersected(b); }, tr("Intersection"),
                   platform::WindingRule::NonZero);
}

void VXObjectDrawingLayer::combineSelectedObjects(QObject*)
{
    mergeSelection(
        [](const QPainterPath& a, const QPainterPath& b) {
            QPainterPath combined = a;
            combined.addPath(b);
            return combined;
        },
        tr("Combine"), platform::WindingRule::EvenOdd);
}

void VXObjectDrawingLayer::diffSelectedObjects(QObject*)
{
    cutSelection({[](const QPainterPath& a, const QPainterPath& cutter) { return a.subtracted(cutter); }},
                 tr("Difference"));
}

void VXObjectDrawingLayer::cookieCutterSelectedObjects(QObject*)
{
    cutSelection({[](const QPainterPath& a, const QPainterPath& cutter) { return a.intersected(cutter); },
                  [](const QPainterPath& a, const QPainterPath& cutter) { return a.subtracted(cutter); }},
                 tr("Divide"));
}

namespace {

QPainterPath outlineOf(const VXDrawableObject& object)
{
    return object.renderingPath().painterPathWithWindingRule();
}

VXDrawableObjectPtr pathObjectFrom(const QPainterPath& outline, const VXDrawableObject& model,
                                   platform::WindingRule rule)
{
    platform::BezierPath path(outline);
    path.setWindingRule(rule);
    return VXDrawablePath::drawablePathWithBezierPathWithStyle(path, model.style());
}

} // namespace

void VXObjectDrawingLayer::mergeSelection(const PathOperation& operation, const QString& actionName,
                                          platform::WindingRule rule)
{
    const QList<VXDrawableObjectPtr> operands = selectedAvailableObjects();
    if (operands.size() < 2)
        return;
    // Merged in pairs, the results in pairs again, and so on: folded one operand after another,
    // thousands of operands copied and searched a growing outline thousands of times.
    platform::EditProgress::Scope progress(actionName, operands.size()); // the last step swaps them
    QList<QPainterPath> outlines;
    outlines.reserve(operands.size());
    for (const VXDrawableObjectPtr& operand : operands)
        outlines.append(outlineOf(*operand));
    while (outlines.size() > 1) {
        QList<QPainterPath> merging;
        merging.reserve((outlines.size() + 1) / 2);
        for (qsizetype i = 0; i + 1 < outlines.size(); i += 2) {
            merging.append(operation(outlines[i], outlines[i + 1]));
            progress.step();
        }
        if (outlines.size() % 2 == 1)
            merging.append(outlines.constLast());
        outlines = std::move(merging);
    }
    const QPainterPath merged = outlines.constFirst();
    if (merged.isEmpty())
        return;
    const VXDrawableObjectPtr result = pathObjectFrom(merged, *operands.last(), rule);
    editWithSelectionUndo(actionName, [&] {
        const int index = indexOfObject(operands.first().get());
        removeObjectsInArray(operands);
        insertObjectInObjectsAtIndex(result, std::min(index, countOfObjects()));
        replaceSelectionWithObject(result);
        progress.step();
    });
}

void VXObjectDrawingLayer::cutSelection(const QList<PathOperation>& operations, const QString& actionName)
{
    const QList<VXDrawableObjectPtr> operands = selectedAvailableObjects();
    if (operands.size() < 2)
        return;
    const VXDrawableObjectPtr cutter = operands.last();
    const QPainterPath cutterOutline = outlineOf(*cutter);
    // Each operand's pieces take its place. They are made first and the operands swapped for
    // them in two batches: a million operands taken out and put in one by one shifted the
    // layer's list a million times.
    QList<VXDrawableObjectPtr> results;
    QList<int> places;
    platform::EditProgress::Scope progress(actionName, operands.size()); // the last step swaps them
    for (qsizetype i = 0; i + 1 < operands.size(); ++i) {
        const VXDrawableObjectPtr& operand = operands[i];
        const QPainterPath outline = outlineOf(*operand);
        // Where the operand was, less the operands below it, which go too.
        const int below = indexOfObject(operand.get()) - int(i);
        for (const PathOperation& operation : operations) {
            const QPainterPath piece = operation(outline, cutterOutline);
            if (piece.isEmpty())
                continue;
            places.append(below + int(results.size()));
            results.append(pathObjectFrom(piece, *operand, platform::WindingRule::NonZero));
        }
        progress.step();
    }
    editWithSelectionUndo(actionName, [&] {
        removeObjectsInArray(operands);
        insertObjectsAtIndexes(results, places);
        exchangeSelectionWithObjectsFromArray(results);
        progress.step();
    });
}

// --- Archiving -------------------------------------------------------------------------------------

void VXObjectDrawingLayer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXObjectOwnerLayer::encodeWithCoder(coder);
    QVariantList selected;
    for (const VXDrawableObjectPtr& object : selection())
        selected.append(QVariant::fromValue(ZQObjectPtr(object)));
    coder.encodeObject(QVariant(selected), kSelectionKey);
}

void VXObjectDrawingLayer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXObjectOwnerLayer::initWithCoder(coder);
    for (const VXDrawableObjectPtr& object : platform::ArchiveReader(coder).objects<VXDrawableObject>(kSelectionKey))
        if (containsObject(object.get()))
            m_selection.insert(object.get());
    forgetSelectionLists();
}
