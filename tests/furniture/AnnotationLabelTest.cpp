#include "GridOwnerForTesting.h"
#include "furniture/edges/VXQGridAnnotation.h"
#include "platform/foundation/NamedException.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QThread>
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

QStringList labelsOf(const VXQGridAnnotation& annotation, int count, int maximum)
{
    QStringList labels;
    for (int element = 0; element < count; ++element)
        labels << annotation.annotationStringForElementMaxElement(element, maximum);
    return labels;
}

} // namespace

TEST(AnnotationLabels, LettersNumbersDigitsFormatterAndOwnerProposal)
{
    VXQGridAnnotation annotation;
    annotation.setIsAlphabetic(true);
    const QStringList letters = labelsOf(annotation, 28, 30);
    EXPECT_EQ(letters.mid(0, 3), QStringList({"A", "B", "C"}));
    EXPECT_EQ(letters.mid(25, 3), QStringList({"Z", "A", "B"}));

    annotation.setIsAlphabetic(false);
    for (const auto& [value, text] : {std::pair{0, "00"}, {1, "01"}, {10, "10"}, {123, "123"}})
        EXPECT_EQ(annotation.annotationStringForElementMaxElement(value, 200), text);
    annotation.setDigits(0);
    EXPECT_EQ(annotation.digits(), 1u);
    annotation.setDigits(9);
    EXPECT_EQ(annotation.digits(), 4u);
    annotation.setStartingOffset(3);
    annotation.setIncrement(5);
    EXPECT_EQ(annotation.annotationStringForElementMaxElement(2, 10), "0013");
    annotation.setLabelSkipInterval(0);
    EXPECT_EQ(annotation.labelSkipInterval(), 1u);

    // Counting down past the start wraps and prints as a negative 32-bit number.
    annotation.setDigits(2);
    annotation.setStartingOffset(0);
    annotation.setIncrement(1);
    annotation.setIsReversed(true);
    annotation.setPlacement(VXQGridAnnotation::kBetweenLines);
    EXPECT_EQ(annotation.annotationStringForElementMaxElement(10, 10), "-01");

    auto formatter = std::make_shared<platform::NumberFormatter>();
    formatter->setNumberStyle(platform::NumberFormatter::Style::Decimal);
    annotation.setIsReversed(false);
    annotation.setIncrement(2500);
    annotation.setFormatter(formatter);
    EXPECT_EQ(annotation.annotationStringForElementMaxElement(3, 10), "7,500");
    // Letters take no formatter.
    annotation.setIsAlphabetic(true);
    EXPECT_EQ(annotation.annotationStringForElementMaxElement(3, 10), "M"); // 7500 mod 26 = 12

    GridOwnerForTesting owner;
    owner.proposesLabels = true;
    annotation.setOwner(&owner);
    annotation.setIsReversed(true);
    EXPECT_EQ(annotation.annotationStringForElementMaxElement(3, 10), "3/9"); // the maximum as shown between lines
    annotation.setPlacement(VXQGridAnnotation::kOnLines);
    EXPECT_EQ(annotation.annotationStringForElementMaxElement(3, 10), "3/10");
}

