#pragma once

// The export sheet's sources table: one row per source of the operation, with a check box
// that shows and edits the source's own `visible` (only visible sources are exported), its
// name and the size it comes out at. The check box changes the document itself and is not
// undone; neither Cancel nor Undo brings the old visibility back.

#include "panels/export/VLTMExportOperation.h"

#include <QAbstractTableModel>

class ExportSourcesTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kCheck = 0, kName = 1, kSize = 2 };

    explicit ExportSourcesTableModel(QObject* parent = nullptr);

    void setOperation(const VLTMExportOperationPtr& operation);
    // The sources changed (or the scale: the size column).
    void reload();
    void setNameHeader(const QString& title);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Every source shown (or hidden), as All / None do.
    void setAllSourcesVisible(bool visible);

Q_SIGNALS:
    // A source was shown or hidden: whether anything can be exported may have changed.
    void visibilityEdited();

private:
    static QString columnIdentifier(int column);
    void setVisibleOfSource(ZQObject& source, bool visible);

    VLTMExportOperationPtr m_operation;
    QString m_nameHeader;
};
