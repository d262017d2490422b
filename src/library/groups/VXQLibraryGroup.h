#pragma once

// A named, registered set of libraries: the factory group "VELTRUM LIBRARY", the user group
// "MY LIBRARY", the open-documents group "OPEN DOCUMENTS", and any group a user library names
// in its category file. The registry (class side) owns the groups, in the order registered.
//
// Posts "kVXQLibraryGroupWasRegistered" on registration and "kVXQLibraryGroupContentWasChanged"
// ({"library": library} for one library, nothing for a whole new list); the sender is the group.

#include "library/store/VXQLibrary.h"
#include "library/tree/VXQLibraryElementContainer.h"

#include <optional>

class VXQLibraryGroup;
using VXQLibraryGroupPtr = std::shared_ptr<VXQLibraryGroup>;

inline const QString kVXQLibraryFactoryGroupName = QStringLiteral("VELTRUM LIBRARY");
inline const QString kVXQLibraryUserGroupName = QStringLiteral("MY LIBRARY");
inline const QString kVXQLibraryGroupWasRegistered = QStringLiteral("kVXQLibraryGroupWasRegistered");
inline const QString kVXQLibraryGroupContentWasChanged = QStringLiteral("kVXQLibraryGroupContentWasChanged");

class VXQLibraryGroup : public VXQLibraryElementContainer {
    Q_OBJECT

public:
    VXQLibraryGroup();
    ~VXQLibraryGroup() override;

    // --- Registry ---------------------------------------------------------------------------
    // The registered group of that name, made empty and registered when missing.
    static VXQLibraryGroup* factoryGroup();
    static VXQLibraryGroup* userGroup();
    static VXQLibraryGroup* documentsGroup();
    static VXQLibraryGroup* groupWithName(const QString& name);
    static QList<VXQLibraryGroupPtr> allGroups();
    // Replaces a group of the same name; a missing or unnamed group is a programming error.
    static void registerGroup(const VXQLibraryGroupPtr& group);
    static void unregisterGroup(const QString& name);
    // The three standard groups (even when empty), then every other group holding libraries;
    // each group is followed by its libraries.
    static VXQLibraryElementContainer::ElementList flattenedListOfGroupsAndLibraries();
    static VXQLibraryElementPtr libraryOrGroupWithUnifiedIndex(qsizetype index);

    // With a list the libraries count as loaded; without one they do not until one is added.
    static VXQLibraryGroupPtr groupWithNameLibraries(const QString& name,
                                                     const std::optional<QList<VXQLibraryPtr>>& libraries);
    // Keeps the folder and loads every "symlibrary" entry of it.
    static VXQLibraryGroupPtr groupWithNameSourcePath(const QString& name, const QString& folder);

    // --- Libraries ------------------------------------------------------------------------------
    void loadLibraries();
    bool librariesLoaded() const { return m_librariesLoaded; }
    // Sorted by name; none while not loaded.
    std::optional<QList<VXQLibraryPtr>> libraries();
    void setLibraries(const QList<VXQLibraryPtr>& libraries);
    VXQLibrary* libraryAtIndex(qsizetype index);
    // Display name, ignoring case.
    VXQLibrary* libraryWithName(const QString& name);
    VXQLibrary* libraryWithPath(const QString& path);
    void addLibrary(const VXQLibraryPtr& library);
    void removeLibrary(VXQLibrary* library);
    // The name when no library has it, else "name 1", "name 2", ...
    QString uniqueLibraryName(const QString& name);

    QString sourcePath() const { return m_sourcePath; }
    QString identifier() const override { return cleanName(); }
    QImage icon() const override;
    QString toolTipString() const override;
    QString description() const override;

private:
    void adopt(VXQLibrary* library);
    void postContentChange(VXQLibrary* library);

    QString m_sourcePath;
    bool m_librariesLoaded = false;
};
