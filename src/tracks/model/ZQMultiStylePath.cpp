#include "tracks/model/ZQMultiStylePath.h"

#include "app/services/InspectorServices.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/view/KnobStampBatch.h"
#include "platform/vantrix/view/VXKnob.h"
#include "tracks/styles/MultiStyleDrawingList.h"
#include "tracks/tools/PartDrag.h"
#include "tracks/styles/RangeStyleLayout.h"
#include "tracks/styles/SpecialItemStyles.h"

#include <QMouseEvent>
#include <QMutexLocker>
#include <QPainter>
#include <algorithm>
#include <limits>

namespace {

const QString kStylesKey = QStringLiteral("multistyles");
const QString kShimsKey = QStringLiteral("shims");
const QString kOverlaysKey = QStringLiteral("ZQMultiStylePath_overlays");
const QString kAdornmentsKey = QStringLiteral("ZQMultiStylePath_adornments");
const QString kAutoInsertsShimsKey = QStringLiteral("ZQMultiStylePath_autoInsertsShims");
const QString kShimBlendingKey = QStringLiteral("ZQMultiStylePath_shimBlending");
const QString kShowsBoundariesKey = QStringLiteral("ZQMultiStylePath_showsInlineStyleBoundaries");
const QString kTextLabelsKey = QStringLiteral("ZQMultiStylePath_textLabels");
const QString kTextLabelsHiddenKey = QStringLiteral("ZQMultiStylePath_textLabelsHidden");
const QString kDynamicTemplatesKey = QStringLiteral("ZQMultiStylePath_dynamicLabelTemplates");

constexpr double kAnyDistance = std::numeric_limits<double>::max();

bool isValidShimBlend(qint64 blending)
{
    return blending >= kZQShimBlendNone && blending <= kZQShimBlendWidthAndColour;
}

// The archived form of a list of objects, and their key-value coding value.
template <class T>
QVariantList objectListValue(const QList<std::shared_ptr<T>>& list)
{
    QVariantList value;
    for (const std::shared_ptr<T>& member : list)
        value.append(QVariant::fromValue(ZQObjectPtr(member)));
    return value;
}

} // namespace

ZQMultiStylePath::ZQMultiStylePath()
    : m_shimBlending(defaultShimBlending())
{
    m_labelFields.dynamicTemplatesEnabled = defaultAllowsDynamicLabelTemplates();
}

ZQMultiStylePath::~ZQMultiStylePath() = default;

ZQMultiStylePathPtr ZQMultiStylePath::multiStylePathWithPathStyle(const platform::BezierPath& path,
                                                                  const VXStylePtr& style)
{
    auto result = std::make_shared<ZQMultiStylePath>();
    result->setPath(path);
    result->setStyle(style);
    return result;
}

// --- Geometry ----------------------------------------------------------------------------------------

double ZQMultiStylePath::lengthForPoint(QPointF point) const
{
    double reach = widestStrokeWidth();
    for (const ZQRangeDrawingStylePtr& overlay : m_overlays)
        reach = std::max(reach, overlay->style() ? overlay->style()->maxStrokeWidth() : 0.0);
    return lengthForPointTolerance(point, reach / 2 + kHitTolerance);
}

double ZQMultiStylePath::lengthForPointTolerance(QPointF point, double tolerance) const
{
    return renderingPath().lengthForPointTolerance(point, tolerance);
}

bool ZQMultiStylePath::pointHitsPath(QPointF point) const
{
    // A path without length draws nothing to hit.
    return length() > 0 && lengthForPoint(point) >= 0;
}

ZQStyleRange ZQMultiStylePath::range() const
{
    return ZQMakeAbsoluteStyleRange(0, length());
}

// --- Main styles, overlays and shims ------------------------------------------------------------------

void ZQMultiStylePath::setStyles(const QList<ZQRangeDrawingStylePtr>& styles)
{
    StyleState state = styleState();
    state.styles = RangeStyleLayout::normalizedMainStyles(styles, length());
    changeStyleState(std::move(state));
}

void ZQMultiStylePath::setOverlays(const QList<ZQRangeDrawingStylePtr>& overlays)
{
    StyleState state = styleState();
    state.overlays = overlays;
    state.overlays.removeIf([](const ZQRangeDrawingStylePtr& overlay) { return !overlay || !overlay->style(); });
    changeStyleState(std::move(state));
}

void ZQMultiStylePath::removeOverlay(const ZQRangeDrawingStyle* overlay)
{
    StyleState state = styleState();
    if (state.overlays.removeIf([overlay](const ZQRangeDrawingStylePtr& o) { return o.get() == overlay; }) > 0)
        changeStyleState(std::move(state));
}

void ZQMultiStylePath::setStyle(const VXStylePtr& style)
{
    setStyleDisplayNameAsAuxiliaryStyle(style, {}, false);
}

