#include "TerrainTestSupport.h"

#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/UserDefaults.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"
#include "support/TestSupport.h"
#include "terrain/layer/ContourUnits.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "terrain/section/VXQContourCrossSection.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <limits>

using terraintest::LayerFixture;
using terraintest::grid;

namespace {

QList<double> levelsOf(const ZQContourLayer& layer)
{
    QList<double> levels;
    for (quint64 i = 0; i < layer.countOfContours(); ++i)
        levels.append(layer.contourForIndex(i));
    return levels;
}

} // namespace

TEST(ContourLayer, ANewLayerSpreadsAFlatGridOverTheInteriorAndDrawsNoContours)
{
    LayerFixture f;
    const auto& heights = f.layer->heightMap();
    ASSERT_NE(heights, nullptr);
    EXPECT_EQ(heights->columns(), 35u);
    EXPECT_EQ(heights->rows(), 48u);
    EXPECT_EQ(heights->count(), 35u * 48u);
    EXPECT_EQ(heights->indexOfObject(3.5), ZQMatrixArray::Index({0, 0}));
    EXPECT_EQ(heights->objects().count(3.5), 35 * 48);
    EXPECT_EQ(f.layer->crossSectionRow(), 24u);
    EXPECT_EQ(f.layer->terrainHeightForLevelMode(), 3.5);
    // The one level (10) lies above every height, so nothing crosses it.
    EXPECT_EQ(levelsOf(*f.layer), QList<double>({10.0}));
    EXPECT_TRUE(f.layer->contourPaths().isEmpty());
    // Grid points from the interior's origin, one cell apart; the far ones lie past the interior.
    EXPECT_EQ(f.at(34, 47), QPointF(510, 705));
    EXPECT_EQ(f.layer->indexForPoint({29.9, 15}), ZQMatrixArray::Index({1, 1}));
    EXPECT_EQ(f.layer->indexForPoint({500.5, 15}), ZQMatrixArray::kNotFoundIndex);
}

TEST(ContourLayer, LevelsRunFromTheMultipleAtOrBelowTheLowestHeightToTheFirstAboveTheHighest)
{
    LayerFixture f;
    QList<double> heights;
    for (int i = 0; i < 50; ++i)
        heights.append(-12 + i);
    f.layer->setHeightMap(grid(10, heights));
    f.layer->setContourInterval(5);
    EXPECT_EQ(levelsOf(*f.layer), QList<double>({-10, -5, 0, 5, 10, 15, 20, 25, 30, 35, 40}));
    EXPECT_EQ(f.layer->minHeight(), -15);
    EXPECT_EQ(f.layer->maxHeight(), 40);
    EXPECT_EQ(f.layer->baseHeight(), -15);

    // The base height moves every height so the lowest level lands on it.
    f.layer->setBaseHeight(0);
    EXPECT_EQ(f.height(0, 0), 3);
    EXPECT_EQ(f.height(9, 4), 52);
    EXPECT_EQ(f.layer->baseHeight(), 0);
}

