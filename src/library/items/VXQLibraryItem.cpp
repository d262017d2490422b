#include "library/items/VXQLibraryItem.h"

#include "app/application/VLTMApplication.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/items/LibraryItemPackage.h"
#include "library/items/LibraryObjects.h"
#include "library/store/VXQLibrary.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ProblemReporter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WorkInFlight.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Pasteboard.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/placed/VXQSymbol.h"

#include <QCache>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QMimeData>
#include <QMutex>
#include <QThreadPool>
#include <atomic>

namespace {

const QString kName = QStringLiteral("name");
const QString kId = QStringLiteral("id");
const QString kLocked = QStringLiteral("locked");
const QString kAutoDetach = QStringLiteral("autodetach");
const QString kLastModDate = QStringLiteral("last_mod_date");
const QString kUserDescription = QStringLiteral("user_description");
const QString kOriginalSize = QStringLiteral("original_size");
const QString kCreationDate = QStringLiteral("creation_date");
const QString kCreatedBy = QStringLiteral("created_by");
constexpr int kPreviewSide = 128;

QString currentUserName()
{
    static const QString name = VLTMApplication::registeredUserName();
    return name;
}

QDateTime dateFromReferenceTimestamp(double seconds)
{
    return QDateTime::fromMSecsSinceEpoch(qint64((seconds + LibraryObjects::kReferenceDateOffset) * 1000.0),
                                          Qt::UTC);
}

void showNameError(const QString& name)
{
    platform::Application::beep();
    platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        QCoreApplication::translate("VXQLibraryItem", "Name Error"), QCoreApplication::translate("VXQLibraryItem", "OK"),
        {}, {},
        QCoreApplication::translate("VXQLibraryItem",
                                    "The name “%1” could not be used because an error occurred (possibly an orphaned "
                                    "file having the same name). Please try again with a different name.")
            .arg(name))
        .runModal();
}

std::function<void(const QString&)>& nameErrorHandler()
{
    static std::function<void(const QString&)> handler = showNameError;
    return handler;
}

struct IconCache {
    QMutex mutex;
    QCache<QString, QImage> images{1000};
};

IconCache& iconCache()
{
    static IconCache* cache = [] {
        auto* made = new IconCache;
        ZQLog(QStringLiteral("icon cache allocated: %1 entries").arg(made->images.maxCost()));
        return made;
    }();
    return *cache;
}

std::atomic<bool> s_loadsImagesUsingThread{true};

QString sizeString(QSizeF size)
{
    return QStringLiteral("{%1, %2}").arg(size.width()).arg(size.height());
}

QSizeF sizeFromString(const QString& text)
{
    QString inner = text.trimmed();
    if (!inner.startsWith(u'{') || !inner.endsWith(u'}'))
        return {};
    const QStringList parts = inner.mid(1, inner.size() - 2).split(u',');
    if (parts.size() != 2)
        return {};
    bool okWidth = false;
    bool okHeight = false;
    const double width = parts[0].trimmed().toDouble(&okWidth);
    const double height = parts[1].trimmed().toDouble(&okHeight);
    return okWidth && okHeight ? QSizeF(width, height) : QSizeF();
}

} // namespace

VXQLibraryItem::VXQLibraryItem() = default;

VXQLibraryItem::~VXQLibraryItem()
{
    tearDownNotifications();
}

// --- Making items ---------------------------------------------------------------------------

VXQLibraryItemPtr VXQLibraryItem::itemWithLibraryObject(const ZQObjectPtr& object)
{
    if (!LibraryObjects::isLibraryObject(object.get()))
        return nullptr;
    auto item = std::make_shared<VXQLibraryItem>();
    item->setRepresentedObject(object);
    item->m_info.insert(kCreationDate, QDateTime::currentDateTimeUtc());
    item->setCreatedBy(currentUserName());
    return item;
}

VXQLibraryItemPtr VXQLibraryItem::itemWithFile(const QString& packagePath)
{
    if (QFileInfo(packagePath).suffix() != LibraryItemPackage::kExtension || !LibraryItemPackage::isPackage(packagePath))
        return nullptr;
    const std::optional<QByteArray> data =
        LibraryItemPackage::readMember(packagePath, LibraryItemPackage::kDataFile, LibraryItemPackage::kMaximumDataSize);
    if (!data) {
        LogEvent(kFileEvent, QStringLiteral("data was nil trying to read file '%1'").arg(packagePath));
        return nullptr;
    }
    const ZQObjectPtr object = LibraryObjects::libraryObjectWithFileData(*data);
    if (!object)
        return nullptr;
    VXQLibraryItemPtr item = itemWithLibraryObject(object);
    if (const std::optional<QVariantMap> info = LibraryItemPackage::readInfo(packagePath))
        item->m_info = *info;
    return item;
}

