// The index grid layer: the labelled span, grid references, settings applied as one undo
// step, what the border-line switch hides, style drops, the archive and damaged input.

#include "furniture/grid/VXQSquareAnnotatedGrid.h"

#include "support/ArchiveTesting.h"
#include "app/utilities/DictionaryUtilities.h"
#include "furniture/edges/GridSettingsKeys.h"
#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/ui/MenuItem.h"

#include <QMimeData>

using namespace drawingtest;

namespace {

// A 600 x 400 drawing with 50-point margins: the interior is (50, 50, 500, 300).
struct GridFixture : Fixture {
    std::shared_ptr<VXQSquareAnnotatedGrid> grid = std::make_shared<VXQSquareAnnotatedGrid>();

    explicit GridFixture(double spanDistance = 50, int divisions = 10) : Fixture({600, 400})
    {
        drawing->setMarginsLeftTopRightBottom(50, 50, 50, 50);
        drawing->addLayer(grid);
        grid->setSpanDivisionsMajorsRulerSteps(spanDistance, divisions, 5, 2);
        undo->removeAllActions();
    }
};

bool hasInk(const QImage& image, const QRectF& area, const std::function<bool(const QColor&)>& test)
{
    const QRect pixels = area.toAlignedRect() & image.rect();
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            if (test(image.pixelColor(x, y)))
                return true;
    return false;
}

// Anything drawn on the white paper.
bool inked(const QColor& c)
{
    return c.alpha() > 128 && (c.red() < 230 || c.green() < 230 || c.blue() < 230);
}

} // namespace

TEST(GridLayer, LabelledSpanIsWholeSpansOfAtLeastACentimetreTimesTheMultiplier)
{
    GridFixture f(28.35, 10);
    EXPECT_NEAR(f.grid->spanLength(), 28.35, 1e-9);
    f.grid->setSpanMultiplier(3); // three units a span, each still 28.35 points
    EXPECT_NEAR(f.grid->spanLength(), 3 * 28.35, 1e-9);
    f.grid->setSpanMultiplier(1);
    f.grid->setSpanDivisionsMajorsRulerSteps(2.835, 10, 5, 2);
    EXPECT_NEAR(f.grid->spanLength(), 10 * 2.835, 1e-9); // ceil(27.346 / 2.835)
    f.grid->setDivisions(2);
    EXPECT_NEAR(f.grid->spanLength(), 4 * 2.835, 1e-9); // never more than twice the divisions
    EXPECT_EQ(f.grid->divisionsPerSpan(), 2u);
    EXPECT_DOUBLE_EQ(f.grid->borderAllowance(), 5.0 + 2.0);
    EXPECT_EQ(f.grid->borderRect(), QRectF(50, 50, 500, 300));
    EXPECT_FALSE(f.grid->isMasterGrid());
    EXPECT_FALSE(f.grid->icon().isNull());

    // A grid outside a drawing frames nothing.
    VXQSquareAnnotatedGrid loose;
    EXPECT_EQ(loose.borderRect(), QRectF());
    EXPECT_TRUE(loose.verticalAnnotation()->isReversed());
    EXPECT_TRUE(loose.verticalAnnotation()->orientationIsVertical());
    EXPECT_FALSE(loose.horizontalAnnotation()->orientationIsVertical());
    EXPECT_EQ(loose.horizontalAnnotation()->owner(), &loose);
    EXPECT_EQ(loose.borders().size(), 1);
}

TEST(GridLayer, ReferencesJoinTheColumnLetterAndTheRowNumberWithItsDivisionDigit)
{
    GridFixture f(50, 10);
    f.grid->horizontalAnnotation()->setIsAlphabetic(true);
    const VXQGridAnnotationPtr& rows = f.grid->verticalAnnotation();
    rows->setIsReversed(false);
    rows->setDigits(2);
    // The third column, halfway down the fifth row.
    const QPointF point(50 + 2.5 * 50, 50 + 4.5 * 50);
    EXPECT_EQ(f.grid->gridReferenceForPointWithPrecision(point, 4).string(), QStringLiteral("C04"));
    const VXQGridReference fine = f.grid->gridReferenceForPoint(point);
    EXPECT_EQ(fine.string(), QStringLiteral("C045"));
    EXPECT_EQ(fine.eastings(), QStringLiteral("C"));
    EXPECT_EQ(fine.northings(), QStringLiteral("045"));
    EXPECT_EQ(fine.representedPoint(), point);
    EXPECT_EQ(fine.precision(), 6u);
}

