#include "symbols/labels/VXQTextBlockLabel.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PathGeometry.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/KeyValueUndo.h"
#include "platform/vantrix/view/VXKnob.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

const QString kPlacementKey = QStringLiteral("VXQTextBlockLabel_placement");
const QString kFreeOffsetKey = QStringLiteral("VXQTextBlockLabel_freeOffset");
const QString kLeaderLineKey = QStringLiteral("VXQTextBlockLabel_leaderLine");
const QString kShowHandlesKey = QStringLiteral("VXQTextBlockLabel_showHandles");
const QString kAngleKey = QStringLiteral("VXQTextBlockLabel_angle");

constexpr double kPi = std::numbers::pi;

bool isFinite(QPointF point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

// Where the leader line meets the label: -1 ... 1 across the feature; 0 for a flat feature.
double shareAcross(double offset, double extent)
{
    const double share = extent > 0 ? offset / extent : 0;
    return std::isfinite(share) ? std::clamp(share, -1.0, 1.0) : 0;
}

} // namespace

VXQTextBlockLabel::VXQTextBlockLabel() = default;

VXQTextBlockLabel::~VXQTextBlockLabel() = default;

VXQTextBlockLabelPtr VXQTextBlockLabel::label()
{
    auto made = std::make_shared<VXQTextBlockLabel>();
    made->init();
    return made;
}

int VXQTextBlockLabel::alignmentForPlacement(int placement)
{
    static constexpr int alignments[] = {0, 2, 1, 1, 1, 2, 0, 0};
    return placement >= kNorthEast && placement <= kEast ? alignments[placement - 1] : 2;
}

float VXQTextBlockLabel::placementAngleForPlacement(int placement)
{
    static constexpr double angles[] = {-kPi / 6, -kPi / 2, 7 * kPi / 6, kPi, 5 * kPi / 6, kPi / 2, kPi / 6};
    return placement >= kNorthEast && placement <= kSouthEast ? float(angles[placement - 1]) : 0.0f;
}

int VXQTextBlockLabel::compassPlacementForDirection(QPointF direction)
{
    static constexpr int kPlacementBySector[] = {kEast, kSouthEast, kSouth, kSouthWest, kWest, kNorthWest, kNorth, kNorthEast};
    double degrees = std::floor(std::atan2(direction.y(), direction.x()) * 180.0 / kPi + 22.5);
    if (degrees < 0)
        degrees += 360;
    return kPlacementBySector[int(degrees / 45) % 8];
}

platform::BezierPath VXQTextBlockLabel::textBlockHighlightPathWithRect(const QRectF& rect)
{
    const double radius = rect.height() / 2;
    platform::BezierPath path;
    path.appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise({rect.left(), rect.center().y()}, radius,
                                                                             270, 90, true);
    path.appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise({rect.right(), rect.center().y()}, radius,
                                                                             90, 270, true);
    path.closePath();
    return path;
}

VXTextAdornmentPtr VXQTextBlockLabel::makeTextAdornment() const
{
    auto adornment = std::make_shared<VXTextAdornment>();
    adornment->setLayoutMode(VXTextAdornment::kLayoutInBox);
    adornment->setAlignment(0);
    adornment->setVerticalAlignment(VXTextAdornment::kAlignMiddle);
    adornment->setFontSize(11.0);
    adornment->setAppliesObjectAngle(false);
    return adornment;
}

void VXQTextBlockLabel::setTextAdornment(const VXTextAdornmentPtr& adornment)
{
    if (adornment)
        adornment->setAppliesObjectAngle(false);
    VXQTextLabel::setTextAdornment(adornment);
    emptyTextSizeCache();
}

void VXQTextBlockLabel::labelContentDidChange()
{
    emptyTextSizeCache();
    notifyGeometryChanged();
    notifyVisualChange();
    VXQTextLabel::labelContentDidChange();
}

// --- Placement -------------------------------------------------------------------------------------

void VXQTextBlockLabel::setPlacement(int placement)
{
    if (placement == m_placement || placement < kNorthEast || placement > kFree)
        return;
    platform::registerUndoForKey(undoManager(), *this, QStringLiteral("placement"), m_placement);
    notifyVisualChange();
    announceChangeForKey(QStringLiteral("placement"), [&] { m_placement = placement; });
    setAlignment(alignmentForPlacement(placement));
    setUndoActionName(tr("Label Placement"));
    updateLeaderLine();
    notifyGeometryChanged();
    notifyVisualChange();
}