void ZQMultiStylePath::setStyleDisplayNameAsAuxiliaryStyle(const VXStylePtr& style, const QString& displayName,
                                                           bool auxiliary)
{
    if (!style || locked())
        return;
    if (!auxiliary) {
        applyStyleOverRange(style, displayName, targetRange());
        return;
    }
    StyleState state = styleState();
    state.overlays.append(ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(style, targetRange(),
                                                                               ZQOverlayPlacement::Above, displayName));
    changeStyleState(std::move(state));
}

void ZQMultiStylePath::setAuxiliaryStyle(const QVariant& item)
{
    QObject* holder = platform::objectFromVariant(item);
    if (!holder)
        holder = item.value<QObject*>();
    if (holder && !qobject_cast<VXStyle*>(holder))
        holder = platform::objectFromVariant(holder->property("representedObject"));
    auto* style = qobject_cast<VXStyle*>(holder);
    if (!style)
        return;
    if (auto shared = std::dynamic_pointer_cast<VXStyle>(style->weak_from_this().lock()))
        setStyleDisplayNameAsAuxiliaryStyle(shared, {}, true);
}

void ZQMultiStylePath::applyStyleOverRange(const VXStylePtr& style, const QString& displayName,
                                           const ZQStyleRange& range)
{
    StyleState state = styleState();
    const auto applied = ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(style, range, ZQOverlayPlacement::Above,
                                                                              displayName);
    state.styles = RangeStyleLayout::mainStylesWithStyleApplied(m_styles, applied, length());
    changeStyleState(std::move(state));
}

ZQRangeDrawingStylePtr ZQMultiStylePath::styleForPositionIncludingShims(double position, bool includingShims) const
{
    const double pathLength = length();
    if (includingShims && !m_styles.isEmpty()) {
        for (const ZQRangeDrawingStylePtr& shim : m_shims) {
            const ZQStyleRange covered = ZQResolvedStyleRange(shim->range(), pathLength);
            if (covered.length > 0 && ZQLocationInStyleRange(covered, position))
                return shim;
        }
    }
    return RangeStyleLayout::mainStyleAtPosition(m_styles, position, pathLength);
}

double ZQMultiStylePath::widestStrokeWidth() const
{
    double widest = 0;
    for (const ZQRangeDrawingStylePtr& style : m_styles)
        widest = std::max(widest, style->style()->maxStrokeWidth());
    return widest;
}

void ZQMultiStylePath::setAutoInsertsShims(bool inserts)
{
    if (!changeValueForKey(m_autoInsertsShims, inserts, "autoInsertsShims", Change::Appearance))
        return;
    // The flag's undo sets it back, which brings the shims back with it.
    const platform::UndoSuspension suspension(undoManager());
    StyleState state = styleState();
    state.shims.clear();
    changeStyleState(std::move(state));
}

void ZQMultiStylePath::setShimBlending(int blending)
{
    if (isValidShimBlend(blending))
        changeValueForKey(m_shimBlending, blending, "shimBlending", Change::Appearance);
}

int ZQMultiStylePath::defaultShimBlending()
{
    const QVariant value = platform::UserDefaults::standardUserDefaults()->objectForKey(kZQShimBlendChoiceDefaultKey);
    bool isNumber = false;
    const qint64 blending = value.toLongLong(&isNumber);
    return isNumber && isValidShimBlend(blending) ? int(blending) : kZQShimBlendWidth;
}

void ZQMultiStylePath::setShowsInlineStyleBoundaries(bool shows)
{
    changeValueForKey(m_showsInlineStyleBoundaries, shows, "showsInlineStyleBoundaries", Change::State);
}

QList<VXRasterizerPtr> ZQMultiStylePath::observedRasterizers() const
{
    const QList<VXStylePtr> styles = allStyles();
    return {styles.cbegin(), styles.cend()};
}

QList<VXStylePtr> ZQMultiStylePath::allStyles() const
{
    QList<VXStylePtr> styles;
    for (const auto* list : {&m_styles, &m_overlays})
        for (const ZQRangeDrawingStylePtr& rangeStyle : *list)
            if (!styles.contains(rangeStyle->style()))
                styles.append(rangeStyle->style());
    return styles;
}

bool ZQMultiStylePath::usesStyle(const VXStyle& style) const
{
    for (const auto* list : {&m_styles, &m_overlays})
        for (const ZQRangeDrawingStylePtr& rangeStyle : *list)
            if (rangeStyle->style().get() == &style)
                return true;
    return false;
}

void ZQMultiStylePath::replaceStyles(const QHash<const VXStyle*, VXStylePtr>& replacements)
{
    bool replaced = false;
    const auto replacedIn = [&](QList<ZQRangeDrawingStylePtr> list) {
        for (ZQRangeDrawingStylePtr& rangeStyle : list) {
            if (const auto it = replacements.constFind(rangeStyle->style().get()); it != replacements.cend() && it.value()) {
                rangeStyle = ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(
                    it.value(), rangeStyle->range(), rangeStyle->placement(), rangeStyle->displayName());
                replaced = true;
            }
        }
        return list;
    };
    StyleState state = styleState();
    state.styles = replacedIn(state.styles);
    state.overlays = replacedIn(state.overlays);
    if (replaced)
        changeStyleState(std::move(state));
}

