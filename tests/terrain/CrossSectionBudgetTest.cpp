// A height grid of millions of points along its cross section: the section holds no more
// points than a screen shows along it, keeps every spike, and leaves out the grid beyond the
// drawing.

#include "TerrainTestSupport.h"

#include "platform/graphics/BezierPath.h"
#include "terrain/layer/ContourComputation.h"
#include "terrain/section/ProfileSampling.h"
#include "terrain/section/VXQContourCrossSection.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>

#include <algorithm>

using profilesampling::kMostProfilePoints;
using profilesampling::sampledIndices;
using terraintest::LayerFixture;

TEST(CrossSectionBudget, SamplingKeepsEveryPointUpToTheBoundAndBeyondItEachBucketsExtremes)
{
    const auto wave = [](qint64 i) { return double((i * 7919) % 1000); };
    const QList<qint64> few = sampledIndices(kMostProfilePoints, wave);
    ASSERT_EQ(few.size(), kMostProfilePoints);
    EXPECT_EQ(few.last(), kMostProfilePoints - 1);

    const qint64 many = 1'000'003;
    const auto spiky = [&](qint64 i) { return i == 777'777 ? 1e6 : i == 123'457 ? -1e6 : wave(i); };
    const QList<qint64> sampled = sampledIndices(many, spiky);
    EXPECT_LE(sampled.size(), kMostProfilePoints);
    EXPECT_GT(sampled.size(), kMostProfilePoints / 2);
    EXPECT_TRUE(std::is_sorted(sampled.begin(), sampled.end()));
    EXPECT_EQ(std::adjacent_find(sampled.begin(), sampled.end()), sampled.end()) << "no point twice";
    EXPECT_TRUE(sampled.contains(777'777) && sampled.contains(123'457)) << "the spikes show";
    EXPECT_EQ(sampled.last(), many - 1) << "the profile ends where the grid does";
    EXPECT_TRUE(sampledIndices(0, wave).isEmpty());
    EXPECT_EQ(sampledIndices(5, wave, 3).size(), 3);
}

// 4,000,000 x 1 heights, as an 8 MB file the import accepts, under a section on its one row.
TEST(CrossSectionBudget, AFourMillionPointRowGivesASectionOfAtMostAScreensPoints)
{
    LayerFixture f({500, 700});
    f.layer->setCellSize(0.01); // 50,002 columns on the drawing, the rest beyond it
    QList<double> heights(4'000'000, 3.0);
    heights[20'000] = 400;   // on the drawing
    heights[3'000'000] = 900; // far beyond it
    f.layer->setHeightMap(terraintest::grid(4'000'000, heights));
    f.layer->setShowsCrossSection(true);
    ASSERT_FALSE(f.layer->crossSectionIsVertical());

    const platform::BezierPath& profile = f.layer->crossSection()->path();
    EXPECT_LE(profile.elementCount(), kMostProfilePoints + 6) << "the edge lines, the points and the close";
    EXPECT_GT(profile.elementCount(), kMostProfilePoints / 2);
    // The row's profile stands 10 above it, half a unit per metre above the lowest level.
    const double row = f.at(0, 0).y();
    EXPECT_DOUBLE_EQ(profile.bounds().top(), row - 10 - (400 - f.layer->minHeight()) * 0.5) << "the spike on the drawing shows";
    EXPECT_LE(profile.bounds().right(), 500 + 1) << "nothing of the grid beyond the drawing";
    EXPECT_LE(f.layer->crossSection()->graticule().elementCount(), 2 * (kMostProfilePoints + 3));

    // Turned, it follows the one column's single point.
    f.layer->setCrossSectionIsVertical(true);
    EXPECT_LE(f.layer->crossSection()->path().elementCount(), 8);
}

// File > Import Height Map reads on a worker: the window goes on while 8 MB of heights are read,
// and the grid arrives, or the reason it cannot, once the reading is done.
TEST(CrossSectionBudget, AHeightFileIsReadOffTheMainThreadAndArrivesAsOneStep)
{
    LayerFixture f({500, 700});
    QTemporaryDir folder;
    const auto write = [&](const QString& name, const QByteArray& text) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        return file.fileName();
    };
    const QString row = write(QStringLiteral("row.txt"), QByteArray("7\t").repeated(4'000'000) + '\n');
    const QList<double> before = f.layer->heightMap()->objects();
    const auto finish = [] {
        ContourComputation::threadPool().waitForDone();
        QCoreApplication::processEvents();
    };

    f.layer->importHeightMapInBackground(row);
    EXPECT_EQ(f.layer->heightMap()->objects(), before) << "nothing read on the main thread";
    finish();
    f.endStep();
    EXPECT_EQ(f.layer->heightMap()->count(), 4'000'000u);
    EXPECT_EQ(f.layer->heightMap()->rows(), 1u);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Import Height Map"));
    EXPECT_LE(f.layer->crossSection()->path().elementCount(), kMostProfilePoints + 6);
    f.undo->undo();
    EXPECT_EQ(f.layer->heightMap()->objects(), before);

    f.layer->importHeightMapInBackground(write(QStringLiteral("odd.txt"), "1\t1e39\t\n"));
    finish();
    EXPECT_TRUE(terraintest::takeShownAlert().contains(QStringLiteral("the height 1e+39 (row 1, column 2) is out of range")));
    EXPECT_EQ(f.layer->heightMap()->objects(), before);
}
