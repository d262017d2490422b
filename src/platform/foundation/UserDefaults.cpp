#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/UserDefaultsChanges.h"

#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/ProblemReporter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

#include <cmath>
#include <limits>
#include <utility>

namespace platform {

namespace {

struct SharedState {
    QRecursiveMutex mutex; // making the shared instance reads the storage folder
    QPointer<UserDefaults> instance;
    QString storageFolderOverride;
};

SharedState& shared()
{
    static SharedState state;
    return state;
}

QString storageFolder()
{
    QMutexLocker lock(&shared().mutex);
    return shared().storageFolderOverride.isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        : shared().storageFolderOverride;
}

// Booleans read as 0 and 1 wherever a number is asked for.
bool isNumberOrBoolean(const QVariant& value)
{
    return value.typeId() == QMetaType::Bool || isNumericVariant(value);
}

bool isFloatingPoint(const QVariant& value)
{
    return value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
}

// Truncates towards zero; NaN reads as 0 and the rest is clamped to the qint64 range.
qint64 truncatedInteger(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double limit = 9223372036854775807.0;
    if (value >= limit)
        return std::numeric_limits<qint64>::max();
    if (value <= -limit)
        return std::numeric_limits<qint64>::min();
    return qint64(value);
}

// Numbers in stored text are read locale-independently, as the platform does.
std::optional<double> numberInText(const QVariant& value)
{
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    bool ok = false;
    const double number = value.toString().trimmed().toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

} // namespace

UserDefaults::UserDefaults(QObject* parent)
    : QObject(parent)
    , m_storageFolder(storageFolder())
    , m_domainName(QCoreApplication::applicationName())
{
    connect(this, &UserDefaults::didChange, &UserDefaultsChanges::instance(), &UserDefaultsChanges::defaultsDidChange,
            Qt::DirectConnection);
}

UserDefaultsChanges& UserDefaultsChanges::instance()
{
    static UserDefaultsChanges* const changes = [] {
        auto* made = new UserDefaultsChanges;
        // It belongs to the main thread, whichever thread first changed a default.
        if (QCoreApplication::instance())
            made->moveToThread(QCoreApplication::instance()->thread());
        return made;
    }();
    return *changes;
}

UserDefaults::~UserDefaults()
{
    synchronize();
}

UserDefaults* UserDefaults::standardUserDefaults()
{
    QMutexLocker lock(&shared().mutex);
    if (!shared().instance) {
        // Owned by the application object so that it is written before the process ends.
        // Made off the main thread it cannot have that parent: synchronize() writes it then.
        QCoreApplication* application = QCoreApplication::instance();
        const bool onMainThread = application && application->thread() == QThread::currentThread();
        shared().instance = new UserDefaults(onMainThread ? application : nullptr);
    }
    return shared().instance;
}

void UserDefaults::resetStandardUserDefaults()
{
    QMutexLocker lock(&shared().mutex);
    UserDefaults* defaults = shared().instance;
    shared().instance.clear();
    lock.unlock();
    delete defaults;
}

void UserDefaults::setStorageLocationForTesting(const QString& folder)
{
    {
        QMutexLocker lock(&shared().mutex);
        shared().storageFolderOverride = folder;
    }
    resetStandardUserDefaults();
}

// ---------------------------------------------------------------------------------------
// Registration

void UserDefaults::registerDefaults(const QVariantMap& defaults)
{
    {
        QMutexLocker lock(&m_mutex);
        m_registered.insert(defaults);
    }
    Q_EMIT didChange(QString());
}

bool UserDefaults::registerDefaultsFromBundleResource(const QString& name, const QString& type)
{
    const QString path = QStringLiteral(":/bundle/%1.%2").arg(name, type);
    QuorvaneError error;
    const std::optional<QVariant> contents = PropertyList::readFile(path, &error);
    if (!contents || contents->typeId() != QMetaType::QVariantMap) {
        ZQLogObjCMethod(contents ? QStringLiteral("%1 does not hold a dictionary").arg(path)
                                 : error.localizedDescription());
        return false;
    }
    registerDefaults(contents->toMap());
    return true;
}

// ---------------------------------------------------------------------------------------
// Reading

QVariant UserDefaults::objectForKey(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    return lookup(key);
}

QString UserDefaults::stringForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    return isNumericVariant(value) ? value.toString() : QString();
}

QVariantList UserDefaults::arrayForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    const bool isArray = value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList;
    return isArray ? value.toList() : QVariantList();
}

QVariantMap UserDefaults::dictionaryForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
        return value.toMap();
    default:
        return value.typeId() == qMetaTypeId<OrderedDictionary>() ? value.value<OrderedDictionary>().toMap()
                                                                   : QVariantMap();
    }
}

QByteArray UserDefaults::dataForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

bool UserDefaults::boolForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    if (isNumberOrBoolean(value))
        return value.toDouble() != 0;
    if (value.typeId() != QMetaType::QString)
        return false;
    const QString text = value.toString().trimmed();
    if (text.compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0
        || text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    return numberInText(value).value_or(0) != 0;
}

qint64 UserDefaults::integerForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    if (isFloatingPoint(value))
        return truncatedInteger(value.toDouble());
    if (isNumberOrBoolean(value))
        return value.toLongLong();
    bool ok = false;
    const qint64 integer = value.typeId() == QMetaType::QString ? value.toString().trimmed().toLongLong(&ok) : 0;
    return ok ? integer : truncatedInteger(numberInText(value).value_or(0));
}

float UserDefaults::floatForKey(const QString& key) const
{
    return float(doubleForKey(key));
}

double UserDefaults::doubleForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    return isNumberOrBoolean(value) ? value.toDouble() : numberInText(value).value_or(0);
}

