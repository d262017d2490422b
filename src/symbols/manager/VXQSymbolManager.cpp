#include "symbols/manager/VXQSymbolManager.h"

#include "app/utilities/FileUtilities.h"
#include "app/utilities/StringUtilities.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/model/ArchiveReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QPixmap>
#include <algorithm>

namespace {

const QString kCategoriesKey = QStringLiteral("VXCategoryManager_categories");
const QString kCategoryKeysKey = QStringLiteral("VXCategoryManager_categoryKeys");
const QString kObjectsKey = QStringLiteral("VXCategoryManager_objects");
const QString kImagesManagerKey = QStringLiteral("VXQSymbolManager_imagesManager");
const QString kSymbolsLibraryDefault = QStringLiteral("VXQSymbolManager_symbolsLibrary");
const QString kSymbolLibrariesFolder = QStringLiteral("Symbol Libraries");
constexpr QSize kMenuIconSize(36, 24);
constexpr int kRecentlyUsedList = 1;

// The shared registry: the object keeps it alive, the interface is what callers use.
struct SharedRegistry {
    std::shared_ptr<ZQObject> object;
    VXQSymbolRegistry* registry = nullptr;
};

SharedRegistry& sharedRegistry()
{
    static SharedRegistry shared;
    return shared;
}

void installSharedRegistry(std::shared_ptr<ZQObject> object)
{
    SharedRegistry& shared = sharedRegistry();
    shared.registry = dynamic_cast<VXQSymbolRegistry*>(object.get());
    shared.object = shared.registry ? std::move(object) : nullptr;
}

// The registry the application delegate hands over (the symbol library's), or null.
std::shared_ptr<ZQObject> delegateRegistry()
{
    auto* delegate = qobject_cast<ZQObject*>(platform::Application::delegate());
    if (!delegate || !delegate->respondsToSelector("applicationWillReturnSymbolManager"))
        return nullptr;
    auto answer = delegate->performSelector("applicationWillReturnSymbolManager").value<ZQObjectPtr>();
    return dynamic_cast<VXQSymbolRegistry*>(answer.get()) ? answer : nullptr;
}

} // namespace

VXQSymbolManager::VXQSymbolManager()
{
    removeAllSymbols();
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kVXQSymbolMasterDidChange, nullptr,
        [this](const platform::Notification& notification) { symbolDidChange(notification); });
}

// The notification centre drops observers that die, and at exit it may be gone before the shared manager.
VXQSymbolManager::~VXQSymbolManager() = default;

// --- The shared registry ---------------------------------------------------------------------------

VXQSymbolRegistry* VXQSymbolManager::sharedSymbolManager()
{
    SharedRegistry& shared = sharedRegistry();
    if (!shared.registry) {
        std::shared_ptr<ZQObject> registry = delegateRegistry();
        installSharedRegistry(registry ? registry : std::make_shared<VXQSymbolManager>());
    }
    return shared.registry;
}

VXQSymbolMasterPtr VXQSymbolManager::sharedSymbolForKey(const QString& key)
{
    return std::dynamic_pointer_cast<VXQSymbolMaster>(sharedSymbolManager()->symbolForKey(key));
}

VXQSymbolMasterPtr VXQSymbolManager::symbolForKeyAddingToRecentlyUsed(const QString& key)
{
    VXQSymbolMasterPtr master = sharedSymbolForKey(key);
    if (master)
        sharedSymbolManager()->addKeyToRecentList(key, kRecentlyUsedList);
    return master;
}

void VXQSymbolManager::registerSymbol(const VXQSymbolMasterPtr& master)
{
    registerSymbolInCategories(master, {kVXQAllUserSymbolsCategory});
}