void ZQMultiStylePath::styleDidChange(const VXStyle* style)
{
    const QList<VXStylePtr> mine = allStyles();
    if (!std::any_of(mine.cbegin(), mine.cend(), [style](const VXStylePtr& s) { return s.get() == style; }))
        return;
    // Shims follow the styles: an edit may make two neighbours alike, or wider.
    if (m_autoInsertsShims)
        m_shims = RangeStyleLayout::shimsBetween(m_styles, length());
    notifyGeometryChange(bounds());
}

void ZQMultiStylePath::changeStyleState(StyleState state)
{
    if (locked())
        return;
    if (m_autoInsertsShims)
        state.shims = RangeStyleLayout::shimsBetween(state.styles, length());
    if (ZQUndoManager* undo = undoManager()) {
        const std::shared_ptr<ZQObject> keeper = weak_from_this().lock();
        undo->registerUndoWithTargetHandler(this, [this, keeper, old = styleState()] { changeStyleState(old); });
    }
    const QRectF oldBounds = bounds();
    announceChangeForKey(QStringLiteral("styles"), [&] {
        m_styles = std::move(state.styles);
        m_overlays = std::move(state.overlays);
        m_shims = std::move(state.shims);
    });
    syncObjectStyle();
    updateRasterizerObservation();
    notifyGeometryChange(oldBounds);
    if (PathTextLabels* labels = PathTextLabels::installed())
        labels->stylesDidChange(*this);
}

void ZQMultiStylePath::syncObjectStyle()
{
    const VXStylePtr first = m_styles.isEmpty() ? nullptr : m_styles.first()->style();
    if (first == style())
        return;
    // Part of the range-style change, which undoes it.
    const platform::UndoSuspension suspension(undoManager());
    VXDrawableObject::setStyle(first);
}

