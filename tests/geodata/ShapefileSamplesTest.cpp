// The shared sample sets read the same as with the dump tools of the shapelib package:
// record count, shape types, parts, every vertex and every attribute value.
#include "support/AddressSpaceLimit.h"
#include "support/TestSupport.h"

#include "geodata/ZQESRIFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QStringList kSampleSets = {"nc", "baltim", "fylk-val", "storms_xyz"};

QByteArray runTool(const QString& tool, const QStringList& arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) {
        ADD_FAILURE() << tool.toStdString() << " is missing: scripts/deps.sh installs it (Debian package shapelib)";
        return {};
    }
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
}

struct DumpedShape {
    qint32 type = -1;
    quint32 parts = 0;
    QList<QPointF> vertices;
};

qint32 shapeTypeNamed(const QString& name)
{
    static const QHash<QString, qint32> codes = {
        {"NullShape", 0}, {"Point", 1},    {"Arc", 3},     {"Polygon", 5},   {"MultiPoint", 8},
        {"PointZ", 11},   {"ArcZ", 13},    {"PolygonZ", 15}, {"MultiPointZ", 18}, {"PointM", 21},
        {"ArcM", 23},     {"PolygonM", 25}, {"MultiPointM", 28}, {"MultiPatch", 31}};
    return codes.value(name, -1);
}

QList<DumpedShape> shpdump(const QString& path)
{
    static const QRegularExpression shapeLine(R"(^Shape:\d+ \((\w+)\)\s+nVertices=(\d+), nParts=(\d+))");
    static const QRegularExpression vertexLine(R"(^   [ +] \(([^,]+),([^,]+),)");
    QList<DumpedShape> shapes;
    for (const QByteArray& line : runTool("shpdump", {path}).split('\n')) {
        const QString text = QString::fromLatin1(line);
        if (const auto shape = shapeLine.match(text); shape.hasMatch()) {
            shapes.append({shapeTypeNamed(shape.captured(1)), shape.captured(3).toUInt(), {}});
            shapes.last().vertices.reserve(shape.captured(2).toInt());
        } else if (const auto vertex = vertexLine.match(text); vertex.hasMatch() && !shapes.isEmpty()) {
            shapes.last().vertices.append({vertex.captured(1).toDouble(), vertex.captured(2).toDouble()});
        }
    }
    return shapes;
}

// Rows of "FIELD: raw value" in file order.
QList<QList<std::pair<QString, QByteArray>>> dbfdump(const QString& path)
{
    QList<QList<std::pair<QString, QByteArray>>> rows;
    for (const QByteArray& line : runTool("dbfdump", {"-m", "-r", path}).split('\n')) {
        if (line.startsWith("Record: ")) {
            rows.emplaceBack();
        } else if (const qsizetype colon = line.indexOf(": "); colon > 0 && !rows.isEmpty()) {
            rows.last().append({QString::fromLatin1(line.left(colon)), line.mid(colon + 2)});
        }
    }
    return rows;
}

void expectSameValue(const ZQDBaseFieldInfo& field, const QByteArray& raw, const geodata::AttributeValue& ours)
{
    switch (field.type()) {
    case 'C':
        EXPECT_EQ(ours.value().toString(), QString::fromLatin1(raw).trimmed());
        break;
    case 'N':
    case 'F': {
        const double expected = raw.trimmed().toDouble();
        // Single precision: within one unit in the last place of a float.
        EXPECT_NEAR(ours.value().toDouble(), expected, std::abs(expected) * 1.2e-7) << raw.constData();
        break;
    }
    default:
        FAIL() << "the samples hold no field of type " << field.type();
    }
}

} // namespace

TEST(ShapefileSamples, RecordsTypesPartsAndVerticesMatchShpdump)
{
    for (const QString& name : kSampleSets) {
        SCOPED_TRACE(name.toStdString());
        const QString path = testsupport::sampleDataPath("shapefiles/" + name + ".shp");
        ZQESRIFile file;
        file.initWithFile(path);
        ASSERT_TRUE(file.checkHeader());
        const QList<DumpedShape> dumped = shpdump(path);
        ASSERT_FALSE(dumped.isEmpty());
        ASSERT_EQ(file.countOfObjects(), quint64(dumped.size()));

        qsizetype index = 0;
        for (const geodata::ShapeRecord& record : file.records()) {
            const DumpedShape& expected = dumped[index++];
            const auto geometry = geodata::ShapeGeometry::decode(record);
            ASSERT_TRUE(geometry) << "record " << record.number;
            EXPECT_EQ(record.number, index);
            ASSERT_EQ(geometry->shapeType(), expected.type) << "record " << record.number;
            EXPECT_EQ(geometry->partCount(), expected.parts) << "record " << record.number;
            ASSERT_EQ(geometry->pointCount(), quint32(expected.vertices.size())) << "record " << record.number;
            for (quint32 i = 0; i < geometry->pointCount(); ++i) {
                const QPointF ours = geometry->point(i), theirs = expected.vertices[i];
                // The dump prints 15 significant digits.
                ASSERT_NEAR(ours.x(), theirs.x(), 1e-13 * std::max(1.0, std::abs(theirs.x())));
                ASSERT_NEAR(ours.y(), theirs.y(), 1e-13 * std::max(1.0, std::abs(theirs.y())));
            }
        }
        EXPECT_EQ(file.countOfErrors(), 0u);
    }
}

