// Text shapes and text paths: their text adornment draws in the box or along the path,
// takes the object's metadata, undoes on the drawing's undo manager, and survives archives
// and copies.

#include "platform/vantrix/DrawingTestSupport.h"
#include "platform/vantrix/text/TextTestSupport.h"

#include "support/ArchiveTesting.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/drawables/VXTextShape.h"

#include <cmath>

using namespace drawingtest;
using texttest::ink;
using texttest::isDark;

namespace {

const QRectF kBox(20, 20, 160, 40);

std::shared_ptr<VXTextShape> textShape(const QString& string, const QRectF& box = kBox)
{
    auto shape = VXTextShape::textShapeWithStringInRect(string, box);
    shape->setFont(texttest::testFont(16));
    return shape;
}

platform::BezierPath line(QPointF from, QPointF to)
{
    platform::BezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    return path;
}

// The drawing with the object alone on it.
QImage drawn(const VXDrawableObjectPtr& object, QSizeF size = {200, 200})
{
    Fixture f(size);
    f.layer->addObject(object);
    return render(*f.drawing);
}

int darkPixelsOutside(const QImage& image, const QRect& area)
{
    int outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            outside += isDark(image.pixelColor(x, y)) && !area.contains(x, y) ? 1 : 0;
    return outside;
}

} // namespace

TEST(TextShape, TextStaysInItsBoxOnTheSideItIsAlignedToAndBoundsCoverWhatReachesOut)
{
    const auto shape = textShape(QStringLiteral("Harbour"));
    const QRect box = kBox.toAlignedRect();
    const QImage left = drawn(shape, {200, 100});
    const QRect leftInk = ink(left, isDark).bounds;
    ASSERT_FALSE(leftInk.isEmpty());
    EXPECT_EQ(darkPixelsOutside(left, box), 0);
    EXPECT_LT(leftInk.left(), 26);
    EXPECT_LT(leftInk.top(), 32); // at the top of the box
    shape->setAlignment(1);
    const QImage right = drawn(shape, {200, 100});
    const QRect rightInk = ink(right, isDark).bounds;
    EXPECT_EQ(darkPixelsOutside(right, box), 0);
    EXPECT_GT(rightInk.right(), 173);
    EXPECT_NEAR(rightInk.width(), leftInk.width(), 2); // moved, not reflowed
    EXPECT_GT(rightInk.left() - leftInk.left(), 60);
    // A style draws under the text, which still shows.
    shape->setStyle(fillStyle(Qt::yellow));
    const QImage filled = drawn(shape, {200, 100});
    EXPECT_EQ(filled.pixelColor(25, 55), QColor(Qt::yellow));
    EXPECT_EQ(ink(filled, isDark).bounds, rightInk);

    // Unwrapped text wider than its box reaches past it; the object's bounds follow, so
    // redraws and hit searches cover the ink.
    const auto wide = textShape(QStringLiteral("A long harbour name"), QRectF(80, 40, 40, 20));
    wide->textAdornment()->setWrapsLines(false);
    wide->setAlignment(2);
    const QRect inked = ink(drawn(wide), isDark).bounds;
    ASSERT_FALSE(inked.isEmpty());
    EXPECT_LT(inked.left(), 70);
    EXPECT_TRUE(wide->bounds().adjusted(-1, -1, 1, 1).contains(QRectF(inked)));

    // Placeholders take the object's metadata; a longer value grows the bounds with the text.
    const auto templated = textShape(QStringLiteral("Berth %%berth"));
    templated->setMetadataItemValueForKey(QStringLiteral("Seven"), QStringLiteral("berth"));
    EXPECT_EQ(drawn(templated), drawn(textShape(QStringLiteral("Berth Seven"))));
    templated->textAdornment()->setWrapsLines(false);
    const double before = templated->bounds().width();
    templated->setMetadataItemValueForKey(QStringLiteral("Seventy-seven, by the lighthouse steps"),
                                          QStringLiteral("berth"));
    EXPECT_GT(templated->bounds().width(), before + 50);
}

