// Selection, keyboard navigation, type-ahead, menu validation and in-place editing of the
// free-layout icon view.

#include "widgets/iconview/JXDistributedView.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Pasteboard.h"

#include <QKeyEvent>
#include <algorithm>
#include <iterator>
#include <QLineEdit>
#include <QScrollBar>

namespace {
// Keys typed further apart than this start a new type-ahead search.
constexpr qint64 kTypeAheadIntervalMs = 800;
// The probe of arrow navigation is the moved box shrunk by this on every side.
constexpr double kArrowProbeInset = 8.0;
} // namespace

qint64 JXDistributedViewDelegate::distributedViewItemIndexForStringOptions(JXDistributedView* view,
                                                                          const QString& string, unsigned options)
{
    return defaultItemIndexForString(view, string, options);
}

qint64 defaultItemIndexForString(JXDistributedView* view, const QString& string, unsigned options)
{
    const qint64 count = view->numberOfItems();
    if (count == 0 || !view->prototype())
        return -1;
    const Qt::CaseSensitivity sensitivity = (options & JXCaseInsensitiveSearch) ? Qt::CaseInsensitive
                                                                                : Qt::CaseSensitive;
    for (qint64 index = 0; index < count; ++index) {
        view->fillPrototypeForItem(index);
        const QString title = view->prototype()->stringValue();
        if (title.size() < string.size())
            continue;
        if (QStringView(title).left(string.size()).compare(string, sensitivity) >= 0)
            return index;
    }
    return -1;
}

// --- Selection ----------------------------------------------------------------------------------

bool JXDistributedView::useSelectionRect() const
{
    return flag(JXDVPersistentFlags::useSelectionRect) && allowsEmptySelection() && allowsMultipleSelection();
}

void JXDistributedView::setUseSelectionRect(bool on)
{
    setFlag(JXDVPersistentFlags::useSelectionRect, on);
    if (on) {
        if (!allowsMultipleSelection())
            setAllowsMultipleSelection(true);
        if (!allowsEmptySelection())
            setAllowsEmptySelection(true);
    }
}

void JXDistributedView::setAllowsMultipleSelection(bool on)
{
    setFlag(JXDVPersistentFlags::allowsMultipleSelection, on);
    if (!on && m_selection.size() > 1) {
        selectionSetNeedsDisplay();
        const qint64 first = *m_selection.begin();
        m_selection = {first};
    }
}

void JXDistributedView::setAllowsEmptySelection(bool on)
{
    setFlag(JXDVPersistentFlags::allowsEmptySelection, on);
    // Index 0 of an empty view is left out: it would name an item that does not exist.
    if (!on && m_selection.empty() && numberOfItems() > 0) {
        m_selection.insert(0);
        itemNeedsDisplay(0);
    }
}

qint64 JXDistributedView::selectedItemIndex() const
{
    return m_selection.empty() ? NSNotFound : *m_selection.begin();
}

void JXDistributedView::postSelectionDidChange()
{
    platform::NotificationCenter::defaultCenter().postNotificationName(JXDistributedViewSelectionDidChange, this);
}

void JXDistributedView::tellDelegateSelectionChanged(qint64 fallbackIndex)
{
    if (!m_delegate)
        return;
    if (m_delegate->answers(JXDistributedViewDelegate::Message::DidSelectItemsAtIndexes))
        m_delegate->distributedViewDidSelectItemsAtIndexes(this, m_selection);
    else if (m_delegate->answers(JXDistributedViewDelegate::Message::DidSelectItemIndex))
        m_delegate->distributedViewDidSelectItemIndex(this, fallbackIndex);
}

void JXDistributedView::selectItemsAtIndexesByExtendingSelection(const JXIndexSet& proposed, bool extend)
{
    JXIndexSet indexes = proposed;
    if (m_delegate && m_delegate->answers(JXDistributedViewDelegate::Message::ProposedSelectionAtIndexes)) {
        indexes = m_delegate->distributedViewProposedSelectionAtIndexes(this, proposed);
        if (indexes.empty())
            return;
    }
    // Nothing outside the items ever enters the selection.
    const qint64 count = numberOfItems();
    std::erase_if(indexes, [count](qint64 index) { return index < 0 || index >= count; });
    if (indexes == m_selection)
        return;
    const bool replacing = !(extend && allowsMultipleSelection());
    if (!allowsEmptySelection() && replacing && indexes.empty())
        return;
    if (replacing) {
        selectionSetNeedsDisplay();
        m_selection.clear();
    }
    if (!indexes.empty()) {
        if (allowsMultipleSelection())
            m_selection.insert(indexes.begin(), indexes.end());
        else
            m_selection.insert(*indexes.begin());
        selectionSetNeedsDisplay();
        tellDelegateSelectionChanged(*indexes.begin());
    }
    postSelectionDidChange();
}

void JXDistributedView::selectItemByExtendingSelection(qint64 index, bool extend)
{
    selectItemsAtIndexesByExtendingSelection(index == -1 ? JXIndexSet{} : JXIndexSet{index}, extend);
}

