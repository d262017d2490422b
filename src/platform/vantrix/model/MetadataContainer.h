#pragma once

// The attributes (metadata) that drawables and object layers carry: typed values under
// lower-case keys. Every change posts kVXMetadataDidChangeNotification (object: the owner,
// "key": the key) and, while metadataChangesAreUndoable(), registers its inverse with the
// owner's undo manager. The container keeps plain values; items are made on the way out and
// read on the way in, so a caller never edits what is stored behind the container's back.

#include "platform/vantrix/model/VXMetadataItem.h"

#include <QMap>
#include <QStringList>
#include <optional>

class ZQUndoManager;

inline const QString kVXMetadataDidChangeNotification = QStringLiteral("kVXMetadataDidChangeNotification");

namespace platform {

class MetadataContainer {
public:
    using Items = QMap<QString, VXMetadataItemPtr>;
    using Values = QMap<QString, VXMetadataValue>;

    virtual ~MetadataContainer() = default;

    // New items for what is stored, by value: iterate a copy, not two calls.
    Items metadata() const;
    const Values& metadataValues() const { return m_metadata; }
    // Replaces every item (one undo step when undoable).
    void setMetadata(const Items& items);
    QStringList metadataKeys() const { return m_metadata.keys(); }

    // The item's value; an invalid QVariant when there is no such item.
    QVariant metadataValueForKey(const QString& key) const;
    VXMetadataItemPtr metadataItemForKey(const QString& key) const;
    void setMetadataItemForKey(const VXMetadataItemPtr& item, const QString& key);
    // Converts the value to the existing item's type; without an item one is made for the value.
    void setMetadataItemValueForKey(const QVariant& value, const QString& key);
    // Converts the existing item's value to the type.
    void setMetadataItemTypeForKey(int type, const QString& key);
    // Adds or replaces the items of `items` (plain values become items).
    void addMetadata(const QVariantMap& items);
    void removeMetadataForKey(const QString& key);
    // Gives an object that nobody sees yet (one being made, perhaps off the main thread) its
    // attributes: nothing is posted and nothing is undoable. Replaces what it had.
    void initMetadata(const Values& values);
    // Changes whenever a key, type or value changes.
    quint32 metadataChecksum() const;
    // The values' texts in key order, each after one blank, leaving out values without text;
    // empty (not none) when their join would be. Kept until the attributes change, as a search
    // asks every object of a map for it.
    const QString& metadataSearchText() const;

    static bool metadataChangesAreUndoable();

protected:
    // The object notifications name and undo actions target.
    virtual ZQObject* metadataOwner() = 0;
    virtual ZQUndoManager* metadataUndoManager() const = 0;
    // Called after every change, e.g. to redraw text that shows attributes.
    virtual void metadataDidChangeForKey(const QString& key) {}

    void encodeMetadata(KeyedArchiver& coder, const QString& key) const;
    void decodeMetadata(KeyedUnarchiver& coder, const QString& key);

private:
    // The one place values change: stores (or removes, for none) and registers the inverse.
    void replaceValueForKey(const std::optional<VXMetadataValue>& value, const QString& key);
    void setMetadataValueForKey(const VXMetadataValue& value, const QString& key);

    Values m_metadata;
    mutable std::optional<QString> m_searchText;
};

} // namespace platform
