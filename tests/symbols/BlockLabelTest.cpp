#include "LabelFixture.h"

#include "support/ArchiveTesting.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/graphics/PathGeometry.h"
#include "platform/vantrix/styles/VXStroke.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <numbers>

using namespace labeltest;

namespace {

constexpr double kPi = std::numbers::pi;

void expectPoint(QPointF actual, QPointF expected, double tolerance = 1e-4)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
}

// A fixed-size label on a host with reference point (100, 100) and radius 10.
struct Placed : Drawing {
    std::shared_ptr<FixedLabel> label = adopt(FixedLabel::make());
    Placed()
    {
        host->reference = QPointF(100, 100);
        host->radius = 10;
        host->centroid = QSizeF(7, -3);
    }
};

bool allFinite(const platform::BezierPath& path)
{
    for (int i = 0; i < path.elementCount(); ++i) {
        QPointF points[3];
        path.elementAtIndexAssociatedPoints(i, points);
        if (!std::isfinite(points[0].x()) || !std::isfinite(points[0].y()))
            return false;
    }
    return true;
}

} // namespace

TEST(BlockLabel, NewLabelDefaultsAndAnchorWithoutReferencePoint)
{
    const auto label = VXQTextBlockLabel::label();
    EXPECT_EQ(label->placement(), 1);
    EXPECT_EQ(label->alignment(), 0);
    EXPECT_EQ(label->fontSize(), 11.0);
    EXPECT_EQ(label->verticalAlignment(), 1);
    EXPECT_TRUE(label->handlesVisible());
    EXPECT_FALSE(label->leaderLine());
    EXPECT_EQ(label->text().string(), QStringLiteral("%%name"));
    EXPECT_FALSE(label->textAdornment()->appliesObjectAngle());
    EXPECT_EQ(label->container(), nullptr);

    Drawing map;
    map.adopt(label);
    EXPECT_EQ(label->labelOrigin(), QPointF(0, 0)); // the host answers no reference point
    map.host->setMetadataItemValueForKey(QStringLiteral("Lake Ulm"), QStringLiteral("name"));
    EXPECT_EQ(label->string(), QStringLiteral("Lake Ulm"));
    map.host->removeMetadataForKey(QStringLiteral("name"));
    EXPECT_EQ(label->string(), QStringLiteral("Label")); // the placeholder
}

TEST(BlockLabel, WestPlacementGeometry)
{
    Placed map;
    map.label->setPlacement(4);
    EXPECT_EQ(map.label->alignment(), 1);
    expectPoint(map.label->labelOrigin(), {90, 100});
    const QRectF rect = map.label->labelRect();
    expectPoint(rect.topLeft(), {37, 94});
    expectPoint(rect.bottomRight(), {89, 106});
}

TEST(BlockLabel, EveryPlacementButTheVisualCentreShiftsOnePointLeft)
{
    Placed map;
    struct Expected {
        int placement;
        QPointF anchor;
        double shareLeftOfAnchor, shareAboveAnchor;
    };
    const double diagonalX = 10 * std::cos(kPi / 6), diagonalY = 10 * std::sin(kPi / 6);
    const QList<Expected> cases{
        {1, {100 + diagonalX, 100 - diagonalY}, 0, 1},  {2, {100, 90}, 0.5, 1},
        {3, {100 - diagonalX, 100 - diagonalY}, 1, 1},  {4, {90, 100}, 1, 0.5},
        {5, {100 - diagonalX, 100 + diagonalY}, 1, 0},  {6, {100, 110}, 0.5, 0},
        {7, {100 + diagonalX, 100 + diagonalY}, 0, 0},  {8, {110, 100}, 0, 0.5},
        {9, {100, 100}, 0.5, 0.5},                      {11, {100, 100}, 0, 1},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.placement);
        map.label->setPlacement(c.placement);
        expectPoint(map.label->labelOrigin(), c.anchor);
        const QRectF rect = map.label->labelRect();
        EXPECT_EQ(rect.size(), QSizeF(52, 12));
        expectPoint(rect.topLeft(), c.anchor - QPointF(1.0 + c.shareLeftOfAnchor * 52, c.shareAboveAnchor * 12));
    }
    // The editor may grow to five times the label's width (400 at least) and ten times its height.
    EXPECT_EQ(map.label->bounds().size(), QSizeF(66, 14));
    EXPECT_EQ(map.label->maxSize(), QSizeF(400, 140));
    map.label->fixedSize = QSizeF(100, 12);
    EXPECT_EQ(map.label->maxSize(), QSizeF(580, 140));
    EXPECT_EQ(map.label->minSize(), QSizeF(10, 16));
    map.label->fixedSize = QSizeF(50, 12);

    map.label->setPlacement(10);
    EXPECT_EQ(map.label->labelRect().center(), QPointF(107, 97));
    EXPECT_EQ(map.label->alignment(), 2);
    map.label->setFreePosition({-30, 25});
    expectPoint(map.label->labelRect().topLeft(), QPointF(70, 125) - QPointF(1, 12));
    EXPECT_EQ(map.label->alignment(), 2); // a free position keeps the alignment
}

