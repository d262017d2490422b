#include "furniture/scalebar/VXQScaleBarShape.h"

#include "app/document/ZQQuorvaneDocument.h"
#include "furniture/grid/VXQSquareAnnotatedGrid.h"
#include "mapscale/VXQMapScaleOwner.h"
#include "mapscale/VXQMeasurement.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/measurement/ZQMeasurement.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/NumberFormatter.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/text/VXTextAdornment.h"

#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <cmath>

namespace {

const QString kUpperKey = QStringLiteral("VXQScaleBarShape_upper");
const QString kLowerKey = QStringLiteral("VXQScaleBarShape_lower");
const QString kUpperLabelKey = QStringLiteral("VXQScaleBarShape_upperLabel");
const QString kLowerLabelKey = QStringLiteral("VXQScaleBarShape_lowerLabel");
const QString kTitleKey = QStringLiteral("VXQScaleBarShape_title");
const QString kLowerDivisionsKey = QStringLiteral("VXQScaleBarShape_lowerDivisions");
const QString kUpperDivisionsKey = QStringLiteral("VXQScaleBarShape_upperDivisions");
const QString kTitleEnabledKey = QStringLiteral("VXQScaleBarShape_titleEnabled");
const QString kSecondaryScaleKey = QStringLiteral("VXQScaleBarShape_secondaryScale");
const QString kTextAdornmentKey = QStringLiteral("VXQScaleBarShape_textAdornment");
const QString kUserTitleKey = QStringLiteral("VXQScaleBar_userTitle");
const QString kSecondaryUnitsKey = QStringLiteral("VXQScaleBarShape_secondaryScaleUnits");
const QString kLegacyMeasurementKey = QStringLiteral("VXQScaleBarShape_secondaryMeasurement");

const QSizeF kDefaultSize(200, 70);
constexpr double kBoundsOutset = 5;
constexpr double kLabelInset = 8;
constexpr double kTitleGap = 2;
constexpr double kSmallestPitch = 50;
constexpr quint32 kUnitLabelTraits = platform::FontManager::ItalicFontMask;
constexpr quint32 kTitleTraits = platform::FontManager::BoldFontMask | platform::FontManager::UnitalicFontMask;

// Map documents keep their scale themselves; other owners may answer the map-scale owner interface.
VXQMapScalePtr mapScaleOfOwner(const QObject* owner)
{
    if (const auto* document = qobject_cast<const ZQQuorvaneDocument*>(owner))
        return document->mapScale();
    return mapScaleOfDrawingOwner(owner);
}

QString capitalised(const QString& text)
{
    return text.isEmpty() ? text : text.left(1).toUpper() + text.mid(1);
}

QString unitNameOfScale(const VXQMapScale& scale)
{
    return capitalised(scale.representedMeasurement()->unit()->fullName());
}

QString titleForScale(const VXQMapScale& scale)
{
    return QObject::tr("Scale %1").arg(scale.stringValue());
}

QSizeF textSize(const QString& text, const platform::TextAttributes& attributes)
{
    return platform::AttributedStringLayout(platform::AttributedString(text, attributes), 0.0).size();
}

void drawTextInRect(const QString& text, const platform::TextAttributes& attributes, const QRectF& rect)
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || text.isEmpty())
        return;
    const platform::AttributedStringLayout layout(platform::AttributedString(text, attributes), rect.width());
    layout.drawAtPoint(context->painter(), rect.topLeft());
}

} // namespace

VXQScaleBarShape::VXQScaleBarShape()
{
    // The elements first: the bounds, which setting the size asks for, are made of them.
    adoptElements(std::make_shared<VXQScaleBarElement>(), std::make_shared<VXQScaleBarElement>());
    m_adornment = std::make_shared<VXTextAdornment>();
    m_adornment->setTextAttributes(m_upper->textAttributes());
    m_adornment->addRastObserver(this);
    copyAdornmentAttributesToElements();
    setPath(platform::BezierPath::bezierPathWithRect(QRectF(-0.5, -0.5, 1, 1)));
    setSize(kDefaultSize);
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kVXDrawingDidGetNewOwner, nullptr,
        [this](const platform::Notification& notification) { drawingOwnerChanged(notification); });
}

