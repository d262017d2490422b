#pragma once

// The layers panel's outline. Every row shows a 5-point bar in its layer's selection colour at
// the left edge (objects take their layer's; slices have none), a thin rule along its bottom,
// the selected-row gradient when selected and a rounded drop highlight while a drag would
// drop on it. It never takes the keyboard focus unless told to, and a click on a row's button
// or colour well works that control without selecting the row: the press is followed until
// the release, which must fall inside the same control.

#include <QPersistentModelIndex>
#include <QTreeView>

class QMimeData;

class VLTMLayersController;

class LayersOutlineView : public QTreeView {
    Q_OBJECT

public:
    static constexpr int kColourBarWidth = 5;

    explicit LayersOutlineView(VLTMLayersController* controller, QWidget* parent = nullptr);

    bool acceptsFirstResponder() const { return m_acceptsFirstResponder; }
    void setAcceptsFirstResponder(bool accepts);

    // Rows are measured again (compact rows changed).
    void rowHeightsDidChange();
    // The row a drag would drop onto, highlighted; invalid for none.
    void setDropTargetRow(const QModelIndex& index);

    // The colour of the row's bar: its layer's selection colour, or its object's layer's;
    // invalid for slices, other rows and layers without one.
    static QColor colourBarColourOfItem(const QObject* item);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The control of a row under the point, with the cell it lies in.
    struct ControlHit {
        QPersistentModelIndex index;
        int control = 0;
        QRect cell;
    };
    ControlHit controlAt(QPoint point) const;
    // A context click: the opacity popover on an object layer's visibility button, else the
    // menu of the row (or of the panel below the rows), leaving the selection as it is.
    void contextClickAt(QPoint point, QPoint globalPoint);
    // Where a drop at the point is proposed: the parent item (null for the top level) and the
    // child position, -1 for onto the row under the point.
    std::pair<QObject*, int> dropProposalAt(QPoint point) const;
    // The panel's drag type the drag offers, the layer type first; empty for none.
    static QString dragTypeOf(const QMimeData* data);

    VLTMLayersController* m_controller;
    bool m_acceptsFirstResponder = false;
    ControlHit m_trackedControl;
    QPersistentModelIndex m_dropTarget;
};
