#pragma once

// The two presentations of an item browser's items, stacked, one shown at a time: a
// free-layout icon view (mode 0) whose cells the browser fills as the view's data source and
// delegate, and a table (mode 1) over the browser's items. The icon view is kept as wide as it
// is shown, its items flowing in rows down as far as they need. Whichever is shown gives and
// takes the selection, scrolls to an item and starts renaming one in place.

#include "widgets/iconview/JXDistributedViewProtocols.h"

#include <QObject>
#include <QPointer>
#include <QSizeF>

class JXDistributedView;
class LibraryItemTableModel;
class QStackedWidget;
class QTableView;
class QWidget;
class LibraryItemIconSource;
class VXQLibraryItemViewController;

class LibraryItemPresentations : public QObject {
    Q_OBJECT

public:
    enum Mode { IconMode = 0, ListMode = 1 };

    // The icon view asks `iconSource` about its items.
    LibraryItemPresentations(VXQLibraryItemViewController& browser, LibraryItemIconSource& iconSource);
    ~LibraryItemPresentations() override;

    // Makes both presentations in their stack, the icon view showing cells of `cellSize`.
    QStackedWidget* build(QSizeF cellSize);
    bool isBuilt() const;

    int mode() const { return m_mode; }
    // Shows the presentation of a mode (icons for any other); the selection is not carried over.
    void show(int mode);
    QWidget* activeView() const;
    JXDistributedView* iconView() const;
    QTableView* listView() const;
    // Replaces the icon view, keeping a cell that came with it (a style button cell, say).
    void setIconView(JXDistributedView* view, QSizeF cellSize);
    void setCellSize(QSizeF size);
    void setIconBackground(const QColor& colour);

    // Everything changed: the shown presentation asks the browser again.
    void reload();
    void itemNeedsDisplay(qint64 index);
    void fitIconViewToItsWidth();
    // The icon view's cell height, or the table's row height.
    double rowHeight() const;
    // The icon view's content inset, or the table's header height.
    double fixedHeight() const;

    JXIndexSet selectedIndexes() const;
    // Replaces the shown presentation's selection with `indexes`, all of which may be selected.
    void select(const JXIndexSet& indexes);
    // Drops both presentations' selections, whose indexes mean nothing in new content.
    void forgetSelections();
    void scrollToItem(qint64 index);
    void beginRenaming(qint64 index);
    void showSortIndicator(int column, bool ascending);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void installPrototype(JXDistributedView* view);

    VXQLibraryItemViewController& m_browser;
    LibraryItemIconSource& m_iconSource;
    QPointer<QStackedWidget> m_stack;
    QPointer<QTableView> m_table;
    QPointer<LibraryItemTableModel> m_model;
    QPointer<JXDistributedView> m_icons;
    int m_mode = IconMode;
};
