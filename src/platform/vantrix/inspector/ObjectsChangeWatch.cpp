#include "platform/vantrix/inspector/ObjectsChangeWatch.h"

#include "platform/foundation/KeyChangeListeners.h"

#include <QSet>
#include <algorithm>

namespace platform {

namespace {

// Dependent keys may refer to each other; a cycle must not recurse forever.
constexpr int kMaximumDependencyDepth = 32;

// `key` and every key of `object` whose change changes it, as `object` declares them, go to
// `keys`; the later keys of dotted dependencies ("font" of "textAdornment.font"), which are
// keys of linked objects, go to `throughLinks`.
void addKeyAndDependencies(const ZQObject& object, const QString& key, QSet<QString>& keys,
                           QSet<QString>& throughLinks, int depth = 0)
{
    if (depth > kMaximumDependencyDepth || keys.contains(key))
        return;
    keys.insert(key);
    for (const QString& dependency : object.keyPathsForValuesAffectingValueForKey(key)) {
        const QStringList components = dependency.split(QLatin1Char('.'));
        for (qsizetype c = 1; c < components.size(); ++c)
            throughLinks.insert(components[c]);
        addKeyAndDependencies(object, components[0], keys, throughLinks, depth + 1);
    }
}

void addIndex(QList<qsizetype>& indexes, qsizetype index)
{
    if (!indexes.contains(index))
        indexes.append(index);
}

} // namespace

ObjectsChangeWatch::ObjectsChangeWatch(std::unique_ptr<Followed> followed, const QStringList& keyPaths, Wants wants,
                                       Changed changed)
    : m_followed(std::move(followed))
    , m_keyPaths(keyPaths)
    , m_wants(std::move(wants))
    , m_changed(std::move(changed))
{
    if (m_followed && !m_keyPaths.isEmpty())
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
    if (!m_sortedMade && m_followed) {
        m_sortedMade = true;
        m_sorted = m_followed->addresses();
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

void ObjectsChangeWatch::findDependenciesThroughLinks()
{
    m_linkedDependenciesFound = true;
    if (!m_followed)
        return;
    QStringList firstKeys;
    for (const QString& keyPath : std::as_const(m_keyPaths))
        firstKeys.append(keyPath.section(QLatin1Char('.'), 0, 0));
    m_followed->forOneOfEachClass([&](const ZQObject& object) {
        for (qsizetype index = 0; index < firstKeys.size(); ++index) {
            QSet<QString> own, throughLinks;
            addKeyAndDependencies(object, firstKeys[index], own, throughLinks);
            for (const QString& key : std::as_const(throughLinks))
                addIndex(m_linkedDependencies[key], index);
        }
    });
}

const ObjectsChangeWatch::ClassKeys& ObjectsChangeWatch::keysOfClass(const ZQObject& object)
{
    const QMetaObject* cls = object.metaObject();
    auto found = m_classes.constFind(cls);
    if (found != m_classes.cend())
        return *found;
    if (!m_linkedDependenciesFound)
        findDependenciesThroughLinks();
    ClassKeys keys;
    // A later key of a path or of a dependency is a key of a linked object, of whatever class
    // changes: that class says what its key depends on.
    const auto addLinked = [&](const QString& key, qsizetype index) {
        QSet<QString> affecting, throughLinks;
        addKeyAndDependencies(object, key, affecting, throughLinks);
        affecting.unite(throughLinks);
        for (const QString& affected : std::as_const(affecting))
            addIndex(keys[affected].linked, index);
    };
    for (qsizetype index = 0; index < m_keyPaths.size(); ++index) {
        const QStringList components = m_keyPaths[index].split(QLatin1Char('.'));
        QSet<QString> own, throughLinks;
        addKeyAndDependencies(object, components[0], own, throughLinks);
        for (const QString& key : std::as_const(own))
            addIndex(keys[key].own, index);
        for (qsizetype c = 1; c < components.size(); ++c)
            addLinked(components[c], index);
    }
    for (auto dependency = m_linkedDependencies.cbegin(); dependency != m_linkedDependencies.cend(); ++dependency) {
        for (qsizetype index : dependency.value())
            addLinked(dependency.key(), index);
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
    const auto wanted = [&](qsizetype index) { return m_wants(index, prior, object); };
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
