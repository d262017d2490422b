#include "symbols/transformers/editor/VXQBinningController.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "symbols/transformers/BinDataType.h"
#include "symbols/transformers/editor/BinPasteboard.h"
#include "symbols/transformers/editor/BinsTableModel.h"
#include "symbols/transformers/editor/ReturnKeyFilter.h"
#include "symbols/transformers/editor/VXQBinningView.h"
#include "widgets/cells/ImageCells.h"
#include "widgets/cells/RSVerticallyCenteredTextFieldCell.h"
#include "widgets/fields/SliderAndStepper.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

const QString kIndexColumn = QStringLiteral("index");
const QString kStartColumn = QStringLiteral("startValue");
const QString kEndColumn = QStringLiteral("endValue");
const QString kObjectColumn = QStringLiteral("representedObjectValue");

QString titleForDataType(int type)
{
    switch (type) {
    case bindata::Colour: return VXQBinningController::tr("Colour");
    case bindata::Image: return VXQBinningController::tr("Image");
    case bindata::Text: return VXQBinningController::tr("Text");
    case bindata::Value: return VXQBinningController::tr("Value");
    case bindata::Font: return VXQBinningController::tr("Font");
    default: return VXQBinningController::tr("Style");
    }
}

// The number a field or stepper holds; none for text that is no whole number.
std::optional<qint64> integerValueOf(QObject* sender)
{
    if (const auto* stepper = qobject_cast<ZQStepper*>(sender))
        return qint64(std::llround(stepper->doubleValue()));
    bool isNumber = false;
    const qint64 value = sender ? sender->property("text").toString().trimmed().toLongLong(&isNumber) : 0;
    return isNumber ? std::optional<qint64>(value) : std::nullopt;
}

// Colour arithmetic of the blend: straight interpolation of the RGBA components.
QColor colourBetween(const QColor& from, const QColor& to, double fraction)
{
    const auto mix = [fraction](float a, float b) { return a + float(fraction) * (b - a); };
    return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()), mix(from.blueF(), to.blueF()),
                            mix(from.alphaF(), to.alphaF()));
}

// A number typed into the table; none for text that is no number.
std::optional<double> numberOfValue(const QVariant& value)
{
    bool isNumber = false;
    const double number = value.metaType() == QMetaType::fromType<QString>()
                              ? value.toString().trimmed().replace(QStringLiteral("∞"), QStringLiteral("inf")).toDouble(&isNumber)
                              : value.toDouble(&isNumber);
    return isNumber && !std::isnan(number) ? std::optional<double>(number) : std::nullopt;
}

} // namespace

const QStringList& VXQBinningController::columnIdentifiers()
{
    static const QStringList identifiers{kIndexColumn, kStartColumn, kEndColumn, kObjectColumn};
    return identifiers;
}

VXQBinningController::VXQBinningController() = default;

VXQBinningController::~VXQBinningController() = default;

