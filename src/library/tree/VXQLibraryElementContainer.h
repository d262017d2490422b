#pragma once

// A library-tree node that holds elements (libraries hold categories, categories hold items
// and categories, groups hold libraries). It owns them, keeps them in the order they came,
// and keeps three sorted views (elements, all elements, sub-containers) that are sorted again
// only when the caller's cookie changes or membership or names have dropped them.

#include "library/tree/LibrarySortDescriptor.h"
#include "library/tree/VXQLibraryElement.h"

#include <QSet>
#include <functional>
#include <QList>
#include <optional>

class VXQLibraryElementContainer : public VXQLibraryElement {
    Q_OBJECT
    Q_PROPERTY(qint64 count READ count STORED false)
    Q_PROPERTY(qint64 allElementsCount READ allElementsCount STORED false)

public:
    using ElementList = QList<VXQLibraryElementPtr>;

    // Category files nest containers; deeper entries than this are left out.
    static constexpr int kMaximumNesting = 64;

    // How deep in nested "items" the info being read now lies (0: a top-level entry).
    static int infoNesting();

    VXQLibraryElementContainer();
    ~VXQLibraryElementContainer() override;

    // Builds the contents from the info's "items" (entries that make no element are skipped).
    VXQLibraryElementPtr initWithInfoLibrary(const QVariantMap& info, VXQLibrary* library) override;

    virtual void addElement(const VXQLibraryElementPtr& element);
    virtual void removeElement(VXQLibraryElement* element);
    bool hasElement(const VXQLibraryElement* element) const { return m_index.contains(element); }

    virtual ElementList elements() const { return m_elements; }
    qint64 count() const { return elements().size(); }
    // Items reached through elements of this container's own class (a category's items and
    // those of its sub-categories; a group's libraries).
    virtual ElementList allElements() const;
    qint64 allElementsCount() const { return allElements().size(); }
    ElementList subContainers() const;
    qint64 countOfSubContainers() const { return subContainers().size(); }

    ElementList sortedElementsUsingSortDescriptorsCookie(const QList<LibrarySortDescriptor>& descriptors,
                                                         quint64 cookie);
    ElementList sortedAllElementsUsingSortDescriptorsCookie(const QList<LibrarySortDescriptor>& descriptors,
                                                            quint64 cookie);
    ElementList sortedSubContainersUsingSortDescriptorsCookie(const QList<LibrarySortDescriptor>& descriptors,
                                                              quint64 cookie);

    void invalidateElementsCache() { m_sortedElements.reset(); }
    void invalidateSubContainersCache() { m_sortedSubContainers.reset(); }
    // Climbs to the root: every container above lists these elements too.
    void invalidateAllElementsCache();

    VXQLibraryElementContainer* subContainerWithName(const QString& name) const;
    // The name when no sub-container has it, else the first free "name-1", "name-2", ...
    QString uniqueNameForSubContainer(const QString& name) const;
    virtual bool allowsSubContainers() const { return true; }
    // Depth-first through sub-containers.
    bool containsElement(const VXQLibraryElement* element) const;

    void setLibrary(VXQLibrary* library) override;
    QVariantMap elementInfo() const override;

protected:
    // For subclasses that keep their own order of the same elements.
    const ElementList& storedElements() const { return m_elements; }
    // The stored elements that are containers, in the same order: a category of thousands of
    // items finds its few sub-categories without looking at every item.
    const QList<VXQLibraryElementContainer*>& storedContainers() const { return m_containers; }

private:
    static ElementList sortedView(std::optional<ElementList>& cache, quint64& storedCookie,
                                  const QList<LibrarySortDescriptor>& descriptors, quint64 cookie,
                                  const std::function<ElementList()>& contents);

    ElementList m_elements;
    QSet<const VXQLibraryElement*> m_index;
    QList<VXQLibraryElementContainer*> m_containers;
    std::optional<ElementList> m_sortedElements;
    std::optional<ElementList> m_sortedAllElements;
    std::optional<ElementList> m_sortedSubContainers;
    quint64 m_elementsCookie = 0;
    quint64 m_allElementsCookie = 0;
    quint64 m_subContainersCookie = 0;
};
