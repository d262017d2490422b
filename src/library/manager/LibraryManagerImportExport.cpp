#include "library/manager/LibraryManagerImportExport.h"

#include "app/progress/ZQProgressController.h"
#include "library/archiving/FolderZipWriter.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/manager/LibraryManagerAlerts.h"
#include "library/manager/LibraryOutlineController.h"
#include "library/manager/LibraryOutlineView.h"
#include "library/migration/VXQLibraryMigrationHelper.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/WindowController.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

using platform::Alert;
namespace Alerts = LibraryManagerAlerts;

namespace {

QString displayNameOfPath(const QString& path)
{
    return QFileInfo(path).completeBaseName();
}

bool hasExtension(const QString& path, const QString& extension)
{
    return QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) == 0;
}

bool sameFolder(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
}

} // namespace

LibraryManagerImportExport::LibraryManagerImportExport(platform::WindowController& owner, LibraryOutlineController& outline)
    : m_owner(owner)
    , m_outline(outline)
{
}

LibraryManagerImportExport::~LibraryManagerImportExport() = default;

// --- Import -----------------------------------------------------------------------------------------

void LibraryManagerImportExport::importLibraryAction(QObject*)
{
    // A library is a folder: the panel shows them as documents, beside symbol-set files.
    platform::OpenPanel panel;
    panel.setCanChooseFiles(true);
    panel.setAllowsMultipleSelection(false);
    panel.setPrompt(tr("Import"));
    panel.setPackageFileTypes({VXQLibrary::libraryExtension()});
    panel.setAllowedFileTypes({VXQLibrary::libraryExtension(), VXQLibraryMigrationHelper::symbolSetFileExtension()});
    panel.beginSheetModalForWindowCompletionHandler(m_owner.window(), [this, panel](int result) {
        if (result != 1)
            return;
        const QString path = panel.URL().toLocalFile();
        if (hasExtension(path, VXQLibrary::libraryExtension()))
            confirmAndImportLibraryFileConfirm(path, false);
        else if (hasExtension(path, VXQLibraryMigrationHelper::symbolSetFileExtension()))
            importSymbolSetFile(path);
        else
            explainNotALibrary(path);
    });
}

void LibraryManagerImportExport::explainNotALibrary(const QString& path)
{
    // A typed name gets past the panel's filter: say what was chosen instead of ignoring it.
    const QString fileName = QFileInfo(path).fileName();
    const QString archived = FolderZipWriter::archivedFolderName(path);
    const QString extension = VXQLibrary::libraryExtension();
    const QString why = hasExtension(archived, extension)
        ? tr("“%1” is a collection archive: unpack it and import the .%2 folder inside").arg(fileName, extension)
        : tr("“%1” is not a collection: choose a folder whose name ends in .%2 or a .%3 file")
              .arg(fileName, extension, VXQLibraryMigrationHelper::symbolSetFileExtension());
    Alerts::beep();
    Alert alert = Alerts::make(tr("Nothing Imported"), tr("OK"), {}, why);
    Alerts::run(alert);
}

bool LibraryManagerImportExport::confirmAndImportLibraryFileConfirm(const QString& path, bool confirm)
{
    VXQLibraryCatalogue::initialize();
    const QString name = displayNameOfPath(path);
    if (!VXQLibraryCatalogue::isValidLibraryAtPath(path)) {
        Alert alert = Alerts::make(tr("Invalid Collection"), tr("Cancel"), {},
                                   tr("The collection “%1” does not appear to be valid, and can't be imported.").arg(name));
        Alerts::run(alert);
        Alerts::beep();
        return false;
    }
    const QString parent = QFileInfo(path).absolutePath();
    if (sameFolder(parent, VXQLibraryCatalogue::userLibraryFolder())
        || sameFolder(parent, VXQLibraryCatalogue::documentLibraryFolder())) {
        Alert alert = Alerts::make(tr("Collection Already Installed"), tr("Cancel"), {},
                                   tr("A collection called “%1” has already been installed.").arg(name));
        Alerts::run(alert);
        Alerts::beep();
        return false;
    }
    if (confirm) {
        Alert alert = Alerts::make(tr("Install Styles And Symbols Collection"), tr("Install"), tr("Cancel"),
                                   tr("The collection “%1” can be installed. Would you like to install it now?").arg(name));
        if (Alerts::run(alert) != Alert::kDefaultReturn)
            return false;
    }
    if (VXQLibraryCatalogue::libraryWithNameInGroup(name, kVXQLibraryUserGroupName)) {
        Alerts::beep();
        Alert alert = Alerts::make(tr("Collection Name In Use"), tr("Install"), tr("Cancel"),
                                   tr("A collection with the name “%1” already exists. Click Install to continue "
                                      "installation using a modified name.")
                                       .arg(name));
        if (Alerts::run(alert) != Alert::kDefaultReturn)
            return false;
    }
    m_owner.showWindow(nullptr);
    return importUserLibrary(path);
}