TEST(ShapefileSamples, AttributesMatchDbfdump)
{
    for (const QString& name : kSampleSets) {
        SCOPED_TRACE(name.toStdString());
        const QString path = testsupport::sampleDataPath("shapefiles/" + name + ".shp");
        ZQESRIFile file;
        file.initWithFile(path);
        const auto fields = file.databaseFieldInfo();
        ASSERT_TRUE(fields);
        const auto rows = dbfdump(file.dBaseFilePath());
        for (qsizetype row = 0; row < rows.size(); ++row) {
            const auto ours = file.metadataForRecord(row);
            if (rows[row].isEmpty()) { // a table without fields
                EXPECT_FALSE(ours);
                continue;
            }
            ASSERT_TRUE(ours) << "row " << row;
            EXPECT_EQ(ours->size(), rows[row].size());
            for (const auto& [field, raw] : rows[row]) {
                SCOPED_TRACE(field.toStdString());
                ASSERT_TRUE(ours->contains(field.toLower()));
                expectSameValue(fields->value(field), raw, ours->value(field.toLower()));
            }
        }
        EXPECT_FALSE(file.metadataForRecord(rows.size()));
    }
}

TEST(ShapefileSamples, ReadsCompanionsBesideTheMainFile)
{
    QTemporaryDir folder;
    for (const char* suffix : {"shp", "dbf", "prj"})
        ASSERT_TRUE(QFile::copy(testsupport::sampleDataPath(QStringLiteral("shapefiles/nc.") + suffix),
                    folder.filePath(QStringLiteral("nc.") + suffix)));

    ZQESRIFile file;
    file.initWithFile(folder.filePath("nc.shp"));
    EXPECT_EQ(file.countOfErrors(), 0u);
    const QRectF bounds = file.bounds();
    EXPECT_DOUBLE_EQ(bounds.left(), -84.3238525390625);
    EXPECT_NEAR(bounds.right(), -75.4569778442383, 1e-12);
    EXPECT_NEAR(bounds.top(), 33.8819923400879, 1e-12);
    EXPECT_NEAR(bounds.bottom(), 36.5896492004395, 1e-12);
    ASSERT_TRUE(file.projectionData() && file.metadataForRecord(0));
    EXPECT_EQ(file.projectionData()->value("GEOGCS").toList().value(0), QStringLiteral("GCS_North_American_1927"));
    EXPECT_EQ(file.metadataForRecord(0)->value("name").value(), QStringLiteral("Ashe"));
    EXPECT_FALSE(file.dBaseStringEncoding());

    QFile cpg(folder.filePath("nc.cpg"));
    ASSERT_TRUE(cpg.open(QIODevice::WriteOnly) && cpg.write("UTF-8") == 5);
    cpg.close();
    QFile::remove(folder.filePath("nc.dbf"));
    ZQESRIFile withoutTable;
    withoutTable.initWithFile(folder.filePath("nc.shp"));
    EXPECT_EQ(withoutTable.dBaseStringEncoding(), QStringLiteral("UTF-8"));
    EXPECT_EQ(withoutTable.countOfErrors(), 1u);
    EXPECT_FALSE(withoutTable.metadataForRecord(0));
    EXPECT_EQ(withoutTable.countOfObjects(), 100u);
}

TEST(ShapefileSamples, SpecialCompanionsAndAMainFileThatShrinksAreErrorsNeverHangsOrSignals)
{
    SKIP_CAPPED_UNDER_ADDRESS_SANITIZER();
    QTemporaryDir folder;
    const QString shp = folder.filePath("nc.shp");
    ASSERT_TRUE(QFile::copy(testsupport::sampleDataPath("shapefiles/nc.shp"), shp));
    ASSERT_TRUE(QFile::link("/dev/zero", folder.filePath("nc.dbf")));
    for (const char* companion : {"nc.prj", "nc.cpg", "pipe.shp"})
        ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath(companion)).constData(), 0600), 0);

    testsupport::AddressSpaceLimit limit;
    ZQESRIFile file;
    file.initWithFile(shp);
    EXPECT_EQ(file.countOfErrors(), 2u);
    EXPECT_EQ(file.errorString(),
              "The database (.dbf) file could not be read (it is a device, not a file); attributes were not read. "
              "The projection (.prj) file could not be read (it is a pipe, not a file); the projection was not read.");
    EXPECT_FALSE(file.projectionData());
    EXPECT_FALSE(file.dBaseStringEncoding());
    // Another program cuts the main file short after it was opened: the parse reads zeros where the
    // records were, stops and fails.
    ASSERT_TRUE(QFile::resize(shp, 200));
    EXPECT_FALSE(file.parse());
    EXPECT_EQ(file.errorString(), "The shapefile changed while it was being read.");
    EXPECT_EQ(file.countOfErrors(), 3u);
    // A bus error anywhere else still ends the process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::raise(SIGBUS), testing::KilledBySignal(SIGBUS), "");

    ZQESRIFile pipe;
    pipe.initWithFile(folder.filePath("pipe.shp"));
    EXPECT_FALSE(pipe.parse());
    EXPECT_EQ(pipe.errorString(), "The shapefile could not be read: it is a pipe, not a file.");
}
