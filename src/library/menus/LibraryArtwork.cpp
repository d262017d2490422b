#include "library/menus/LibraryArtwork.h"

#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/groups/VXQLibraryGroup.h"
#include "library/store/VXQLibrary.h"
#include "widgets/paint/KitImage.h"

#include <QGuiApplication>

namespace {

QImage artwork(const QString& name)
{
    return imageNamed(name).imageOfSize(QSizeF(16, 16), qApp ? qApp->devicePixelRatio() : 1.0);
}

} // namespace

QImage libraryElementIcon(const VXQLibraryElement* element)
{
    if (const auto* library = qobject_cast<const VXQLibrary*>(element))
        return artwork(library->isFactoryLibrary() ? QStringLiteral("VL_Veltrum_Grey_Icon") : QStringLiteral("VL_Collection"));
    if (qobject_cast<const VXQLibrarySmartCategory*>(element))
        return artwork(QStringLiteral("VL_Smart_Category"));
    if (qobject_cast<const VXQLibraryCategory*>(element))
        return artwork(QStringLiteral("VL_Category"));
    return {};
}

QImage libraryGroupIcon(const QString& groupName)
{
    return artwork(groupName == kVXQLibraryFactoryGroupName ? QStringLiteral("VL_Veltrum_Grey_Icon")
                                                            : QStringLiteral("VL_Collection"));
}
