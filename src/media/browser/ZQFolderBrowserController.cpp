#include "media/browser/ZQFolderBrowserController.h"

#include "app/utilities/StringUtilities.h"
#include "media/browser/FolderSelectionModel.h"
#include "media/folders/ZQFileInfo.h"
#include "platform/foundation/ZQAssert.h"

#include <QAbstractButton>
#include <QDir>
#include <QGuiApplication>
#include <QPalette>
#include <QScopedValueRollback>
#include <QTreeView>
#include <algorithm>

namespace {

bool namesInOrder(const ZQFolderInfoPtr& a, const ZQFolderInfoPtr& b)
{
    return localisedCaseInsensitiveNumericCompare(a->name(), b->name()) < 0;
}

// Folder paths with any trailing "/" removed, so a folder written either way is the same.
QString folderPath(const QString& path)
{
    return path.isEmpty() ? path : QDir::cleanPath(path);
}

} // namespace

ZQFolderBrowserController::ZQFolderBrowserController()
    : m_model(std::make_unique<FolderOutlineModel>(*this))
{
    platform::NotificationCenter::defaultCenter().addObserverSelectorNameObject(this, "folderChangedOnDisk",
                                                                                kZQFolderInfoDidChangeOnDisk, nullptr);
}

ZQFolderBrowserController::~ZQFolderBrowserController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    m_delegate = nullptr;
    if (m_folderTable)
        m_folderTable->setModel(nullptr);
    delete m_selectionModel; // it asks this browser about every selection
    for (const ZQFolderInfoPtr& root : std::as_const(m_roots))
        if (root->refreshDelegate() == this)
            root->setRefreshDelegate(nullptr);
}

// --- Outlets ---------------------------------------------------------------------------------

void ZQFolderBrowserController::setFolderTable(QTreeView* view)
{
    m_folderTable = view;
    if (!view)
        return;
    view->setModel(m_model.get());
    QItemSelectionModel* made = view->selectionModel();
    m_selectionModel = new FolderSelectionModel(
        m_model.get(), [this](const QItemSelection& proposed) { return proposedSelection(proposed); }, view);
    view->setSelectionModel(m_selectionModel);
    delete made;
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_selectionModel, &QItemSelectionModel::selectionChanged, this, [this] { selectionDidChange(); });
    connect(view, &QAbstractItemView::doubleClicked, this, [this] { doubleClicked(); });
    view->setSortingEnabled(true);
    view->sortByColumn(0, Qt::AscendingOrder);
}

QTreeView* ZQFolderBrowserController::folderTable() const
{
    return m_folderTable;
}

void ZQFolderBrowserController::setDeleteFolderButton(QAbstractButton* button)
{
    m_deleteFolderButton = button;
    if (button)
        connect(button, &QAbstractButton::clicked, this, [this] { removeSelectedItemAction(); });
    updateDeleteButton();
}

// --- Roots -----------------------------------------------------------------------------------

void ZQFolderBrowserController::setRootItems(const QList<ZQFolderInfoPtr>& roots)
{
    m_roots = roots;
    m_roots.removeAll(nullptr);
    rootsChanged();
}

ZQFolderInfoPtr ZQFolderBrowserController::addRootItemWithURL(const QUrl& url)
{
    if (rootInfoForURL(url))
        return nullptr;
    ZQFolderInfoPtr root = ZQFolderInfo::makeWithURL(url);
    root->setIncludesPackages(m_includesFilePackages);
    addRootItem(root);
    return root;
}

void ZQFolderBrowserController::addRootItem(const ZQFolderInfoPtr& root)
{
    ZQ_ASSERT(root, "cannot pass nil for root item");
    m_roots.append(root);
    rootsChanged();
}

void ZQFolderBrowserController::removeRootItem(const ZQFolderInfoPtr& root)
{
    ZQ_ASSERT(root, "cannot pass nil for root item");
    if (m_roots.removeAll(root) > 0 && root->refreshDelegate() == this)
        root->setRefreshDelegate(nullptr);
    rootsChanged();
}