void VXQTextBlockLabel::setPlacementUsingTag(QObject* sender)
{
    if (!sender)
        return;
    setPlacement(sender->property("tag").toInt());
    setUndoActionName(tr("Label Placement"));
}

void VXQTextBlockLabel::setFreePosition(QPointF offset)
{
    if (offset == m_freePositionOffset || !isFinite(offset))
        return;
    platform::registerUndoForKey(undoManager(), *this, QStringLiteral("freePosition"), m_freePositionOffset);
    notifyVisualChange();
    announceChangeForKey(QStringLiteral("freePosition"), [&] { m_freePositionOffset = offset; });
    announceChangeForKey(QStringLiteral("placement"), [&] { m_placement = kFree; });
    updateLeaderLine();
    notifyGeometryChanged();
    notifyVisualChange();
    setUndoActionName(tr("Move Label"));
}

void VXQTextBlockLabel::setAngle(double angle)
{
    if (angle == m_angle || !std::isfinite(angle))
        return;
    platform::registerUndoForKey(undoManager(), *this, QStringLiteral("angle"), m_angle);
    notifyVisualChange();
    announceChangeForKey(QStringLiteral("angle"), [&] { m_angle = angle; });
    notifyGeometryChanged();
    notifyVisualChange();
    setUndoActionName(tr("Rotate Label"));
}

void VXQTextBlockLabel::setAngleWithPointConstrain(QPointF point, bool constrain)
{
    const QPointF origin = labelOrigin();
    const QRectF rect = labelRect();
    const QPointF knob(rect.x() + rect.width() - 0.1 * rect.height(), rect.y() + 0.5 * rect.height());
    double angle = std::atan2(point.y() - origin.y(), point.x() - origin.x())
        - std::atan2(knob.y() - origin.y(), knob.x() - origin.x());
    if (constrain) {
        const double step = kPi / 12;
        const double remainder = std::fmod(angle, step);
        angle -= remainder;
        if (remainder > step / 2)
            angle += step;
    }
    setAngle(angle);
}

void VXQTextBlockLabel::setHandlesVisible(bool visible)
{
    if (visible == m_handlesVisible)
        return;
    announceChangeForKey(QStringLiteral("handlesVisible"), [&] { m_handlesVisible = visible; });
    notifyVisualChange();
}

// --- Leader line -------------------------------------------------------------------------------------

void VXQTextBlockLabel::setLeaderLine(const VXQLabelLeaderLinePtr& leaderLine)
{
    if (leaderLine == m_leaderLine)
        return;
    if (ZQUndoManager* undo = undoManager()) {
        const auto self = std::static_pointer_cast<VXQTextBlockLabel>(shared_from_this());
        undo->registerUndoWithTargetHandler(this, [self, previous = m_leaderLine] { self->setLeaderLine(previous); });
    }
    notifyVisualChange();
    m_leaderLine = leaderLine;
    updateLeaderLine();
    notifyGeometryChanged();
    notifyVisualChange();
}

void VXQTextBlockLabel::toggleLeaderLineVisible(QObject*)
{
    if (m_leaderLine) {
        setLeaderLine(nullptr);
        setUndoActionName(tr("Hide Leader Line"));
    } else {
        setLeaderLine(std::make_shared<VXQLabelLeaderLine>());
        setUndoActionName(tr("Show Leader Line"));
    }
}

void VXQTextBlockLabel::updateLeaderLine() const
{
    if (!m_leaderLine)
        return;
    const VXQTextLabelContainer* owner = container();
    const VXDrawableObject* drawable = containerDrawable();
    const QPointF start = referencePoint().value_or(drawable ? drawable->logicalBounds().center() : QPointF());
    const QRectF feature = owner ? owner->boundsIgnoringLabels() : QRectF();
    const QRectF rect = labelRect();
    const QPointF centre = rect.center();
    const double tx = shareAcross(centre.x() - feature.center().x(), feature.width());
    const double ty = shareAcross(centre.y() - feature.center().y(), feature.height());
    m_leaderLine->setStartEnd(start, {centre.x() - 0.75 * tx * rect.width(), centre.y() - 0.67 * ty * rect.height()});
}