TEST(AnnotationLabels, ReversedLabelsOnAndBetweenLines)
{
    GridOwnerForTesting owner;
    owner.rect = QRectF(0, 0, 400, 200);
    owner.span = 40;
    VXQGridAnnotation annotation;
    annotation.setOwner(&owner);
    annotation.setIsReversed(true);
    ASSERT_EQ(annotation.maximumElement(), 10);
    EXPECT_EQ(labelsOf(annotation, 11, 10),
              QStringList({"10", "09", "08", "07", "06", "05", "04", "03", "02", "01", "00"}));
    annotation.setPlacement(VXQGridAnnotation::kBetweenLines);
    EXPECT_EQ(labelsOf(annotation, 10, 10), QStringList({"09", "08", "07", "06", "05", "04", "03", "02", "01", "00"}));
    // The eleventh cell label would start past the right border.
    EXPECT_TRUE(annotation.labelRectForElementMaxElementAtEdge(9, 10, VXQGridAnnotation::kNearSide));
    EXPECT_FALSE(annotation.labelRectForElementMaxElementAtEdge(10, 10, VXQGridAnnotation::kNearSide));
    EXPECT_FALSE(annotation.labelRectForElementMaxElementAtEdge(0, 10, VXQGridAnnotation::kNoSide));

    annotation.setLabelSkipInterval(2);
    QList<int> drawn;
    for (int element = 0; element <= 10; ++element)
        if (annotation.labelRectForElementMaxElementAtEdge(element, 10, VXQGridAnnotation::kFarSide))
            drawn << element;
    EXPECT_EQ(drawn, QList<int>({0, 2, 4, 6, 8}));
}

TEST(AnnotationLabels, PlacesLabelsOutsideTheBandsAndTurnsThem)
{
    GridOwnerForTesting owner;
    owner.rect = QRectF(100, 80, 200, 100);
    owner.span = 50;
    owner.allowance = 7;
    VXQGridAnnotation columns;
    columns.setOwner(&owner);
    columns.setDigits(4);
    const QRectF top = *columns.labelRectForElementMaxElementAtEdge(1, 4, VXQGridAnnotation::kNearSide);
    const QRectF bottom = *columns.labelRectForElementMaxElementAtEdge(1, 4, VXQGridAnnotation::kFarSide);
    EXPECT_DOUBLE_EQ(top.bottom(), 80 - 8.4); // 0.7 x (7 + 5)
    EXPECT_DOUBLE_EQ(bottom.top(), 180 + 8.4);
    EXPECT_DOUBLE_EQ(top.center().x(), 150);
    EXPECT_GT(top.width(), top.height()); // "0001" lies flat
    columns.setPlacement(VXQGridAnnotation::kBetweenLines);
    EXPECT_DOUBLE_EQ(columns.labelRectForElementMaxElementAtEdge(1, 4, 1)->center().x(), 175);

    VXQGridAnnotation rows;
    rows.setOwner(&owner);
    rows.setOrientationIsVertical(true);
    const QRectF left = *rows.labelRectForElementMaxElementAtEdge(1, 2, VXQGridAnnotation::kNearSide);
    const QRectF right = *rows.labelRectForElementMaxElementAtEdge(1, 2, VXQGridAnnotation::kFarSide);
    EXPECT_DOUBLE_EQ(left.right(), 100 - 12);
    EXPECT_DOUBLE_EQ(right.left(), 300 + 12);
    EXPECT_DOUBLE_EQ(left.center().y(), 130);
    rows.setIsRotated(true);
    const QRectF turned = *rows.labelRectForElementMaxElementAtEdge(1, 2, VXQGridAnnotation::kNearSide);
    EXPECT_DOUBLE_EQ(turned.width(), left.height());
    EXPECT_DOUBLE_EQ(turned.height(), left.width());
    EXPECT_DOUBLE_EQ(turned.right(), 100 - 12);
}

TEST(AnnotationLabels, DrawsInsideThePlacedRectanglesFlatAndTurned)
{
    GridOwnerForTesting owner;
    owner.rect = QRectF(60, 60, 100, 100);
    owner.span = 50;
    for (const bool vertical : {false, true}) {
        for (const bool rotated : {false, true}) {
            VXQGridAnnotation annotation;
            annotation.setOwner(&owner);
            annotation.setOrientationIsVertical(vertical);
            annotation.setIsRotated(rotated);
            const QImage image = paintedImage({220, 220}, {}, [&] {
                annotation.drawInRectAtEdge(QRectF(0, 0, 220, 220), kVXQGridAllEdges);
            });
            QList<QRectF> rects;
            for (int element = 0; element <= 2; ++element)
                for (int side : {VXQGridAnnotation::kNearSide, VXQGridAnnotation::kFarSide})
                    rects << annotation.labelRectForElementMaxElementAtEdge(element, 2, side)->adjusted(-1, -1, 1, 1);
            int inside = 0;
            int outside = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (qAlpha(image.pixel(x, y)) == 0)
                        continue;
                    const bool within = std::any_of(rects.cbegin(), rects.cend(), [&](const QRectF& rect) {
                        return rect.contains(QPointF(x + 0.5, y + 0.5));
                    });
                    (within ? inside : outside) += 1;
                }
            }
            EXPECT_GT(inside, 200) << vertical << rotated;
            EXPECT_EQ(outside, 0) << vertical << rotated;
        }
    }
}