void VXQBinningController::loadIntoView(VXQBinningView* view)
{
    m_binsTable = new QTableView(view);
    m_tableModel = new BinsTableModel(this, m_binsTable);
    m_binsTable->setModel(m_tableModel);
    m_binsTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_binsTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_binsTable->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                 | QAbstractItemView::SelectedClicked);
    m_binsTable->verticalHeader()->hide();
    m_binsTable->horizontalHeader()->setStretchLastSection(true);
    m_binsTable->setDragDropMode(QAbstractItemView::DropOnly);
    m_binsTable->setDragDropOverwriteMode(true);
    m_binsTable->setDropIndicatorShown(true);
    m_binsTable->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_binsTable, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        showContextMenuForRow(m_binsTable->rowAt(position.y()), m_binsTable->viewport()->mapToGlobal(position));
    });
    for (const QString& column : {kIndexColumn, kStartColumn, kEndColumn})
        m_binsTable->setItemDelegateForColumn(BinsTableModel::columnOfIdentifier(column),
                                              new RSVerticallyCenteredTextFieldCell(m_binsTable));

    m_numberOfBinsTextField = new QLineEdit(view);
    m_numberOfBinsTextField->setValidator(new QIntValidator(m_numberOfBinsTextField));
    m_numberOfBinsTextField->setMaximumWidth(60);
    const auto commitCount = [this] {
        if (m_numberOfBinsTextField->isModified())
            numberOfBinsAction(m_numberOfBinsTextField);
        m_numberOfBinsTextField->setModified(false);
    };
    connect(m_numberOfBinsTextField, &QLineEdit::editingFinished, this, commitCount);
    new ReturnKeyFilter(m_numberOfBinsTextField, commitCount);
    m_numberOfBinsStepper = new ZQStepper(view);
    m_numberOfBinsStepper->setRange(1, kMaximumNumberOfBins);
    connect(m_numberOfBinsStepper, &ZQStepper::moved, this, [this] { numberOfBinsAction(m_numberOfBinsStepper); });

    m_dataTypePopUpButton = new QComboBox(view);
    for (int type = bindata::kFirstType; type <= bindata::kLastType; ++type)
        m_dataTypePopUpButton->addItem(titleForDataType(type), type);
    connect(m_dataTypePopUpButton, &QComboBox::activated, this, [this] { dataTypeAction(m_dataTypePopUpButton); });

    m_blendColoursButton = new QPushButton(tr("Blend Colours"), view);
    connect(m_blendColoursButton, &QPushButton::clicked, this, [this] { blendColoursAction(m_blendColoursButton); });
    m_spreadValuesButton = new QPushButton(tr("Spread Values"), view);
    connect(m_spreadValuesButton, &QPushButton::clicked, this, [this] { spreadValuesAction(m_spreadValuesButton); });

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(tr("Bins:"), view));
    controls->addWidget(m_numberOfBinsTextField);
    controls->addWidget(m_numberOfBinsStepper);
    controls->addSpacing(12);
    controls->addWidget(new QLabel(tr("Bins hold:"), view));
    controls->addWidget(m_dataTypePopUpButton);
    controls->addStretch();
    auto* commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(m_blendColoursButton);
    commands->addWidget(m_spreadValuesButton);
    auto* layout = new QVBoxLayout(view);
    layout->addLayout(controls);
    layout->addWidget(m_binsTable, 1);
    layout->addLayout(commands);
    refreshForDataType();
}

// --- Transformer and data type -------------------------------------------------------------------------

void VXQBinningController::setTransformer(const std::shared_ptr<VXQBinningDataTransformer>& transformer)
{
    m_transformer = transformer;
    showBinCount();
    // The stored type is shown even where the delegate would not allow it: the table shows
    // the bins as they are.
    refreshForDataType();
}

int VXQBinningController::outputDataType() const
{
    return m_transformer ? m_transformer->binDataType() : bindata::Style;
}

bool VXQBinningController::allowsOutputType(int type) const
{
    if (!m_delegateRef)
        return true;
    const QMetaMethod ask = platform::findMethod(m_delegateRef, "binningControllerShouldAllowOutputType", 2);
    if (!ask.isValid())
        return true;
    return platform::invokeMethod(m_delegateRef, ask, {QVariant::fromValue<QObject*>(const_cast<VXQBinningController*>(this)), type})
        .toBool();
}

void VXQBinningController::setOutputDataType(int type)
{
    if (!bindata::isValidType(type) || !allowsOutputType(type))
        return;
    if (m_transformer)
        m_transformer->setBinDataType(type);
    refreshForDataType();
}

void VXQBinningController::refreshForDataType()
{
    if (!m_binsTable)
        return;
    const int type = outputDataType();
    QAbstractItemDelegate* cell = nullptr;
    if (type == bindata::Text || type == bindata::Value)
        cell = new RSVerticallyCenteredTextFieldCell(m_binsTable);
    else if (type == bindata::Style || type == bindata::Image)
        cell = new ZQHighQualityImageCell(m_binsTable);
    else
        cell = new QStyledItemDelegate(m_binsTable);
    const int column = BinsTableModel::columnOfIdentifier(kObjectColumn);
    QAbstractItemDelegate* previous = m_binsTable->itemDelegateForColumn(column);
    m_binsTable->setItemDelegateForColumn(column, cell);
    if (previous)
        previous->deleteLater(); // it may be in the middle of an edit
    reloadTable();
    m_dataTypePopUpButton->setCurrentIndex(m_dataTypePopUpButton->findData(type));
    validateDataTypeItems();
    setControlsEnabled(m_controlsEnabled);
}

void VXQBinningController::validateDataTypeItems()
{
    auto* items = m_dataTypePopUpButton ? qobject_cast<QStandardItemModel*>(m_dataTypePopUpButton->model()) : nullptr;
    if (!items)
        return;
    for (int row = 0; row < items->rowCount(); ++row)
        items->item(row)->setEnabled(allowsOutputType(items->item(row)->data(Qt::UserRole).toInt()));
}

