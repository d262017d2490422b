#include "platform/vantrix/styles/VXRasterizer.h"

#include "platform/foundation/ArchiveValueCoding.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/EditProgress.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/styles/VXRastGroup.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QColor>
#include <QHash>
#include <QMetaProperty>
#include <QMimeData>
#include <QRectF>
#include <algorithm>
#include <vector>

// --- Stored properties ---------------------------------------------------------------------

namespace {

// The innermost open editing scope of this thread.
thread_local const VXRasterizer::EditingScope* s_editingScope = nullptr;

// Dash patterns and the like are short; a damaged archive must not make a huge one.
constexpr qsizetype kMaximumStoredListLength = 64;

const QMetaType kObjectPointerType = QMetaType::fromType<ZQObjectPtr>();

QList<QMetaProperty> storedProperties(const ZQObject& object)
{
    QList<QMetaProperty> result;
    const QMetaObject* meta = object.metaObject();
    for (int i = ZQObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.isStored() && property.isReadable() && property.isWritable())
            result.append(property);
    }
    return result;
}

QString archiveKey(const QMetaProperty& property)
{
    return QString::fromLatin1(property.enclosingMetaObject()->className()) + QLatin1Char('_')
        + QString::fromLatin1(property.name());
}

bool isObjectPointerType(QMetaType type)
{
    return type == kObjectPointerType || QMetaType::canConvert(type, kObjectPointerType);
}

ZQObjectPtr objectOf(const QVariant& value)
{
    QVariant converted = value;
    if (value.metaType() != kObjectPointerType && !converted.convert(kObjectPointerType))
        return nullptr;
    return converted.value<ZQObjectPtr>();
}

// The object as a value of `type`, or nullopt when it is not of the property's class.
std::optional<QVariant> objectAsType(const ZQObjectPtr& object, QMetaType type)
{
    QVariant value = QVariant::fromValue(object);
    if (type == kObjectPointerType)
        return value;
    if (!value.convert(type) || (object && !objectOf(value)))
        return std::nullopt;
    return value;
}

std::optional<double> finiteNumber(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        if (const double number = value.toDouble(); std::isfinite(number))
            return number;
        return std::nullopt;
    default: return std::nullopt;
    }
}

std::optional<QVariant> decodedNumberList(const QVariant& value)
{
    if (value.metaType() != QMetaType::fromType<QVariantList>())
        return std::nullopt;
    const QVariantList elements = value.toList();
    if (elements.size() > kMaximumStoredListLength)
        return std::nullopt;
    QList<double> numbers;
    for (const QVariant& element : elements) {
        const std::optional<double> number = finiteNumber(element);
        if (!number)
            return std::nullopt;
        numbers.append(*number);
    }
    return QVariant::fromValue(numbers);
}

template <class T>
std::optional<QVariant> decodedGeometry(const QVariant& value, std::optional<T> (*parse)(QStringView))
{
    if (value.metaType() == QMetaType::fromType<T>())
        return value;
    if (value.metaType() != QMetaType::fromType<QString>())
        return std::nullopt;
    const std::optional<T> parsed = parse(value.toString());
    return parsed ? std::optional<QVariant>(QVariant::fromValue(*parsed)) : std::nullopt;
}

std::optional<QVariant> decodedValue(platform::KeyedUnarchiver& coder, const QString& key, QMetaType type)
{
    if (isObjectPointerType(type)) {
        const ZQObjectPtr object = coder.decodeObject(key);
        return objectAsType(object, type);
    }
    const QVariant value = coder.decodeValue(key);
    switch (type.id()) {
    case QMetaType::Bool:
        if (const auto number = finiteNumber(value))
            return QVariant(*number != 0);
        return std::nullopt;
    case QMetaType::Int:
        if (const auto number = finiteNumber(value); number && *number >= INT_MIN && *number <= INT_MAX)
            return QVariant(int(*number));
        return std::nullopt;
    case QMetaType::Double:
        if (const auto number = finiteNumber(value))
            return QVariant(*number);
        return std::nullopt;
    case QMetaType::QString:
    case QMetaType::QColor:
        return value.metaType() == type ? std::optional<QVariant>(value) : std::nullopt;
    case QMetaType::QPointF: return decodedGeometry<QPointF>(value, platform::archive::parsePoint);
    case QMetaType::QSizeF: return decodedGeometry<QSizeF>(value, platform::archive::parseSize);
    case QMetaType::QRectF: return decodedGeometry<QRectF>(value, platform::archive::parseRect);
    default:
        if (type == QMetaType::fromType<QList<double>>())
            return decodedNumberList(value);
        // Fonts, transforms, paths, images, lists and dictionaries decode as themselves.
        return value.metaType() == type ? std::optional<QVariant>(value) : std::nullopt;
    }
}

