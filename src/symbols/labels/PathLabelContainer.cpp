#include "symbols/labels/PathLabelContainer.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PathGeometry.h"
#include "platform/graphics/SidewaysOffset.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/view/VXKnob.h"
#include "tracks/tools/PartDrag.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr int kMovePart = 1;
constexpr int kResizePart = 2;
constexpr int kOffsetPart = 3;
constexpr double kAnyDistance = std::numeric_limits<double>::max();
constexpr double kMenuHitTolerance = 4.0;
constexpr double kDragReach = 20.0;
constexpr double kProvisionalHalfLength = 1.0;
constexpr double kSmallestNewLabelFontSize = 7.0;
constexpr double kNewLabelFontShareOfStroke = 1.3;

QString tr(const char* text)
{
    return QCoreApplication::translate("PathLabelContainer", text);
}

VXTextAdornmentPtr copyOfLastTextAdornment(const VXStylePtr& style)
{
    if (!style || !style->hasTextAdornment())
        return nullptr;
    const QList<VXTextAdornmentPtr> texts = style->renderersOfClass<VXTextAdornment>();
    return texts.isEmpty() ? nullptr : std::static_pointer_cast<VXTextAdornment>(texts.last()->copy());
}

// A template as a label along the path draws it.
VXTextAdornmentPtr preparedTemplate(const VXTextAdornmentPtr& adornment, int layoutMode)
{
    adornment->setEnabled(true);
    adornment->setLayoutMode(layoutMode);
    return adornment;
}

bool inSpan(double position, double length)
{
    return position >= 0 && position <= length;
}

} // namespace

PathLabelContainer::PathLabelContainer(ZQMultiStylePath& path) : m_path(path), m_labels(*this, &path)
{
    QList<VXQTextLabelPtr> labels;
    for (const ZQObjectPtr& object : path.textLabels()) {
        if (auto label = std::dynamic_pointer_cast<VXQTextLabel>(object))
            labels.append(std::move(label));
        else if (object)
            ZQLog(QStringLiteral("%1 is not a text label: left out of the labels of a path").arg(object->className()));
    }
    m_labels.setLabels(labels);
    storeFields();
}

PathLabelContainer::~PathLabelContainer() = default;

PathLabelContainer& PathLabelContainer::of(const ZQMultiStylePath& path)
{
    std::shared_ptr<void>& state = path.labelBehaviourState();
    if (!state)
        state = std::make_shared<PathLabelContainer>(const_cast<ZQMultiStylePath&>(path));
    return *static_cast<PathLabelContainer*>(state.get());
}

QList<VXQTextPathLabelPtr> PathLabelContainer::pathLabels() const
{
    QList<VXQTextPathLabelPtr> labels;
    for (const VXQTextLabelPtr& label : m_labels.labels())
        if (auto pathLabel = std::dynamic_pointer_cast<VXQTextPathLabel>(label))
            labels.append(std::move(pathLabel));
    return labels;
}

void PathLabelContainer::storeFields() const
{
    const auto objects = [](const QList<VXQTextLabelPtr>& labels) {
        QList<ZQObjectPtr> list;
        for (const VXQTextLabelPtr& label : labels)
            list.append(label);
        return list;
    };
    m_path.setTextLabels(objects(m_labels.labels()));
    m_path.setSelectedTextLabels(objects(m_labels.selectedLabels()));
}