void VXQLibraryItem::initWithNameLibrary(const QString& name, VXQLibrary* library)
{
    VXQLibraryElement::initWithNameLibrary(cleanedName(name), library);
}

VXQLibraryElementPtr VXQLibraryItem::initWithInfoLibrary(const QVariantMap& info, VXQLibrary* library)
{
    m_key = info.value(kId).toString();
    if (m_key.isEmpty())
        return nullptr;
    // Categories list items the library has already read: no need to look at the disk again.
    if (VXQLibraryItem* existing = library->itemWithUniqueID(m_key))
        return std::static_pointer_cast<VXQLibraryElement>(existing->shared_from_this());
    initWithNameLibrary(info.value(kName).toString(), library);
    if (name().isEmpty() || !LibraryItemPackage::isPackage(path()))
        return nullptr;
    // A damaged file may list one package under two ids: it is still one item.
    if (VXQLibraryItem* same = library->itemWithName(name()); same && same->path() == path())
        return std::static_pointer_cast<VXQLibraryElement>(same->shared_from_this());
    m_classCode = info.value(QStringLiteral("cc")).toLongLong();
    return std::static_pointer_cast<VXQLibraryElement>(shared_from_this());
}

// --- The object -----------------------------------------------------------------------------

ZQObjectPtr VXQLibraryItem::representedObject()
{
    if (m_object || !hasValidPath())
        return m_object;
    const std::optional<QByteArray> data =
        LibraryItemPackage::readMember(path(), LibraryItemPackage::kDataFile, LibraryItemPackage::kMaximumDataSize);
    if (!data)
        return nullptr;
    const ZQObjectPtr object = LibraryObjects::libraryObjectWithFileData(*data, m_classCode);
    if (!object)
        return nullptr;
    tearDownNotifications();
    m_object = object;
    m_libObject = LibraryObjects::libraryObjectFor(object);
    if (m_infoBuilt && m_info.contains(kUserDescription))
        m_libObject->setUserDescription(m_info.value(kUserDescription).toString());
    setUpNotifications();
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQLibraryObjectWasLoadedFromDisk, this);
    return m_object;
}

void VXQLibraryItem::setObjectWithoutWriting(const ZQObjectPtr& object)
{
    if (!ZQ_EXPECT(LibraryObjects::isLibraryObject(object.get()),
                   QStringLiteral("%1 passed to -setRepresentedObject: does not conform to VXQLibraryObjectProtocol")
                       .arg(object ? object->description() : QStringLiteral("nil"))))
        return;
    if (object == m_object)
        return;
    tearDownNotifications();
    m_object = object;
    m_libObject = LibraryObjects::libraryObjectFor(object);
    m_classCode = LibraryObjects::codeForClass(object->className());
    m_key = m_libObject->uniqueKey();
    m_info.clear();
    m_infoBuilt = false;
    info();
    setUpNotifications();
}

void VXQLibraryItem::setRepresentedObject(const ZQObjectPtr& object)
{
    const bool same = object == m_object;
    setObjectWithoutWriting(object);
    if (!same)
        writeToFile();
}

bool VXQLibraryItem::unload()
{
    if (!m_object || !hasValidPath())
        return false;
    if (m_needsUpdate)
        writeToFile();
    else
        info();
    tearDownNotifications();
    m_object.reset();
    m_libObject.reset();
    return true;
}

std::shared_ptr<VXStyle> VXQLibraryItem::style()
{
    return m_classCode == LibraryObjects::kStyleClassCode ? std::dynamic_pointer_cast<VXStyle>(representedObject())
                                                          : nullptr;
}

std::shared_ptr<VXQSymbolMaster> VXQLibraryItem::symbolMaster()
{
    return m_classCode == LibraryObjects::kSymbolMasterClassCode
               ? std::dynamic_pointer_cast<VXQSymbolMaster>(representedObject())
               : nullptr;
}

QList<VXQLibraryCategory*> VXQLibraryItem::categories() const
{
    return library() ? library()->categoriesWithItem(this) : QList<VXQLibraryCategory*>();
}

QString VXQLibraryItem::uniqueKey() const
{
    if (!m_key.isEmpty())
        return m_key;
    if (m_libObject)
        return m_libObject->uniqueKey();
    return m_info.value(kId).toString();
}

QString VXQLibraryItem::kind() const
{
    return localisedKindStringForClassCode(m_classCode);
}

qint64 VXQLibraryItem::codeForClass(const QString& className)
{
    return LibraryObjects::codeForClass(className);
}

QString VXQLibraryItem::localisedKindStringForClassCode(qint64 code)
{
    return LibraryObjects::localisedKindStringForClassCode(code);
}