bool LibraryManagerImportExport::importUserLibrary(const QString& path)
{
    LogEvent(kFileEvent, QStringLiteral("will attempt to import library %1").arg(path));
    QString reason;
    const VXQLibraryPtr library = VXQLibraryCatalogue::importLibraryAtPath(path, &reason);
    if (!library) {
        explainImportFailure(path, reason);
        return false;
    }
    showImportedLibrary(library);
    return true;
}

bool LibraryManagerImportExport::importSymbolSetFile(const QString& path)
{
    VXQLibraryCatalogue::initialize();
    LogEvent(kFileEvent, QStringLiteral("will attempt to convert symbol set %1").arg(path));
    QString reason;
    const VXQLibraryPtr library = VXQLibraryMigrationHelper::sharedMigrationHelper().migrateSSFFile(path, &reason);
    if (!library) {
        explainSymbolSetFailure(path, reason);
        return false;
    }
    m_owner.showWindow(nullptr);
    showImportedLibrary(library);
    return true;
}

void LibraryManagerImportExport::explainImportFailure(const QString& path, const QString& reason)
{
    LogEvent(kFileEvent, QStringLiteral("import of %1 failed: %2").arg(path, reason));
    Alerts::beep();
    Alert alert = Alerts::make(tr("Collection Import Failed"), tr("OK"), {},
                               tr("An error occurred while importing the collection “%1”. Check that the collection is "
                                  "valid and that your user permissions allow file write operations.")
                                   .arg(displayNameOfPath(path)));
    // The general advice above; what actually went wrong, for those who look.
    alert.messageBox()->setDetailedText(reason);
    Alerts::run(alert);
}

void LibraryManagerImportExport::explainSymbolSetFailure(const QString& path, const QString& reason)
{
    LogEvent(kFileEvent, QStringLiteral("conversion of %1 failed: %2").arg(path, reason));
    Alerts::beep();
    Alert alert = Alerts::make(tr("Collection Import Failed"), tr("OK"), {},
                               tr("The symbol set “%1” could not be imported: %2.").arg(QFileInfo(path).fileName(), reason));
    Alerts::run(alert);
}

void LibraryManagerImportExport::showImportedLibrary(const VXQLibraryPtr& library)
{
    VXQLibraryGroup* group = VXQLibraryGroup::groupWithName(library->group());
    if (group)
        group->invalidateSubContainersCache();
    m_outline.dropCachedGroups();
    m_outline.reloadOutline();
    if (group)
        m_outline.view()->expandItem(group);
    if (m_outline.view()->selectItem(library.get()))
        m_outline.view()->scrollToItem(library.get());
    Alert alert = Alerts::make(tr("Collection Imported"), tr("OK"), {},
                               tr("The collection “%1” was successfully imported into “%2” and may now be used.")
                                   .arg(library->name(), group ? group->name() : library->group()));
    alert.setAlertStyle(Alert::InformationalStyle);
    Alerts::run(alert);
}

// --- Export -----------------------------------------------------------------------------------------

void LibraryManagerImportExport::exportLibraryAction(QObject*)
{
    VXQLibrary* library = m_outline.selectedLibrary();
    if (!library || library->isFactoryLibrary() || !library->hasPresenceOnDisk())
        return;
    platform::SavePanel panel;
    panel.setNameFieldStringValue(library->name());
    panel.setAllowedFileTypes({QStringLiteral("zip")});
    panel.setCanCreateDirectories(true);
    panel.setNameFieldLabel(tr("Export As:"));
    panel.beginSheetModalForWindowCompletionHandler(m_owner.window(), [this, panel](int result) {
        if (result == 1 && !panel.URL().isEmpty())
            exportSelectedLibraryToURL(panel.URL());
    });
}

void LibraryManagerImportExport::exportSelectedLibraryToURL(const QUrl& url)
{
    if (VXQLibrary* library = m_outline.selectedLibrary())
        library->writeZipFileAtURLNotifyingDelegate(url, this);
}

void LibraryManagerImportExport::libraryWillCreateZipArchiveAtURL(VXQLibrary*, const QUrl& url)
{
    if (m_progress)
        return;
    m_progress = std::make_unique<ZQProgressController>();
    m_progress->setProgressBarIndeterminate(true);
    m_progress->setButtonHidden(true);
    m_progress->setPromptString(tr("Creating Archive..."));
    m_progress->setAdditionalInfoString(url.toLocalFile());
    m_progress->setDefersDisplay(false);
    m_progress->showOnParent(m_owner.window());
}

void LibraryManagerImportExport::libraryAvailableAsZipArchiveURL(VXQLibrary* library, const QUrl& url)
{
    if (m_progress) {
        m_progress->hide();
        m_progress.reset();
    }
    if (!url.isEmpty())
        return;
    Alerts::beep();
    Alert alert = Alerts::make(tr("Export Failed"), tr("OK"), {},
                               tr("The collection “%1” could not be exported because an error occurred.")
                                   .arg(library ? library->name() : QString()));
    Alerts::run(alert);
}

bool LibraryManagerImportExport::validateMenuItem(platform::MenuItem* item)
{
    if (item->action() != "exportLibraryAction")
        return true;
    VXQLibrary* library = m_outline.selectedLibrary();
    return library && !library->isFactoryLibrary() && library->hasPresenceOnDisk();
}
