#include "symbols/labels/VXQTextPathLabel.h"

#include "geodata/PathSimplification.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString kRangeLocationKey = QStringLiteral("VXQTextPathLabel.range.location");
const QString kRangeLengthKey = QStringLiteral("VXQTextPathLabel.range.length");
const QString kRangeTypeKey = QStringLiteral("VXQTextPathLabel.range.type");
const QString kSimplificationKey = QStringLiteral("VXQTextPathLabel_simplification");

constexpr double kShortestReadLength = 1.0;
constexpr double kMinimumFontSizeForPath = 6.0;
constexpr double kFontShareOfStroke = 0.8;
constexpr double kHighlightShareOfStroke = 1.5;
constexpr double kHighlightWidthWithoutPath = 25.0;
constexpr int kCentredAlignment = 2;

} // namespace

VXQTextPathLabel::VXQTextPathLabel() = default;

VXQTextPathLabel::~VXQTextPathLabel() = default;

VXQTextPathLabelPtr VXQTextPathLabel::label()
{
    auto made = std::make_shared<VXQTextPathLabel>();
    made->init();
    return made;
}

VXTextAdornmentPtr VXQTextPathLabel::makeTextAdornment() const
{
    auto adornment = std::make_shared<VXTextAdornment>();
    adornment->setLayoutMode(VXTextAdornment::kLayoutAlongPath);
    adornment->setAlignment(3);
    adornment->setVerticalAlignment(VXTextAdornment::kAlignMiddle);
    return adornment;
}

ZQMultiStylePath* VXQTextPathLabel::path() const
{
    return qobject_cast<ZQMultiStylePath*>(containerObject());
}

// --- Range and simplification ------------------------------------------------------------------------

void VXQTextPathLabel::setStyleRange(const ZQStyleRange& range)
{
    if (ZQEqualStyleRanges(range, m_range))
        return;
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, previous = m_range] { setStyleRange(previous); });
    notifyVisualChange();
    m_range = range;
    notifyVisualChange();
}

ZQStyleRange VXQTextPathLabel::absoluteRange() const
{
    const ZQMultiStylePath* container = path();
    return container ? ZQConvertStyleRange(m_range, kZQAbsoluteStyleRange, container->length()) : m_range;
}

void VXQTextPathLabel::setSimplification(int simplification)
{
    if (simplification == m_simplification)
        return;
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, previous = m_simplification] { setSimplification(previous); });
    notifyVisualChange();
    m_simplification = simplification;
    notifyVisualChange();
}

void VXQTextPathLabel::toggleSimplificationAction(QObject*)
{
    setSimplification(m_simplification == 0 ? kFollowsTrendOfPath : 0);
    setUndoActionName(tr("Toggle Follow Trend Of Path"));
}

// --- Layout along the path -------------------------------------------------------------------------------

bool VXQTextPathLabel::isReversed() const
{
    return textAdornment()->layoutMode() == VXTextAdornment::kLayoutAlongReversedPath;
}

void VXQTextPathLabel::reverseLabel(QObject*)
{
    textAdornment()->setLayoutMode(textAdornment()->layoutMode() == VXTextAdornment::kLayoutAlongPath
                                       ? VXTextAdornment::kLayoutAlongReversedPath
                                       : VXTextAdornment::kLayoutAlongPath);
    setUndoActionName(tr("Flip Label"));
}

double VXQTextPathLabel::baselineOffset() const
{
    return textAdornment()->baselineOffset();
}

void VXQTextPathLabel::setBaseline(double offset)
{
    if (!std::isfinite(offset))
        return;
    const double proportion = offset / (2 * VXTextAdornment::defaultMaximumVerticalOffset()) + 0.5;
    setVerticalAlignment(VXTextAdornment::kAlignProportionally);
    setVerticalAlignmentProportion(std::clamp(proportion, 0.0, 1.0));
}

void VXQTextPathLabel::sizeToPath(QObject*)
{
    const ZQMultiStylePath* container = path();
    if (!container)
        return;
    setFontSize(std::max(kMinimumFontSizeForPath, std::floor(kFontShareOfStroke * container->widestStrokeWidth())));
    setUndoActionName(tr("Size Label To Path"));
}

void VXQTextPathLabel::fitToText(QObject*)
{
    const double width = platform::AttributedStringLayout(attributedString(), 0).size().width();
    if (!std::isfinite(width))
        return;
    // A relative range holds fractions: the width is a length along the path.
    ZQStyleRange range = absoluteRange();
    range.length = width + kFitMargin;
    setStyleRange(range);
    setAlignment(kCentredAlignment);
    setUndoActionName(tr("Size Label To Text"));
}

platform::BezierPath VXQTextPathLabel::renderingPath() const
{
    const ZQMultiStylePath* container = path();
    if (!container)
        return {};
    const ZQStyleRange stretch = ZQResolvedStyleRange(m_range, container->length());
    platform::BezierPath line = container->renderingPath().bezierPathWithRange(stretch.location, stretch.length);
    if (m_simplification == kFollowsTrendOfPath)
        if (const std::optional<QPainterPath> trend = geodata::bezierPathByInterpolatingEndPoints(line.painterPath()))
            line = platform::BezierPath(*trend);
    return line;
}

