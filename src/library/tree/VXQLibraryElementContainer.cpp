#include "library/tree/VXQLibraryElementContainer.h"

#include "platform/foundation/ZQLog.h"

#include <QScopeGuard>
#include <algorithm>

namespace {
thread_local int s_nesting = 0;
}

int VXQLibraryElementContainer::infoNesting()
{
    return s_nesting;
}

VXQLibraryElementContainer::VXQLibraryElementContainer() = default;

VXQLibraryElementContainer::~VXQLibraryElementContainer()
{
    for (const VXQLibraryElementPtr& element : std::as_const(m_elements))
        if (element->container() == this)
            element->setContainer(nullptr);
}

VXQLibraryElementPtr VXQLibraryElementContainer::initWithInfoLibrary(const QVariantMap& info, VXQLibrary* library)
{
    VXQLibraryElementPtr self = VXQLibraryElement::initWithInfoLibrary(info, library);
    if (s_nesting >= kMaximumNesting) {
        LogEvent(kFileEvent, QStringLiteral("library entries nested deeper than %1 were left out").arg(kMaximumNesting));
        return self;
    }
    ++s_nesting;
    const auto leave = qScopeGuard([] { --s_nesting; });
    for (const QVariant& entry : info.value(QStringLiteral("items")).toList()) {
        if (entry.typeId() != QMetaType::QVariantMap)
            continue;
        if (VXQLibraryElementPtr element = libraryElementWithInfoLibrary(entry.toMap(), library))
            addElement(element);
    }
    return self;
}

void VXQLibraryElementContainer::addElement(const VXQLibraryElementPtr& element)
{
    if (!element || element.get() == this)
        return;
    if (!m_index.contains(element.get())) {
        m_index.insert(element.get());
        m_elements.append(element);
        if (auto* container = dynamic_cast<VXQLibraryElementContainer*>(element.get()))
            m_containers.append(container);
    }
    element->setContainer(this);
    invalidateElementsCache();
    invalidateAllElementsCache();
    if (dynamic_cast<VXQLibraryElementContainer*>(element.get()))
        invalidateSubContainersCache();
    element->wasAddedToContainer(this);
}

void VXQLibraryElementContainer::removeElement(VXQLibraryElement* element)
{
    if (!element || !m_index.contains(element))
        return;
    const VXQLibraryElementPtr kept = std::static_pointer_cast<VXQLibraryElement>(element->shared_from_this());
    element->setContainer(nullptr);
    m_index.remove(element);
    m_elements.removeIf([element](const VXQLibraryElementPtr& e) { return e.get() == element; });
    m_containers.removeIf([element](const VXQLibraryElementContainer* c) { return c == element; });
    const auto drop = [element](std::optional<ElementList>& view) {
        if (view)
            view->removeIf([element](const VXQLibraryElementPtr& e) { return e.get() == element; });
    };
    drop(m_sortedElements);
    const bool isContainer = dynamic_cast<VXQLibraryElementContainer*>(element) != nullptr;
    // A removed container takes its own elements out of this one's all-elements list too.
    if (isContainer)
        m_sortedAllElements.reset();
    else
        drop(m_sortedAllElements);
    if (container())
        container()->invalidateAllElementsCache();
    if (isContainer)
        drop(m_sortedSubContainers);
    element->wasRemovedFromContainer(this);
}

VXQLibraryElementContainer::ElementList VXQLibraryElementContainer::allElements() const
{
    ElementList all;
    QSet<const VXQLibraryElement*> seen;
    const auto add = [&](const VXQLibraryElementPtr& element) {
        if (!seen.contains(element.get())) {
            seen.insert(element.get());
            all.append(element);
        }
    };
    for (const VXQLibraryElementPtr& element : elements()) {
        auto* sub = dynamic_cast<VXQLibraryElementContainer*>(element.get());
        if (sub && sub->metaObject()->inherits(metaObject()))
            for (const VXQLibraryElementPtr& inner : sub->allElements())
                add(inner);
        else
            add(element);
    }
    return all;
}

