#include "widgets/outline/VLTMCustomHighlightOutlineView.h"

#include "widgets/paint/ApplicationColours.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>

VLTMCustomHighlightOutlineView::VLTMCustomHighlightOutlineView(QWidget* parent)
    : QTreeView(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setUniformRowHeights(true);
    // The runs' gradient is the highlight; the style's own stays out of the way.
    QPalette palette = this->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, Qt::transparent);
        palette.setColor(group, QPalette::HighlightedText, palette.color(group, QPalette::Text));
    }
    setPalette(palette);
    connect(this, &QTreeView::expanded, this, &VLTMCustomHighlightOutlineView::forgetRows);
    connect(this, &QTreeView::collapsed, this, &VLTMCustomHighlightOutlineView::forgetRows);
}

void VLTMCustomHighlightOutlineView::setModel(QAbstractItemModel* model)
{
    if (this->model())
        this->model()->disconnect(this);
    QTreeView::setModel(model);
    forgetRows();
    if (!model)
        return;
    connect(model, &QAbstractItemModel::rowsInserted, this, &VLTMCustomHighlightOutlineView::forgetRows);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &VLTMCustomHighlightOutlineView::forgetRows);
    connect(model, &QAbstractItemModel::rowsMoved, this, &VLTMCustomHighlightOutlineView::forgetRows);
    connect(model, &QAbstractItemModel::modelReset, this, &VLTMCustomHighlightOutlineView::forgetRows);
    connect(model, &QAbstractItemModel::layoutChanged, this, &VLTMCustomHighlightOutlineView::forgetRows);
}

void VLTMCustomHighlightOutlineView::setSelectionModel(QItemSelectionModel* selectionModel)
{
    QTreeView::setSelectionModel(selectionModel);
    forgetRuns();
    if (selectionModel)
        connect(selectionModel, &QItemSelectionModel::selectionChanged, this, &VLTMCustomHighlightOutlineView::forgetRuns);
}

void VLTMCustomHighlightOutlineView::forgetRows()
{
    m_rowsValid = false;
    m_runsValid = false;
}

void VLTMCustomHighlightOutlineView::ensureRows() const
{
    if (m_rowsValid)
        return;
    m_rowOf.clear();
    QAbstractItemModel* model = this->model();
    if (model) {
        // Display order: each item, then its children when it is expanded.
        std::vector<QModelIndex> stack{};
        const auto pushChildren = [&](const QModelIndex& parent) {
            for (int row = model->rowCount(parent) - 1; row >= 0; --row)
                stack.push_back(model->index(row, 0, parent));
        };
        pushChildren(rootIndex());
        int displayRow = 0;
        while (!stack.empty()) {
            const QModelIndex index = stack.back();
            stack.pop_back();
            m_rowOf.insert(index, displayRow++);
            if (isExpanded(index))
                pushChildren(index);
        }
    }
    m_rowsValid = true;
}

int VLTMCustomHighlightOutlineView::displayRowOf(const QModelIndex& index) const
{
    ensureRows();
    return m_rowOf.value(index.siblingAtColumn(0), -1);
}

const std::vector<IndexRun>& VLTMCustomHighlightOutlineView::selectedRuns() const
{
    if (m_runsValid)
        return m_runs;
    QList<int> rows;
    if (selectionModel()) {
        for (const QItemSelectionRange& range : selectionModel()->selection()) {
            for (int row = range.top(); row <= range.bottom(); ++row) {
                const int displayRow = displayRowOf(model()->index(row, 0, range.parent()));
                if (displayRow >= 0)
                    rows.append(displayRow);
            }
        }
    }
    m_runs = indexRuns(std::move(rows));
    m_runsValid = true;
    return m_runs;
}

bool VLTMCustomHighlightOutlineView::topRow(int* row, int* top, int* height) const
{
    const QModelIndex index = indexAt(QPoint(0, 0));
    if (!index.isValid())
        return false;
    const QRect rect = visualRect(index);
    *row = displayRowOf(index);
    *top = rect.top();
    *height = rect.height();
    return *row >= 0 && *height > 0;
}

QRect VLTMCustomHighlightOutlineView::areaOfRun(const IndexRun& run) const
{
    int row = 0, top = 0, height = 0;
    if (!topRow(&row, &top, &height))
        return {};
    return QRect(0, top + (run.first - row) * height, viewport()->width(), (run.last - run.first + 1) * height);
}

