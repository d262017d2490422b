#include "library/categories/VXQLibrarySmartCategory.h"

#include "library/items/LibraryObjects.h"
#include "library/items/VXQLibraryItem.h"
#include "library/menus/LibraryArtwork.h"
#include "library/store/VXQLibrary.h"

#include <QCoreApplication>

namespace {

// One evaluation at a time: a smart category inside what another one filters adds nothing.
bool s_evaluating = false;

using platform::Predicate;

} // namespace

VXQLibrarySmartCategory::VXQLibrarySmartCategory() = default;

std::shared_ptr<VXQLibrarySmartCategory> VXQLibrarySmartCategory::standardCategory(const QString& name, qint64 classCode)
{
    auto category = std::make_shared<VXQLibrarySmartCategory>();
    category->VXQLibraryCategory::initWithNameLibrary(name, nullptr);
    category->m_predicate = Predicate::comparison(QStringLiteral("classCode"), Predicate::Operator::Equal, classCode);
    category->m_editablePredicate = false;
    return category;
}

std::shared_ptr<VXQLibrarySmartCategory> VXQLibrarySmartCategory::allStylesSmartCategory()
{
    return standardCategory(QCoreApplication::translate("VXQLibrarySmartCategory", "All Styles"),
                            LibraryObjects::kStyleClassCode);
}

std::shared_ptr<VXQLibrarySmartCategory> VXQLibrarySmartCategory::allSymbolsSmartCategory()
{
    return standardCategory(QCoreApplication::translate("VXQLibrarySmartCategory", "All Clip Art"),
                            LibraryObjects::kSymbolMasterClassCode);
}

void VXQLibrarySmartCategory::initWithNameLibrary(const QString& name, VXQLibrary* library)
{
    VXQLibraryCategory::initWithNameLibrary(name, library);
    m_predicate = Predicate::orPredicate(
        {Predicate::comparison(QStringLiteral("name"), Predicate::Operator::Contains, QStringLiteral("Quorvane"))});
    m_editablePredicate = true;
}

VXQLibraryElementPtr VXQLibrarySmartCategory::initWithInfoLibrary(const QVariantMap& info, VXQLibrary* library)
{
    // Matches are computed, never read: whatever "items" says is ignored.
    QVariantMap withoutItems = info;
    withoutItems.remove(QStringLiteral("items"));
    VXQLibraryElementPtr self = VXQLibraryCategory::initWithInfoLibrary(withoutItems, library);
    if (self.get() != this)
        return self;
    const QVariant predicate = info.value(QStringLiteral("predicate"));
    if (predicate.typeId() == QMetaType::QByteArray)
        if (platform::PredicatePtr read = Predicate::fromArchiveData(predicate.toByteArray()))
            m_predicate = read;
    const QVariant limit = info.value(QStringLiteral("limit"));
    if (limit.canConvert<qint64>())
        m_countLimit = std::max<qint64>(0, qint32(limit.toLongLong()));
    const QVariant editable = info.value(QStringLiteral("peditable"));
    if (editable.typeId() == QMetaType::Bool)
        m_editablePredicate = editable.toBool();
    return self;
}

void VXQLibrarySmartCategory::setPredicate(const platform::PredicatePtr& predicate)
{
    if (!m_editablePredicate || !predicate || (m_predicate && m_predicate->isEqualTo(*predicate)))
        return;
    m_predicate = predicate;
    emptyCache();
    tellLibrary();
}

void VXQLibrarySmartCategory::setCountLimit(qint64 limit)
{
    limit = std::max<qint64>(0, limit);
    if (limit == m_countLimit)
        return;
    m_countLimit = limit;
    emptyCache();
    tellLibrary();
}

void VXQLibrarySmartCategory::emptyCache()
{
    m_matches.reset();
    m_matchSet.clear();
    invalidateElementsCache();
}

void VXQLibrarySmartCategory::setMatches(ElementList matches) const
{
    m_matchSet.clear();
    m_matchSet.reserve(matches.size());
    for (const VXQLibraryElementPtr& element : matches)
        m_matchSet.insert(element.get());
    m_matches = std::move(matches);
    if (const auto* library = qobject_cast<const VXQLibrary*>(container()))
        m_matchesGeneration = library->membershipGeneration();
}

