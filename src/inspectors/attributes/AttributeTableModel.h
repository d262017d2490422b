#pragma once

// The attribute editor's rows as a table: the key in upper case, the type pop-up's entry and
// the value. The rows are what the editor had read when they were last reloaded, so drawing
// them never reads the objects again; edits made in the table go to the editor, which may
// refuse them.
//
// Value cells by type: a check box for Yes/No (partly checked where the objects differ), a
// colour swatch for colours (AttributeValueDelegate), text for the others; where the objects
// differ the text is "<multiple values>" in red and editing starts empty.

#include "inspectors/attributes/CommonAttributes.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

class VXQAttributeController;

class AttributeTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The row's shared framework type code (-1 where types differ), and whether values differ.
    static constexpr int kTypeRole = Qt::UserRole + 1;
    static constexpr int kMixedRole = Qt::UserRole + 2;

    explicit AttributeTableModel(VXQAttributeController* controller, QObject* parent = nullptr);

    // Takes the editor's rows afresh.
    void reload();
    QString keyForRow(int row) const { return m_keys.value(row); }
    // While an edit made in the table is being stored: the rows must not be reset under the
    // view's commit, which still holds its editor.
    bool isCommittingEdit() const { return m_committingEdit; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    // The value as its cell shows it: numbers and text as they are, dates as ISO dates.
    static QString textForValue(const QVariant& value);

private:
    QVariant valueData(const CommonAttributes::Entry& entry, int role) const;
    const CommonAttributes::Entry* entryForRow(int row) const;

    QPointer<VXQAttributeController> m_controller;
    QStringList m_keys;
    std::shared_ptr<const CommonAttributes> m_items;
    bool m_committingEdit = false;
};
