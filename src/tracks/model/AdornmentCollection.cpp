#include "tracks/model/AdornmentCollection.h"

#include "platform/foundation/ZQUndoManager.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <algorithm>

namespace {

const QString kAdornmentsKey = QStringLiteral("adornments");
const QString kSelectionKey = QStringLiteral("selectedAdornments");

} // namespace

AdornmentCollection::AdornmentCollection(ZQMultiStylePath& path) : m_path(path) {}

void AdornmentCollection::insertAtIndex(const VXQAdornmentPtr& adornment, int index)
{
    if (m_path.locked())
        return;
    if (ZQUndoManager* undo = m_path.undoManager()) {
        const std::shared_ptr<ZQObject> keeper = m_path.weak_from_this().lock();
        undo->registerUndoWithTargetHandler(&m_path, [this, keeper, adornment] { remove(adornment.get()); });
    }
    const QRectF oldBounds = m_path.bounds();
    m_path.announceChangeForKey(kAdornmentsKey, [&] {
        adornment->setContainer(&m_path);
        m_adornments.insert(std::clamp(index, 0, int(m_adornments.size())), adornment);
    });
    m_path.notifyGeometryChange(oldBounds);
}

void AdornmentCollection::remove(const VXQAdornment* adornment)
{
    const auto found = std::find_if(m_adornments.cbegin(), m_adornments.cend(),
                                    [adornment](const VXQAdornmentPtr& a) { return a.get() == adornment; });
    if (found == m_adornments.cend() || m_path.locked())
        return;
    const int index = int(found - m_adornments.cbegin());
    const VXQAdornmentPtr removed = *found;
    if (ZQUndoManager* undo = m_path.undoManager()) {
        const std::shared_ptr<ZQObject> keeper = m_path.weak_from_this().lock();
        undo->registerUndoWithTargetHandler(&m_path, [this, keeper, removed, index] { insertAtIndex(removed, index); });
    }
    if (m_selection.contains(removed)) {
        QList<VXQAdornmentPtr> selected = m_selection;
        selected.removeAll(removed);
        setSelection(selected);
    }
    const QRectF oldBounds = m_path.bounds();
    m_path.announceChangeForKey(kAdornmentsKey, [&] {
        m_adornments.removeAt(index);
        removed->setContainer(nullptr);
    });
    m_path.notifyGeometryChange(oldBounds);
}

void AdornmentCollection::setDecoded(QList<VXQAdornmentPtr> adornments)
{
    adornments.removeIf([](const VXQAdornmentPtr& adornment) { return !adornment->object(); });
    for (const VXQAdornmentPtr& adornment : std::as_const(adornments))
        adornment->setContainer(&m_path);
    m_adornments = std::move(adornments);
}

int AdornmentCollection::indexHitByPoint(QPointF point, const platform::BezierPath& path) const
{
    for (qsizetype i = m_adornments.size() - 1; i >= 0; --i)
        if (m_adornments[i]->hitTestOnPath(point, path))
            return int(i);
    return -1;
}

bool AdornmentCollection::anyWithinDistanceOfPoint(double reach, QPointF point, const platform::BezierPath& path) const
{
    return std::any_of(m_adornments.cbegin(), m_adornments.cend(), [&](const VXQAdornmentPtr& adornment) {
        return adornment->boundsOnPath(path).adjusted(-reach, -reach, reach, reach).contains(point);
    });
}

void AdornmentCollection::setSelection(const QList<VXQAdornmentPtr>& adornments)
{
    QList<VXQAdornmentPtr> selected;
    for (const VXQAdornmentPtr& adornment : adornments)
        if (m_adornments.contains(adornment) && !selected.contains(adornment))
            selected.append(adornment);
    if (selected == m_selection)
        return;
    m_path.announceChangeForKey(kSelectionKey, [&] { m_selection = selected; });
    m_path.notifyVisualChange();
}

void AdornmentCollection::selectPressed(const VXQAdornmentPtr& adornment, bool toggling)
{
    QList<VXQAdornmentPtr> selected = m_selection;
    if (!toggling)
        selected = {adornment};
    else if (!selected.removeAll(adornment))
        selected.append(adornment);
    setSelection(selected);
}