void PathLabelContainer::nameUndoStep(const QString& name) const
{
    if (ZQUndoManager* undo = m_path.undoManager(); undo && !name.isEmpty() && !undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(name);
}

// --- The labels ---------------------------------------------------------------------------------------------

void PathLabelContainer::setTextLabels(const QList<VXQTextLabelPtr>& labels)
{
    const QRectF oldBounds = m_path.bounds();
    if (ZQUndoManager* undo = m_path.undoManager())
        undo->registerUndoWithTargetHandler(&m_path, [this, previous = m_labels.labels()] { setTextLabels(previous); });
    m_labels.setLabels(labels);
    storeFields();
    m_path.notifyGeometryChange(oldBounds);
}

void PathLabelContainer::addTextLabel(const VXQTextLabelPtr& label)
{
    ZQ_ASSERT(label, QStringLiteral("cannot add a nil label"));
    if (m_labels.contains(label.get()))
        return;
    const QRectF oldBounds = m_path.bounds();
    if (ZQUndoManager* undo = m_path.undoManager())
        undo->registerUndoWithTargetHandler(&m_path, [this, label] { removeTextLabel(label); });
    m_labels.append(label);
    storeFields();
    m_path.notifyGeometryChange(oldBounds);
    label->notifyVisualChange();
}

void PathLabelContainer::removeTextLabel(const VXQTextLabelPtr& label)
{
    ZQ_ASSERT(label, QStringLiteral("Cannot remove nil label"));
    if (!m_labels.contains(label.get()))
        return;
    const QRectF oldBounds = m_path.bounds();
    // Undone, the label comes back at the end of the list.
    if (ZQUndoManager* undo = m_path.undoManager())
        undo->registerUndoWithTargetHandler(&m_path, [this, label] { addTextLabel(label); });
    label->notifyVisualChange();
    m_labels.remove(label);
    storeFields();
    m_path.notifyGeometryChange(oldBounds);
}

VXQTextLabel* PathLabelContainer::textLabelAtPoint(QPointF point) const
{
    return textLabelForPartcode(textLabelPartcodeHit(point));
}

void PathLabelContainer::selectTextLabelExtendingSelection(VXQTextLabel* label, bool extend)
{
    m_labels.selectExtendingSelection(label, extend);
    storeFields();
}

void PathLabelContainer::deselectTextLabel(VXQTextLabel* label)
{
    m_labels.deselect(label);
    storeFields();
}

void PathLabelContainer::selectAllTextLabels()
{
    m_labels.selectAll();
    storeFields();
}

void PathLabelContainer::deselectAllTextLabels()
{
    m_labels.deselectAll();
    storeFields();
}

void PathLabelContainer::drawTextLabelsInView(VXDrawingView* view) const
{
    if (labelsHidden())
        return;
    for (const VXQTextLabelPtr& label : m_labels.labels())
        label->drawInView(view);
}

bool PathLabelContainer::labelsHidden() const
{
    return m_path.labelsHidden();
}

void PathLabelContainer::setLabelsHidden(bool hidden)
{
    m_path.setLabelsHidden(hidden);
}

bool PathLabelContainer::locked() const
{
    return m_path.locked();
}

void PathLabelContainer::setLocked(bool locked)
{
    m_path.setLocked(locked);
}

QVariant PathLabelContainer::metadataObjectForKey(const QString& key) const
{
    return m_path.metadataObjectForKey(key);
}

QRectF PathLabelContainer::boundsIgnoringLabels() const
{
    return m_path.boundsIgnoringLabels();
}

void PathLabelContainer::textLabelContentWillChange(VXQTextLabel* label)
{
    if (m_labels.contains(label))
        m_boundsBeforeLabelChange = m_path.bounds();
}

void PathLabelContainer::textLabelContentDidChange(VXQTextLabel* label)
{
    // The path's bounds hold its labels'.
    if (m_labels.contains(label))
        m_path.notifyGeometryChange(m_boundsBeforeLabelChange);
}

// --- Hit testing and knobs -------------------------------------------------------------------------------------

int PathLabelContainer::textLabelPartcodeHit(QPointF point) const
{
    if (labelsHidden() || m_labels.isEmpty())
        return 0;
    const platform::BezierPath line = m_path.renderingPath();
    const double pathLength = m_path.length();
    const double at = m_path.lengthForPoint(point);
    const bool knobsShown = m_path.isSelected() && !m_path.locked();
    const VXKnob& knobs = VXKnob::knobs();
    const QList<VXQTextLabelPtr> labels = m_labels.labels();
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const auto* label = qobject_cast<const VXQTextPathLabel*>(labels[i].get());
        if (!label)
            continue; // keeps its number
        const ZQStyleRange range = ZQResolvedStyleRange(label->styleRange(), pathLength);
        const int base = int(4 * i);
        if (knobsShown) {
            const QPointF start = line.pointOnPathAtLengthSlope(range.location);
            const QPointF end = line.pointOnPathAtLengthSlope(ZQMaxStyleRange(range));
            if (knobs.hitTestPointInKnobAtPointOfTypeUserInfo(point, start, kVXHotspotKnobType, {}))
                return base + kMovePart;
            if (knobs.hitTestPointInKnobAtPointOfTypeUserInfo(point, end, kVXHotspotKnobType, {}))
                return base + kResizePart;
            if (knobs.hitTestPointInKnobAtPointOfTypeUserInfo(point, baselineMidPointForPathLabel(*label), kVXHotspotKnobType, {}))
                return base + kOffsetPart;
        }
        // The text sits beside the line by its baseline offset: it is hit where it is drawn.
        if ((at >= 0 && ZQLocationInStyleRange(range, at) && m_path.pointHitsPath(point))
            || label->textAdornment()->textAlongPathCoversPoint(point, *label))
            return base + kMovePart;
    }
    return 0;
}