void VXQBinningController::setControlsEnabled(bool enabled)
{
    m_controlsEnabled = enabled;
    if (!m_binsTable)
        return;
    for (QWidget* control : std::initializer_list<QWidget*>{m_numberOfBinsStepper, m_numberOfBinsTextField, m_binsTable,
                                                            m_dataTypePopUpButton})
        control->setEnabled(enabled);
    m_blendColoursButton->setEnabled(enabled && outputDataType() == bindata::Colour);
}

void VXQBinningController::showBinCount()
{
    const int count = m_transformer ? m_transformer->countOfBins() : 0;
    if (m_numberOfBinsStepper)
        m_numberOfBinsStepper->setDoubleValue(count);
    if (m_numberOfBinsTextField)
        m_numberOfBinsTextField->setText(QString::number(count));
}

void VXQBinningController::reloadTable()
{
    if (m_tableModel)
        m_tableModel->reload();
}

VXQBinPtr VXQBinningController::binAtRow(int row) const
{
    return m_transformer ? m_transformer->bins().value(row) : nullptr;
}

// --- Actions -------------------------------------------------------------------------------------------------

void VXQBinningController::numberOfBinsAction(QObject* sender)
{
    const std::optional<qint64> count = integerValueOf(sender);
    if (count)
        setNumberOfBins(int(std::clamp<qint64>(*count, 1, kMaximumNumberOfBins)));
    showBinCount();
}

void VXQBinningController::setNumberOfBins(int count)
{
    if (!m_transformer)
        return;
    while (m_transformer->countOfBins() > count)
        m_transformer->removeBin(m_transformer->overflowBin());
    while (m_transformer->countOfBins() < count)
        m_transformer->addBinForStartValue(0);
    reloadTable();
}

void VXQBinningController::dataTypeAction(QObject* sender)
{
    const auto* popUp = qobject_cast<QComboBox*>(sender);
    if (!popUp)
        popUp = m_dataTypePopUpButton;
    if (popUp)
        setOutputDataType(popUp->currentData().toInt());
    // A refused type leaves the pop-up showing the type the bins have.
    refreshForDataType();
}

void VXQBinningController::blendColoursAction(QObject*)
{
    if (!m_transformer || outputDataType() != bindata::Colour || m_transformer->countOfBins() < 3)
        return;
    const QList<VXQBinPtr> bins = m_transformer->bins();
    const auto colourOf = [](const VXQBin& bin, const QColor& fallback) {
        const QColor colour = bin.representedObject().value<QColor>();
        return colour.isValid() ? colour : fallback;
    };
    const QColor from = colourOf(*bins.first(), Qt::red);
    const QColor to = colourOf(*bins.last(), Qt::yellow);
    const qsizetype count = bins.size();
    for (qsizetype i = 1; i < count - 1; ++i)
        bins[i]->setRepresentedObject(colourBetween(from, to, double(i) / double(count)));
    reloadTable();
}

void VXQBinningController::spreadValuesAction(QObject*)
{
    if (!m_transformer || !m_binsTable)
        return;
    QList<int> rows;
    for (const QModelIndex& index : m_binsTable->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.size() < 2)
        return;
    QList<VXQBinPtr> selected;
    for (int row : rows)
        selected.append(binAtRow(row));
    const double low = selected.first()->endValue();
    const double high = selected.last()->startValue();
    const qsizetype steps = selected.size() - 1;
    const float step = float((high - low) / double(steps));
    for (qsizetype i = 1; i < steps; ++i)
        selected[i]->setStartValue(low + double(i) * double(step));
    selected.last()->setStartValue(high);
    reloadTable();
}

void VXQBinningController::pasteMenuAction(QObject*)
{
    if (!binAtRow(m_clickedRow))
        return;
    if (const std::optional<QVariant> object =
            binpasteboard::objectForDataType(platform::Pasteboard::generalPasteboard(), outputDataType()))
        setRowObject(m_clickedRow, *object);
}

void VXQBinningController::setRowObject(int row, const QVariant& object)
{
    if (const VXQBinPtr bin = binAtRow(row)) {
        bin->setRepresentedObject(object);
        reloadTable();
    }
}

bool VXQBinningController::pasteboardHasObjectForCurrentType() const
{
    return binpasteboard::objectForDataType(platform::Pasteboard::generalPasteboard(), outputDataType()).has_value();
}

