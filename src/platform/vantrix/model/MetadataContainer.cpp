#include "platform/vantrix/model/MetadataContainer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"

#include <algorithm>

namespace platform {

bool MetadataContainer::metadataChangesAreUndoable()
{
    return VXDrawingPreferences::current().metadataChangesAreUndoable;
}

MetadataContainer::Items MetadataContainer::metadata() const
{
    Items items;
    for (auto it = m_metadata.cbegin(); it != m_metadata.cend(); ++it)
        items.insert(it.key(), VXMetadataItem::metadataItemWithMetadataValue(it.value()));
    return items;
}

QVariant MetadataContainer::metadataValueForKey(const QString& key) const
{
    const auto it = m_metadata.constFind(key.toLower());
    return it == m_metadata.cend() ? QVariant() : it->value;
}

VXMetadataItemPtr MetadataContainer::metadataItemForKey(const QString& key) const
{
    const auto it = m_metadata.constFind(key.toLower());
    return it == m_metadata.cend() ? nullptr : VXMetadataItem::metadataItemWithMetadataValue(*it);
}

void MetadataContainer::setMetadataItemForKey(const VXMetadataItemPtr& item, const QString& key)
{
    if (!item)
        removeMetadataForKey(key);
    else
        setMetadataValueForKey(item->metadataValue(), key);
}

void MetadataContainer::setMetadataValueForKey(const VXMetadataValue& value, const QString& key)
{
    if (key.isEmpty())
        return;
    const auto existing = m_metadata.constFind(key.toLower());
    if (existing != m_metadata.cend() && *existing == value)
        return;
    replaceValueForKey(value, key.toLower());
}

void MetadataContainer::setMetadataItemValueForKey(const QVariant& value, const QString& key)
{
    const auto existing = m_metadata.constFind(key.toLower());
    setMetadataValueForKey(existing != m_metadata.cend() ? VXMetadataValue::withTypeValue(existing->type, value)
                                                         : VXMetadataValue::withValue(value),
                           key);
}

void MetadataContainer::setMetadataItemTypeForKey(int type, const QString& key)
{
    const auto existing = m_metadata.constFind(key.toLower());
    if (existing != m_metadata.cend())
        setMetadataValueForKey(VXMetadataValue::withTypeValue(type, existing->value), key);
}

void MetadataContainer::addMetadata(const QVariantMap& items)
{
    for (auto it = items.cbegin(); it != items.cend(); ++it) {
        auto item = std::dynamic_pointer_cast<VXMetadataItem>(it.value().value<ZQObjectPtr>());
        setMetadataValueForKey(item ? item->metadataValue() : VXMetadataValue::withValue(it.value()), it.key());
    }
}

void MetadataContainer::removeMetadataForKey(const QString& key)
{
    if (m_metadata.contains(key.toLower()))
        replaceValueForKey(std::nullopt, key.toLower());
}

void MetadataContainer::initMetadata(const Values& values)
{
    m_searchText.reset();
    // Taken as they are when the keys already are: objects given one set of values then share it.
    if (std::all_of(values.keyBegin(), values.keyEnd(), [](const QString& key) { return !key.isEmpty() && key.isLower(); })) {
        m_metadata = values;
        return;
    }
    m_metadata.clear();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (!it.key().isEmpty())
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
        sum = sum * 31 + qChecksum(it.key().toUtf8()) * 7 + it.value().checksum();
    return sum;
}

const QString& MetadataContainer::metadataSearchText() const
{
    if (!m_searchText) {
        QString text = QStringLiteral("");
        for (const VXMetadataValue& value : m_metadata) {
            const QString valueText = value.stringValue();
            if (!valueText.isNull())
                text += QLatin1Char(' ') + valueText;
        }
        // A single empty text joins to nothing, so it adds no blank either.
        if (text.size() == 1)
            text = QStringLiteral("");
        m_searchText = std::move(text);
    }
    return *m_searchText;
}

void MetadataContainer::replaceValueForKey(const std::optional<VXMetadataValue>& value, const QString& key)
{
    const auto found = m_metadata.constFind(key);
    const std::optional<VXMetadataValue> previous =
        found == m_metadata.cend() ? std::nullopt : std::optional<VXMetadataValue>(*found);
    ZQObject* owner = metadataOwner();
    ZQUndoManager* undo = metadataUndoManager();
    if (undo && metadataChangesAreUndoable()) {
        // Holds the owner so an undo can still reach it after it left its layer.
        std::shared_ptr<ZQObject> keeper = owner->weak_from_this().lock();
        undo->registerUndoWithTargetHandler(owner, [this, keeper, previous, key] { replaceValueForKey(previous, key); });
    }
    m_searchText.reset();
    if (value)
        m_metadata.insert(key, *value);
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
    // Written as a dictionary of items, but without making an item object per attribute.
    auto value = m_metadata.cbegin();
    coder.encodeUnsharedObjectDictionary(
        m_metadata.keys(), VXMetadataItem::staticMetaObject,
        [&](qsizetype) { VXMetadataItem::encodeValueWithCoder((value++).value(), coder); }, key);
}

void MetadataContainer::decodeMetadata(KeyedUnarchiver& coder, const QString& key)
{
    // Read as a dictionary of items, but without making an item object per attribute.
    Values archived;
    coder.decodeDictionaryReadingClass(
        key, VXMetadataItem::staticMetaObject,
        [&](const QString& name) { archived.insert(name, VXMetadataItem::decodeValueWithCoder(coder)); },
        [&](const QString& name, const QVariant& value) {
            if (auto item = std::dynamic_pointer_cast<VXMetadataItem>(value.value<ZQObjectPtr>()))
                archived.insert(name, item->metadataValue());
        });
    initMetadata(archived);
}

} // namespace platform