TEST(ContourLayer, BadIntervalsAreRefusedEmptyGridsHaveNoLevelsAndTinyIntervalsAreCapped)
{
    LayerFixture f;
    for (double bad : {0.0, -5.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        f.layer->setContourInterval(bad);
        EXPECT_EQ(f.layer->contourInterval(), 10.0) << bad;
    }
    EXPECT_FALSE(f.undo->canUndo());

    f.layer->setHeightMap(ZQMatrixArray::makeWithRowWidth(4));
    EXPECT_EQ(f.layer->countOfContours(), 0u);
    EXPECT_TRUE(f.layer->contourPaths().isEmpty());

    f.layer->setHeightMap(grid(2, {0, 400, 0, 400}));
    f.layer->setContourInterval(1e-6);
    EXPECT_EQ(f.layer->countOfContours(), ContourLevels::kMaximumCount);
    EXPECT_LE(f.layer->contourPaths().size(), qsizetype(ContourLevels::kMaximumCount));
}

TEST(ContourLayer, EachSettingIsOneNamedUndoStepAndTheCurrentValueIsNoStep)
{
    LayerFixture f;
    const auto replacement = grid(2, {1, 2, 3, 4});
    struct Step {
        std::function<void()> change;
        QString name;
    };
    const QList<Step> steps{
        {[&] { f.layer->setContourInterval(20); }, "Contour Interval"},
        {[&] { f.layer->setContourColour(Qt::green); }, "Contour Colour"},
        {[&] { f.layer->setNegativeContourColour(Qt::blue); }, "Contour Negative Colour"},
        {[&] { f.layer->setContourLineWidth(1.5); }, "Contour Line Width"},
        {[&] { f.layer->setBaseHeight(100); }, "Contour Base Height"},
        {[&] { f.layer->setSimplifiesContours(true); }, "Simplify Contours"},
        {[&] { f.layer->setSmoothsContours(false); }, "Smooth Contours"},
        {[&] { f.layer->setUnits(ContourUnits::kFeet); }, "Contour Units"},
        {[&] { f.layer->setHeightMap(replacement); }, "Change Contour Map"},
    };
    for (const Step& step : steps) {
        step.change();
        f.endStep();
        EXPECT_EQ(f.undo->undoActionName(), step.name);
        step.change(); // the same value again
        f.endStep();
    }
    EXPECT_EQ(f.undo->undoStack().size(), steps.size());
    EXPECT_EQ(f.height(0, 0), 1);
    for (int i = 0; i < steps.size(); ++i)
        f.undo->undo();
    EXPECT_EQ(f.layer->contourInterval(), 10);
    EXPECT_EQ(f.layer->contourColour(), QColor::fromRgbF(0.6, 0.4, 0.2));
    EXPECT_EQ(f.layer->contourLineWidth(), 0.2);
    EXPECT_EQ(f.layer->baseHeight(), 0);
    EXPECT_FALSE(f.layer->simplifiesContours());
    EXPECT_TRUE(f.layer->smoothsContours());
    EXPECT_EQ(f.layer->units(), ContourUnits::kMetres);
    EXPECT_EQ(f.height(3, 3), 3.5);
    f.undo->redo();
    EXPECT_EQ(f.layer->contourInterval(), 20);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Contour Interval"));
}

TEST(ContourLayer, FeetShowTheIntervalAndBaseHeightScaledAndKeepWhatTheUserSeesThroughAnArchive)
{
    LayerFixture f;
    f.layer->setUnits(ContourUnits::kFeet);
    EXPECT_NEAR(f.layer->contourInterval(), 32.81, 1e-9);
    f.layer->setContourInterval(10);
    EXPECT_NEAR(f.layer->contourInterval(), 10, 1e-12);
    EXPECT_NEAR(f.layer->contourLevels().interval, 3.048, 1e-3);
    EXPECT_NEAR(f.layer->baseHeight(), f.layer->minHeight() * 3.281, 1e-9);

    const auto copy = testsupport::roundTrip<ZQContourLayer>(*f.layer);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->units(), ContourUnits::kFeet);
    EXPECT_NEAR(copy->contourInterval(), 10, 1e-9);
    EXPECT_EQ(copy->heightMap()->objects(), f.layer->heightMap()->objects());
    EXPECT_EQ(copy->heightMap()->rowWidth(), 35u);

    // Units outside the list show with factor 1 and no abbreviation.
    EXPECT_EQ(ContourUnits::factorForUnits(QStringLiteral("Yards")), 1.0);
    EXPECT_EQ(ContourUnits::abbreviationForUnits(QStringLiteral("Yards")), QString());
    EXPECT_EQ(ContourUnits::abbreviationForUnits(ContourUnits::kFeet), QStringLiteral("ft."));
}