void VXQSymbolManager::registerSymbolInCategories(const VXQSymbolMasterPtr& master, const QStringList& categories)
{
    ZQ_ASSERT(master, QStringLiteral("attempt to register a nil symbol"));
    VXQSymbolRegistry* registry = sharedSymbolManager();
    ZQ_ASSERT(registry, QStringLiteral("cannot continue - registry could not be initialised"));
    if (registry->symbolForKey(master->uniqueKey()))
        return;
    const QString name = master->name().isEmpty() ? tr("untitled symbol") : master->name();
    master->setName(registry->uniqueNameForName(name));
    registry->addObjectForKeyToCategoriesCreateCategories(master, master->uniqueKey(), categories, true);
    LogEvent(kStateEvent, QStringLiteral("registered new symbol %1; key = %2 '%3'")
                              .arg(master->description(), master->uniqueKey(), master->name()));
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQSymbolWasRegisteredNotification,
                                                                       sharedRegistry().object.get());
}

void VXQSymbolManager::unregisterSymbol(const VXQSymbolMaster& master)
{
    sharedSymbolManager()->removeObjectForKey(master.uniqueKey());
}

QStringList VXQSymbolManager::registeredSymbolKeys()
{
    return sharedSymbolManager()->allKeysInCategory(kVXDefaultCategoryName);
}

QByteArray VXQSymbolManager::registeredSymbolsData()
{
    return sharedSymbolManager()->data();
}

void VXQSymbolManager::saveDefaults()
{
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(registeredSymbolsData(), kSymbolsLibraryDefault);
}

void VXQSymbolManager::loadDefaults()
{
    const QByteArray data = platform::UserDefaults::standardUserDefaults()->dataForKey(kSymbolsLibraryDefault);
    if (!data.isEmpty())
        sharedSymbolManager()->appendContentsWithData(data);
    availableSymbolLibrariesOnDisk();
}

void VXQSymbolManager::resetRegistry()
{
    sharedSymbolManager()->removeAllSymbols();
}

