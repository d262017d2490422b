#include "symbols/labels/TextLabelCollection.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/PathGeometry.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/ui/Pasteboard.h"

#include <optional>

TextLabelCollection::TextLabelCollection(VXQTextLabelContainer& owner, QObject* ownerObject)
    : m_owner(owner), m_ownerObject(ownerObject)
{
}

TextLabelCollection::~TextLabelCollection()
{
    for (const VXQTextLabelPtr& label : m_labels)
        label->setContainer(nullptr);
}

QObject* TextLabelCollection::ownerObject() const
{
    // The owner is still being made while the collection is: asked later.
    return m_ownerObject ? m_ownerObject : dynamic_cast<QObject*>(&m_owner);
}

qsizetype TextLabelCollection::indexOf(const VXQTextLabel* label) const
{
    for (qsizetype i = 0; i < m_labels.size(); ++i) {
        if (m_labels[i].get() == label)
            return i;
    }
    return -1;
}

VXQTextLabelPtr TextLabelCollection::labelPtr(const VXQTextLabel* label) const
{
    const qsizetype index = indexOf(label);
    return index >= 0 ? m_labels[index] : nullptr;
}

void TextLabelCollection::setLabels(const QList<VXQTextLabelPtr>& labels)
{
    for (const VXQTextLabelPtr& label : m_labels)
        label->setContainer(nullptr);
    m_labels.clear();
    m_selected.clear();
    for (const VXQTextLabelPtr& label : labels) {
        if (label && !contains(label.get()))
            append(label);
    }
}

void TextLabelCollection::append(const VXQTextLabelPtr& label)
{
    label->setContainer(&m_owner, ownerObject());
    m_labels.append(label);
}

void TextLabelCollection::remove(const VXQTextLabelPtr& label)
{
    const qsizetype index = indexOf(label.get());
    if (index < 0)
        return;
    label->setContainer(nullptr);
    m_selected.remove(label.get());
    m_labels.removeAt(index);
}

QList<VXQTextLabelPtr> TextLabelCollection::copiesOfLabels() const
{
    QList<VXQTextLabelPtr> copies;
    copies.reserve(m_labels.size());
    for (const VXQTextLabelPtr& label : m_labels)
        copies.append(std::static_pointer_cast<VXQTextLabel>(label->copy()));
    return copies;
}

// --- Selection --------------------------------------------------------------------------------------

QList<VXQTextLabelPtr> TextLabelCollection::selectedLabels() const
{
    QList<VXQTextLabelPtr> selection;
    for (const VXQTextLabelPtr& label : m_labels) {
        if (m_selected.contains(label.get()))
            selection.append(label);
    }
    return selection;
}

void TextLabelCollection::postSelectionChange() const
{
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQTextLabelSelectionDidChange, ownerObject());
}

void TextLabelCollection::selectExtendingSelection(VXQTextLabel* label, bool extend)
{
    if (!label && extend)
        return;
    if (!extend) {
        const QList<VXQTextLabelPtr> previous = selectedLabels();
        m_selected.clear();
        for (const VXQTextLabelPtr& deselected : previous) {
            deselected->notifyVisualChange();
            deselected->labelWasDeselected();
        }
    }
    if (label && contains(label)) {
        m_selected.insert(label);
        label->notifyVisualChange();
        label->labelDidBecomeSelected();
        updateFontPanel();
    }
    postSelectionChange();
}

void TextLabelCollection::deselect(VXQTextLabel* label)
{
    if (!m_selected.contains(label))
        return;
    label->notifyVisualChange();
    m_selected.remove(label);
    label->labelWasDeselected();
    postSelectionChange();
}

void TextLabelCollection::selectAll()
{
    for (const VXQTextLabelPtr& label : m_labels) {
        m_selected.insert(label.get());
        label->notifyVisualChange();
        label->labelDidBecomeSelected();
    }
    updateFontPanel();
    postSelectionChange();
}

void TextLabelCollection::deselectAll()
{
    const QList<VXQTextLabelPtr> previous = selectedLabels();
    m_selected.clear();
    for (const VXQTextLabelPtr& label : previous) {
        label->notifyVisualChange();
        label->labelWasDeselected();
    }
    postSelectionChange();
}

void TextLabelCollection::mouseDownOnLabel(VXQTextLabel* label, Qt::KeyboardModifiers modifiers)
{
    const platform::ModifierFlags flags = platform::modifierFlagsFromQt(modifiers);
    const bool command = flags & platform::CommandKeyMask;
    if (command && isSelected(label))
        m_owner.deselectTextLabel(label);
    else
        m_owner.selectTextLabelExtendingSelection(label, command || (flags & platform::ShiftKeyMask));
}

void TextLabelCollection::updateFontPanel() const
{
    const QList<VXQTextLabelPtr> selection = selectedLabels();
    if (selection.isEmpty() || !m_updatesFontPanel)
        return;
    const bool multiple = selection.size() > 1;
    platform::FontManager* manager = platform::FontManager::sharedFontManager();
    manager->setSelectedFontIsMultiple(selection.first()->font(), multiple);
    manager->setSelectedAttributesIsMultiple(selection.first()->textAttributes(), multiple);
}

// --- Geometry and drawing -------------------------------------------------------------------------

