#pragma once

// A library's grouping of items: a chosen set of items and sub-categories, with flags that
// say whether users may edit, delete or rename it. Posts its changes under "kVXQLibraryCategory…".

#include "library/tree/VXQLibraryElementContainer.h"

class VXQLibraryItem;

inline const QString kVXQLibraryCategoryDidAddItem = QStringLiteral("kVXQLibraryCategoryDidAddItem");
inline const QString kVXQLibraryCategoryDidRemoveItem = QStringLiteral("kVXQLibraryCategoryDidRemoveItem");
inline const QString kVXQLibraryCategoryDidChangeName = QStringLiteral("kVXQLibraryCategoryDidChangeName");
inline const QString kVXQLibraryCategoryDidAddSubcategory = QStringLiteral("kVXQLibraryCategoryDidAddSubcategory");
inline const QString kVXQLibraryCategoryDidRemoveSubcategory =
    QStringLiteral("kVXQLibraryCategoryDidRemoveSubcategory");
inline const QString kVXQLibraryCategoryContentDidChange = QStringLiteral("kVXQLibraryCategoryContentDidChange");

class VXQLibraryCategory : public VXQLibraryElementContainer {
    Q_OBJECT
    Q_PROPERTY(bool readOnly READ isReadOnly WRITE setReadOnly STORED false)
    Q_PROPERTY(bool deletable READ isDeletable WRITE setDeletable STORED false)
    Q_PROPERTY(bool allowsNameChange READ allowsNameChange STORED false)

public:
    VXQLibraryCategory();
    ~VXQLibraryCategory() override;

    static std::shared_ptr<VXQLibraryCategory> categoryWithNameLibrary(const QString& name, VXQLibrary* library);

    // Reads "catname" for a missing "name"; missing flags read as false.
    VXQLibraryElementPtr initWithInfoLibrary(const QVariantMap& info, VXQLibrary* library) override;

    virtual void addItem(const std::shared_ptr<VXQLibraryItem>& item);
    void addItems(const QList<std::shared_ptr<VXQLibraryItem>>& items);
    virtual void removeItem(VXQLibraryItem* item);
    virtual void removeItems(const QList<std::shared_ptr<VXQLibraryItem>>& items);
    // Also from every sub-category, at any depth.
    void removeItemEverywhere(VXQLibraryItem* item);

    QList<VXQLibraryCategory*> categories() const;
    QStringList categoryNames() const;
    VXQLibraryCategory* categoryWithName(const QString& name) const;
    // Whether the item is one of this category's own members.
    virtual bool hasItem(const VXQLibraryItem* item) const;
    void categoriesWithItem(const VXQLibraryItem* item, QList<VXQLibraryCategory*>& into) const;
    void addCategory(const std::shared_ptr<VXQLibraryCategory>& category);
    void removeCategory(VXQLibraryCategory* category);
    VXQLibraryCategory* addCategoryWithName(const QString& name);
    void removeCategoryWithName(const QString& name);

    virtual bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isDeletable() const { return m_deletable; }
    void setDeletable(bool deletable) { m_deletable = deletable; }
    bool allowsNameChange() const;
    void setAllowsNameChange(bool allows) { m_renameable = allows; }
    void setName(const QString& name) override;
    bool allowsSubContainers() const override { return !isReadOnly(); }

    virtual void itemUpdateCouldAffectCategories(VXQLibraryItem* item);
    // Adds the sub-categories the info names and this category lacks.
    bool mergeIfNeededUsingInfoLibrary(const QVariantMap& info, VXQLibrary* library);

    QVariantMap elementInfo() const override;
    QImage icon() const override;
    QString toolTipString() const override;
    QString description() const override;

protected:
    // Takes the items and missing sub-categories an entry of the category file lists.
    void adoptEntries(const QVariantMap& info, VXQLibrary* library);
    void post(const QString& name, const QVariantMap& userInfo = {});
    bool libraryIsLoading() const;
    void tellLibrary();

private:
    bool m_readOnly = false;
    bool m_deletable = true;
    bool m_renameable = true;
};

using VXQLibraryCategoryPtr = std::shared_ptr<VXQLibraryCategory>;

// "Recently Used" and "Recently Added": at most maximumLength items (16; 0 means no limit),
// newest first, the oldest dropped.
class VXQFixedLengthLibraryCategory : public VXQLibraryCategory {
    Q_OBJECT

public:
    VXQFixedLengthLibraryCategory();

    qint64 maximumLength() const { return m_length; }
    void setMaximumLength(qint64 length);
    // Newest first.
    QList<std::shared_ptr<VXQLibraryItem>> orderedItems() const;
    void renewItem(const std::shared_ptr<VXQLibraryItem>& item);
    void addElement(const VXQLibraryElementPtr& element) override;
    void removeElement(VXQLibraryElement* element) override;
    void trimToLength();
    bool allowsSubContainers() const override { return false; }
    void itemUpdateCouldAffectCategories(VXQLibraryItem*) override {}
    // Items oldest first, so that reading the file back appends them in recency order.
    QVariantMap elementInfo() const override;

private:
    qint64 m_length = 16;
    QList<std::shared_ptr<VXQLibraryItem>> m_orderedItems; // oldest first
};