VXQTextPathLabel* PathLabelContainer::textLabelForPartcode(int partcode) const
{
    const qsizetype index = partcode >> 2;
    if (partcode <= 0 || index >= m_labels.labels().size())
        return nullptr;
    return qobject_cast<VXQTextPathLabel*>(m_labels.labels()[index].get());
}

QPointF PathLabelContainer::baselineMidPointForPathLabel(const VXQTextPathLabel& label, double* angle) const
{
    const double offset = label.isReversed() ? label.baselineOffset() : -label.baselineOffset();
    const platform::BezierPath line = label.renderingPath();
    double slope = 0;
    const QPointF middle = line.pointOnPathAtLengthSlope(line.length() / 2, &slope);
    if (angle)
        *angle = slope;
    const double normal = slope + std::numbers::pi / 2;
    return middle + offset * QPointF(std::cos(normal), std::sin(normal));
}

void PathLabelContainer::drawTextLabelSelectionHighlights() const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (labelsHidden() || !context)
        return;
    QPainter* painter = context->painter();
    const double pathLength = m_path.length();
    const VXKnob& knobs = VXKnob::knobs();
    for (const VXQTextPathLabelPtr& label : pathLabels()) {
        const ZQStyleRange range = ZQResolvedStyleRange(label->styleRange(), pathLength);
        const double offset = label->baselineOffset();
        const platform::BezierPath baseline =
            platform::sidewaysOffsetPath(label->renderingPath(), label->isReversed() ? offset : -offset);
        painter->strokePath(baseline.painterPath(), QPen(Qt::cyan, 0));
        double angle = 0;
        const QPointF knob = baselineMidPointForPathLabel(*label, &angle);
        knobs.drawKnobAtPointOfTypeAngleUserInfo(knob, kVXBaselineKnobType, angle, {});
        m_path.drawRangeLimitKnobAtPositionOfType(range.location, kVXRangeStartKnobType);
        m_path.drawRangeLimitKnobAtPositionOfType(ZQMaxStyleRange(range), kVXRangeEndKnobType);
    }
    for (const VXQTextLabelPtr& label : m_labels.selectedLabels())
        label->highlightInView(VXDrawingView::currentView());
}

// --- Gestures ----------------------------------------------------------------------------------------------------

void PathLabelContainer::mouseDown(int partcode, QPointF point, QMouseEvent* event)
{
    m_drag.reset();
    VXQTextPathLabel* label = textLabelForPartcode(partcode);
    if (!label || m_path.locked())
        return;
    m_labels.mouseDownOnLabel(label, event ? event->modifiers() : Qt::NoModifier);
    storeFields();
    m_grabOffset = m_path.lengthForPointTolerance(point, kAnyDistance) - label->absoluteRange().location;
    const int kind = partcode & 3;
    const QString name = kind == kMovePart ? tr("Move Text Label") : kind == kResizePart ? tr("Size Text Label") : tr("Offset Label");
    const VXQTextPathLabelPtr kept = std::static_pointer_cast<VXQTextPathLabel>(label->shared_from_this());
    m_drag = std::make_unique<PartDrag>(
        partcode, point, name,
        [kept] {
            return PartDrag::Restore([kept, range = kept->styleRange(), alignment = kept->verticalAlignment(),
                                      proportion = kept->verticalAlignmentProportion()] {
                kept->setStyleRange(range);
                kept->setVerticalAlignment(alignment);
                kept->setVerticalAlignmentProportion(proportion);
            });
        },
        [this, partcode](QPointF to) { moveTextLabelWithPartcodeToPoint(partcode, to); });
}