void ZQFolderBrowserController::removeRootItemWithURL(const QUrl& url)
{
    if (ZQFolderInfoPtr root = rootInfoForURL(url))
        removeRootItem(root);
}

ZQFolderInfoPtr ZQFolderBrowserController::rootInfoForURL(const QUrl& url) const
{
    const QString path = folderPath(url.path());
    for (const ZQFolderInfoPtr& root : m_roots)
        if (folderPath(root->url().path()) == path)
            return root;
    return nullptr;
}

ZQFolderInfoPtr ZQFolderBrowserController::rootInfoForPath(const QString& path) const
{
    QString expanded = path;
    if (expanded == QLatin1String("~") || expanded.startsWith(QLatin1String("~/")))
        expanded.replace(0, 1, QDir::homePath());
    expanded = folderPath(expanded);
    for (const ZQFolderInfoPtr& root : m_roots)
        if (folderPath(root->path()) == expanded)
            return root;
    return nullptr;
}

void ZQFolderBrowserController::removeSelectedItemAction()
{
    ZQFolderInfo* selected = selectedItem();
    if (!selected || !selected->root()->allowsDeletion())
        return;
    const ZQFolderInfo* root = selected->root();
    const auto found = std::find_if(m_roots.cbegin(), m_roots.cend(),
                                    [root](const ZQFolderInfoPtr& candidate) { return candidate.get() == root; });
    if (found != m_roots.cend())
        removeRootItem(*found);
}

void ZQFolderBrowserController::rootsChanged()
{
    if (!m_rootItemsPresorted)
        std::stable_sort(m_roots.begin(), m_roots.end(), namesInOrder);
    for (const ZQFolderInfoPtr& root : std::as_const(m_roots))
        root->setRefreshDelegate(this);
    // Cleared first, so the delegate hears of it: a model reset clears silently.
    if (m_selectionModel)
        m_selectionModel->clear();
    m_model->reload();
    updateDeleteButton();
}

// --- Finding and showing nodes ---------------------------------------------------------------

ZQFolderInfoPtr ZQFolderBrowserController::itemWithURL(const QUrl& url) const
{
    for (const ZQFolderInfoPtr& root : m_roots)
        if (ZQFolderInfoPtr node = root->nodeWithURL(url))
            return node;
    return nullptr;
}

ZQFolderInfoPtr ZQFolderBrowserController::itemWithIdentifier(const QString& identifier) const
{
    for (const ZQFolderInfoPtr& root : m_roots)
        if (ZQFolderInfoPtr node = root->nodeWithIdentifier(identifier))
            return node;
    return nullptr;
}

ZQFolderInfoPtr ZQFolderBrowserController::expandItemWithIdentifier(const QString& identifier)
{
    ZQFolderInfoPtr node = itemWithIdentifier(identifier);
    if (!node || !m_folderTable)
        return node;
    QList<ZQFolderInfo*> chain;
    for (ZQFolderInfo* link = node.get(); link; link = link->parent())
        chain.prepend(link);
    QModelIndex parent;
    for (ZQFolderInfo* link : std::as_const(chain)) {
        if (!modelKeyFor(link))
            continue; // the hidden top root
        m_model->rowCount(parent); // lists the parent's rows
        const QModelIndex index = m_model->indexForItem(link);
        if (!index.isValid())
            break;
        m_folderTable->expand(index);
        parent = index;
    }
    return node;
}

void ZQFolderBrowserController::expandItem(const ZQFolderInfoPtr& item, bool selectIt)
{
    if (!item)
        return;
    expandItemWithIdentifier(item->identifier());
    if (selectIt)
        selectIndexAlone(m_model->indexForItem(item.get()));
}

void ZQFolderBrowserController::selectItemWithIdentifier(const QString& identifier)
{
    if (identifier.isEmpty())
        return;
    if (ZQFolderInfoPtr node = expandItemWithIdentifier(identifier))
        selectIndexAlone(m_model->indexForItem(node.get()));
}