TEST(GridLayer, SettingsRoundTripAsOneUndoStepAndALockedGridIgnoresThem)
{
    GridFixture f;
    const QVariantMap original = f.grid->settings();
    EXPECT_EQ(original.value(kVXQMapGridHorizontalAnnotationPlacement),
              f.grid->verticalAnnotation()->settings().value(kVXQMapGridHorizontalAnnotationPlacement));

    QVariantMap changed = original;
    setIntValueForKey(changed, 1, kVXQMapGridHorizontalAnnotationType);
    setIntValueForKey(changed, 3, kVXQMapGridVerticalDigits);
    setIntValueForKey(changed, 1, kVXQMapGridHorizontalAnnotationPlacement);
    setBoolValueForKey(changed, true, kVXQMapGridVerticalAnnotationRotated);
    setFloatValueForKey(changed, 7.5f, kVXQMapGridBorderWidth);
    setBoolValueForKey(changed, true, kVXQMapGridBorderOrdnanceSurveyStyle);
    setBoolValueForKey(changed, false, kVXQMapGridHasTopBorder);
    setBoolValueForKey(changed, false, kVXQMapGridHasTopAnnotation);
    setFloatValueForKey(changed, 2.0f, kVXQMapGridSpanMultiplier);
    setIntValueForKey(changed, 5, kVXQMapGridDivisions);
    setIntValueForKey(changed, 3, kVXQMapGridMajors);
    QColor colour(200, 0, 0);
    colour.setAlphaF(0.5f); // span lines are the theme colour at half strength
    changed.insert(kVXQMapGridColour, colour);
    setBoolValueForKey(changed, true, kVXQMapGridShowsDivisions);
    setBoolValueForKey(changed, false, kVXQMapGridEnabled);
    setBoolValueForKey(changed, false, kVXQMapGridBorderLineEnabled);

    f.grid->applySettings(changed);
    EXPECT_EQ(f.grid->settings(), changed);
    EXPECT_EQ(f.grid->annotationEdges(), kVXQGridEdgeLeft | kVXQGridEdgeRight | kVXQGridEdgeBottom);
    EXPECT_EQ(f.grid->divisions(), 5);
    EXPECT_DOUBLE_EQ(f.grid->spanDistance(), 100); // two units of 50 points
    EXPECT_FALSE(f.grid->divisionsHidden());
    EXPECT_EQ(f.grid->verticalAnnotation()->placement(), 1);
    EXPECT_EQ(f.grid->horizontalAnnotation()->placement(), 1);

    f.endStep();
    EXPECT_EQ(f.undo->undoStack().size(), 1u);
    f.undo->undo();
    EXPECT_EQ(f.grid->settings(), original);
    EXPECT_DOUBLE_EQ(f.grid->spanDistance(), 50);
    f.undo->redo();
    EXPECT_EQ(f.grid->settings(), changed);

    // A multiplier below one is applied as one; a locked grid takes nothing.
    setFloatValueForKey(changed, 0.5f, kVXQMapGridSpanMultiplier);
    f.grid->applySettings(changed);
    EXPECT_DOUBLE_EQ(f.grid->spanMultiplier(), 1.0);
    f.endStep();
    f.grid->setLocked(true);
    f.endStep();
    const size_t steps = f.undo->undoStack().size();
    f.grid->applySettings(original);
    EXPECT_EQ(f.undo->undoStack().size(), steps);
    EXPECT_EQ(f.grid->divisions(), 5);
}

