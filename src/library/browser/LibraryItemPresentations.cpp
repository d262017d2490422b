#include "library/browser/LibraryItemPresentations.h"

#include "library/browser/LibraryItemIconSource.h"
#include "library/browser/LibraryItemTableModel.h"
#include "library/browser/VXQLibraryItemViewController.h"
#include "library/store/VXQLibrary.h"
#include "widgets/cells/ZQLabelledIconCell.h"
#include "widgets/iconview/JXDistributedView.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QStackedWidget>
#include <QTableView>

LibraryItemPresentations::LibraryItemPresentations(VXQLibraryItemViewController& browser,
                                                   LibraryItemIconSource& iconSource)
    : m_browser(browser)
    , m_iconSource(iconSource)
{
}

LibraryItemPresentations::~LibraryItemPresentations()
{
    if (m_icons) {
        m_icons->setDataSource(nullptr);
        m_icons->setDelegate(nullptr);
    }
    if (m_table)
        m_table->setModel(nullptr);
}

QStackedWidget* LibraryItemPresentations::build(QSizeF cellSize)
{
    auto* stack = new QStackedWidget;
    m_stack = stack;

    auto* iconView = new JXDistributedView;
    iconView->setAllowsMultipleSelection(true);
    stack->addWidget(iconView);

    auto* table = new QTableView;
    m_model = new LibraryItemTableModel(m_browser, table);
    table->setModel(m_model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setSectionsClickable(true);
    table->horizontalHeader()->setSortIndicatorShown(true);
    table->setIconSize(QSize(LibraryItemTableModel::kPreviewSide, LibraryItemTableModel::kPreviewSide));
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, &m_browser,
            [this] { m_browser.tableSelectionDidChange(); });
    connect(table->horizontalHeader(), &QHeaderView::sectionClicked, &m_browser,
            [this](int column) { m_browser.tableHeaderClicked(column); });
    stack->addWidget(table);
    m_table = table;
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, &m_browser, [this](QPoint position) {
        m_browser.showItemMenu(m_table->indexAt(position).row(), m_table->viewport()->mapToGlobal(position));
    });

    setIconView(iconView, cellSize);
    return stack;
}

bool LibraryItemPresentations::isBuilt() const
{
    return m_stack;
}

JXDistributedView* LibraryItemPresentations::iconView() const
{
    return m_icons;
}

QTableView* LibraryItemPresentations::listView() const
{
    return m_table;
}

void LibraryItemPresentations::show(int mode)
{
    m_mode = mode == ListMode ? ListMode : IconMode;
    if (m_stack)
        m_stack->setCurrentIndex(m_mode);
}

QWidget* LibraryItemPresentations::activeView() const
{
    if (m_mode == IconMode)
        return m_icons;
    return m_table;
}

void LibraryItemPresentations::installPrototype(JXDistributedView* view)
{
    // A cell that came with the view (a style button cell, for instance) is kept.
    if (view->prototype() && view->prototype()->className() != u"JXDistributedViewCell")
        return;
    auto cell = std::make_shared<ZQLabelledIconCell>();
    cell->setEditable(true);
    cell->setHighlightColour(VXQLibraryItemViewController::cellSelectionColour());
    cell->setTextBackgroundHighlightColour(QApplication::palette().color(QPalette::Highlight));
    view->setPrototype(cell);
    view->setCellInset(QSizeF(1, 1));
}

void LibraryItemPresentations::setIconView(JXDistributedView* iconView, QSizeF cellSize)
{
    if (!iconView || iconView == m_icons)
        return;
    if (m_icons) {
        m_icons->setDataSource(nullptr);
        m_icons->setDelegate(nullptr);
        if (m_stack) {
            m_stack->insertWidget(IconMode, iconView);
            m_stack->removeWidget(m_icons);
        }
        m_icons->deleteLater();
    }
    m_icons = iconView;
    installPrototype(iconView);
    iconView->setSizeToFit(false);
    iconView->viewport()->installEventFilter(this);
    iconView->setCellSize(cellSize);
    iconView->setDataSource(&m_iconSource);
    iconView->setDelegate(&m_iconSource);
    iconView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(iconView, &QWidget::customContextMenuRequested, &m_browser, [this, iconView](QPoint position) {
        m_browser.showItemMenu(iconView->getItemIndexAtPoint(iconView->documentPoint(position)),
                               iconView->viewport()->mapToGlobal(position));
    });
    if (m_stack)
        m_stack->setCurrentIndex(m_mode);
    iconView->reloadData();
}