// --- Info -----------------------------------------------------------------------------------

QVariantMap VXQLibraryItem::info()
{
    if (m_infoBuilt) {
        if (m_descriptionIsStale && m_libObject)
            m_info.insert(kUserDescription, m_libObject->userDescription());
        m_descriptionIsStale = false;
        return m_info;
    }
    m_descriptionIsStale = false;
    if (m_libObject) {
        QVariantMap built = m_info;
        if (!m_libObject->name().isEmpty())
            built.insert(kName, m_libObject->name());
        built.insert(kId, m_libObject->uniqueKey());
        built.insert(kLocked, m_libObject->locked());
        built.insert(kLastModDate, dateFromReferenceTimestamp(m_libObject->lastModificationTimestamp()));
        built.insert(kUserDescription, m_libObject->userDescription());
        if (auto* master = dynamic_cast<VXQSymbolMaster*>(m_object.get())) {
            built.insert(kAutoDetach, master->autoDetachesInstances());
            built.insert(kOriginalSize, sizeString(master->objectSize()));
        }
        m_info = built;
    } else if (hasValidPath()) {
        m_info = LibraryItemPackage::readInfo(path()).value_or(QVariantMap());
    }
    m_infoBuilt = true;
    return m_info;
}

void VXQLibraryItem::setInfoValueForKey(const QVariant& value, const QString& key)
{
    info();
    if (value.isNull() || !value.isValid())
        m_info.remove(key);
    else
        m_info.insert(key, value);
    m_needsUpdate = true;
    if (hasValidPath() && libraryAllowsContentChanges()) {
        const QString infoPath = path() + u'/' + LibraryItemPackage::kInfoFile;
        if (platform::PropertyList::writeFile(m_info, infoPath, platform::PropertyList::Format::Xml))
            m_needsUpdate = false;
        else
            LogEvent(kFileEvent, QStringLiteral("library item info '%1' could not be written").arg(infoPath));
    }
}

QByteArray VXQLibraryItem::infoData()
{
    return platform::PropertyList::toData(info(), platform::PropertyList::Format::Xml).value_or(QByteArray());
}

bool VXQLibraryItem::locked()
{
    return m_libObject ? m_libObject->locked() : info().value(kLocked).toBool();
}

void VXQLibraryItem::setLocked(bool locked)
{
    if (!libraryAllowsContentChanges())
        return;
    if (m_libObject)
        m_libObject->setLocked(locked);
    else
        setInfoValueForKey(locked, kLocked);
}

QString VXQLibraryItem::userDescription()
{
    return info().value(kUserDescription).toString();
}

void VXQLibraryItem::setUserDescription(const QString& description)
{
    if (description == userDescription())
        return;
    info();
    m_info.insert(kUserDescription, description);
    m_needsUpdate = true;
    if (representedObject() && m_libObject) {
        m_isSettingProperty = true;
        m_libObject->setUserDescription(description);
        m_isSettingProperty = false;
    }
    if (library())
        library()->itemUpdateCouldAffectCategories(this);
}

QString VXQLibraryItem::createdBy()
{
    return info().value(kCreatedBy).toString();
}

void VXQLibraryItem::setCreatedBy(const QString& name)
{
    info();
    m_info.insert(kCreatedBy, name);
}

QDateTime VXQLibraryItem::creationDate()
{
    return info().value(kCreationDate).toDateTime();
}

QDateTime VXQLibraryItem::lastModificationDate()
{
    return info().value(kLastModDate).toDateTime();
}

bool VXQLibraryItem::autoDetachesInstances()
{
    return info().value(kAutoDetach).toBool();
}

QSizeF VXQLibraryItem::originalSize()
{
    if (m_classCode != LibraryObjects::kSymbolMasterClassCode)
        return {};
    return sizeFromString(info().value(kOriginalSize).toString());
}

QString VXQLibraryItem::title() const
{
    return QStringLiteral("%1 '%2'").arg(QCoreApplication::translate("VXQLibraryItem", "Apply Style"), name());
}

// --- Names and files ------------------------------------------------------------------------

QString VXQLibraryItem::cleanedName(const QString& name)
{
    QString cleaned = name;
    for (const QChar c : {u'/', u':', u'\\'})
        cleaned.replace(c, u'-');
    return cleaned;
}

QString VXQLibraryItem::name() const
{
    const QString stored = VXQLibraryElement::name();
    if (!stored.isEmpty() || !m_libObject)
        return stored;
    QString made = m_libObject->name();
    if (made.isEmpty() && library())
        made = library()->nextAdHocStyleName();
    made = cleanedName(made);
    const_cast<VXQLibraryItem*>(this)->setElementName(made);
    return made;
}

