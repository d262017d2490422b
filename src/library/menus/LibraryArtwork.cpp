#include "library/menus/LibraryArtwork.h"

#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/groups/VXQLibraryGroup.h"
#include "library/store/VXQLibrary.h"
#include "widgets/paint/KitImage.h"

#include <QGuiApplication>

namespace {

constexpr double kIconHeight = 16;

qreal pixelRatio()
{
    return qApp ? qApp->devicePixelRatio() : 1.0;
}

QImage artwork(const QString& name)
{
    return imageNamed(name).imageOfSize(QSizeF(kIconHeight, kIconHeight), pixelRatio());
}

// 16 points high, as wide as the artwork's proportions make it.
QImage artworkOfIconHeight(const QString& name)
{
    const KitImage image = imageNamed(name);
    const QSizeF natural = image.size();
    if (natural.isEmpty())
        return {};
    return image.imageOfSize(QSizeF(kIconHeight * natural.width() / natural.height(), kIconHeight), pixelRatio());
}

} // namespace

QImage libraryElementIcon(const VXQLibraryElement* element)
{
    if (qobject_cast<const VXQLibrary*>(element))
        return artwork(QStringLiteral("VL_Collection"));
    if (qobject_cast<const VXQLibrarySmartCategory*>(element))
        return artwork(QStringLiteral("VL_Smart_Category"));
    if (qobject_cast<const VXQLibraryCategory*>(element))
        return artwork(QStringLiteral("VL_Category"));
    return {};
}

QImage libraryGroupIcon(const QString& groupName)
{
    return artworkOfIconHeight(groupName == kVXQLibraryFactoryGroupName ? QStringLiteral("VL_Veltrum_Grey_Icon")
                                                                      : QStringLiteral("VLTB_Library"));
}