QUrl UserDefaults::urlForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() != QMetaType::QString)
        return {};
    const QString text = value.toString();
    if (text == QLatin1String("~") || text.startsWith(QLatin1String("~/")))
        return QUrl::fromLocalFile(QDir::homePath() + text.mid(1));
    if (text.startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(text);
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && !url.scheme().isEmpty() ? url : QUrl();
}

// ---------------------------------------------------------------------------------------
// Writing

void UserDefaults::setObjectForKey(const QVariant& value, const QString& key)
{
    if (!value.isValid() || value.isNull()) {
        removeObjectForKey(key);
        return;
    }
    ZQ_ASSERT(PropertyList::isPropertyListValue(value),
              QStringLiteral("the value for the default “%1” is not a property-list value").arg(key));
    QMutexLocker lock(&m_mutex);
    if (!store(key, value))
        return;
    lock.unlock();
    Q_EMIT didChange(key);
}

void UserDefaults::setBoolForKey(bool value, const QString& key) { setObjectForKey(value, key); }

void UserDefaults::setIntegerForKey(qint64 value, const QString& key) { setObjectForKey(value, key); }

void UserDefaults::setFloatForKey(float value, const QString& key) { setObjectForKey(value, key); }

void UserDefaults::setDoubleForKey(double value, const QString& key) { setObjectForKey(value, key); }

void UserDefaults::setURLForKey(const QUrl& url, const QString& key)
{
    if (url.isEmpty())
        removeObjectForKey(key);
    else
        setObjectForKey(url.isLocalFile() ? url.toLocalFile() : url.toString(), key);
}

void UserDefaults::removeObjectForKey(const QString& key)
{
    QMutexLocker lock(&m_mutex);
    if (!store(key, QVariant()))
        return;
    lock.unlock();
    Q_EMIT didChange(key);
}

void UserDefaults::removePersistentDomainForName(const QString& domainName)
{
    {
        QMutexLocker lock(&m_mutex);
        if (domainName == m_domainName) {
            m_persistent.clear();
            m_loaded = true;
            m_dirty = false;
        }
        QFile::remove(domainPath(domainName));
    }
    if (domainName == m_domainName)
        Q_EMIT didChange(QString());
}

bool UserDefaults::synchronize()
{
    QMutexLocker lock(&m_mutex);
    return !m_dirty || write();
}

// ---------------------------------------------------------------------------------------
// Storage

QString UserDefaults::domainPath(const QString& domainName) const
{
    return m_storageFolder + QLatin1Char('/') + domainName + QLatin1String(".plist");
}

void UserDefaults::loadIfNeeded() const
{
    if (m_loaded)
        return;
    m_loaded = true;
    const QString path = domainPath(m_domainName);
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink())
        return;
    const auto startEmpty = [&](const QString& why, const QString& detail) {
        LogEvent(kFileEvent, QStringLiteral("user defaults could not be read, starting empty: %1").arg(why));
        ProblemReporter::report(tr("Your settings could not be read."), detail);
    };
    QString reason;
    const std::optional<QByteArray> bytes = readRegularFile(path, PropertyList::kMaximumInputSize, &reason);
    if (!bytes) {
        m_storageRefused = true;
        startEmpty(reason, tr("“%1”: %2. Standard settings are used, and changes are not saved.").arg(path, reason));
        return;
    }
    QuorvaneError error;
    const std::optional<QVariant> contents = PropertyList::fromData(*bytes, &error);
    if (contents && contents->typeId() == QMetaType::QVariantMap) {
        m_persistent = contents->toMap();
        return;
    }
    const QString why = contents ? QStringLiteral("%1 does not hold a dictionary").arg(path) : error.localizedDescription();
    // Kept for whoever can mend it; a file that cannot be moved is not written over either.
    const QString aside = file.isSymLink() ? QString() : moveAside(path, QStringLiteral("damaged"));
    m_storageRefused = aside.isEmpty();
    startEmpty(why, aside.isEmpty()
                        ? tr("“%1” is damaged. Standard settings are used, and changes are not saved.").arg(path)
                        : tr("“%1” is damaged; it was kept as “%2”. Standard settings are used.")
                              .arg(path, QFileInfo(aside).fileName()));
}

QVariant UserDefaults::lookup(const QString& key) const
{
    loadIfNeeded();
    const auto stored = m_persistent.constFind(key);
    return stored != m_persistent.cend() ? *stored : m_registered.value(key);
}

bool UserDefaults::store(const QString& key, const QVariant& value)
{
    loadIfNeeded();
    const QVariant previous = m_persistent.value(key);
    if (previous.isValid() == value.isValid() && previous == value)
        return false;
    if (value.isValid())
        m_persistent.insert(key, value);
    else
        m_persistent.remove(key);
    m_dirty = true;
    if (!m_writeScheduled) {
        // Changes made in one turn of the event loop are written together.
        m_writeScheduled = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                runGuarded("UserDefaults write", [this] {
                    {
                        QMutexLocker lock(&m_mutex);
                        m_writeScheduled = false;
                    }
                    synchronize();
                });
            },
            Qt::QueuedConnection);
    }
    return true;
}

bool UserDefaults::write()
{
    if (m_storageRefused)
        return false;
    const QString path = domainPath(m_domainName);
    QuorvaneError error;
    if (!QDir().mkpath(m_storageFolder)
        || !PropertyList::writeFile(m_persistent, path, PropertyList::Format::Xml, &error)) {
        LogEvent(kFileEvent, QStringLiteral("user defaults could not be written to %1: %2")
                                 .arg(path, error.localizedDescription()));
        if (!std::exchange(m_writeProblemTold, true))
            ProblemReporter::report(tr("Your settings could not be saved."), error.localizedDescription());
        return false;
    }
    m_dirty = false;
    return true;
}

} // namespace platform
