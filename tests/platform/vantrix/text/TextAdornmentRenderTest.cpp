#include "platform/vantrix/text/TextTestSupport.h"

#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/text/VXTextAdornment.h"

#include <QtMath>
#include <cmath>

using styletest::PathRenderable;
using styletest::render;
using texttest::ink;
using texttest::isDark;
using texttest::isNotWhite;
using texttest::isReddish;

namespace {

const QSize kImage(200, 100);
const QRectF kBox(10, 10, 180, 80);

VXTextAdornmentPtr adornment(const QString& text, double size = 16)
{
    auto text_ = VXTextAdornment::textAdornmentWithText(text);
    text_->setFont(texttest::testFont(size));
    return text_;
}

QRect drawnInk(const VXTextAdornment& text, const VXRenderable& object, QSize size = kImage)
{
    return ink(render(text, object, size), isDark).bounds;
}

} // namespace

TEST(TextAdornmentRender, AlignmentPlacesInkInTheBox)
{
    const auto text = adornment(QStringLiteral("Wim"));
    const PathRenderable box = PathRenderable::rectangle(kBox);
    struct Case {
        int alignment;
        double minLeft, maxRight; // bounds the ink must keep to
    };
    for (const Case& c : {Case{0, 10, 80}, Case{1, 120, 190}, Case{2, 60, 140}}) {
        text->setAlignment(c.alignment);
        const QRect inked = drawnInk(*text, box);
        ASSERT_FALSE(inked.isEmpty()) << c.alignment;
        EXPECT_GE(inked.left(), c.minLeft) << c.alignment;
        EXPECT_LE(inked.right(), c.maxRight) << c.alignment;
    }
    EXPECT_NEAR(drawnInk(*text, box).center().x(), 100, 3);

    // Top, middle and bottom, and proportional placement between the two ends.
    text->setString(QStringLiteral("Hx"));
    QList<double> centres;
    for (int alignment : {VXTextAdornment::kAlignTop, VXTextAdornment::kAlignMiddle, VXTextAdornment::kAlignBottom}) {
        text->setVerticalAlignment(alignment);
        centres << drawnInk(*text, box).center().y();
    }
    EXPECT_LT(centres[0], 30);
    EXPECT_NEAR(centres[1], 50, 4);
    EXPECT_GT(centres[2], 70);
    text->setBaselineProportion(0.25);
    EXPECT_EQ(text->verticalAlignment(), VXTextAdornment::kAlignProportionally);
    const double quarter = drawnInk(*text, box).center().y();
    EXPECT_GT(quarter, centres[0]);
    EXPECT_LT(quarter, centres[1]);

    // Justified text ends its full lines at both edges.
    text->setVerticalAlignment(VXTextAdornment::kAlignTop);
    text->setString(QStringLiteral("Wide words wrap into lines that are justified to both edges of the box"));
    text->setAlignment(3);
    const QRect justified = drawnInk(*text, box);
    EXPECT_LE(justified.left(), 13);
    EXPECT_GE(justified.right(), 185);
}

TEST(TextAdornmentRender, UnwrappedTextIsAlignedAsABlockAndClippedToTheBoxWhenAsked)
{
    const auto text = adornment(QStringLiteral("A line far wider than the box it is in"));
    text->setWrapsLines(false);
    text->setAlignment(1);
    const QRect inked = drawnInk(*text, PathRenderable::rectangle(QRectF(100, 10, 80, 80)));
    // One line, ending at the box's right edge, reaching far left of the box.
    EXPECT_LT(inked.height(), 24);
    EXPECT_NEAR(inked.right(), 180, 3);
    EXPECT_LT(inked.left(), 60);

    const auto centred = adornment(QStringLiteral("Overflowing text"), 30);
    centred->setWrapsLines(false);
    centred->setAlignment(2);
    const PathRenderable box = PathRenderable::rectangle(QRectF(60, 30, 80, 40));
    const QRect overflowing = drawnInk(*centred, box);
    EXPECT_LT(overflowing.left(), 55);
    EXPECT_GT(overflowing.right(), 145);
    centred->setClipping(VXTextAdornment::kClipToBox);
    const QRect clipped = drawnInk(*centred, box);
    EXPECT_GE(clipped.left(), 60);
    EXPECT_LE(clipped.right(), 140);
}