VXQScaleBarShape::~VXQScaleBarShape()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    if (m_adornment)
        m_adornment->removeRastObserver(this);
}

void VXQScaleBarShape::adoptElements(VXQScaleBarElementPtr upper, VXQScaleBarElementPtr lower)
{
    upper->setEdge(kVXQGridEdgeTop);
    lower->setEdge(kVXQGridEdgeBottom);
    upper->setOwner(this);
    lower->setOwner(this);
    m_upper = std::move(upper);
    m_lower = std::move(lower);
}

// --- Setters -----------------------------------------------------------------------------------

template <class T>
bool VXQScaleBarShape::edit(const char* key, const T& current, const T& value, int rules, const QString& actionName,
                            const std::function<void()>& apply)
{
    if (((rules & kRefusedWhenLocked) && locked()) || ((rules & kOnlyWhenChanged) && current == value))
        return false;
    const QRectF oldBounds = bounds();
    ZQUndoManager* undo = undoManager();
    platform::registerUndoForKey(undo, *this, QString::fromLatin1(key), platform::undoValue(current));
    announceChangeForKey(QString::fromLatin1(key), [&] { apply(); });
    cachedBounds().reset();
    notifyGeometryChange(oldBounds);
    if (undo && !actionName.isEmpty() && !undo->isUndoing() && !undo->isRedoing() && !m_followingMapScale)
        undo->setActionName(actionName);
    return true;
}

void VXQScaleBarShape::applyElementStyle(const std::function<void(VXQGridBorder*)>& apply)
{
    apply(m_upper->border());
    apply(m_lower->border());
}

void VXQScaleBarShape::setMainColour(const QColor& colour)
{
    edit("mainColour", mainColour(), colour, kAlways, tr("Scale Bar Colour"),
         [&] { applyElementStyle([&](VXQGridBorder* bar) { bar->setFillColour(colour); }); });
}

void VXQScaleBarShape::setAlternateColour(const QColor& colour)
{
    edit("alternateColour", alternateColour(), colour, kRefusedWhenLocked, tr("Scale Alternate Colour"),
         [&] { applyElementStyle([&](VXQGridBorder* bar) { bar->setAlternateFillColour(colour); }); });
}

void VXQScaleBarShape::setIsAlternating(bool alternating)
{
    edit("isAlternating", isAlternating(), alternating, kRefusedWhenLocked | kOnlyWhenChanged,
         tr("Scale Bar Alternates"),
         [&] { applyElementStyle([&](VXQGridBorder* bar) { bar->setIsAlternating(alternating); }); });
}

void VXQScaleBarShape::setExtendedMarkers(bool extended)
{
    edit("extendedMarkers", extendedMarkers(), extended, kRefusedWhenLocked | kOnlyWhenChanged,
         tr("Scale Bar Extended Markers"),
         [&] { applyElementStyle([&](VXQGridBorder* bar) { bar->setExtendedMarkers(extended); }); });
}

void VXQScaleBarShape::setOrdnanceSurveyStyleEnabled(bool enabled)
{
    edit("ordnanceSurveyStyleEnabled", ordnanceSurveyStyleEnabled(), enabled, kRefusedWhenLocked | kOnlyWhenChanged,
         tr("Scale Bar Barred"),
         [&] { applyElementStyle([&](VXQGridBorder* bar) { bar->setOrdnanceSurveyStyleEnabled(enabled); }); });
}

void VXQScaleBarShape::setBarWidth(double width)
{
    if (!std::isfinite(width))
        return;
    width = std::clamp(width, 0.0, VXQGridBorder::kMaximumExtent);
    edit("barWidth", barWidth(), width, kOnlyWhenChanged, {}, [&] {
        m_upper->setBarWidth(width);
        m_lower->setBarWidth(width);
    });
}

void VXQScaleBarShape::setTextAttributes(const QVariantMap& attributes)
{
    if (locked())
        return;
    m_adornment->setTextAttributes(attributes);
    // The adornment's observation copies them to the elements; make sure they get there
    // even when the adornment saw no change.
    copyAdornmentAttributesToElements();
}