TEST(BlockLabel, TurnedLabelBoundsKnobAndSnapping)
{
    Placed map;
    map.label->setPlacement(9);
    const QRectF rect = map.label->labelRect();
    map.label->setAngle(kPi / 4);
    const QTransform turn = platform::RotationTransform(kPi / 4, {100, 100});
    const QRectF turnedText = turn.mapRect(rect);
    EXPECT_EQ(map.label->hitTestBounds(), turnedText);
    const QRectF capsule = rect.adjusted(-7, -1, 7, 1); // half the height and 1.0 beyond each end
    EXPECT_TRUE(map.label->bounds().contains(turn.mapRect(capsule).adjusted(0.01, 0.01, -0.01, -0.01)));
    EXPECT_GT(map.label->bounds().width(), turnedText.width() + 5);
    expectPoint(map.label->rotationKnobPoint(), turn.map(QPointF(rect.right() - 1.2, rect.center().y())));
    EXPECT_TRUE(map.label->renderingPath().bounds().contains(turn.map(rect.center())));

    // The knob's raw direction from the anchor, turned by the degrees given.
    const auto pointTurnedBy = [&](double degrees) {
        const QPointF knob(rect.right() - 1.2, rect.center().y());
        return platform::RotationTransform(degrees * kPi / 180, {100, 100}).map(knob);
    };
    for (const auto& [raw, snapped] : QList<std::pair<double, double>>{{20, 15}, {23, 30}, {-20, -15}, {7, 0}}) {
        SCOPED_TRACE(raw);
        map.label->setAngleWithPointConstrain(pointTurnedBy(raw), true);
        EXPECT_NEAR(map.label->angle() * 180 / kPi, snapped, 1e-9);
        map.label->setAngleWithPointConstrain(pointTurnedBy(raw), false);
        EXPECT_NEAR(map.label->angle() * 180 / kPi, raw, 1e-9);
    }
}

TEST(BlockLabel, LeaderLineRunsFromTheFeatureAndStaysFiniteOnFlatFeatures)
{
    Placed map;
    map.host->featureBounds = QRectF(50, 70, 100, 60);
    map.label->setPlacement(8);
    map.label->setLeaderLine(std::make_shared<VXQLabelLeaderLine>());
    const platform::BezierPath path = map.label->leaderLine()->renderingPath();
    ASSERT_EQ(path.elementCount(), 2);
    QPointF start[3], end[3];
    path.elementAtIndexAssociatedPoints(0, start);
    path.elementAtIndexAssociatedPoints(1, end);
    expectPoint(start[0], {100, 100});
    const QRectF rect = map.label->labelRect(); // centre (135, 100): 0.35 of the feature's width right of its centre
    expectPoint(end[0], {rect.center().x() - 0.75 * 0.35 * 52, 100});
    EXPECT_TRUE(map.label->bounds().contains(map.label->leaderLine()->bounds()));

    for (const QRectF& flat : {QRectF(50, 100, 100, 0), QRectF(100, 70, 0, 60), QRectF(100, 100, 0, 0)}) {
        map.host->featureBounds = flat;
        map.label->updateLeaderLine();
        EXPECT_TRUE(allFinite(map.label->leaderLine()->renderingPath()));
        EXPECT_FALSE(map.label->leaderLine()->renderingPath().isEmpty());
    }
}