void ZQMultiStylePath::setActionName(const QString& name) const
{
    if (ZQUndoManager* undo = undoManager(); undo && !undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(name);
}

// --- Selection range and special items ------------------------------------------------------------------

void ZQMultiStylePath::setSelectionRange(const ZQStyleRange& range)
{
    const ZQStyleRange selection = ZQResolvedStyleRange(range, length());
    if (selection.location == m_selectionRange.location && selection.length == m_selectionRange.length)
        return;
    m_selectionRange = selection;
    notifyVisualChange();
}

void ZQMultiStylePath::selectNone()
{
    setSelectionRange(ZQMakeAbsoluteStyleRange(0, 0));
}

void ZQMultiStylePath::selectStretchAtPoint(QPointF point)
{
    const double at = lengthForPoint(point);
    if (at < 0 || (canInsertSpecialItem() && ZQLocationInStyleRange(m_selectionRange, at)))
        return;
    const double span =
        std::min(length(), std::max(kMinimumStretchAtPoint, kStretchAtPointWidths * widestStrokeWidth()));
    setSelectionRange(ZQMakeAbsoluteStyleRange(std::clamp(at - span / 2, 0.0, length() - span), span));
}

bool ZQMultiStylePath::canInsertSpecialItem() const
{
    return ZQResolvedStyleRange(m_selectionRange, length()).length > 0;
}

ZQStyleRange ZQMultiStylePath::targetRange() const
{
    return canInsertSpecialItem() ? m_selectionRange : ZQWholeStyleRange();
}

void ZQMultiStylePath::insertFlyover(QObject*)
{
    insertOverlayForSpecialItem(ZQSpecialItemKind::Flyover, ZQOverlayPlacement::Above, tr("Insert Flyover"));
}

void ZQMultiStylePath::insertBridge(QObject*)
{
    insertOverlayForSpecialItem(ZQSpecialItemKind::Bridge, ZQOverlayPlacement::Below, tr("Insert Bridge"));
}

void ZQMultiStylePath::insertTunnel(QObject*)
{
    insertOverlayForSpecialItem(ZQSpecialItemKind::Tunnel, ZQOverlayPlacement::Above, tr("Insert Tunnel"));
}

void ZQMultiStylePath::insertCutting(QObject*)
{
    insertOverlayForSpecialItem(ZQSpecialItemKind::Cutting, ZQOverlayPlacement::Below, tr("Insert Cutting"));
}

void ZQMultiStylePath::insertEmbankment(QObject*)
{
    insertOverlayForSpecialItem(ZQSpecialItemKind::Embankment, ZQOverlayPlacement::Below, tr("Insert Embankment"));
}

void ZQMultiStylePath::insertPinchPoint(QObject*)
{
    insertWidthChange(kPinchPointWidthFactor, tr("Insert Pinch Point"));
}

void ZQMultiStylePath::insertInflatePoint(QObject*)
{
    insertWidthChange(kInflatePointWidthFactor, tr("Insert Inflate Point"));
}

void ZQMultiStylePath::reduceToStretch(double from, double to)
{
    const double pathLength = length();
    if (locked() || !std::isfinite(from) || !std::isfinite(to))
        return;
    from = std::clamp(from, 0.0, pathLength);
    to = std::clamp(to, from, pathLength);
    StyleState state{RangeStyleLayout::stylesOverStretch(m_styles, from, to, pathLength),
                     RangeStyleLayout::stylesOverStretch(m_overlays, from, to, pathLength),
                     RangeStyleLayout::stylesOverStretch(m_shims, from, to, pathLength)};
    selectNone();
    setPath(path().bezierPathWithRange(from, to - from));
    state.styles = RangeStyleLayout::normalizedMainStyles(state.styles, length());
    changeStyleState(std::move(state));
    const QList<VXQAdornmentPtr> adornments = m_adornments.list(); // removal changes the list
    for (const VXQAdornmentPtr& adornment : adornments) {
        if (adornment->position() < from || adornment->position() > to)
            removeAdornment(adornment.get());
        else
            adornment->setPosition(adornment->position() - from);
    }
}

namespace {

// The special items' menu items: title and the action inserting the item.
const std::pair<const char*, QByteArray> kSpecialItemCommands[] = {
    {QT_TRANSLATE_NOOP("ZQMultiStylePath", "Insert Flyover"), "insertFlyover"},
    {QT_TRANSLATE_NOOP("ZQMultiStylePath", "Insert Bridge"), "insertBridge"},
    {QT_TRANSLATE_NOOP("ZQMultiStylePath", "Insert Tunnel"), "insertTunnel"},
    {QT_TRANSLATE_NOOP("ZQMultiStylePath", "Insert Cutting"), "insertCutting"},
    {QT_TRANSLATE_NOOP("ZQMultiStylePath", "Insert Embankment"), "insertEmbankment"},
    {QT_TRANSLATE_NOOP("ZQMultiStylePath", "Insert Pinch Point"), "insertPinchPoint"},
    {QT_TRANSLATE_NOOP("ZQMultiStylePath", "Insert Inflate Point"), "insertInflatePoint"},
};

// What a special item covers and how it stacks are not visible from the menu: a right-click
// beside a crossing bridges the road there, and the road keeps its place under the river.
QString specialItemToolTip(const QByteArray& action)
{
    QString tip = QObject::tr("Covers the highlighted stretch around the point clicked; to choose the stretch, "
                              "drag along the track with Linear Select first.");
    if (action == "insertBridge" || action == "insertFlyover")
        tip += u' ' + QObject::tr("It stays part of the track and draws at the track's place in the stacking "
                                  "order: Move To Front carries it over what it crosses.");
    return tip;
}

bool isSpecialItemAction(const QByteArray& action)
{
    return std::any_of(std::cbegin(kSpecialItemCommands), std::cend(kSpecialItemCommands),
                       [&](const auto& command) { return command.second == action; });
}

} // namespace

bool ZQMultiStylePath::populateContextualMenuAtPoint(platform::Menu* menu, QPointF point)
{
    if (!VXDrawablePath::populateContextualMenuAtPoint(menu, point))
        return false;
    menu->addItemWithTitleActionKeyEquivalent(tr("Attributes..."), "openAttributes")->setTarget(this);
    if (PathTextLabels* labels = PathTextLabels::installed())
        labels->addItemsToMenu(*this, menu, point);
    if (!locked())
        selectStretchAtPoint(point);
    menu->addSeparator();
    menu->setToolTipsVisible(true);
    for (const auto& [title, action] : kSpecialItemCommands) {
        platform::MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(tr(title), action);
        item->setTarget(this);
        item->setToolTip(specialItemToolTip(action));
    }
    return true;
}

void ZQMultiStylePath::openAttributes(QObject*)
{
    if (auto* objectLayer = qobject_cast<VXObjectDrawingLayer*>(layer()))
        objectLayer->replaceSelectionWithObject(std::static_pointer_cast<VXDrawableObject>(shared_from_this()));
    if (const auto& show = InspectorServices::installed().showObjectInspectorWithAttributes)
        show();
}

bool ZQMultiStylePath::validateMenuItem(platform::MenuItem* item)
{
    if (item && isSpecialItemAction(item->action()))
        return canInsertSpecialItem() && !locked();
    if (PathTextLabels* labels = PathTextLabels::installed(); labels && item)
        if (const std::optional<bool> answer = labels->validateMenuItem(*this, item))
            return *answer;
    return true;
}

void ZQMultiStylePath::performLabelCommand(const QByteArray& action, QObject* sender)
{
    if (PathTextLabels* labels = PathTextLabels::installed())
        labels->performCommand(*this, action, sender);
}

QList<QObject*> ZQMultiStylePath::forwardingTargetsForSelector(const QByteArray& selector) const
{
    QList<QObject*> targets;
    for (const ZQObjectPtr& label : m_labelFields.selectedLabels)
        targets.append(label.get());
    return targets.isEmpty() ? VXDrawablePath::forwardingTargetsForSelector(selector) : targets;
}

void ZQMultiStylePath::insertOverlayForSpecialItem(ZQSpecialItemKind kind, ZQOverlayPlacement placement,
                                                   const QString& actionName)
{
    if (!canInsertSpecialItem() || locked())
        return;
    const VXStylePtr style = styleForSpecialItem(kind);
    if (!style)
        return;
    StyleState state = styleState();
    state.overlays.append(ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(style, m_selectionRange, placement));
    changeStyleState(std::move(state));
    setActionName(actionName);
}

void ZQMultiStylePath::insertWidthChange(double factor, const QString& actionName)
{
    if (!canInsertSpecialItem() || locked())
        return;
    const ZQStyleRange selection = ZQResolvedStyleRange(m_selectionRange, length());
    const ZQRangeDrawingStylePtr there = styleForPositionIncludingShims(selection.location + selection.length / 2, false);
    if (!there)
        return;
    const VXStylePtr changed = there->style()->clone();
    for (const std::shared_ptr<VXStroke>& stroke : changed->renderersOfClass<VXStroke>())
        stroke->setWidth(stroke->width() * factor);
    applyStyleOverRange(changed, {}, selection);
    setActionName(actionName);
}

// --- Adornments --------------------------------------------------------------------------------------------

VXQAdornmentPtr ZQMultiStylePath::addAdornmentWithObjectAtPositionDisplayName(const VXDrawableObjectPtr& object,
                                                                              double position,
                                                                              const QString& displayName)
{
    if (!object || locked())
        return nullptr;
    VXQAdornmentPtr adornment = VXQAdornment::adornmentWithObjectPositionDisplayName(object, position, displayName);
    m_adornments.insertAtIndex(adornment, int(m_adornments.list().size()));
    setActionName(tr("Add Adornment"));
    return adornment;
}

VXQAdornmentPtr ZQMultiStylePath::adornmentHitByPoint(QPointF point) const
{
    return m_adornments.list().value(m_adornments.indexHitByPoint(point, renderingPath()));
}

QVariantList ZQMultiStylePath::selectedAdornmentsValue() const
{
    return objectListValue(m_adornments.selection());
}

void ZQMultiStylePath::setSelectedAdornmentsValue(const QVariantList& value)
{
    QList<VXQAdornmentPtr> adornments;
    for (const QVariant& member : value)
        if (auto adornment = std::dynamic_pointer_cast<VXQAdornment>(member.value<ZQObjectPtr>()))
            adornments.append(adornment);
    setSelectedAdornments(adornments);
}

QVariantList ZQMultiStylePath::adornmentsValue() const
{
    return objectListValue(m_adornments.list());
}

QVariantList ZQMultiStylePath::stylesValue() const
{
    return objectListValue(m_styles);
}

// --- Text label fields ---------------------------------------------------------------------------------------

void ZQMultiStylePath::setLabelsHidden(bool hidden)
{
    changeValueForKey(m_labelFields.hidden, hidden, "labelsHidden", Change::State);
}

void ZQMultiStylePath::setDynamicLabelTemplatesEnabled(bool enabled)
{
    changeValueForKey(m_labelFields.dynamicTemplatesEnabled, enabled, "dynamicLabelTemplatesEnabled", Change::State);
}

double ZQMultiStylePath::locationForAddingTextLabel() const
{
    if (m_labelFields.locationForAdding >= 0)
        return m_labelFields.locationForAdding;
    const ZQStyleRange around = canInsertSpecialItem() ? m_selectionRange : range();
    return around.location + around.length / 2;
}

void ZQMultiStylePath::setLocationForAddingTextLabel(double location)
{
    if (std::isnan(location) || location == m_labelFields.locationForAdding)
        return;
    announceChangeForKey(QStringLiteral("locationForAddingTextLabel"), [&] {
        m_labelFields.locationForAdding = location;
    });
}

bool ZQMultiStylePath::defaultAllowsDynamicLabelTemplates()
{
    return platform::UserDefaults::standardUserDefaults()->boolForKey(kZQMultiStyleAllowDynamicTemplates);
}

void ZQMultiStylePath::setDefaultAllowsDynamicLabelTemplates(bool allows)
{
    platform::UserDefaults::standardUserDefaults()->setBoolForKey(allows, kZQMultiStyleAllowDynamicTemplates);
}

// --- Commands and searching ------------------------------------------------------------------------------------

QString ZQMultiStylePath::searchableString() const
{
    QStringList strings;
    for (const auto* list : {&m_styles, &m_overlays})
        for (const ZQRangeDrawingStylePtr& rangeStyle : *list)
            strings.append(rangeStyle->displayName());
    for (const VXQAdornmentPtr& adornment : m_adornments.list()) {
        // An adornment whose object has no text of its own is found by its name.
        const VXDrawableObjectPtr object = adornment->object();
        const QString text = object ? object->searchableString() : QString();
        strings.append(text.trimmed().isEmpty() ? adornment->displayName() : text);
    }
    strings.append(m_labelFields.searchableStrings());
    strings.removeAll(QString());
    // Empty, not none: a track always has text to search, if only an empty one.
    return strings.isEmpty() ? QStringLiteral("") : strings.join(QLatin1Char(' '));
}

bool ZQMultiStylePath::canBeConvertedToSymbol() const
{
    const QList<VXQAdornmentPtr>& adornments = m_adornments.list();
    return std::all_of(adornments.cbegin(), adornments.cend(), [](const VXQAdornmentPtr& adornment) {
        const VXDrawableObjectPtr object = adornment->object();
        return !object || object->canBeConvertedToSymbol();
    });
}

// --- Drawing ---------------------------------------------------------------------------------------------------------

QRectF ZQMultiStylePath::bounds() const
{
    std::optional<QRectF>& cached = cachedBounds();
    if (cached)
        return *cached;
    QRectF area = boundsIgnoringLabels();
    if (const PathTextLabels* labels = PathTextLabels::installed(); labels && !m_labelFields.labels.isEmpty())
        area |= labels->labelBounds(*this);
    cached = area;
    return area;
}

QRectF ZQMultiStylePath::boundsIgnoringLabels() const
{
    const platform::BezierPath path = renderingPath();
    QSizeF extra = style() ? style()->extraSpaceNeeded() : QSizeF(0, 0);
    for (const VXStylePtr& rangeStyle : allStyles())
        extra = extra.expandedTo(rangeStyle->extraSpaceNeeded());
    QRectF area = path.bounds().adjusted(-extra.width(), -extra.height(), extra.width(), extra.height());
    for (const VXQAdornmentPtr& adornment : m_adornments.list())
        area |= adornment->boundsOnPath(path);
    return area;
}

std::shared_ptr<const MultiStyleDrawingList> ZQMultiStylePath::drawingList() const
{
    // Asked before locking: a subclass may work its ends out under a lock of its own.
    const StretchEnds ends = stretchEnds();
    const QMutexLocker locker(&m_drawingListLock);
    if (!m_drawingList || m_drawingList->ends() != ends)
        m_drawingList = std::make_shared<const MultiStyleDrawingList>(MultiStyleDrawingList::Contents{
            renderingPath(), length(), m_styles, m_overlays, m_shims, m_adornments.list(), m_shimBlending,
            widestStrokeWidth(), ends});
    return m_drawingList;
}

void ZQMultiStylePath::dropDrawingList() const
{
    const QMutexLocker locker(&m_drawingListLock);
    m_drawingList.reset();
}

void ZQMultiStylePath::invalidateGeometryCaches()
{
    VXDrawablePath::invalidateGeometryCaches();
    dropDrawingList();
}

void ZQMultiStylePath::drawContent() const
{
    if (ghosted()) {
        VXDrawablePath::drawContent();
        return;
    }
    drawCasing();
    drawContentWithoutCasing();
}

void ZQMultiStylePath::drawCasing() const
{
    if (!ghosted())
        drawingList()->drawCasing(*this);
}

void ZQMultiStylePath::drawContentWithoutCasing() const
{
    if (ghosted())
        VXDrawablePath::drawContent();
    else
        drawingList()->drawContentWithoutCasing(*this);
}

void ZQMultiStylePath::drawSelectedState() const
{
    VXDrawablePath::drawSelectedState();
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || isPendingObject())
        return;
    platform::KnobStampBatch::flushCurrent();
    QPainter* painter = context->painter();
    const VXObjectOwnerLayer* owner = layer();
    const QColor colour = owner ? owner->selectionColour() : QColor(Qt::blue);
    const platform::BezierPath path = renderingPath();
    if (canInsertSpecialItem()) {
        QColor wash = colour;
        wash.setAlphaF(0.4f);
        const ZQStyleRange selection = ZQResolvedStyleRange(m_selectionRange, length());
        QPen pen(wash, std::max(widestStrokeWidth(), 1.0), Qt::SolidLine, Qt::FlatCap);
        painter->strokePath(path.bezierPathWithRange(selection.location, selection.length).painterPath(), pen);
    }
    for (const VXQAdornmentPtr& adornment : m_adornments.selection()) {
        QPainterPath frame;
        frame.addRect(adornment->boundsOnPath(path));
        painter->strokePath(frame, QPen(colour, 0));
    }
    if (const PathTextLabels* labels = PathTextLabels::installed(); labels && !m_labelFields.labels.isEmpty())
        labels->drawSelectionHighlights(*this);
    if (locked())
        return;
    const RangeKnobs knobs = rangeKnobs();
    for (const RangeKnobs::Knob& knob : knobs.knobs())
        drawRangeLimitKnobAtPositionOfType(knob.position, knob.type);
}