QString VXQLibraryItem::nextAdHocStyleName()
{
    static std::atomic<qint64> counter{0};
    return QStringLiteral("%1 - %2").arg(QCoreApplication::translate("VXQLibraryItem", "Untitled Style")).arg(++counter);
}

void VXQLibraryItem::setName(const QString& requested)
{
    const QString cleaned = cleanedName(requested);
    if (cleaned.isEmpty() || cleaned == name())
        return;
    // ".", ".." and names too long for a file name never reach the disk.
    if (VXQLibrary::fileSystemName(cleaned) != cleaned) {
        if (nameErrorHandler())
            nameErrorHandler()(requested);
        return;
    }
    const QString unique = library() ? library()->uniqueItemNameExcluding(cleaned, this) : cleaned;
    ZQLog(QStringLiteral("changing lib item name, old = %1, new = %2").arg(name(), unique));
    if (!setFilename(unique)) {
        if (nameErrorHandler())
            nameErrorHandler()(requested);
        return;
    }
    adoptNameWithoutMoving(unique);
    writeToFile();
}

void VXQLibraryItem::adoptNameWithoutMoving(const QString& name)
{
    const QString oldName = VXQLibraryElement::name();
    VXQLibraryElement::setName(name);
    if (library())
        library()->itemNameDidChange(this, oldName, name);
    if (m_libObject) {
        m_isSettingProperty = true;
        m_libObject->setName(name);
        m_isSettingProperty = false;
    }
    setInfoValueForKey(name, kName);
}

void VXQLibraryItem::setNameErrorHandler(std::function<void(const QString&)> handler)
{
    nameErrorHandler() = std::move(handler);
}

QString VXQLibraryItem::filename() const
{
    return name() + u'.' + LibraryItemPackage::kExtension;
}

bool VXQLibraryItem::setFilename(const QString& newName)
{
    if (!library() || library()->path().isEmpty())
        return true;
    const QString target = library()->path() + u'/' + newName + u'.' + LibraryItemPackage::kExtension;
    const QString current = path();
    // A case-only rename finds the package itself under the new name.
    if (QFileInfo::exists(target) && QFileInfo(target).canonicalFilePath() != QFileInfo(current).canonicalFilePath()) {
        LogEvent(kFileEvent, QStringLiteral("the name '%1' is already in use - will not be changed").arg(newName));
        return false;
    }
    if (!QFileInfo::exists(current))
        return true;
    LogEvent(kFileEvent, QStringLiteral("moving file '%1' to '%2'").arg(current, target));
    if (!QDir().rename(current, target)) {
        LogEvent(kFileEvent, QStringLiteral("name on disk could not be changed, error = rename failed"));
        return false;
    }
    return true;
}

QString VXQLibraryItem::path() const
{
    if (!library() || library()->path().isEmpty() || name().isEmpty())
        return {};
    return library()->path() + u'/' + filename();
}

bool VXQLibraryItem::hasValidPath() const
{
    const QString packagePath = path();
    return !packagePath.isEmpty() && QFileInfo::exists(packagePath);
}

bool VXQLibraryItem::libraryAllowsContentChanges() const
{
    return library() && library()->allowsContentChanges();
}

bool VXQLibraryItem::writeToFile()
{
    if (!m_libObject || path().isEmpty() || !libraryAllowsContentChanges())
        return false;
    const QByteArray data = m_libObject->fileData();
    if (!ZQ_EXPECT(!data.isEmpty(), "content data was nil - unable to proceed"))
        return false;
    LibraryItemPackage::Contents contents{data, info(), previewImageLoadingAsynchronously(false)};
    QString reason;
    if (!LibraryItemPackage::write(path(), contents, &reason)) {
        platform::ProblemReporter::report(
            QCoreApplication::translate("VXQLibraryItem", "The item “%1” could not be saved.").arg(name()), reason);
        return false;
    }
    m_needsUpdate = false;
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQLibraryObjectWasUpdatedOnDisk, this);
    return true;
}

bool VXQLibraryItem::updateOnDiskIfNeeded()
{
    return m_needsUpdate && writeToFile();
}

bool VXQLibraryItem::deleteOnDisk()
{
    if (!hasValidPath())
        return false;
    return QDir(path()).removeRecursively();
}

// --- Change tracking ------------------------------------------------------------------------

void VXQLibraryItem::setUpNotifications()
{
    if (!ZQ_EXPECT(m_object, "attempting to set up notifications with no rep object in place"))
        return;
    tearDownNotifications();
    QStringList names;
    if (m_classCode == LibraryObjects::kSymbolMasterClassCode)
        names = {kVXQSymbolMasterDidChange, kVXQSymbolMasterNameDidChange, kVXQSymbolMasterLockStateDidChange};
    else if (m_classCode == LibraryObjects::kStyleClassCode)
        names = {kVXStyleDidChangeNotification, kVXStyleNameChangedNotification, kVXStyleLockStateChangedNotification};
    auto& center = platform::NotificationCenter::defaultCenter();
    for (const QString& name : names)
        m_observerTokens.append(center.addObserver(this, name, m_object.get(),
                                                   [this](const platform::Notification& n) { repObjectChanged(n); }));
}

