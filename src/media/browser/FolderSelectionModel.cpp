#include "media/browser/FolderSelectionModel.h"

FolderSelectionModel::FolderSelectionModel(QAbstractItemModel* model, Proposal proposal, QObject* parent)
    : QItemSelectionModel(model, parent)
    , m_proposal(std::move(proposal))
{
}

void FolderSelectionModel::select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command)
{
    if (!(command & (Select | Toggle)) || selection.isEmpty()) {
        QItemSelectionModel::select(selection, command);
        return;
    }
    const QItemSelection accepted = m_proposal(selection);
    if (accepted.isEmpty())
        QItemSelectionModel::select(accepted, Clear);
    else
        QItemSelectionModel::select(accepted, command);
}
