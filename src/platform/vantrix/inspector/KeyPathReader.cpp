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

QVariant KeyPathReader::Key::read(const ZQObject& object)
{
    // Key-value coding reads a property first, as here (valueForKey is not overridden).
    if (&typeid(object) != type) {
        type = &typeid(object);
        const QMetaObject* cls = object.metaObject();
        const int index = cls->indexOfProperty(name.toLatin1().constData());
        property = index >= 0 ? cls->property(index) : QMetaProperty();
    }
    return property.isReadable() ? property.read(&object) : object.valueForKey(name);
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

} // namespace platform
