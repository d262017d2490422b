#include "library/menus/LibraryArtwork.h"

#include "library/groups/VXQLibraryGroup.h"
#include "widgets/paint/KitImage.h"

#include <QAction>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

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

QImage librarySquareIcon(const QString& artworkName)
{
    return artwork(artworkName);
}

QImage libraryGroupIcon(const QString& groupName)
{
    return artworkOfIconHeight(groupName == kVXQLibraryFactoryGroupName ? QStringLiteral("VL_Veltrum_Grey_Icon")
                                                                      : QStringLiteral("VLTB_Library"));
}

void setLibraryMenuIcon(QAction* item, const QImage& icon)
{
    item->setIcon(icon.isNull() ? QIcon() : QIcon(QPixmap::fromImage(icon)));
    item->setIconVisibleInMenu(true);
}
