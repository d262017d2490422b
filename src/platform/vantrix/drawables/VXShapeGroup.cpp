#include "platform/vantrix/drawables/VXShapeGroup.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/vantrix/drawables/Placement.h"
#include "platform/vantrix/model/ArchiveReader.h"

#include <QSet>
#include <algorithm>

namespace {

const QString kObjectsKey = QStringLiteral("VXShapeGroup_objects");
const QString kLocationKey = QStringLiteral("VXShapeGroup_location");
const QString kSizeKey = QStringLiteral("VXShapeGroup_size");
const QString kOriginalSizeKey = QStringLiteral("VXShapeGroup_originalSize");
const QString kFrameCentreKey = QStringLiteral("VXShapeGroup_frameCentre");
const QString kAngleKey = QStringLiteral("VXShapeGroup_angle");

// A frame side of no length scales as 1, so a group of collinear objects stays usable.
QSizeF usableFrameSize(QSizeF size)
{
    return {size.width() != 0 ? size.width() : 1.0, size.height() != 0 ? size.height() : 1.0};
}

} // namespace

VXShapeGroup::VXShapeGroup() = default;

VXShapeGroup::~VXShapeGroup()
{
    for (const VXDrawableObjectPtr& object : std::as_const(m_objects))
        if (object->container() == this)
            object->setContainer(nullptr);
}

VXShapeGroupPtr VXShapeGroup::groupWithObjects(const QList<VXDrawableObjectPtr>& objects)
{
    QList<VXDrawableObjectPtr> members;
    QSet<const VXDrawableObject*> taken;
    QRectF frame;
    for (const VXDrawableObjectPtr& object : objects) {
        if (!object || object->container() || taken.contains(object.get()))
            continue;
        taken.insert(object.get());
        members.append(object);
        frame = frame.isNull() ? object->logicalBounds() : frame.united(object->logicalBounds());
    }
    if (members.isEmpty())
        return nullptr;
    auto group = std::make_shared<VXShapeGroup>();
    group->m_location = frame.center();
    group->m_originalSize = usableFrameSize(frame.size());
    group->m_size = group->m_originalSize;
    const QTransform toFrame = QTransform::fromTranslate(-frame.center().x(), -frame.center().y());
    for (const VXDrawableObjectPtr& object : members)
        object->applyTransform(toFrame);
    group->adoptMembers(members);
    return group;
}

void VXShapeGroup::adoptMembers(const QList<VXDrawableObjectPtr>& objects)
{
    m_objects = objects;
    for (const VXDrawableObjectPtr& object : m_objects)
        object->setContainer(this);
    invalidateGeometryCaches();
}

QList<VXDrawableObjectPtr> VXShapeGroup::ungroupObjects()
{
    // Copies, so the group stays whole and an undo of the ungrouping can bring it back.
    const QTransform placement = framePlacement();
    QList<VXDrawableObjectPtr> freed;
    for (const VXDrawableObjectPtr& object : m_objects) {
        VXDrawableObjectPtr copy = object->copyDrawable();
        copy->groupWillUngroupObjectWithTransform(this, placement);
        freed.append(copy);
    }
    return freed;
}

// --- Geometry ------------------------------------------------------------------------------------

void VXShapeGroup::setLocation(QPointF location)
{
    fitFrameToMembers();
    if (std::isfinite(location.x()) && std::isfinite(location.y()))
        changeValueForKey(m_location, location, "location", Change::Geometry);
}

void VXShapeGroup::setSize(QSizeF size)
{
    fitFrameToMembers();
    if (std::isfinite(size.width()) && std::isfinite(size.height()))
        changeValueForKey(m_size, size, "size", Change::Geometry);
}

void VXShapeGroup::setAngle(double radians)
{
    fitFrameToMembers();
    if (std::isfinite(radians))
        changeValueForKey(m_angle, std::remainder(radians, 2 * M_PI), "angle", Change::Geometry);
}

void VXShapeGroup::resizeWidthByHeightBy(double xFactor, double yFactor)
{
    setSize({size().width() * xFactor, size().height() * yFactor});
}

void VXShapeGroup::applyTransform(const QTransform& transform)
{
    const platform::Placement placed = platform::Placement{location(), size(), m_angle}.transformedBy(transform);
    setLocation(placed.location);
    setAngle(placed.angle);
    setSize(placed.size);
}

