#pragma once

// Paints the cells of the layers outline and answers which of their controls a point hits:
// in the name column a layer row shows its icon, name, info line, visibility and lock
// buttons, delete button and, when it has one, a well of its selection colour (on the
// drawing's top row only the well), an object row its icon,
// name, visibility and lock buttons, a slice row its icon, name, visibility and colour; the
// active column marks the active layer in its selection colour. Names are edited in place.

#include <QPointer>
#include <QStyledItemDelegate>

class QVariantAnimation;

class VLTMLayersController;
class LayerTreeModel;

class LayerRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    enum Control { NoControl, VisibilityControl, LockControl, DeleteControl, ActiveControl, ColourControl };

    // Where a row's parts lie in a cell of `rect`.
    struct Layout {
        QRect icon, name, info, visibility, lock, remove, indicator;
    };
    static Layout layoutOfCell(const QRect& rect, const QObject* item, int column, bool compact);
    // The enabled control of the item's cell at `point`; NoControl when none.
    static Control controlAtPoint(const QRect& cell, const QObject* item, int column, bool compact, QPoint point);

    static constexpr int kFadeDuration = 200; // milliseconds

    LayerRowDelegate(VLTMLayersController* controller, QObject* parent = nullptr);

    // Small rows show no info line and a smaller name field; tall ones fade their info line in,
    // through an animation when asked (a small row has no room for a line fading out).
    void layoutViewsForSmallRowHeightAnimated(bool small, bool animated);
    double infoOpacity() const { return m_infoOpacity; }

    // Carries out a click released on the control: Alt on a layer's visibility hides the
    // other layers, Alt with Ctrl shows them all.
    void performControl(QObject* item, Control control, Qt::KeyboardModifiers modifiers) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    const LayerTreeModel& model() const;
    void paintNameCell(QPainter& painter, const QStyleOptionViewItem& option, QObject* item) const;
    void paintActiveCell(QPainter& painter, const QStyleOptionViewItem& option, const QObject* item) const;

    VLTMLayersController* m_controller;
    QPointer<QVariantAnimation> m_fade;
    double m_infoOpacity = 1.0;
};