TEST(TextAdornmentRender, BoxTurnsWithTheObjectWhenAsked)
{
    const auto text = adornment(QStringLiteral("IIIIIIIIII"), 12);
    text->setAlignment(2);
    text->setVerticalAlignment(VXTextAdornment::kAlignMiddle);
    const PathRenderable upright = PathRenderable::rectangle(QRectF(20, 40, 160, 20), M_PI / 2);
    const QRect turned = drawnInk(*text, upright, QSize(200, 200));
    EXPECT_GT(turned.height(), 2 * turned.width()); // the line runs down the page
    text->setAppliesObjectAngle(false);
    const QRect level = drawnInk(*text, upright, QSize(200, 200));
    EXPECT_GT(level.width(), 2 * level.height());
    // The adornment's own angle adds to nothing here.
    text->setAngleInDegrees(90);
    EXPECT_NEAR(text->angle(), M_PI / 2, 1e-12);
    EXPECT_GT(drawnInk(*text, upright, QSize(200, 200)).height(), 2 * level.height());
}

TEST(TextAdornmentRender, TextAlongAPathFollowsItFromTheEndItIsAlignedTo)
{
    const QPointF from(20, 180), to(180, 20);
    const auto diagonal = adornment(QStringLiteral("Along the diagonal"), 12);
    diagonal->setLayoutMode(VXTextAdornment::kLayoutAlongPath);
    diagonal->setAlignment(2);
    diagonal->setVerticalAlignment(VXTextAdornment::kAlignMiddle);
    const QImage image = render(*diagonal, PathRenderable::line(from, to), QSize(200, 200));
    const texttest::InkAlongLine along = texttest::inkAlongLine(image, from, to);
    EXPECT_GT(along.pixels, 100);
    EXPECT_LT(along.farthest, 12);
    // Centred on the path: ink on both halves, none near the ends.
    const QRect inked = ink(image, isDark).bounds;
    EXPECT_NEAR(inked.center().x(), 100, 8);
    EXPECT_NEAR(inked.center().y(), 100, 8);
    EXPECT_GT(inked.left(), 25);

    const auto text = adornment(QStringLiteral("Hxxx"), 14);
    text->setLayoutMode(VXTextAdornment::kLayoutAlongPath);
    const PathRenderable line = PathRenderable::line(QPointF(20, 50), QPointF(180, 50));
    const QRect forwards = drawnInk(*text, line);
    EXPECT_LT(forwards.left(), 30);
    EXPECT_LT(forwards.right(), 100);
    EXPECT_GE(forwards.top(), 49); // hanging below the path
    // Reversed, the text runs from the path's far end, turned round: hanging "below" is above.
    text->setLayoutMode(VXTextAdornment::kLayoutAlongReversedPath);
    const QRect backwards = drawnInk(*text, line);
    EXPECT_GT(backwards.right(), 170);
    EXPECT_GT(backwards.left(), 100);
    EXPECT_LE(backwards.bottom(), 51);

    // Vertical alignment moves the text across the path.
    text->setLayoutMode(VXTextAdornment::kLayoutAlongPath);
    text->setVerticalAlignment(VXTextAdornment::kAlignBottom);
    EXPECT_LE(drawnInk(*text, line).bottom(), 50); // stands on it
    text->setVerticalAlignment(VXTextAdornment::kAlignCentredOnPath);
    const QRect centred = drawnInk(*text, line);
    EXPECT_NEAR((centred.top() + centred.bottom()) / 2.0, 50, 2);
    // Proportion 1 lifts the middle by the full offset.
    text->setBaselineProportion(1);
    EXPECT_NEAR(text->baselineOffset(), VXTextAdornment::defaultMaximumVerticalOffset(), 1e-9);
    text->setBaselineProportion(0.5);
    const double middle = drawnInk(*text, line).center().y();
    text->setBaselineProportion(1);
    EXPECT_NEAR(middle - drawnInk(*text, line).center().y(), VXTextAdornment::defaultMaximumVerticalOffset(), 1.5);
}