void VXQScaleBarShape::setPrimaryBarEnabled(bool enabled)
{
    edit("primaryBarEnabled", primaryBarEnabled(), enabled, kRefusedWhenLocked | kOnlyWhenChanged,
         enabled ? tr("Enable Scale Bar") : tr("Disable Scale Bar"), [&] { m_upper->setEnabled(enabled); });
}

void VXQScaleBarShape::setSecondaryBarEnabled(bool enabled)
{
    edit("secondaryBarEnabled", secondaryBarEnabled(), enabled, kRefusedWhenLocked | kOnlyWhenChanged,
         enabled ? tr("Enable Scale Bar") : tr("Disable Scale Bar"), [&] { m_lower->setEnabled(enabled); });
}

void VXQScaleBarShape::setPrimaryBarDivisions(qint64 divisions)
{
    divisions = std::clamp<qint64>(divisions, 0, kMostDivisions);
    edit("primaryBarDivisions", m_upperDivisions, divisions, kRefusedWhenLocked | kOnlyWhenChanged,
         tr("Scale Bar Divisions"), [&] { m_upperDivisions = divisions; });
}

void VXQScaleBarShape::setSecondaryBarDivisions(qint64 divisions)
{
    divisions = std::clamp<qint64>(divisions, 0, kMostDivisions);
    edit("secondaryBarDivisions", m_lowerDivisions, divisions, kRefusedWhenLocked | kOnlyWhenChanged,
         tr("Scale Bar Divisions"), [&] { m_lowerDivisions = divisions; });
}

void VXQScaleBarShape::setPrimaryBarSkipInterval(quint64 interval)
{
    interval = std::max<quint64>(interval, 1);
    edit("primaryBarSkipInterval", primaryBarSkipInterval(), interval, kRefusedWhenLocked | kOnlyWhenChanged,
         tr("Change Label Interval"), [&] { m_upper->annotation()->setLabelSkipInterval(interval); });
}

void VXQScaleBarShape::setSecondaryBarSkipInterval(quint64 interval)
{
    interval = std::max<quint64>(interval, 1);
    edit("secondaryBarSkipInterval", secondaryBarSkipInterval(), interval, kRefusedWhenLocked | kOnlyWhenChanged,
         tr("Change Label Interval"), [&] { m_lower->annotation()->setLabelSkipInterval(interval); });
}

void VXQScaleBarShape::setPrimaryLabel(const QString& label)
{
    edit("primaryLabel", m_upperLabel, label, kRefusedWhenLocked, tr("Scale Bar Text"), [&] { m_upperLabel = label; });
}

void VXQScaleBarShape::setSecondaryLabel(const QString& label)
{
    edit("secondaryLabel", m_lowerLabel, label, kRefusedWhenLocked, tr("Scale Bar Text"), [&] { m_lowerLabel = label; });
}

void VXQScaleBarShape::setTitle(const QString& title)
{
    edit("title", m_title, title, kRefusedWhenLocked, tr("Scale Bar Default Title"), [&] { m_title = title; });
}

void VXQScaleBarShape::setUserTitle(const QString& title)
{
    edit("userTitle", m_userTitle, title, kRefusedWhenLocked, tr("Scale Bar Title"), [&] { m_userTitle = title; });
}

void VXQScaleBarShape::setTitleEnabled(bool enabled)
{
    edit("titleEnabled", m_titleEnabled, enabled, kRefusedWhenLocked | kOnlyWhenChanged,
         enabled ? tr("Enable Title") : tr("Disable Title"), [&] { m_titleEnabled = enabled; });
}

void VXQScaleBarShape::setSecondaryScaleUnits(const ZQUnitLengthPtr& units)
{
    if (!units)
        return;
    if (edit("secondaryScaleUnits", m_secondaryUnits, units, kRefusedWhenLocked, tr("Scale Bar Units"),
             [&] { m_secondaryUnits = units; }))
        updateFromMapScale(mapScale());
}

void VXQScaleBarShape::setSecondaryScaleUnitsObject(ZQUnitLength* units)
{
    if (units)
        setSecondaryScaleUnits(std::static_pointer_cast<ZQUnitLength>(units->shared_from_this()));
}

