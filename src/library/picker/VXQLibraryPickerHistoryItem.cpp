#include "library/picker/VXQLibraryPickerHistoryItem.h"

#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/menus/LibraryArtwork.h"
#include "library/picker/VXQLibraryPickerPaletteController.h"

namespace {

const QString kBullet = QStringLiteral("•");

} // namespace

VXQLibraryPickerHistoryItem::VXQLibraryPickerHistoryItem(const QString& categoryIdent, const QString& itemId)
    : m_categoryIdent(categoryIdent)
    , m_selectedItemId(itemId)
{
    const VXQLibrary* library = categoryLibrary();
    if (!library)
        return;
    QString shown = categoryIdent.mid(library->group().size() + 1);
    m_displayString = shown.replace(u'.', kBullet);
    if (const VXQLibraryItem* item = itemId.isEmpty() ? nullptr : library->itemWithUniqueID(itemId))
        m_displayString += kBullet + item->name();
}

VXQLibrary* VXQLibraryPickerHistoryItem::categoryLibrary() const
{
    return VXQLibraryCatalogue::libraryContainingIdentifier(m_categoryIdent);
}

QImage VXQLibraryPickerHistoryItem::menuIcon() const
{
    const VXQLibrary* library = categoryLibrary();
    return library ? libraryGroupIcon(library->group()) : QImage();
}

bool VXQLibraryPickerHistoryItem::isEqualToPickerHistoryItem(const VXQLibraryPickerHistoryItem& other) const
{
    return this == &other || (m_categoryIdent == other.m_categoryIdent && m_selectedItemId == other.m_selectedItemId);
}

bool VXQLibraryPickerHistoryItem::isValid() const
{
    const VXQLibrary* library = categoryLibrary();
    return library && library->containsUniqueID(m_selectedItemId) && library->itemWithIdentifier(m_categoryIdent);
}

void VXQLibraryPickerHistoryItem::restorePicker(VXQLibraryPickerPaletteController& palette) const
{
    VXQLibrary* library = VXQLibraryCatalogue::libraryContainingItemWithUniqueID(m_selectedItemId);
    if (!library)
        library = categoryLibrary();
    auto* category = library ? qobject_cast<VXQLibraryCategory*>(library->itemWithIdentifier(m_categoryIdent)) : nullptr;
    if (!category)
        return;
    palette.setCategory(category);
    if (!m_selectedItemId.isEmpty())
        palette.selectItem(palette.filteredItemWithID(m_selectedItemId));
}

QString VXQLibraryPickerHistoryItem::description() const
{
    return QStringLiteral("%1 (%2)").arg(ZQObject::description(), m_displayString);
}
