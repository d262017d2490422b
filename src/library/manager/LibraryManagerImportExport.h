#pragma once

// Bringing whole collections into and out of the library manager: importing a library folder
// into the user group (after checking it is valid, not already installed and, on request,
// asking first; a name in use is made unique) or converting a symbol-set file into a new user
// library, and exporting the selected library as a zip archive in the background behind a
// progress sheet, reporting a failure. A chosen file that is neither (an exported archive, say)
// is refused with the reason.
//
// The manager owns it and forwards "importLibraryAction" and "exportLibraryAction" to it;
// opening a library file from the desktop also lands here through the manager.

#include "library/archiving/VXQLibraryArchivingTask.h"

#include <QObject>
#include <memory>

class LibraryOutlineController;
class ZQProgressController;
namespace platform {
class MenuItem;
class WindowController;
}

class LibraryManagerImportExport : public QObject, public VXQLibraryArchivingDelegate {
    Q_OBJECT

public:
    LibraryManagerImportExport(platform::WindowController& owner, LibraryOutlineController& outline);
    ~LibraryManagerImportExport() override;

    Q_INVOKABLE void importLibraryAction(QObject* sender);
    // Asks as needed, then imports the library folder; true when it was imported.
    bool confirmAndImportLibraryFileConfirm(const QString& path, bool confirm);
    bool importUserLibrary(const QString& path);
    // A new user library of the file's styles and symbols; true when it was made. A file that
    // fails leaves no library and is told with its reason.
    bool importSymbolSetFile(const QString& path);

    Q_INVOKABLE void exportLibraryAction(QObject* sender);
    // Writes the selected library as a zip archive at `url` in the background.
    void exportSelectedLibraryToURL(const QUrl& url);
    void libraryWillCreateZipArchiveAtURL(VXQLibrary* library, const QUrl& url) override;
    void libraryAvailableAsZipArchiveURL(VXQLibrary* library, const QUrl& url) override;
    // The progress sheet while an export runs.
    ZQProgressController* exportProgress() const { return m_progress.get(); }

    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

private:
    // Alerts why a chosen file that is no library folder was not imported.
    void explainNotALibrary(const QString& path);
    void explainImportFailure(const QString& path, const QString& reason);
    void explainSymbolSetFailure(const QString& path, const QString& reason);
    // Shows the new library chosen in its expanded group and says where it went.
    void showImportedLibrary(const std::shared_ptr<VXQLibrary>& library);

    platform::WindowController& m_owner;
    LibraryOutlineController& m_outline;
    std::unique_ptr<ZQProgressController> m_progress;
};
