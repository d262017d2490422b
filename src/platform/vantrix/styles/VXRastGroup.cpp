#include "platform/vantrix/styles/VXRastGroup.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"

#include <functional>

namespace {

const QString kRenderListKey = QStringLiteral("renderList");
const QString kRenderListArchiveKey = QStringLiteral("VXRastGroup_renderList");

VXRasterizerPtr rasterizerOf(const QVariant& value)
{
    QVariant object = value;
    if (!object.convert(QMetaType::fromType<ZQObjectPtr>()))
        return nullptr;
    return std::dynamic_pointer_cast<VXRasterizer>(object.value<ZQObjectPtr>());
}

} // namespace

VXRastGroup::VXRastGroup() = default;

VXRastGroup::~VXRastGroup()
{
    for (const VXRasterizerPtr& renderer : std::as_const(m_renderList))
        if (renderer->container() == this)
            renderer->setContainer(nullptr);
}

QString VXRastGroup::displayName() const
{
    return tr("Group");
}

VXRasterizerPtr VXRastGroup::objectInRenderListAtIndex(int index) const
{
    return index >= 0 && index < countOfRenderList() ? m_renderList[index] : nullptr;
}

int VXRastGroup::indexOfRenderer(const VXRasterizer* renderer) const
{
    for (int i = 0; i < countOfRenderList(); ++i)
        if (m_renderList[i].get() == renderer)
            return i;
    return -1;
}

void VXRastGroup::addRenderer(VXRasterizerPtr renderer)
{
    insertObjectInRenderListAtIndex(std::move(renderer), countOfRenderList());
}

void VXRastGroup::removeRenderer(const VXRasterizer* renderer)
{
    if (const int index = indexOfRenderer(renderer); index >= 0)
        removeObjectFromRenderListAtIndex(index);
}

void VXRastGroup::insertObjectInRenderListAtIndex(VXRasterizerPtr renderer, int index)
{
    ZQ_ASSERT(renderer, QStringLiteral("cannot add a null component"));
    ZQ_ASSERT(!renderer->isKindOfClass("VXRastGroup")
                  || !static_cast<const VXRastGroup*>(renderer.get())->containsRenderer(this),
              QStringLiteral("a group cannot be put inside itself"));
    if (!acceptsListChange())
        return;
    if (VXRastGroup* previous = renderer->container()) {
        const int previousIndex = previous->indexOfRenderer(renderer.get());
        previous->removeUndoably(previousIndex);
        if (previous == this && previousIndex < index)
            --index;
    }
    ZQ_ASSERT(index >= 0 && index <= countOfRenderList(),
              QStringLiteral("index %1 is outside the render list (%2)").arg(index).arg(countOfRenderList()));
    insertUndoably(std::move(renderer), index);
}

void VXRastGroup::removeObjectFromRenderListAtIndex(int index)
{
    ZQ_ASSERT(index >= 0 && index < countOfRenderList(),
              QStringLiteral("index %1 is outside the render list (%2)").arg(index).arg(countOfRenderList()));
    if (acceptsListChange())
        removeUndoably(index);
}

void VXRastGroup::moveRendererAtIndexToIndex(int from, int to)
{
    ZQ_ASSERT(from >= 0 && from < countOfRenderList() && to >= 0 && to < countOfRenderList(),
              QStringLiteral("cannot move component %1 to %2 of %3").arg(from).arg(to).arg(countOfRenderList()));
    if (from == to || !acceptsListChange())
        return;
    VXRasterizerPtr renderer = removeUndoably(from);
    insertUndoably(std::move(renderer), to);
    if (ZQUndoManager* undo = undoManager(); undo && !isRestoring())
        undo->setActionName(tr("Reorder Components"));
}

void VXRastGroup::setRenderList(const QList<VXRasterizerPtr>& list)
{
    if (!acceptsListChange())
        return;
    while (!m_renderList.isEmpty())
        removeUndoably(countOfRenderList() - 1);
    for (const VXRasterizerPtr& renderer : list)
        insertObjectInRenderListAtIndex(renderer, countOfRenderList());
    if (ZQUndoManager* undo = undoManager(); undo && !isRestoring())
        undo->setActionName(actionNameForKeyPathChangeKind(kRenderListKey));
}

QList<VXRasterizerPtr> VXRastGroup::renderersOfClass(const QMetaObject* objClass) const
{
    QList<VXRasterizerPtr> found;
    for (const VXRasterizerPtr& renderer : m_renderList) {
        if (renderer->metaObject()->inherits(objClass))
            found.append(renderer);
        if (const auto* group = qobject_cast<const VXRastGroup*>(renderer.get()))
            found += group->renderersOfClass(objClass);
    }
    return found;
}

bool VXRastGroup::containsRenderer(const VXRasterizer* renderer) const
{
    if (renderer == this)
        return true;
    return std::any_of(m_renderList.begin(), m_renderList.end(), [renderer](const VXRasterizerPtr& member) {
        const auto* group = qobject_cast<const VXRastGroup*>(member.get());
        return member.get() == renderer || (group && group->containsRenderer(renderer));
    });
}

VXRastGroup* VXRastGroup::root()
{
    VXRastGroup* top = this;
    while (top->container())
        top = top->container();
    return top;
}

void VXRastGroup::render(const VXRenderable& object) const
{
    for (const VXRasterizerPtr& renderer : m_renderList)
        if (renderer->enabled())
            renderer->render(object);
}