QStringList VXQSymbolManager::availableSymbolLibrariesOnDisk()
{
    const QString folder = QDir(thisApplicationsSupportFolderURL().toLocalFile()).filePath(kSymbolLibrariesFolder);
    if (!QDir().mkpath(folder)) {
        LogEvent(kFileEvent, QStringLiteral("symbol libraries: (null)"));
        return {};
    }
    QStringList libraries;
    const QStringList patterns{QStringLiteral("*.sslib"), QStringLiteral("*.ssf")};
    for (const QString& name : QDir(folder).entryList(patterns, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        libraries.append(QDir(folder).filePath(name));
    LogEvent(kFileEvent, QStringLiteral("symbol libraries: %1").arg(libraries.join(QStringLiteral(", "))));
    return libraries;
}

std::unique_ptr<platform::Menu> VXQSymbolManager::sharedManagedSymbolsMenuWithItemTargetItemAction(QObject* target,
                                                                                                 const QByteArray& action)
{
    std::unique_ptr<platform::Menu> menu = sharedSymbolManager()->managedSymbolsMenuWithItemTargetItemAction(target, action);
    if (!menu)
        menu = std::make_unique<platform::Menu>();
    menu->addSeparator();
    menu->addItemWithTitleActionKeyEquivalent(tr("Manage Symbols..."), "manageSymbolsAction");
    return menu;
}

QStringList VXQSymbolManager::defaultCategories()
{
    return {kVXDefaultCategoryName, kVXQAllUserSymbolsCategory, kVXQAllUserStylesCategory, kVXQAutomaticKeyItemsCategory};
}

VXQSymbolManager::SharedRegistryScope::SharedRegistryScope(Start start)
    : m_registry(start == Start::OwnRegistry ? std::make_shared<VXQSymbolManager>() : nullptr)
    , m_previous(sharedRegistry().object)
{
    installSharedRegistry(m_registry);
}

VXQSymbolManager::SharedRegistryScope::~SharedRegistryScope()
{
    installSharedRegistry(m_previous);
}

// --- An own registry ---------------------------------------------------------------------------------

QString VXQSymbolManager::symbolNameForKey(const QString& key) const
{
    const ZQObjectPtr object = m_objects.value(key);
    return object ? object->property("name").toString() : QString();
}

QList<ZQObjectPtr> VXQSymbolManager::symbolsInCategories(const QStringList& categories) const
{
    QList<ZQObjectPtr> objects;
    for (const QString& category : categories) {
        for (const QString& key : m_categoryKeys.value(category)) {
            const ZQObjectPtr object = m_objects.value(key);
            if (object && !objects.contains(object))
                objects.append(object);
        }
    }
    return objects;
}

QStringList VXQSymbolManager::sortedNames(QStringList names, bool sort)
{
    if (sort) {
        std::sort(names.begin(), names.end(),
                  [](const QString& a, const QString& b) { return localisedCaseInsensitiveNumericCompare(a, b) < 0; });
    }
    return names;
}

QStringList VXQSymbolManager::symbolNamesWithSorting(bool sort) const
{
    QStringList names;
    for (const QString& key : m_categoryKeys.value(kVXDefaultCategoryName))
        names.append(symbolNameForKey(key));
    return sortedNames(names, sort);
}

QStringList VXQSymbolManager::symbolNamesInCategoryWithSorting(const QString& category, bool sort) const
{
    QStringList names;
    for (const QString& key : m_categoryKeys.value(category))
        names.append(symbolNameForKey(key));
    return sortedNames(names, sort);
}

ZQObjectPtr VXQSymbolManager::symbolWithName(const QString& name)
{
    for (const QString& key : m_categoryKeys.value(kVXDefaultCategoryName)) {
        if (symbolNameForKey(key) == name)
            return m_objects.value(key);
    }
    return nullptr;
}

QString VXQSymbolManager::uniqueNameForName(const QString& name)
{
    const QStringList names = symbolNamesWithSorting(false);
    QString candidate = name;
    for (int counter = 1; names.contains(candidate); ++counter)
        candidate = QStringLiteral("%1 %2").arg(name).arg(counter);
    return candidate;
}

void VXQSymbolManager::addCategory(const QString& category)
{
    if (!m_categoryNames.contains(category)) {
        m_categoryNames.append(category);
        m_categoryKeys.insert(category, {});
    }
}

void VXQSymbolManager::addObjectForKeyToCategoriesCreateCategories(const ZQObjectPtr& object, const QString& key,
                                                                   const QStringList& categories, bool createCategories)
{
    if (!object || key.isEmpty())
        return;
    m_objects.insert(key, object);
    QStringList into{kVXDefaultCategoryName};
    into.append(categories);
    for (const QString& category : std::as_const(into)) {
        if (createCategories)
            addCategory(category);
        if (m_categoryKeys.contains(category) && !m_categoryKeys[category].contains(key))
            m_categoryKeys[category].append(key);
    }
}

void VXQSymbolManager::removeObjectForKey(const QString& key)
{
    m_objects.remove(key);
    for (QStringList& keys : m_categoryKeys)
        keys.removeAll(key);
    for (QStringList& recent : m_recentLists)
        recent.removeAll(key);
}

void VXQSymbolManager::addKeyToRecentList(const QString& key, int list)
{
    QStringList& recent = m_recentLists[list];
    recent.removeAll(key);
    recent.prepend(key);
    while (recent.size() > kRecentListLength)
        recent.removeLast();
}

QByteArray VXQSymbolManager::data() const
{
    return platform::KeyedArchiver::archivedDataWithRootObject(this);
}

void VXQSymbolManager::appendContentsWithData(const QByteArray& data)
{
    const auto other = std::dynamic_pointer_cast<VXQSymbolManager>(platform::KeyedUnarchiver::unarchiveObjectWithData(data));
    if (!other) {
        LogEvent(kFileEvent, QStringLiteral("symbol registry data is damaged; nothing added"));
        return;
    }
    for (const QString& category : std::as_const(other->m_categoryNames)) {
        addCategory(category);
        for (const QString& key : other->m_categoryKeys.value(category)) {
            if (const ZQObjectPtr object = other->m_objects.value(key))
                addObjectForKeyToCategoriesCreateCategories(object, key, {category}, true);
        }
    }
}

void VXQSymbolManager::removeAllSymbols()
{
    m_objects.clear();
    m_categoryNames.clear();
    m_categoryKeys.clear();
    m_recentLists.clear();
    for (const QString& category : defaultCategories())
        addCategory(category);
}

std::unique_ptr<platform::Menu> VXQSymbolManager::managedSymbolsMenuWithItemTargetItemAction(QObject* target,
                                                                                            const QByteArray& action)
{
    auto menu = std::make_unique<platform::Menu>(tr("Symbol"));
    QList<VXQSymbolMasterPtr> masters;
    for (const QString& key : m_categoryKeys.value(kVXDefaultCategoryName)) {
        if (auto master = std::dynamic_pointer_cast<VXQSymbolMaster>(m_objects.value(key)))
            masters.append(std::move(master));
    }
    std::stable_sort(masters.begin(), masters.end(), [](const VXQSymbolMasterPtr& a, const VXQSymbolMasterPtr& b) {
        return localisedCaseInsensitiveNumericCompare(a->name(), b->name()) < 0;
    });
    for (const VXQSymbolMasterPtr& master : std::as_const(masters)) {
        auto* item = new platform::MenuItem(master->name(), action, menu.get());
        item->setTarget(target);
        item->setRepresentedObject(QVariant::fromValue(ZQObjectPtr(master)));
        const QImage icon = master->imageToFitSize(QSizeF(kMenuIconSize));
        if (!icon.isNull())
            item->setIcon(QIcon(QPixmap::fromImage(icon.scaled(kMenuIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation))));
        if (!master->userDescription().isEmpty())
            item->setToolTip(master->userDescription());
        menu->addAction(item);
    }
    return menu;
}

void VXQSymbolManager::symbolDidChange(const platform::Notification& notification)
{
    auto* master = qobject_cast<VXQSymbolMaster*>(notification.object());
    if (!master || m_objects.value(master->uniqueKey()).get() != master)
        return;
    platform::NotificationCenter::defaultCenter().postNotificationName(
        kVXQRegisteredSymbolDidChangeNotification, this,
        {{QStringLiteral("Symbol"), QVariant::fromValue(master->shared_from_this())}});
}

void VXQSymbolManager::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    QVariantMap objects;
    QVariantMap categoryKeys;
    for (auto object = m_objects.cbegin(); object != m_objects.cend(); ++object)
        objects.insert(object.key(), QVariant::fromValue(object.value()));
    for (auto keys = m_categoryKeys.cbegin(); keys != m_categoryKeys.cend(); ++keys)
        categoryKeys.insert(keys.key(), keys.value());
    coder.encodeObject(m_symbolImagesManager.get(), kImagesManagerKey);
    coder.encodeObject(QVariant(m_categoryNames), kCategoriesKey);
    coder.encodeObject(QVariant(categoryKeys), kCategoryKeysKey);
    coder.encodeObject(QVariant(objects), kObjectsKey);
}

void VXQSymbolManager::initWithCoder(platform::KeyedUnarchiver& coder)
{
    removeAllSymbols();
    const platform::ArchiveReader reader(coder);
    // Older files have none.
    VXImageDataManagerPtr images = reader.object<VXImageDataManager>(kImagesManagerKey);
    if (images)
        sharedSymbolManager()->setImageManager(images);
    else
        images = std::make_shared<VXImageDataManager>();
    const QVariantMap objects = reader.dictionary(kObjectsKey);
    const QVariantMap categoryKeys = reader.dictionary(kCategoryKeysKey);
    for (const QVariant& category : coder.decodeValue(kCategoriesKey).toList()) {
        const QString name = category.toString();
        if (name.isEmpty())
            continue;
        addCategory(name);
        for (const QVariant& key : categoryKeys.value(name).toList()) {
            if (const ZQObjectPtr object = objects.value(key.toString()).value<ZQObjectPtr>())
                addObjectForKeyToCategoriesCreateCategories(object, key.toString(), {name}, true);
        }
    }
    addCategory(kVXQAutomaticKeyItemsCategory);
    m_symbolImagesManager = std::move(images);
}
