#pragma once

// The rows of the undo history: the name of every undoable group, oldest first, then of every
// redoable group, the next redo first. Rows past the current undo position are not done and
// read in italic. The names are rebuilt when a top-level group closes or the manager changes.

#include <QAbstractListModel>
#include <QFont>
#include <QPointer>
#include <optional>

class ZQUndoManager;

class UndoHistoryListModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit UndoHistoryListModel(QObject* parent = nullptr);
    ~UndoHistoryListModel() override;

    ZQUndoManager* undoManager() const;
    void setUndoManager(ZQUndoManager* undoManager);

    // The row of the most recent done action; -1 when nothing can be undone.
    int indexOfCurrentUndoPosition() const;
    const QStringList& orderedUndoAndRedoTaskNames() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Forgets the names and tells the views.
    void undoUpdated();

private:
    QPointer<ZQUndoManager> m_undoManager;
    mutable std::optional<QStringList> m_cachedTaskNames;
};