TEST(GridLayer, EmptyOrMistypedSettingsReadZeroAndStillDrawSafely)
{
    GridFixture f;
    QVariantMap mistyped;
    mistyped.insert(kVXQMapGridDivisions, QStringLiteral("ten"));
    mistyped.insert(kVXQMapGridSpanMultiplier, std::nan(""));
    mistyped.insert(kVXQMapGridColour, 42);
    for (const QVariantMap& settings : {QVariantMap(), mistyped}) {
        f.grid->applySettings(settings);
        EXPECT_EQ(f.grid->divisions(), 1);
        EXPECT_EQ(f.grid->majors(), 1);
        EXPECT_DOUBLE_EQ(f.grid->spanMultiplier(), 1.0);
        EXPECT_EQ(f.grid->annotationEdges(), 0);
        EXPECT_FALSE(f.grid->gridVisible());
        EXPECT_GT(f.grid->spanLength(), 0);
        render(*f.drawing); // nothing hangs or divides by zero
    }
}

TEST(GridLayer, BorderLineSwitchHidesLineAndStyleWhileBandsAndLabelsDraw)
{
    GridFixture f;
    const QRectF interior = f.grid->borderRect();
    const auto red = [](const QColor& c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
    f.grid->setBorderlineStyle(strokeStyle(Qt::red, 4));
    const QRectF leftLine(interior.left() - 1, 150, 2, 100);
    EXPECT_TRUE(hasInk(render(*f.drawing), leftLine, red));

    f.grid->setDrawsBorderLine(false);
    const QImage hidden = render(*f.drawing);
    EXPECT_FALSE(hasInk(hidden, leftLine, red));
    // The band (offset 2, width 5) and the row labels to its left still draw.
    EXPECT_TRUE(hasInk(hidden, QRectF(interior.left() - 6, 150, 3, 100), inked));
    const VXQGridAnnotationPtr& rows = f.grid->verticalAnnotation();
    const std::optional<QRectF> label = rows->labelRectForElementMaxElementAtEdge(2, *rows->maximumElement(), 1);
    ASSERT_TRUE(label);
    EXPECT_LT(label->right(), interior.left() - 7);
    EXPECT_TRUE(hasInk(hidden, *label, inked));

    // The grid hidden too: still no border line, bands and labels stay.
    f.grid->setGridVisible(false);
    f.grid->setDrawsBorderLine(true);
    const QImage gridless = render(*f.drawing);
    EXPECT_TRUE(hasInk(gridless, leftLine, red));
    EXPECT_FALSE(hasInk(gridless, QRectF(interior.left() + 45, 150, 10, 100), inked)); // no grid line at 100
    EXPECT_TRUE(hasInk(gridless, *label, inked));
}

TEST(GridLayer, DroppedStylesDrawTheBorderLineAndBadDropsAreRefused)
{
    GridFixture f;
    EXPECT_TRUE(f.grid->layerMayBecomeActive());
    EXPECT_EQ(f.grid->pasteboardTypesForOperation(kVXReadableTypesForDrop), QStringList{kVXStylePasteboardType});
    EXPECT_TRUE(f.grid->pasteboardTypesForOperation(kVXWritableTypesForCopy).isEmpty());

    QMimeData empty;
    const platform::DraggingInfo refused{&empty, {}, nullptr};
    EXPECT_EQ(f.grid->draggingEntered(refused), kVXDragOperationGeneric);
    EXPECT_TRUE(f.grid->showDragHighlight());
    EXPECT_FALSE(f.grid->performDragOperation(refused));
    EXPECT_FALSE(f.grid->showDragHighlight());
    EXPECT_FALSE(f.grid->borderlineStyle());

    QMimeData data;
    strokeStyle(Qt::blue, 3)->copyToPasteboard(&data);
    const platform::DraggingInfo info{&data, {}, nullptr};
    f.grid->draggingEntered(info);
    EXPECT_TRUE(f.grid->performDragOperation(info));
    ASSERT_TRUE(f.grid->borderlineStyle());
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Drag and Drop Border Style"));
    platform::MenuItem clear(QString(), "clearBorderStyle");
    EXPECT_TRUE(f.grid->validateMenuItem(&clear));
    f.endStep();
    f.grid->clearBorderStyle();
    EXPECT_FALSE(f.grid->borderlineStyle());
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Clear Border"));
    EXPECT_FALSE(f.grid->validateMenuItem(&clear));
    f.endStep();
    f.undo->undo();
    EXPECT_EQ(f.grid->borderlineStyle()->strokeColour(), QColor(Qt::blue));
    f.undo->undo();
    EXPECT_FALSE(f.grid->borderlineStyle());
}

TEST(GridLayer, FontSettersReachBothAnnotationsAndObserversOfDependentKeys)
{
    GridFixture f;
    QStringList changed;
    QObject receiver;
    for (const QString& key : {QStringLiteral("font"), QStringLiteral("fontName"), QStringLiteral("fontSize")})
        f.grid->observeKeyPath(key, {}, &receiver, [&changed, key](const platform::KeyValueChange&) {
            changed.append(key);
        });
    f.grid->setFontSize(20);
    EXPECT_DOUBLE_EQ(f.grid->fontSize(), 20);
    const platform::TextAttributes rowAttributes = f.grid->verticalAnnotation()->textAttributes();
    EXPECT_DOUBLE_EQ(rowAttributes.value(platform::kFontAttributeName).value<QFont>().pointSizeF(), 20);
    EXPECT_TRUE(changed.contains("font") && changed.contains("fontSize"));
    f.grid->setFontColour(Qt::darkRed);
    EXPECT_EQ(f.grid->verticalAnnotation()->textAttributes().value(platform::kForegroundColourAttributeName),
              QVariant(QColor(Qt::darkRed)));
    f.grid->setFontSize(-3);
    f.grid->setFontSize(std::nan(""));
    EXPECT_DOUBLE_EQ(f.grid->fontSize(), 20);
}

TEST(GridLayer, ArchiveKeepsEverythingAndDamagedArchivesGiveAUsableGrid)
{
    GridFixture f;
    f.grid->horizontalAnnotation()->setIsAlphabetic(true);
    f.grid->setAnnotationEdges(kVXQGridEdgeTop | kVXQGridEdgeLeft);
    f.grid->setGridVisible(false);
    f.grid->setDrawsBorderLine(false);
    f.grid->setBorderlineStyle(strokeStyle(Qt::green, 2));
    auto second = VXQGridBorder::defaultBorder();
    second->setWidth(9);
    f.grid->addBorder(second);
    auto copy = std::dynamic_pointer_cast<VXQSquareAnnotatedGrid>(f.grid->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->settings(), f.grid->settings());
    EXPECT_EQ(copy->annotationEdges(), kVXQGridEdgeTop | kVXQGridEdgeLeft);
    EXPECT_FALSE(copy->gridVisible());
    EXPECT_FALSE(copy->drawsBorderLine());
    ASSERT_EQ(copy->borders().size(), 2);
    EXPECT_DOUBLE_EQ(copy->borders().at(1)->width(), 9);
    EXPECT_EQ(copy->borders().at(1)->owner(), copy.get());
    EXPECT_EQ(copy->horizontalAnnotation()->owner(), copy.get());
    EXPECT_TRUE(copy->verticalAnnotation()->orientationIsVertical());
    EXPECT_EQ(copy->borderlineStyle()->strokeColour(), QColor(Qt::green));

    // Zero divisions, a span that is not a number, edges out of range, no borders and no
    // annotations: the grid opens with the setters' limits and its defaults.
    testsupport::ArchiveStub stub;
    stub.values.insert(QStringLiteral("VXGridLayer_divisions"), 0);
    stub.values.insert(QStringLiteral("VXGridLayer_spanDistance"), std::nan(""));
    stub.values.insert(QStringLiteral("VXGridLayer_spanMultiplier"), -4.0);
    stub.values.insert(QStringLiteral("VXQSquareAnnotatedGrid_anno_edges"), 99);
    const auto damaged = std::dynamic_pointer_cast<VXQSquareAnnotatedGrid>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXQSquareAnnotatedGrid"))));
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->divisions(), 10); // out of range: the default
    EXPECT_EQ(damaged->annotationEdges(), kVXQGridAllEdges);
    EXPECT_EQ(damaged->borders().size(), 1);
    EXPECT_EQ(damaged->borders().first()->owner(), damaged.get());
    EXPECT_TRUE(damaged->horizontalAnnotation() && damaged->verticalAnnotation());
    f.drawing->addLayer(damaged);
    EXPECT_GT(damaged->spanLength(), 0);
    render(*f.drawing);
}
