#include "library/tree/LibrarySortDescriptor.h"

#include "app/StringUtilities.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/ZQObject.h"

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

} // namespace

int compareWithSortDescriptors(const ZQObject& a, const ZQObject& b, const QList<LibrarySortDescriptor>& descriptors)
{
    for (const LibrarySortDescriptor& descriptor : descriptors) {
        const int order = compareValues(a.valueForKey(descriptor.key), b.valueForKey(descriptor.key));
        if (order != 0)
            return descriptor.ascending ? order : -order;
    }
    return 0;
}
