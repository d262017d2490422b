#pragma once

// A plain list of library items in the manager's right pane, answering what the manager asks
// of its item browser, until the icon-view browser takes its place.

#include "library/items/VXQLibraryItem.h"
#include "library/tree/VXQLibraryElementContainer.h"
#include "library/tree/LibrarySortDescriptor.h"
#include "widgets/iconview/JXDistributedViewProtocols.h"

#include <QListView>
#include <QPageLayout>
#include <QPointer>
#include <functional>
#include <optional>

class ItemBrowserStandIn : public QObject {
    Q_OBJECT

public:
    explicit ItemBrowserStandIn(QObject* parent = nullptr);
    ~ItemBrowserStandIn() override;

    QWidget* view() const { return m_view; }
    void setSelectionHandler(std::function<void(const JXIndexSet&)> handler) { m_selectionHandler = std::move(handler); }

    void setContentPreservingSelection(const QList<VXQLibraryItemPtr>& content, bool preserving);
    QList<VXQLibraryItemPtr> content() const { return m_content; }
    qint64 numberOfItemsInContent() const { return m_content.size(); }
    qint64 indexOfItem(const VXQLibraryItem* item) const;

    JXIndexSet selectedItemIndexes() const;
    QList<VXQLibraryItemPtr> selectedItems() const;
    void selectItemsAtIndexes(const JXIndexSet& indexes);
    void selectItems(const QList<VXQLibraryItemPtr>& items);
    bool revealItemSelectIt(const VXQLibraryItem* item, bool select);
    void saveSelectedItems();
    void restoreSelectedItems();
    void refreshActiveView();
    QList<LibrarySortDescriptor> sortDescriptors() const { return {{QStringLiteral("name")}}; }
    void performPrintWithPrintInfo(const std::optional<QPageLayout>&) {}

private:
    class Model;
    Model* m_model;
    QPointer<QListView> m_view;
    QList<VXQLibraryItemPtr> m_content;
    QList<VXQLibraryItemPtr> m_preservedSelection;
    std::function<void(const JXIndexSet&)> m_selectionHandler;
    bool m_settingContent = false;
};