TEST(ContourLayer, TheUnitListIsWrittenBackWhenAbsentAndGrowsByNewNamesOnly)
{
    platform::UserDefaults* defaults = platform::UserDefaults::standardUserDefaults();
    defaults->removeObjectForKey(ContourUnits::kAvailableUnitsKey);
    EXPECT_EQ(ContourUnits::availableUnits(), QStringList({"Metres", "Feet"}));
    EXPECT_TRUE(defaults->objectForKey(ContourUnits::kAvailableUnitsKey).isValid());
    ContourUnits::addUnit(QStringLiteral("Yards"));
    ContourUnits::addUnit(QStringLiteral("Feet"));
    EXPECT_EQ(ContourUnits::availableUnits(), QStringList({"Metres", "Feet", "Yards"}));
    defaults->removeObjectForKey(ContourUnits::kAvailableUnitsKey);
}

TEST(ContourLayer, ArchivesRoundTripEveryStoredSetting)
{
    LayerFixture f;
    f.layer->setHeightMap(grid(3, {1, 2.5, -3, 40, 5, 6}));
    f.layer->setContourColour(Qt::darkGreen);
    f.layer->setNegativeContourColour(QColor());
    f.layer->setContourLineWidth(0.75);
    f.layer->setContourInterval(2.5);
    f.layer->setSimplifiesContours(true);
    f.layer->setSmoothsContours(false);
    const auto copy = testsupport::roundTrip<ZQContourLayer>(*f.layer);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->layerName(), QStringLiteral("Terrain"));
    EXPECT_EQ(copy->cellSize(), 15.0);
    EXPECT_EQ(copy->heightMap()->objects(), QList<double>({1, 2.5, -3, 40, 5, 6}));
    EXPECT_EQ(copy->heightMap()->rowWidth(), 3u);
    EXPECT_EQ(copy->contourColour(), QColor(Qt::darkGreen));
    EXPECT_FALSE(copy->negativeContourColour().isValid());
    EXPECT_EQ(copy->contourLineWidth(), 0.75);
    EXPECT_EQ(copy->contourInterval(), 2.5);
    EXPECT_TRUE(copy->simplifiesContours());
    EXPECT_FALSE(copy->smoothsContours());
    EXPECT_TRUE(copy->showsCrossSection());
    EXPECT_EQ(copy->crossSectionRow(), 1u);
    EXPECT_EQ(copy->kernelSize(), 7u);
    EXPECT_EQ(copy->terrainHeightForLevelMode(), 0.0);
}

TEST(ContourLayer, DamagedArchivesOpenWithSafeValues)
{
    testsupport::LogCapture log;
    const auto decode = [](const testsupport::ArchiveStub& stub) {
        return std::dynamic_pointer_cast<ZQContourLayer>(
            platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("ZQContourLayer"))));
    };
    testsupport::ArchiveStub stub;
    stub.values = {{"ZQContourLayer_cellSize", -3.0},
                   {"ZQContourLayer_contourInterval", 0.0},
                   {"ZQContourLayer_contourLineWidth", -1.0}};
    stub.objects["ZQContourLayer_heightMap"] =
        grid(2, {1, std::numeric_limits<double>::infinity(), 3, std::nan("")});
    auto layer = decode(stub);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->cellSize(), 16.0);
    EXPECT_EQ(layer->contourInterval(), 10.0);
    EXPECT_EQ(layer->contourLineWidth(), 0.2);
    EXPECT_EQ(layer->heightMap(), nullptr);
    EXPECT_EQ(layer->units(), ContourUnits::kMetres);

    // A row width that does not fit the values is refused; the layer gets a grid of its own on joining.
    stub.values = {{"ZQContourLayer_cellSize", 1e-9}};
    stub.objects["ZQContourLayer_heightMap"] = grid(4, {1, 2, 3, 4, 5, 6});
    layer = decode(stub);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->heightMap(), nullptr);
    auto drawing = VXDrawing::drawingWithSize({500, 700});
    drawing->addLayer(layer);
    // A tiny cell size is widened so the new grid stays bounded.
    ASSERT_NE(layer->heightMap(), nullptr);
    EXPECT_LE(layer->heightMap()->count(), ZQContourLayer::kMaximumGridCount);
    EXPECT_GT(layer->heightMap()->count(), ZQContourLayer::kMaximumGridCount / 2);
    EXPECT_GT(layer->cellSize(), 0.2);
}

