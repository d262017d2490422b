#include "library/tree/LibrarySortDescriptor.h"

#include "app/utilities/StringUtilities.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/ZQObject.h"

#include <QCollatorSortKey>
#include <algorithm>
#include <numeric>

namespace {

bool isNumber(const QVariant& value)
{
    return platform::isNumericVariant(value) || value.typeId() == QMetaType::Bool;
}

int compareValues(const QVariant& a, const QVariant& b)
{
    if (isNumber(a) && isNumber(b)) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return localisedCaseInsensitiveNumericCompare(a.toString(), b.toString());
}

// One descriptor's values for every object, ready to compare: numbers when all are numbers
// (as compareValues takes them), else collation keys of their text.
struct SortColumn {
    bool ascending = true;
    std::vector<double> numbers;
    std::vector<QCollatorSortKey> texts;

    int compare(qsizetype a, qsizetype b) const
    {
        const int order = texts.empty() ? (numbers[a] < numbers[b] ? -1 : (numbers[a] > numbers[b] ? 1 : 0))
                                        : texts[a].compare(texts[b]);
        return ascending ? order : -order;
    }
};

SortColumn sortColumn(const QList<const ZQObject*>& objects, const LibrarySortDescriptor& descriptor)
{
    QVariantList values;
    values.reserve(objects.size());
    for (const ZQObject* object : objects)
        values.append(object->valueForKey(descriptor.key));
    SortColumn column;
    column.ascending = descriptor.ascending;
    if (std::all_of(values.cbegin(), values.cend(), isNumber)) {
        for (const QVariant& value : values)
            column.numbers.push_back(value.toDouble());
        return column;
    }
    const QCollator& collator = localisedCaseInsensitiveNumericCollator();
    column.texts.reserve(values.size());
    for (const QVariant& value : values)
        column.texts.push_back(collator.sortKey(value.toString()));
    return column;
}

} // namespace

std::vector<qsizetype> sortedOrder(const QList<const ZQObject*>& objects, const QList<LibrarySortDescriptor>& descriptors)
{
    std::vector<SortColumn> columns;
    for (const LibrarySortDescriptor& descriptor : descriptors)
        columns.push_back(sortColumn(objects, descriptor));
    std::vector<qsizetype> order(size_t(objects.size()));
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(), [&columns](qsizetype a, qsizetype b) {
        for (const SortColumn& column : columns)
            if (const int result = column.compare(a, b); result != 0)
                return result < 0;
        return false;
    });
    return order;
}

int compareWithSortDescriptors(const ZQObject& a, const ZQObject& b, const QList<LibrarySortDescriptor>& descriptors)
{
    for (const LibrarySortDescriptor& descriptor : descriptors) {
        const int order = compareValues(a.valueForKey(descriptor.key), b.valueForKey(descriptor.key));
        if (order != 0)
            return descriptor.ascending ? order : -order;
    }
    return 0;
}