void VXQScaleBarShape::setSecondaryBarMeasurement(const std::shared_ptr<VXQMeasurement>& measurement)
{
    if (locked() || !measurement)
        return;
    ZQLog(QStringLiteral("use of VXQMeasurement is deprecated, please revise calling code"));
    m_secondaryBarMeasurement = measurement;
    if (const ZQMeasurementPtr legacy = VXQMapScale::measurementWithLegacyMeasure(*measurement))
        setSecondaryScaleUnits(legacy->unit());
}

// --- Following the map scale -------------------------------------------------------------------

VXQMapScalePtr VXQScaleBarShape::mapScale() const
{
    const VXDrawing* owningDrawing = drawing();
    return owningDrawing ? mapScaleOfOwner(owningDrawing->owner()) : nullptr;
}

VXQMapScalePtr VXQScaleBarShape::deriveSecondaryScale(const VXQMapScalePtr& scale) const
{
    return scale ? scale->mapScaleWithRepresentativeUnitsAndSimilarMagnitude(m_secondaryUnits) : nullptr;
}

void VXQScaleBarShape::setSecondaryScale(const VXQMapScalePtr& scale)
{
    m_secondaryScale = scale;
    if (!scale)
        return;
    ZQLog(QStringLiteral("%1 - derived scale: %2").arg(description(), scale->description()));
    setSecondaryLabel(unitNameOfScale(*scale));
}

void VXQScaleBarShape::updateFromMapScale(const VXQMapScalePtr& scale)
{
    if (!scale)
        return;
    const QRectF oldBounds = bounds();
    const QScopedValueRollback following(m_followingMapScale, true);
    setPrimaryLabel(unitNameOfScale(*scale));
    try {
        if (VXQMapScalePtr derived = deriveSecondaryScale(scale))
            setSecondaryScale(derived);
    } catch (const std::exception& error) {
        ZQLog(QStringLiteral("an exception occurred deriving secondary scale (ignored): %1")
                  .arg(QString::fromUtf8(error.what())));
    }
    if (m_upperDivisions == 0) {
        const VXDrawing* owningDrawing = drawing();
        if (const auto grid = owningDrawing ? owningDrawing->firstLayerOfClass<VXQSquareAnnotatedGrid>() : nullptr)
            m_upperDivisions = qint64(std::min<quint64>(grid->divisionsPerSpan(), kMostDivisions));
    }
    cachedBounds().reset();
    notifyGeometryChange(oldBounds);
}

void VXQScaleBarShape::mapScaleChanged(const VXQMapScalePtr& scale)
{
    updateFromMapScale(scale);
    if (scale) {
        const QScopedValueRollback following(m_followingMapScale, true);
        setTitle(titleForScale(*scale));
    }
}

void VXQScaleBarShape::setContainer(QObject* container)
{
    VXDrawableShape::setContainer(container);
    mapScaleChanged(mapScale());
    const VXDrawing* owningDrawing = container ? drawing() : nullptr;
    observeMapScaleOfOwner(owningDrawing ? owningDrawing->owner() : nullptr);
}

void VXQScaleBarShape::observeMapScaleOfOwner(QObject* owner)
{
    auto& center = platform::NotificationCenter::defaultCenter();
    if (m_observedOwner)
        center.removeObserver(this, kQuorvaneMapScaleDidChangeNotification, m_observedOwner);
    m_observedOwner = owner;
    if (!owner)
        return;
    center.addObserver(this, kQuorvaneMapScaleDidChangeNotification, owner, [this](const platform::Notification& note) {
        const VXDrawing* owningDrawing = drawing();
        if (owningDrawing && note.object() && note.object() == owningDrawing->owner())
            mapScaleChanged(mapScaleOfOwner(note.object()));
    });
}

void VXQScaleBarShape::drawingOwnerChanged(const platform::Notification& notification)
{
    // Every drawing posts this; only ours concerns the bar.
    const VXDrawing* owningDrawing = drawing();
    if (!owningDrawing || notification.object() != owningDrawing)
        return;
    observeMapScaleOfOwner(owningDrawing->owner());
}

// --- Owner answers -----------------------------------------------------------------------------