TEST(TextShape, TextPathFollowsItsPathStopsAtItsEndAndBoundsCoverTheInk)
{
    const QPointF from(20, 180), to(120, 80);
    const auto text = VXTextPath::textPathWithStringOnPath(QStringLiteral("Old Mill Road and beyond it the sea"),
                                                           line(from, to));
    text->setFont(texttest::testFont(12));
    const QImage image = drawn(text);
    const texttest::InkAlongLine along = texttest::inkAlongLine(image, from, to);
    EXPECT_GT(along.pixels, 100);
    EXPECT_LT(along.farthest, 16);
    const QRect inked = ink(image, isDark).bounds;
    EXPECT_LT(inked.left(), 30);
    EXPECT_LT(inked.right(), 135); // the rest of the text falls past the path's end
    EXPECT_LT(inked.top(), 90);

    // Along a level path the text stands above the line, beyond the line's flat bounds.
    const auto level = VXTextPath::textPathWithStringOnPath(QStringLiteral("Quay"), line({20, 100}, {180, 100}));
    const QRect pathInk = ink(drawn(level), isDark).bounds;
    ASSERT_FALSE(pathInk.isEmpty());
    EXPECT_LE(pathInk.bottom(), 101);
    EXPECT_LT(pathInk.top(), 92);
    EXPECT_TRUE(level->bounds().adjusted(-1, -1, 1, 1).contains(QRectF(pathInk)));
}

TEST(TextShape, TextChangesAndReplacedAdornmentsAreOneUndoStepOnTheDrawing)
{
    Fixture f;
    const auto shape = textShape(QStringLiteral("Pier"));
    f.layer->addObject(shape);
    f.endStep();
    f.undo->removeAllActions();
    QStringList heard;
    shape->observeKeyPath(QStringLiteral("string"), platform::KeyValueObservingOptionNew, nullptr,
                          [&](const platform::KeyValueChange& change) { heard.append(change.newValue.toString()); });

    shape->setString(QStringLiteral("Jetty"));
    f.endStep();
    ASSERT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Change Text"));
    f.undo->undo();
    EXPECT_EQ(shape->string(), QStringLiteral("Pier"));
    f.undo->redo();
    EXPECT_EQ(shape->string(), QStringLiteral("Jetty"));
    EXPECT_EQ(heard, (QStringList{QStringLiteral("Jetty"), QStringLiteral("Pier"), QStringLiteral("Jetty")}));

    // Edits made on the adornment itself undo on the drawing too; a command is one step.
    shape->textAdornment()->setFontSize(30);
    f.endStep();
    shape->setAlignment(2);
    f.endStep();
    EXPECT_EQ(f.undo->numberOfUndoActions(), 3);
    f.undo->undo();
    EXPECT_EQ(shape->alignment(), 0);
    f.undo->undo();
    EXPECT_DOUBLE_EQ(shape->textAdornment()->fontSize(), 16);

    // A locked shape keeps its text.
    shape->setLocked(true);
    f.endStep();
    const int steps = f.undo->numberOfUndoActions();
    shape->setString(QStringLiteral("Mole"));
    shape->setValueForKey(QStringLiteral("Mole"), QStringLiteral("string"));
    f.endStep();
    EXPECT_EQ(shape->string(), QStringLiteral("Jetty"));
    EXPECT_EQ(f.undo->numberOfUndoActions(), steps);

    // A replaced adornment comes back with undo, wired up again: its edits are the shape's.
    shape->setLocked(false);
    f.endStep();
    f.undo->removeAllActions();
    const VXTextAdornmentPtr original = shape->textAdornment();

    const auto replacement = VXTextAdornment::textAdornmentWithText(QStringLiteral("Quay"));
    shape->setTextAdornment(replacement);
    shape->setTextAdornment(nullptr); // ignored
    f.endStep();
    EXPECT_EQ(shape->textAdornment(), replacement);
    EXPECT_EQ(shape->valueForKeyPath(QStringLiteral("textAdornment.string")).toString(), QStringLiteral("Quay"));
    f.undo->undo();
    ASSERT_EQ(shape->textAdornment(), original);
    shape->setString(QStringLiteral("Wharf"));
    f.endStep();
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    replacement->setString(QStringLiteral("Ignored"));
    f.endStep();
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);

    // Another object's adornment is copied, not shared.
    const auto other = textShape(QStringLiteral("Dock"));
    other->setTextAdornment(shape->textAdornment());
    EXPECT_NE(other->textAdornment(), shape->textAdornment());
    EXPECT_EQ(other->string(), QStringLiteral("Wharf"));
    other->setString(QStringLiteral("Slip"));
    EXPECT_EQ(shape->string(), QStringLiteral("Wharf"));

    // So is an adornment a style holds: the style's edits stay the style's, and undo elsewhere.
    const VXStylePtr labels = std::make_shared<VXStyle>();
    const auto styled = VXTextAdornment::textAdornmentWithText(QStringLiteral("Lock"));
    labels->addRenderer(styled);
    f.layer->addObject(other);
    other->setTextAdornment(styled);
    f.endStep();
    EXPECT_NE(other->textAdornment(), styled);
    const int stepsBefore = f.undo->numberOfUndoActions();
    styled->setString(QStringLiteral("Weir"));
    f.endStep();
    EXPECT_EQ(other->string(), QStringLiteral("Lock"));
    EXPECT_EQ(f.undo->numberOfUndoActions(), stepsBefore);
}

