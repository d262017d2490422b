#include "library/browser/LibraryItemBrowserRules.h"

#include "platform/graphics/ColourUtilities.h"
#include "widgets/paint/KitImage.h"

#include <QPainter>

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace librarybrowser {

QSizeF iconSizeForSizing(int sizing)
{
    switch (sizing) {
    case 0:
        return {80, 80};
    case 2:
        return {128, 128};
    case 3:
        return {48, 48};
    default:
        return {96, 96};
    }
}

QString sortColumnKeyForMode(int mode)
{
    switch (mode & (kSortDescendingBit - 1)) {
    case 1:
        return QStringLiteral("kind");
    case 2:
        return QStringLiteral("locked");
    default:
        return QStringLiteral("name");
    }
}

bool sortModeIsDescending(int mode)
{
    return (mode & kSortDescendingBit) != 0;
}

int sortModeForColumnKey(const QString& key)
{
    if (key.isEmpty() || key == u"name")
        return 0;
    if (key == u"kind")
        return 1;
    if (key == u"locked")
        return 2;
    return -1;
}

JXIndexSet DisabledItems::filterSelection(const JXIndexSet& proposed) const
{
    if (!set)
        return proposed;
    if (set->empty())
        return {};
    JXIndexSet allowed;
    std::set_difference(proposed.begin(), proposed.end(), set->begin(), set->end(),
                        std::inserter(allowed, allowed.end()));
    return allowed;
}

int editingStateForLockedFlags(const QList<bool>& locked)
{
    if (locked.isEmpty())
        return 0;
    const bool allLocked = std::all_of(locked.begin(), locked.end(), [](bool flag) { return flag; });
    const bool noneLocked = std::none_of(locked.begin(), locked.end(), [](bool flag) { return flag; });
    if (noneLocked)
        return 1;
    return allLocked ? 0 : -1;
}

PrintGrid PrintGrid::forWidthAndCount(double printableWidth, qint64 count)
{
    PrintGrid grid;
    if (std::isfinite(printableWidth))
        grid.columns = std::max<qint64>(1, qint64(std::floor(printableWidth / kCellPitch)));
    const qint64 items = std::max<qint64>(0, count);
    grid.rows = (items + grid.columns - 1) / grid.columns;
    return grid;
}

QString deleteItemsMessage(const QStringList& itemNames, const QString& libraryName)
{
    const QString what = itemNames.size() == 1 ? QStringLiteral("\u201C%1\u201D").arg(itemNames.first())
                                               : QStringLiteral("%1 Items").arg(itemNames.size());
    return QStringLiteral("Really delete %1? The items will be permanently removed from the collection \u201C%2\u201D "
                          "and all of its categories.\n\nThis operation is not undoable but the items can be "
                          "recovered from the trash. This will not affect any documents that are using these "
                          "items. To remove the items from the category only, drag them out.")
        .arg(what, libraryName);
}

QColor backgroundColourForIndex(int index)
{
    switch (index) {
    case 1:
        return Qt::white;
    case 2:
        return platform::rgbGrey(0.95);
    case 3:
        return QColor::fromRgbF(0.667f, 0.667f, 0.667f);
    case 4:
        return Qt::black;
    default:
        return standardBackgroundColour();
    }
}

QColor standardBackgroundColour()
{
    return QColor::fromRgbF(0.95f, 0.95f, 0.97f);
}

QColor cellSelectionColour()
{
    return QColor::fromRgbF(0.89f, 0.957f, 0.416f);
}

QImage lockBadgeImage()
{
    static const QImage badge = imageNamed(QStringLiteral("VL_Not_Editable")).imageOfSize(QSizeF(16, 16), 2.0);
    return badge;
}

QImage placeholderPreviewImage()
{
    static const QImage placeholder = [] {
        QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0, 0, 0, 40), 2));
        painter.setBrush(QColor(0, 0, 0, 12));
        painter.drawRoundedRect(QRectF(image.rect()).adjusted(8, 8, -8, -8), 6, 6);
        return image;
    }();
    return placeholder;
}

} // namespace librarybrowser
