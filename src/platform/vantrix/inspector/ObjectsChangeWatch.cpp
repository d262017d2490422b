#include "platform/vantrix/inspector/ObjectsChangeWatch.h"

#include "platform/foundation/KeyChangeListeners.h"

#include <QSet>
#include <algorithm>

namespace platform {

namespace {

// Dependent keys may refer to each other; a cycle must not recurse forever.
constexpr int kMaximumDependencyDepth = 32;

// `key` and every key whose change changes it, as `object` declares them.
void addKeyAndDependencies(const ZQObject& object, const QString& key, QSet<QString>& keys, int depth = 0)
{
    if (depth > kMaximumDependencyDepth || keys.contains(key))
        return;
    keys.insert(key);
    for (const QString& dependency : object.keyPathsForValuesAffectingValueForKey(key))
        addKeyAndDependencies(object, dependency.section(QLatin1Char('.'), 0, 0), keys, depth + 1);
}

} // namespace

ObjectsChangeWatch::ObjectsChangeWatch(Members members, const QStringList& keyPaths, Wants wants, Changed changed)
    : m_members(std::move(members))
    , m_keyPaths(keyPaths)
    , m_wants(std::move(wants))
    , m_changed(std::move(changed))
{
    if (m_members && !m_keyPaths.isEmpty())
        m_listener = KeyChangeListeners::add(
            [this](ZQObject& object, const QString& key, bool prior) { keyChanged(object, key, prior); });
}

ObjectsChangeWatch::~ObjectsChangeWatch()
{
    if (m_listener)
        KeyChangeListeners::remove(m_listener);
}

bool ObjectsChangeWatch::contains(const ZQObject* object)
{
    if (m_members) {
        m_sorted = std::exchange(m_members, nullptr)();
        std::sort(m_sorted.begin(), m_sorted.end());
    }
    // A change is told before and after, often for several keys at once, and a million objects
    // changed outside the list (pasted ones stepped clear of their originals) would each search
    // it as often: the last answer stands until another object is asked about.
    if (object != m_lastAsked) {
        m_lastAsked = object;
        m_lastAnswer = !m_sorted.empty() && object >= m_sorted.front() && object <= m_sorted.back()
                       && std::binary_search(m_sorted.begin(), m_sorted.end(), object);
    }
    return m_lastAnswer;
}

const ObjectsChangeWatch::ClassKeys& ObjectsChangeWatch::keysOfClass(const ZQObject& object)
{
    const QMetaObject* cls = object.metaObject();
    auto found = m_classes.constFind(cls);
    if (found != m_classes.cend())
        return *found;
    ClassKeys keys;
    for (qsizetype index = 0; index < m_keyPaths.size(); ++index) {
        const QStringList components = m_keyPaths[index].split(QLatin1Char('.'));
        for (qsizetype c = 0; c < components.size(); ++c) {
            QSet<QString> affecting;
            addKeyAndDependencies(object, components[c], affecting);
            for (const QString& key : std::as_const(affecting)) {
                QList<qsizetype>& paths = c == 0 ? keys[key].own : keys[key].linked;
                if (!paths.contains(index))
                    paths.append(index);
            }
        }
    }
    return *m_classes.insert(cls, std::move(keys));
}

const ObjectsChangeWatch::Affected* ObjectsChangeWatch::affectedBy(const ZQObject& object, const QString& key)
{
    // A million objects changing the same keys in turn would hash each key name as often.
    const QMetaObject* cls = object.metaObject();
    if (m_lastChange.cls != cls || m_lastChange.key != key) {
        const ClassKeys& keys = keysOfClass(object);
        const auto found = keys.constFind(key);
        // Copied: what the client does when told may add classes to the table.
        m_lastChange = {cls, key, found == keys.cend() ? std::nullopt : std::optional<Affected>(*found)};
    }
    return m_lastChange.affected ? &*m_lastChange.affected : nullptr;
}

void ObjectsChangeWatch::keyChanged(ZQObject& object, const QString& key, bool prior)
{
    const Affected* found = affectedBy(object, key);
    if (!found)
        return;
    // Copied: the client, when told, may change keys of other objects and so the last change.
    const Affected affected = *found;
    const auto wanted = [&](qsizetype index) { return m_wants(index, prior); };
    for (qsizetype index : affected.linked) {
        if (wanted(index))
            m_changed(index, prior);
    }
    if (std::any_of(affected.own.cbegin(), affected.own.cend(), wanted) && contains(&object)) {
        for (qsizetype index : affected.own) {
            if (wanted(index))
                m_changed(index, prior);
        }
    }
}

} // namespace platform