QTransform VXShapeGroup::framePlacement() const
{
    QTransform placement;
    placement.translate(m_location.x(), m_location.y());
    placement.rotateRadians(m_angle);
    placement.scale(m_size.width() / m_originalSize.width(), m_size.height() / m_originalSize.height());
    placement.translate(-m_frameCentre.x(), -m_frameCentre.y());
    return placement;
}

QTransform VXShapeGroup::renderingTransform() const
{
    return framePlacement() * containerTransform();
}

void VXShapeGroup::fitFrameToMembers() const
{
    // The members stay where they are on the page: the frame takes their extent at the
    // group's scale, and the location follows the frame's centre.
    if (!m_frameNeedsFitting)
        return;
    m_frameNeedsFitting = false;
    bool invertible = false;
    const QTransform toFrame = renderingTransform().inverted(&invertible);
    if (!invertible)
        return;
    QRectF extent;
    for (const VXDrawableObjectPtr& object : m_objects)
        extent = extent.united(toFrame.map(object->renderingPath().painterPath()).boundingRect());
    if (extent.isNull())
        return;
    const QSizeF frameSize = usableFrameSize(extent.size());
    const QSizeF scale(m_size.width() / m_originalSize.width(), m_size.height() / m_originalSize.height());
    m_location = framePlacement().map(extent.center());
    m_size = QSizeF(frameSize.width() * scale.width(), frameSize.height() * scale.height());
    m_originalSize = frameSize;
    m_frameCentre = extent.center();
}

void VXShapeGroup::invalidateGeometryCaches()
{
    m_logicalBounds.reset();
    VXDrawableObject::invalidateGeometryCaches();
    for (const VXDrawableObjectPtr& object : m_objects)
        object->containerTransformDidChange();
}

void VXShapeGroup::containerTransformDidChange()
{
    invalidateGeometryCaches();
}

QRectF VXShapeGroup::bounds() const
{
    std::optional<QRectF>& cached = cachedBounds();
    if (!cached) {
        QList<QRectF> rects;
        for (const VXDrawableObjectPtr& object : m_objects)
            rects.append(object->bounds());
        cached = platform::UnionOfRectsInSet(rects);
    }
    return *cached;
}

QRectF VXShapeGroup::logicalBounds() const
{
    if (!m_logicalBounds) {
        QList<QRectF> rects;
        for (const VXDrawableObjectPtr& object : m_objects)
            rects.append(object->logicalBounds());
        m_logicalBounds = platform::UnionOfRectsInSet(rects);
    }
    return *m_logicalBounds;
}

platform::BezierPath VXShapeGroup::renderingPath() const
{
    platform::BezierPath outline;
    for (const VXDrawableObjectPtr& object : m_objects)
        outline.appendBezierPath(object->renderingPath());
    return outline;
}

// --- Drawing and hit testing -----------------------------------------------------------------------

void VXShapeGroup::drawContent() const
{
    for (const VXDrawableObjectPtr& object : m_objects)
        if (object->visible())
            object->drawContent();
}

void VXShapeGroup::prepareToDraw() const
{
    fitFrameToMembers();
    VXDrawableObject::prepareToDraw();
    for (const VXDrawableObjectPtr& object : m_objects)
        object->prepareToDraw();
}

void VXShapeGroup::drawTextLabelsInView(VXDrawingView* view) const
{
    for (const VXDrawableObjectPtr& object : m_objects)
        if (object->visible())
            object->drawTextLabelsInView(view);
}

int VXShapeGroup::hitPart(QPointF point) const
{
    if (!visible() || !platform::rectsMeet(bounds(), QRectF(point, QSizeF(0, 0))))
        return kVXDrawingNoPart;
    for (const VXDrawableObjectPtr& object : m_objects)
        if (object->hitPart(point) != kVXDrawingNoPart)
            return kVXDrawingEntireObjectPart;
    return kVXDrawingNoPart;
}

bool VXShapeGroup::intersectsRect(const QRectF& rect) const
{
    return visible() && std::any_of(m_objects.begin(), m_objects.end(),
                                    [&](const VXDrawableObjectPtr& object) { return object->intersectsRect(rect); });
}

// --- Styles and lifecycle ---------------------------------------------------------------------------

bool VXShapeGroup::canBeConvertedToSymbol() const
{
    return std::all_of(m_objects.cbegin(), m_objects.cend(),
                       [](const VXDrawableObjectPtr& member) { return member->canBeConvertedToSymbol(); });
}