TEST(BlockLabel, SettersAreSingleNamedUndoSteps)
{
    Placed map;
    map.step([&] {
        map.label->setPlacement(4);
        map.label->setPlacement(4);
    });
    EXPECT_EQ(map.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Label Placement"));
    map.undo->undo();
    EXPECT_EQ(map.label->placement(), 1);
    EXPECT_EQ(map.label->alignment(), 0);
    map.undo->redo();
    EXPECT_EQ(map.label->placement(), 4);
    EXPECT_EQ(map.label->alignment(), 1);

    map.step([&] { map.label->setFreePosition({30, -20}); });
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Move Label"));
    map.step([&] { map.label->setFreePosition({40, -10}); });
    map.undo->undo();
    EXPECT_EQ(map.label->freePosition(), QPointF(30, -20));
    EXPECT_EQ(map.label->placement(), 11);
    map.undo->undo();
    EXPECT_EQ(map.label->freePosition(), QPointF(0, 0));
    EXPECT_EQ(map.label->placement(), 11); // undo restores offsets, not the placement

    map.step([&] { map.label->setAngle(0.5); });
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Rotate Label"));
    map.undo->undo();
    EXPECT_EQ(map.label->angle(), 0.0);
    map.undo->redo();
    EXPECT_EQ(map.label->angle(), 0.5);

    map.step([&] { map.label->toggleLeaderLineVisible(); });
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Show Leader Line"));
    map.step([&] { map.label->toggleLeaderLineVisible(); });
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Hide Leader Line"));
    EXPECT_FALSE(map.label->leaderLine());
    map.undo->undo();
    EXPECT_TRUE(map.label->leaderLine());
    map.undo->undo();
    EXPECT_FALSE(map.label->leaderLine());
}

TEST(BlockLabel, SizeToFeature)
{
    Placed map;
    for (const auto& [height, size] : QList<std::pair<double, double>>{{100, 33}, {10, 6}, {200, 36}}) {
        SCOPED_TRACE(height);
        map.host->setSize({80, height});
        map.step([&] { map.label->sizeToHost(); });
        EXPECT_EQ(map.label->fontSize(), size);
        EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Size To Feature"));
        map.undo->undo();
        EXPECT_EQ(map.label->fontSize(), 11.0);
    }
}

TEST(BlockLabel, ArchiveRoundTripKeepsPlacementAngleInSinglePrecisionAndContainer)
{
    Placed map;
    map.label->setPlacement(6);
    map.label->setFreePosition({12.5, -4});
    map.label->setAngle(0.1);
    map.label->setHandlesVisible(false);
    map.label->setText(QStringLiteral("Harbour"));
    auto line = std::make_shared<VXQLabelLeaderLine>();
    line->setStyle(VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), Qt::red, 2));
    map.label->setLeaderLine(line);
    auto empty = map.adopt(VXQTextBlockLabel::label());
    empty->setText(QString());

    const auto host = testsupport::roundTrip<Host>(*map.host);
    ASSERT_TRUE(host);
    ASSERT_EQ(host->textLabels().size(), 1); // the empty label is not restored
    const auto read = std::dynamic_pointer_cast<FixedLabel>(host->textLabels().first());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->container(), host.get());
    EXPECT_EQ(read->placement(), 11);
    EXPECT_EQ(read->freePosition(), QPointF(12.5, -4));
    EXPECT_EQ(read->angle(), double(0.1f));
    EXPECT_NE(read->angle(), 0.1);
    EXPECT_FALSE(read->handlesVisible());
    EXPECT_EQ(read->text().string(), QStringLiteral("Harbour"));
    ASSERT_TRUE(read->leaderLine());
    const auto strokes = read->leaderLine()->style()->renderersOfClass<VXStroke>();
    ASSERT_EQ(strokes.size(), 1);
    EXPECT_EQ(strokes.first()->width(), 2.0);

    EXPECT_FALSE(platform::KeyedUnarchiver::unarchiveObjectWithData(
        platform::KeyedArchiver::archivedDataWithRootObject(empty.get())));
}