QSizeF VXRastGroup::extraSpaceNeeded() const
{
    QSizeF extra(0, 0);
    for (const VXRasterizerPtr& renderer : m_renderList)
        if (renderer->enabled())
            extra = extra.expandedTo(renderer->extraSpaceNeeded());
    return extra;
}

bool VXRastGroup::isValid() const
{
    return std::any_of(m_renderList.begin(), m_renderList.end(),
                       [](const VXRasterizerPtr& renderer) { return renderer->enabled() && renderer->isValid(); });
}

bool VXRastGroup::isEqualToRasterizer(const VXRasterizer& other) const
{
    return VXRasterizer::isEqualToRasterizer(other) && renderListIsEqual(static_cast<const VXRastGroup&>(other));
}

bool VXRastGroup::renderListIsEqual(const VXRastGroup& other) const
{
    const auto& list = other.m_renderList;
    return std::equal(m_renderList.begin(), m_renderList.end(), list.begin(), list.end(),
                      [](const VXRasterizerPtr& a, const VXRasterizerPtr& b) { return a->isEqualToRasterizer(*b); });
}

std::shared_ptr<ZQObject> VXRastGroup::copy() const
{
    auto made = std::static_pointer_cast<VXRastGroup>(VXRasterizer::copy());
    QList<VXRasterizerPtr> members;
    for (const VXRasterizerPtr& renderer : m_renderList)
        members.append(std::static_pointer_cast<VXRasterizer>(renderer->copy()));
    made->adoptRenderList(std::move(members));
    return made;
}

void VXRastGroup::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXRasterizer::encodeWithCoder(coder);
    coder.encodeObject(renderListValue(), kRenderListArchiveKey);
}

void VXRastGroup::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXRasterizer::initWithCoder(coder);
    m_decodingRenderList = true;
    const QVariant list = coder.decodeValue(kRenderListArchiveKey);
    m_decodingRenderList = false;
    if (list.metaType() != QMetaType::fromType<QVariantList>()) {
        if (list.isValid())
            ZQLogObjCMethod(QStringLiteral("the render list is not a list; the group is empty"));
        return;
    }
    QList<VXRasterizerPtr> members;
    for (const QVariant& element : list.toList()) {
        if (VXRasterizerPtr renderer = rasterizerOf(element))
            members.append(std::move(renderer));
        else
            ZQLogObjCMethod(QStringLiteral("skipped a render list entry that is not a component"));
    }
    adoptRenderList(std::move(members));
}

QVariantList VXRastGroup::renderListValue() const
{
    QVariantList list;
    for (const VXRasterizerPtr& renderer : m_renderList)
        list.append(QVariant::fromValue(ZQObjectPtr(renderer)));
    return list;
}

void VXRastGroup::setRenderListValue(const QVariantList& list)
{
    QList<VXRasterizerPtr> members;
    for (const QVariant& element : list) {
        VXRasterizerPtr renderer = rasterizerOf(element);
        ZQ_ASSERT(renderer, QStringLiteral("a render list holds components only"));
        members.append(std::move(renderer));
    }
    setRenderList(members);
}

bool VXRastGroup::acceptsListChange() const
{
    return acceptsChangeForKey("renderList");
}

void VXRastGroup::insertUndoably(VXRasterizerPtr renderer, int index)
{
    const QList<int> indexes{index};
    tellRastObservers(&VXRasterizerObserver::rasterizerWillChangeKeyPath, kRenderListKey);
    willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Insertion, indexes, kRenderListKey);
    renderer->setContainer(this);
    m_renderList.insert(index, renderer);
    didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Insertion, indexes, kRenderListKey);
    tellRastObservers(&VXRasterizerObserver::rasterizerDidChangeKeyPath, kRenderListKey);

    if (isRestoring())
        return;
    registerUndo([this, renderer] { removeRenderer(renderer.get()); }, tr("Add %1").arg(renderer->displayName()));
    componentDidChangeKeyPath(this, kRenderListKey);
}

VXRasterizerPtr VXRastGroup::removeUndoably(int index)
{
    const QList<int> indexes{index};
    tellRastObservers(&VXRasterizerObserver::rasterizerWillChangeKeyPath, kRenderListKey);
    willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Removal, indexes, kRenderListKey);
    VXRasterizerPtr renderer = m_renderList.takeAt(index);
    renderer->setContainer(nullptr);
    didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Removal, indexes, kRenderListKey);
    tellRastObservers(&VXRasterizerObserver::rasterizerDidChangeKeyPath, kRenderListKey);

    if (!isRestoring()) {
        registerUndo([this, renderer, index] { insertObjectInRenderListAtIndex(renderer, std::min(index, countOfRenderList())); },
                     tr("Delete %1").arg(renderer->displayName()));
        componentDidChangeKeyPath(this, kRenderListKey);
    }
    return renderer;
}

void VXRastGroup::adoptRenderList(QList<VXRasterizerPtr> list)
{
    // Decoded lists come from anyone: a component already placed elsewhere, or one that
    // would make a cycle, is left out so the components stay a tree. A group still reading
    // its own list is one of ours being decoded: an ancestor.
    m_renderList.clear();
    for (VXRasterizerPtr& renderer : list) {
        const auto* group = qobject_cast<const VXRastGroup*>(renderer.get());
        if (renderer->container() || (group && (group->m_decodingRenderList || group->containsRenderer(this)))) {
            ZQLogObjCMethod(QStringLiteral("skipped a component that already has a place"));
            continue;
        }
        renderer->setContainer(this);
        m_renderList.append(std::move(renderer));
    }
}