void PathLabelContainer::moveTextLabelWithPartcodeToPoint(int partcode, QPointF point)
{
    VXQTextPathLabel* label = textLabelForPartcode(partcode);
    if (!label || m_path.locked())
        return;
    const QRectF oldBounds = m_path.bounds();
    const double pathLength = m_path.length();
    // Farther from the line than this the pointer no longer stands for a place along it.
    const double at = m_path.lengthForPointTolerance(point, kDragReach + m_path.widestStrokeWidth());
    ZQStyleRange range = label->absoluteRange(); // stored back absolute from now on
    switch (partcode & 3) {
    case kMovePart:
        if (!inSpan(at, pathLength))
            break;
        range.location = at - m_grabOffset;
        label->setStyleRange(ZQNormalizedStyleRange(range));
        if (m_path.dynamicLabelTemplatesEnabled())
            updateLabelsForNewStyles();
        break;
    case kResizePart:
        if (!inSpan(at, pathLength))
            break;
        range.length = at - range.location;
        label->setStyleRange(ZQNormalizedStyleRange(range));
        break;
    case kOffsetPart: {
        const platform::BezierPath line = label->renderingPath();
        double slope = 0;
        const QPointF middle = line.pointOnPathAtLengthSlope(line.length() / 2, &slope);
        const double turn = platform::Slope(middle, point) - slope;
        const double distance = QLineF(middle, point).length();
        const double offset = distance * std::sin(turn);
        label->setBaseline(label->isReversed() ? offset : -offset);
        break;
    }
    default: break;
    }
    m_path.notifyGeometryChange(oldBounds);
}

QString PathLabelContainer::mouseUp(int partcode)
{
    const std::unique_ptr<PartDrag> drag = std::move(m_drag);
    return drag && drag->part() == partcode ? drag->release(m_path.undoManager()) : QString();
}

void PathLabelContainer::doubleClick(int partcode)
{
    VXQTextPathLabel* label = m_path.locked() ? nullptr : textLabelForPartcode(partcode);
    if (VXDrawingView* view = VXDrawingView::currentView(); label && view)
        label->startEditingInView(view);
    else if (label)
        label->editText(nullptr);
}

// --- Menus and commands ------------------------------------------------------------------------------------------------

void PathLabelContainer::addTextItemsToMenuAtPoint(platform::Menu* menu, QPointF point)
{
    if (m_path.locked() || !m_path.pointHitsPath(point))
        return;
    if (VXQTextLabel* label = textLabelAtPoint(point))
        label->populateContextualMenu(menu);
    m_path.setLocationForAddingTextLabel(m_path.lengthForPointTolerance(point, kMenuHitTolerance));
    QAction* const before = menu->actions().value(0);
    const auto add = [&](const QString& title, const QByteArray& action) {
        auto* item = new platform::MenuItem(title, action, menu);
        item->setTarget(&m_path);
        item->setKeyEquivalent(QString());
        menu->insertAction(before, item);
    };
    add(tr("New Label"), "newTextLabel");
    if (TextLabelCollection::canPasteLabel(platform::Pasteboard::generalPasteboard()))
        add(tr("Paste Label"), "pasteLabel");
    add(labelsHidden() ? tr("Show Labels") : tr("Hide Labels"), "toggleLabelsVisible");
    menu->insertSeparator(before);
}

std::optional<bool> PathLabelContainer::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    const bool unlocked = !m_path.locked();
    const bool hasLabels = !m_labels.isEmpty();
    if (action == "newTextLabel")
        return unlocked;
    if (action == "pasteLabel")
        return unlocked && TextLabelCollection::canPasteLabel(platform::Pasteboard::generalPasteboard());
    if (action == "deleteLabels")
        return unlocked && hasLabels;
    if (action == "toggleLabelsVisible") {
        item->setTitle(labelsHidden() ? tr("Show Labels") : tr("Hide Labels"));
        return unlocked && hasLabels;
    }
    if (action == "selectAllLabels" || action == "deselectAllLabels")
        return hasLabels;
    if (m_labels.hasSelection())
        return unlocked && m_labels.validateLabelMenuItem(item);
    return std::nullopt;
}

void PathLabelContainer::newTextLabel()
{
    if (m_path.locked())
        return;
    const double at = m_path.locationForAddingTextLabel();
    const ZQStyleRange provisional = ZQMakeAbsoluteStyleRange(at - kProvisionalHalfLength, 2 * kProvisionalHalfLength);
    const VXQTextPathLabelPtr label = VXQTextPathLabel::label();
    label->setStyleRange(provisional);
    if (const VXTextAdornmentPtr textTemplate = templateAdornmentForPosition(at)) {
        label->setTextAdornment(preparedTemplate(textTemplate, VXTextAdornment::kLayoutAlongPath));
    } else {
        const double widest = m_path.widestStrokeWidth();
        label->setFontSize(std::max(kSmallestNewLabelFontSize, kNewLabelFontShareOfStroke * widest));
        label->setBaseline(-widest);
    }
    addTextLabel(label);
    label->fitToText(&m_path);
    label->setStyleRange(ZQCentreStyleRangeOnRange(label->styleRange(), provisional, m_path.length()));
    m_path.selectNone();
    label->select();
    m_path.setLocationForAddingTextLabel(-1);
    nameUndoStep(tr("New Label"));
}

