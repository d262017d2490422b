#include "library/migration/VXQLibraryMigrationHelper.h"

#include "app/utilities/FileUtilities.h"
#include "app/progress/ZQProgressController.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/items/LibraryObjects.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Old files are single archives; none was ever near this size.
constexpr qint64 kMaximumOldFileSize = qint64(512) << 20;
const QString kSSFObjectsKey = QStringLiteral("ssf_objects_xxy42snig");

// The shared progress window as a receiver.
class SharedProgressReceiver : public LibraryMigrationProgress {
public:
    void setPromptString(const QString& prompt) override { window()->setPromptString(prompt); }
    void setAdditionalInfoString(const QString& info) override { window()->setAdditionalInfoString(info); }
    void setProgressBarIndeterminate(bool flag) override { window()->setProgressBarIndeterminate(flag); }
    void setMaximumValue(qint64 maximum) override { window()->setMaximumValue(maximum); }
    bool setCurrentValue(qint64 value) override { return window()->setCurrentValue(value); }

private:
    static ZQProgressController* window() { return ZQProgressController::sharedProgress(); }
};

void logFile(const QString& message)
{
    LogEvent(kFileEvent, message);
}

} // namespace

VXQLibraryMigrationHelper& VXQLibraryMigrationHelper::sharedMigrationHelper()
{
    static VXQLibraryMigrationHelper helper;
    return helper;
}

VXQLibraryMigrationHelper::VXQLibraryMigrationHelper() = default;

LibraryMigrationProgress& VXQLibraryMigrationHelper::delegate()
{
    static SharedProgressReceiver shared;
    return m_delegate ? *m_delegate : shared;
}

QString VXQLibraryMigrationHelper::supportFolder() const
{
    return m_supportFolder.isEmpty() ? thisApplicationsSupportFolderURL().toLocalFile() : m_supportFolder;
}

QString VXQLibraryMigrationHelper::oldFilesPostMigrationFolder() const
{
    return supportFolder() + u'/' + oldFilesPostMigrationFolderName();
}

const QStringList& VXQLibraryMigrationHelper::categoriesToSkip()
{
    static const QStringList names{QStringLiteral("All User Styles"),  QStringLiteral("All User Symbols"),
                                   QStringLiteral("Vantrix Defaults"), QStringLiteral("Recently Added"),
                                   QStringLiteral("Recently Used"),    QStringLiteral("From Opened Files"),
                                   QStringLiteral("Automatic Key Items")};
    return names;
}

