#include "platform/foundation/NamedException.h"
#include "platform/graphics/FontUtilities.h"
#include "widgets/badge/CTBadge.h"

#include <QGuiApplication>
#include <QIcon>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

std::shared_ptr<CTBadge> badgeAtRatio(double ratio)
{
    auto badge = CTBadge::systemBadge();
    badge->setDevicePixelRatio(ratio);
    return badge;
}

int countPixels(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixel(x, y)) ? 1 : 0;
    return count;
}

} // namespace

TEST(CTBadge, LabelTextFontMaskAndGradientRules)
{
    EXPECT_EQ(CTBadge::stringForValue(0), "0");
    EXPECT_EQ(CTBadge::stringForValue(99999), "99999");
    EXPECT_EQ(CTBadge::stringForValue(100000), "∞");
    EXPECT_EQ(CTBadge::stringForValue(~quint64(0)), "∞");

    const auto badge = CTBadge::badgeWithColorLabelColor(Qt::blue, Qt::yellow);
    const platform::AttributedString small = badge->labelForStringSize(QStringLiteral("7"), 11);
    const QFont smallFont = small.attributeAtIndexEffectiveRange(platform::kFontAttributeName, 0).value<QFont>();
    EXPECT_EQ(smallFont, platform::boldSystemFontOfSize(11));
    EXPECT_EQ(small.attributeAtIndexEffectiveRange(platform::kForegroundColourAttributeName, 0).value<QColor>(),
              QColor(Qt::yellow));
    const QFont largeFont = badge->labelForStringSize(QStringLiteral("7"), 24)
                                .attributeAtIndexEffectiveRange(platform::kFontAttributeName, 0)
                                .value<QFont>();
    EXPECT_EQ(largeFont, *platform::fontWithNameSize(QStringLiteral("Helvetica-Bold"), 24));
    EXPECT_EQ(badge->labelForStringSize(QStringLiteral("abcde"), 11).string(), "abcde");
    EXPECT_EQ(badge->labelForStringSize(QStringLiteral("abcdef"), 11).string(), QStringLiteral("abc\u2026\u200B"));

    // Masks by label length, scaled with the size.
    const std::pair<qsizetype, QString> masks[] = {{0, "CTBadge_1"}, {2, "CTBadge_1"}, {3, "CTBadge_3"},
                                                   {4, "CTBadge_4"}, {5, "CTBadge_5"}, {9, "CTBadge_5"}};
    for (const auto& [length, name] : masks)
        EXPECT_EQ(CTBadge::badgeMaskOfSizeLength(23, length).artwork.name(), name) << length;
    const QSizeF natural = CTBadge::badgeMaskOfSizeLength(0, 3).size;
    EXPECT_EQ(natural.height(), 23.0);
    EXPECT_EQ(CTBadge::badgeMaskOfSizeLength(46, 3).size, natural * 2);
    EXPECT_EQ(CTBadge::badgeMaskOfSizeLength(-5, 3).size, natural);

    const QGradientStops stops = badge->badgeGradient().stops();
    ASSERT_EQ(stops.size(), 3);
    EXPECT_EQ(stops[1], QGradientStop(1.0 / 3.0, QColor(Qt::blue)));
    EXPECT_NEAR(stops[2].second.blueF(), 2.0 / 3.0, 1e-3);
}

TEST(CTBadge, SmallAndLargeGeometryAtRatiosOneAndTwo)
{
    const double mw1 = CTBadge::badgeMaskOfSizeLength(23, 1).size.width();
    const double mw4 = CTBadge::badgeMaskOfSizeLength(46, 4).size.width();
    for (double ratio : {1.0, 2.0}) {
        const auto badge = badgeAtRatio(ratio);
        // Small: a = b = 1, mw + 2 wide and 25 high; large: a = 1, b = 2, mw + 4 wide, 49 high.
        const QImage small = badge->smallBadgeForValue(7);
        EXPECT_EQ(small.deviceIndependentSize(), QSizeF(mw1 + 2, 25));
        EXPECT_EQ(small.size(), QSize(int((mw1 + 2) * ratio), int(25 * ratio)));
        EXPECT_EQ(small.devicePixelRatio(), ratio);
        const QImage large = badge->largeBadgeForString(QStringLiteral("1234"));
        EXPECT_EQ(large.deviceIndependentSize(), QSizeF(mw4 + 4, 49));
        EXPECT_EQ(large.size(), QSize(int((mw4 + 4) * ratio), int(49 * ratio)));
    }
    // Sizes in between take their own margins: a = floor(k), b = ceil(k) for k = 12 / 23.
    const QImage between = badgeAtRatio(1)->badgeOfSizeForValue(12, 7);
    EXPECT_EQ(between.height(), 12 + 2 - 0 + 1);
}