void PathLabelContainer::pasteLabel()
{
    const platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    if (m_path.locked() || !TextLabelCollection::canPasteLabel(pasteboard))
        return;
    // Only labels along paths belong on a path.
    const auto label = std::dynamic_pointer_cast<VXQTextPathLabel>(VXQTextLabel::labelWithPasteboard(&pasteboard));
    if (!label)
        return;
    const ZQStyleRange selection = m_path.selectionRange();
    const ZQStyleRange onto = selection.length > 0 ? selection : m_path.range();
    label->setStyleRange(ZQCentreStyleRangeOnRange(label->styleRange(), onto, m_path.length()));
    addTextLabel(label);
    m_path.selectNone();
    label->select();
    nameUndoStep(tr("Paste Label"));
}

void PathLabelContainer::deleteLabels()
{
    if (m_path.locked() || m_labels.isEmpty())
        return;
    const QList<VXQTextLabelPtr> labels = m_labels.labels(); // removal changes the list
    for (const VXQTextLabelPtr& label : labels)
        removeTextLabel(label);
    nameUndoStep(tr("Delete Labels"));
}

void PathLabelContainer::toggleLabelsVisible(QObject* sender)
{
    if (m_path.locked())
        return;
    setLabelsHidden(!labelsHidden());
    nameUndoStep(sender ? sender->property("title").toString() : QString());
}

// --- Templates ------------------------------------------------------------------------------------------------------------

VXTextAdornmentPtr PathLabelContainer::templateAdornmentForPosition(double position) const
{
    const auto templateOf = [](const ZQRangeDrawingStylePtr& rangeStyle) -> VXTextAdornmentPtr {
        VXTextAdornmentPtr text = rangeStyle ? copyOfLastTextAdornment(rangeStyle->style()) : nullptr;
        if (text)
            text->setProperty("templateKey", rangeStyle->style()->uniqueKey());
        return text;
    };
    if (VXTextAdornmentPtr under = templateOf(m_path.styleForPositionIncludingShims(position, false)))
        return under;
    for (const ZQRangeDrawingStylePtr& rangeStyle : m_path.styles())
        if (VXTextAdornmentPtr found = templateOf(rangeStyle))
            return found;
    return nullptr;
}

void PathLabelContainer::updateLabelsForNewStyles()
{
    if (!m_path.dynamicLabelTemplatesEnabled())
        return;
    for (const VXQTextPathLabelPtr& label : pathLabels()) {
        const VXTextAdornmentPtr textTemplate = templateAdornmentForPosition(label->absoluteRange().location);
        if (!textTemplate || textTemplate->property("templateKey") == label->textAdornment()->property("templateKey"))
            continue;
        label->labelContentWillChange();
        label->setTextAdornment(preparedTemplate(textTemplate, label->textAdornment()->layoutMode()));
        label->fitToText(&m_path);
        label->labelContentDidChange();
    }
}

// --- Following the path ------------------------------------------------------------------------------------------------------

void PathLabelContainer::assignLabelsToPath(PathLabelContainer& target, double from, double offset)
{
    const QList<VXQTextPathLabelPtr> labels = pathLabels(); // moving changes the list
    for (const VXQTextPathLabelPtr& label : labels) {
        // In path lengths: a relative range would otherwise be compared as a fraction.
        ZQStyleRange range = label->absoluteRange();
        if (range.location < from)
            continue;
        range.location += offset;
        label->setStyleRange(range);
        if (&target == this)
            continue;
        removeTextLabel(label);
        target.addTextLabel(label);
    }
}

void PathLabelContainer::reverseLabels()
{
    const double pathLength = m_path.length();
    for (const VXQTextPathLabelPtr& label : pathLabels())
        label->setStyleRange(ZQReversedStyleRange(label->styleRange(), pathLength));
}