ZQFolderInfo* ZQFolderBrowserController::selectedItem() const
{
    if (!m_selectionModel)
        return nullptr;
    const QModelIndexList rows = m_selectionModel->selectedRows();
    return rows.isEmpty() ? nullptr : m_model->itemAtIndex(rows.first());
}

void ZQFolderBrowserController::reload()
{
    const QStringList expanded = expandedItemIdentifiers();
    m_model->reload();
    restoreExpandedItemIdentifiers(expanded);
}

QStringList ZQFolderBrowserController::expandedItemIdentifiers() const
{
    QStringList identifiers;
    if (!m_folderTable)
        return identifiers;
    const std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        for (int row = 0, rows = m_model->rowCount(parent); row < rows; ++row) {
            const QModelIndex index = m_model->index(row, 0, parent);
            if (m_folderTable->isExpanded(index)) {
                identifiers.append(m_model->itemAtIndex(index)->identifier());
                walk(index);
            }
        }
    };
    walk({});
    return identifiers;
}

void ZQFolderBrowserController::restoreExpandedItemIdentifiers(const QStringList& identifiers)
{
    if (!m_folderTable || identifiers.isEmpty())
        return;
    const QSet<QString> wanted(identifiers.cbegin(), identifiers.cend());
    const std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        for (int row = 0, rows = m_model->rowCount(parent); row < rows; ++row) {
            const QModelIndex index = m_model->index(row, 0, parent);
            if (wanted.contains(m_model->itemAtIndex(index)->identifier())) {
                m_folderTable->expand(index);
                walk(index);
            }
        }
    };
    walk({});
}

void ZQFolderBrowserController::setShowRootItems(bool flag)
{
    m_showRootItems = flag;
    m_model->reload();
}

// --- From the folder nodes -------------------------------------------------------------------

void ZQFolderBrowserController::setNeedsUpdateWithItem(ZQFolderInfo* item)
{
    // A root's own change arrives as "kZQFolderInfoDidChangeOnDisk" as well and is handled there.
    const bool isRoot = std::any_of(m_roots.cbegin(), m_roots.cend(),
                                    [item](const ZQFolderInfoPtr& root) { return root.get() == item; });
    if (item && !isRoot)
        reloadItemKeepingSelection(item);
}

void ZQFolderBrowserController::folderChangedOnDisk(const platform::Notification& notification)
{
    const auto root = std::find_if(m_roots.cbegin(), m_roots.cend(), [&](const ZQFolderInfoPtr& candidate) {
        return candidate.get() == notification.object();
    });
    if (root == m_roots.cend())
        return;
    const ZQFolderInfoPtr changed = *root;
    reloadItemKeepingSelection(changed.get());
    if (wants(ZQFolderBrowserDelegate::WasNotifiedOfChangeOnDisk))
        m_delegate->folderBrowserWasNotifiedOfChangeOnDisk(this, changed.get());
}

void ZQFolderBrowserController::reloadItemKeepingSelection(ZQFolderInfo* item)
{
    ZQFolderInfo* key = modelKeyFor(item);
    if (key && !m_model->containsItem(key))
        return; // not in the outline
    changeKeepingSelection([this, key] { m_model->reloadItem(key); });
}

void ZQFolderBrowserController::changeKeepingSelection(const std::function<void()>& change)
{
    // Compared, never used: the node may be gone after the change.
    ZQFolderInfo* const before = selectedItem();
    const QString identifier = before ? before->identifier() : QString();
    const QStringList expanded = expandedItemIdentifiers();
    {
        const QScopedValueRollback quiet(m_selectionQuiet, true);
        // Without a current row the view does not pick a neighbour of rows taken out.
        if (m_selectionModel)
            m_selectionModel->clear();
        change();
        restoreExpandedItemIdentifiers(expanded);
        selectItemWithIdentifier(identifier);
    }
    if (selectedItem() != before)
        selectionDidChange();
}

