#include "platform/vantrix/inspector/KeyPathReader.h"

#include "platform/foundation/Markers.h"

#include <algorithm>

namespace platform {

KeyPathReader::KeyPathReader(const QStringList& keyPaths)
    : m_keyPaths(keyPaths)
{
    m_paths.reserve(keyPaths.size());
    for (const QString& keyPath : keyPaths) {
        const qsizetype dot = keyPath.indexOf(QLatin1Char('.'));
        if (dot < 0) {
            m_paths.push_back({-1, {}, Key{keyPath}});
            continue;
        }
        const QString key = keyPath.left(dot);
        auto link = std::find_if(m_links.begin(), m_links.end(), [&](const Link& l) { return l.key.name == key; });
        if (link == m_links.end())
            link = m_links.insert(m_links.end(), Link{Key{key}, std::nullopt, nullptr, nullptr});
        m_paths.push_back({link - m_links.begin(), keyPath.mid(dot + 1), {}});
    }
}

void KeyPathReader::setObject(const ZQObject& object)
{
    m_object = &object;
    for (Link& link : m_links) {
        link.value.reset();
        link.object = nullptr;
        link.failure = nullptr;
    }
}

void KeyPathReader::Key::findProperty(const ZQObject& object)
{
    if (&typeid(object) == type)
        return;
    type = &typeid(object);
    const QMetaObject* cls = object.metaObject();
    const int index = cls->indexOfProperty(name.toLatin1().constData());
    property = index >= 0 ? cls->property(index) : QMetaProperty();
    propertyType = property.metaType();
    propertyIndex = index;
    readable = property.isReadable();
}

QVariant KeyPathReader::Key::read(const ZQObject& object)
{
    // Key-value coding reads a property first, as here (valueForKey is not overridden).
    findProperty(object);
    return readable ? property.read(&object) : object.valueForKey(name);
}

std::optional<QVariant> KeyPathReader::Key::differingValue(const ZQObject& object, const QVariant& value)
{
    findProperty(object);
    const QMetaType valueType = value.metaType();
    if (!readable || propertyType != valueType) {
        QVariant read = this->read(object);
        return read == value ? std::nullopt : std::optional<QVariant>(std::move(read));
    }
    if (buffer.metaType() != valueType)
        buffer = QVariant(valueType);
    int status = -1;
    void* arguments[] = {buffer.data(), &buffer, &status};
    QMetaObject::metacall(const_cast<ZQObject*>(&object), QMetaObject::ReadProperty, propertyIndex, arguments);
    // A meta-call may answer with its own storage instead of filling the buffer.
    if (valueType.equals(arguments[0], value.constData()))
        return std::nullopt;
    return QVariant(valueType, arguments[0]);
}

const KeyPathReader::Link& KeyPathReader::read(Link& link)
{
    if (!link.value && !link.failure) {
        try {
            link.value = link.key.read(*m_object);
            link.object = objectFromVariant(*link.value);
        } catch (...) {
            link.failure = std::current_exception();
        }
    }
    if (link.failure)
        std::rethrow_exception(link.failure);
    return link;
}

QVariant KeyPathReader::value(qsizetype index)
{
    Path& path = m_paths[index];
    if (path.link < 0)
        return path.plain.read(*m_object);
    const Link& link = read(m_links[path.link]);
    if (link.object)
        return link.object->valueForKeyPath(path.rest);
    if (isNull(*link.value))
        return {};
    // Dictionaries and lists along the way: the whole path, as the object reads it.
    return m_object->valueForKeyPath(m_keyPaths.at(index));
}

std::optional<QVariant> KeyPathReader::differingValue(qsizetype index, const QVariant& value)
{
    Path& path = m_paths[index];
    if (path.link < 0)
        return path.plain.differingValue(*m_object, value);
    QVariant read = this->value(index);
    return read == value ? std::nullopt : std::optional<QVariant>(std::move(read));
}

} // namespace platform
