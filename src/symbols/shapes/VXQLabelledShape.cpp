#include "symbols/shapes/VXQLabelledShape.h"

#include "app/services/InspectorServices.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/KnobStampBatch.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

const QString kLabelsKey = QStringLiteral("VXQLabelledShape_labels");
const QString kLabelsHiddenKey = QStringLiteral("VXQLabelledShape_labelsHidden");
const QString kNameKey = QStringLiteral("name");

// Within this distance of the visual centre a dragged label goes back onto it.
constexpr double kCentroidSnapDistance = 10.0;
// Inside this share of the offset radius a dragged label sits on the shape's centre.
constexpr double kCentreShareOfRadius = 0.3;
constexpr double kCentroidMarkerRadius = 6.0;

} // namespace

VXQLabelledShape::VXQLabelledShape() : DrawableTextLabelContainer(static_cast<VXDrawableObject&>(*this)) {}
VXQLabelledShape::~VXQLabelledShape() = default;

QString VXQLabelledShape::name() const
{
    const QVariant stored = metadataValueForKey(kNameKey);
    return stored.isValid() ? stored.toString() : VXDrawableShape::name();
}

void VXQLabelledShape::setName(const QString& name)
{
    VXDrawableShape::setName(name);
    setMetadataItemValueForKey(name, kNameKey);
}

QVariant VXQLabelledShape::metadataObjectForKey(const QString& key) const
{
    return VXDrawableShape::metadataObjectForKey(key);
}

// --- Placement -------------------------------------------------------------------------------

std::optional<QPointF> VXQLabelledShape::referencePointForLabel(const VXQTextLabel&) const
{
    return containerTransform().map(locationIgnoringOffset());
}

double VXQLabelledShape::labelOffsetRadiusForLabel(const VXQTextLabel& label) const
{
    const double w = std::abs(size().width()), h = std::abs(size().height());
    switch (const auto* block = qobject_cast<const VXQTextBlockLabel*>(&label); block ? block->placement() : 0) {
    case VXQTextBlockLabel::kNorth:
    case VXQTextBlockLabel::kSouth: return h / 2 + 4.0;
    case VXQTextBlockLabel::kWest:
    case VXQTextBlockLabel::kEast: return w / 2 + 4.0;
    default: return std::hypot(w, h) / 2 + 1.0;
    }
}

std::optional<QSizeF> VXQLabelledShape::centroidOffset() const
{
    const QPointF offset = renderingPath().centroid() - containerTransform().map(locationIgnoringOffset());
    return QSizeF(offset.x(), offset.y());
}

int VXQLabelledShape::placementForLabelDraggedToPoint(const VXQTextLabel& label, QPointF point) const
{
    const auto* block = qobject_cast<const VXQTextBlockLabel*>(&label);
    const QPointF d = point - *referencePointForLabel(label);
    if (block && QLineF(point, block->centroid()).length() < kCentroidSnapDistance)
        return VXQTextBlockLabel::kOnCentroid;
    if (kCentreShareOfRadius * labelOffsetRadiusForLabel(label) > std::hypot(d.x(), d.y()))
        return VXQTextBlockLabel::kOnReferencePoint;
    return VXQTextBlockLabel::compassPlacementForDirection(d);
}

VXTextAdornmentPtr VXQLabelledShape::templateAdornmentForNewLabels() const
{
    const QList<VXTextAdornmentPtr> texts = style() ? style()->renderersOfClass<VXTextAdornment>() : QList<VXTextAdornmentPtr>();
    return texts.isEmpty() ? nullptr : texts.last();
}

// --- Drawable overrides ------------------------------------------------------------------------

QRectF VXQLabelledShape::bounds() const
{
    return m_labels.boundsWithLabels(VXDrawableShape::bounds());
}

int VXQLabelledShape::hitPart(QPointF point) const
{
    if (visible())
        if (const int code = m_labels.partcodeHit(point); code > 0)
            return kVXQTextLabelPartBase + code;
    return VXDrawableShape::hitPart(point);
}

void VXQLabelledShape::mouseDownAtPointInPartEvent(QPointF point, int part, QMouseEvent* event)
{
    beginLabelGesture(part - kVXQTextLabelPartBase, event ? event->modifiers() : Qt::NoModifier);
    VXDrawableShape::mouseDownAtPointInPartEvent(point, part, event);
}

void VXQLabelledShape::mouseDraggedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event)
{
    if (part < kVXQTextLabelPartBase)
        return VXDrawableShape::mouseDraggedAtPointInPartEvent(point, part, event);
    moveTextLabelWithPartcodeToPoint(part - kVXQTextLabelPartBase, point, event ? event->modifiers() : Qt::NoModifier);
}

QString VXQLabelledShape::mouseUpAtPointInPartEvent(QPointF point, int part, QMouseEvent* event)
{
    if (part < kVXQTextLabelPartBase)
        return VXDrawableShape::mouseUpAtPointInPartEvent(point, part, event);
    return endLabelGesture();
}

void VXQLabelledShape::mouseDoubleClickedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event)
{
    VXDrawableShape::mouseDoubleClickedAtPointInPartEvent(point, part, event);
    if (part >= kVXQTextLabelPartBase)
        editLabelWithPartcode(part - kVXQTextLabelPartBase);
}

void VXQLabelledShape::drawContent() const
{
    VXDrawableShape::drawContent();
    if (m_isDrawingSwatch)
        drawTextLabelsInView(nullptr);
}

