#include "symbols/labels/DrawableTextLabelContainer.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QCoreApplication>
#include <utility>

DrawableTextLabelContainer::DrawableTextLabelContainer(VXDrawableObject& drawable) : m_drawable(drawable) {}

DrawableTextLabelContainer::~DrawableTextLabelContainer() = default;

bool DrawableTextLabelContainer::refusesLabelEdits() const
{
    return labelEditsRespectLock() && m_drawable.locked();
}

void DrawableTextLabelContainer::nameUndoStep(const QString& name) const
{
    if (ZQUndoManager* undo = m_drawable.undoManager(); undo && !name.isEmpty())
        undo->setActionName(name);
}

// --- The labels ---------------------------------------------------------------------------------------

void DrawableTextLabelContainer::addTextLabel(const VXQTextLabelPtr& label)
{
    ZQ_ASSERT(label, QStringLiteral("cannot add a nil label"));
    if (refusesLabelEdits() || m_labels.contains(label.get()))
        return;
    const QRectF oldBounds = m_drawable.bounds();
    if (ZQUndoManager* undo = m_drawable.undoManager())
        undo->registerUndoWithTargetHandler(&m_drawable, [this, label] { removeTextLabel(label); });
    m_labels.append(label);
    m_drawable.notifyGeometryChange(oldBounds);
    label->notifyVisualChange();
}

void DrawableTextLabelContainer::removeTextLabel(const VXQTextLabelPtr& label)
{
    if (refusesLabelEdits() || !label || !m_labels.contains(label.get()))
        return;
    const QRectF oldBounds = m_drawable.bounds();
    if (ZQUndoManager* undo = m_drawable.undoManager())
        undo->registerUndoWithTargetHandler(&m_drawable, [this, label] { addTextLabel(label); });
    label->notifyVisualChange();
    m_labels.remove(label); // detaches and deselects it
    m_drawable.notifyGeometryChange(oldBounds);
}

void DrawableTextLabelContainer::drawTextLabelsInView(VXDrawingView* view) const
{
    if (!m_labels.hidden())
        m_labels.drawLabels(view);
}

void DrawableTextLabelContainer::setLabelsHidden(bool hidden)
{
    if (hidden == m_labels.hidden() || m_drawable.locked())
        return;
    if (ZQUndoManager* undo = m_drawable.undoManager())
        undo->registerUndoWithTargetHandler(&m_drawable, [this, hidden] { setLabelsHidden(!hidden); });
    m_labels.setHidden(hidden);
    m_drawable.notifyVisualChange();
}

void DrawableTextLabelContainer::textLabelContentWillChange(VXQTextLabel* label)
{
    if (m_labels.contains(label))
        m_boundsBeforeLabelChange = m_drawable.bounds();
}

void DrawableTextLabelContainer::textLabelContentDidChange(VXQTextLabel* label)
{
    if (m_labels.contains(label))
        m_drawable.notifyGeometryChange(m_boundsBeforeLabelChange);
}

QStringList DrawableTextLabelContainer::searchableStringsWithLabels(const QString& ownText) const
{
    QStringList strings;
    if (!ownText.trimmed().isEmpty())
        strings.append(ownText);
    strings.append(m_labels.searchableStrings());
    return strings;
}

QString DrawableTextLabelContainer::searchableStringWithLabels(const QString& ownText) const
{
    const QStringList strings = searchableStringsWithLabels(ownText);
    return strings.isEmpty() ? ownText : strings.join(QLatin1Char(' '));
}

void DrawableTextLabelContainer::applyTextAttributesToLabels(const QVariantMap& attributes)
{
    const QRectF oldBounds = m_drawable.bounds();
    m_labels.applyTextAttributes(attributes);
    m_drawable.notifyGeometryChange(oldBounds);
}

// --- Gestures ------------------------------------------------------------------------------------------