QList<ZQRangeDrawingStylePtr> PathLabelContainer::migrateAuxiliaryTextStylesToLabels(const QList<ZQRangeDrawingStylePtr>& overlays)
{
    QList<ZQRangeDrawingStylePtr> kept;
    for (const ZQRangeDrawingStylePtr& overlay : overlays) {
        const VXStylePtr style = overlay ? overlay->style() : nullptr;
        const VXTextAdornmentPtr text = style && style->countOfRenderList() == 1 ? copyOfLastTextAdornment(style) : nullptr;
        // A damaged text style without text stays what it was.
        if (!text || text->string().isEmpty()) {
            kept.append(overlay);
            continue;
        }
        const VXQTextPathLabelPtr label = VXQTextPathLabel::label();
        label->setTextAdornment(preparedTemplate(text, VXTextAdornment::kLayoutAlongPath));
        label->setStyleRange(overlay->range());
        addTextLabel(label);
        ZQLog(QStringLiteral("%1 migrated auxiliary style %2 to label: %3")
                  .arg(m_path.description(), overlay->displayName(), label->string()));
    }
    return kept;
}

// --- The hook ---------------------------------------------------------------------------------------------------------------

QRectF PathLabelContainer::Behaviour::labelBounds(const ZQMultiStylePath& path) const
{
    if (path.textLabels().isEmpty())
        return {};
    return platform::UnionOfRectsInSet(of(path).textLabelBounds());
}

void PathLabelContainer::Behaviour::drawLabels(const ZQMultiStylePath& path, VXDrawingView* view) const
{
    if (!path.textLabels().isEmpty())
        of(path).drawTextLabelsInView(view);
}

void PathLabelContainer::Behaviour::drawSelectionHighlights(const ZQMultiStylePath& path) const
{
    if (!path.textLabels().isEmpty())
        of(path).drawTextLabelSelectionHighlights();
}

int PathLabelContainer::Behaviour::partcodeHit(const ZQMultiStylePath& path, QPointF point) const
{
    return path.textLabels().isEmpty() ? 0 : of(path).textLabelPartcodeHit(point);
}

void PathLabelContainer::Behaviour::mouseDown(ZQMultiStylePath& path, int partcode, QPointF point, QMouseEvent* event)
{
    of(path).mouseDown(partcode, point, event);
}

void PathLabelContainer::Behaviour::mouseDragged(ZQMultiStylePath& path, int partcode, QPointF point, QMouseEvent*)
{
    PathLabelContainer& labels = of(path);
    if (labels.m_drag && labels.m_drag->part() == partcode)
        labels.m_drag->dragTo(point, path.undoManager());
}

QString PathLabelContainer::Behaviour::mouseUp(ZQMultiStylePath& path, int partcode)
{
    return of(path).mouseUp(partcode);
}

void PathLabelContainer::Behaviour::doubleClick(ZQMultiStylePath& path, int partcode)
{
    of(path).doubleClick(partcode);
}

void PathLabelContainer::Behaviour::addItemsToMenu(ZQMultiStylePath& path, platform::Menu* menu, QPointF point)
{
    of(path).addTextItemsToMenuAtPoint(menu, point);
}

std::optional<bool> PathLabelContainer::Behaviour::validateMenuItem(ZQMultiStylePath& path, platform::MenuItem* item)
{
    return of(path).validateMenuItem(item);
}

void PathLabelContainer::Behaviour::performCommand(ZQMultiStylePath& path, const QByteArray& action, QObject* sender)
{
    PathLabelContainer& labels = of(path);
    if (action == "newTextLabel")
        labels.newTextLabel();
    else if (action == "pasteLabel")
        labels.pasteLabel();
    else if (action == "deleteLabels")
        labels.deleteLabels();
    else if (action == "toggleLabelsVisible")
        labels.toggleLabelsVisible(sender);
    else if (action == "selectAllLabels")
        labels.selectAllTextLabels();
    else if (action == "deselectAllLabels")
        labels.deselectAllTextLabels();
}

void PathLabelContainer::Behaviour::pathWasRead(ZQMultiStylePath& path)
{
    path.labelBehaviourState().reset();
    PathLabelContainer& labels = of(path);
    const QList<ZQRangeDrawingStylePtr> overlays = path.overlays();
    const QList<ZQRangeDrawingStylePtr> kept = labels.migrateAuxiliaryTextStylesToLabels(overlays);
    if (kept.size() != overlays.size())
        path.setOverlays(kept);
}

void PathLabelContainer::Behaviour::assignLabels(ZQMultiStylePath& from, ZQMultiStylePath& to, double at, double offset)
{
    of(from).assignLabelsToPath(of(to), at, offset);
}

void PathLabelContainer::Behaviour::reverseLabels(ZQMultiStylePath& path)
{
    of(path).reverseLabels();
}

void PathLabelContainer::Behaviour::stylesDidChange(ZQMultiStylePath& path)
{
    if (!path.textLabels().isEmpty())
        of(path).updateLabelsForNewStyles();
}