VXQLibraryElementContainer::ElementList VXQLibrarySmartCategory::filteredContent() const
{
    if (!m_predicate || s_evaluating || !container())
        return {};
    s_evaluating = true;
    ElementList matches;
    for (const VXQLibraryElementPtr& element : container()->allElements())
        if (dynamic_cast<VXQLibraryItem*>(element.get()) && m_predicate->evaluateWithObject(*element))
            matches.append(element);
    s_evaluating = false;
    if (m_countLimit > 0 && matches.size() > m_countLimit)
        matches.resize(m_countLimit);
    return matches;
}

VXQLibraryElementContainer::ElementList VXQLibrarySmartCategory::allElements() const
{
    if (!m_matches || m_matches->isEmpty())
        setMatches(filteredContent());
    return *m_matches;
}

bool VXQLibrarySmartCategory::hasItem(const VXQLibraryItem* item) const
{
    allElements();
    return m_matchSet.contains(item);
}

bool VXQLibrarySmartCategory::updateMatchesForItem(VXQLibraryItem* item)
{
    auto* library = qobject_cast<VXQLibrary*>(container());
    // Items that came or went since the matches were made were never evaluated alone.
    if (!item || !m_matches || m_countLimit > 0 || !m_predicate || s_evaluating || !library
        || library->membershipGeneration() != m_matchesGeneration)
        return false;
    const bool held = library->containsUniqueID(item->uniqueKey()) && library->itemWithUniqueID(item->uniqueKey()) == item;
    const bool matchesNow = held && m_predicate->evaluateWithObject(*item);
    if (matchesNow == m_matchSet.contains(item))
        return true;
    if (matchesNow) {
        m_matches->append(std::static_pointer_cast<VXQLibraryItem>(item->shared_from_this()));
        m_matchSet.insert(item);
        post(kVXQLibraryCategoryDidAddItem, {{QStringLiteral("item"), QVariant::fromValue<QObject*>(item)}});
    } else {
        m_matches->removeIf([item](const VXQLibraryElementPtr& element) { return element.get() == item; });
        m_matchSet.remove(item);
        post(kVXQLibraryCategoryDidRemoveItem, {{QStringLiteral("item"), QVariant::fromValue<QObject*>(item)}});
    }
    invalidateElementsCache();
    return true;
}

void VXQLibrarySmartCategory::itemUpdateCouldAffectCategories(VXQLibraryItem* item)
{
    // A bulk edit changes every item in turn: evaluating all of them each time was quadratic.
    if (updateMatchesForItem(item))
        return;
    const ElementList before = m_matches.value_or(ElementList());
    const ElementList now = filteredContent();
    const bool changed = now != before;
    // Kept even when empty: the next item's change is then evaluated alone.
    setMatches(now);
    if (changed) {
        if (!item)
            post(kVXQLibraryCategoryContentDidChange);
        else if (now.size() < before.size())
            post(kVXQLibraryCategoryDidRemoveItem, {{QStringLiteral("item"), QVariant::fromValue<QObject*>(item)}});
        else if (now.size() > before.size())
            post(kVXQLibraryCategoryDidAddItem, {{QStringLiteral("item"), QVariant::fromValue<QObject*>(item)}});
        else
            post(kVXQLibraryCategoryContentDidChange);
    }
    invalidateElementsCache();
}

void VXQLibrarySmartCategory::removeItem(VXQLibraryItem* item)
{
    itemUpdateCouldAffectCategories(item);
}

void VXQLibrarySmartCategory::removeItems(const QList<std::shared_ptr<VXQLibraryItem>>&)
{
    itemUpdateCouldAffectCategories(nullptr);
}

void VXQLibrarySmartCategory::wasAddedToContainer(VXQLibraryElementContainer*)
{
    emptyCache();
    post(kVXQLibraryCategoryContentDidChange);
}

QVariantMap VXQLibrarySmartCategory::elementInfo() const
{
    QVariantMap info = VXQLibraryCategory::elementInfo();
    info.remove(QStringLiteral("items"));
    info.insert(QStringLiteral("predicate"), m_predicate ? m_predicate->archiveData() : QByteArray());
    info.insert(QStringLiteral("limit"), quint64(m_countLimit));
    info.insert(QStringLiteral("peditable"), m_editablePredicate);
    return info;
}

QImage VXQLibrarySmartCategory::icon() const
{
    return librarySquareIcon(QStringLiteral("VL_Smart_Category"));
}

QString VXQLibrarySmartCategory::toolTipString() const
{
    return m_predicate ? m_predicate->predicateFormat() : QString();
}
