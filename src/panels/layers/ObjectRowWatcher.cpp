#include "panels/layers/ObjectRowWatcher.h"

#include "platform/foundation/RunLoop.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

namespace {

QByteArray refreshKey(const VXDrawableObject* object)
{
    return QByteArrayLiteral("refreshIcon:") + QByteArray::number(quintptr(object), 16);
}

} // namespace

ObjectRowWatcher::ObjectRowWatcher(QObject* parent)
    : QObject(parent)
{
}

ObjectRowWatcher::~ObjectRowWatcher()
{
    clear();
}

QPixmap ObjectRowWatcher::drawIcon(const VXDrawableObject& object)
{
    return QPixmap::fromImage(object.icon());
}

QPixmap ObjectRowWatcher::iconForObject(VXDrawableObject* object)
{
    if (!object)
        return {};
    auto found = m_entries.find(object);
    // An entry whose object died may meet a new object at the same address.
    if (found != m_entries.end() && found->object == object)
        return found->icon;
    if (found != m_entries.end())
        m_entries.erase(found);
    if (m_entries.size() >= kCapacity)
        clear();

    Entry entry{object, drawIcon(*object), {}};
    const QPointer<VXDrawableObject> guarded(object);
    for (const char* key : {"name", "locked", "visible"})
        entry.tokens.append(object->observeKeyPath(QString::fromLatin1(key), {}, this,
                                                   [this, guarded](const platform::KeyValueChange&) {
                                                       if (guarded)
                                                           Q_EMIT objectRowChanged(guarded);
                                                   }));
    entry.tokens.append(object->observeKeyPath(QStringLiteral("visual_change"), {}, this,
                                               [this, object](const platform::KeyValueChange&) {
                                                   scheduleIconRefresh(object);
                                               }));
    const QPixmap icon = entry.icon;
    m_entries.insert(object, std::move(entry));
    return icon;
}

void ObjectRowWatcher::clear()
{
    for (const Entry& entry : std::as_const(m_entries)) {
        if (!entry.object)
            continue;
        for (platform::ObservationToken token : entry.tokens)
            entry.object->removeObservation(token);
    }
    m_entries.clear();
    platform::RunLoop::cancelPreviousPerformRequests(this);
}

void ObjectRowWatcher::scheduleIconRefresh(const VXDrawableObject* object)
{
    const QByteArray key = refreshKey(object);
    platform::RunLoop::cancelPreviousPerformRequests(this, key);
    platform::RunLoop::performAfterDelay(this, [this, object] { refreshIcon(object); }, kIconRefreshDelay, key);
}

void ObjectRowWatcher::refreshIcon(const VXDrawableObject* object)
{
    const auto found = m_entries.find(object);
    if (found == m_entries.end() || !found->object)
        return;
    found->icon = drawIcon(*found->object);
    Q_EMIT objectRowChanged(found->object);
}