void DrawableTextLabelContainer::moveTextLabelWithPartcodeToPoint(int partcode, QPointF point,
                                                                   Qt::KeyboardModifiers modifiers)
{
    auto* label = qobject_cast<VXQTextBlockLabel*>(textLabelForPartcode(partcode));
    const std::optional<QPointF> reference = label ? referencePointForLabel(*label) : std::nullopt;
    if (!label || !reference || refusesLabelEdits())
        return;
    const QRectF oldBounds = m_drawable.bounds();
    const bool shift = modifiers & Qt::ShiftModifier;
    if ((partcode & 3) == VXQTextBlockLabel::kRotationKnobPart) {
        label->setAngleWithPointConstrain(point, shift);
    } else if ((partcode & 3) == 0) {
        if (shift)
            label->setFreePosition(point - *reference);
        else
            label->setPlacement(placementForLabelDraggedToPoint(*label, point));
    }
    m_drawable.notifyGeometryChange(oldBounds);
}

void DrawableTextLabelContainer::beginLabelGesture(int partcode, Qt::KeyboardModifiers modifiers)
{
    m_gesture = {};
    VXQTextLabel* label = textLabelForPartcode(partcode);
    if (!label)
        return;
    m_labels.mouseDownOnLabel(label, modifiers);
    if (auto* block = qobject_cast<VXQTextBlockLabel*>(label))
        m_gesture = {block, block->placement(), block->freePosition(), block->angle()};
}

QString DrawableTextLabelContainer::endLabelGesture()
{
    const LabelGesture gesture = std::exchange(m_gesture, {});
    const VXQTextBlockLabel* label = gesture.label;
    if (!label || !m_labels.contains(label))
        return {};
    // Named as the setter that made the change.
    if (label->angle() != gesture.angle)
        return QCoreApplication::translate("DrawableTextLabelContainer", "Rotate Label");
    if (label->freePosition() != gesture.freePosition)
        return QCoreApplication::translate("DrawableTextLabelContainer", "Move Label");
    if (label->placement() != gesture.placement)
        return QCoreApplication::translate("DrawableTextLabelContainer", "Label Placement");
    return {};
}

void DrawableTextLabelContainer::editLabelWithPartcode(int partcode)
{
    VXQTextLabel* label = m_drawable.locked() ? nullptr : textLabelForPartcode(partcode);
    if (VXDrawingView* view = VXDrawingView::currentView(); label && view)
        label->startEditingInView(view);
    else if (label)
        label->editText(nullptr);
}

// --- Commands -----------------------------------------------------------------------------------------

void DrawableTextLabelContainer::newTextLabelWithPlacement(int placement)
{
    if (refusesLabelEdits())
        return;
    const VXQTextBlockLabelPtr label = VXQTextBlockLabel::label();
    label->setPlacement(placement);
    const VXTextAdornmentPtr textTemplate = templateAdornmentForNewLabels();
    if (textTemplate) {
        auto adornment = std::static_pointer_cast<VXTextAdornment>(textTemplate->copy());
        adornment->setEnabled(true);
        adornment->setLayoutMode(VXTextAdornment::kLayoutInBox);
        label->setTextAdornment(adornment);
    }
    addTextLabel(label);
    if (!textTemplate)
        label->sizeToHost(nullptr);
    selectTextLabelExtendingSelection(label.get(), false);
    nameUndoStep(QCoreApplication::translate("DrawableTextLabelContainer", "New Label"));
}

void DrawableTextLabelContainer::pasteLabelFromGeneralPasteboard()
{
    if (refusesLabelEdits())
        return;
    const platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    // Only block labels belong on a drawable.
    const auto label = std::dynamic_pointer_cast<VXQTextBlockLabel>(VXQTextLabel::labelWithPasteboard(&pasteboard));
    if (!label)
        return;
    addTextLabel(label);
    selectTextLabelExtendingSelection(label.get(), false);
    nameUndoStep(QCoreApplication::translate("DrawableTextLabelContainer", "Paste Label"));
}

void DrawableTextLabelContainer::deleteSelectedLabels()
{
    if (refusesLabelEdits() || !m_labels.hasSelection())
        return;
    for (const VXQTextLabelPtr& label : m_labels.selectedLabels())
        removeTextLabel(label);
    nameUndoStep(QCoreApplication::translate("DrawableTextLabelContainer", "Delete Labels"));
}

void DrawableTextLabelContainer::toggleLabelsVisibleNamedBy(QObject* sender)
{
    setLabelsHidden(!m_labels.hidden());
    nameUndoStep(sender ? sender->property("title").toString() : QString());
}