void encodeValue(platform::KeyedArchiver& coder, const QString& key, const QVariant& value)
{
    const QMetaType type = value.metaType();
    if (isObjectPointerType(type)) {
        coder.encodeObject(objectOf(value).get(), key);
        return;
    }
    switch (type.id()) {
    case QMetaType::Bool: coder.encodeBool(value.toBool(), key); return;
    case QMetaType::Int: coder.encodeInt(value.toInt(), key); return;
    case QMetaType::Double: coder.encodeDouble(value.toDouble(), key); return;
    case QMetaType::QString: coder.encodeString(value.toString(), key); return;
    case QMetaType::QColor: coder.encodeColor(value.value<QColor>(), key); return;
    case QMetaType::QPointF: coder.encodePoint(value.toPointF(), key); return;
    case QMetaType::QSizeF: coder.encodeSize(value.toSizeF(), key); return;
    case QMetaType::QRectF: coder.encodeRect(value.toRectF(), key); return;
    default: break;
    }
    if (type != QMetaType::fromType<QList<double>>()) {
        coder.encodeObject(value, key); // the archiver refuses types it cannot store
        return;
    }
    QVariantList numbers;
    for (double number : value.value<QList<double>>())
        numbers.append(number);
    coder.encodeObject(QVariant(numbers), key);
}

bool objectsAreEqual(const ZQObjectPtr& a, const ZQObjectPtr& b)
{
    if (a == b)
        return true;
    if (!a || !b)
        return false;
    if (const auto* va = dynamic_cast<const VXValueObject*>(a.get())) {
        const auto* vb = dynamic_cast<const VXValueObject*>(b.get());
        return vb && va->isEqualToValue(*vb);
    }
    if (const auto* ra = dynamic_cast<const VXRasterizer*>(a.get())) {
        const auto* rb = dynamic_cast<const VXRasterizer*>(b.get());
        return rb && ra->isEqualToRasterizer(*rb);
    }
    return false;
}

ZQObjectPtr makeObjectOfClass(const ZQObject& object)
{
    ZQObjectPtr made = platform::ClassRegistry::create(object.className());
    ZQ_ASSERT(made, QStringLiteral("%1 must be registered to be copied").arg(object.className()));
    return made;
}

} // namespace

namespace platform {

void encodeStoredProperties(const ZQObject& object, KeyedArchiver& coder)
{
    for (const QMetaProperty& property : storedProperties(object))
        encodeValue(coder, archiveKey(property), property.read(&object));
}

void decodeStoredProperties(ZQObject& object, KeyedUnarchiver& coder)
{
    for (const QMetaProperty& property : storedProperties(object)) {
        const QString key = archiveKey(property);
        if (!coder.containsValueForKey(key))
            continue;
        if (const std::optional<QVariant> value = decodedValue(coder, key, property.metaType()))
            property.write(&object, *value);
        else
            ZQLog(QStringLiteral("%1: the archived %2 has the wrong type; keeping %3")
                      .arg(object.className(), key, property.read(&object).toString()));
    }
}

void copyStoredProperties(const ZQObject& from, ZQObject& to)
{
    for (const QMetaProperty& property : storedProperties(from)) {
        QVariant value = property.read(&from);
        if (isObjectPointerType(value.metaType())) {
            const ZQObjectPtr object = objectOf(value);
            value = *objectAsType(object ? object->copy() : nullptr, value.metaType());
        }
        property.write(&to, value);
    }
}

bool storedPropertiesAreEqual(const ZQObject& a, const ZQObject& b)
{
    if (a.metaObject() != b.metaObject())
        return false;
    const QList<QMetaProperty> properties = storedProperties(a);
    return std::all_of(properties.begin(), properties.end(), [&](const QMetaProperty& property) {
        const QVariant va = property.read(&a);
        const QVariant vb = property.read(&b);
        if (isObjectPointerType(va.metaType()))
            return objectsAreEqual(objectOf(va), objectOf(vb));
        return va == vb;
    });
}

} // namespace platform