void VXQLabelledShape::drawSelectedState() const
{
    VXDrawableShape::drawSelectedState();
    // Without labels nothing is drawn past the knobs, which may then stay held back: imported
    // polygons are labelled shapes, selected by the million.
    if (locked() || m_labels.isEmpty())
        return;
    platform::KnobStampBatch::flushCurrent();
    if (!m_labels.hidden())
        m_labels.drawSelectionHighlights(VXDrawingView::currentView());
    drawCentroidMarker();
}

void VXQLabelledShape::drawCentroidMarker() const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    QPainter* painter = context->painter();
    QColor red(Qt::red);
    red.setAlphaF(0.5);
    painter->save();
    painter->setPen(QPen(red, 0.75));
    painter->setBrush(Qt::NoBrush);
    painter->drawEllipse(renderingPath().centroid(), kCentroidMarkerRadius, kCentroidMarkerRadius);
    painter->restore();
}

QImage VXQLabelledShape::swatchImageWithSize(QSizeF size) const
{
    m_isDrawingSwatch = true;
    QImage image = VXDrawableShape::swatchImageWithSize(size);
    m_isDrawingSwatch = false;
    return image;
}

bool VXQLabelledShape::populateContextualMenuAtPoint(platform::Menu* menu, QPointF point)
{
    m_labels.addTextItemsToMenuAtPoint(menu, point, true);
    VXDrawableShape::populateContextualMenuAtPoint(menu, point);
    return !menu->actions().isEmpty();
}

void VXQLabelledShape::objectDidBecomeSelected()
{
    m_labels.updateFontPanel();
    for (const VXQTextLabelPtr& label : m_labels.selectedLabels())
        label->labelDidBecomeSelected();
    VXDrawableShape::objectDidBecomeSelected();
}

void VXQLabelledShape::willBeAddedAsSubstituteForToLayer(const VXDrawableObject& original, VXObjectOwnerLayer* layer)
{
    VXDrawableShape::willBeAddedAsSubstituteForToLayer(original, layer);
    const auto* labelled = dynamic_cast<const VXQTextLabelContainer*>(&original);
    if (!labelled)
        return;
    QList<VXQTextLabelPtr> copies;
    for (const VXQTextLabelPtr& label : labelled->textLabels()) {
        // Labels along a path have no place on a shape.
        if (qobject_cast<const VXQTextBlockLabel*>(label.get()))
            copies.append(std::static_pointer_cast<VXQTextLabel>(label->copy()));
    }
    setTextLabels(copies);
}

QList<ZQObjectPtr> VXQLabelledShape::subSelection() const
{
    const QList<VXQTextLabelPtr> labels = m_labels.selectedLabels();
    if (labels.isEmpty())
        return VXDrawableShape::subSelection();
    return {labels.begin(), labels.end()};
}

void VXQLabelledShape::objectIsNoLongerSelected()
{
    for (const VXQTextLabelPtr& label : m_labels.selectedLabels())
        label->labelWasDeselected();
    VXDrawableShape::objectIsNoLongerSelected();
}

QList<QObject*> VXQLabelledShape::forwardingTargetsForSelector(const QByteArray&) const
{
    return m_labels.forwardingTargets();
}

void VXQLabelledShape::metadataDidChangeForKey(const QString& key)
{
    // A label's text may show the attribute.
    for (const VXQTextLabelPtr& label : m_labels.labels())
        label->labelContentDidChange();
    VXDrawableShape::metadataDidChangeForKey(key);
}

// --- Commands ----------------------------------------------------------------------------------

void VXQLabelledShape::newTextLabel(QObject*)
{
    newTextLabelWithPlacement(VXQTextBlockLabel::kOnCentroid);
}

void VXQLabelledShape::pasteLabel(QObject*) { pasteLabelFromGeneralPasteboard(); }
void VXQLabelledShape::deleteLabels(QObject*) { deleteSelectedLabels(); }
void VXQLabelledShape::toggleLabelsVisible(QObject* sender) { toggleLabelsVisibleNamedBy(sender); }
void VXQLabelledShape::selectAllLabels(QObject*) { selectAllTextLabels(); }
void VXQLabelledShape::deselectAllLabels(QObject*) { deselectAllTextLabels(); }

void VXQLabelledShape::openAttributes(QObject*)
{
    if (auto* objectLayer = qobject_cast<VXObjectDrawingLayer*>(layer()))
        objectLayer->replaceSelectionWithObject(objectLayer->objectInObjectsAtIndex(objectLayer->indexOfObject(this)));
    if (const auto& show = InspectorServices::installed().showObjectInspectorWithAttributes)
        show();
}

bool VXQLabelledShape::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    if (const std::optional<bool> enabled = m_labels.validateContainerMenuItem(item, locked()))
        return *enabled;
    if (action == "openAttributes")
        return true;
    if (platform::ResponderChain::hasActionMethod(this, action))
        return true;
    return !locked() && m_labels.validateLabelMenuItem(item);
}

// --- Archiving ---------------------------------------------------------------------------------

void VXQLabelledShape::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawableShape::encodeWithCoder(coder);
    QVariantList labels;
    for (const VXQTextLabelPtr& label : m_labels.labels())
        labels.append(QVariant::fromValue(ZQObjectPtr(label)));
    coder.encodeObject(QVariant(labels), kLabelsKey);
    coder.encodeBool(m_labels.hidden(), kLabelsHiddenKey);
}

void VXQLabelledShape::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawableShape::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    QList<VXQTextLabelPtr> labels;
    for (const VXQTextBlockLabelPtr& label : reader.objects<VXQTextBlockLabel>(kLabelsKey))
        labels.append(label);
    setTextLabels(labels);
    m_labels.setHidden(reader.boolean(kLabelsHiddenKey, false));
}
