#pragma once

// A category whose members are the library's items that match a predicate, at most
// countLimit of them (0: all). The members are a cache, computed again when an item changes.

#include "library/categories/VXQLibraryCategory.h"
#include "platform/foundation/Predicate.h"

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
    QString toolTipString() const override;

private:
    static std::shared_ptr<VXQLibrarySmartCategory> standardCategory(const QString& name, qint64 classCode);
    void emptyCache();

    platform::PredicatePtr m_predicate;
    qint64 m_countLimit = 0;
    bool m_editablePredicate = false;
    mutable std::optional<ElementList> m_matches;
};
