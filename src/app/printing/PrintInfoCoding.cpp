#include "app/printing/PrintInfoCoding.h"

#include <QRectF>
#include <QSizeF>
#include <cmath>

namespace {

const QString kPaperWidthKey = QStringLiteral("paper_width");
const QString kPaperHeightKey = QStringLiteral("paper_height");
const QString kLandscapeKey = QStringLiteral("landscape");
const QString kMarginLeftKey = QStringLiteral("margin_left");
const QString kMarginTopKey = QStringLiteral("margin_top");
const QString kMarginRightKey = QStringLiteral("margin_right");
const QString kMarginBottomKey = QStringLiteral("margin_bottom");

std::optional<double> numberInRange(const QVariantMap& map, const QString& key, double minimum, double maximum)
{
    const QVariant value = map.value(key);
    const int type = value.metaType().id();
    if (type != QMetaType::Double && type != QMetaType::LongLong && type != QMetaType::Int)
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < minimum || number > maximum)
        return std::nullopt;
    return number;
}

} // namespace

QVariantMap PrintInfoCoding::propertyList(const QPageLayout& layout)
{
    // The paper is stored upright; the orientation says how it is turned.
    const QSizeF paper = layout.pageSize().size(QPageSize::Point);
    const QMarginsF margins = layout.margins(QPageLayout::Point);
    return {
        {kPaperWidthKey, paper.width()},
        {kPaperHeightKey, paper.height()},
        {kLandscapeKey, layout.orientation() == QPageLayout::Landscape},
        {kMarginLeftKey, margins.left()},
        {kMarginTopKey, margins.top()},
        {kMarginRightKey, margins.right()},
        {kMarginBottomKey, margins.bottom()},
    };
}

std::optional<QPageLayout> PrintInfoCoding::pageLayout(const QVariant& propertyList)
{
    if (propertyList.metaType().id() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap map = propertyList.toMap();
    const auto width = numberInRange(map, kPaperWidthKey, 1.0, kMaximumPaperSide);
    const auto height = numberInRange(map, kPaperHeightKey, 1.0, kMaximumPaperSide);
    if (!width || !height)
        return std::nullopt;
    const QVariant landscape = map.value(kLandscapeKey);
    if (landscape.metaType().id() != QMetaType::Bool)
        return std::nullopt;
    const QPageLayout::Orientation orientation = landscape.toBool() ? QPageLayout::Landscape : QPageLayout::Portrait;

    std::optional<double> margins[4];
    const QString marginKeys[4] = {kMarginLeftKey, kMarginTopKey, kMarginRightKey, kMarginBottomKey};
    for (int i = 0; i < 4; ++i) {
        margins[i] = numberInRange(map, marginKeys[i], 0.0, kMaximumPaperSide);
        if (!margins[i])
            return std::nullopt;
    }
    const QPageSize pageSize(QSizeF(*width, *height), QPageSize::Point, QString(), QPageSize::FuzzyMatch);
    const QMarginsF wanted(*margins[0], *margins[1], *margins[2], *margins[3]);
    QPageLayout layout(pageSize, orientation, QMarginsF(), QPageLayout::Point);
    const QRectF paper = layout.fullRect(QPageLayout::Point);
    // Margins that leave no paper are damage, not a layout.
    if (wanted.left() + wanted.right() >= paper.width() || wanted.top() + wanted.bottom() >= paper.height())
        return std::nullopt;
    layout.setMargins(wanted);
    return layout;
}
