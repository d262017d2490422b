#pragma once

// A category whose members are the library's items that match a predicate, at most
// countLimit of them (0: all). The members are a cache; when one item changes only it is
// evaluated again (all of them under a count limit, which the order decides).

#include "library/categories/VXQLibraryCategory.h"
#include "platform/foundation/Predicate.h"

#include <QSet>

class VXQLibrarySmartCategory : public VXQLibraryCategory {
    Q_OBJECT
    Q_PROPERTY(qint64 countLimit READ countLimit WRITE setCountLimit STORED false)
    Q_PROPERTY(bool predicateEditable READ predicateEditable WRITE setPredicateEditable STORED false)

public:
    VXQLibrarySmartCategory();

    // "All Styles" (classCode == 1) and "All Clip Art" (classCode == 2), not editable.
    static std::shared_ptr<VXQLibrarySmartCategory> allStylesSmartCategory();
    static std::shared_ptr<VXQLibrarySmartCategory> allSymbolsSmartCategory();

    // Starts with name CONTAINS "Quorvane" (in an OR), editable.
    void initWithNameLibrary(const QString& name, VXQLibrary* library) override;
    VXQLibraryElementPtr initWithInfoLibrary(const QVariantMap& info, VXQLibrary* library) override;

    platform::PredicatePtr predicate() const { return m_predicate; }
    void setPredicate(const platform::PredicatePtr& predicate);
    qint64 countLimit() const { return m_countLimit; }
    void setCountLimit(qint64 limit);
    bool predicateEditable() const { return m_editablePredicate; }
    void setPredicateEditable(bool editable) { m_editablePredicate = editable; }

    ElementList filteredContent() const;
    ElementList elements() const override { return allElements(); }
    ElementList allElements() const override;
    void itemUpdateCouldAffectCategories(VXQLibraryItem* item) override;
    bool hasItem(const VXQLibraryItem* item) const override;

    void addItem(const std::shared_ptr<VXQLibraryItem>&) override {}
    void removeItem(VXQLibraryItem* item) override;
    void removeItems(const QList<std::shared_ptr<VXQLibraryItem>>& items) override;
    bool isReadOnly() const override { return true; }
    bool allowsSubContainers() const override { return false; }
    void wasAddedToContainer(VXQLibraryElementContainer* container) override;

    QVariantMap elementInfo() const override;
    QImage icon() const override;
    QString toolTipString() const override;

private:
    static std::shared_ptr<VXQLibrarySmartCategory> standardCategory(const QString& name, qint64 classCode);
    void emptyCache();
    void setMatches(ElementList matches) const;
    // Evaluates the one item again; false when the cache cannot follow it alone.
    bool updateMatchesForItem(VXQLibraryItem* item);

    platform::PredicatePtr m_predicate;
    qint64 m_countLimit = 0;
    bool m_editablePredicate = false;
    mutable std::optional<ElementList> m_matches;
    mutable QSet<const VXQLibraryElement*> m_matchSet; // the same, to look items up
    mutable quint64 m_matchesGeneration = 0;           // the library's membership they were made for
};
