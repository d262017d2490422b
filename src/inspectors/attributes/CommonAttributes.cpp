#include "inspectors/attributes/CommonAttributes.h"

#include "inspectors/attributes/AttributeTables.h"

#include <algorithm>

namespace {

struct Tally {
    CommonAttributes::Entry entry;
    qsizetype firstHolder = 0;
    qsizetype holders = 0;
    bool typesDiffer = false;
};

} // namespace

CommonAttributes::CommonAttributes(const QList<const platform::MetadataContainer*>& containers)
{
    QHash<QString, Tally> tallies;
    const qsizetype count = containers.size();
    for (qsizetype index = 0; index < count; ++index) {
        const platform::MetadataContainer::Values& values = containers[index]->metadataValues();
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            auto found = tallies.find(it.key());
            if (found == tallies.end()) {
                Tally tally;
                tally.entry.reference = it.value();
                tally.firstHolder = index;
                tally.holders = 1;
                tallies.insert(it.key(), tally);
                continue;
            }
            Tally& tally = *found;
            ++tally.holders;
            if (!tally.entry.mixed && !(it.value() == tally.entry.reference))
                tally.entry.mixed = true;
            if (it.value().type != tally.entry.reference.type)
                tally.typesDiffer = true;
        }
    }
    m_entries.reserve(tallies.size());
    for (auto it = tallies.begin(); it != tallies.end(); ++it) {
        Tally& tally = *it;
        const bool everyLaterObjectHolds = tally.holders == count - tally.firstHolder;
        if (!everyLaterObjectHolds)
            tally.entry.mixed = true;
        const int type = tally.entry.reference.type;
        if (tally.typesDiffer)
            tally.entry.commonType = kMixedTypes;
        else if (tally.holders == count)
            tally.entry.commonType = type;
        else // objects without the key count as String
            tally.entry.commonType = type == kVXMetadataTypeString ? type : kMixedTypes;
        m_entries.insert(it.key(), tally.entry);
    }
}

const CommonAttributes::Entry* CommonAttributes::entryForKey(const QString& key) const
{
    const auto found = m_entries.constFind(key);
    return found == m_entries.cend() ? nullptr : &*found;
}

bool CommonAttributes::keyPassesFilter(const QString& key, const QString& filter, int findOption) const
{
    using namespace attributetables;
    const Entry* entry = entryForKey(key);
    if (!entry)
        return false;
    switch (findOption) {
    case kKeyContains: return key.contains(filter, Qt::CaseInsensitive);
    case kKeyBeginsWith: return key.startsWith(filter, Qt::CaseInsensitive);
    case kKeyEndsWith: return key.endsWith(filter, Qt::CaseInsensitive);
    case kTypeNameBeginsWith:
        return !entry->mixed
               && VXMetadataItem::localizedDisplayNameForType(entry->reference.type).startsWith(filter, Qt::CaseInsensitive);
    case kValueContains: return !entry->mixed && entry->reference.stringValue().contains(filter, Qt::CaseInsensitive);
    case kValueBeginsWith: return !entry->mixed && entry->reference.stringValue().startsWith(filter, Qt::CaseInsensitive);
    default: return true;
    }
}

QStringList CommonAttributes::keysPassingFilter(const QString& filter, int findOption) const
{
    QStringList passing;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (keyPassesFilter(it.key(), filter, findOption))
            passing.append(it.key());
    }
    return passing;
}

QStringList CommonAttributes::sortedKeys(QStringList keys, int column, Qt::SortOrder order) const
{
    // Mixed values and types sort before every shared one.
    const auto typeRank = [this](const QString& key) {
        const Entry* entry = entryForKey(key);
        return entry ? attributetables::indexForType(entry->commonType) : attributetables::kNoTypeIndex;
    };
    const auto valueText = [this](const QString& key) {
        const Entry* entry = entryForKey(key);
        return entry && !entry->mixed ? entry->reference.stringValue() : QString();
    };
    const auto byKey = [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
    std::sort(keys.begin(), keys.end(), [&](const QString& a, const QString& b) {
        int difference = 0;
        if (column == kSortByType)
            difference = typeRank(a) - typeRank(b);
        else if (column == kSortByValue)
            difference = valueText(a).localeAwareCompare(valueText(b));
        if (difference == 0)
            return order == Qt::AscendingOrder ? byKey(a, b) : byKey(b, a);
        return order == Qt::AscendingOrder ? difference < 0 : difference > 0;
    });
    return keys;
}