VXQMapScalePtr VXQScaleBarShape::currentScale() const
{
    return m_current == m_lower.get() ? m_secondaryScale : mapScale();
}

double VXQScaleBarShape::spanLength() const
{
    const VXQMapScalePtr scale = currentScale();
    if (!scale)
        return 0;
    const double width = logicalBounds().width();
    const double pitch = scale->labelPitchSpanInRange(kSmallestPitch, std::floor(width / 2));
    return std::min(pitch, width);
}

quint64 VXQScaleBarShape::divisionsPerSpan() const
{
    return quint64(std::max<qint64>(m_current == m_lower.get() ? m_lowerDivisions : m_upperDivisions, 0));
}

QRectF VXQScaleBarShape::borderRect() const
{
    const QRectF logical = logicalBounds();
    double width = logical.width();
    const double span = spanLength();
    if (span > 0 && std::isfinite(span))
        width = std::floor(width / span) * span;
    return QRectF(logical.left(), logical.center().y(), width, 0);
}

std::optional<QString> VXQScaleBarShape::proposedLabelAtIndexMaxIndexFormatter(const QString&, quint64 index, quint64,
                                                                             const platform::NumberFormatter* formatter) const
{
    const VXQMapScalePtr scale = currentScale();
    if (!scale)
        return std::nullopt;
    const ZQMeasurementPtr distance =
        scale->convertToRepresentedMeasurement(*ZQMeasurement::make(spanLength() * double(index), ZQUnitLength::points()));
    if (!distance)
        return std::nullopt;
    const double value = distance->value();
    if (formatter)
        return formatter->stringFromNumber(value);
    return QString::asprintf(value > 0 && value < 1 ? "%.1f" : "%.0f", value);
}

// --- Geometry ----------------------------------------------------------------------------------

platform::TextAttributes VXQScaleBarShape::labelAttributesWithTraits(quint32 traits) const
{
    platform::TextAttributes attributes = textAttributes();
    platform::ParagraphStyle paragraph =
        attributes.value(platform::kParagraphStyleAttributeName).value<platform::ParagraphStyle>();
    paragraph.alignment = platform::TextAlignment::Centre;
    paragraph.lineBreakMode = platform::LineBreakMode::TruncatingTail;
    attributes.insert(platform::kParagraphStyleAttributeName, QVariant::fromValue(paragraph));
    const QFont font = attributes.value(platform::kFontAttributeName).value<QFont>();
    attributes.insert(platform::kFontAttributeName,
                      platform::FontManager::sharedFontManager()->convertFontToHaveTrait(font, traits));
    return attributes;
}

QRectF VXQScaleBarShape::upperLabelBounds() const
{
    if (!primaryBarEnabled())
        return {};
    const double widen = m_upper->annotation()->maxWidthNeeded() / 2 + kLabelInset;
    return logicalBounds().adjusted(kLabelInset - widen, 0, widen - kLabelInset, 0);
}

QRectF VXQScaleBarShape::lowerLabelBounds() const
{
    if (!secondaryBarEnabled())
        return {};
    const double widen = m_lower->annotation()->maxWidthNeeded() / 2 + kLabelInset;
    QRectF rect = logicalBounds().adjusted(kLabelInset - widen, 0, widen - kLabelInset, 0);
    const double labelHeight = textSize(m_lowerLabel, labelAttributesWithTraits(kUnitLabelTraits)).height();
    rect.moveTop(logicalBounds().bottom() - labelHeight);
    return rect;
}

QRectF VXQScaleBarShape::titleBoundsWithString(const QString& title) const
{
    const QRectF logical = logicalBounds();
    const double height = textSize(title, labelAttributesWithTraits(kTitleTraits)).height();
    return QRectF(logical.left(), logical.top() - kTitleGap - height, logical.width(), height);
}

QRectF VXQScaleBarShape::bounds() const
{
    std::optional<QRectF>& cached = cachedBounds();
    if (cached)
        return *cached;
    const QScopedValueRollback current(m_current);
    QRectF rect = VXDrawableShape::bounds().adjusted(-kBoundsOutset, -kBoundsOutset, kBoundsOutset, kBoundsOutset);
    if (primaryBarEnabled()) {
        m_current = m_upper.get();
        rect |= upperLabelBounds();
    }
    if (secondaryBarEnabled()) {
        m_current = m_lower.get();
        rect |= lowerLabelBounds();
    }
    rect |= titleBoundsWithString(shownTitle());
    cached = rect;
    return rect;
}