QString VXQBinningController::pasteItemTitle() const
{
    QString object = representedObjectColumnTitle();
    if (outputDataType() == bindata::Style) {
        const auto style = binpasteboard::objectForDataType(platform::Pasteboard::generalPasteboard(), bindata::Style)
                               .value_or(QVariant())
                               .value<VXStylePtr>();
        if (style && !style->name().isEmpty())
            object = tr("Style '%1'").arg(style->name());
    }
    return tr("Paste %1").arg(object);
}

bool VXQBinningController::validateMenuItem(platform::MenuItem* item)
{
    if (!item)
        return false;
    if (item->action() == "dataTypeAction")
        return allowsOutputType(item->tag());
    if (item->action() == "pasteMenuAction") {
        item->setTitle(pasteItemTitle());
        return binAtRow(m_clickedRow) && pasteboardHasObjectForCurrentType();
    }
    return false;
}

void VXQBinningController::showContextMenuForRow(int row, const QPoint& globalPosition)
{
    m_clickedRow = row;
    QMenu menu;
    auto* paste = new platform::MenuItem(tr("Paste"), "pasteMenuAction", &menu);
    paste->setTarget(this);
    menu.addAction(paste);
    paste->validate();
    menu.exec(globalPosition);
}

// --- Table data source -----------------------------------------------------------------------------------

int VXQBinningController::numberOfRowsInTableView() const
{
    return m_transformer ? m_transformer->countOfBins() : 0;
}

QVariant VXQBinningController::tableViewObjectValueForTableColumnRow(const QString& column, int row) const
{
    const VXQBinPtr bin = binAtRow(row);
    return bin && columnIdentifiers().contains(column) ? bin->valueForKey(column) : QVariant();
}

void VXQBinningController::tableViewSetObjectValueForTableColumnRow(const QVariant& value, const QString& column, int row)
{
    const VXQBinPtr bin = binAtRow(row);
    if (!bin || column == kIndexColumn || !columnIdentifiers().contains(column))
        return;
    if (column == kObjectColumn && outputDataType() == bindata::Colour && value.metaType() == QMetaType::fromType<QString>()) {
        // A colour is typed by name or "#RRGGBB".
        bin->setRepresentedObjectValue(QColor(value.toString().trimmed()));
    } else if (column == kObjectColumn && outputDataType() != bindata::Value) {
        bin->setRepresentedObjectValue(value);
    } else if (const std::optional<double> number = numberOfValue(value)) {
        // Values are single precision as typed; starts and ends are kept as they read.
        bin->setValueForKey(column == kObjectColumn ? double(float(*number)) : *number, column);
    }
    reloadTable();
}

bool VXQBinningController::tableViewShouldEditTableColumnRow(const QString& column, int row) const
{
    if (column == kStartColumn)
        return row > 0;
    if (column == kEndColumn)
        return row < numberOfRowsInTableView() - 1;
    if (column == kObjectColumn) {
        const int type = outputDataType();
        return type == bindata::Colour || type == bindata::Text || type == bindata::Value;
    }
    return false;
}

QString VXQBinningController::representedObjectColumnTitle() const
{
    return titleForDataType(outputDataType());
}

bool VXQBinningController::tableViewValidateDropRow(const platform::Pasteboard& pasteboard, int row) const
{
    return binAtRow(row) && binpasteboard::objectForDataType(pasteboard, outputDataType()).has_value();
}

bool VXQBinningController::tableViewAcceptDropRow(const platform::Pasteboard& pasteboard, int row)
{
    const std::optional<QVariant> object = binpasteboard::objectForDataType(pasteboard, outputDataType());
    if (!object || !binAtRow(row))
        return false;
    setRowObject(row, *object);
    return true;
}

// --- Controls ---------------------------------------------------------------------------------------------

QLineEdit* VXQBinningController::numberOfBinsTextField() const { return m_numberOfBinsTextField; }
ZQStepper* VXQBinningController::numberOfBinsStepper() const { return m_numberOfBinsStepper; }
QTableView* VXQBinningController::binsTable() const { return m_binsTable; }
QComboBox* VXQBinningController::dataTypePopUpButton() const { return m_dataTypePopUpButton; }
QPushButton* VXQBinningController::blendColoursButton() const { return m_blendColoursButton; }
QPushButton* VXQBinningController::spreadValuesButton() const { return m_spreadValuesButton; }
