#include "panels/search/KeyPathReader.h"

#include "panels/search/SearchableProperties.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

namespace {

const QString kSearchableTextKey = QStringLiteral("searchableString");

} // namespace

KeyPathReader::KeyPathReader(const QString& keyPath)
{
    setKeyPath(keyPath);
}

void KeyPathReader::setKeyPath(const QString& keyPath)
{
    m_keyPath = keyPath;
    m_isSearchableProperty = SearchableProperties::isPropertyIdentifier(keyPath);
    m_isSearchableText = keyPath == kSearchableTextKey;
    m_plainKey = keyPath.contains(QLatin1Char('.')) ? QByteArray() : keyPath.toLatin1();
    m_propertyByClass.clear();
    m_drawableByClass.clear();
}

QVariant KeyPathReader::valueOf(const ZQObject& object) const
{
    if (!m_isSearchableProperty)
        return object.valueForUndefinedKey(m_keyPath);
    // The property system's dispatch reaches into a second block of each object's memory, which
    // costs a search of a large map more than reading the text itself.
    if (m_isSearchableText)
        if (const VXDrawableObject* drawable = asDrawable(object)) {
            // As the property answers it: no value for a null text.
            const QString text = drawable->searchableString();
            return text.isNull() ? QVariant() : QVariant(text);
        }
    if (!m_plainKey.isEmpty()) {
        if (const QMetaProperty property = propertyForClass(object.metaObject()); property.isValid())
            return property.read(&object);
    }
    // Getters and paths take the general way.
    return object.valueForKeyPath(m_keyPath);
}

QMetaProperty KeyPathReader::propertyForClass(const QMetaObject* meta) const
{
    for (const auto& [known, property] : m_propertyByClass)
        if (known == meta)
            return property;
    const int index = meta->indexOfProperty(m_plainKey.constData());
    const QMetaProperty property = index >= 0 ? meta->property(index) : QMetaProperty();
    m_propertyByClass.append({meta, property.isReadable() ? property : QMetaProperty()});
    return m_propertyByClass.last().second;
}

const VXDrawableObject* KeyPathReader::asDrawable(const ZQObject& object) const
{
    const std::type_info* type = &typeid(object);
    for (const auto& [known, drawable] : m_drawableByClass)
        if (known == type)
            return drawable ? static_cast<const VXDrawableObject*>(&object) : nullptr;
    const auto* drawable = dynamic_cast<const VXDrawableObject*>(&object);
    m_drawableByClass.append({type, drawable != nullptr});
    return drawable;
}