TEST(BlockLabel, DamagedArchivesReadAsUsableLabels)
{
    auto adornment = VXTextAdornment::textAdornmentWithText(QStringLiteral("Quay"));
    testsupport::ArchiveStub stub;
    stub.objects.insert(QStringLiteral("VXQTextLabel_adornment"), adornment);
    stub.objects.insert(QStringLiteral("VXQTextLabel_container"), VXDrawableShape::drawableShapeWithStyle(nullptr));
    stub.objects.insert(QStringLiteral("VXQTextBlockLabel_leaderLine"), std::make_shared<testsupport::ArchiveStub>());
    stub.values.insert(QStringLiteral("VXQTextBlockLabel_placement"), 99);
    stub.values.insert(QStringLiteral("VXQTextBlockLabel_angle"), std::nan(""));
    auto label = std::dynamic_pointer_cast<VXQTextBlockLabel>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXQTextBlockLabel"))));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->placement(), 1);
    EXPECT_EQ(label->angle(), 0.0);
    EXPECT_EQ(label->container(), nullptr); // a shape that holds no labels
    EXPECT_TRUE(label->handlesVisible());
    EXPECT_EQ(label->text().string(), QStringLiteral("Quay"));

    stub.values.insert(QStringLiteral("VXQTextBlockLabel_angle"), 1e300); // beyond single precision
    stub.values.insert(QStringLiteral("VXQTextBlockLabel_placement"), -3);
    label = std::dynamic_pointer_cast<VXQTextBlockLabel>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXQTextBlockLabel"))));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->angle(), 0.0);
    EXPECT_EQ(label->placement(), 1);
    EXPECT_TRUE(std::isfinite(label->bounds().width()));

    // A leader line archived without path or style draws with the default style.
    testsupport::ArchiveStub bare;
    const auto leader = std::dynamic_pointer_cast<VXQLabelLeaderLine>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(bare.archiveAs(QStringLiteral("VXQLabelLeaderLine"))));
    ASSERT_TRUE(leader);
    EXPECT_TRUE(leader->renderingPath().isEmpty());
    ASSERT_TRUE(leader->style());
    EXPECT_TRUE(leader->bounds().isNull());
    leader->setStartEnd({0, 0}, {std::numeric_limits<double>::infinity(), 3});
    EXPECT_TRUE(leader->renderingPath().isEmpty());
}

TEST(BlockLabel, CopiesAreDetachedWithAFreshLeaderLine)
{
    Placed map;
    map.label->setPlacement(3);
    map.label->setAngle(0.25);
    map.label->setText(QStringLiteral("Mill"));
    map.label->setLeaderLine(std::make_shared<VXQLabelLeaderLine>());
    ASSERT_FALSE(map.label->leaderLine()->renderingPath().isEmpty());

    const auto copy = std::dynamic_pointer_cast<FixedLabel>(map.label->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->container(), nullptr);
    EXPECT_EQ(copy->placement(), 3);
    EXPECT_EQ(copy->angle(), 0.25);
    EXPECT_EQ(copy->text().string(), QStringLiteral("Mill"));
    EXPECT_NE(copy->textAdornment(), map.label->textAdornment());
    ASSERT_TRUE(copy->leaderLine());
    EXPECT_NE(copy->leaderLine(), map.label->leaderLine());
    EXPECT_NE(copy->leaderLine()->style(), map.label->leaderLine()->style());
    EXPECT_TRUE(copy->leaderLine()->renderingPath().isEmpty());
    copy->setText(QStringLiteral("Weir"));
    EXPECT_EQ(map.label->text().string(), QStringLiteral("Mill"));
}

TEST(BlockLabel, DrawingShowsTheTextAndLeaderLineWithoutRecordingOrPostingAnything)
{
    Placed map;
    map.label->setText(QStringLiteral("MMMM"));
    map.label->setPlacement(8);
    map.host->featureBounds = QRectF(60, 80, 80, 40);
    map.label->setLeaderLine(std::make_shared<VXQLabelLeaderLine>());
    map.label->setFreePosition({60, 50});
    map.undo->removeAllActions();
    map.label->leaderLine()->setStartEnd({}, {}); // stale until drawn

    int posts = 0;
    QObject observer;
    platform::NotificationCenter::defaultCenter().addObserver(&observer, QString(), nullptr,
                                                              [&](const platform::Notification&) { ++posts; });
    QImage image(300, 300, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const platform::GraphicsContext::Scope scope(&painter);
        map.host->drawTextLabelsInView(nullptr);
    }
    EXPECT_EQ(posts, 0);
    EXPECT_FALSE(map.undo->canUndo());

    const auto darkPixelsIn = [&](const QRectF& area, int threshold = 128) {
        int dark = 0;
        const QRect pixels = area.toAlignedRect().intersected(image.rect());
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x)
                dark += qGray(image.pixel(x, y)) < threshold;
        return dark;
    };
    EXPECT_GT(darkPixelsIn(map.label->labelRect()), 20);
    EXPECT_EQ(darkPixelsIn(QRectF(0, 0, 80, 300)), 0);
    // The leader line now runs from the reference point toward the text.
    const platform::BezierPath line = map.label->leaderLine()->renderingPath();
    ASSERT_EQ(line.elementCount(), 2);
    const QPointF middle = (QPointF(100, 100) + line.currentPoint()) / 2;
    EXPECT_GT(darkPixelsIn(QRectF(middle - QPointF(1.5, 1.5), QSizeF(3, 3)), 250), 0); // a thin grey line
}
