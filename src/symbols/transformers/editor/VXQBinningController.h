#pragma once

// The bins editor of the data-transformer sheet: a table of the transformer's bins (columns
// "index", "startValue", "endValue", "representedObjectValue"), the number of bins with a
// stepper, a pop-up of the bins' data type and the commands blend colours and spread values.
// Bins can take an object by paste (the table's context menu) or by a drop on their row.
//
// The table's first start and last end are open (negative and positive infinity) and cannot
// be edited; neither can the index, nor styles, images and fonts, which come by paste and
// drop. Edits that are not numbers change nothing. A start or end edit keeps the bins in order.
//
// The delegate (the transformer editor) is asked with its invokable
// `bool binningControllerShouldAllowOutputType(VXQBinningController*, int)` which data types
// the output property takes; without it every type is allowed.
//
// Cells: text and value bins draw in the centred text cell, styles and images in the image
// cell; colours show a swatch and their "#RRGGBB" name, typed as a name or in that form; fonts
// show their name.

#include "platform/foundation/ZQObject.h"
#include "symbols/transformers/VXQBinningDataTransformer.h"

#include <QPointer>

class BinsTableModel;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
class VXQBinningView;
class ZQStepper;
namespace platform {
class MenuItem;
class Pasteboard;
} // namespace platform

class VXQBinningController : public ZQObject {
    Q_OBJECT

public:
    // Column identifiers of the bins table, in order.
    static const QStringList& columnIdentifiers();
    // The number of bins field takes no more than this: a transformer with thousands of bins
    // is a typing slip, and the table would grow with it.
    static constexpr int kMaximumNumberOfBins = 1000;

    VXQBinningController();
    ~VXQBinningController() override;

    // Builds the controls into `view` (the sheet's binning area).
    void loadIntoView(VXQBinningView* view);

    QObject* delegate() const { return m_delegateRef; }
    void setDelegate(QObject* delegate) { m_delegateRef = delegate; }

    const std::shared_ptr<VXQBinningDataTransformer>& transformer() const { return m_transformer; }
    // Shows its bins and count and re-applies its data type; null empties the table.
    void setTransformer(const std::shared_ptr<VXQBinningDataTransformer>& transformer);

    int outputDataType() const;
    // Ignored when the delegate does not allow the type; otherwise the bins switch to it, the
    // table shows their objects of that kind and the pop-up selects it.
    void setOutputDataType(int type);
    // Whether the delegate allows the type (every type without a delegate that answers).
    bool allowsOutputType(int type) const;
    // Enables the data-type pop-up items the delegate allows.
    void validateDataTypeItems();
    void setControlsEnabled(bool enabled);

    // --- Actions ---------------------------------------------------------------------------------------
    // The sender's number (a field's text or the stepper's value), 1 to kMaximumNumberOfBins:
    // bins are removed from the end or empty ones added. Text that is no number changes nothing.
    Q_INVOKABLE void numberOfBinsAction(QObject* sender);
    // The data type of the pop-up's selected item.
    Q_INVOKABLE void dataTypeAction(QObject* sender = nullptr);
    // Colour bins from the third: the middle bins take the colours from the first bin's
    // (red when none) to the last's (yellow when none), bin i at i / count of the way.
    Q_INVOKABLE void blendColoursAction(QObject* sender = nullptr);
    // With two or more rows selected, the first f and last l: the rows after f start evenly
    // from f's end to l's start, the last at l's start.
    Q_INVOKABLE void spreadValuesAction(QObject* sender = nullptr);
    // The general pasteboard's object of the current kind goes to the clicked row's bin.
    Q_INVOKABLE void pasteMenuAction(QObject* sender = nullptr);
    // Data-type items by the delegate; the paste item when a row was clicked and the general
    // pasteboard holds an object of the kind (titled "Paste <kind>", for styles "Paste
    // Style '<name>'"); other items are disabled.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- Table data source -----------------------------------------------------------------------------
    int numberOfRowsInTableView() const;
    QVariant tableViewObjectValueForTableColumnRow(const QString& column, int row) const;
    // Numbers may come as text; what does not read changes nothing.
    void tableViewSetObjectValueForTableColumnRow(const QVariant& value, const QString& column, int row);
    bool tableViewShouldEditTableColumnRow(const QString& column, int row) const;
    // The title of the "representedObjectValue" column for the current type.
    QString representedObjectColumnTitle() const;
    // A drop of an object of the current kind onto an existing row.
    bool tableViewValidateDropRow(const platform::Pasteboard& pasteboard, int row) const;
    bool tableViewAcceptDropRow(const platform::Pasteboard& pasteboard, int row);

    // The row the context menu was opened on; -1 for none.
    int clickedRow() const { return m_clickedRow; }
    void setClickedRow(int row) { m_clickedRow = row; }
    // The menu of a right click on `row`: the paste item, validated.
    void showContextMenuForRow(int row, const QPoint& globalPosition);

    // --- Controls (made by loadIntoView) ------------------------------------------------------------
    QLineEdit* numberOfBinsTextField() const;
    ZQStepper* numberOfBinsStepper() const;
    QTableView* binsTable() const;
    QComboBox* dataTypePopUpButton() const;
    QPushButton* blendColoursButton() const;
    QPushButton* spreadValuesButton() const;

private:
    void setNumberOfBins(int count);
    void showBinCount();
    void refreshForDataType();
    void reloadTable();
    void setRowObject(int row, const QVariant& object);
    VXQBinPtr binAtRow(int row) const;
    bool pasteboardHasObjectForCurrentType() const;
    QString pasteItemTitle() const;

    QPointer<QLineEdit> m_numberOfBinsTextField;
    QPointer<ZQStepper> m_numberOfBinsStepper;
    QPointer<QTableView> m_binsTable;
    QPointer<QComboBox> m_dataTypePopUpButton;
    QPointer<QPushButton> m_blendColoursButton;
    QPointer<QPushButton> m_spreadValuesButton;
    BinsTableModel* m_tableModel = nullptr; // owned by the table
    std::shared_ptr<VXQBinningDataTransformer> m_transformer;
    QPointer<QObject> m_delegateRef;
    bool m_controlsEnabled = true;
    int m_clickedRow = -1;
};