std::optional<QStringList> VXQLibraryMigrationHelper::oldSymbolsFiles() const
{
    const QDir folder(supportFolder());
    if (supportFolder().isEmpty() || !folder.exists()) {
        logFile(QStringLiteral("an error occurred trying to read app support folder: %1").arg(supportFolder()));
        return std::nullopt;
    }
    QStringList files;
    for (const QFileInfo& entry : folder.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        if (entry.suffix() == oldSymbolsFileExtension())
            files.append(entry.filePath());
    return files;
}

bool VXQLibraryMigrationHelper::needsToPerformMigration() const
{
    if (platform::UserDefaults::standardUserDefaults()->integerForKey(kQVNLLibraryFilesMigrationCount) > 0)
        return false;
    return !oldSymbolsFiles().value_or(QStringList()).isEmpty();
}

bool VXQLibraryMigrationHelper::performMigration()
{
    LibraryMigrationProgress& progress = delegate();
    progress.setPromptString(QStringLiteral("Updating Symbol Library..."));
    progress.setProgressBarIndeterminate(true);
    const QStringList files = oldSymbolsFiles().value_or(QStringList());
    for (const QString& file : files)
        if (!migrateFileVerify(file, false))
            return false;
    progress.setPromptString(QStringLiteral("Verifying..."));
    bool verified = true;
    for (const QString& file : files) {
        if (!verifyFile(file)) {
            verified = false;
            break;
        }
        removeOldFile(file);
    }
    progress.setPromptString(QStringLiteral("Finishing..."));
    progress.setAdditionalInfoString(QString());
    progress.setProgressBarIndeterminate(true);
    removeOldFile(VXQLibraryCatalogue::userLibraryFolder() + QStringLiteral("/DefaultSymbolsLibrary.symbolslib"));
    platform::UserDefaults& defaults = *platform::UserDefaults::standardUserDefaults();
    defaults.setIntegerForKey(defaults.integerForKey(kQVNLLibraryFilesMigrationCount) + 1, kQVNLLibraryFilesMigrationCount);
    return verified;
}

bool VXQLibraryMigrationHelper::migrateFileVerify(const QString& path, bool verify)
{
    const QFileInfo file(path);
    if (file.suffix() != oldSymbolsFileExtension() || !file.exists())
        return false;
    VXQLibrary* target = VXQLibraryCatalogue::defaultUserLibrary();
    const QString displayName = file.completeBaseName();
    // A folder, an empty or unreadable file, or one this build cannot read: nothing to do.
    const std::optional<QByteArray> contents = platform::readRegularFile(path, kMaximumOldFileSize);
    if (!contents || contents->isEmpty() || !target)
        return true;
    LibraryMigrationProgress& progress = delegate();
    progress.setAdditionalInfoString((verify ? QStringLiteral("Verifying File: %1") : QStringLiteral("Reading File: %1")).arg(displayName));
    const std::optional<OldSymbolsFile> old = m_reader ? m_reader(*contents) : std::nullopt;
    if (!old)
        return true;
    logFile(QStringLiteral("migrating '%1'").arg(path));
    if (!verify)
        m_progress = 0;
    if (old->symbols) {
        const OldObjectSet& symbols = *old->symbols;
        ZQLog(QStringLiteral("migrating/verifying %1 symbols in %2 categories").arg(symbols.keys.size()).arg(symbols.categoryCount));
        progress.setProgressBarIndeterminate(false);
        if (!verify) {
            const qsizetype styles = old->styles ? old->styles->keys.size() : 0;
            progress.setMaximumValue((symbols.keys.size() + styles) * 2);
            progress.setCurrentValue(0);
            progress.setAdditionalInfoString(QStringLiteral("Processing File: %1").arg(displayName));
        }
        if (!migrateSet(symbols, *target, verify, QStringLiteral("Quorvane symbol converter (original creator unavailable)")))
            return false;
    }
    if (old->styles) {
        const OldObjectSet& styles = *old->styles;
        ZQLog(QStringLiteral("migrating/verifying %1 styles in %2 categories").arg(styles.keys.size()).arg(styles.categoryCount));
        if (!migrateSet(styles, *target, verify, QStringLiteral("Quorvane style converter (original creator unavailable)")))
            return false;
    }
    ZQLog(QStringLiteral("migration of data complete, cleaning up..."));
    if (verify)
        return true;
    progress.setAdditionalInfoString(QStringLiteral("Unloading: %1").arg(displayName));
    target->updateOnDiskUnloadingItems(true);
    return true;
}

bool VXQLibraryMigrationHelper::migrateSet(const OldObjectSet& set, VXQLibrary& target, bool verify, const QString& creator)
{
    LibraryMigrationProgress& progress = delegate();
    for (const QString& key : set.keys) {
        progress.setCurrentValue(++m_progress);
        const ZQObjectPtr object = set.objects.value(key);
        const auto libraryObject = LibraryObjects::libraryObjectFor(object);
        if (!libraryObject)
            continue;
        const bool found = VXQLibraryCatalogue::libraryContainingItemWithUniqueID(libraryObject->uniqueKey()) != nullptr;
        if (verify && !found)
            return false;
        if (found)
            continue;
        progress.setAdditionalInfoString(QStringLiteral("Processing: %1").arg(libraryObject->name()));
        const VXQLibraryItemPtr item = VXQLibraryItem::itemWithLibraryObject(object);
        if (!item)
            continue;
        item->setCreatedBy(creator);
        target.addItem(item);
        for (const QString& name : set.categoriesOfKey.value(key)) {
            if (categoriesToSkip().contains(name))
                continue;
            if (VXQLibraryCategory* category = target.addCategoryWithName(name)) {
                category->addItem(item);
                ZQLog(QStringLiteral("added '%1' to category '%2'").arg(libraryObject->name(), name));
            }
        }
    }
    return true;
}

void VXQLibraryMigrationHelper::removeOldFile(const QString& path)
{
    if (!QFileInfo::exists(path))
        return;
    const QString folder = oldFilesPostMigrationFolder();
    if (!QDir().mkpath(folder)) {
        logFile(QStringLiteral("Unable to create directory: Error = %1").arg(folder));
        return;
    }
    const QString target = folder + u'/' + QFileInfo(path).fileName();
    if (!QDir().rename(path, target))
        logFile(QStringLiteral("migration helper failed to move old file. Error = %1 exists or cannot be written").arg(target));
}

std::shared_ptr<VXQLibrary> VXQLibraryMigrationHelper::migrateSSFFile(const QString& path, QString* reason)
{
    const auto fail = [reason](const QString& logged, const QString& told) -> std::shared_ptr<VXQLibrary> {
        logFile(logged);
        if (reason)
            *reason = told;
        return nullptr;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("no path for .ssf file conversion"), tr("no file was given"));
    if (QFileInfo(path).suffix().compare(symbolSetFileExtension(), Qt::CaseInsensitive) != 0)
        return fail(QStringLiteral("ssf import: not an ssf file"),
                    tr("its name does not end in .%1").arg(symbolSetFileExtension()));
    QString unreadable;
    const std::optional<QByteArray> contents = platform::readRegularFile(path, kMaximumOldFileSize, &unreadable);
    if (!contents)
        return fail(QStringLiteral("ssf import: no data for file"), tr("it could not be read (%1)").arg(unreadable));
    if (contents->isEmpty())
        return fail(QStringLiteral("ssf import: file length was zero"), tr("the file is empty"));
    platform::KeyedUnarchiver unarchiver(*contents);
    const QVariant root = unarchiver.isValid() ? unarchiver.decodeValue(QStringLiteral("root")) : QVariant();
    if (root.typeId() != QMetaType::QVariantMap)
        return fail(QStringLiteral("ssf import: no dictionary"), tr("it is not a symbol set"));
    const QVariantMap entries = root.toMap();
    if (entries.isEmpty())
        return fail(QStringLiteral("ssf import: empty dictionary"), tr("the symbol set is empty"));
    if (!entries.contains(kSSFObjectsKey))
        return fail(QStringLiteral("ssf import: no objects list found in file"), tr("the symbol set lists no objects"));
    QList<ZQObjectPtr> objects;
    for (const QVariant& value : entries.value(kSSFObjectsKey).toList())
        if (const ZQObjectPtr object = value.value<ZQObjectPtr>())
            objects.append(object);
    // Every item is made before the library, so that a file of nothing usable makes no library.
    const QList<VXQLibraryItemPtr> items = VXQLibraryItem::libraryItemsWithObjects(objects);
    if (items.isEmpty())
        return fail(QStringLiteral("ssf import: no library objects in file"),
                    tr("none of the objects it lists is a style or a symbol"));
    const QString name = QFileInfo(path).completeBaseName();
    const std::shared_ptr<VXQLibrary> library = VXQLibraryCatalogue::userLibraryWithPreferredName(name);
    if (!library)
        return fail(QStringLiteral("ssf import: library '%1' could not be created").arg(name),
                    tr("no collection could be made in “%1”").arg(VXQLibraryCatalogue::userLibraryFolder()));
    ZQLog(QStringLiteral("converting %1 objects from ssf").arg(items.size()));
    for (const VXQLibraryItemPtr& item : items) {
        item->setCreatedBy(QStringLiteral("Quorvane .ssf file importer (original creator unavailable)"));
        library->addItem(item);
    }
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry) {
        if (entry.key() == kSSFObjectsKey || categoriesToSkip().contains(entry.key()))
            continue;
        const QVariantList keys = entry.value().toList();
        ZQLog(QStringLiteral("importing category '%1' from ssf (%2 items)").arg(entry.key()).arg(keys.size()));
        if (keys.isEmpty())
            continue;
        VXQLibraryCategory* category = library->addCategoryWithName(entry.key());
        for (const QVariant& key : keys) {
            // Lists may hold anything: only keys of the file's own objects count.
            const QString text = key.typeId() == QMetaType::QString ? key.toString() : QString();
            if (VXQLibraryItem* item = text.isEmpty() || !category ? nullptr : library->itemWithUniqueID(text))
                category->addItem(std::static_pointer_cast<VXQLibraryItem>(item->shared_from_this()));
        }
    }
    if (!library->updateOnDisk()) {
        VXQLibraryCatalogue::removeLibraryFromGroup(library.get(), library->group());
        library->deleteOnDisk();
        return fail(QStringLiteral("ssf import: library '%1' could not be written").arg(library->name()),
                    tr("the new collection could not be written in “%1”").arg(library->path()));
    }
    return library;
}