// --- VXValueObject -------------------------------------------------------------------------

bool VXValueObject::isEqualToValue(const VXValueObject& other) const
{
    return platform::storedPropertiesAreEqual(*this, other);
}

std::shared_ptr<ZQObject> VXValueObject::copy() const
{
    ZQObjectPtr made = makeObjectOfClass(*this);
    platform::copyStoredProperties(*this, *made);
    return made;
}

void VXValueObject::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    platform::encodeStoredProperties(*this, coder);
}

void VXValueObject::initWithCoder(platform::KeyedUnarchiver& coder)
{
    platform::decodeStoredProperties(*this, coder);
}

// --- VXRasterizer --------------------------------------------------------------------------

namespace {

// Names set at run time, by class name and key.
QHash<QString, QString>& actionNameTable()
{
    static QHash<QString, QString> table;
    return table;
}

QString actionNameTableKey(const QMetaObject* objClass, const QString& keyPath)
{
    return QString::fromLatin1(objClass->className()) + QLatin1Char(':') + keyPath;
}

// "lineCapStyle" -> "Line Cap Style"
QString wordsOfKey(const QString& key)
{
    QString words;
    for (const QChar c : key) {
        if (c.isUpper() && !words.isEmpty())
            words += QLatin1Char(' ');
        words += words.isEmpty() ? c.toUpper() : c;
    }
    return words;
}

} // namespace

VXRasterizer::VXRasterizer() = default;

VXRasterizer::~VXRasterizer() = default;

QString VXRasterizer::displayName() const
{
    return tr("Component");
}

void VXRasterizer::setEnabled(bool enabled)
{
    setValueForKeyWithUndo(m_enabled, enabled, "enabled");
}

void VXRasterizer::setLocked(bool locked)
{
    setValueForKeyWithUndo(m_locked, locked, "locked");
}

VXRastGroup* VXRasterizer::container() const
{
    return m_container;
}

void VXRasterizer::setContainer(VXRastGroup* container)
{
    m_container = container;
}

void VXRasterizer::removeFromContainer()
{
    if (VXRastGroup* group = m_container)
        group->removeRenderer(this);
}

VXStyle* VXRasterizer::style() const
{
    const VXRasterizer* top = this;
    while (top->container())
        top = top->container();
    return qobject_cast<VXStyle*>(const_cast<VXRasterizer*>(top));
}

ZQUndoManager* VXRasterizer::undoManager() const
{
    if (s_editingScope)
        return s_editingScope->m_undoManager;
    ZQUndoManager* found = nullptr;
    for (const VXRasterizer* component = this; component; component = component->container()) {
        bool shared = false;
        component->m_rastObservers.forEachLive([&](VXRasterizerObserver* observer) {
            ZQUndoManager* undo = observer->undoManagerForRasterizerChanges();
            if (!undo)
                return;
            shared |= found && found != undo;
            found = undo;
        });
        if (shared)
            return nullptr; // shared by documents: none of them may take the edit
    }
    return found;
}

VXRasterizer::EditingScope::EditingScope(ZQUndoManager* undoManager)
    : m_undoManager(undoManager)
    , m_outer(s_editingScope)
{
    s_editingScope = this;
}

VXRasterizer::EditingScope::~EditingScope()
{
    s_editingScope = m_outer;
}

void VXRasterizer::addRastObserver(VXRasterizerObserver* observer)
{
    if (!observer)
        return;
    QObject* object = observer->stopsObservingBeforeDestruction() ? nullptr : dynamic_cast<QObject*>(observer);
    m_rastObservers.insert(observer, object);
}

