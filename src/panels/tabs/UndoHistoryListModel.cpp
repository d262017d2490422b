#include "panels/tabs/UndoHistoryListModel.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQUndoManager.h"

namespace {

constexpr double kRowFontSize = 12.0;

const QFont& notDoneFont()
{
    static const QFont font = [] {
        QFont italic;
        italic.setPointSizeF(kRowFontSize);
        italic.setItalic(true);
        return italic;
    }();
    return font;
}

} // namespace

UndoHistoryListModel::UndoHistoryListModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

UndoHistoryListModel::~UndoHistoryListModel()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

ZQUndoManager* UndoHistoryListModel::undoManager() const
{
    return m_undoManager;
}

void UndoHistoryListModel::setUndoManager(ZQUndoManager* undoManager)
{
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    center.removeObserver(this);
    m_undoManager = undoManager;
    if (undoManager)
        center.addObserver(this, ZQUndoManagerDidCloseTopLevelGroup, undoManager,
                           [this](const platform::Notification&) { undoUpdated(); });
    undoUpdated();
}

void UndoHistoryListModel::undoUpdated()
{
    beginResetModel();
    m_cachedTaskNames.reset();
    endResetModel();
}

int UndoHistoryListModel::indexOfCurrentUndoPosition() const
{
    return m_undoManager ? m_undoManager->numberOfUndoActions() - 1 : -1;
}

const QStringList& UndoHistoryListModel::orderedUndoAndRedoTaskNames() const
{
    if (!m_cachedTaskNames) {
        QStringList names;
        if (m_undoManager) {
            for (const ZQUndoManager::Group& group : m_undoManager->undoStack())
                names << group->actionName();
            const QList<ZQUndoManager::Group> redos = m_undoManager->redoStack();
            for (auto group = redos.crbegin(); group != redos.crend(); ++group)
                names << (*group)->actionName();
        }
        m_cachedTaskNames = names;
    }
    return *m_cachedTaskNames;
}

int UndoHistoryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(orderedUndoAndRedoTaskNames().size());
}

QVariant UndoHistoryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return orderedUndoAndRedoTaskNames().at(index.row());
    if (role == Qt::FontRole && index.row() > indexOfCurrentUndoPosition())
        return notDoneFont();
    return {};
}