void ZQMultiStylePath::drawTextLabelsInView(VXDrawingView* view) const
{
    if (const PathTextLabels* labels = PathTextLabels::installed(); labels && !m_labelFields.labels.isEmpty())
        labels->drawLabels(*this, view);
    // Only carried objects with labels pay for placing the context on the path.
    for (const VXQAdornmentPtr& adornment : m_adornments.list())
        if (adornment->hasTextLabels())
            adornment->drawTextLabelsInView(view);
}

bool ZQMultiStylePath::hasTextLabels() const
{
    return !m_labelFields.labels.isEmpty() || adornmentHasTextLabels();
}

bool ZQMultiStylePath::adornmentHasTextLabels() const
{
    const QList<VXQAdornmentPtr>& adornments = m_adornments.list();
    return std::any_of(adornments.cbegin(), adornments.cend(),
                       [](const VXQAdornmentPtr& adornment) { return adornment->hasTextLabels(); });
}

void ZQMultiStylePath::drawRangeLimitKnobAtPointAngleOfType(QPointF point, double angle, int type) const
{
    const VXObjectOwnerLayer* owner = layer();
    const QVariant colour = owner ? QVariant(owner->selectionColour()) : QVariant();
    VXKnob::knobs().drawKnobAtPointOfTypeAngleUserInfo(point, type, angle, colour);
}

