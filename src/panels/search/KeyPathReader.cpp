#include "panels/search/KeyPathReader.h"

#include "panels/search/SearchableProperties.h"

KeyPathReader::KeyPathReader(const QString& keyPath)
{
    setKeyPath(keyPath);
}

void KeyPathReader::setKeyPath(const QString& keyPath)
{
    m_keyPath = keyPath;
    m_isSearchableProperty = SearchableProperties::isPropertyIdentifier(keyPath);
    m_plainKey = keyPath.contains(QLatin1Char('.')) ? QByteArray() : keyPath.toLatin1();
    m_propertyByClass.clear();
}

QVariant KeyPathReader::valueOf(const ZQObject& object) const
{
    if (!m_isSearchableProperty)
        return object.valueForUndefinedKey(m_keyPath);
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
