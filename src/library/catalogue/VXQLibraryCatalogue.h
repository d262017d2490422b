#pragma once

// The catalogue of all libraries: where factory, user and document libraries live, their
// discovery into the three standard groups (and any group a user library names for itself),
// look-ups by name, identifier and unique key, the default user library that takes implied
// additions, the per-document libraries of "OPEN DOCUMENTS", and importing library folders.
//
// Discovery runs once (initialize); groups are not rescanned afterwards. The catalogue object
// is the sender of "kVXQLibraryDefaultUserLibraryDidChange" and
// "kVXQDocumentLibraryWasAddedOrRemoved" {"library": library}.

#include "library/groups/VXQLibraryGroup.h"

#include <QObject>
#include <QPointer>

inline const QString kVXQLibraryDefaultUserLibraryName = QStringLiteral("kVXQLibraryDefaultUserLibraryName");
inline const QString kVXQLibraryDocumentLibsAreTemporary = QStringLiteral("kVXQLibraryDocumentLibsAreTemporary");
inline const QString kVXQLibraryDefaultUserLibraryDidChange = QStringLiteral("kVXQLibraryDefaultUserLibraryDidChange");
inline const QString kVXQDocumentLibraryWasAddedOrRemoved = QStringLiteral("kVXQDocumentLibraryWasAddedOrRemoved");

class VXQLibraryCatalogue : public QObject {
    Q_OBJECT

public:
    static VXQLibraryCatalogue* shared();

    // Discovers every library and the default user library, once; clears the document
    // library folder when document libraries are temporary. From then on, a process that ends
    // without quitting says which libraries had changes not yet written.
    static void initialize();

    // --- Locations ---------------------------------------------------------------------------
    static QString userLibraryFolder() { return VXQLibrary::userLibrariesFolder(); }
    static QString documentLibraryFolder();

    // --- Discovery ---------------------------------------------------------------------------
    static QList<VXQLibraryPtr> factoryLibraries();
    // None on the first call that finds no user library (the group then holds an empty list).
    static std::optional<QList<VXQLibraryPtr>> userLibraries();
    static QList<VXQLibraryPtr> documentsLibraries();
    // All three, then the registered groups.
    static QList<VXQLibraryGroupPtr> allLibraries();
    static QString displayNameForGroup(const QString& groupName);
    static std::optional<QList<VXQLibraryPtr>> librariesInGroup(const QString& groupName);
    // Every "symlibrary" entry of the folder that makes a library, sorted by name.
    static QList<VXQLibraryPtr> librariesAtPath(const QString& folder);

    static void addLibraryToGroupReplaceExisting(const VXQLibraryPtr& library, const QString& groupName,
                                                 bool replaceExisting);
    // A removed default user library stops being the default.
    static void removeLibraryFromGroup(VXQLibrary* library, const QString& groupName);

    // --- Look-ups (names compare without dots, ignoring case) -------------------------------------
    static VXQLibrary* libraryWithName(const QString& name);
    static VXQLibrary* libraryWithNameInGroup(const QString& name, const QString& groupName);
    // "GROUP.Library[.Category...]".
    static VXQLibrary* libraryContainingIdentifier(const QString& identifier);
    static VXQLibrary* libraryContainingItemWithUniqueID(const QString& key)
    {
        return libraryContainingItemWithUniqueIDInGroups(key, {});
    }
    // Empty groups: every group.
    static VXQLibrary* libraryContainingItemWithUniqueIDInGroups(const QString& key, const QStringList& groups);
    // Each object with a key some library holds becomes that library's object; objects without
    // a key are dropped. Open documents' libraries are not searched.
    static QList<ZQObjectPtr> libraryItemsMatchingItemsInSet(const QList<ZQObjectPtr>& objects);

    // --- The default user library ----------------------------------------------------------------
    // "Ann’s Collection" from the user's first name; "My Collection" when there is none.
    static QString defaultUserLibraryName();
    // Made (with standard categories) in the user library folder when missing.
    static VXQLibrary* defaultUserLibrary();
    static void setDefaultUserLibrary(VXQLibrary* library);
    static VXQLibrary* userLibraryForImpliedOperation() { return defaultUserLibrary(); }
    static QString nameOfUserLibraryForImpliedOperation() { return defaultUserLibraryName(); }
    static QString uniqueUserLibraryName(const QString& name);
    // A new library under a name no user library has; null when its folder cannot be made.
    static VXQLibraryPtr userLibraryWithPreferredName(const QString& name);

    // --- Document libraries ------------------------------------------------------------------------
    static VXQLibraryPtr documentLibraryWithNameForItemsCreateOnDisk(const QString& name,
                                                                   const QList<ZQObjectPtr>& objects,
                                                                   bool createOnDisk);
    // Only while document libraries are temporary.
    static void removeDocumentLibrary(VXQLibrary* library);
    static bool documentLibrariesAreTemporary();
    static void setDocumentLibrariesAreTemporary(bool temporary);

    // --- Import ----------------------------------------------------------------------------------------
    // A "symlibrary" folder holding "<name>.categories" whose "checksum" counts its "allitems".
    static bool isValidLibraryAtPath(const QString& path);
    // Copies the folder into the user library folder ("Roads 1.symlibrary" beside "Roads"),
    // registers and answers it; null on any failure, with `reason` saying what failed. A folder
    // holding a link or a special file, or beyond the size of any library, is not copied.
    static VXQLibraryPtr importLibraryAtPath(const QString& path, QString* reason = nullptr);

    static void setFactoryLibrariesWritable(bool writable);
    // Discards temporary document libraries, has every library write what is pending and
    // releases them all.
    static void applicationWillQuit();

    // Forgets every group, the default library, its user defaults and the discovery (tests);
    // again on exit.
    class Scope {
    public:
        Scope();
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    };

private:
    VXQLibraryCatalogue() = default;
    static void releaseLibraries();
    static void forgetEverything();
    void defaultLibraryWasRenamed();

    QPointer<VXQLibrary> m_defaultUserLibrary;
    quint64 m_renameObservation = 0;
    bool m_initialized = false;
    bool m_factoryDiscovered = false;
    bool m_userDiscovered = false;
    bool m_reportsUnsavedChangesAtExit = false;
};
