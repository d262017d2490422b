#pragma once

// Lays out the library manager's window: the outline beside the item browser (with its
// search row, get-info panel and unique-key line), the bottom bar's buttons, action menu and
// item count, and the window's File, Edit, View and Collection menus.
//
// The manager makes one to build its window once; the builder makes widgets only, aims the
// manager's menu items at the manager (which forwards each action to the part that carries it)
// and the item commands and View menu at the item browser, and connects nothing else: the
// manager wires the fields and buttons it returns.

#include <QCoreApplication>
#include <array>

class LibraryOutlineView;
class QLabel;
class QLineEdit;
class QMenu;
class QObject;
class QToolButton;
class QWidget;
class VXQLibraryGetInfoController;
class VXQLibraryItemViewController;

// The widgets of the window the manager keeps talking to.
struct LibraryManagerWidgets {
    QWidget* window = nullptr;
    QLineEdit* searchField = nullptr;
    QLabel* itemIdentifierField = nullptr;
    QLabel* itemsInfoField = nullptr;
    // New category, delete category, new library, actions.
    std::array<QToolButton*, 4> barButtons{};
    QMenu* actionMenu = nullptr;
    QMenu* moveToMenu = nullptr;
};

class LibraryManagerWindowBuilder {
    Q_DECLARE_TR_FUNCTIONS(LibraryManagerWindowBuilder)

public:
    explicit LibraryManagerWindowBuilder(QObject* actionTarget);

    LibraryManagerWidgets build(LibraryOutlineView* outline, VXQLibraryItemViewController& browser,
                                VXQLibraryGetInfoController& getInfo);

private:
    QWidget* makeRightPane(VXQLibraryItemViewController& browser, VXQLibraryGetInfoController& getInfo);
    QMenu* makeSearchModesMenu(QWidget* parent);
    QWidget* makeBottomBar();
    QMenu* makeActionMenu(QWidget* parent);
    void makeMenuBar(VXQLibraryItemViewController& browser);

    QObject* m_actionTarget;
    LibraryManagerWidgets m_widgets;
};