void VLTMCustomHighlightOutlineView::drawCustomSelectionHighlightForView(QPainter& painter, const QRect& rect) const
{
    int row = 0, top = 0, height = 0;
    if (!topRow(&row, &top, &height))
        return;
    const int first = row + (rect.top() - top) / height;
    const int last = row + (rect.bottom() - top) / height;
    const auto [begin, end] = runsMeeting(selectedRuns(), first, last);
    for (auto run = begin; run != end; ++run) {
        const QRect area = areaOfRun(*run);
        if (!area.intersects(rect))
            continue;
        painter.save();
        painter.setClipRect(rect, Qt::IntersectClip);
        VLTMSelectedTableRowGradient().drawInRect(painter, area, -90);
        painter.restore();
    }
}

void VLTMCustomHighlightOutlineView::invalidateCustomRowsAtIndexes(const QList<int>& rows)
{
    ensureRows();
    const int count = int(m_rowOf.size());
    QList<int> shown;
    for (int row : rows)
        if (row >= 0 && row < count)
            shown.append(row);
    for (const IndexRun& run : indexRuns(std::move(shown)))
        viewport()->update(areaOfRun(run));
}

// QTreeView's own row drawing asks the selection model about every cell, which walks every
// selected range: with tens of thousands of runs that is most of a frame. The gradient is the
// selection here, so the cells are handed to their delegates as unselected ones.
void VLTMCustomHighlightOutlineView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                                             const QModelIndex& index) const
{
    drawCustomSelectionHighlightForView(*painter, QRect(0, option.rect.top(), viewport()->width(), option.rect.height()));
    const QHeaderView* columns = header();
    for (int visual = 0; visual < columns->count(); ++visual) {
        const int column = columns->logicalIndex(visual);
        if (columns->isSectionHidden(column))
            continue;
        QRect cell(columnViewportPosition(column), option.rect.top(), columns->sectionSize(column), option.rect.height());
        if (column == treePosition()) {
            const int indent = indentation() * (depthOf(index) + (rootIsDecorated() ? 1 : 0));
            if (indent > 0)
                drawBranchIndicators(painter, QRect(cell.left(), cell.top(), indent, cell.height()), index);
            cell.setLeft(cell.left() + indent);
        }
        const QModelIndex cellIndex = index.siblingAtColumn(column);
        QStyleOptionViewItem cellOption = option;
        cellOption.rect = cell;
        cellOption.state &= ~QStyle::State_Selected;
        itemDelegateForIndex(cellIndex)->paint(painter, cellOption, cellIndex);
    }
}

// What QTreeView::drawBranches draws, level by level from the item out to the root, without
// its question to the selection model.
void VLTMCustomHighlightOutlineView::drawBranchIndicators(QPainter* painter, const QRect& rect,
                                                          const QModelIndex& index) const
{
    const QAbstractItemModel* model = this->model();
    const auto hasNextSibling = [model](const QModelIndex& item) {
        return item.row() + 1 < model->rowCount(item.parent());
    };
    QStyleOption branch;
    branch.initFrom(this);
    branch.rect = QRect(rect.right() + 1 - indentation(), rect.top(), indentation(), rect.height());
    branch.state = QStyle::State_Item;
    if (hasNextSibling(index))
        branch.state |= QStyle::State_Sibling;
    if (model->hasChildren(index))
        branch.state |= QStyle::State_Children;
    if (isExpanded(index))
        branch.state |= QStyle::State_Open;
    style()->drawPrimitive(QStyle::PE_IndicatorBranch, &branch, painter, this);
    for (QModelIndex ancestor = index.parent(); ancestor.isValid() && ancestor != rootIndex();
         ancestor = ancestor.parent()) {
        branch.rect.translate(-indentation(), 0);
        branch.state = hasNextSibling(ancestor) ? QStyle::State_Sibling : QStyle::State_None;
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &branch, painter, this);
    }
}

int VLTMCustomHighlightOutlineView::depthOf(const QModelIndex& index) const
{
    int depth = 0;
    for (QModelIndex parent = index.parent(); parent.isValid() && parent != rootIndex(); parent = parent.parent())
        ++depth;
    return depth;
}