void VXQLibraryItem::tearDownNotifications()
{
    auto& center = platform::NotificationCenter::defaultCenter();
    for (const quint64 token : std::as_const(m_observerTokens))
        center.removeObserver(token);
    m_observerTokens.clear();
}

void VXQLibraryItem::repObjectChanged(const platform::Notification& notification)
{
    if (notification.object() != m_object.get() || !m_libObject)
        return;
    // A style follows its name and lock notices with a general one for the same change.
    const QString keyPath = notification.userInfo.value(QStringLiteral("keyPath")).toString();
    if (notification.name == kVXStyleDidChangeNotification && (keyPath == u"name" || keyPath == u"locked"))
        return;
    const bool nameChanged =
        notification.name == kVXQSymbolMasterNameDidChange || notification.name == kVXStyleNameChangedNotification;
    const bool lockChanged = notification.name == kVXQSymbolMasterLockStateDidChange ||
                             notification.name == kVXStyleLockStateChangedNotification;
    objectDidChange(nameChanged, !nameChanged && !lockChanged, lockChanged);
}

void VXQLibraryItem::objectDidChange(bool nameChanged, bool contentChanged, bool lockChanged)
{
    if (!m_infoBuilt)
        info();
    m_info.insert(kLastModDate, dateFromReferenceTimestamp(m_libObject->lastModificationTimestamp()));
    auto& center = platform::NotificationCenter::defaultCenter();
    if (nameChanged) {
        if (!m_isSettingProperty)
            setName(m_libObject->name());
        center.postNotificationName(kVXQLibraryObjectInternallyUpdated, this);
        if (library())
            library()->itemUpdateCouldAffectCategories(this);
        return;
    }
    // Describing a style takes longer than the rest of a change: it is done when next read.
    if (contentChanged && !m_isSettingProperty)
        m_descriptionIsStale = true;
    if (lockChanged)
        m_info.insert(kLocked, m_libObject->locked());
    m_needsUpdate = true;
    // Writing draws a fresh preview from the object into the emptied cache; the changes of one
    // turn (a master announces each twice) share one write.
    setIconForItem(QImage(), *this);
    ++m_previewGeneration;
    m_imageLoading = false;
    static const QByteArray writeKey("writeToFile");
    platform::RunLoop::cancelPreviousPerformRequests(this, writeKey);
    platform::RunLoop::performAfterDelay(this, [this] { updateOnDiskIfNeeded(); }, 0, writeKey);
    center.postNotificationName(kVXQLibraryObjectInternallyUpdated, this);
    if (library() && !(contentChanged && m_isSettingProperty))
        library()->itemUpdateCouldAffectCategories(this);
}

// --- Previews -------------------------------------------------------------------------------

QThreadPool& VXQLibraryItem::iconFetchQueue()
{
    static QThreadPool queue;
    [[maybe_unused]] static const bool waitedForAtEnd = (platform::WorkInFlight::waitForPoolAtEnd(&queue), true);
    return queue;
}

bool VXQLibraryItem::loadsImagesUsingThread()
{
    return s_loadsImagesUsingThread;
}

void VXQLibraryItem::setLoadsImagesUsingThread(bool flag)
{
    s_loadsImagesUsingThread = flag;
}

QImage VXQLibraryItem::iconForItem(const VXQLibraryItem& item)
{
    IconCache& cache = iconCache();
    QMutexLocker lock(&cache.mutex);
    const QImage* image = cache.images.object(item.uniqueKey());
    return image ? *image : QImage();
}

void VXQLibraryItem::setIconForItem(const QImage& image, const VXQLibraryItem& item)
{
    IconCache& cache = iconCache();
    QMutexLocker lock(&cache.mutex);
    if (image.isNull())
        cache.images.remove(item.uniqueKey());
    else
        cache.images.insert(item.uniqueKey(), new QImage(image));
}

QImage VXQLibraryItem::icon() const
{
    return const_cast<VXQLibraryItem*>(this)->previewImage();
}

QImage VXQLibraryItem::makePreviewImage()
{
    if (!representedObject() || !m_libObject) {
        LogEvent(kFileEvent, QStringLiteral("expected library object to be loaded, but it's nil"));
        return {};
    }
    return m_libObject->imageToFitSizeAllowScaleUp(QSizeF(kPreviewSide, kPreviewSide), true);
}