void LibraryItemPresentations::setCellSize(QSizeF size)
{
    m_icons->setCellSize(size);
    m_icons->reloadData();
    fitIconViewToItsWidth();
}

void LibraryItemPresentations::setIconBackground(const QColor& colour)
{
    QPalette palette = m_icons->viewport()->palette();
    palette.setColor(QPalette::Base, colour);
    m_icons->viewport()->setPalette(palette);
    m_icons->viewport()->update();
}

void LibraryItemPresentations::reload()
{
    if (!isBuilt())
        return;
    if (m_mode == ListMode) {
        const JXIndexSet selected = selectedIndexes();
        m_model->reload();
        select(selected);
    } else {
        m_icons->reloadData();
        m_icons->updateSelectionSet();
        fitIconViewToItsWidth();
    }
}

void LibraryItemPresentations::itemNeedsDisplay(qint64 index)
{
    if (m_mode == ListMode)
        m_model->rowNeedsDisplay(int(index));
    else
        m_icons->itemNeedsDisplay(index);
}

void LibraryItemPresentations::fitIconViewToItsWidth()
{
    JXDistributedView* view = m_icons;
    const QSize shown = view->viewport()->size();
    // Positions follow the frame's width, so the width goes first and the height is measured.
    view->setFrameSize(QSizeF(shown.width(), 1));
    view->setFrameSize(QSizeF(shown.width(), std::max<double>(shown.height(), view->bestRect().height())));
    view->setNeedsDisplay();
}

bool LibraryItemPresentations::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && m_icons && watched == m_icons->viewport())
        fitIconViewToItsWidth();
    return QObject::eventFilter(watched, event);
}

double LibraryItemPresentations::rowHeight() const
{
    if (m_mode == ListMode)
        return m_table->verticalHeader()->defaultSectionSize();
    return m_icons->cellSize().height();
}

double LibraryItemPresentations::fixedHeight() const
{
    if (m_mode == ListMode)
        return m_table->horizontalHeader()->isHidden() ? 0.0 : m_table->horizontalHeader()->height();
    return m_icons->contentInset();
}

JXIndexSet LibraryItemPresentations::selectedIndexes() const
{
    if (!isBuilt())
        return {};
    if (m_mode == IconMode)
        return m_icons->selectedItemIndexes();
    JXIndexSet rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows())
        rows.insert(index.row());
    return rows;
}

void LibraryItemPresentations::select(const JXIndexSet& indexes)
{
    if (!isBuilt())
        return;
    if (m_mode == IconMode) {
        // The view takes an empty proposal as a refusal: clearing is its own call.
        if (indexes.empty())
            m_icons->deselectAll();
        else
            m_icons->selectItemsAtIndexesByExtendingSelection(indexes, false);
        return;
    }
    // Runs of rows as one range each: a selection model slows with every range it holds.
    QItemSelection selection;
    const int rows = m_model->rowCount();
    const int lastColumn = m_model->columnCount() - 1;
    qint64 runStart = -1, runEnd = -1;
    const auto closeRun = [&] {
        if (runStart >= 0)
            selection.select(m_model->index(int(runStart), 0), m_model->index(int(runEnd), lastColumn));
    };
    for (qint64 row : indexes) {
        if (row < 0 || row >= rows)
            continue;
        if (row != runEnd + 1 || runStart < 0) {
            closeRun();
            runStart = row;
        }
        runEnd = row;
    }
    closeRun();
    m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void LibraryItemPresentations::forgetSelections()
{
    if (m_icons)
        m_icons->deselectAll();
    if (m_table)
        m_table->clearSelection();
}

void LibraryItemPresentations::scrollToItem(qint64 index)
{
    if (m_mode == IconMode)
        m_icons->scrollItemToVisible(index);
    else
        m_table->scrollTo(m_model->index(int(index), 0));
}

void LibraryItemPresentations::beginRenaming(qint64 index)
{
    if (m_mode == ListMode) {
        const QModelIndex cell = m_model->index(int(index), m_model->columnWithIdentifier(QStringLiteral("name")));
        m_table->scrollTo(cell);
        m_table->edit(cell);
    } else {
        m_icons->scrollItemToVisible(index);
        m_icons->editItemIndexWithEventSelect(index, true);
    }
}

void LibraryItemPresentations::showSortIndicator(int column, bool ascending)
{
    if (m_table && column >= 0)
        m_table->horizontalHeader()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}
