#pragma once

// An outline view that paints its selection itself: every run of consecutive selected rows
// gets one continuous gradient, of which each row paints its own slice. Rows are counted in
// display order (expanded children included) and have one height. It never takes the focus.
//
// Painting walks only the runs that meet the rows being painted, so a selection of tens of
// thousands of runs costs a frame no more than a few.

#include "widgets/outline/IndexRuns.h"

#include <QHash>
#include <QTreeView>

class VLTMCustomHighlightOutlineView : public QTreeView {
    Q_OBJECT

public:
    explicit VLTMCustomHighlightOutlineView(QWidget* parent = nullptr);

    // Draws into `painter` (on the viewport) the slices of the selection gradients that lie in
    // `rect`, the area of a row being painted.
    void drawCustomSelectionHighlightForView(QPainter& painter, const QRect& rect) const;
    // Marks for repainting the area of every run of these display rows; rows beyond the
    // count are ignored.
    void invalidateCustomRowsAtIndexes(const QList<int>& rows);

    // The runs of selected display rows, and the area of a run in the viewport.
    const std::vector<IndexRun>& selectedRuns() const;
    QRect areaOfRun(const IndexRun& run) const;
    // -1 for an index that is not shown.
    int displayRowOf(const QModelIndex& index) const;

    void setModel(QAbstractItemModel* model) override;
    void setSelectionModel(QItemSelectionModel* selectionModel) override;

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void forgetRows();
    void forgetRuns() { m_runsValid = false; }
    void ensureRows() const;
    void drawBranchIndicators(QPainter* painter, const QRect& rect, const QModelIndex& index) const;
    // Levels below the root index.
    int depthOf(const QModelIndex& index) const;
    // The display row at the top of the viewport and the height of every row.
    bool topRow(int* row, int* top, int* height) const;

    // Display order and runs, rebuilt after a change of the model, the expansion or the selection.
    mutable QHash<QModelIndex, int> m_rowOf;
    mutable bool m_rowsValid = false;
    mutable std::vector<IndexRun> m_runs;
    mutable bool m_runsValid = false;
};
