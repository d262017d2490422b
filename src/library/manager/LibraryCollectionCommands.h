#pragma once

// The library manager's commands on collections and categories: making libraries, categories
// and smart categories, editing a smart category's rule, renaming, deleting a category (after
// an alert that can be suppressed) or a whole library (after a sheet; it goes to the Trash),
// choosing the default library and showing a library's folder.
//
// The manager owns it and forwards these actions to it from its menus and bottom bar. It acts
// on the outline's selection and reloads the outline and the item list as the library model
// changes.

#include "library/info/VXQLibrarySmartCategoryEditController.h"

#include <QDialog>
#include <QObject>
#include <QPointer>

class LibraryManagerItemList;
class LibraryOutlineController;
class QLabel;
class VXQLibrary;
class VXQLibraryCategory;
class VXQLibrarySmartCategory;
namespace platform {
class MenuItem;
class WindowController;
}

class LibraryCollectionCommands : public QObject, public VXQLibrarySmartCategoryEditorDelegate {
    Q_OBJECT

public:
    LibraryCollectionCommands(platform::WindowController& owner, LibraryOutlineController& outline,
                              LibraryManagerItemList& itemList);

    Q_INVOKABLE void newLibraryAction(QObject* sender);
    Q_INVOKABLE void newCategoryAction(QObject* sender);
    // A category (or sub-category of the selected one) named "untitled category", its name put into editing.
    VXQLibraryCategory* makeNewCategoryForLibrary(VXQLibrary* library);
    Q_INVOKABLE void newSmartCategoryAction(QObject* sender);
    VXQLibrarySmartCategory* makeNewSmartCategoryForLibraryStartEditing(VXQLibrary* library, bool startEditing);
    Q_INVOKABLE void editSmartCategoryAction(QObject* sender);
    void editSmartCategory(VXQLibrarySmartCategory* category);
    void smartCategoryEditorDidFinishEditingCategory(VXQLibrarySmartCategoryEditController* editor,
                                                     VXQLibrarySmartCategory* category) override;

    // Asks first unless the user said not to (kVXQLibraryConfirmCategoryDelete).
    Q_INVOKABLE void deleteCategoryAction(QObject* sender);
    // The items stay in their library.
    void deleteCategories(const QList<VXQLibraryCategory*>& categories);

    Q_INVOKABLE void deleteLibraryAction(QObject* sender);
    void confirmAndDeleteSelectedLibrary();
    Q_INVOKABLE void libDeleteOKAction(QObject* sender);
    Q_INVOKABLE void libDeleteCancelAction(QObject* sender);
    // The sheet asking to delete a library, while it is up.
    QDialog* libraryDeleteSheet() const { return m_libDeleteDialog; }
    QString libraryDeleteSheetText() const;
    // Moves the library's folder to the Trash; false (and nothing changed) when that fails.
    bool deleteLibrary(VXQLibrary* library);

    Q_INVOKABLE void renameAction(QObject* sender);
    Q_INVOKABLE void nominateDefaultLibraryAction(QObject* sender);
    Q_INVOKABLE void revealInFinderAction(QObject* sender);
    // Segment 0 new category, 1 delete category, 2 new library (by the sender's tag).
    Q_INVOKABLE void bottomBarButtonAction(QObject* sender);
    Q_INVOKABLE void helpButtonAction(QObject* sender);
    Q_INVOKABLE void openStyleInspector();
    // Sharing is not available: the item reads "Share" and stays disabled.
    Q_INVOKABLE void shareLibraryAction(QObject* sender);
    Q_INVOKABLE void toggleLibrarySharing(QObject* sender);

    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

private:
    platform::WindowController& m_owner;
    LibraryOutlineController& m_outline;
    LibraryManagerItemList& m_itemList;
    QPointer<VXQLibrarySmartCategoryEditController> m_smartEditController;
    QPointer<QDialog> m_libDeleteDialog;
    QLabel* m_libDeleteText = nullptr;
};