void ZQMultiStylePath::drawRangeLimitKnobAtPositionOfType(double position, int type) const
{
    double slope = 0;
    const QPointF point = renderingPath().pointOnPathAtLengthSlope(position, &slope);
    drawRangeLimitKnobAtPointAngleOfType(point, slope, type);
}

// --- Hit testing and mouse editing -----------------------------------------------------------------------------

RangeKnobs ZQMultiStylePath::rangeKnobs() const
{
    return RangeKnobs(m_styles, m_overlays, length(), m_showsInlineStyleBoundaries);
}

int ZQMultiStylePath::hitPart(QPointF point) const
{
    if (!visible())
        return kVXDrawingNoPart;
    const platform::BezierPath path = renderingPath();
    if (path.isEmpty())
        return kVXDrawingNoPart;
    if (isSelected() && !locked())
        if (const int knob = rangeKnobs().partHitByPoint(point, path); knob != kVXDrawingNoPart)
            return knob;
    if (const PathTextLabels* labels = PathTextLabels::installed())
        if (const int code = labels->partcodeHit(*this, point); code > 0)
            return kZQTextLabelPartBase + code;
    if (const int index = m_adornments.indexHitByPoint(point, path); index >= 0)
        return ZQAdornmentPartCode(index);
    return pointHitsPath(point) ? kVXDrawingEntireObjectPart : kVXDrawingNoPart;
}