void VXQLibraryItem::setPreviewImage(const QImage& image)
{
    // A preview still being drawn is older than this one.
    ++m_previewGeneration;
    setIconForItem(image, *this);
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQLibraryObjectImageUpdated, this);
}

QImage VXQLibraryItem::previewImageLoadingAsynchronously(bool asynchronously)
{
    if (const QImage cached = iconForItem(*this); !cached.isNull())
        return cached;
    const bool inBackground = asynchronously && loadsImagesUsingThread();
    if (m_object && !inBackground) {
        // Whoever cannot wait (a package write, a print) draws now.
        const QImage made = makePreviewImage();
        setPreviewImage(made);
        m_imageLoading = false;
        return made;
    }
    if (m_imageLoading)
        return {};
    m_imageLoading = true;
    if (m_object) {
        startPreviewRendering();
        return {};
    }
    if (!hasValidPath())
        return {};
    if (inBackground) {
        startPreviewLoad();
        return {};
    }
    QImage image = LibraryItemPackage::readPreview(path());
    if (image.isNull()) {
        logUnreadablePreview();
        image = makePreviewImage();
    }
    previewRenderingFinished(image);
    return iconForItem(*this);
}

void VXQLibraryItem::startPreviewLoad()
{
    const QString packagePath = path();
    if (packagePath.isEmpty())
        return;
    m_imageLoading = true;
    QPointer<VXQLibraryItem> self(this);
    // The worker only reads and decodes; the item changes on the main thread.
    iconFetchQueue().start([self, packagePath] {
        QImage image = LibraryItemPackage::readPreview(packagePath);
        platform::RunLoop::runOnMainThread([self, image = std::move(image)] {
            if (self)
                self->previewLoadFinished(image);
        });
    });
}

void VXQLibraryItem::previewLoadFinished(const QImage& image)
{
    if (!image.isNull()) {
        setPreviewImage(image);
        m_imageLoading = false;
        return;
    }
    logUnreadablePreview();
    startPreviewRendering();
}

void VXQLibraryItem::startPreviewRendering()
{
    // Decoding stays on this thread (a master looks itself up among the shared ones); the
    // drawing, the slow part, is done on a worker from a copy the main thread never touches.
    std::shared_ptr<ZQObject> copy = representedObject() ? m_object->copy() : nullptr;
    const auto drawn = LibraryObjects::libraryObjectFor(copy);
    if (!drawn) {
        previewRenderingFinished({});
        return;
    }
    m_imageLoading = true;
    QPointer<VXQLibraryItem> self(this);
    const quint64 generation = m_previewGeneration;
    iconFetchQueue().start([self, generation, copy = std::move(copy), drawn]() mutable {
        QImage image;
        platform::runGuarded("preview rendering",
                             [&] { image = drawn->imageToFitSizeAllowScaleUp(QSizeF(kPreviewSide, kPreviewSide), true); });
        // The copy is released where it was made.
        platform::RunLoop::runOnMainThread([self, generation, copy = std::move(copy), image = std::move(image)] {
            if (self && self->m_previewGeneration == generation)
                self->previewRenderingFinished(image);
        });
    });
}

void VXQLibraryItem::previewRenderingFinished(const QImage& image)
{
    if (image.isNull()) {
        // The flag stays set: later requests answer none instead of trying again.
        LogEvent(kFileEvent, QStringLiteral("could not create preview image for '%1'. Giving up").arg(name()));
        return;
    }
    setPreviewImage(image);
    m_imageLoading = false;
}

void VXQLibraryItem::logUnreadablePreview() const
{
    LogEvent(kFileEvent, QStringLiteral("image data was read but not a valid image for '%1' - will try making new image")
                             .arg(name()));
}

bool VXQLibraryItem::remakeIconOnDisk()
{
    const QImage made = makePreviewImage();
    setPreviewImage(made);
    const bool written = writeToFile();
    if (written)
        ZQLog(QStringLiteral("updated icon for '%1' at %2").arg(name(), path()));
    else
        ZQLog(QStringLiteral("FAILED to update icon for '%1'").arg(name()));
    return written;
}

QByteArray VXQLibraryItem::previewThumbnail()
{
    return LibraryItemPackage::thumbnailData(previewImage());
}

QByteArray VXQLibraryItem::previewData()
{
    return LibraryItemPackage::previewData(previewImage());
}

// --- Items for objects -----------------------------------------------------------------------