VXQLibraryElementContainer::ElementList VXQLibraryElementContainer::subContainers() const
{
    ElementList containers;
    for (const VXQLibraryElementPtr& element : elements())
        if (dynamic_cast<VXQLibraryElementContainer*>(element.get()))
            containers.append(element);
    return containers;
}

VXQLibraryElementContainer::ElementList
VXQLibraryElementContainer::sortedView(std::optional<ElementList>& cache, quint64& storedCookie,
                                       const QList<LibrarySortDescriptor>& descriptors, quint64 cookie,
                                       const std::function<ElementList()>& contents)
{
    if (cache && storedCookie == cookie)
        return *cache;
    storedCookie = cookie;
    if (!cache)
        cache = contents();
    std::stable_sort(cache->begin(), cache->end(), [&](const VXQLibraryElementPtr& a, const VXQLibraryElementPtr& b) {
        return compareWithSortDescriptors(*a, *b, descriptors) < 0;
    });
    return *cache;
}

VXQLibraryElementContainer::ElementList
VXQLibraryElementContainer::sortedElementsUsingSortDescriptorsCookie(const QList<LibrarySortDescriptor>& descriptors,
                                                                     quint64 cookie)
{
    return sortedView(m_sortedElements, m_elementsCookie, descriptors, cookie, [this] { return elements(); });
}

VXQLibraryElementContainer::ElementList
VXQLibraryElementContainer::sortedAllElementsUsingSortDescriptorsCookie(const QList<LibrarySortDescriptor>& descriptors,
                                                                        quint64 cookie)
{
    return sortedView(m_sortedAllElements, m_allElementsCookie, descriptors, cookie, [this] { return allElements(); });
}

VXQLibraryElementContainer::ElementList
VXQLibraryElementContainer::sortedSubContainersUsingSortDescriptorsCookie(const QList<LibrarySortDescriptor>& descriptors,
                                                                          quint64 cookie)
{
    return sortedView(m_sortedSubContainers, m_subContainersCookie, descriptors, cookie,
                      [this] { return subContainers(); });
}

void VXQLibraryElementContainer::invalidateAllElementsCache()
{
    m_sortedAllElements.reset();
    if (container())
        container()->invalidateAllElementsCache();
}

VXQLibraryElementContainer* VXQLibraryElementContainer::subContainerWithName(const QString& name) const
{
    for (const VXQLibraryElementPtr& element : elements()) {
        auto* sub = dynamic_cast<VXQLibraryElementContainer*>(element.get());
        if (sub && sub->cleanName() == name)
            return sub;
    }
    return nullptr;
}

QString VXQLibraryElementContainer::uniqueNameForSubContainer(const QString& name) const
{
    if (!subContainerWithName(name))
        return name;
    for (qint64 n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1-%2").arg(name).arg(n);
        if (!subContainerWithName(candidate))
            return candidate;
    }
}

bool VXQLibraryElementContainer::containsElement(const VXQLibraryElement* element) const
{
    if (hasElement(element))
        return true;
    return std::any_of(m_containers.begin(), m_containers.end(),
                       [element](const VXQLibraryElementContainer* sub) { return sub->containsElement(element); });
}

void VXQLibraryElementContainer::setLibrary(VXQLibrary* library)
{
    VXQLibraryElement::setLibrary(library);
    for (const VXQLibraryElementPtr& element : std::as_const(m_elements))
        element->setLibrary(library);
}

QVariantMap VXQLibraryElementContainer::elementInfo() const
{
    QVariantMap info = VXQLibraryElement::elementInfo();
    QVariantList items;
    for (const VXQLibraryElementPtr& element : elements())
        items.append(element->elementInfo());
    info.insert(QStringLiteral("items"), items);
    return info;
}
