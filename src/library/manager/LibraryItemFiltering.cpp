#include "library/manager/LibraryItemFiltering.h"

#include "library/categories/VXQLibraryCategory.h"

#include <algorithm>

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

QList<VXQLibraryItemPtr> sortedAndFilteredItems(const VXQLibraryElementContainer& source,
                                                const platform::PredicatePtr& filter,
                                                const QList<LibrarySortDescriptor>& descriptors)
{
    QList<VXQLibraryItemPtr> items;
    const auto* recent = qobject_cast<const VXQFixedLengthLibraryCategory*>(&source);
    if (recent) {
        items = recent->orderedItems();
    } else {
        const VXQLibraryElementContainer::ElementList elements = source.allElements();
        items.reserve(elements.size());
        for (const VXQLibraryElementPtr& element : elements)
            if (auto item = std::dynamic_pointer_cast<VXQLibraryItem>(element))
                items.append(std::move(item));
    }
    if (filter)
        items.removeIf([&filter](const VXQLibraryItemPtr& item) { return !filter->evaluateWithObject(*item); });
    if (!recent && !descriptors.isEmpty())
        std::stable_sort(items.begin(), items.end(), [&descriptors](const VXQLibraryItemPtr& a, const VXQLibraryItemPtr& b) {
            return compareWithSortDescriptors(*a, *b, descriptors) < 0;
        });
    return items;
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