TEST(ContourLayer, ExportThenImportReproducesTheGridExactlyInOneUndoStep)
{
    LayerFixture f;
    f.layer->setHeightMap(grid(3, {1, 2.25, -3, 1e6, 0.1f, 547}));
    f.forgetEdits();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("heights.txt"));
    ASSERT_TRUE(f.layer->exportHeightMapToFile(path));
    const auto exported = f.layer->heightMap();
    f.layer->setHeightMap(grid(1, {0}));
    f.forgetEdits();

    ASSERT_TRUE(f.layer->importHeightMap(path));
    f.endStep();
    EXPECT_EQ(f.layer->heightMap()->rowWidth(), 3u);
    EXPECT_EQ(f.layer->heightMap()->objects(), exported->objects());
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Import Height Map"));
    f.undo->undo();
    EXPECT_EQ(f.layer->heightMap()->objects(), QList<double>({0}));

    // The sample grid keeps its own size; the cell size stays.
    ASSERT_TRUE(f.layer->importHeightMap(testsupport::sampleDataPath(QStringLiteral("terrain/luxembourg-elevation.txt"))));
    EXPECT_EQ(f.layer->heightMap()->columns(), 95u);
    EXPECT_EQ(f.layer->heightMap()->rows(), 90u);
    EXPECT_EQ(f.layer->cellSize(), 15.0);
}

TEST(ContourLayer, IrregularUnreadableOrEmptyHeightFilesChangeNothing)
{
    LayerFixture f;
    testsupport::LogCapture log;
    QTemporaryDir folder;
    const auto write = [&](const QString& name, const QByteArray& text) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    };
    const QList<double> before = f.layer->heightMap()->objects();
    const QString expected = QStringLiteral("The data could not be imported. | The file does not contain height data "
                                            "in a format that Quorvane can read.");

    EXPECT_FALSE(f.layer->importHeightMap(write("irregular.txt", "1\t2\t3\t\n4\t5\t\n")));
    EXPECT_EQ(terraintest::takeShownAlert(),
              expected + QStringLiteral(" (number of items in each row differs - irregular matrix is not supported)"));
    EXPECT_FALSE(f.layer->importHeightMap(folder.filePath(QStringLiteral("missing.txt"))));
    EXPECT_TRUE(terraintest::takeShownAlert().startsWith(expected + QStringLiteral(" (")));
    EXPECT_FALSE(f.layer->importHeightMap(write("empty.txt", "\n\r\n")));
    EXPECT_EQ(terraintest::takeShownAlert(), QString());

    // Heights that are not numbers would read as 0; heights beyond single precision would
    // become infinite at the first brush step. Finite ones are not called otherwise.
    const QList<std::pair<QByteArray, QString>> refusals{
        {"nan", QStringLiteral("“nan” in row 2 is not a finite number")},
        {"-INF", QStringLiteral("“-INF” in row 2 is not a finite number")},
        {"1e999", QStringLiteral("“1e999” in row 2 is a number out of range")},
        {"1e39", QStringLiteral("the height 1e+39 (row 2, column 2) is out of range: heights lie between "
                                "-3.40282e+38 and 3.40282e+38")},
        {"-1e300", QStringLiteral("the height -1e+300 (row 2, column 2) is out of range")},
    };
    for (const auto& [height, reason] : refusals) {
        EXPECT_FALSE(f.layer->importHeightMap(write("odd.txt", QByteArray("1\t2\t\n3\t") + height + "\t\n")));
        const QString shown = terraintest::takeShownAlert();
        EXPECT_TRUE(shown.startsWith(expected + QStringLiteral(" (") + reason)) << shown.toStdString();
    }
    // More heights than a new grid may have: refused while reading, before the grid is made.
    QByteArray row = QByteArray("0\t").repeated(2000) + '\n';
    EXPECT_FALSE(f.layer->importHeightMap(write("large.txt", row.repeated(int(ZQContourLayer::kMaximumGridCount / 2000) + 1))));
    EXPECT_EQ(terraintest::takeShownAlert(), expected + QStringLiteral(" (more than 4000000 values)"));
    EXPECT_TRUE(f.layer->importHeightMap(write("largest.txt", row.repeated(int(ZQContourLayer::kMaximumGridCount / 2000)))));
    EXPECT_EQ(f.layer->heightMap()->count(), ZQContourLayer::kMaximumGridCount);
    f.endStep();
    f.undo->undo();

    EXPECT_EQ(f.layer->heightMap()->objects(), before);
    f.endStep();
    EXPECT_FALSE(f.undo->canUndo());
}