QList<QRectF> TextLabelCollection::labelBounds() const
{
    QList<QRectF> bounds;
    bounds.reserve(m_labels.size());
    for (const VXQTextLabelPtr& label : m_labels)
        bounds.append(label->bounds());
    return bounds;
}

QRectF TextLabelCollection::boundsWithLabels(const QRectF& featureBounds) const
{
    QList<QRectF> all = labelBounds();
    all.append(featureBounds);
    return platform::UnionOfRectsInSet(all);
}

VXQTextLabel* TextLabelCollection::labelAtPoint(QPointF point) const
{
    if (m_hidden)
        return nullptr;
    for (const VXQTextLabelPtr& label : m_labels) {
        if (label->hitTestBounds().contains(point) || label->hitTest(point) != 0)
            return label.get();
    }
    return nullptr;
}

int TextLabelCollection::partcodeHit(QPointF point) const
{
    if (m_hidden)
        return 0;
    for (qsizetype i = 0; i < m_labels.size(); ++i) {
        if (m_labels[i]->hitTestBounds().contains(point))
            return int(4 * i + 4) + m_labels[i]->hitTest(point);
    }
    return 0;
}

VXQTextLabel* TextLabelCollection::labelForPartcode(int partcode) const
{
    const int index = partcode / 4 - 1;
    return partcode > 0 && index >= 0 && index < m_labels.size() ? m_labels[index].get() : nullptr;
}

void TextLabelCollection::drawLabels(VXDrawingView* view) const
{
    if (m_hidden)
        return;
    for (const VXQTextLabelPtr& label : m_labels)
        label->drawInView(view);
}

void TextLabelCollection::drawSelectionHighlights(VXDrawingView* view) const
{
    if (m_hidden)
        return;
    for (const VXQTextLabelPtr& label : selectedLabels())
        label->highlightInView(view);
}

// --- Commands and forwarding ---------------------------------------------------------------------------

QList<QObject*> TextLabelCollection::forwardingTargets() const
{
    QList<QObject*> targets;
    for (const VXQTextLabelPtr& label : selectedLabels())
        targets.append(label.get());
    return targets;
}

std::optional<bool> TextLabelCollection::validateContainerMenuItem(platform::MenuItem* item,
                                                                   bool containerLocked) const
{
    const QByteArray action = item->action();
    if (action == "newTextLabel")
        return !containerLocked;
    if (action == "selectAllLabels" || action == "deselectAllLabels")
        return !isEmpty();
    if (action == "pasteLabel")
        return !containerLocked && canPasteLabel(platform::Pasteboard::generalPasteboard());
    if (action == "deleteLabels")
        return !containerLocked && hasSelection();
    if (action == "toggleLabelsVisible") {
        item->setTitle(m_hidden ? QObject::tr("Show Labels") : QObject::tr("Hide Labels"));
        return !containerLocked && !isEmpty();
    }
    return std::nullopt;
}

bool TextLabelCollection::validateLabelMenuItem(platform::MenuItem* item) const
{
    // Setting a state makes an item show a check box: states are set only when they change.
    const auto setState = [item](platform::MenuItem::State state) {
        if (item->state() != state)
            item->setState(state);
    };
    const QList<VXQTextLabelPtr> selection = selectedLabels();
    if (selection.isEmpty()) {
        setState(platform::MenuItem::OffState);
        return false;
    }
    const platform::MenuItem::State original = item->state();
    std::optional<platform::MenuItem::State> agreed;
    bool enabled = false;
    bool mixed = false;
    for (const VXQTextLabelPtr& label : selection) {
        setState(original);
        if (!label->validateMenuItem(item))
            continue;
        enabled = true;
        mixed = mixed || (agreed && *agreed != item->state());
        agreed = item->state();
    }
    setState(mixed ? platform::MenuItem::MixedState : agreed.value_or(original));
    return enabled;
}

void TextLabelCollection::applyTextAttributes(const QVariantMap& attributes) const
{
    for (const VXQTextLabelPtr& label : m_labels)
        label->setTextAttributes(attributes);
}

void TextLabelCollection::addTextItemsToMenuAtPoint(platform::Menu* menu, QPointF point, bool respectLock) const
{
    if (VXQTextLabel* label = labelAtPoint(point))
        label->populateContextualMenu(menu);
    if (respectLock && m_owner.locked())
        return;
    QAction* const before = menu->actions().value(0);
    const auto add = [&](const QString& title, const QByteArray& action) {
        auto* item = new platform::MenuItem(title, action, menu);
        item->setTarget(ownerObject());
        menu->insertAction(before, item);
    };
    add(QObject::tr("New Label"), "newTextLabel");
    if (canPasteLabel(platform::Pasteboard::generalPasteboard()))
        add(QObject::tr("Paste Label"), "pasteLabel");
    add(m_hidden ? QObject::tr("Show Labels") : QObject::tr("Hide Labels"), "toggleLabelsVisible");
    menu->insertSeparator(before);
}

QStringList TextLabelCollection::searchableStrings() const
{
    QStringList strings;
    for (const VXQTextLabelPtr& label : m_labels) {
        if (!label->string().isEmpty())
            strings.append(label->searchableString());
    }
    return strings;
}

bool TextLabelCollection::canPasteLabel(const platform::Pasteboard& pasteboard)
{
    return !pasteboard.availableTypeFromArray({kVXQTextLabelPasteboardType}).isEmpty();
}