// --- Drawing -----------------------------------------------------------------------------------

void VXQScaleBarShape::drawContent() const
{
    if (!visible())
        return;
    const QRectF area = bounds();
    m_current = m_upper.get();
    m_upper->drawRect(area);
    if (!m_upperLabel.isEmpty() && primaryBarEnabled())
        drawTextInRect(m_upperLabel, labelAttributesWithTraits(kUnitLabelTraits), upperLabelBounds());
    if (m_secondaryScale) {
        m_current = m_lower.get();
        m_lower->drawRect(area);
        if (!m_lowerLabel.isEmpty() && secondaryBarEnabled())
            drawTextInRect(m_lowerLabel, labelAttributesWithTraits(kUnitLabelTraits), lowerLabelBounds());
    }
    if (m_titleEnabled) {
        drawTextInRect(shownTitle(), labelAttributesWithTraits(kTitleTraits), titleBoundsWithString(shownTitle()));
    }
    m_current = nullptr;
}

// --- Events and drops --------------------------------------------------------------------------

void VXQScaleBarShape::mouseDoubleClickedAtPointInPartEvent(QPointF, int, QMouseEvent*)
{
    static const QByteArray kAction = QByteArrayLiteral("openCalibrationPanel");
    if (QObject* target = platform::ResponderChain::firstResponderTo(kAction))
        platform::ResponderChain::performAction(target, kAction, this);
}

void VXQScaleBarShape::setStyle(const VXStylePtr& style)
{
    if (style && !style->textAttributes().isEmpty())
        setTextAttributesNamed(style->textAttributes(), tr("Apply Text Style"));
}

void VXQScaleBarShape::changeFont(QObject* sender)
{
    const auto* manager = qobject_cast<platform::FontManager*>(sender);
    if (!manager || locked())
        return;
    QVariantMap attributes = textAttributes();
    attributes.insert(platform::kFontAttributeName,
                      manager->convertFont(attributes.value(platform::kFontAttributeName).value<QFont>()));
    setTextAttributesNamed(attributes, tr("Scale Bar Font"));
}

void VXQScaleBarShape::changeAttributes(QObject* sender)
{
    if (const auto* manager = qobject_cast<platform::FontManager*>(sender); manager && !locked())
        setTextAttributesNamed(manager->convertAttributes(m_upper->textAttributes()), tr("Scale Bar Text Style"));
}

void VXQScaleBarShape::setTextAttributesNamed(const QVariantMap& attributes, const QString& actionName)
{
    // The adornment makes its change a step of its own; this one holds it under this name.
    ZQUndoManager* undo = undoManager();
    if (undo)
        undo->beginUndoGrouping();
    setTextAttributes(attributes);
    if (undo) {
        if (!undo->isUndoing() && !undo->isRedoing())
            undo->setActionName(actionName);
        undo->endUndoGrouping();
    }
}

QStringList VXQScaleBarShape::pasteboardTypesForOperation(int) const
{
    return {QStringLiteral("application/x-color")};
}

bool VXQScaleBarShape::performDragOperation(const QMimeData* data, Qt::KeyboardModifiers modifiers)
{
    if (!data || !data->hasColor())
        return false;
    const QColor colour = data->colorData().value<QColor>();
    if (!colour.isValid())
        return false;
    if (modifiers & Qt::AltModifier)
        setAlternateColour(colour);
    else
        setMainColour(colour);
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(tr("Drop Colour"));
    return true;
}

// --- Text adornment ----------------------------------------------------------------------------

void VXQScaleBarShape::rasterizerDidChangeKeyPath(VXRasterizer* rasterizer, const QString& keyPath)
{
    // The adornment registers the undo of its own changes; the elements draw with its attributes.
    if (rasterizer == m_adornment.get())
        copyAdornmentAttributesToElements();
    else
        VXDrawableShape::rasterizerDidChangeKeyPath(rasterizer, keyPath);
}