quint64 VXQTextPathLabel::geometryChecksum() const
{
    const ZQMultiStylePath* container = path();
    return container ? container->geometryChecksum() : 0;
}

platform::BezierPath VXQTextPathLabel::highlightPath() const
{
    const ZQMultiStylePath* container = path();
    const double width = container ? kHighlightShareOfStroke * container->widestStrokeWidth() : kHighlightWidthWithoutPath;
    platform::BezierPath line = renderingPath();
    line.setLineCapStyle(platform::LineCapStyle::Round);
    return line.strokedPathWithStrokeWidth(width);
}

bool VXQTextPathLabel::isGhosted() const
{
    const ZQMultiStylePath* container = path();
    return container && container->ghosted();
}

// --- Drawing and geometry -----------------------------------------------------------------------------

QRectF VXQTextPathLabel::bounds() const
{
    QRectF area = textAdornment()->boundsNeededForObject(*this);
    if (isSelected())
        area |= highlightPath().bounds().adjusted(-1, -1, 1, 1);
    return area;
}

void VXQTextPathLabel::drawInView(VXDrawingView*) const
{
    if (!isEditing())
        textAdornment()->render(*this);
}

void VXQTextPathLabel::highlightInView(VXDrawingView*) const
{
    drawHighlightOutline(highlightPath().painterPath());
}

std::shared_ptr<VXDrawableObject> VXQTextPathLabel::convertToTextObject() const
{
    auto text = VXTextPath::textPathWithStringOnPath(QString(), renderingPath());
    auto adornment = std::static_pointer_cast<VXTextAdornment>(textAdornment()->copy());
    adornment->setLabel(textAdornment()->textToDraw(*this));
    text->setTextAdornment(adornment);
    return text;
}

// --- Menu ---------------------------------------------------------------------------------------------------

void VXQTextPathLabel::populateContextualMenu(platform::Menu* menu)
{
    // Ahead of what the menu already holds, as the base's items are.
    QAction* const before = menu->actions().value(0);
    VXQTextLabel::populateContextualMenu(menu);
    menu->insertSeparator(before);
    menu->insertAction(before, commandItem(tr("Flip Label"), "reverseLabel", menu));
    menu->insertAction(before, commandItem(tr("Size To Path"), "sizeToPath", menu));
    menu->insertAction(before, commandItem(tr("Size To Text"), "fitToText", menu));
    menu->insertAction(before, commandItem(tr("Follow Trend Of Path"), "toggleSimplificationAction", menu));
    menu->insertSeparator(before);
}

bool VXQTextPathLabel::validateMenuItem(platform::MenuItem* item)
{
    if (item->action() == "toggleSimplificationAction") {
        item->setState(m_simplification != 0 ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    }
    return VXQTextLabel::validateMenuItem(item);
}

// --- Copying and archiving ---------------------------------------------------------------------------------

std::shared_ptr<ZQObject> VXQTextPathLabel::copy() const
{
    auto made = std::static_pointer_cast<VXQTextPathLabel>(VXQTextLabel::copy());
    made->m_range = m_range;
    made->m_simplification = m_simplification;
    return made;
}

void VXQTextPathLabel::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXQTextLabel::encodeWithCoder(coder);
    coder.encodeDouble(double(float(m_range.location)), kRangeLocationKey);
    coder.encodeDouble(double(float(m_range.length)), kRangeLengthKey);
    coder.encodeInt(m_range.rangeType, kRangeTypeKey);
    coder.encodeInt(m_simplification, kSimplificationKey);
}

void VXQTextPathLabel::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXQTextLabel::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    // A stored value that is not a number leaves the label without a stretch; an absent one is 0.
    const auto stored = [&](const QString& key) {
        return reader.contains(key) ? double(float(reader.real(key, std::nan("")))) : 0.0;
    };
    const double location = stored(kRangeLocationKey);
    const double length = stored(kRangeLengthKey);
    const qint64 type = reader.integer(kRangeTypeKey, -1, kZQRelativeStyleRange, kZQAbsoluteStyleRange);
    // Only an absolute range is measured in path lengths: a relative one of any length covers
    // some of the path.
    const double shortest = type == kZQAbsoluteStyleRange ? kShortestReadLength : 0;
    m_rangeIsReadable = std::isfinite(location) && std::isfinite(length) && type >= 0 && location >= 0
                        && ((type == kZQAbsoluteStyleRange && length >= shortest) || (type == kZQRelativeStyleRange && length > 0));
    if (m_rangeIsReadable)
        m_range = ZQMakeStyleRange(location, std::min(length, kZQStyleRangeRunsToEnd), qint32(type));
    m_simplification = int(reader.integer(kSimplificationKey, 0, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::shared_ptr<ZQObject> VXQTextPathLabel::awakeAfterUsingCoder(platform::KeyedUnarchiver& coder)
{
    return m_rangeIsReadable ? VXQTextLabel::awakeAfterUsingCoder(coder) : nullptr;
}
