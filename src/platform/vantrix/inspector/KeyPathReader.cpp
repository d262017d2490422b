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
            m_paths.push_back({});
            continue;
        }
        const QString key = keyPath.left(dot);
        auto link = std::find_if(m_links.begin(), m_links.end(), [&](const Link& l) { return l.key == key; });
        if (link == m_links.end())
            link = m_links.insert(m_links.end(), Link{key, std::nullopt, nullptr, nullptr});
        m_paths.push_back({link - m_links.begin(), keyPath.mid(dot + 1)});
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

const KeyPathReader::Link& KeyPathReader::read(Link& link)
{
    if (!link.value && !link.failure) {
        try {
            link.value = m_object->valueForKey(link.key);
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
    const Path& path = m_paths[index];
    if (path.link < 0)
        return m_object->valueForKey(m_keyPaths.at(index));
    const Link& link = read(m_links[path.link]);
    if (link.object)
        return link.object->valueForKeyPath(path.rest);
    if (isNull(*link.value))
        return {};
    // Dictionaries and lists along the way: the whole path, as the object reads it.
    return m_object->valueForKeyPath(m_keyPaths.at(index));
}

} // namespace platform
