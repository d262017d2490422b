#pragma once

// A map legend kept as a text table inside a text shape: each row of the data source becomes
// one cell of one table in the shape's text, flowing row by row over numberOfColumns columns
// (row i at table row i / columns, column i mod columns). Every character of a cell carries
// kVXQKeyTableItemIndexAttributeName = its row, and each cell ends with "\n", so a cell is
// one paragraph. A rebuild keeps each cell's own look and any text outside the cells; new
// cells take the look of cell 0, or textAttributesForTableCells when there is none.
//
// A rebuild follows the data: it registers no undo of its own (undoing the data's change
// rebuilds the table). When the user edits a cell in place, the shape reports it here and the
// cell's new text (without its "\n") goes to the data source; rebuilds are refused meanwhile,
// so the text being edited is not overwritten.
//
// Archive: "VXQKeyTable_textShape" (and "VXQKeyTable_numberOfColumns"); data source and
// delegate are set again by their owner.

#include "platform/foundation/ZQObject.h"
#include "platform/graphics/AttributedString.h"
#include "platform/vantrix/drawables/VXTextShape.h"

#include <QHash>
#include <QPointer>
#include <QSizeF>

class VXQKeyTableDatasource;
using VXTextShapePtr = std::shared_ptr<VXTextShape>;

inline const QString kVXQKeyTableItemIndexAttributeName = QStringLiteral("VXQKeyTableItemIndexAttributeName");

class VXQKeyTable : public ZQObject {
    Q_OBJECT

public:
    // What a missing cell or character outside the cells answers.
    static constexpr qsizetype kNotFound = -1;

    VXQKeyTable();
    ~VXQKeyTable() override;

    // A QObject implementing VXQKeyTableDatasource, or null; another object raises.
    void setDatasource(QObject* datasource);
    QObject* datasource() const { return m_datasourceObject; }
    // Set by the table's owner; the table itself never uses it.
    void setDelegate(QObject* delegate) { m_delegate = delegate; }
    QObject* delegate() const { return m_delegate; }

    // Links the shape back to the table (when it is a key-table shape) and rebuilds it.
    void setTextShape(const VXTextShapePtr& shape);
    const VXTextShapePtr& textShape() const { return m_textShape; }

    qsizetype numberOfColumns() const { return m_numberOfColumns; }
    // 0 is ignored; another count rebuilds the table.
    void setNumberOfColumns(qsizetype columns);
    // The proposed size of a new table's shape: 250 points per column by 150.
    QSizeF tableSize() const;

    // Gives the shape the rebuilt text, unless a cell edit is being passed back or there is
    // no data source.
    void reloadData();
    // The shape's text with every row's cell in place (see the header note).
    platform::AttributedString tableString() const;
    // 14 point "Helvetica Bold" in black.
    static platform::TextAttributes textAttributesForTableCells();

    // The user changed `text` (the shape's text as edited) with the caret at `index`: the
    // cell there goes to the data source. A caret at the very end stands in the last cell;
    // one outside every cell is ignored.
    void textDidEditCharacterAtIndex(const platform::AttributedString& text, qsizetype index);
    bool isEditing() const { return m_isEditing; }

    // --- The cells of a text -------------------------------------------------------------------
    // The first stretch of text carrying the row `item`; {kNotFound, 0} when there is none.
    static platform::TextRange rangeOfTextForItemIndex(const platform::AttributedString& text, qsizetype item);
    // The row of the cell at `index`, kNotFound outside every cell.
    static qsizetype itemIndexInTextAtCharacterIndex(const platform::AttributedString& text, qsizetype index);
    // The table holding the cell, none without one.
    static std::shared_ptr<platform::TextTable> tableInTextForItemIndex(const platform::AttributedString& text,
                                                                       qsizetype item);

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    VXQKeyTableDatasource* source() const;
    // `string` + "\n" as a cell of `table` at the row's place, in `attributes` otherwise.
    platform::AttributedString cellText(const QString& string, qsizetype item, platform::TextAttributes attributes,
                                        const std::shared_ptr<platform::TextTable>& table) const;

    VXTextShapePtr m_textShape;
    QPointer<QObject> m_datasourceObject;
    QPointer<QObject> m_delegate;
    qsizetype m_numberOfColumns = 1;
    bool m_isEditing = false;
};

using VXQKeyTablePtr = std::shared_ptr<VXQKeyTable>;