// Map tiles are drawn on worker threads that come and go: labels first drawn on one that has
// ended must still draw, and the same, on the main thread.
TEST(AnnotationLabels, DrawTheSameAfterAWorkerThreadDrewThemAndEnded)
{
    GridOwnerForTesting owner;
    owner.rect = QRectF(60, 60, 100, 100);
    owner.span = 50;
    VXQGridAnnotation annotation;
    annotation.setOwner(&owner);
    const auto draw = [&] {
        return paintedImage({220, 220}, {}, [&] { annotation.drawInRectAtEdge(QRectF(0, 0, 220, 220), kVXQGridAllEdges); });
    };
    for (int round = 0; round < 3; ++round) {
        QImage onWorker;
        std::unique_ptr<QThread> worker(QThread::create([&] { onWorker = draw(); }));
        worker->start();
        ASSERT_TRUE(worker->wait(10000));
        worker.reset();
        EXPECT_EQ(draw(), onWorker) << round;
    }
}

TEST(AnnotationLabels, ReferencesCarryTheDivisionDigitAndMatchDrawnLabels)
{
    GridOwnerForTesting owner;
    owner.rect = QRectF(0, 0, 100, 100);
    VXQGridAnnotation columns;
    columns.setOwner(&owner);
    columns.setIsAlphabetic(true);
    VXQGridAnnotation rows;
    rows.setOwner(&owner);
    rows.setOrientationIsVertical(true);
    // Third column, halfway down the fifth row.
    EXPECT_EQ(columns.refStringForPositionWithPrecision(25, 4) + rows.refStringForPositionWithPrecision(45, 4), "C04");
    EXPECT_EQ(columns.refStringForPositionWithPrecision(25, 6) + rows.refStringForPositionWithPrecision(45, 6), "C045");
    EXPECT_EQ(rows.refStringForPositionWithPrecision(25, 6), "025");
    EXPECT_EQ(rows.refStringForPositionWithPrecision(-1, 4), "");
    EXPECT_EQ(rows.refStringForPositionWithPrecision(100.5, 4), "");

    // An interior that is no whole number of spans: a reversed cell's reference is its drawn label.
    owner.rect = QRectF(0, 0, 95, 95);
    rows.setIsReversed(true);
    for (int placement : {VXQGridAnnotation::kOnLines, VXQGridAnnotation::kBetweenLines}) {
        rows.setPlacement(placement);
        const int maximum = *rows.maximumElement();
        for (int cell = 0; cell < 9; ++cell)
            EXPECT_EQ(rows.refStringForPositionWithPrecision(cell * 10 + 5, 4),
                      rows.annotationStringForElementMaxElement(cell, maximum))
                << placement << " " << cell;
    }
    EXPECT_EQ(rows.refStringForPositionWithPrecision(5, 4), "09");
    // Reversed rows count their division digit from the far side, never past the last one.
    EXPECT_EQ(rows.refStringForPositionWithPrecision(2, 6), "098");
    EXPECT_EQ(rows.refStringForPositionWithPrecision(0, 6), "099");
}

