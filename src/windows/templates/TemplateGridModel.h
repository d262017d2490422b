#pragma once

// The chooser's grid content: one row per template item, showing its name, its thumbnail (asked
// for only when a cell is painted) and its size text in the media grid's subtitle role, so the
// media browser's thumbnail view and cells show it.

#include "windows/templates/QVNTemplateItem.h"

#include <QAbstractListModel>

class TemplateGridModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    const QList<QVNTemplateItemPtr>& templates() const { return m_templates; }
    void setTemplates(const QList<QVNTemplateItemPtr>& templates);
    QVNTemplateItemPtr itemAt(int row) const { return m_templates.value(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void imageChanged(const QVNTemplateItem* item);

    QList<QVNTemplateItemPtr> m_templates;
};