TEST(TextAdornmentRender, KnockoutHaloSurroundsTheGlyphsAndOutlinesHollowThem)
{
    const auto text = adornment(QStringLiteral("Halo"), 24);
    const PathRenderable box = PathRenderable::rectangle(kBox);
    EXPECT_EQ(ink(render(*text, box, kImage), isReddish).count, 0);
    text->setTextKnockoutDistance(3);
    text->setTextKnockoutColour(Qt::red);
    const QImage image = render(*text, box, kImage);
    const QRect glyphs = ink(image, isDark).bounds;
    const QRect halo = ink(image, isReddish).bounds;
    EXPECT_GT(ink(image, isReddish).count, 200);
    // The halo reaches a little past the glyphs on every side, no further.
    EXPECT_TRUE(halo.contains(glyphs.adjusted(-1, -1, 1, 1)));
    EXPECT_TRUE(glyphs.adjusted(-5, -5, 5, 5).contains(halo));
    EXPECT_GT(ink(image, isDark).count, 100); // the glyphs are drawn over their halo
    EXPECT_EQ(text->extraSpaceNeeded(), QSizeF(3, 3));

    const auto o = adornment(QStringLiteral("O"), 60);
    o->setColour(Qt::red);
    const int filled = ink(render(*o, box), isReddish).count;
    o->setOutlineWidth(4); // outline alone
    EXPECT_LT(ink(render(*o, box), isReddish).count, filled);
    o->setOutlineWidth(-4); // filled and outlined
    EXPECT_GT(ink(render(*o, box), isReddish).count, filled);
    o->setOutlineColour(Qt::black);
    EXPECT_GT(ink(render(*o, box), isDark).count, 100);
}

TEST(TextAdornmentRender, NothingToDrawDrawsNothing)
{
    const auto text = adornment(QString());
    const PathRenderable box = PathRenderable::rectangle(kBox);
    EXPECT_TRUE(ink(render(*text, box), isNotWhite).bounds.isEmpty());
    text->setString(QStringLiteral("Text"));
    EXPECT_TRUE(ink(render(*text, PathRenderable::rectangle(QRectF(50, 50, 0, 0))), isNotWhite).bounds.isEmpty());
    EXPECT_TRUE(text->boundsNeededForObject(PathRenderable::rectangle(QRectF(50, 50, 0, 30))).isEmpty());

    const double nan = std::nan("");
    QPainterPath broken;
    broken.moveTo(10, 10);
    broken.lineTo(nan, 50);
    broken.lineTo(100, nan);
    const PathRenderable nanPath{platform::BezierPath(broken)};
    for (int mode : {VXTextAdornment::kLayoutInBox, VXTextAdornment::kLayoutAlongPath}) {
        text->setLayoutMode(mode);
        EXPECT_TRUE(ink(render(*text, nanPath), isNotWhite).bounds.isEmpty()) << mode;
        EXPECT_TRUE(text->boundsNeededForObject(nanPath).isEmpty()) << mode;
    }
    // A path of no length has nowhere to put glyphs.
    EXPECT_TRUE(ink(render(*text, PathRenderable::line(QPointF(5, 5), QPointF(5, 5))), isNotWhite).bounds.isEmpty());
}

TEST(TextAdornmentRender, BoundsCoverTheDrawnInk)
{
    const VXStylePtr style = VXStyle::textStyleWithFont(texttest::testFont(18));
    EXPECT_TRUE(style->isPureTextStyle());
    const VXTextAdornmentPtr text = style->renderersOfClass<VXTextAdornment>().first();
    text->setString(QStringLiteral("Bounds"));
    text->setTextKnockoutDistance(2);
    const PathRenderable box = PathRenderable::rectangle(kBox);
    const QRect inked = ink(render(*style, box), isNotWhite).bounds;
    ASSERT_FALSE(inked.isEmpty());
    EXPECT_TRUE(text->boundsNeededForObject(box).contains(QRectF(inked)));
    const QRectF layout = text->textLayoutRectForObject(box);
    EXPECT_EQ(layout.topLeft(), QPointF(0, 0));
    EXPECT_NEAR(layout.width(), text->textSizeForObject(box).width(), 0.5);

    text->setLayoutMode(VXTextAdornment::kLayoutAlongPath);
    const PathRenderable line = PathRenderable::line(QPointF(20, 50), QPointF(180, 50));
    EXPECT_TRUE(text->boundsNeededForObject(line).contains(QRectF(ink(render(*text, line), isNotWhite).bounds)));
    EXPECT_GT(text->extraSpaceNeeded().height(), 18);
}
