#include "panels/search/SmartSearchTable.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Menu.h"

#include <QCollator>
#include <algorithm>

namespace {

const QString kSearchesKey = QStringLiteral("searches");

std::optional<SmartSearchTable::Searches>& table()
{
    static std::optional<SmartSearchTable::Searches> searches;
    return searches;
}

} // namespace

const std::optional<SmartSearchTable::Searches>& SmartSearchTable::smartSearches()
{
    return table();
}

void SmartSearchTable::setSmartSearchForKey(const MPSearchQueryPtr& query, const QString& name)
{
    if (!ZQ_EXPECT(query, QStringLiteral("can't save nil as a smart search"))
        || !ZQ_EXPECT(!name.isEmpty(), QStringLiteral("can't save a smart search with an empty key"))
        || !ZQ_EXPECT(query->criteriaCount() > 0, QStringLiteral("query passed to save smart search has no criteria")))
        return;
    if (!table())
        table().emplace();
    table()->insert(name, query);
    ZQLog(QStringLiteral("saving smart search '%1': %2").arg(name, query->description()));
}

void SmartSearchTable::removeSmartSearchForKey(const QString& name)
{
    if (table())
        table()->remove(name);
}

MPSearchQueryPtr SmartSearchTable::smartSearchForKey(const QString& name)
{
    return table() ? table()->value(name) : nullptr;
}

QString SmartSearchTable::uniqueSmartSearchKey(const QString& name)
{
    if (!table() || !table()->contains(name))
        return name;
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1 %2").arg(name).arg(n);
        if (!table()->contains(candidate))
            return candidate;
    }
}

bool SmartSearchTable::isSavedInSmartSearches(const MPSearchQuery* query)
{
    if (!table() || !query)
        return false;
    return std::any_of(table()->cbegin(), table()->cend(),
                       [query](const MPSearchQueryPtr& stored) { return stored.get() == query; });
}

void SmartSearchTable::saveSmartSearches()
{
    SmartSearchArchive archive;
    if (table())
        archive.searches = *table();
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(
        platform::KeyedArchiver::archivedDataWithRootObject(&archive), kQVNLSmartSearchesDefaultsKey);
}

void SmartSearchTable::loadSmartSearches()
{
    const QVariant stored = platform::UserDefaults::standardUserDefaults()->objectForKey(kQVNLSmartSearchesDefaultsKey);
    if (!stored.isValid())
        return;
    if (stored.typeId() != QMetaType::QByteArray) {
        ZQLogObjCMethod(QStringLiteral("saved searches are not data (%1), none loaded").arg(stored.typeName()));
        return;
    }
    QuorvaneError error;
    const ZQObjectPtr root = platform::KeyedUnarchiver::unarchiveObjectWithData(stored.toByteArray(), &error);
    const auto* archive = qobject_cast<const SmartSearchArchive*>(root.get());
    if (!archive) {
        ZQLogObjCMethod(QStringLiteral("saved searches could not be read (%1), none loaded")
                            .arg(root ? root->className() : error.localizedDescription()));
        return;
    }
    if (!table())
        table().emplace();
    for (auto it = archive->searches.cbegin(); it != archive->searches.cend(); ++it)
        table()->insert(it.key(), it.value());
}

void SmartSearchTable::removeAllSmartSearches()
{
    table().reset();
}

platform::Menu* SmartSearchTable::menuOfAvailableSearchesWithTargetAction(QObject* target, const QByteArray& action,
                                                                          QWidget* parent)
{
    const QString title = QObject::tr("Smart Search\u2122");
    auto* menu = new platform::Menu(title, parent);
    menu->addItemWithTitleActionKeyEquivalent(title, QByteArray());
    platform::MenuItem* all = menu->addItemWithTitleActionKeyEquivalent(QObject::tr("All Items"), action);
    all->setTag(-1);
    all->setTarget(target);
    if (!table() || table()->isEmpty())
        return menu;
    menu->addSeparator();
    QStringList names = table()->keys();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), collator);
    for (const QString& name : names) {
        const MPSearchQueryPtr query = table()->value(name);
        platform::MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(name, action);
        item->setTarget(target);
        item->setRepresentedObject(QVariant::fromValue<ZQObjectPtr>(query));
        item->setToolTip(query->userReadableDescription());
    }
    return menu;
}

// --- Archive ------------------------------------------------------------------------------------------------

void SmartSearchArchive::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    QVariantMap entries;
    for (auto it = searches.cbegin(); it != searches.cend(); ++it)
        entries.insert(it.key(), QVariant::fromValue<ZQObjectPtr>(it.value()));
    coder.encodeObject(QVariant(entries), kSearchesKey);
}

void SmartSearchArchive::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const QVariant entries = coder.decodeValue(kSearchesKey);
    if (entries.typeId() != QMetaType::QVariantMap) {
        if (entries.isValid())
            ZQLogObjCMethod(QStringLiteral("saved searches are a %1, not a table").arg(entries.typeName()));
        return;
    }
    const QVariantMap map = entries.toMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        auto query = std::dynamic_pointer_cast<MPSearchQuery>(it.value().value<ZQObjectPtr>());
        if (it.key().isEmpty() || !query || query->criteriaCount() == 0) {
            ZQLogObjCMethod(QStringLiteral("skipped the saved search '%1': not a query with criteria").arg(it.key()));
            continue;
        }
        searches.insert(it.key(), query);
    }
}