bool ZQMultiStylePath::isWithinDistanceOfPoint(double distance, QPointF point) const
{
    const double reach = std::max(0.0, distance);
    if (!visible() || !std::isfinite(reach))
        return false;
    if (lengthForPointTolerance(point, reach + widestStrokeWidth() / 2) >= 0)
        return true;
    return m_adornments.anyWithinDistanceOfPoint(reach, point, renderingPath());
}

void ZQMultiStylePath::mouseDownAtPointInPartEvent(QPointF point, int part, QMouseEvent* event)
{
    m_drag.reset();
    if (part >= kZQTextLabelPartBase) {
        if (PathTextLabels* labels = PathTextLabels::installed())
            labels->mouseDown(*this, part - kZQTextLabelPartBase, point, event);
        return;
    }
    if (locked())
        return;
    if (part >= kZQStyleBoundaryKnobPartBase) {
        m_drag = std::make_unique<PartDrag>(
            part, point, part >= kZQOverlayKnobPartBase ? tr("Resize Overlay") : tr("Move Style Boundary"),
            [this] { return PartDrag::Restore([this, state = styleState()] { changeStyleState(state); }); },
            [this, part](QPointF to) {
                if (const double position = lengthForPointTolerance(to, kAnyDistance); position >= 0)
                    dragRangeKnob(part, position);
            });
    } else if (const VXQAdornmentPtr adornment = m_adornments.list().value(-2 - part)) {
        m_adornments.selectPressed(adornment, event && (event->modifiers() & Qt::ShiftModifier));
        const double grabOffset = lengthForPointTolerance(point, kAnyDistance) - adornment->position();
        m_drag = std::make_unique<PartDrag>(
            part, point, tr("Move Adornment"),
            [adornment] {
                return PartDrag::Restore([adornment, at = adornment->position()] { adornment->setPosition(at); });
            },
            [this, adornment, grabOffset](QPointF to) {
                if (const double position = lengthForPointTolerance(to, kAnyDistance); position >= 0)
                    adornment->setPosition(position - grabOffset);
            });
    }
}