void VXRasterizer::removeRastObserver(VXRasterizerObserver* observer)
{
    if (m_rastObservers.remove(observer))
        ++m_observerRemovals;
}

QList<VXRasterizerObserver*> VXRasterizer::rastObservers() const
{
    QList<VXRasterizerObserver*> observers;
    m_rastObservers.forEachLive([&](VXRasterizerObserver* observer) { observers.append(observer); });
    return observers;
}

void VXRasterizer::tellRastObservers(void (VXRasterizerObserver::*message)(VXRasterizer*, const QString&),
                                     const QString& keyPath)
{
    // Every object drawn with the style redraws: each drawing asks its views once.
    const VXDrawing::ThreadDisplayBatch display;
    std::vector<VXRasterizerObserver*> observers;
    for (VXRasterizer* component = this; component; component = component->container()) {
        // A copy: an observer may stop observing while it is told.
        observers.clear();
        observers.reserve(component->m_rastObservers.size());
        // Observers gone count as removals: a round under way may still hold them.
        component->m_observerRemovals += quint64(component->m_rastObservers.removeGone());
        component->m_rastObservers.forEachLive([&](VXRasterizerObserver* observer) { observers.push_back(observer); });
        // In the order they lie in memory, where objects made together lie together: told in
        // the set's order, each of a million missed the cache.
        std::sort(observers.begin(), observers.end());
        // One guard for the whole round, resumed past an observer that threw: a shared style has
        // thousands of observers, and a guard and a look-up of its own for each cost more than
        // telling them. Only after a removal may an observer in the copy have gone.
        const quint64 removals = component->m_observerRemovals;
        // A shared style of a million objects takes seconds to tell them all.
        platform::EditProgress::Scope progress(tr("Restyle Objects"), qsizetype(observers.size()));
        for (size_t next = 0; next < observers.size();) {
            platform::runGuarded("rasterizer observer", [&] {
                while (next < observers.size()) {
                    VXRasterizerObserver* observer = observers[next++];
                    if (component->m_observerRemovals == removals || component->m_rastObservers.containsLive(observer))
                        (observer->*message)(this, keyPath);
                    progress.step();
                }
            });
        }
    }
}

void VXRasterizer::render(const VXRenderable&) const
{
}

QSizeF VXRasterizer::extraSpaceNeeded() const
{
    return {0, 0};
}

bool VXRasterizer::isValid() const
{
    return false;
}

bool VXRasterizer::isEqualToRasterizer(const VXRasterizer& other) const
{
    return platform::storedPropertiesAreEqual(*this, other);
}

QString VXRasterizer::actionNameForKeyPathChangeKind(const QString& keyPath, platform::KeyValueChangeKind) const
{
    QString name = actionNameForKeyPathObjClass(keyPath, metaObject());
    return name.replace(QStringLiteral("#kind#"), displayName());
}

QString VXRasterizer::actionNameForKeyPathObjClass(const QString& keyPath, const QMetaObject* objClass)
{
    const QByteArray infoName = "actionName:" + keyPath.toLatin1();
    for (const QMetaObject* meta = objClass; meta; meta = meta->superClass()) {
        const auto set = actionNameTable().constFind(actionNameTableKey(meta, keyPath));
        if (set != actionNameTable().cend())
            return *set;
        const int info = meta->indexOfClassInfo(infoName.constData());
        if (info >= meta->classInfoOffset())
            return tr(meta->classInfo(info).value());
    }
    return tr("Change %1").arg(wordsOfKey(keyPath.section(QLatin1Char('.'), -1)));
}

void VXRasterizer::setActionNameForKeyPathObjClass(const QString& name, const QString& keyPath,
                                                   const QMetaObject* objClass)
{
    if (name.isEmpty())
        actionNameTable().remove(actionNameTableKey(objClass, keyPath));
    else
        actionNameTable().insert(actionNameTableKey(objClass, keyPath), name);
}

QString VXRasterizer::pasteboardType()
{
    return QStringLiteral("application/x-quorvane.rasterizer");
}

