#include "panels/search/SearchableProperties.h"

#include "panels/search/MPSearchCriterion.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "symbols/placed/VXQSymbol.h"

#include <QCoreApplication>

namespace {

struct Entry {
    const char* displayName;
    const char* identifier;
    int dataType;
};

void addEntries(SearchablePropertyTable& table, std::initializer_list<Entry> entries)
{
    for (const Entry& entry : entries)
        table.insert(QCoreApplication::translate("SearchableProperties", entry.displayName),
                     ZQSearchableProperty::propertyWithIdentifierDataType(QString::fromLatin1(entry.identifier),
                                                                         entry.dataType));
}

} // namespace

namespace SearchableProperties {

const SearchablePropertyTable& drawableSearchableProperties()
{
    static const SearchablePropertyTable table = [] {
        SearchablePropertyTable drawable;
        addEntries(drawable, {
                                 {QT_TRANSLATE_NOOP("SearchableProperties", "X Location"), "searchableXLocation", kMPFloatType},
                                 {QT_TRANSLATE_NOOP("SearchableProperties", "Y Location"), "searchableYLocation", kMPFloatType},
                                 {QT_TRANSLATE_NOOP("SearchableProperties", "Angle"), "angleInDegrees", kMPFloatType},
                                 {QT_TRANSLATE_NOOP("SearchableProperties", "Width"), "searchableWidth", kMPFloatType},
                                 {QT_TRANSLATE_NOOP("SearchableProperties", "Height"), "searchableHeight", kMPFloatType},
                                 {QT_TRANSLATE_NOOP("SearchableProperties", "Area"), "area", kMPFloatType},
                                 {QT_TRANSLATE_NOOP("SearchableProperties", "Searchable Text"), "searchableString", kMPStringType},
                                 {QT_TRANSLATE_NOOP("SearchableProperties", "Grid Reference"), "locationAsGridReferenceString", kMPStringType},
                                 {QT_TRANSLATE_NOOP("SearchableProperties", "Style Name"), "style.name", kMPStringType},
                                 {QT_TRANSLATE_NOOP("SearchableProperties", "Object Type"), "displayName", kMPStringType},
                             });
        return drawable;
    }();
    return table;
}

const SearchablePropertyTable& pathSearchableProperties()
{
    static const SearchablePropertyTable table = [] {
        SearchablePropertyTable path = drawableSearchableProperties();
        addEntries(path, {
                             {QT_TRANSLATE_NOOP("SearchableProperties", "Length"), "lengthInDrawingUnits", kMPFloatType},
                             {QT_TRANSLATE_NOOP("SearchableProperties", "Track Width"), "trackWidth", kMPFloatType},
                         });
        return path;
    }();
    return table;
}

const SearchablePropertyTable& searchablePropertiesForObject(const VXDrawableObject& object)
{
    return qobject_cast<const VXDrawablePath*>(&object) ? pathSearchableProperties() : drawableSearchableProperties();
}

constexpr Entry kSymbolMasterName{QT_TRANSLATE_NOOP("SearchableProperties", "Symbol Master Name"), "masterName",
                                  kMPStringType};

bool isPropertyIdentifier(const QString& identifier)
{
    if (identifier == QLatin1StringView(kSymbolMasterName.identifier))
        return true;
    const SearchablePropertyTable& table = pathSearchableProperties();
    return std::any_of(table.cbegin(), table.cend(),
                       [&](const ZQSearchablePropertyPtr& property) { return property->identifier() == identifier; });
}

void addSearchablePropertiesToDictionary(const VXDrawableObject& object, SearchablePropertyTable& table)
{
    // A placed symbol offers its master's name, not its own attributes.
    if (qobject_cast<const VXQSymbol*>(&object)) {
        addEntries(table, {kSymbolMasterName});
        return;
    }
    const platform::MetadataContainer::Values& attributes = object.metadataValues();
    for (auto it = attributes.cbegin(); it != attributes.cend(); ++it) {
        if (table.contains(it.key()))
            continue;
        const int dataType = ZQSearchableProperty::dataTypeForMetadataType(it->type);
        if (dataType < 0)
            continue;
        const QString name = it.key().toUpper();
        auto property = ZQSearchableProperty::propertyWithIdentifierDataType(name, dataType);
        property->setPropertyIsMetadata(true);
        table.insert(name, property);
    }
}

SearchablePropertyTable gatherSearchableProperties(const VXObjectOwnerLayer& layer)
{
    SearchablePropertyTable table = pathSearchableProperties();
    for (const VXDrawableObjectPtr& object : layer.objects())
        addSearchablePropertiesToDictionary(*object, table);
    return table;
}

} // namespace SearchableProperties