QList<VXQLibraryItemPtr> VXQLibraryItem::libraryItemsWithObjectsReturnAnyExisting(const QList<ZQObjectPtr>& objects,
                                                                                bool returnAnyExisting)
{
    QList<VXQLibraryItemPtr> items;
    for (const ZQObjectPtr& object : objects) {
        const auto libraryObject = LibraryObjects::libraryObjectFor(object);
        if (!libraryObject)
            continue;
        VXQLibraryItem* existing = nullptr;
        if (returnAnyExisting)
            if (VXQLibraryPtr library = VXQLibrary::libraryContainingItemWithUniqueIDInGroups(libraryObject->uniqueKey(), {}))
                existing = library->itemWithUniqueID(libraryObject->uniqueKey());
        items.append(existing ? std::static_pointer_cast<VXQLibraryItem>(existing->shared_from_this())
                              : itemWithLibraryObject(object));
    }
    return items;
}

QList<VXQLibraryItemPtr> VXQLibraryItem::libraryItemsWithUnknownObjectsInGroups(const QList<ZQObjectPtr>& objects,
                                                                              const QStringList& groups)
{
    QList<VXQLibraryItemPtr> items;
    for (const ZQObjectPtr& object : objects)
        if (const auto libraryObject = LibraryObjects::libraryObjectFor(object))
            if (!VXQLibrary::libraryContainingItemWithUniqueIDInGroups(libraryObject->uniqueKey(), groups))
                items.append(itemWithLibraryObject(object));
    return items;
}

QList<VXQLibraryItemPtr> VXQLibraryItem::existingLibraryItemsWithObjects(const QList<ZQObjectPtr>& objects)
{
    QList<VXQLibraryItemPtr> items;
    for (const ZQObjectPtr& object : objects)
        if (const auto libraryObject = LibraryObjects::libraryObjectFor(object))
            if (VXQLibraryPtr library = VXQLibrary::libraryContainingItemWithUniqueIDInGroups(libraryObject->uniqueKey(), {}))
                items.append(std::static_pointer_cast<VXQLibraryItem>(
                    library->itemWithUniqueID(libraryObject->uniqueKey())->shared_from_this()));
    return items;
}

QList<VXQLibraryItemPtr> VXQLibraryItem::predefinedFontStyleItems()
{
    QList<ZQObjectPtr> styles;
    const QList<QPair<QString, bool>> families{
        {QStringLiteral("Helvetica"), false}, {QStringLiteral("Helvetica"), true}, {QStringLiteral("Gill Sans"), false}};
    for (const auto& [family, bold] : families) {
        QFont font(family);
        font.setBold(bold);
        if (!QFontInfo(font).exactMatch())
            continue;
        for (const int size : {6, 7, 9, 10, 11, 12, 14, 18, 24, 28, 36}) {
            font.setPointSizeF(size);
            if (VXStylePtr style = VXStyle::textStyleWithFont(font))
                styles.append(style);
        }
    }
    return libraryItemsWithObjects(styles);
}

// --- Pasteboard and archives ----------------------------------------------------------------

bool VXQLibraryItem::writeLibraryItemsToPasteboardSymbolPrescale(const QList<VXQLibraryItemPtr>& items,
                                                                 platform::Pasteboard& pasteboard, double prescale)
{
    if (items.isEmpty())
        return false;
    const VXQLibraryItemPtr& last = items.last();
    platform::KeyedArchiver archiver;
    if (last->library())
        archiver.encodeObject(last->library(), QStringLiteral("sourceLib"));
    archiver.encodeInt(items.size(), QStringLiteral("count"));
    QVariantList entries;
    for (const VXQLibraryItemPtr& item : items)
        entries.append(item->pasteboardData());
    archiver.encodeObject(entries, QStringLiteral("items"));
    const QByteArray archive = archiver.finishEncoding();
    if (archive.isEmpty())
        return false;
    pasteboard.declareTypes({kVXQLibraryItemPasteboardType});
    if (last->representedObject() && last->m_libObject)
        last->m_libObject->copyToPasteboard(pasteboard);
    if (auto master = std::dynamic_pointer_cast<VXQSymbolMaster>(last->m_object)) {
        const VXDrawableObjectPtr drawable =
            master->autoDetachesInstances() ? master->objectPtr()
                                            : VXDrawableObjectPtr(master->symbolWithLocationDocumentPrescale({}, prescale));
        if (drawable) {
            QMimeData scratch;
            VXDrawableObject::writeObjectsToPasteboard({drawable}, &scratch);
            LibraryObjects::addMimeDataToPasteboard(scratch, pasteboard);
        }
    }
    return pasteboard.setDataForType(archive, kVXQLibraryItemPasteboardType);
}