void VXRasterizer::copyToPasteboard(QMimeData* mimeData) const
{
    mimeData->setData(pasteboardType(), platform::KeyedArchiver::archivedDataWithRootObject(this));
}

VXRasterizerPtr VXRasterizer::rasterizerFromPasteboard(const QMimeData* mimeData)
{
    if (!mimeData || !mimeData->hasFormat(pasteboardType()))
        return nullptr;
    QuorvaneError error;
    const ZQObjectPtr object = platform::KeyedUnarchiver::unarchiveObjectWithData(mimeData->data(pasteboardType()), &error);
    auto rasterizer = std::dynamic_pointer_cast<VXRasterizer>(object);
    if (!rasterizer)
        ZQLogObjCMethod(QStringLiteral("the pasteboard holds no usable component: %1").arg(error.localizedDescription()));
    return rasterizer;
}

std::shared_ptr<ZQObject> VXRasterizer::copy() const
{
    VXRasterizerPtr made = makeEmptyOfSameClass();
    const RestoringScope restoring(made.get());
    platform::copyStoredProperties(*this, *made);
    return made;
}

void VXRasterizer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    platform::encodeStoredProperties(*this, coder);
}

void VXRasterizer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const RestoringScope restoring(this);
    platform::decodeStoredProperties(*this, coder);
}

void VXRasterizer::componentDidChangeKeyPath(VXRasterizer* component, const QString& keyPath)
{
    if (VXRastGroup* group = m_container)
        group->componentDidChangeKeyPath(component, keyPath);
}

bool VXRasterizer::acceptsChangeForKey(const char* key) const
{
    if (m_restoring)
        return true;
    const bool isLockKey = qstrcmp(key, "locked") == 0;
    if (m_locked && !isLockKey)
        return false;
    const VXStyle* root = style();
    return !root || root == this || !root->locked();
}

void VXRasterizer::didChangeKey(const char* key, const QVariant& oldValue)
{
    if (m_restoring)
        return;
    const QString keyPath = QString::fromLatin1(key);
    ZQ_ASSERT(metaObject()->indexOfProperty(key) >= 0,
              QStringLiteral("%1 changes %2 without a property to undo it through").arg(className(), keyPath));
    registerUndo([this, keyPath, oldValue] { setValueForKey(oldValue, keyPath); },
                 actionNameForKeyPathChangeKind(keyPath));
    componentDidChangeKeyPath(this, keyPath);
}

void VXRasterizer::registerUndo(std::function<void()> undo, const QString& actionName)
{
    const QPointer<ZQUndoManager> manager = undoManager();
    // A change made while registration is off (one that follows other data) names no step.
    if (!manager || !manager->isUndoRegistrationEnabled())
        return;
    // The closure keeps the component alive while the undo can bring the value back.
    const std::shared_ptr<ZQObject> keepAlive = weak_from_this().lock();
    const QPointer<VXRasterizer> self = this;
    manager->registerUndoWithTargetHandler(this, [keepAlive, self, manager, undo = std::move(undo)] {
        const EditingScope scope(manager);
        if (self)
            undo();
    });
    // An undo's inverse keeps the name it was undone under: a name that depends on the
    // component's state (a gloom turned bloom) would describe the wrong direction.
    if (!manager->isUndoing() && !manager->isRedoing())
        manager->setActionName(actionName);
}

VXRasterizerPtr VXRasterizer::makeEmptyOfSameClass() const
{
    auto made = std::dynamic_pointer_cast<VXRasterizer>(makeObjectOfClass(*this));
    ZQ_ASSERT(made, QStringLiteral("%1 is registered with a factory of another kind").arg(className()));
    return made;
}

void VXRasterizer::announceWillChange(const QString& key)
{
    tellRastObservers(&VXRasterizerObserver::rasterizerWillChangeKeyPath, key);
    willChangeValueForKey(key);
}

void VXRasterizer::announceDidChange(const QString& key)
{
    didChangeValueForKey(key);
    tellRastObservers(&VXRasterizerObserver::rasterizerDidChangeKeyPath, key);
}