void VXQScaleBarShape::copyAdornmentAttributesToElements()
{
    const QVariantMap attributes = m_adornment->textAttributes();
    if (attributes == textAttributes())
        return;
    const QRectF oldBounds = bounds();
    announceChangeForKey(QStringLiteral("textAttributes"), [&] {
        m_upper->setTextAttributes(attributes);
        m_lower->setTextAttributes(attributes);
    });
    cachedBounds().reset();
    notifyGeometryChange(oldBounds);
    if (isSelected())
        reportTextToFontManager();
}

void VXQScaleBarShape::objectDidBecomeSelected()
{
    VXDrawableShape::objectDidBecomeSelected();
    reportTextToFontManager();
}

void VXQScaleBarShape::reportTextToFontManager() const
{
    const platform::TextAttributes attributes = textAttributes();
    platform::FontManager* manager = platform::FontManager::sharedFontManager();
    manager->setSelectedFontIsMultiple(attributes.value(platform::kFontAttributeName).value<QFont>(), false);
    manager->setSelectedAttributesIsMultiple(attributes, false);
}

// --- Archiving ---------------------------------------------------------------------

void VXQScaleBarShape::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawableShape::encodeWithCoder(coder);
    coder.encodeObject(m_upper.get(), kUpperKey);
    coder.encodeObject(m_lower.get(), kLowerKey);
    coder.encodeObject(QVariant(m_upperLabel), kUpperLabelKey);
    coder.encodeObject(QVariant(m_lowerLabel), kLowerLabelKey);
    coder.encodeObject(QVariant(m_title), kTitleKey);
    coder.encodeInt(m_lowerDivisions, kLowerDivisionsKey);
    coder.encodeInt(m_upperDivisions, kUpperDivisionsKey);
    coder.encodeBool(m_titleEnabled, kTitleEnabledKey);
    if (m_secondaryScale)
        coder.encodeObject(m_secondaryScale.get(), kSecondaryScaleKey);
    coder.encodeObject(m_adornment.get(), kTextAdornmentKey);
    coder.encodeObject(QVariant(m_userTitle), kUserTitleKey);
    coder.encodeObject(m_secondaryUnits.get(), kSecondaryUnitsKey);
}

void VXQScaleBarShape::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawableShape::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    VXQScaleBarElementPtr upper = reader.object<VXQScaleBarElement>(kUpperKey);
    VXQScaleBarElementPtr lower = reader.object<VXQScaleBarElement>(kLowerKey);
    adoptElements(upper ? upper : std::make_shared<VXQScaleBarElement>(),
                  lower ? lower : std::make_shared<VXQScaleBarElement>());
    m_upperLabel = reader.string(kUpperLabelKey);
    m_lowerLabel = reader.string(kLowerLabelKey);
    m_title = reader.string(kTitleKey);
    m_lowerDivisions = reader.integer(kLowerDivisionsKey, 10, 0, kMostDivisions);
    m_upperDivisions = reader.integer(kUpperDivisionsKey, 0, 0, kMostDivisions);
    m_titleEnabled = reader.boolean(kTitleEnabledKey, true);
    m_userTitle = reader.string(kUserTitleKey);

    ZQUnitLengthPtr units = reader.object<ZQUnitLength>(kSecondaryUnitsKey);
    if (!units) {
        if (auto legacy = reader.object<VXQMeasurement>(kLegacyMeasurementKey)) {
            if (const ZQMeasurementPtr measure = VXQMapScale::measurementWithLegacyMeasure(*legacy))
                units = measure->unit();
        }
    }
    if (units)
        m_secondaryUnits = units;
    if (VXQMapScalePtr derived = reader.object<VXQMapScale>(kSecondaryScaleKey))
        setSecondaryScale(derived);

    if (m_adornment)
        m_adornment->removeRastObserver(this);
    if (auto adornment = reader.object<VXTextAdornment>(kTextAdornmentKey))
        m_adornment = adornment;
    m_adornment->setTextAttributes(m_upper->textAttributes());
    m_adornment->addRastObserver(this);
    copyAdornmentAttributesToElements();
    cachedBounds().reset();
    setSize(size());
}
