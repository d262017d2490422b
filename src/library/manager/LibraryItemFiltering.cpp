#include "library/manager/LibraryItemFiltering.h"

#include "library/categories/VXQLibraryCategory.h"


using platform::Predicate;

namespace LibraryItemFiltering {

platform::PredicatePtr filterPredicate(const QString& text, int mode)
{
    if (text.isEmpty())
        return nullptr;
    Predicate::Operator op = Predicate::Operator::Contains;
    switch (mode) {
    case BeginsWith:
        op = Predicate::Operator::BeginsWith;
        break;
    case Like:
        op = Predicate::Operator::Like;
        break;
    case EndsWith:
        op = Predicate::Operator::EndsWith;
        break;
    default:
        break;
    }
    const int options = Predicate::CaseInsensitive | Predicate::DiacriticInsensitive;
    return Predicate::orPredicate({Predicate::comparison(QStringLiteral("name"), op, text, options)});
}

QList<VXQLibraryItemPtr> sortedItems(const VXQLibraryElementContainer& source,
                                     const QList<LibrarySortDescriptor>& descriptors)
{
    if (const auto* recent = qobject_cast<const VXQFixedLengthLibraryCategory*>(&source))
        return recent->orderedItems();
    QList<VXQLibraryItemPtr> items;
    QList<const ZQObject*> objects;
    const VXQLibraryElementContainer::ElementList elements = source.allElements();
    items.reserve(elements.size());
    objects.reserve(elements.size());
    for (const VXQLibraryElementPtr& element : elements) {
        if (auto item = std::dynamic_pointer_cast<VXQLibraryItem>(element)) {
            objects.append(item.get());
            items.append(std::move(item));
        }
    }
    if (descriptors.isEmpty())
        return items;
    QList<VXQLibraryItemPtr> sorted;
    sorted.reserve(items.size());
    for (const qsizetype index : sortedOrder(objects, descriptors))
        sorted.append(items[index]);
    return sorted;
}

QList<VXQLibraryItemPtr> filteredItems(const QList<VXQLibraryItemPtr>& items, const platform::PredicatePtr& filter)
{
    if (!filter)
        return items;
    QList<VXQLibraryItemPtr> matching;
    for (const VXQLibraryItemPtr& item : items)
        if (filter->evaluateWithObject(*item))
            matching.append(item);
    return matching;
}

QList<VXQLibraryItemPtr> sortedAndFilteredItems(const VXQLibraryElementContainer& source,
                                                const platform::PredicatePtr& filter,
                                                const QList<LibrarySortDescriptor>& descriptors)
{
    return filteredItems(sortedItems(source, descriptors), filter);
}

QString bottomBarText(qint64 itemCount, qint64 selectedCount)
{
    const QString selected = selectedCount == 0 ? QObject::tr("none") : QString::number(selectedCount);
    return QObject::tr("%1 item%2 (%3 selected)")
        .arg(itemCount)
        .arg(itemCount == 1 ? QString() : QStringLiteral("s"), selected);
}

QList<LibrarySortDescriptor> outlineSortDescriptorsForMode(qint64 mode)
{
    const QString name = QStringLiteral("name");
    const QString classCode = QStringLiteral("classCode");
    const QString count = QStringLiteral("allElementsCount");
    switch (mode) {
    case 1:
        return {{classCode}, {name}, {count}};
    case 2:
        return {{count}, {name}, {classCode}};
    default:
        return {{name}, {classCode}, {count}};
    }
}

} // namespace LibraryItemFiltering