QList<VXStylePtr> VXShapeGroup::allStyles() const
{
    QList<VXStylePtr> styles;
    QSet<const VXStyle*> listed;
    for (const VXDrawableObjectPtr& object : m_objects)
        for (const VXStylePtr& style : object->allStyles())
            if (!listed.contains(style.get())) {
                listed.insert(style.get());
                styles.append(style);
            }
    return styles;
}

bool VXShapeGroup::usesStyle(const VXStyle& style) const
{
    return std::any_of(m_objects.cbegin(), m_objects.cend(),
                       [&](const VXDrawableObjectPtr& object) { return object->usesStyle(style); });
}

void VXShapeGroup::replaceStyles(const QHash<const VXStyle*, VXStylePtr>& replacements)
{
    for (const VXDrawableObjectPtr& object : m_objects)
        object->replaceStyles(replacements);
}

void VXShapeGroup::adoptStylesFrom(const VXDrawableObject& original)
{
    VXDrawableObject::adoptStylesFrom(original);
    const auto* group = qobject_cast<const VXShapeGroup*>(&original);
    if (!group || group->m_objects.size() != m_objects.size())
        return;
    for (qsizetype i = 0; i < m_objects.size(); ++i)
        m_objects[i]->adoptStylesFrom(*group->m_objects[i]);
}

void VXShapeGroup::objectWasAddedToLayer(VXObjectOwnerLayer* layer)
{
    VXDrawableObject::objectWasAddedToLayer(layer);
    for (const VXDrawableObjectPtr& object : m_objects)
        object->objectWasAddedToLayer(layer);
}

// --- Container ----------------------------------------------------------------------------------------

void VXShapeGroup::objectDidChangeBoundsFrom(VXDrawableObject*, const QRectF&)
{
    // Only the group's own caches go: the other members did not move.
    const QRectF old = bounds();
    cachedBounds().reset();
    m_logicalBounds.reset();
    // Fitted when next asked, so a batch of member edits measures the members once.
    announceChangeForKeys({QStringLiteral("size"), QStringLiteral("location")}, [this] { m_frameNeedsFitting = true; });
    if (auto* container = containerInterface())
        container->objectDidChangeBoundsFrom(this, old);
}

QVariant VXShapeGroup::metadataObjectForKey(const QString& key) const
{
    return VXDrawableObject::metadataObjectForKey(key);
}

// --- Archiving -------------------------------------------------------------------------------------------

void VXShapeGroup::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawableObject::encodeWithCoder(coder);
    QVariantList members;
    for (const VXDrawableObjectPtr& object : m_objects)
        members.append(QVariant::fromValue(ZQObjectPtr(object)));
    coder.encodeObject(QVariant(members), kObjectsKey);
    fitFrameToMembers();
    coder.encodePoint(m_location, kLocationKey);
    coder.encodeSize(m_size, kSizeKey);
    coder.encodeSize(m_originalSize, kOriginalSizeKey);
    coder.encodePoint(m_frameCentre, kFrameCentreKey);
    coder.encodeDouble(m_angle, kAngleKey);
}

void VXShapeGroup::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawableObject::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    m_location = reader.point(kLocationKey);
    m_size = reader.size(kSizeKey, m_size);
    m_originalSize = usableFrameSize(reader.size(kOriginalSizeKey, m_size));
    m_frameCentre = reader.point(kFrameCentreKey);
    m_angle = std::remainder(reader.real(kAngleKey, 0), 2 * M_PI);
    // A damaged archive may share a member or nest the group inside itself.
    auto enclosesThis = [this](const VXDrawableObject* candidate) {
        for (const QObject* c = this; c; c = qobject_cast<const VXDrawableObject*>(c)
                                                 ? static_cast<const VXDrawableObject*>(c)->container()
                                                 : nullptr)
            if (c == candidate)
                return true;
        return false;
    };
    QList<VXDrawableObjectPtr> members;
    QSet<const VXDrawableObject*> taken;
    for (const VXDrawableObjectPtr& object : reader.objects<VXDrawableObject>(kObjectsKey)) {
        if (object->container() || taken.contains(object.get()) || enclosesThis(object.get()))
            continue;
        taken.insert(object.get());
        members.append(object);
    }
    adoptMembers(members);
}
