#pragma once

// The attribute table's cells that are more than text: the type column edits with a pop-up
// of the types; the value column shows a colour row as the kit's colour swatch, which pops
// its picker up on a click, and every other row as the standard cell.

#include <QStyledItemDelegate>

class ZQColourCell;

class AttributeTypeDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // A pop-up with one entry per type, tagged with its index.
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};

class AttributeValueDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit AttributeValueDelegate(QObject* parent = nullptr);

    ZQColourCell* colourCell() const { return m_colourCell; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    static bool isColourSwatch(const QModelIndex& index);

    ZQColourCell* m_colourCell;
};
