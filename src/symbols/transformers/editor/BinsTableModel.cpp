#include "symbols/transformers/editor/BinsTableModel.h"

#include "platform/ui/Pasteboard.h"
#include "symbols/transformers/BinDataType.h"
#include "symbols/transformers/editor/BinPasteboard.h"
#include "symbols/transformers/editor/VXQBinningController.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QImage>
#include <QMimeData>
#include <cmath>

namespace {

const QString kRepresentedObjectColumn = QStringLiteral("representedObjectValue");

QString columnTitle(const QString& identifier)
{
    if (identifier == QLatin1String("index"))
        return QStringLiteral("#");
    if (identifier == QLatin1String("startValue"))
        return QCoreApplication::translate("BinsTableModel", "Start");
    return QCoreApplication::translate("BinsTableModel", "End");
}

} // namespace

BinsTableModel::BinsTableModel(VXQBinningController* controller, QObject* parent)
    : QAbstractTableModel(parent), m_controller(controller)
{
}

int BinsTableModel::columnOfIdentifier(const QString& identifier)
{
    return int(VXQBinningController::columnIdentifiers().indexOf(identifier));
}

QString BinsTableModel::textForNumber(double value)
{
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-∞") : QStringLiteral("∞");
    // Four decimals at most: spread values are single precision, whose last digits are noise.
    QString text = QString::number(value, 'f', 4);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

int BinsTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_controller ? 0 : m_controller->numberOfRowsInTableView();
}

int BinsTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(VXQBinningController::columnIdentifiers().size());
}

QVariant BinsTableModel::data(const QModelIndex& index, int role) const
{
    if (!m_controller || !index.isValid())
        return {};
    const QString column = VXQBinningController::columnIdentifiers().value(index.column());
    const QVariant value = m_controller->tableViewObjectValueForTableColumnRow(column, index.row());
    switch (role) {
    case Qt::DisplayRole:
        return displayValue(column, value);
    case Qt::EditRole:
        // Numbers and colours are edited as text in the plain line editor.
        if (column != kRepresentedObjectColumn || m_controller->outputDataType() == bindata::Value)
            return textForNumber(value.toDouble());
        return displayValue(column, value);
    case Qt::DecorationRole:
        if (value.metaType() == QMetaType::fromType<QColor>() || value.metaType() == QMetaType::fromType<QImage>())
            return value;
        return {};
    case Qt::FontRole:
        return value.metaType() == QMetaType::fromType<QFont>() ? value : QVariant();
    default:
        return {};
    }
}

QVariant BinsTableModel::displayValue(const QString& column, const QVariant& value) const
{
    if (column == QLatin1String("index"))
        return value;
    if (column != kRepresentedObjectColumn)
        return textForNumber(value.toDouble());
    switch (m_controller->outputDataType()) {
    case bindata::Colour: return value.value<QColor>().isValid() ? value.value<QColor>().name() : QString();
    case bindata::Text: return value;
    case bindata::Value: return QString::number(value.toDouble(), 'f', 2);
    case bindata::Font: {
        const QFont font = value.value<QFont>();
        return value.isValid() ? QStringLiteral("%1 %2").arg(font.family()).arg(font.pointSizeF()) : QString();
    }
    default: return {};
    }
}

bool BinsTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_controller || !index.isValid() || role != Qt::EditRole)
        return false;
    // An editor closed without a change leaves the value as it was, not as it was shown.
    if (value == data(index, Qt::EditRole))
        return true;
    m_controller->tableViewSetObjectValueForTableColumnRow(
        value, VXQBinningController::columnIdentifiers().value(index.column()), index.row());
    return true;
}

Qt::ItemFlags BinsTableModel::flags(const QModelIndex& index) const
{
    if (!m_controller || !index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    if (m_controller->tableViewShouldEditTableColumnRow(VXQBinningController::columnIdentifiers().value(index.column()),
                                                        index.row()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant BinsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !m_controller)
        return QAbstractTableModel::headerData(section, orientation, role);
    const QString identifier = VXQBinningController::columnIdentifiers().value(section);
    return identifier == kRepresentedObjectColumn ? m_controller->representedObjectColumnTitle() : columnTitle(identifier);
}

QStringList BinsTableModel::mimeTypes() const
{
    return binpasteboard::acceptedMimeTypes();
}

bool BinsTableModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int, const QModelIndex& parent) const
{
    return m_controller && data && parent.isValid()
        && m_controller->tableViewValidateDropRow(platform::Pasteboard(data), parent.row());
}

bool BinsTableModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                  const QModelIndex& parent)
{
    return canDropMimeData(data, action, row, column, parent)
        && m_controller->tableViewAcceptDropRow(platform::Pasteboard(data), parent.row());
}

void BinsTableModel::reload()
{
    beginResetModel();
    endResetModel();
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}