TEST(ContourLayer, AFailedExportIsAlerted)
{
    LayerFixture f;
    testsupport::LogCapture log;
    QTemporaryDir folder;
    EXPECT_FALSE(f.layer->exportHeightMapToFile(folder.filePath(QStringLiteral("no/such/folder/heights.txt"))));
    EXPECT_TRUE(terraintest::takeShownAlert().startsWith(QStringLiteral("The height map could not be exported.")));
}

TEST(ContourLayer, AGridSmallerThanTheInteriorIsReadOnlyInsideItAndTheSectionRowFollowsIt)
{
    LayerFixture f;
    f.layer->setCrossSectionIsVertical(true);
    EXPECT_EQ(f.layer->crossSectionRow(), 17u);
    f.layer->setHeightMap(grid(2, {1, 2, 3, 4}));
    EXPECT_EQ(f.layer->crossSectionRow(), 1u);
    EXPECT_EQ(f.layer->indexForPoint({100, 100}), ZQMatrixArray::kNotFoundIndex);
    EXPECT_EQ(f.layer->spotHeight({100, 100}), 0.0);
    EXPECT_EQ(f.layer->spotHeight({20, 20}), 4.0);
    f.layer->setTerrainAtIndexToHeightWithKernel({5, 5}, 20, f.layer->kernel().get());
    EXPECT_FALSE(f.layer->modelTerrainAtIndexWithMode({5, 5}, ZQContourLayer::LevelMode));
    EXPECT_EQ(f.layer->heightMap()->objects(), QList<double>({1, 2, 3, 4}));
    // The profile is built from the grid alone.
    ASSERT_NE(f.layer->crossSection(), nullptr);
    EXPECT_FALSE(f.layer->crossSectionBounds().isEmpty());
}

TEST(ContourLayer, ADrawingReopensWithItsSculptedGridAndSection)
{
    LayerFixture f;
    f.layer->modelTerrainAtIndexWithMode({10, 10}, ZQContourLayer::RaiseMode);
    f.layer->setCrossSectionRow(30);
    const auto drawing = testsupport::roundTrip<VXDrawing>(*f.drawing);
    ASSERT_NE(drawing, nullptr);
    auto* layer = qobject_cast<ZQContourLayer*>(drawing->layers().last().get());
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->heightMap()->objects(), f.layer->heightMap()->objects());
    ASSERT_NE(layer->crossSection(), nullptr);
    EXPECT_FALSE(layer->crossSectionIsVertical());
    EXPECT_EQ(layer->crossSectionRow(), 30u);
    // 10 above the row, half a point per metre of 3.5 above the lowest level (0).
    EXPECT_EQ(layer->crossSection()->path().bounds().top(), 30 * 15 - 10 - 1.75);

    f.layer->setCrossSectionIsVertical(true);
    f.layer->setCrossSectionRow(5);
    const auto turned = testsupport::roundTrip<VXDrawing>(*f.drawing);
    ASSERT_NE(turned, nullptr);
    auto* vertical = qobject_cast<ZQContourLayer*>(turned->layers().last().get());
    EXPECT_TRUE(vertical->crossSectionIsVertical());
    EXPECT_EQ(vertical->crossSectionRow(), 5u);
    EXPECT_EQ(vertical->crossSection()->path().bounds().left(), 5 * 15) << "the section stands on its column";
}

