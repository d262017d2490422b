#include "platform/vantrix/model/MetadataContainer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQUndoManager.h"

namespace platform {

namespace {

bool s_undoable = true;

VXMetadataItemPtr copyOf(const VXMetadataItemPtr& item)
{
    return item ? std::static_pointer_cast<VXMetadataItem>(item->copy()) : nullptr;
}

} // namespace

bool MetadataContainer::metadataChangesAreUndoable()
{
    return s_undoable;
}

void MetadataContainer::setMetadataChangesAreUndoable(bool undoable)
{
    s_undoable = undoable;
}

QVariant MetadataContainer::metadataValueForKey(const QString& key) const
{
    const VXMetadataItemPtr item = m_metadata.value(key.toLower());
    return item ? item->value() : QVariant();
}

VXMetadataItemPtr MetadataContainer::metadataItemForKey(const QString& key) const
{
    return copyOf(m_metadata.value(key.toLower()));
}

void MetadataContainer::setMetadataItemForKey(const VXMetadataItemPtr& item, const QString& key)
{
    if (key.isEmpty())
        return;
    const VXMetadataItemPtr existing = m_metadata.value(key.toLower());
    if (item && existing && existing->isEqual(*item))
        return;
    replaceItemForKey(copyOf(item), key.toLower());
}

void MetadataContainer::setMetadataItemValueForKey(const QVariant& value, const QString& key)
{
    const VXMetadataItemPtr existing = m_metadata.value(key.toLower());
    setMetadataItemForKey(existing ? VXMetadataItem::metadataItemWithTypeValue(existing->type(), value)
                                   : VXMetadataItem::metadataItemWithValue(value),
                          key);
}

void MetadataContainer::setMetadataItemTypeForKey(int type, const QString& key)
{
    const VXMetadataItemPtr existing = m_metadata.value(key.toLower());
    if (existing)
        setMetadataItemForKey(VXMetadataItem::metadataItemWithTypeValue(type, existing->value()), key);
}

void MetadataContainer::addMetadata(const QVariantMap& items)
{
    for (auto it = items.cbegin(); it != items.cend(); ++it) {
        auto item = std::dynamic_pointer_cast<VXMetadataItem>(it.value().value<ZQObjectPtr>());
        setMetadataItemForKey(item ? item : VXMetadataItem::metadataItemWithValue(it.value()), it.key());
    }
}

void MetadataContainer::removeMetadataForKey(const QString& key)
{
    if (m_metadata.contains(key.toLower()))
        replaceItemForKey(nullptr, key.toLower());
}

void MetadataContainer::initMetadata(const Items& items)
{
    m_metadata.clear();
    for (auto it = items.cbegin(); it != items.cend(); ++it) {
        if (it.value() && !it.key().isEmpty())
            m_metadata.insert(it.key().toLower(), it.value());
    }
}

void MetadataContainer::setMetadata(const Items& items)
{
    ZQUndoManager* undo = metadataUndoManager();
    if (undo)
        undo->beginUndoGrouping();
    for (const QString& key : metadataKeys()) {
        if (!items.contains(key.toLower()))
            removeMetadataForKey(key);
    }
    for (auto it = items.cbegin(); it != items.cend(); ++it)
        setMetadataItemForKey(it.value(), it.key());
    if (undo)
        undo->endUndoGrouping();
}

quint32 MetadataContainer::metadataChecksum() const
{
    quint32 sum = 157;
    for (auto it = m_metadata.cbegin(); it != m_metadata.cend(); ++it)
        sum = sum * 31 + qChecksum(it.key().toUtf8()) * 7 + (it.value() ? it.value()->checksum() : 0);
    return sum;
}

void MetadataContainer::replaceItemForKey(const VXMetadataItemPtr& item, const QString& key)
{
    const VXMetadataItemPtr previous = m_metadata.value(key);
    ZQObject* owner = metadataOwner();
    ZQUndoManager* undo = metadataUndoManager();
    if (undo && s_undoable) {
        // Holds the owner so an undo can still reach it after it left its layer.
        std::shared_ptr<ZQObject> keeper = owner->weak_from_this().lock();
        undo->registerUndoWithTargetHandler(owner, [this, keeper, previous, key] { replaceItemForKey(previous, key); });
    }
    if (item)
        m_metadata.insert(key, item);
    else
        m_metadata.remove(key);
    metadataDidChangeForKey(key);
    NotificationCenter::defaultCenter().postNotificationName(kVXMetadataDidChangeNotification, owner,
                                                             {{QStringLiteral("key"), key}});
}

void MetadataContainer::encodeMetadata(KeyedArchiver& coder, const QString& key) const
{
    if (m_metadata.isEmpty())
        return;
    QVariantMap archived;
    for (auto it = m_metadata.cbegin(); it != m_metadata.cend(); ++it)
        archived.insert(it.key(), QVariant::fromValue(ZQObjectPtr(it.value())));
    coder.encodeObject(QVariant(archived), key);
}

void MetadataContainer::decodeMetadata(KeyedUnarchiver& coder, const QString& key)
{
    m_metadata.clear();
    const QVariant value = coder.decodeValue(key);
    const QVariantMap archived = value.metaType() == QMetaType::fromType<QVariantMap>() ? value.toMap() : QVariantMap();
    for (auto it = archived.cbegin(); it != archived.cend(); ++it) {
        if (auto item = std::dynamic_pointer_cast<VXMetadataItem>(it.value().value<ZQObjectPtr>()))
            m_metadata.insert(it.key().toLower(), item);
    }
}

} // namespace platform
