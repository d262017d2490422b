#include "symbols/labels/PathLabelContainer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "symbols/labels/VXQTextBlockLabel.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/view/ViewTestSupport.h"
#include "support/ArchiveTesting.h"
#include "tracks/tools/TrackTools.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <QMouseEvent>
#include <gtest/gtest.h>
#include <cmath>

namespace {

constexpr double kY = 100;

VXStylePtr roadOfWidth(double width)
{
    auto style = std::make_shared<VXStyle>();
    style->addRenderer(VXStroke::strokeWithWidthColour(width, Qt::darkGray));
    return style;
}

platform::BezierPath line(double from, double to)
{
    platform::BezierPath path;
    path.moveToPoint({from, kY});
    path.lineToPoint({to, kY});
    return path;
}

// A straight road 300 long along y = 100, selected in a layer with an undo manager.
struct Road {
    ZQUndoManager undo;
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({400, 300});
    std::shared_ptr<VXObjectDrawingLayer> layer = std::make_shared<VXObjectDrawingLayer>();
    ZQMultiStylePathPtr path;

    explicit Road(double width = 5)
    {
        path = ZQMultiStylePath::multiStylePathWithPathStyle(line(0, 300), roadOfWidth(width));
        drawing->setUndoManager(&undo);
        drawing->addLayer(layer);
        layer->addObject(path);
        layer->replaceSelectionWithObject(path);
        settle();
        undo.removeAllActions();
    }
    PathLabelContainer& labels() const { return PathLabelContainer::of(*path); }
    void settle() { undo.closeAutomaticGroup(); }
    VXQTextPathLabelPtr addLabel(const QString& text, ZQStyleRange range)
    {
        const VXQTextPathLabelPtr label = VXQTextPathLabel::label();
        label->setText(text);
        label->setStyleRange(range);
        labels().addTextLabel(label);
        settle();
        return label;
    }
    // Press at `from`, drag to `to`, release, on a label part of the path.
    QString drag(int code, QPointF from, QPointF to)
    {
        const int part = kZQTextLabelPartBase + code;
        QMouseEvent press(QEvent::MouseButtonPress, from, from, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        path->mouseDownAtPointInPartEvent(from, part, &press);
        QMouseEvent move(QEvent::MouseMove, to, to, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        path->mouseDraggedAtPointInPartEvent(to, part, &move);
        const QString name = path->mouseUpAtPointInPartEvent(to, part, &move);
        if (!name.isEmpty())
            undo.setActionName(name);
        settle();
        return name;
    }
};

double textWidth(const VXQTextLabel& label)
{
    return platform::AttributedStringLayout(label.attributedString(), 0).size().width();
}

VXQTextPathLabelPtr readLabel(double location, double length, qint64 type)
{
    testsupport::ArchiveStub stub;
    auto adornment = VXTextAdornment::textAdornmentWithText(QStringLiteral("Mill Lane"));
    stub.objects = {{QStringLiteral("VXQTextLabel_adornment"), adornment}};
    stub.values = {{QStringLiteral("VXQTextPathLabel.range.location"), location},
                   {QStringLiteral("VXQTextPathLabel.range.length"), length},
                   {QStringLiteral("VXQTextPathLabel.range.type"), type}};
    return std::dynamic_pointer_cast<VXQTextPathLabel>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXQTextPathLabel"))));
}

TEST(PathLabel, ANewLabelCoversThePathAndFitsItsRangeToItsText)
{
    Road road;
    const VXQTextPathLabelPtr label = VXQTextPathLabel::label();
    EXPECT_EQ(label->styleRange().rangeType, kZQAbsoluteStyleRange);
    EXPECT_EQ(label->styleRange().location, 0.0);
    EXPECT_EQ(label->styleRange().length, kZQStyleRangeRunsToEnd);
    EXPECT_EQ(label->textAdornment()->layoutMode(), VXTextAdornment::kLayoutAlongPath);

    label->setText(QStringLiteral("High Street"));
    label->setStyleRange(ZQMakeAbsoluteStyleRange(40, 100));
    road.labels().addTextLabel(label);
    road.settle();
    label->fitToText(nullptr);
    road.settle();
    // Measured before the text is centred, which may round its width differently.
    EXPECT_NEAR(label->styleRange().length, textWidth(*label) + VXQTextPathLabel::kFitMargin, 1.0);
    EXPECT_EQ(label->styleRange().location, 40.0);
    EXPECT_EQ(label->alignment(), 2);
    EXPECT_EQ(road.undo.undoActionName(), QStringLiteral("Size Label To Text"));

    // Closer than 0.01 is the same range: nothing to undo.
    road.undo.removeAllActions();
    label->setStyleRange(ZQMakeAbsoluteStyleRange(40.005, label->styleRange().length + 0.005));
    EXPECT_FALSE(road.undo.canUndo());

    // A relative range is fitted in path lengths: a quarter of the way along stays there.
    label->setStyleRange(ZQMakeStyleRange(0.25, 0.5, kZQRelativeStyleRange));
    label->fitToText(nullptr);
    EXPECT_EQ(label->styleRange().rangeType, kZQAbsoluteStyleRange);
    EXPECT_NEAR(label->styleRange().location, 75.0, 1e-9);
    EXPECT_NEAR(label->styleRange().length, textWidth(*label) + VXQTextPathLabel::kFitMargin, 1.0);
}

TEST(PathLabel, ALaidOutLabelFollowsItsTextItsStretchAndItsPath)
{
    Road road;
    const VXQTextPathLabelPtr label = road.addLabel(QStringLiteral("Elm Row"), ZQMakeAbsoluteStyleRange(20, 130));
    label->setAlignment(2); // centred: as wide as its text
    const QRectF first = label->bounds();
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(label->bounds(), first) << "laid out once, answered again";
    label->setStyleRange(ZQMakeAbsoluteStyleRange(150, 130));
    EXPECT_GT(label->bounds().left(), first.left() + 100);
    label->setText(QStringLiteral("Elm Row and Ash Lane"));
    const QRectF longer = label->bounds();
    EXPECT_GT(longer.width(), first.width());
    road.path->applyTransform(QTransform::fromTranslate(0, 50));
    EXPECT_NEAR(label->bounds().center().y(), longer.center().y() + 50, 1e-6) << "the road moved";
}

TEST(PathLabel, BaselineSizeToPathAndFlipping)
{
    Road road(10);
    const VXQTextPathLabelPtr label = road.addLabel(QStringLiteral("Canal"), ZQMakeAbsoluteStyleRange(10, 80));
    const double m = VXTextAdornment::defaultMaximumVerticalOffset();
    label->setBaseline(0);
    EXPECT_EQ(label->verticalAlignment(), VXTextAdornment::kAlignProportionally);
    EXPECT_DOUBLE_EQ(label->verticalAlignmentProportion(), 0.5);
    label->setBaseline(2 * m);
    EXPECT_DOUBLE_EQ(label->verticalAlignmentProportion(), 1.0);
    label->setBaseline(-3 * m);
    EXPECT_DOUBLE_EQ(label->verticalAlignmentProportion(), 0.0);

    label->sizeToPath(nullptr);
    EXPECT_EQ(label->fontSize(), 8.0); // floor(0.8 x 10)
    const Road narrow(2);
    const VXQTextPathLabelPtr small = VXQTextPathLabel::label();
    small->setText(QStringLiteral("Lane"));
    narrow.labels().addTextLabel(small);
    small->sizeToPath(nullptr);
    EXPECT_EQ(small->fontSize(), 6.0);

    label->reverseLabel(nullptr);
    EXPECT_TRUE(label->isReversed());
    label->reverseLabel(nullptr);
    EXPECT_EQ(label->textAdornment()->layoutMode(), VXTextAdornment::kLayoutAlongPath);
    label->textAdornment()->setLayoutMode(VXTextAdornment::kLayoutInBox);
    label->reverseLabel(nullptr);
    EXPECT_EQ(label->textAdornment()->layoutMode(), VXTextAdornment::kLayoutAlongPath);
    road.settle();
    EXPECT_EQ(road.undo.undoActionName(), QStringLiteral("Flip Label"));
}

TEST(PathLabel, ReadingDropsLabelsWithoutAStretchButKeepsShortRelativeOnes)
{
    const VXQTextPathLabelPtr kept = readLabel(12.5, 40, kZQAbsoluteStyleRange);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->styleRange().location, 12.5);
    EXPECT_FALSE(readLabel(12.5, 0.5, kZQAbsoluteStyleRange)) << "shorter than 1 path unit";
    const VXQTextPathLabelPtr relative = readLabel(0.2, 0.3, kZQRelativeStyleRange);
    ASSERT_TRUE(relative) << "a third of the path is no short label";
    EXPECT_EQ(relative->styleRange().rangeType, kZQRelativeStyleRange);
    EXPECT_FALSE(readLabel(std::nan(""), 40, kZQAbsoluteStyleRange));
    EXPECT_FALSE(readLabel(10, -40, kZQAbsoluteStyleRange));
    EXPECT_FALSE(readLabel(10, 40, 7)) << "no such range type";
    const VXQTextPathLabelPtr enormous = readLabel(0, 1e30, kZQAbsoluteStyleRange);
    ASSERT_TRUE(enormous);
    EXPECT_EQ(enormous->styleRange().length, kZQStyleRangeRunsToEnd);

    // Round trip in single precision.
    Road road;
    const VXQTextPathLabelPtr label = road.addLabel(QStringLiteral("Mill Lane"), ZQMakeAbsoluteStyleRange(33.3, 66.6));
    label->setSimplification(VXQTextPathLabel::kFollowsTrendOfPath);
    const auto read = testsupport::roundTrip<VXQTextPathLabel>(*label);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->styleRange().location, double(float(33.3)));
    EXPECT_EQ(read->simplification(), VXQTextPathLabel::kFollowsTrendOfPath);
    EXPECT_EQ(read->string(), QStringLiteral("Mill Lane"));
}

TEST(PathLabel, PartCodesSkipForeignLabelsAndTheEarlierLabelWins)
{
    Road road;
    PathLabelContainer& labels = road.labels();
    labels.addTextLabel(VXQTextBlockLabel::label()); // no stretch: keeps number 0
    road.addLabel(QStringLiteral("A"), ZQMakeAbsoluteStyleRange(50, 100));
    road.addLabel(QStringLiteral("B"), ZQMakeAbsoluteStyleRange(120, 100));
    EXPECT_EQ(labels.textLabelPartcodeHit({150, kY}), 4 * 1 + 2) << "A's end knob";
    EXPECT_EQ(labels.textLabelPartcodeHit({130, kY}), 4 * 1 + 1) << "both cover it: A is earlier";
    EXPECT_EQ(labels.textLabelPartcodeHit({200, kY}), 4 * 2 + 1);
    EXPECT_EQ(labels.textLabelPartcodeHit({20, kY}), 0);
    EXPECT_EQ(road.path->hitPart({200, kY}), kZQTextLabelPartBase + 9);
    EXPECT_EQ(labels.textLabelForPartcode(4 * 2 + 1)->string(), QStringLiteral("B"));
    EXPECT_EQ(labels.textLabelForPartcode(4 * 9 + 1), nullptr);

    road.path->setLabelsHidden(true);
    EXPECT_EQ(labels.textLabelPartcodeHit({200, kY}), 0) << "hidden labels are not hit";
    EXPECT_TRUE(road.path->bounds().contains(labels.textLabelBounds().last())) << "but still count in the bounds";
}

TEST(PathLabel, NewLabelsSizeToTheRoadAndDeletingIsUndoneOneByOne)
{
    for (const auto& [width, fontSize] : {std::pair{5.0, 7.0}, std::pair{10.0, 13.0}}) {
        Road road(width);
        road.path->setLocationForAddingTextLabel(150);
        road.path->newTextLabel(nullptr);
        road.settle();
        ASSERT_EQ(road.labels().pathLabels().size(), 1);
        const VXQTextPathLabelPtr label = road.labels().pathLabels().first();
        EXPECT_NEAR(label->fontSize(), fontSize, 1e-9);
        EXPECT_NEAR(label->styleRange().location + label->styleRange().length / 2, 150, 1e-6) << "centred where asked";
        EXPECT_EQ(road.labels().selectedTextLabels().size(), 1);
        EXPECT_DOUBLE_EQ(road.path->locationForAddingTextLabel(), 150.0) << "unset again: the middle of the path";
        EXPECT_EQ(road.undo.undoActionName(), QStringLiteral("New Label"));
    }

    Road road;
    const VXQTextPathLabelPtr a = road.addLabel(QStringLiteral("A"), ZQMakeAbsoluteStyleRange(10, 50));
    const VXQTextPathLabelPtr b = road.addLabel(QStringLiteral("B"), ZQMakeAbsoluteStyleRange(100, 50));
    road.path->deleteLabels(nullptr);
    road.settle();
    EXPECT_TRUE(road.path->textLabels().isEmpty());
    EXPECT_EQ(road.undo.undoActionName(), QStringLiteral("Delete Labels"));
    road.undo.undo();
    ASSERT_EQ(road.labels().pathLabels().size(), 2);
    EXPECT_EQ(a->path(), road.path.get());
    EXPECT_EQ(road.path->textLabels().size(), 2) << "the archive sees them again";
}

TEST(PathLabel, CuttingHandsTheLabelsFromTheCutToTheSecondPiece)
{
    Road road;
    const VXQTextPathLabelPtr before = road.addLabel(QStringLiteral("Before"), ZQMakeAbsoluteStyleRange(99.9, 40));
    const VXQTextPathLabelPtr at = road.addLabel(QStringLiteral("At"), ZQMakeAbsoluteStyleRange(100, 40));
    const VXQTextPathLabelPtr relative = road.addLabel(QStringLiteral("Half"), ZQMakeStyleRange(0.5, 0.1, kZQRelativeStyleRange));
    const auto second = std::dynamic_pointer_cast<ZQMultiStylePath>(cutPathAtLength(*road.path, 100));
    ASSERT_TRUE(second);
    EXPECT_EQ(PathLabelContainer::of(*road.path).pathLabels(), QList<VXQTextPathLabelPtr>{before});
    const QList<VXQTextPathLabelPtr> moved = PathLabelContainer::of(*second).pathLabels();
    ASSERT_EQ(moved.size(), 2);
    EXPECT_EQ(moved[0], at);
    EXPECT_NEAR(at->styleRange().location, 0.0, 1e-9);
    EXPECT_EQ(at->path(), second.get());
    EXPECT_EQ(moved[1], relative);
    EXPECT_NEAR(relative->styleRange().location, 50.0, 1e-9) << "half of 300, measured from the cut";
    EXPECT_NEAR(relative->styleRange().length, 30.0, 1e-9);
}

TEST(PathLabel, ReversingMirrorsAndJoiningMovesLabelsAlong)
{
    Road road;
    const VXQTextPathLabelPtr label = road.addLabel(QStringLiteral("Quay"), ZQMakeAbsoluteStyleRange(10, 50));
    road.labels().reverseLabels();
    EXPECT_NEAR(label->styleRange().location, 240.0, 1e-9);
    EXPECT_NEAR(label->styleRange().length, 50.0, 1e-9);

    // Joined behind a 300 long piece: the other path's labels come over 300 along.
    Road front;
    front.labels().assignLabelsToPath(front.labels(), 0, 0); // same path, no move: nothing changes
    PathLabelContainer::of(*road.path).assignLabelsToPath(front.labels(), 0, 300);
    EXPECT_TRUE(road.path->textLabels().isEmpty());
    ASSERT_EQ(front.labels().pathLabels(), QList<VXQTextPathLabelPtr>{label});
    EXPECT_NEAR(label->styleRange().location, 540.0, 1e-9);
    EXPECT_EQ(label->path(), front.path.get());
}

TEST(PathLabel, EveryDragIsOneUndoStepAndPointsOffThePathChangeNothing)
{
    Road road;
    const VXQTextPathLabelPtr label = road.addLabel(QStringLiteral("Ridge Road"), ZQMakeAbsoluteStyleRange(50, 100));
    const ZQStyleRange start = label->styleRange();

    // A click on the label, even with a move that stays put, is no step.
    const int steps = road.undo.numberOfUndoActions();
    EXPECT_TRUE(road.drag(1, {80, kY}, {80, kY}).isEmpty());
    EXPECT_EQ(road.undo.numberOfUndoActions(), steps);

    EXPECT_EQ(road.drag(1, {80, kY}, {130, kY}), QStringLiteral("Move Text Label"));
    EXPECT_NEAR(label->styleRange().location, 100.0, 1e-6);
    EXPECT_NEAR(label->styleRange().length, 100.0, 1e-6);
    road.undo.undo();
    EXPECT_TRUE(ZQEqualStyleRanges(label->styleRange(), start));

    // The end dragged before the start turns the range round.
    EXPECT_EQ(road.drag(2, {150, kY}, {20, kY}), QStringLiteral("Size Text Label"));
    EXPECT_NEAR(label->styleRange().location, 20.0, 1e-6);
    EXPECT_NEAR(label->styleRange().length, 30.0, 1e-6);
    road.undo.undo();
    EXPECT_TRUE(ZQEqualStyleRanges(label->styleRange(), start));

    // Far beyond the road's end the pointer is at no place along it: nothing moves.
    road.drag(1, {80, kY}, {400, kY});
    EXPECT_TRUE(ZQEqualStyleRanges(label->styleRange(), start));

    const double proportion = label->verticalAlignmentProportion();
    EXPECT_EQ(road.drag(3, {100, kY}, {100, kY - 10}), QStringLiteral("Offset Label"));
    EXPECT_NE(label->verticalAlignmentProportion(), proportion);
    road.undo.undo();
    EXPECT_DOUBLE_EQ(label->verticalAlignmentProportion(), proportion);

    road.path->setLocked(true);
    EXPECT_TRUE(road.drag(1, {80, kY}, {130, kY}).isEmpty());
}

TEST(PathLabel, LabelsTakeTheirRoadsTextStyleOnlyWithDynamicTemplates)
{
    Road road;
    const VXQTextPathLabelPtr label = road.addLabel(QStringLiteral("Mill Lane"), ZQMakeAbsoluteStyleRange(10, 80));
    VXStylePtr named = roadOfWidth(6);
    const VXTextAdornmentPtr text = VXTextAdornment::textAdornmentWithText(QStringLiteral("Lane %%name"));
    text->setFontSize(17);
    named->addRenderer(text);
    const auto restyle = [&](const VXStylePtr& style) {
        road.path->setStyles({ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(style, ZQWholeStyleRange())});
    };
    road.path->setDynamicLabelTemplatesEnabled(false);
    restyle(named);
    EXPECT_EQ(label->string(), QStringLiteral("Mill Lane"));
    EXPECT_NE(label->fontSize(), 17.0);

    road.path->setDynamicLabelTemplatesEnabled(true);
    restyle(roadOfWidth(4));
    EXPECT_EQ(label->string(), QStringLiteral("Mill Lane")) << "a style without text leaves the label as it is";
    restyle(named);
    EXPECT_EQ(label->fontSize(), 17.0);
    EXPECT_TRUE(label->string().startsWith(QStringLiteral("Lane")));
    EXPECT_EQ(label->textAdornment()->layoutMode(), VXTextAdornment::kLayoutAlongPath);
    EXPECT_NEAR(label->styleRange().length, textWidth(*label) + VXQTextPathLabel::kFitMargin, 1.0) << "fitted to the new text";
}

TEST(PathLabel, OldTextOverlaysBecomeLabelsWhenAPathIsRead)
{
    Road road;
    auto textStyle = std::make_shared<VXStyle>();
    textStyle->addRenderer(VXTextAdornment::textAdornmentWithText(QStringLiteral("River Wey")));
    auto empty = std::make_shared<VXStyle>();
    empty->addRenderer(std::make_shared<VXTextAdornment>()); // damaged: no text
    const auto bridge = ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(roadOfWidth(9), ZQMakeAbsoluteStyleRange(0, 20));
    road.path->setOverlays({ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(textStyle, ZQMakeAbsoluteStyleRange(30, 90)),
                            ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(empty, ZQMakeAbsoluteStyleRange(0, 10)),
                            bridge});
    const auto read = testsupport::roundTrip<ZQMultiStylePath>(*road.path);
    ASSERT_TRUE(read);
    const QList<VXQTextPathLabelPtr> labels = PathLabelContainer::of(*read).pathLabels();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.first()->string(), QStringLiteral("River Wey"));
    EXPECT_EQ(labels.first()->styleRange().location, 30.0);
    EXPECT_EQ(read->overlays().size(), 2) << "the damaged text style and the bridge stay overlays";
}