// --- Outline data source ---------------------------------------------------------------------

QList<ZQFolderInfoPtr> ZQFolderBrowserController::outlineChildrenOfItem(ZQFolderInfo* item)
{
    if (!item) {
        if (m_showRootItems)
            return m_roots;
        item = topItem();
        if (!item)
            return {};
    }
    QList<ZQFolderInfoPtr> children = item->subFolders();
    if (!item->subFoldersPresorted()) {
        std::stable_sort(children.begin(), children.end(), namesInOrder);
        if (m_sortOrder == Qt::DescendingOrder)
            std::reverse(children.begin(), children.end());
    }
    return children;
}

bool ZQFolderBrowserController::outlineItemIsExpandable(ZQFolderInfo* item)
{
    return item->valence() > 0;
}

QVariant ZQFolderBrowserController::outlineValueOfItem(ZQFolderInfo* item, const QString& columnIdentifier, int role)
{
    switch (role) {
    case Qt::DisplayRole:
        return item->valueForKey(columnIdentifier);
    case Qt::DecorationRole:
        return item->icon();
    case Qt::ForegroundRole:
        // Files that cannot be selected look disabled, though a click on one still counts.
        if (isFileLeaf(*item) && !m_canSelectFiles)
            return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
        return {};
    default:
        return {};
    }
}

void ZQFolderBrowserController::outlineSortOrderDidChange(Qt::SortOrder order)
{
    changeKeepingSelection([this, order] {
        m_sortOrder = order;
        m_model->reload();
    });
}

// --- Selection -------------------------------------------------------------------------------

bool ZQFolderBrowserController::isFileLeaf(const ZQFolderInfo& node)
{
    return qobject_cast<const ZQFileInfo*>(&node) != nullptr;
}

bool ZQFolderBrowserController::wants(ZQFolderBrowserDelegate::Message message) const
{
    return m_delegate && m_delegate->folderBrowserMessages().testFlag(message);
}

ZQFolderInfo* ZQFolderBrowserController::topItem() const
{
    return m_roots.isEmpty() ? nullptr : m_roots.last().get();
}

ZQFolderInfo* ZQFolderBrowserController::modelKeyFor(ZQFolderInfo* item) const
{
    return !m_showRootItems && item == topItem() ? nullptr : item;
}

QItemSelection ZQFolderBrowserController::proposedSelection(const QItemSelection& proposed)
{
    const QModelIndexList indexes = proposed.indexes();
    ZQFolderInfo* first = indexes.isEmpty() ? nullptr : m_model->itemAtIndex(indexes.first());
    if (!first || !isFileLeaf(*first) || m_canSelectFiles)
        return proposed;
    if (wants(ZQFolderBrowserDelegate::UserClickedFile))
        m_delegate->folderBrowserUserClickedFile(this, first);
    const QModelIndex parent = m_model->parent(indexes.first());
    return parent.isValid() ? QItemSelection(parent, parent) : QItemSelection();
}

void ZQFolderBrowserController::selectionDidChange()
{
    if (m_selectionQuiet)
        return;
    if (wants(ZQFolderBrowserDelegate::DidSelectFolder))
        m_delegate->folderBrowserDidSelectFolder(this, selectedItem());
    updateDeleteButton();
}

void ZQFolderBrowserController::doubleClicked()
{
    if (wants(ZQFolderBrowserDelegate::DidDoubleClickFolder))
        m_delegate->folderBrowserDidDoubleClickFolder(this, selectedItem());
}

void ZQFolderBrowserController::selectIndexAlone(const QModelIndex& index)
{
    if (!index.isValid() || !m_selectionModel)
        return;
    if (m_folderTable)
        m_folderTable->scrollTo(index);
    m_selectionModel->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ZQFolderBrowserController::updateDeleteButton()
{
    if (!m_deleteFolderButton)
        return;
    ZQFolderInfo* selected = selectedItem();
    m_deleteFolderButton->setEnabled(selected && selected->root()->allowsDeletion());
}