void JXDistributedView::selectItemsInRangeByExtendingSelection(qint64 first, qint64 count, bool extend)
{
    JXIndexSet indexes;
    for (qint64 index = first; index < first + count; ++index)
        indexes.insert(index);
    selectItemsAtIndexesByExtendingSelection(indexes, extend);
}

void JXDistributedView::deselectItem(qint64 index)
{
    if (!isItemSelected(index))
        return;
    m_selection.erase(index);
    tellDelegateSelectionChanged(-1);
    postSelectionDidChange();
    itemNeedsDisplay(index);
}

void JXDistributedView::selectItemsInRectByExtendingSelection(const QRectF& rect, bool extend)
{
    if (!allowsMultipleSelection())
        return;
    const JXIndexSet before = m_selection;
    if (!extend)
        m_selection.clear();
    const bool filters = m_delegate && m_delegate->answers(JXDistributedViewDelegate::Message::ShouldSelectItemIndex);
    const bool tellsEach = m_delegate && m_delegate->answers(JXDistributedViewDelegate::Message::DidSelectItemIndex);
    const qint64 count = numberOfItems();
    for (qint64 index = 0; index < count; ++index) {
        const QRectF box = snappedRectForItemAtIndex(index);
        if (!box.intersects(rect) || !hitsCell(index, box, rect))
            continue;
        if (filters && !m_delegate->distributedViewShouldSelectItemIndex(this, index))
            continue;
        if (m_selection.insert(index).second && tellsEach)
            m_delegate->distributedViewDidSelectItemIndex(this, index);
    }
    if (m_delegate && m_delegate->answers(JXDistributedViewDelegate::Message::DidSelectItemsAtIndexes))
        m_delegate->distributedViewDidSelectItemsAtIndexes(this, m_selection);
    // Only the items that changed state are redrawn.
    JXIndexSet changed;
    std::set_symmetric_difference(before.begin(), before.end(), m_selection.begin(), m_selection.end(),
                                  std::inserter(changed, changed.end()));
    itemsNeedDisplayAtIndexes(changed);
    postSelectionDidChange();
}

void JXDistributedView::selectAll(QObject*)
{
    const qint64 count = numberOfItems();
    if (qint64(m_selection.size()) == count)
        return;
    selectItemsInRangeByExtendingSelection(0, count, false);
}

void JXDistributedView::deselectAll(QObject*)
{
    if (!allowsEmptySelection() || m_selection.empty())
        return;
    m_selection.clear();
    tellDelegateSelectionChanged(-1);
    setNeedsDisplay();
    postSelectionDidChange();
}

void JXDistributedView::selectItemContainingString(const QString& string)
{
    const qint64 index = m_delegate ? m_delegate->distributedViewItemIndexForStringOptions(this, string,
                                                                                         JXCaseInsensitiveSearch)
                                    : defaultItemIndexForString(this, string, JXCaseInsensitiveSearch);
    if (index < 0 || index >= numberOfItems())
        return;
    selectItemByExtendingSelection(index, false);
    scrollItemToVisible(index);
}

void JXDistributedView::updateSelectionSet()
{
    const qint64 count = numberOfItems();
    m_selection.erase(m_selection.lower_bound(std::max<qint64>(0, count)), m_selection.end());
}

void JXDistributedView::copy(QObject*)
{
    if (!m_dataSource || !m_dataSource->answers(JXDistributedViewDataSource::Message::WriteItems) || m_selection.empty())
        return;
    platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    m_dataSource->distributedViewWriteItemsAtIndexesToPasteboard(this, m_selection, pasteboard);
}

