#pragma once

// Widgets that stand in table cells (set with QAbstractItemView::setIndexWidget) and keep
// the row they stand for, so that their control's action can find its row.

#include <QPointer>
#include <QVariant>
#include <QWidget>

class QCheckBox;
class QComboBox;

// A cell holding a pop-up button.
class ZQPopUpMenuTableCellView : public QWidget {
    Q_OBJECT

public:
    explicit ZQPopUpMenuTableCellView(QWidget* parent = nullptr);

    QComboBox* popUpButton() const;
    void setPopUpButton(QComboBox* button);
    qint64 rowIndex() const { return m_rowIndex; }
    void setRowIndex(qint64 row) { m_rowIndex = row; }

private:
    QPointer<QComboBox> m_popUpButton;
    qint64 m_rowIndex = 0;
};

// A cell holding a check box whose state is the cell's object value (a boolean or an
// integer; a null value is off).
class ZQBooleanTableCellView : public QWidget {
    Q_OBJECT

public:
    explicit ZQBooleanTableCellView(QWidget* parent = nullptr);

    QVariant objectValue() const;
    void setObjectValue(const QVariant& value);

    QCheckBox* checkbox() const;
    void setCheckbox(QCheckBox* checkbox);
    qint64 rowIndex() const { return m_rowIndex; }
    void setRowIndex(qint64 row) { m_rowIndex = row; }

private:
    QPointer<QCheckBox> m_checkbox;
    qint64 m_rowIndex = 0;
};