TEST(CTBadge, PaintsBodyLabelAndShadowWhereTheyBelong)
{
    const QImage image = badgeAtRatio(2)->smallBadgeForValue(7);
    const auto scaled = [](int x, int y, int w, int h) { return QRect(2 * x, 2 * y, 2 * w, 2 * h); };
    // Body: red lozenge rows 0..22 (the shadow lies in rows 23 and 24).
    const QRgb left = image.pixel(2 * 4, 2 * 11);
    EXPECT_EQ(qAlpha(left), 255);
    EXPECT_GT(qRed(left), 150);
    EXPECT_LT(qGreen(left), 60);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "round corners";
    // The gradient darkens towards the lower right.
    EXPECT_GT(qRed(image.pixel(2 * 8, 2 * 4)), qRed(image.pixel(2 * 17, 2 * 18)));
    // The white label sits in the middle of the body.
    EXPECT_GT(countPixels(image, scaled(8, 5, 9, 13), [](QRgb p) { return qRed(p) > 220 && qGreen(p) > 220; }), 10);
    // A dark, soft shadow below the body.
    const QRgb shadow = image.pixel(2 * 12, 2 * 23 + 1);
    EXPECT_GT(qAlpha(shadow), 40);
    EXPECT_LT(qAlpha(shadow), 255 * 0.6 + 1);
    EXPECT_LT(qRed(shadow), 40);
}

TEST(CTBadge, BadSizesRaiseOrGiveEmptyImages)
{
    const auto badge = CTBadge::systemBadge();
    for (double size : {0.0, -1.0, std::nan("")}) {
        try {
            badge->badgeOfSizeForValue(size, 7);
            ADD_FAILURE() << "size " << size << " raised nothing";
        } catch (const platform::NamedException& exception) {
            EXPECT_EQ(exception.name(), "NSInvalidArgumentException");
            EXPECT_TRUE(exception.reason().startsWith(QLatin1String("CTBadge badgeOfSizeForString: size (")))
                << exception.reason().toStdString();
            EXPECT_TRUE(exception.reason().endsWith(QLatin1String(") must be positive")));
        }
    }
    for (double size : {1e7, 1e300, double(INFINITY)})
        EXPECT_TRUE(badge->badgeOfSizeForString(size, QStringLiteral("7")).isNull()) << size;
    EXPECT_FALSE(badge->badgeOfSizeForString(0.5, QStringLiteral("7")).isNull());
}

TEST(CTBadge, OverlayAndApplicationIcon)
{
    const auto badge = badgeAtRatio(2);
    const QImage overlay = badge->badgeOverlayImageForValueInsetXY(42, 4, 6);
    ASSERT_EQ(overlay.size(), QSize(256, 256));
    const QSizeF large = badge->largeBadgeForValue(42).deviceIndependentSize();
    // The badge fills the upper right corner, inset; the rest stays clear.
    const QPointF centre(128 - 4 - large.width() / 2, 6 + 23);
    EXPECT_EQ(qAlpha(overlay.pixel((centre * 2).toPoint())), 255);
    EXPECT_EQ(qAlpha(overlay.pixel(255, 2 * 6 - 1)), 0);
    EXPECT_EQ(qAlpha(overlay.pixel(2 * 128 - 2 * 4 + 1, 60)), 0);
    EXPECT_EQ(qAlpha(overlay.pixel(20, 200)), 0);

    QGuiApplication::setWindowIcon(QIcon());
    badge->badgeApplicationDockIconWithValueInsetXY(3, 0, 0);
    const QIcon icon = QGuiApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage shown = icon.pixmap(QSize(128, 128)).toImage().scaled(128, 128);
    // The application icon lies behind the badge, filling the image: something is drawn
    // away from the corner.
    EXPECT_GT(countPixels(shown, QRect(16, 64, 48, 48), [](QRgb p) { return qAlpha(p) > 0; }), 200);
}