bool JXDistributedView::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    const bool positions = m_dataSource && m_dataSource->answers(JXDistributedViewDataSource::Message::SetPosition);
    if (action == "selectAll")
        return allowsMultipleSelection();
    if (action == "deselectAll")
        return !m_selection.empty() && allowsEmptySelection();
    if (action == "copy")
        return m_dataSource && m_dataSource->answers(JXDistributedViewDataSource::Message::WriteItems)
            && !m_selection.empty();
    if (action == "positionAllItems" || action == "snapAllItemsToGrid")
        return positions;
    if (action == "toggleDrawsGrid") {
        item->setState(drawsGrid() ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    }
    if (action == "toggleSnapToGrid") {
        item->setState(snapToGrid() ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    }
    if (action == "rescrollItems")
        return true;
    if (m_delegate && m_delegate->implementsAction(action))
        return m_delegate->answers(JXDistributedViewDelegate::Message::ValidateMenuItem)
            ? m_delegate->validateMenuItem(item)
            : true;
    const QByteArray signature = action + "(QObject*)";
    return metaObject()->indexOfMethod(signature.constData()) >= 0;
}

// --- Keyboard -------------------------------------------------------------------------------------

void JXDistributedView::moveSelection(int dx, int dy)
{
    const qint64 count = numberOfItems();
    if (count == 0)
        return;
    qint64 current = selectedItemIndex();
    if (current == NSNotFound || current >= count)
        current = (dx > 0 || dy > 0) ? 0 : count - 1;
    const QRectF probe = rectForItemAtIndex(current)
                             .translated(dx * m_cellSize.width(), dy * m_cellSize.height())
                             .adjusted(kArrowProbeInset, kArrowProbeInset, -kArrowProbeInset, -kArrowProbeInset);
    const qint64 found = getUncachedItemIndexInRect(probe);
    if (found == NSNotFound)
        return;
    selectItemByExtendingSelection(found, false);
    scrollItemToVisible(found);
}

void JXDistributedView::insertTab(QObject*)
{
    const qint64 count = numberOfItems();
    if (m_selection.empty() || count == 0)
        return;
    const qint64 next = (selectedItemIndex() + 1) % count;
    selectItemByExtendingSelection(next, false);
    scrollItemToVisible(next);
}

void JXDistributedView::insertBacktab(QObject*)
{
    const qint64 count = numberOfItems();
    if (m_selection.empty() || count == 0)
        return;
    const qint64 current = std::min(selectedItemIndex(), count);
    const qint64 previous = current == 0 ? count - 1 : current - 1;
    selectItemByExtendingSelection(previous, false);
    scrollItemToVisible(previous);
}

void JXDistributedView::insertText(const QString& text)
{
    const qint64 now = platform::RunLoop::now();
    if (now - m_lastTypeAheadKeypress > kTypeAheadIntervalMs)
        m_typeAheadSearchStr = text;
    else
        m_typeAheadSearchStr += text;
    const unsigned options = JXCaseInsensitiveSearch | JXAnchoredSearch;
    const qint64 index = m_delegate
        ? m_delegate->distributedViewItemIndexForStringOptions(this, m_typeAheadSearchStr, options)
        : defaultItemIndexForString(this, m_typeAheadSearchStr, options);
    if (index >= 0 && index < numberOfItems()) {
        selectItemByExtendingSelection(index, false);
        scrollItemToVisible(index);
    }
    m_lastTypeAheadKeypress = now;
}

void JXDistributedView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: moveLeft(); return;
    case Qt::Key_Right: moveRight(); return;
    case Qt::Key_Up: moveUp(); return;
    case Qt::Key_Down: moveDown(); return;
    case Qt::Key_Tab: insertTab(); return;
    case Qt::Key_Backtab: insertBacktab(); return;
    case Qt::Key_PageUp: pageUp(); return;
    case Qt::Key_PageDown: pageDown(); return;
    default: break;
    }
    const QString text = event->text();
    const bool commandHeld = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!text.isEmpty() && text.at(0).isPrint() && !commandHeld) {
        insertText(text);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

// --- In-place editing ------------------------------------------------------------------------------

void JXDistributedView::editItemIndexWithEventSelect(qint64 index, bool)
{
    if (!ZQ_EXPECT(index >= 0 && index < numberOfItems(),
                   QStringLiteral("Invalid parameter not satisfying: %1")
                       .arg(QStringLiteral("item >= 0 && item < [[self dataSource] numberOfItemsInDistributedView: self]"))))
        return;
    if (!m_prototype || !m_prototype->isEditable())
        return;
    if (m_delegate && m_delegate->answers(JXDistributedViewDelegate::Message::ShouldEditItemAtIndex)
        && !m_delegate->distributedViewShouldEditItemAtIndex(this, index))
        return;
    textDidEndEditing();
    m_editedItem = index;
    fillPrototypeForItem(index);
    const QRectF box = rectForItemAtIndex(index);
    if (!m_fieldEditor) {
        m_fieldEditor = new QLineEdit(viewport());
        m_fieldEditor->setFrame(false);
        m_fieldEditor->setAlignment(Qt::AlignCenter);
        connect(m_fieldEditor, &QLineEdit::editingFinished, this, [this] { textDidEndEditing(); });
    }
    const QPointF offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    QRectF editorRect = m_prototype->editingRectForBounds(box).translated(-offset);
    m_fieldEditor->setFont(m_prototype->editingFont(box));
    editorRect.setHeight(std::max(editorRect.height(), double(m_fieldEditor->sizeHint().height())));
    m_fieldEditor->setGeometry(editorRect.toAlignedRect());
    m_fieldEditor->setText(m_prototype->stringValue());
    m_fieldEditor->selectAll();
    m_fieldEditor->show();
    m_fieldEditor->setFocus();
    itemNeedsDisplay(index);
}

void JXDistributedView::textDidEndEditing()
{
    if (m_editedItem == -1 || !m_fieldEditor)
        return;
    const qint64 item = m_editedItem;
    const QString text = m_fieldEditor->text();
    // Cleared first: hiding the editor finishes editing once more.
    m_editedItem = -1;
    m_fieldEditor->hide();
    if (hasFocus() || m_fieldEditor->hasFocus())
        setFocus();
    if (item < numberOfItems()) {
        itemNeedsDisplay(item);
        if (!text.isEmpty() && m_dataSource
            && m_dataSource->answers(JXDistributedViewDataSource::Message::SetObjectValue))
            m_dataSource->distributedViewSetObjectValueForItemIndex(this, text, item);
    }
}
