#pragma once

// A selection model that lets its owner rewrite every proposed selection before it is made,
// whether it comes from a click, the keyboard or code.

#include <QItemSelectionModel>
#include <functional>

class FolderSelectionModel : public QItemSelectionModel {
    Q_OBJECT

public:
    using Proposal = std::function<QItemSelection(const QItemSelection& proposed)>;

    FolderSelectionModel(QAbstractItemModel* model, Proposal proposal, QObject* parent = nullptr);

    using QItemSelectionModel::select;
    void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override;

private:
    Proposal m_proposal;
};