TEST(AnnotationLabels, SpansThatAreNoPositiveNumberDrawAndAnswerNothing)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    for (const double span : {0.0, -10.0, std::nan(""), inf, 1e-9}) {
        GridOwnerForTesting owner;
        owner.span = span;
        VXQGridAnnotation annotation;
        annotation.setOwner(&owner);
        EXPECT_FALSE(annotation.maximumElement()) << span;
        EXPECT_EQ(annotation.maxWidthNeeded(), 0.0) << span;
        EXPECT_EQ(annotation.refStringForPositionWithPrecision(20, 6), "") << span;
        const QImage image = paintedImage({120, 120}, QTransform::fromTranslate(10, 30), [&] {
            annotation.drawInRectAtEdge(QRectF(-100, -100, 400, 400), kVXQGridAllEdges);
        });
        EXPECT_EQ(opaquePixelCount(image), 0) << span;
    }
    VXQGridAnnotation orphan;
    EXPECT_FALSE(orphan.maximumElement());
    EXPECT_EQ(orphan.refStringForPositionWithPrecision(20, 6), "");
    EXPECT_FALSE(orphan.labelRectForElementMaxElementAtEdge(0, 1, VXQGridAnnotation::kNearSide));
}

TEST(AnnotationLabels, OwnerMarginStripsAndRedisplay)
{
    VXDrawing drawing;
    drawing.setDrawingSize({600, 400});
    drawing.setMarginsLeftTopRightBottom(40, 30, 50, 60);
    GridOwnerForTesting owner;
    owner.owningDrawing = &drawing;
    owner.rect = drawing.interior();
    owner.allowance = 7;
    VXQGridAnnotation annotation;
    annotation.setOwner(&owner);
    EXPECT_EQ(annotation.boundsForEdge(kVXQGridEdgeLeft), QRectF(0, 0, 33, 400));
    EXPECT_EQ(annotation.boundsForEdge(kVXQGridEdgeRight), QRectF(557, 0, 43, 400));
    EXPECT_EQ(annotation.boundsForEdge(kVXQGridEdgeTop), QRectF(0, 0, 600, 23));
    EXPECT_EQ(annotation.boundsForEdge(kVXQGridEdgeBottom), QRectF(0, 347, 600, 53));

    annotation.setDigits(3);
    EXPECT_EQ(owner.redrawn, QList<QRectF>({annotation.boundsForEdge(1), annotation.boundsForEdge(2),
                                            annotation.boundsForEdge(4), annotation.boundsForEdge(8)}));
    owner.redrawn.clear();
    annotation.setOrientationIsVertical(true);
    annotation.setFormatter(nullptr);
    EXPECT_TRUE(owner.redrawn.isEmpty());

    GridOwnerForTesting other;
    ZQObject stranger;
    EXPECT_THROW(annotation.setOwner(&stranger), platform::NamedException);
    EXPECT_THROW(annotation.setOwner(nullptr), platform::NamedException);
    EXPECT_EQ(annotation.owner(), &owner);
    annotation.setOwner(&other);
    EXPECT_EQ(annotation.gridInfo(), &other);
    {
        GridOwnerForTesting shortLived;
        annotation.setOwner(&shortLived);
    }
    EXPECT_EQ(annotation.gridInfo(), nullptr);
    EXPECT_EQ(annotation.boundsForEdge(kVXQGridEdgeTop), QRectF());
}

TEST(AnnotationLabels, WidestLabelIsMeasured)
{
    GridOwnerForTesting owner;
    owner.rect = QRectF(0, 0, 100, 50);
    VXQGridAnnotation annotation;
    annotation.setOwner(&owner);
    annotation.setStartingOffset(95);
    const double threeDigits = annotation.maxWidthNeeded(); // 95 ... 105
    annotation.setStartingOffset(0);
    const double twoDigits = annotation.maxWidthNeeded();
    EXPECT_GT(twoDigits, 10);
    EXPECT_GT(threeDigits, twoDigits * 1.3);
}
