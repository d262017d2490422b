#pragma once

// The template chooser: one window for the whole application in which the user starts a new
// map from a template. On the left the template categories: the shipped templates and the
// user's "My Templates" as two roots, their subfolders beneath; on the right the templates of
// the chosen category and all its subfolders, with thumbnail, name and size, filtered by name.
// The chosen template goes to the delegate (`openSelectedTemplateURL(QUrl)`, when it has it);
// Blank Document makes an untitled map and opens its drawing set-up. Templates are imported
// into a category of the user's folder; a user template is revealed in its folder.
//
// The last category shown is kept as a bookmark and restored when the window first loads.

#include "media/browser/ZQFolderBrowserController.h"
#include "platform/ui/Document.h" // WindowController's inline document() needs it complete
#include "platform/ui/WindowController.h"
#include "windows/templates/QVNTemplateItem.h"
#include "windows/templates/TemplateListing.h"
#include "windows/templates/TemplatePickerWindow.h"

#include <memory>

class QMenu;
class TemplateGridModel;

class QVNTemplatePickerController : public platform::WindowController, public ZQFolderBrowserDelegate {
    Q_OBJECT

public:
    static inline const QString kShowAtStartupKey = QStringLiteral("QVNL_SHOW_TEMPLATES_AT_STARTUP");
    static inline const QString kSelectedTemplateBookmarkKey = QStringLiteral("QVNL_SELECTED_TEMPLATE_BM");
    // The earlier form: the category's path, read when no bookmark is stored.
    static inline const QString kSelectedTemplateKey = QStringLiteral("QVNL_SELECTED_TEMPLATE");
    static inline const QString kSelectedTemplateIdentifierKey = QStringLiteral("QVNL_SELECTED_TEMPLATE_IDENTIFIER");
    // The shipped category shown when none was stored or the stored one is gone.
    static inline const QString kDefaultCategoryName = QStringLiteral("Medium Scale Regions");
    // The wait between a blank document and its drawing set-up sheet.
    static constexpr int kDrawingSetupDelay = 500; // milliseconds

    QVNTemplatePickerController();
    ~QVNTemplatePickerController() override;

    // The one chooser, made on first use.
    static QVNTemplatePickerController* templatePicker();
    // Whether the start-up setting is on and there is any template to choose.
    static bool shouldDisplayTemplatePickerAtLaunch();
    // The category shown first: the stored one while it is still a folder, else the shipped
    // default category.
    static QUrl restoredTemplatesRootURL();

    // --- The category and its templates ------------------------------------------------------
    // Shows the folder's templates, clears the filter and remembers the folder.
    void setTemplatesRootURL(const QUrl& url);
    QUrl templatesRootURL() const { return m_templatesRootURL; }
    void setTemplatesRoot(const QString& path);
    QString templatesRoot() const { return m_templatesRootURL.toLocalFile(); }
    // Shows the category's templates that pass the filter; the disk is read again only after
    // the category changed on disk.
    void reloadData();
    const QList<QVNTemplateItemPtr>& templates() const;
    // Shows the items, nothing selected.
    void setTemplates(const QList<QVNTemplateItemPtr>& templates);
    QString filterString() const { return m_filterString; }
    void setFilterString(const QString& filter);
    // The URL of the one selected template; empty unless exactly one is selected.
    QUrl selectedTemplateURL() const;
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    // Copies the files into the category of My Templates named like their folder, then shows
    // that category. Stops at the first failure, showing what was copied and, in an alert on
    // the chooser, why it stopped. Answers whether all were copied.
    bool importTemplateFiles(const QStringList& files);

    // --- Actions ------------------------------------------------------------------------------
    Q_INVOKABLE void okButtonAction(QObject* sender);
    // A double click on a template's cell: as the OK button.
    Q_INVOKABLE void doubleClick(QObject* sender);
    Q_INVOKABLE void showAtStartUpAction(QObject* sender);
    Q_INVOKABLE void newDefaultDocumentAction(QObject* sender);
    Q_INVOKABLE void revealInFinderAction(QObject* sender);
    Q_INVOKABLE void filterAction(QObject* sender);
    // Asks for map files in a file dialog that offers packages as files, then imports them.
    Q_INVOKABLE void importTemplatesAction(QObject* sender);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item);

    // --- Parts, for the application and tests --------------------------------------------------
    const TemplatePickerWindow& parts();
    ZQFolderBrowserController* folderController() const { return m_folderController.get(); }
    TemplateGridModel* gridModel() const { return m_grid.get(); }
    // The grid's context menu, validated.
    QMenu* itemMenu();

    // --- Folder browser -------------------------------------------------------------------------
    Messages folderBrowserMessages() const override { return DidSelectFolder | WasNotifiedOfChangeOnDisk; }
    void folderBrowserDidSelectFolder(ZQFolderBrowserController* browser, ZQFolderInfo* folder) override;
    void folderBrowserWasNotifiedOfChangeOnDisk(ZQFolderBrowserController* browser, ZQFolderInfo* folder) override;

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;

private:
    void installRoots();
    void connectControls();
    void observeChangesOnDisk();
    bool isInsideCategory(const QString& path) const;
    void restoreCategory();
    void showCategory(const QUrl& url);
    void updateOKButton();
    void storeBookmark(const QUrl& url);
    ZQFolderInfoPtr userTemplatesNode() const;

    std::shared_ptr<ZQFolderBrowserController> m_folderController;
    std::unique_ptr<TemplateGridModel> m_grid;
    TemplateListing m_listing;
    TemplatePickerWindow m_parts;
    QPointer<QMenu> m_itemMenu;
    QPointer<QObject> m_delegate;
    QUrl m_templatesRootURL;
    QString m_filterString;
};
