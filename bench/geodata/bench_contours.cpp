// Contours of a 1,900 x 1,800 grid (the Luxembourg elevation grid upsampled bilinearly) at
// 20 levels, against gdal_contour on the same grid written as an ESRI ASCII grid. Both
// start from a text file of the grid and end with the contour polylines.

#include "support/BenchSupport.h"

#include "geodata/MatrixContourSource.h"
#include "geodata/ZQBezierContourer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

namespace {

constexpr qint64 kColumns = 1900;
constexpr qint64 kRows = 1800;

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray asciiGrid(const ZQMatrixArray& grid)
{
    QByteArray text = QStringLiteral("ncols %1\nnrows %2\nxllcorner 0\nyllcorner 0\ncellsize 1\n")
                          .arg(grid.columns())
                          .arg(grid.rows())
                          .toLatin1();
    // The tab-delimited rows are an ASCII grid's rows already, top row first.
    return text + grid.tabDelimitedData()->replace('\t', ' ');
}

qint64 contourVertices(const QByteArray& gridText, const QList<double>& levels)
{
    auto grid = ZQMatrixArray::matrixArrayWithTabDelimitedData(gridText);
    geodata::MatrixContourSource source(grid, levels);
    ZQBezierContourer contourer;
    contourer.setSmoothing(0);
    ZQContourPlotter plotter;
    plotter.initWithDataSourceDataReceiver(&source, &contourer);
    contourer.reset();
    plotter.computeContours();
    qint64 vertices = 0;
    for (const QPainterPath& path : contourer.allContourPaths())
        vertices += path.elementCount();
    return vertices;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QFile source(QStringLiteral(QUORVANE_SAMPLE_DATA "/terrain/luxembourg-elevation.txt"));
    if (!source.open(QIODevice::ReadOnly)) {
        std::printf("cannot read %s\n", qPrintable(source.fileName()));
        return 1;
    }
    auto elevation = ZQMatrixArray::matrixArrayWithTabDelimitedData(source.readAll());
    auto grid = elevation->resampledMatrixWithRowsColumnsInterpolationDelegate(kRows, kColumns);
    const QByteArray gridText = *grid->tabDelimitedData();

    QTemporaryDir folder;
    const QString ascPath = folder.filePath("grid.asc");
    writeFile(ascPath, asciiGrid(*grid));
    QList<double> levels;
    QStringList levelArguments;
    for (int i = 0; i < 20; ++i) {
        levels.append(160.0 + 20.0 * i);
        levelArguments << QString::number(levels.last());
    }

    const QString gdalContour = QStandardPaths::findExecutable("gdal_contour");
    if (gdalContour.isEmpty()) {
        std::printf("gdal_contour is missing: scripts/deps.sh --bench installs it (Debian gdal-bin)\n");
        return 1;
    }
    int run = 0;
    auto peer = [&] {
        const QString output = folder.filePath(QStringLiteral("contours%1.shp").arg(run++));
        QProcess process;
        process.start(gdalContour, QStringList{"-q", "-fl"} + levelArguments + QStringList{ascPath, output});
        process.waitForFinished(-1);
    };
    qint64 vertices = 0;
    const auto [ours, theirs] = bench::medianSecondsSideBySide(
        5, [&] { vertices = contourVertices(gridText, levels); }, peer);
    std::printf("contour vertices: %lld\n", vertices);
    bench::printComparison(QStringLiteral("contours_1900x1800_20_levels"), ours, theirs, 0.5);
    return 0;
}
