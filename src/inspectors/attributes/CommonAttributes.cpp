#include "inspectors/attributes/CommonAttributes.h"

#include "inspectors/attributes/AttributeTables.h"

#include <algorithm>

namespace {

struct Tally {
    QString key;
    CommonAttributes::Entry entry;
    qsizetype firstHolder = 0;
    qsizetype holders = 0;
    bool typesDiffer = false;
};

} // namespace

CommonAttributes::CommonAttributes(const QList<const platform::MetadataContainer*>& containers)
{
    std::vector<Tally> tallies;
    QHash<QString, qsizetype> tallyOfKey;
    // Objects of a selection mostly hold the same keys, and each keeps them in order: a key met at
    // the same place in the previous object is found without hashing.
    std::vector<std::pair<QString, qsizetype>> previous, current;
    const qsizetype count = containers.size();
    for (qsizetype index = 0; index < count; ++index) {
        const platform::MetadataContainer::Values& values = containers[index]->metadataValues();
        current.clear();
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            const size_t place = current.size();
            qsizetype tallyIndex = -1;
            if (place < previous.size() && previous[place].first == it.key()) {
                tallyIndex = previous[place].second;
            } else if (const auto found = tallyOfKey.constFind(it.key()); found != tallyOfKey.cend()) {
                tallyIndex = *found;
            } else {
                tallyIndex = qsizetype(tallies.size());
                tallyOfKey.insert(it.key(), tallyIndex);
                Tally& tally = tallies.emplace_back();
                tally.key = it.key();
                tally.entry.reference = it.value();
                tally.firstHolder = index;
            }
            current.emplace_back(it.key(), tallyIndex);
            Tally& tally = tallies[size_t(tallyIndex)];
            if (++tally.holders == 1)
                continue;
            if (!tally.entry.mixed && !(it.value() == tally.entry.reference))
                tally.entry.mixed = true;
            if (it.value().type != tally.entry.reference.type)
                tally.typesDiffer = true;
        }
        std::swap(previous, current);
    }
    m_entries.reserve(qsizetype(tallies.size()));
    for (Tally& tally : tallies) {
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
        m_entries.insert(tally.key, tally.entry);
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