// An imported grid keeps its size and may reach far past the drawing: the section stays on the
// lines that lie on it, turned or moved.
TEST(ContourLayer, TheSectionOfAGridLargerThanTheDrawingStaysOnTheDrawing)
{
    LayerFixture f({300, 240}); // a grid made for it has 22 columns and 18 rows of 15
    f.layer->setHeightMap(grid(96, QList<double>(96 * 90, 7.0)));
    f.layer->setCrossSectionIsVertical(true);
    EXPECT_EQ(f.layer->crossSectionRow(), 11u) << "the middle column on the drawing, not of the grid (48)";
    EXPECT_LT(f.layer->crossSectionBounds().left(), 300.0);
    f.layer->setCrossSectionRow(60);
    EXPECT_EQ(f.layer->crossSectionRow(), 21u);
    f.layer->setCrossSectionIsVertical(false);
    EXPECT_EQ(f.layer->crossSectionRow(), 9u);
    EXPECT_LT(f.layer->crossSectionBounds().bottom(), 240.0);
    f.layer->setCrossSectionRow(80);
    EXPECT_EQ(f.layer->crossSectionRow(), 17u);
    // A smaller grid keeps to its own lines.
    f.layer->setHeightMap(grid(4, QList<double>(4 * 3, 1.0)));
    EXPECT_EQ(f.layer->crossSectionRow(), 2u);
    f.layer->setCrossSectionIsVertical(true);
    EXPECT_EQ(f.layer->crossSectionRow(), 2u);
}

// The grid reaches one to two cells past the interior; the profile runs out to its last point
// and closes from there, never doubling back over itself.
TEST(ContourLayer, TheProfileRunsOnePastTheOtherAndClosesBeyondItsLastPoint)
{
    LayerFixture f({500, 700}); // 35 columns (the last at 510) and 48 rows (the last at 705)
    QList<double> heights;
    for (int i = 0; i < 35 * 48; ++i)
        heights.append(i % 35);
    f.layer->setHeightMap(grid(35, heights));
    for (const bool vertical : {false, true}) {
        f.layer->setCrossSectionIsVertical(vertical);
        const platform::BezierPath& profile = f.layer->crossSection()->path();
        QList<double> along;
        for (int i = 0; i < profile.elementCount(); ++i) {
            QPointF p[3];
            profile.elementAtIndexAssociatedPoints(i, p);
            along.append(vertical ? p[0].y() : p[0].x());
        }
        // The start, back to the near edge and out 10 there, then every point in order out
        // to the far end, and the close back to the start.
        ASSERT_GE(along.size(), 5);
        for (qsizetype i = 3; i < along.size(); ++i)
            EXPECT_GE(along[i], along[i - 1]) << (vertical ? "vertical" : "horizontal") << " element " << i;
        EXPECT_NEAR(along[0], vertical ? 47 * 15 + 1.5 : 34 * 15 + 1.5, 1e-6) << "the section closes at its last point";
    }
}

// The section is drawn beside its grid line, turned either way, in a view of the map.
TEST(ContourLayer, TheSectionShowsInTheViewHorizontalOrVertical)
{
    LayerFixture f({300, 300});
    f.drawing->setActiveLayer(f.layer.get());
    VXDrawingView view;
    view.resize(400, 400);
    view.setDrawing(f.drawing);
    view.show();
    view.setScale(1.0);
    const auto redPixelsNear = [&](QPointF point) {
        const QImage image = view.grab().toImage();
        const QPoint centre = view.convertPointFromDrawing(point).toPoint();
        int red = 0;
        for (int y = centre.y() - 3; y <= centre.y() + 3; ++y)
            for (int x = centre.x() - 3; x <= centre.x() + 3; ++x)
                if (const QColor c = image.pixelColor(x, y); c.red() > 150 && c.green() < 120 && c.blue() < 120)
                    ++red;
        return red;
    };
    // The horizontal section's grid line runs along row 11 (y 165), its profile 10 above.
    EXPECT_GT(redPixelsNear({150, 165}), 0);
    f.layer->setCrossSectionIsVertical(true);
    QCoreApplication::processEvents();
    EXPECT_GT(redPixelsNear({165, 150}), 0) << "the vertical section's grid line on column 11";
    EXPECT_EQ(redPixelsNear({150, 165}), 0) << "the horizontal one is gone";
    f.drawing->setActiveLayer(nullptr);
}