void ZQMultiStylePath::mouseDraggedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event)
{
    if (part >= kZQTextLabelPartBase) {
        if (PathTextLabels* labels = PathTextLabels::installed())
            labels->mouseDragged(*this, part - kZQTextLabelPartBase, point, event);
        return;
    }
    if (m_drag && m_drag->part() == part && !locked())
        m_drag->dragTo(point, undoManager());
}

QString ZQMultiStylePath::mouseUpAtPointInPartEvent(QPointF, int part, QMouseEvent*)
{
    if (part >= kZQTextLabelPartBase) {
        PathTextLabels* labels = PathTextLabels::installed();
        return labels ? labels->mouseUp(*this, part - kZQTextLabelPartBase) : QString();
    }
    const std::unique_ptr<PartDrag> drag = std::move(m_drag);
    return drag && drag->part() == part ? drag->release(undoManager()) : QString();
}

void ZQMultiStylePath::mouseDoubleClickedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event)
{
    VXDrawablePath::mouseDoubleClickedAtPointInPartEvent(point, part, event);
    if (PathTextLabels* labels = PathTextLabels::installed(); labels && part >= kZQTextLabelPartBase)
        labels->doubleClick(*this, part - kZQTextLabelPartBase);
}

void ZQMultiStylePath::dragRangeKnob(int part, double position)
{
    StyleState state = styleState();
    if (RangeKnobs::dragKnob(part, position, length(), state.styles, state.overlays))
        changeStyleState(std::move(state));
}

// --- Copying and archiving --------------------------------------------------------------------------------------

void ZQMultiStylePath::adoptStylesFrom(const VXDrawableObject& original)
{
    VXDrawablePath::adoptStylesFrom(original);
    const auto* path = qobject_cast<const ZQMultiStylePath*>(&original);
    if (!path)
        return;
    // Range styles never change once made, so the copy can share them and their styles.
    m_styles = path->m_styles;
    m_overlays = path->m_overlays;
    m_shims = path->m_shims;
    updateRasterizerObservation();
    dropDrawingList();
}

void ZQMultiStylePath::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawablePath::encodeWithCoder(coder);
    coder.encodeObject(QVariant(objectListValue(m_styles)), kStylesKey);
    coder.encodeObject(QVariant(objectListValue(m_shims)), kShimsKey);
    coder.encodeObject(QVariant(objectListValue(m_overlays)), kOverlaysKey);
    coder.encodeObject(QVariant(objectListValue(m_adornments.list())), kAdornmentsKey);
    coder.encodeObject(QVariant(objectListValue(m_labelFields.labels)), kTextLabelsKey);
    coder.encodeBool(m_autoInsertsShims, kAutoInsertsShimsKey);
    coder.encodeInt(m_shimBlending, kShimBlendingKey);
    coder.encodeBool(m_showsInlineStyleBoundaries, kShowsBoundariesKey);
    coder.encodeBool(m_labelFields.hidden, kTextLabelsHiddenKey);
    coder.encodeBool(m_labelFields.dynamicTemplatesEnabled, kDynamicTemplatesKey);
}

void ZQMultiStylePath::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawablePath::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    const double pathLength = length();
    m_styles = RangeStyleLayout::normalizedMainStyles(reader.objects<ZQRangeDrawingStyle>(kStylesKey), pathLength);
    if (m_styles.isEmpty() && style())
        m_styles = {ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(style(), ZQWholeStyleRange())};
    m_shims = reader.objects<ZQRangeDrawingStyle>(kShimsKey);
    m_shims.removeIf([pathLength](const ZQRangeDrawingStylePtr& shim) {
        return ZQResolvedStyleRange(shim->range(), pathLength).length <= 0;
    });
    m_overlays = reader.objects<ZQRangeDrawingStyle>(kOverlaysKey);
    m_overlays.removeIf([](const ZQRangeDrawingStylePtr& overlay) { return !overlay->style(); });
    m_adornments.setDecoded(reader.objects<VXQAdornment>(kAdornmentsKey));
    m_labelFields.labels = reader.objects<ZQObject>(kTextLabelsKey);
    m_autoInsertsShims = reader.boolean(kAutoInsertsShimsKey, true);
    m_shimBlending = int(reader.integer(kShimBlendingKey, defaultShimBlending(), kZQShimBlendNone,
                                        kZQShimBlendWidthAndColour));
    m_showsInlineStyleBoundaries = reader.boolean(kShowsBoundariesKey, true);
    m_labelFields.hidden = reader.boolean(kTextLabelsHiddenKey, false);
    m_labelFields.dynamicTemplatesEnabled = reader.boolean(kDynamicTemplatesKey, defaultAllowsDynamicLabelTemplates());
    m_labelFields.locationForAdding = -1;
    updateRasterizerObservation();
    dropDrawingList();
    if (PathTextLabels* labels = PathTextLabels::installed())
        labels->pathWasRead(*this);
}