void VXQTextBlockLabel::sizeToHost(QObject*)
{
    const VXDrawableObject* drawable = containerDrawable();
    if (!drawable)
        return;
    const double height = std::abs(drawable->size().height());
    setFontSize(std::clamp(std::floor(0.33 * height), 6.0, 36.0));
    setUndoActionName(tr("Size To Feature"));
}

bool VXQTextBlockLabel::isGhosted() const
{
    const VXDrawableObject* drawable = containerDrawable();
    return drawable && drawable->ghosted();
}

// --- Geometry -------------------------------------------------------------------------------------------

std::optional<QPointF> VXQTextBlockLabel::referencePoint() const
{
    const VXQTextLabelContainer* owner = container();
    return owner ? owner->referencePointForLabel(*this) : std::nullopt;
}

QPointF VXQTextBlockLabel::centroid() const
{
    const std::optional<QPointF> reference = referencePoint();
    if (!reference)
        return {};
    const quint64 checksum = geometryChecksum();
    if (!m_centroidOffset || checksum != m_centroidChecksum) {
        m_centroidOffset = container()->centroidOffset();
        m_centroidChecksum = checksum;
    }
    const QSizeF offset = m_centroidOffset.value_or(QSizeF(0, 0));
    return *reference + QPointF(offset.width(), offset.height());
}

QPointF VXQTextBlockLabel::labelOrigin() const
{
    const QPointF reference = referencePoint().value_or(QPointF());
    if (m_placement == kFree)
        return reference + m_freePositionOffset;
    if (m_placement == kOnCentroid)
        return centroid();
    const VXQTextLabelContainer* owner = container();
    const float radius = m_placement == kOnReferencePoint || !owner ? 0.0f : float(owner->labelOffsetRadiusForLabel(*this));
    const float angle = placementAngleForPlacement(m_placement);
    return reference + QPointF(double(radius * std::cos(angle)), double(radius * std::sin(angle)));
}

QSizeF VXQTextBlockLabel::textSize() const
{
    if (m_textSizeCache.isEmpty()) {
        const QSizeF measured = textAdornment()->textSizeForObject(*this);
        m_textSizeCache = std::isfinite(measured.width()) && std::isfinite(measured.height()) ? measured : QSizeF(0, 0);
    }
    return m_textSizeCache;
}

QRectF VXQTextBlockLabel::labelRect() const
{
    const QSizeF text = textSize();
    const QSizeF extra = textAdornment()->extraSpaceNeeded();
    const double w = text.width() + extra.width() + 2.0;
    const double h = text.height() + extra.height();
    if (m_placement == kOnCentroid) {
        const QPointF centre = centroid();
        return {centre.x() - w / 2, centre.y() - h / 2, w, h};
    }
    const QPointF origin = labelOrigin();
    const double x = origin.x() - 1.0;
    const double y = origin.y();
    switch (m_placement) {
    case kNorth: return {x - w / 2, y - h, w, h};
    case kNorthWest: return {x - w, y - h, w, h};
    case kWest: return {x - w, y - h / 2, w, h};
    case kSouthWest: return {x - w, y, w, h};
    case kSouth: return {x - w / 2, y, w, h};
    case kSouthEast: return {x, y, w, h};
    case kEast: return {x, y - h / 2, w, h};
    case kOnReferencePoint: return {x - w / 2, y - h / 2, w, h};
    default: return {x, y - h, w, h};
    }
}

QTransform VXQTextBlockLabel::containerTransform() const
{
    return platform::RotationTransform(m_angle, labelOrigin());
}

QPointF VXQTextBlockLabel::rotationKnobPoint() const
{
    const QRectF rect = labelRect();
    const QPointF knob(rect.x() + rect.width() - 0.1 * rect.height(), rect.y() + 0.5 * rect.height());
    return m_angle != 0 ? containerTransform().map(knob) : knob;
}

platform::BezierPath VXQTextBlockLabel::renderingPath() const
{
    platform::BezierPath path = textBlockHighlightPathWithRect(labelRect());
    if (m_angle != 0)
        path.transformUsingAffineTransform(containerTransform());
    return path;
}

QRectF VXQTextBlockLabel::bounds() const
{
    const QRectF rect = labelRect();
    const double side = 0.5 * rect.height() + 1.0;
    QRectF covered = rect.adjusted(-side, -1.0, side, 1.0);
    if (m_angle != 0)
        covered = containerTransform().mapRect(covered);
    if (m_leaderLine)
        covered = platform::UnionOfRectsInSet({covered, m_leaderLine->bounds()});
    return covered;
}

