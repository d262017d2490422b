#pragma once

// One place in the picker palette's history: a category (by identifier) and the item chosen
// in it (by unique key). Entries are looked up afresh whenever they are used, so one whose
// library, category or item has gone is simply no longer valid.

#include "platform/foundation/Predicate.h"
#include "platform/foundation/ZQObject.h"

#include <QImage>

class VXQLibrary;
class VXQLibraryPickerHistoryItem;
class VXQLibraryPickerPaletteController;
using VXQLibraryPickerHistoryItemPtr = std::shared_ptr<VXQLibraryPickerHistoryItem>;

class VXQLibraryPickerHistoryItem : public ZQObject {
    Q_OBJECT

public:
    // The display string is the category's identifier without its group, "." shown as "•",
    // then "•" and the item's name ("Base•Roads•Main Road"); empty when no library holds the
    // category.
    VXQLibraryPickerHistoryItem(const QString& categoryIdent, const QString& itemId);
    static VXQLibraryPickerHistoryItemPtr itemWithCategoryIdentItemId(const QString& categoryIdent, const QString& itemId)
    {
        return std::make_shared<VXQLibraryPickerHistoryItem>(categoryIdent, itemId);
    }

    QString category() const { return m_categoryIdent; }
    QString item() const { return m_selectedItemId; }
    // Kept for whoever recorded them; the history does not read them.
    platform::PredicatePtr predicate() const { return m_filterPredicate; }
    void setPredicate(const platform::PredicatePtr& predicate) { m_filterPredicate = predicate; }
    QString toolName() const { return m_toolName; }
    void setToolName(const QString& name) { m_toolName = name; }
    QString displayString() const { return m_displayString; }
    void setDisplayString(const QString& text) { m_displayString = text; }

    // The icon of the group of the category's library at 16 points; null without a library.
    QImage menuIcon() const;
    // The same object, or the same category and item.
    bool isEqualToPickerHistoryItem(const VXQLibraryPickerHistoryItem& other) const;
    // A library holds the category identifier, resolves it and holds the item.
    bool isValid() const;
    // Shows the entry's category in the palette and chooses its item there; nothing when
    // neither the item nor the category can be found.
    void restorePicker(VXQLibraryPickerPaletteController& palette) const;

    QString description() const override;

private:
    VXQLibrary* categoryLibrary() const;

    QString m_categoryIdent;
    QString m_selectedItemId;
    platform::PredicatePtr m_filterPredicate;
    QString m_toolName;
    QString m_displayString;
};