QList<VXQLibraryItemPtr> VXQLibraryItem::libraryItemsFromPasteboard(const platform::Pasteboard& pasteboard)
{
    const QByteArray archive = pasteboard.dataForType(kVXQLibraryItemPasteboardType);
    if (archive.isEmpty())
        return {};
    platform::KeyedUnarchiver unarchiver(archive);
    if (!unarchiver.isValid())
        return {};
    QList<VXQLibraryItemPtr> items;
    for (const QVariant& entry : unarchiver.decodeValue(QStringLiteral("items")).toList())
        if (entry.typeId() == QMetaType::QByteArray)
            if (VXQLibraryItemPtr item = itemWithPasteboardData(entry.toByteArray()))
                items.append(item);
    return items;
}

VXQLibraryPtr VXQLibraryItem::sourceLibraryOnPasteboard(const platform::Pasteboard& pasteboard)
{
    const QByteArray archive = pasteboard.dataForType(kVXQLibraryItemPasteboardType);
    if (archive.isEmpty())
        return nullptr;
    platform::KeyedUnarchiver unarchiver(archive);
    return unarchiver.isValid() ? unarchiver.decodeObjectOfClass<VXQLibrary>(QStringLiteral("sourceLib")) : nullptr;
}

VXQLibraryItemPtr VXQLibraryItem::itemWithPasteboardData(const QByteArray& data)
{
    return std::dynamic_pointer_cast<VXQLibraryItem>(platform::KeyedUnarchiver::unarchiveObjectWithData(data));
}

QByteArray VXQLibraryItem::pasteboardData() const
{
    return platform::KeyedArchiver::archivedDataWithRootObject(this);
}

void VXQLibraryItem::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeObject(library(), QStringLiteral("VXQLibItem_library"));
    coder.encodeString(name(), QStringLiteral("VXQLibItem_name"));
    coder.encodeString(uniqueKey(), QStringLiteral("VXQLibItem_uniqueID"));
    coder.encodeInt(m_classCode, QStringLiteral("VXQLibItem_classcode"));
    if (m_infoBuilt)
        coder.encodeObject(QVariant(const_cast<VXQLibraryItem*>(this)->info()), QStringLiteral("VXQLibItem_info"));
    if (m_object)
        coder.encodeObject(m_object.get(), QStringLiteral("VXQLibItem_object"));
}

void VXQLibraryItem::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const VXQLibraryPtr library = coder.decodeObjectOfClass<VXQLibrary>(QStringLiteral("VXQLibItem_library"));
    initWithNameLibrary(coder.decodeString(QStringLiteral("VXQLibItem_name")), library.get());
    m_key = coder.decodeString(QStringLiteral("VXQLibItem_uniqueID"));
    m_classCode = qint32(coder.decodeInt(QStringLiteral("VXQLibItem_classcode")));
    const ZQObjectPtr object = coder.decodeObject(QStringLiteral("VXQLibItem_object"));
    // Reading a pasteboard never writes: the package on disk may be newer than this copy.
    if (object && LibraryObjects::isLibraryObject(object.get()))
        setObjectWithoutWriting(object);
    const QVariant archivedInfo = coder.decodeValue(QStringLiteral("VXQLibItem_info"));
    if (archivedInfo.typeId() == QMetaType::QVariantMap) {
        m_info = archivedInfo.toMap();
        m_infoBuilt = true;
    }
}

ZQObjectPtr VXQLibraryItem::awakeAfterUsingCoder(platform::KeyedUnarchiver&)
{
    if (library() && !m_key.isEmpty())
        if (VXQLibraryItem* own = library()->itemWithUniqueID(m_key))
            return own->shared_from_this();
    return shared_from_this();
}

std::shared_ptr<ZQObject> VXQLibraryItem::copy() const
{
    auto* self = const_cast<VXQLibraryItem*>(this);
    if (!self->representedObject() || !m_libObject)
        return nullptr;
    const ZQObjectPtr cloned = m_libObject->clone();
    const auto clonedObject = LibraryObjects::libraryObjectFor(cloned);
    if (!clonedObject)
        return nullptr;
    clonedObject->setName(library() ? QStringLiteral("%1 (cloned from %2)").arg(name(), library()->name())
                                    : QStringLiteral("%1 (cloned)").arg(name()));
    return itemWithLibraryObject(cloned);
}

void VXQLibraryItem::setValueForUndefinedKey(const QVariant& value, const QString& key)
{
    if (!m_object)
        return;
    const QByteArray property = key.toUtf8();
    if (m_object->metaObject()->indexOfProperty(property.constData()) >= 0)
        m_object->setValueForKey(value, key);
}

QVariantMap VXQLibraryItem::elementInfo() const
{
    return {{kName, name()}, {kId, uniqueKey()}, {QStringLiteral("cc"), m_classCode}};
}

QString VXQLibraryItem::description() const
{
    return QStringLiteral("%1 '%2' (%3)").arg(className(), name(), m_object ? QStringLiteral("M") : QStringLiteral("D"));
}
