#include "platform/graphics/ColourList.h"

#include "platform/foundation/OrderedDictionary.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/ColourUtilities.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

namespace platform {

namespace {

const QString kBundleFolder = QStringLiteral(":/bundle/ColourLists");

QMap<QString, ColourListPtr> loadBundleLists()
{
    QMap<QString, ColourListPtr> lists;
    const QDir folder(kBundleFolder);
    for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*.plist")}, QDir::Files)) {
        if (ColourListPtr list = ColourList::colourListWithContentsOfFile(file.filePath()))
            lists.insert(list->name(), list);
    }
    return lists;
}

// Loaded on first use; the initialisation of a function-local static is thread-safe, and
// the lists are never changed afterwards.
const QMap<QString, ColourListPtr>& bundleLists()
{
    static const QMap<QString, ColourListPtr> lists = loadBundleLists();
    return lists;
}

} // namespace

ColourList::ColourList(QString name, QList<std::pair<QString, QColor>> entries)
    : m_name(std::move(name)), m_entries(std::move(entries))
{
}

QStringList ColourList::availableColourListNames()
{
    return bundleLists().keys();
}

ColourListPtr ColourList::colourListNamed(const QString& name)
{
    return bundleLists().value(name);
}

ColourListPtr ColourList::colourListWithContentsOfFile(const QString& path)
{
    QuorvaneError error;
    const std::optional<QVariant> contents = PropertyList::readFile(path, &error, PropertyList::DictionaryType::Ordered);
    if (!contents || contents->metaType() != QMetaType::fromType<OrderedDictionary>()) {
        ZQLogObjCMethod(contents ? QStringLiteral("%1 holds no dictionary of colours").arg(path)
                                 : error.localizedDescription());
        return nullptr;
    }
    const OrderedDictionary dictionary = contents->value<OrderedDictionary>();
    QList<std::pair<QString, QColor>> entries;
    for (const auto& [key, value] : dictionary.entries()) {
        const QColor colour = colorWithHexString(value.toString());
        if (colour.isValid())
            entries.append({key, colour});
    }
    return std::make_shared<const ColourList>(QFileInfo(path).completeBaseName(), std::move(entries));
}

QStringList ColourList::allKeys() const
{
    QStringList keys;
    keys.reserve(m_entries.size());
    for (const auto& entry : m_entries)
        keys.append(entry.first);
    return keys;
}

QColor ColourList::colourWithKey(const QString& key) const
{
    for (const auto& [name, colour] : m_entries) {
        if (name == key)
            return colour;
    }
    return {};
}

} // namespace platform