TEST(PathLabel, ALabelBesideItsRoadIsHitWhereItsTextIsDrawnWithTheRoadNotSelected)
{
    // A field under a 5 wide road; the road's new label sits beside the line, off its stroke.
    viewtest::ViewFixture f({400, 300}, {400, 300});
    const VXDrawableObjectPtr field =
        VXDrawableShape::drawableShapeWithRect({0, 40, 400, 120}, drawingtest::fillStyle(Qt::green));
    f.layer->addObject(field);
    const ZQMultiStylePathPtr road = ZQMultiStylePath::multiStylePathWithPathStyle(line(0, 300), roadOfWidth(5));
    f.layer->addObject(road);
    road->setLocationForAddingTextLabel(150);
    road->newTextLabel(nullptr);
    f.layer->deselectAll();
    f.forgetEdits();
    const VXQTextPathLabelPtr label = PathLabelContainer::of(*road).pathLabels().first();
    // On the text's baseline, 5 below the line.
    const QPointF text(label->bounds().center().x(), kY - label->baselineOffset());
    ASSERT_FALSE(road->pointHitsPath(text)) << "the text is beside the stroke";
    EXPECT_EQ(PathLabelContainer::of(*road).textLabelPartcodeHit(text), 1);
    EXPECT_EQ(PathLabelContainer::of(*road).textLabelPartcodeHit({20, text.y()}), 0) << "beside the road, past the text";

    f.view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.view));
    // A double click as a window system delivers it.
    const QPoint pixel = f.view.convertPointFromDrawing(text).toPoint();
    QTest::mouseClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, pixel);
    QTest::mousePress(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, pixel);
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, pixel);
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, pixel);
    ASSERT_EQ(f.layer->selection().size(), 1);
    EXPECT_EQ(f.layer->selection().first(), road) << "not the field under it";
    EXPECT_TRUE(label->isEditing());
    EXPECT_TRUE(f.view.textEditor());
}

} // namespace