TEST(TextShape, AdornmentsSurviveArchivesAndCopies)
{
    Fixture f({300, 200});
    const auto shape = textShape(QStringLiteral("North\nBasin"), QRectF(20, 20, 120, 60));
    shape->setAngle(0.4);
    shape->setAlignment(2);
    shape->setTextColour(Qt::darkBlue);
    shape->textAdornment()->setVerticalAlignment(VXTextAdornment::kAlignMiddle);
    shape->textAdornment()->setTextKnockoutDistance(2);
    const auto text = VXTextPath::textPathWithStringOnPath(QStringLiteral("Canal"), line({20, 180}, {280, 120}));
    text->textAdornment()->setLayoutMode(VXTextAdornment::kLayoutAlongReversedPath);
    f.layer->addObjectsFromArray({shape, text});

    const auto copy = testsupport::roundTrip<VXDrawing>(*f.drawing);
    ASSERT_TRUE(copy);
    const auto* layer = qobject_cast<VXObjectDrawingLayer*>(copy->activeLayer());
    ASSERT_TRUE(layer);
    const auto decodedShape = std::dynamic_pointer_cast<VXTextShape>(layer->objectInObjectsAtIndex(0));
    const auto decodedText = std::dynamic_pointer_cast<VXTextPath>(layer->objectInObjectsAtIndex(1));
    ASSERT_TRUE(decodedShape && decodedText);
    EXPECT_TRUE(decodedShape->textAdornment()->isEqualToRasterizer(*shape->textAdornment()));
    EXPECT_TRUE(decodedText->textAdornment()->isEqualToRasterizer(*text->textAdornment()));
    EXPECT_EQ(decodedShape->textColour(), QColor(Qt::darkBlue));
    EXPECT_EQ(render(*copy), render(*f.drawing));

    // A decoded object's text edits undo on its drawing.
    ZQUndoManager undo;
    copy->setUndoManager(&undo);
    decodedText->setString(QStringLiteral("Lock"));
    undo.closeAutomaticGroup();
    ASSERT_EQ(undo.numberOfUndoActions(), 1);
    undo.undo();
    EXPECT_EQ(decodedText->string(), QStringLiteral("Canal"));

    // A copy has text of its own.
    const auto duplicate = std::dynamic_pointer_cast<VXTextShape>(shape->copyDrawable());
    ASSERT_TRUE(duplicate);
    EXPECT_TRUE(duplicate->textAdornment()->isEqualToRasterizer(*shape->textAdornment()));
    duplicate->setString(QStringLiteral("South"));
    EXPECT_EQ(shape->string(), QStringLiteral("North\nBasin"));
}
