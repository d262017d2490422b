#pragma once

// Converts the earlier generation's files into libraries: every "symbolslib" file of the support
// folder into the default user library (checked afterwards, then moved to "Old Symbols Files
// (Moved)"), and a symbol-set file ("ssf", our own keyed archive) into a new user library.
// Reports progress to a receiver (the update window), else to the shared progress window.

#include "library/migration/OldSymbolsFileReader.h"

#include <QCoreApplication>
#include <QPointer>

class VXQLibrary;

inline const QString kQVNLLibraryFilesMigrationCount = QStringLiteral("QVNL_LIBRARY_FILES_MIGRATION_COUNT");

// What the migration reports to; the update window and the shared progress window answer it.
class LibraryMigrationProgress {
public:
    virtual ~LibraryMigrationProgress() = default;
    virtual void setPromptString(const QString& prompt) = 0;
    virtual void setAdditionalInfoString(const QString& info) = 0;
    virtual void setProgressBarIndeterminate(bool indeterminate) = 0;
    virtual void setMaximumValue(qint64 maximum) = 0;
    virtual bool setCurrentValue(qint64 value) = 0;
};

class VXQLibraryMigrationHelper {
    Q_DECLARE_TR_FUNCTIONS(VXQLibraryMigrationHelper)

public:
    static VXQLibraryMigrationHelper& sharedMigrationHelper();

    // The receiver, or the shared progress window when none is set.
    LibraryMigrationProgress& delegate();
    void setDelegate(LibraryMigrationProgress* delegate) { m_delegate = delegate; }
    // An empty reader (the default) finds every file unreadable.
    void setOldFileReader(OldSymbolsFileReader reader) { m_reader = std::move(reader); }
    // Where old files lie (the application's support folder unless set; empty: that again).
    QString supportFolder() const;
    void setSupportFolder(const QString& folder) { m_supportFolder = folder; }

    static QString oldSymbolsFileExtension() { return QStringLiteral("symbolslib"); }
    // Compared without case, as every extension here.
    static QString symbolSetFileExtension() { return QStringLiteral("ssf"); }
    static QString oldFilesPostMigrationFolderName() { return QStringLiteral("Old Symbols Files (Moved)"); }
    QString oldFilesPostMigrationFolder() const;
    static const QStringList& categoriesToSkip();

    // Old files, in folder order; none (logged) when the folder cannot be read.
    std::optional<QStringList> oldSymbolsFiles() const;
    // No when a migration has run before; otherwise whether there are old files.
    bool needsToPerformMigration() const;
    bool performMigration();
    bool migrateFileVerify(const QString& path, bool verify);
    bool verifyFile(const QString& path) { return migrateFileVerify(path, true); }
    void removeOldFile(const QString& path);
    // The new library, written; or null (logged, with `reason` for the user) when the file holds
    // nothing to convert or the library cannot be written, and then no library is left behind.
    std::shared_ptr<VXQLibrary> migrateSSFFile(const QString& path, QString* reason = nullptr);

private:
    VXQLibraryMigrationHelper();
    bool migrateSet(const OldObjectSet& set, VXQLibrary& target, bool verify, const QString& creator);

    LibraryMigrationProgress* m_delegate = nullptr;
    OldSymbolsFileReader m_reader;
    QString m_supportFolder;
    qint64 m_progress = 0;
};