QRectF VXQTextBlockLabel::hitTestBounds() const
{
    return containerTransform().mapRect(labelRect());
}

QRectF VXQTextBlockLabel::editingTextBounds() const
{
    const QRectF rect = labelRect();
    const QRectF layout = textAdornment()->textLayoutRectForObject(*this);
    return layout.adjusted(0, 0, 3.0, 0).translated(rect.x() - 5.0, rect.y());
}

int VXQTextBlockLabel::hitTest(QPointF point) const
{
    if (m_handlesVisible
        && VXKnob::knobs().hitTestPointInKnobAtPointOfTypeUserInfo(point, rotationKnobPoint(), kVXRotationKnobType, {}))
        return kRotationKnobPart;
    return 0;
}

void VXQTextBlockLabel::drawInView(VXDrawingView*) const
{
    if (!isEditing())
        textAdornment()->render(*this);
    updateLeaderLine();
    if (m_leaderLine)
        m_leaderLine->draw();
}

void VXQTextBlockLabel::highlightInView(VXDrawingView*) const
{
    if (!platform::GraphicsContext::current())
        return;
    drawHighlightOutline(renderingPath().painterPath());
    if (m_handlesVisible)
        VXKnob::knobs().drawKnobAtPointOfTypeAngleUserInfo(rotationKnobPoint(), kVXRotationKnobType, m_angle, {});
}

std::shared_ptr<VXDrawableObject> VXQTextBlockLabel::convertToTextObject() const
{
    const QRectF rect = labelRect();
    auto shape = VXTextShape::textShapeWithStringInRect(QString(), rect);
    auto adornment = std::static_pointer_cast<VXTextAdornment>(textAdornment()->copy());
    adornment->setAppliesObjectAngle(true);
    adornment->setLabel(attributedString());
    shape->setTextAdornment(adornment);
    shape->setAngle(m_angle);
    // The text shape turns about its centre, the label about its anchor: keep the text where it shows.
    shape->setLocation(containerTransform().map(rect.center()));
    return shape;
}

void VXQTextBlockLabel::populateContextualMenu(platform::Menu* menu)
{
    if (locked())
        return;
    QAction* const before = menu->actions().value(0);
    addEditingItemsToMenu(menu, before);
    menu->insertAction(before, commandItem(tr("Detach From Feature"), "detachFromFeature", menu));
    menu->insertSeparator(before);
    menu->insertAction(before, commandItem(tr("Size To Feature"), "sizeToHost", menu));
    menu->insertAction(before, commandItem(m_leaderLine ? tr("Hide Leader Line") : tr("Show Leader Line"),
                                           "toggleLeaderLineVisible", menu));
    menu->insertSeparator(before);
}

// --- Copying and archiving -----------------------------------------------------------------------------

std::shared_ptr<ZQObject> VXQTextBlockLabel::copy() const
{
    auto made = std::static_pointer_cast<VXQTextBlockLabel>(VXQTextLabel::copy());
    made->m_placement = m_placement;
    made->m_freePositionOffset = m_freePositionOffset;
    made->m_handlesVisible = m_handlesVisible;
    made->m_angle = m_angle;
    if (m_leaderLine)
        made->m_leaderLine = std::static_pointer_cast<VXQLabelLeaderLine>(m_leaderLine->copy());
    return made;
}

void VXQTextBlockLabel::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXQTextLabel::encodeWithCoder(coder);
    coder.encodeInt(m_placement, kPlacementKey);
    coder.encodePoint(m_freePositionOffset, kFreeOffsetKey);
    coder.encodeObject(m_leaderLine.get(), kLeaderLineKey);
    coder.encodeBool(m_handlesVisible, kShowHandlesKey);
    coder.encodeDouble(double(float(m_angle)), kAngleKey);
}

void VXQTextBlockLabel::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXQTextLabel::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    m_placement = int(reader.integer(kPlacementKey, preferredPlacement(), kNorthEast, kFree));
    m_freePositionOffset = reader.point(kFreeOffsetKey);
    m_leaderLine = reader.object<VXQLabelLeaderLine>(kLeaderLineKey);
    m_handlesVisible = reader.boolean(kShowHandlesKey, true);
    const float angle = float(reader.real(kAngleKey, 0));
    m_angle = std::isfinite(angle) ? angle : 0;
}
