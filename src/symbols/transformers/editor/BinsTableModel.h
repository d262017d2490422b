#pragma once

// The bins table's item model: rows and values come from the binning controller (its table
// data source), by column identifier. Display text formats numbers ("-∞" and "∞" for the
// open ends, values with two decimals); colours and images show as decorations. Drops go
// onto a row, never between rows.

#include <QAbstractTableModel>
#include <QPointer>

class VXQBinningController;

class BinsTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit BinsTableModel(VXQBinningController* controller, QObject* parent = nullptr);

    // The column of an identifier; -1 for none.
    static int columnOfIdentifier(const QString& identifier);
    // How the table shows a start or end value: at most four decimals, "-∞" and "∞" for the ends.
    static QString textForNumber(double value);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    // Everything may have changed: bins added, removed, re-sorted or retyped.
    void reload();

private:
    QVariant displayValue(const QString& column, const QVariant& value) const;

    QPointer<VXQBinningController> m_controller;
};
