// Shapefile sets built byte by byte in memory, so each test states exactly what the reader
// meets, damaged bytes included.

#include "support/LogCapture.h"
#include "support/ShapefileBuilders.h"

#include "geodata/RecordMemoryGuard.h"
#include "geodata/ZQESRIFile.h"

#include <QtEndian>
#include <bit>
#include <functional>
#include <limits>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

using geodata::AttributeValue;
using namespace shapefiletest;

namespace {

std::shared_ptr<ZQESRIFile> reader(const QByteArray& shp, std::optional<QByteArray> dbf = DbfBuilder({}).bytes(),
                                   std::optional<QByteArray> cpg = {}, std::optional<QByteArray> prj = {})
{
    auto file = std::make_shared<ZQESRIFile>();
    file->initWithContents({shp, std::move(dbf), std::move(cpg), std::move(prj)});
    return file;
}

QByteArray validShp()
{
    ShpBuilder shp;
    shp.addPoints(1, {{1, 2}});
    return shp.bytes();
}

// Records every object request and answers a plain object; throws when asked to.
class RecordingFactory : public ZQShapefileObjectMaker {
public:
    struct Request {
        qint32 shapeType;
        QPainterPath path;
        std::optional<geodata::AttributeDictionary> attributes;
    };
    std::shared_ptr<ZQObject> objectForShapeWithPathAttributes(qint32 shapeType, const QPainterPath& path,
                                                               const geodata::AttributeDictionary* attributes) override
    {
        requests.append({shapeType, path, attributes ? std::optional(*attributes) : std::nullopt});
        if (requests.size() == throwAtRequest)
            throw std::runtime_error("factory failed");
        if (onRequest)
            onRequest();
        return std::make_shared<ZQObject>();
    }
    QList<Request> requests;
    qsizetype throwAtRequest = -1;
    std::function<void()> onRequest;
};

// The paths the reader makes for every record, in order, through a parse.
QList<QPainterPath> paths(ZQESRIFile& file)
{
    auto factory = std::make_shared<RecordingFactory>();
    file.setObjectFactory(factory);
    file.parse();
    QList<QPainterPath> result;
    for (const auto& request : factory->requests)
        result.append(request.path);
    return result;
}

// Element types and points of a path, as "M x y", "L x y".
QStringList elements(const QPainterPath& path)
{
    QStringList list;
    for (int i = 0; i < path.elementCount(); ++i) {
        const auto& e = path.elementAt(i);
        list << QStringLiteral("%1 %2 %3").arg(e.isMoveTo() ? "M" : e.isLineTo() ? "L" : "C").arg(e.x).arg(e.y);
    }
    return list;
}

// Records what the reader feeds the converter, as "M x y" (begin), "L x y" (append), "Z" (close).
class RecordingConverter : public ZQShapefilePathConverter {
public:
    void beginSubPathAtPoint(QPointF point) override
    {
        calls << QStringLiteral("M %1 %2").arg(point.x()).arg(point.y());
        ZQShapefilePathConverter::beginSubPathAtPoint(point);
    }
    void appendPointsCount(const QPointF* points, qsizetype count) override
    {
        for (qsizetype i = 0; i < count; ++i)
            calls << QStringLiteral("L %1 %2").arg(points[i].x()).arg(points[i].y());
        ZQShapefilePathConverter::appendPointsCount(points, count);
    }
    void closeSubPath() override
    {
        calls << QStringLiteral("Z");
        ZQShapefilePathConverter::closeSubPath();
    }
    QStringList calls;
};

class LoadingDelegate : public QObject, public ZQESRIFileDelegate {
public:
    QRectF esriFileWantsDocumentRect(ZQESRIFile*) override { return {}; }
    std::optional<QTransform> esriFileWantsShapefileTransform(ZQESRIFile*) override { return std::nullopt; }
    void esriFileDidFinishLoading(ZQESRIFile*) override {}
    void esriFileDidLoadObject(ZQESRIFile*, const std::shared_ptr<ZQObject>& object) override { loaded.append(object); }
    QList<std::shared_ptr<ZQObject>> loaded;
};

} // namespace

TEST(ShapefileHeader, AcceptsOnlyAnExactLengthWordCodeAndVersion)
{
    const QByteArray good = validShp();
    EXPECT_TRUE(reader(good)->checkHeader());
    EXPECT_EQ(reader(good)->countOfObjects(), 1u);
    EXPECT_EQ(reader(good)->bounds(), QRectF(-10, -20, 20, 40));
    EXPECT_EQ(reader(good)->fileShapeType(), 5);

    QByteArray littleEndianCode = good, bigEndianVersion = good;
    qToLittleEndian(quint32(9994), littleEndianCode.data());
    qToBigEndian(quint32(1000), bigEndianVersion.data() + 28);
    // One byte more or less than the length word says, shorter than the header, empty.
    for (const QByteArray& bad : {QByteArray(good + '\0'), good.left(good.size() - 1), good.left(99), QByteArray(),
                                  littleEndianCode, bigEndianVersion}) {
        const auto file = reader(bad);
        EXPECT_FALSE(file->checkHeader()) << bad.size();
        EXPECT_EQ(file->countOfObjects(), 0u) << "no records without a valid header";
        EXPECT_FALSE(file->parse());
        EXPECT_EQ(file->errorString(), QStringLiteral("Bad Header Length or Version"));
    }
    EXPECT_FALSE(reader(good)->parseUsingTransform(QTransform::fromScale(0, 1)));
    EXPECT_FALSE(reader(good)->parseUsingTransform(QTransform::fromTranslate(qInf(), 0)));
}

TEST(ShapefileGeometry, ConverterHearsSubPathsAppendsAndClosesInFileOrder)
{
    ShpBuilder shp;
    shp.addPoints(1, {{3.5, -2}});
    shp.addPoints(8, {{1, 1}, {2, 2}});
    shp.addParts(5, {{{0, 0}, {1, 0}, {0, 0}}, {{5, 5}, {6, 5}, {5, 5}}});
    shp.addParts(3, {{{0, 0}, {1, 1}, {2, 0}}, {{5, 5}, {6, 6}}});
    shp.addContent(polyContent(5, 1, 0, {0}, {}));
    auto file = reader(shp.bytes());
    auto converter = std::make_unique<RecordingConverter>();
    const QStringList& calls = converter->calls;
    file->setPathConverter(std::move(converter));
    const QList<QPainterPath> result = paths(*file);

    // A ring closes before the next part and at the end; a polygon without points only closes.
    EXPECT_EQ(calls, (QStringList{"M 3.5 -2", "M 1 1", "L 1 1", "M 2 2", "L 2 2", "M 0 0", "L 1 0", "L 0 0", "Z",
                                  "M 5 5", "L 6 5", "L 5 5", "Z", "M 0 0", "L 1 1", "L 2 0", "M 5 5", "L 6 6", "Z"}));
    ASSERT_GE(result.size(), 4);
    EXPECT_EQ(elements(result[0]), QStringList{"M 3.5 -2"});
    // Every point of a multipoint stays, each a sub-path of no length.
    EXPECT_EQ(elements(result[1]), (QStringList{"M 1 1", "L 1 1", "M 2 2", "L 2 2"}));
    EXPECT_EQ(result[1].boundingRect(), QRectF(1, 1, 1, 1));
    const QList<QPolygonF> rings = result[2].toSubpathPolygons();
    ASSERT_EQ(rings.size(), 2);
    EXPECT_TRUE(rings[0].isClosed() && rings[1].isClosed());
    EXPECT_EQ(elements(result[3]), (QStringList{"M 0 0", "L 1 1", "L 2 0", "M 5 5", "L 6 6"})) << "polylines stay open";
    EXPECT_EQ(file->countOfErrors(), 0u);
}

TEST(ShapefileGeometry, LyingRecordsAreSkippedAndCountedWhileTheRestIsRead)
{
    ShpBuilder shp;
    shp.addPoints(1, {{1, 1}});
    // Counts that the record cannot hold, including ones that overflow 32-bit arithmetic.
    shp.addContent(polyContent(3, 1, 0x10000000, {0}, {{0, 0}, {1, 1}}));
    shp.addContent(polyContent(5, 0xFFFFFFFF, 2, {0}, {{0, 0}, {1, 1}}));
    shp.addContent(QByteArray(2, '\0'));                                 // too short for a shape type
    shp.addContent(polyContent(3, 1, 2, {0}, {{0, 0}, {1, 1}}).left(40)); // cut before its counts
    // Other types, and a polygon without parts, are passed over without error.
    shp.addPoints(0);
    shp.addParts(13, {{{0, 0}, {1, 1}}});
    shp.addParts(25, {{{0, 0}, {1, 1}, {1, 0}, {0, 0}}});
    shp.addContent(polyContent(5, 0, 2, {}, {{0, 0}, {1, 1}}));
    // Part starts out of order or past the points, and points a path cannot hold.
    shp.addContent(polyContent(3, 3, 4, {0, 3, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    shp.addContent(polyContent(3, 1, 2, {7}, {{0, 0}, {1, 0}}));
    shp.addParts(3, {{{0, 0}, {qQNaN(), 1}, {1e200, 0}, {2, 2}}});
    shp.addContent(polyContent(3, 1, 2, {0}, {{0, 0}, {1, 1}}), 1000); // runs past the end
    auto file = reader(shp.bytes());

    const QList<QPainterPath> result = paths(*file);
    ASSERT_EQ(result.size(), 4);
    EXPECT_EQ(elements(result[0]), QStringList{"M 1 1"});
    EXPECT_EQ(elements(result[1]), (QStringList{"M 0 0", "L 1 0", "L 2 0", "M 3 0"})) << "the third part never begins";
    EXPECT_EQ(elements(result[2]), (QStringList{"M 0 0", "L 1 0"})) << "the first part begins at the first point";
    EXPECT_EQ(elements(result[3]), (QStringList{"M 0 0", "L 2 2"}));
    EXPECT_EQ(file->countOfObjects(), 13u);
    EXPECT_EQ(file->countOfErrors(), 5u);
    EXPECT_EQ(file->countOfObjectsNotRead(), 5u);

    // The X/Y part of a Z record still decodes, for inspection.
    const auto geometry = geodata::ShapeGeometry::decode(*std::next(file->records().begin(), 6));
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->pointCount(), 2u);
    EXPECT_EQ(geometry->point(1), QPointF(1, 1));
}

// A record whose length is negative hides where the next one begins: the index finds it.
TEST(ShapefileGeometry, ARecordOfNegativeLengthIsExplainedAndTheIndexFindsTheRecordAfterIt)
{
    ShpBuilder shp;
    QByteArray bad;
    append(bad, qint32(1));
    appendPoints(bad, {{1, 1}});
    shp.addContent(bad, 0xFFFFFFF0); // -16 words
    shp.addPoints(1, {{7, 8}});
    shp.addParts(3, {{{0, 0}, {4, 4}}});

    auto alone = reader(shp.bytes());
    EXPECT_TRUE(paths(*alone).isEmpty());
    EXPECT_EQ(alone->countOfErrors(), 1u);
    EXPECT_EQ(alone->damagedRecordsDescription(),
              QStringLiteral("A damaged record was skipped. Record 1 (at byte 100) declares a negative length. The 136 "
                             "bytes after its header were not read: without the shapefile's index (.shx) the records "
                             "there cannot be found."));

    auto indexed = std::make_shared<ZQESRIFile>();
    indexed->initWithContents({shp.bytes(), DbfBuilder({}).bytes(), {}, {}, shp.indexBytes()});
    const QList<QPainterPath> found = paths(*indexed);
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(elements(found[0]), QStringList{"M 7 8"});
    EXPECT_EQ(indexed->countOfObjects(), 3u);
    EXPECT_EQ(indexed->countOfErrors(), 1u);
    EXPECT_EQ(indexed->damagedRecordsDescription(),
              QStringLiteral("A damaged record was skipped. Record 1 (at byte 100) declares a negative length."));

    // An index that is no index, or whose entries point back, cannot turn the walk round.
    QByteArray looping = shp.indexBytes();
    qToBigEndian(quint32(50), looping.data() + 108);
    for (const QByteArray& index : {QByteArray("not an index"), looping}) {
        auto file = std::make_shared<ZQESRIFile>();
        file->initWithContents({shp.bytes(), DbfBuilder({}).bytes(), {}, {}, index});
        EXPECT_LE(paths(*file).size(), 2);
        EXPECT_LE(file->countOfObjects(), 3u);
    }
}

TEST(ShapefileGeometry, RecordsWithoutAFinitePointAreDamagedAndSaySo)
{
    ShpBuilder shp;
    shp.setBounds({0, 0, 0, 0});
    for (int i = 0; i < 3; ++i)
        shp.addPoints(1, {{qQNaN(), qQNaN()}});
    shp.addParts(3, {{{qInf(), 0}, {1e200, 1}}});
    auto file = reader(shp.bytes());
    EXPECT_TRUE(paths(*file).isEmpty());
    EXPECT_EQ(file->countOfErrors(), 4u);
    EXPECT_EQ(file->damagedRecordsDescription(),
              QStringLiteral("4 damaged records were skipped. The first: Record 1 (at byte 100) has no point whose "
                             "coordinates are finite numbers of a usable size."));
    // A null shape and a polyline of no points are no damage.
    ShpBuilder empty;
    empty.addPoints(0);
    empty.addParts(3, {});
    auto plain = reader(empty.bytes());
    EXPECT_TRUE(paths(*plain).isEmpty());
    EXPECT_EQ(plain->countOfErrors(), 0u);
    EXPECT_TRUE(plain->damagedRecordsDescription().isEmpty());
}

TEST(ShapefileAttributes, DecodeEveryFieldTypeUnderLowerCasedKeys)
{
    DbfBuilder dbf({{"NAME", 'C', 12}, {"Born", 'D', 8}, {"AREA", 'N', 12}, {"RATIO", 'F', 10}, {"COUNT", 'I', 4},
                    {"OK", 'L', 1}, {"NOTE", 'M', 10}});
    QByteArray count(4, '\0');
    qToLittleEndian(qint32(-7), count.data());
    dbf.addRow({"  Ashe \r\n", "19970630", "16777217", " -2.5e1", count, "y", "memo"});
    dbf.addRow({"Gone", "", "", "", count, "T", ""}, true);
    dbf.addRow({"Caf\xE9", "1997", "abc", "", count, "?", ""});
    auto file = reader(validShp(), dbf.bytes());
    const auto row = file->metadataForRecord(0);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->keys(), (QStringList{"area", "born", "count", "name", "ok", "ratio"})) << "the memo field is left out";
    EXPECT_EQ(row->value("name"), AttributeValue::string("Ashe"));
    EXPECT_EQ(row->value("born"), AttributeValue::date(QDate(1997, 6, 30)));
    EXPECT_EQ(row->value("area"), AttributeValue::integer(16777217)) << "whole numbers are read exactly";
    EXPECT_EQ(row->value("ratio"), AttributeValue::real(-25.0));
    EXPECT_EQ(row->value("count"), AttributeValue::integer(-7));
    EXPECT_EQ(row->value("ok"), AttributeValue::boolean(true));
    EXPECT_EQ(row->value("ok").type(), AttributeValue::Boolean);

    EXPECT_FALSE(file->metadataForRecord(1)) << "a deleted row";
    const auto third = file->metadataForRecord(2);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->value("name"), AttributeValue::string(QStringLiteral("Caf\u00E9"))) << "Latin-1 without a .cpg";
    EXPECT_FALSE(third->contains("born")) << "a date that is not %Y%m%d";
    EXPECT_EQ(third->value("area"), AttributeValue::real(0));
    EXPECT_EQ(third->value("ok"), AttributeValue::boolean(false));
    EXPECT_FALSE(file->metadataForRecord(3));
    EXPECT_FALSE(file->metadataForRecord(-1));
}

TEST(ShapefileAttributes, NumericFieldsAreNumbersUnlessBeyondTheRangeOfADouble)
{
    struct Case {
        const char* text;
        AttributeValue value;
    };
    const Case cases[] = {
        {"   123456789", AttributeValue::integer(123456789)},
        {"16777217", AttributeValue::integer(16777217)},
        {"+7", AttributeValue::integer(7)},
        {"-9223372036854775808", AttributeValue::integer(std::numeric_limits<qint64>::min())},
        {"0.1", AttributeValue::real(0.1)},
        {"0.204000000000000", AttributeValue::real(0.204)},
        {"1825.000000000000000", AttributeValue::real(1825)},
        {"1.42948681360561E+03", AttributeValue::real(1429.48681360561)},
        {"-.5", AttributeValue::real(-0.5)},
        // Doubles as GIS tools print them into N(19,15) and N(24,15): the double they meant.
        {"-67.353300000000004", AttributeValue::real(-67.3533)},
        {"4069.397000000000389", AttributeValue::real(4069.397000000000389)}, // the nearest double
        {"0.12345678901234567", AttributeValue::real(0.12345678901234567)},
        {"9223372036854775808", AttributeValue::real(9223372036854775808.0)},
        {"1e-300", AttributeValue::real(1e-300)},
        // Beyond a double's range: the text is kept.
        {"1e999", AttributeValue::string("1e999")},
        {"-1e400", AttributeValue::string("-1e400")},
        {"1e-999", AttributeValue::string("1e-999")},
        // No number at all, as blanks and overflow stars: 0, as before.
        {"", AttributeValue::real(0)},
        {"**********", AttributeValue::real(0)},
        {"12 apples", AttributeValue::real(12)},
    };
    DbfBuilder dbf({{"N", 'N', 24}, {"F", 'F', 24}});
    ShpBuilder shp;
    for (const Case& c : cases) {
        dbf.addRow({c.text, c.text});
        shp.addPoints(1, {{1, 2}});
    }
    auto file = reader(shp.bytes(), dbf.bytes());
    for (int i = 0; i < int(std::size(cases)); ++i) {
        SCOPED_TRACE(cases[i].text);
        const auto row = file->metadataForRecord(i);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->value("n"), cases[i].value);
        EXPECT_EQ(row->value("f"), cases[i].value) << "F fields read as N fields";
    }
    auto factory = std::make_shared<RecordingFactory>();
    file->setObjectFactory(factory);
    ASSERT_TRUE(file->parse());
    EXPECT_EQ(factory->requests.size(), qsizetype(std::size(cases)));
    EXPECT_EQ(file->countOfNumbersKeptAsText(), 6u) << "three numbers out of range, in two fields each";
    ASSERT_TRUE(file->parse());
    EXPECT_EQ(file->countOfNumbersKeptAsText(), 6u) << "counted afresh by each parse";
}

TEST(ShapefileAttributes, OnlyAnExactUtf8CodePageReadsUtf8AndRepeatedNamesKeepTheLaterField)
{
    DbfBuilder utf8({{"NAME", 'C', 8}});
    utf8.addRow({"Caf\xC3\xA9"});
    const auto nameWith = [&](std::optional<QByteArray> cpg) {
        return reader(validShp(), utf8.bytes(), cpg)->metadataForRecord(0)->value("name").value();
    };
    EXPECT_EQ(nameWith("UTF-8"), QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(nameWith("UTF-8\n"), QStringLiteral("Caf\u00C3\u00A9"));
    EXPECT_EQ(reader(validShp(), utf8.bytes(), "UTF-8\n")->dBaseStringEncoding(), QStringLiteral("UTF-8\n"));
    EXPECT_FALSE(reader(validShp(), utf8.bytes())->dBaseStringEncoding());

    DbfBuilder repeated({{"A", 'C', 3}, {"B", 'C', 3}, {"A", 'N', 4}});
    repeated.addRow({"x", "y", "12"});
    auto file = reader(validShp(), repeated.bytes());
    EXPECT_EQ(file->databaseFieldNames(), (QStringList{"A", "B"}));
    EXPECT_EQ(file->databaseFieldInfo().value().value("A"), ZQDBaseFieldInfo('N', 4, 6, "A"));
    EXPECT_EQ(file->metadataForRecord(0)->value("a"), AttributeValue::integer(12));
}

TEST(ShapefileAttributes, DamagedHeadersGiveNoTableAndFieldsStayInsideTheRow)
{
    DbfBuilder dbf({{"A", 'C', 4}, {"B", 'C', 4}});
    dbf.addRow({"abcd", "efgh"});
    const QByteArray good = dbf.bytes();
    const auto withWords = [&](quint32 rows, quint16 rowLength, quint16 headerLength = 0) {
        QByteArray changed = good;
        qToLittleEndian(rows, changed.data() + 4);
        qToLittleEndian(rowLength, changed.data() + 10);
        if (headerLength)
            qToLittleEndian(headerLength, changed.data() + 8);
        return changed;
    };
    // 0x20000000 rows of 8 bytes overflow 32-bit arithmetic back into a small number.
    for (const QByteArray& damaged : {withWords(1, 0), withWords(1, 40000), withWords(0x20000000, 8), good.left(31),
                                      good.left(good.size() - 1)}) {
        const auto file = reader(validShp(), damaged);
        EXPECT_FALSE(file->databaseFieldInfo()) << damaged.size();
        EXPECT_EQ(file->countOfErrors(), 1u) << damaged.size();
        EXPECT_TRUE(file->errorString().startsWith(QStringLiteral("The database (.dbf) file is damaged: ")));
        EXPECT_EQ(file->attributesProblem(), file->errorString());
    }

    EXPECT_EQ(reader(validShp(), withWords(0, 7))->databaseFieldNames(), QStringList{"A"}) << "B runs past the row";
    QByteArray unterminated = withWords(0, 9, 32 + 64); // the header ends after the descriptors, without 0x0D
    unterminated[32 + 64] = 'X';
    EXPECT_EQ(reader(validShp(), unterminated)->databaseFieldNames(), (QStringList{"A", "B"}));

    auto missing = reader(validShp(), std::nullopt);
    EXPECT_FALSE(missing->databaseFieldInfo());
    EXPECT_FALSE(missing->metadataForRecord(0));
    EXPECT_EQ(missing->countOfErrors(), 1u);
    EXPECT_EQ(missing->errorString(), QStringLiteral("No database (.dbf) file was found; attributes were not read."));
}

TEST(ShapefileProjection, ParsesNestedKeywordsAndAnswersNothingForMalformedText)
{
    const QByteArray prj = "GEOGCS[\"GCS_NAD27\",DATUM[\"D_NAD27\",SPHEROID[\"Clarke_1866\",6378206.4,294.98]],"
                           "PRIMEM[\"Greenwich\", 0 ],UNIT[\"Degree\",0.0174532925]]\n";
    const auto data = reader(validShp(), {}, {}, prj)->projectionData();
    ASSERT_TRUE(data);
    const QVariantList geogcs = data->value("GEOGCS").toList();
    ASSERT_EQ(geogcs.size(), 4);
    EXPECT_EQ(geogcs[0], QStringLiteral("GCS_NAD27"));
    const QVariantList datum = geogcs[1].toMap().value("DATUM").toList();
    ASSERT_EQ(datum.size(), 2);
    EXPECT_EQ(datum[1].toMap().value("SPHEROID").toList(), (QVariantList{QStringLiteral("Clarke_1866"), 6378206.4, 294.98}));
    EXPECT_EQ(geogcs[2].toMap().value("PRIMEM").toList(), (QVariantList{QStringLiteral("Greenwich"), 0.0}));
    EXPECT_EQ(geogcs[3].toMap().value("UNIT").toList().value(1), 0.0174532925);

    for (const QByteArray& malformed : {QByteArray(""), QByteArray("   "), QByteArray("[1,2]"), QByteArray("A[[1]]"),
                                        QByteArray("plain words"), QByteArray(200, '[').prepend("A"),
                                        QByteArray("A[").append(QByteArray("B[").repeated(100))})
        EXPECT_FALSE(reader(validShp(), {}, {}, malformed)->projectionData()) << malformed.left(40).constData();
    EXPECT_FALSE(reader(validShp())->projectionData()) << "no .prj";
    EXPECT_TRUE(reader(validShp(), {}, {}, "A[\"x\",B[1")->projectionData()) << "unclosed brackets end with the text";
}

TEST(ShapefileParse, HandsEachRecordWithItsRowToTheFactoryAndCountsFailures)
{
    ShpBuilder shp;
    shp.addPoints(1, {{1, 1}});
    shp.addContent(polyContent(3, 1, 99, {0}, {})); // damaged
    shp.addParts(5, {{{0, 0}, {2, 0}, {2, 2}, {0, 0}}});
    shp.addParts(3, {{{0, 0}, {1, 1}}});
    DbfBuilder dbf({{"ID", 'N', 4}});
    for (const char* id : {"10", "20", "30", "40"})
        dbf.addRow({id});
    auto file = reader(shp.bytes(), dbf.bytes());
    auto factory = std::make_shared<RecordingFactory>();
    factory->throwAtRequest = 3;
    LoadingDelegate delegate;
    file->setObjectFactory(factory);
    file->setDelegate(&delegate);

    testsupport::LogCapture log;
    platform::Log::setLevel(kTraceEvent);
    const auto objects = file->parseUsingTransform(QTransform::fromScale(2, -1));
    ASSERT_TRUE(objects);
    EXPECT_EQ(objects->size(), 2);
    EXPECT_EQ(delegate.loaded, *objects);
    // A line per record when asked for, and the failed record with its attributes.
    EXPECT_TRUE(log.contains(QStringLiteral("record #1, length=20, type=1")));
    EXPECT_TRUE(log.contains(QStringLiteral("record #4, length=")));
    EXPECT_TRUE(log.contains(QStringLiteral("#:4; type = 3, pb = {{0, -1}, {2, 1}}, meta = {id = 40}, exception =")))
        << qPrintable(log.lines.join(u'\n'));
    ASSERT_EQ(factory->requests.size(), 3);
    EXPECT_EQ(factory->requests[1].shapeType, 5);
    EXPECT_EQ(factory->requests[1].path.boundingRect(), QRectF(0, -2, 4, 2)) << "mapped by the transform";
    EXPECT_EQ(factory->requests[1].attributes->value("id"), AttributeValue::integer(30)) << "row = record number - 1";
    EXPECT_EQ(file->countOfObjectsRead(), 2u);
    EXPECT_EQ(file->countOfObjectsNotRead(), 2u) << "the damaged record and the factory failure";
    EXPECT_EQ(file->countOfErrors(), 2u);

    file->setReadMetadata(false);
    factory->requests.clear();
    factory->throwAtRequest = -1;
    file->parse();
    EXPECT_FALSE(factory->requests[0].attributes);
}

TEST(ShapefileParse, StopsOnAbortAndDiscardsWhatLiesOutOfView)
{
    ShpBuilder shp;
    for (int i = 0; i < 5; ++i)
        shp.addPoints(1, {{double(i * 10), 0}});
    shp.addParts(3, {{{-5, -5}, {-1, -1}}});
    shp.addParts(3, {{{-5, 5}, {15, 5}}});
    auto file = reader(shp.bytes());
    auto factory = std::make_shared<RecordingFactory>();
    file->setObjectFactory(factory);

    file->setDiscardOutOfViewObjects(true);
    file->setDocumentRect(QRectF(0, 0, 20, 10));
    EXPECT_EQ(file->parse()->size(), 4) << "points at 0, 10 and 20 and the line crossing the rectangle";

    factory->onRequest = [&] { file->setShouldAbort(factory->requests.size() == 2); };
    file->setDiscardOutOfViewObjects(false);
    factory->requests.clear();
    EXPECT_EQ(file->parse()->size(), 2);
    EXPECT_TRUE(file->didAbort());
}

// 200,000 points with 2,046 fields of no width each: a few megabytes of file, tens of
// gigabytes of attributes once read.
TEST(ShapefileAttributes, ASetWhoseAttributesWouldPassTheBudgetIsRefusedBeforeReading)
{
    QList<DbfBuilder::Field> fields;
    for (int i = 0; i < 2046; ++i)
        fields.append({QByteArray("F") + QByteArray::number(i), 'N', 0});
    // Rows of no width are their deletion flags alone.
    QByteArray table = DbfBuilder(fields).bytes() + QByteArray(200'000, ' ');
    qToLittleEndian(quint32(200'000), table.data() + 4);
    ShpBuilder shp;
    for (int i = 0; i < 200'000; ++i)
        shp.addPoints(1, {{double(i % 500), double(i / 500)}});
    auto file = reader(shp.bytes(), table);
    const QString problem = file->attributeBudgetProblem();
    EXPECT_TRUE(problem.startsWith(QStringLiteral("Its attributes (2046 fields for each of ")))
        << problem.toStdString();
    auto factory = std::make_shared<RecordingFactory>();
    file->setObjectFactory(factory);
    EXPECT_FALSE(file->parse());
    EXPECT_TRUE(factory->requests.isEmpty()) << "nothing read";
    EXPECT_EQ(file->errorString(), problem);

    // Without attributes the same records fit; so do the attributes of a few of them.
    file->setReadMetadata(false);
    EXPECT_TRUE(file->attributeBudgetProblem().isEmpty());
    DbfBuilder few(fields);
    ShpBuilder some;
    for (int i = 0; i < 100; ++i) {
        few.addRow({});
        some.addPoints(1, {{1, 2}});
    }
    auto small = reader(some.bytes(), few.bytes());
    small->setObjectFactory(factory);
    EXPECT_TRUE(small->attributeBudgetProblem().isEmpty());
    ASSERT_TRUE(small->parse());
    ASSERT_EQ(factory->requests.size(), 100);
    EXPECT_EQ(factory->requests.last().attributes->size(), 2046);
}

TEST(ShapefileAttributes, TheBudgetIsHalfTheFreeMemoryAndEachRowCountsOnce)
{
    EXPECT_EQ(ZQESRIFile::attributeMemoryBudgetForAvailableMemory(qint64(8) << 30), qint64(4) << 30);
    EXPECT_EQ(ZQESRIFile::attributeMemoryBudgetForAvailableMemory(0), 0);
    EXPECT_EQ(ZQESRIFile::attributeMemoryBudgetForAvailableMemory(-5), 0);

    DbfBuilder table({{"NAME", 'C', 20}, {"LANES", 'N', 4}});
    ShpBuilder shp;
    for (int i = 0; i < 50; ++i) {
        table.addRow({"Main Street", "2"});
        shp.addPoints(1, {{double(i), 0}});
    }
    auto file = reader(shp.bytes(), table.bytes());
    const qint64 needed = geodata::DBaseTable::read(table.bytes())->attributeBytesOfRows(50);
    file->setAttributeMemoryBudget(needed);
    EXPECT_TRUE(file->attributeBudgetProblem().isEmpty());
    file->setAttributeMemoryBudget(needed - 1);
    EXPECT_TRUE(file->attributeBudgetProblem().startsWith(QStringLiteral("Its attributes (2 fields for each of 50 records)")));
    // Without their attributes the shapes fit whatever the budget.
    file->setReadMetadata(false);
    EXPECT_TRUE(file->attributeBudgetProblem().isEmpty());
    EXPECT_EQ(paths(*file).size(), 50);

    // A row that every record names counts once, and is read once for all of them.
    DbfBuilder one({{"NAME", 'C', 20}, {"LANES", 'N', 4}});
    one.addRow({"Main Street", "2"});
    auto shared = reader(shp.bytes(), one.bytes());
    shared->setAttributeMemoryBudget(geodata::DBaseTable::read(one.bytes())->attributeBytesOfRows(1));
    EXPECT_TRUE(shared->attributeBudgetProblem().isEmpty());
}

namespace {

// 200,000 points that all name row 1 of a one-row table of 2,046 fields.
std::shared_ptr<ZQESRIFile> pointsNamingOneWideRow()
{
    QList<DbfBuilder::Field> fields;
    for (int i = 0; i < 2046; ++i)
        fields.append({QByteArray("F") + QByteArray::number(i), 'C', 0});
    DbfBuilder table(fields);
    table.addRow({});
    ShpBuilder shp;
    for (int i = 0; i < 200'000; ++i)
        shp.addPoints(1, {{double(i % 500), double(i / 500)}});
    QByteArray bytes = shp.bytes();
    for (qsizetype offset = 100; offset < bytes.size(); offset += 28)
        qToBigEndian(quint32(1), bytes.data() + offset);
    return reader(bytes, table.bytes());
}

} // namespace

TEST(ShapefileAttributes, RecordsNamingOneRowShareOneCopyOfIt)
{
    auto file = pointsNamingOneWideRow();
    EXPECT_TRUE(file->attributeBudgetProblem().isEmpty());
    struct SharingFactory : ZQShapefileObjectMaker {
        std::shared_ptr<ZQObject> objectForShapeWithPathAttributes(qint32, const QPainterPath&,
                                                                   const geodata::AttributeDictionary* attributes) override
        {
            if (!attributes)
                ++withoutAttributes;
            else if (!first)
                first = *attributes;
            else
                unshared += !attributes->isSharedWith(*first);
            return nullptr;
        }
        std::optional<geodata::AttributeDictionary> first;
        int unshared = 0, withoutAttributes = 0;
    };
    auto factory = std::make_shared<SharingFactory>();
    file->setObjectFactory(factory);
    ASSERT_TRUE(file->parse());
    ASSERT_TRUE(factory->first);
    EXPECT_EQ(factory->first->size(), 2046);
    EXPECT_EQ(factory->unshared, 0);
    EXPECT_EQ(factory->withoutAttributes, 0);
}

// Records that name rows 1, 2, 1, 2, ... and, last, row 3: each row is decoded once and every
// record that names it is handed that one copy; numbers kept as text count per record.
TEST(ShapefileAttributes, RecordsThatAlternateBetweenRowsAreHandedOneCopyOfEach)
{
    DbfBuilder table({{"NAME", 'C', 10}, {"BIG", 'N', 24}});
    table.addRow({"first", "1"});
    table.addRow({"second", "1e400"});
    table.addRow({"third", "3"});
    constexpr int kRecords = 1001;
    ShpBuilder shp;
    for (int i = 0; i < kRecords; ++i)
        shp.addPoints(1, {{double(i), 0}});
    QByteArray bytes = shp.bytes();
    for (int i = 0; i < kRecords; ++i)
        qToBigEndian(quint32(i == kRecords - 1 ? 3 : 1 + i % 2), bytes.data() + 100 + 28 * i);
    auto file = reader(bytes, table.bytes());
    auto factory = std::make_shared<RecordingFactory>();
    file->setObjectFactory(factory);
    ASSERT_TRUE(file->parse());
    ASSERT_EQ(factory->requests.size(), kRecords);
    const auto& requests = factory->requests;
    for (const auto& request : requests)
        ASSERT_TRUE(request.attributes);
    EXPECT_EQ(requests[0].attributes->value("name"), AttributeValue::string("first"));
    EXPECT_EQ(requests[1].attributes->value("name"), AttributeValue::string("second"));
    EXPECT_EQ(requests.last().attributes->value("name"), AttributeValue::string("third"));
    int unshared = 0;
    for (int i = 2; i < kRecords - 1; ++i)
        unshared += !requests[i].attributes->isSharedWith(*requests[i % 2].attributes);
    EXPECT_EQ(unshared, 0);
    EXPECT_FALSE(requests[0].attributes->isSharedWith(*requests[1].attributes));
    EXPECT_EQ(file->countOfNumbersKeptAsText(), quint64(kRecords / 2));
}

TEST(ShapefileParse, AnAllocationThatFailsEndsTheParseAtOnceAndLetsGoOfWhatItMade)
{
    ShpBuilder shp;
    for (int i = 0; i < 5; ++i)
        shp.addPoints(1, {{double(i), 0}});
    auto file = reader(shp.bytes());
    auto factory = std::make_shared<RecordingFactory>();
    factory->onRequest = [&] {
        if (factory->requests.size() == 3)
            throw std::bad_alloc();
    };
    file->setObjectFactory(factory);
    const quint64 errorsBefore = file->countOfErrors();
    EXPECT_FALSE(file->parse());
    EXPECT_EQ(factory->requests.size(), 3) << "no record after the failure is tried";
    EXPECT_TRUE(file->ranOutOfMemory());
    EXPECT_EQ(file->countOfErrors(), errorsBefore + 1);
    EXPECT_EQ(file->errorString(),
              QStringLiteral("There was not enough memory to import it: the import stopped at record 3 of 5."));

    factory->onRequest = nullptr;
    factory->requests.clear();
    EXPECT_EQ(file->parse()->size(), 5);
    EXPECT_FALSE(file->ranOutOfMemory());
}

// What the user is told when the shapes arrive without some of their attributes.
TEST(ShapefileAttributes, FieldsPastTheRowAreToldAndASetWithoutATableLacksNothing)
{
    DbfBuilder twoFields({{"A", 'C', 4}, {"B", 'C', 4}});
    QByteArray shortRows = twoFields.bytes();
    qToLittleEndian(quint16(7), shortRows.data() + 10);
    const auto partly = reader(validShp(), shortRows);
    EXPECT_EQ(partly->databaseFieldNames(), QStringList{"A"});
    EXPECT_EQ(partly->attributesProblem(), QStringLiteral("The database (.dbf) file is damaged. The fields from “B” on "
                                                          "run past the table's rows of 7 bytes and were not read."));
    EXPECT_EQ(partly->countOfErrors(), 1u);

    EXPECT_TRUE(reader(validShp(), twoFields.bytes())->attributesProblem().isEmpty());
    EXPECT_TRUE(reader(validShp(), std::nullopt)->attributesProblem().isEmpty()) << "no table, nothing lacking";
}

// A record whose length is damaged ends the walk when the index names no record after it
// within the file: the bytes lost are told, whichever damaged record lost them.
TEST(ShapefileGeometry, AnIndexPointingPastTheEndAfterADamagedRecordIsTold)
{
    QByteArray bad;
    append(bad, qint32(1));
    appendPoints(bad, {{1, 1}});
    // The first damaged record is passed by the index, the second ends the walk.
    ShpBuilder twice;
    twice.addContent(bad, 0xFFFFFFF0);
    twice.addPoints(1, {{1, 1}});
    twice.addContent(bad, 0xFFFFFFF0);
    twice.addPoints(1, {{7, 8}});
    QByteArray index = twice.indexBytes();
    qToBigEndian(quint32(0x7FFFFFFF), index.data() + 100 + 3 * 8);
    auto file = std::make_shared<ZQESRIFile>();
    file->initWithContents({twice.bytes(), DbfBuilder({}).bytes(), {}, {}, index});
    EXPECT_EQ(paths(*file).size(), 1);
    EXPECT_EQ(file->damagedRecordsDescription(),
              QStringLiteral("2 damaged records were skipped. The first: Record 1 (at byte 100) declares a negative "
                             "length. Record 3 (at byte 156) is damaged too. The 48 bytes after its header were not "
                             "read: the shapefile's index (.shx) places no record there."));
}

// Every record a parse walks past without making an object is counted under one cause.
TEST(ShapefileParse, WhatAParseLeavesOutIsCountedByCauseAndTold)
{
    ShpBuilder shp;
    shp.addPoints(1, {{5, 5}});          // made
    shp.addPoints(1, {{50, 50}});        // outside the drawing
    shp.addPoints(1, {{qQNaN(), 1}});    // damaged
    shp.addPoints(0);                    // no shape
    shp.addPoints(1, {{6, 6}});          // the factory fails on it
    shp.addParts(3, {});                 // no shape
    QByteArray table = DbfBuilder({{"NAME", 'C', 10}}).bytes();
    qToLittleEndian(quint16(0), table.data() + 10);
    auto file = reader(shp.bytes(), table);
    auto factory = std::make_shared<RecordingFactory>();
    factory->throwAtRequest = 2;
    file->setObjectFactory(factory);
    file->setDiscardOutOfViewObjects(true);
    file->setDocumentRect(QRectF(0, 0, 20, 20));
    ASSERT_EQ(file->parse()->size(), 1);

    const geodata::LeftOutRecords leftOut = file->leftOut();
    EXPECT_EQ(leftOut.outsideDrawing, 1u);
    EXPECT_EQ(leftOut.damaged, 1u);
    EXPECT_EQ(leftOut.notMade, 1u);
    EXPECT_EQ(leftOut.withoutShape, 2u);
    EXPECT_EQ(leftOut.recordCount(), 5u);
    EXPECT_EQ(leftOut.description(),
              QStringLiteral("One record lies wholly outside the drawing. A damaged record was skipped. Record 3 (at "
                             "byte 156) has no point whose coordinates are finite numbers of a usable size. One record "
                             "could not be made into a map object. 2 records hold no point, line or area. The database "
                             "(.dbf) file is damaged: its header gives its rows no length. Attributes were not read."));

    // Shapes imported without attributes lack none.
    file->setReadMetadata(false);
    file->setDiscardOutOfViewObjects(false);
    factory->throwAtRequest = -1;
    factory->requests.clear();
    ASSERT_EQ(file->parse()->size(), 3);
    EXPECT_EQ(file->leftOut().recordCount(), 3u) << "the damaged record and the two without a shape";
    EXPECT_TRUE(file->leftOut().attributesProblem.isEmpty());
}

TEST(ShapefileHeader, SaysWhyAFileIsNoShapefile)
{
    const QByteArray good = validShp();
    QByteArray otherCode = good, otherVersion = good;
    qToBigEndian(quint32(9995), otherCode.data());
    qToLittleEndian(quint32(1001), otherVersion.data() + 28);
    EXPECT_TRUE(reader(good)->headerProblem().isEmpty());
    EXPECT_EQ(reader(good.left(60))->headerProblem(),
              QStringLiteral("It holds 60 bytes, fewer than the 100 of a shapefile's header."));
    EXPECT_EQ(reader(otherCode)->headerProblem(), QStringLiteral("It does not begin as a shapefile does."));
    EXPECT_EQ(reader(otherVersion)->headerProblem(),
              QStringLiteral("Its header gives version 1001, not the 1000 of shapefiles."));
    EXPECT_EQ(reader(good.left(good.size() - 2))->headerProblem(),
              QStringLiteral("Its header gives a length of %1 bytes, but the file holds %2: it was cut short or is "
                             "damaged.")
                  .arg(good.size())
                  .arg(good.size() - 2));
}

// A header length that ends inside the first descriptor (33: room for the terminator only)
// leaves the field out, and says so; one that ends exactly after the descriptors does not.
TEST(ShapefileAttributes, AHeaderThatEndsWithinAFieldsDescriptionIsTold)
{
    DbfBuilder dbf({{"NAME", 'C', 4}, {"KIND", 'C', 4}});
    dbf.addRow({"abcd", "efgh"});
    const auto withHeaderLength = [&](quint16 length) {
        QByteArray changed = dbf.bytes();
        qToLittleEndian(length, changed.data() + 8);
        return reader(validShp(), changed);
    };
    const auto first = withHeaderLength(33);
    EXPECT_TRUE(first->databaseFieldNames().isEmpty());
    EXPECT_EQ(first->attributesProblem(),
              QStringLiteral("The database (.dbf) file is damaged. Its header of 33 bytes ends within the description "
                             "of the field “NAME”; the fields from it on were not read."));
    EXPECT_EQ(first->countOfErrors(), 1u);
    EXPECT_EQ(first->leftOut().attributesProblem, first->attributesProblem());

    const auto second = withHeaderLength(80);
    EXPECT_EQ(second->databaseFieldNames(), QStringList{"NAME"});
    EXPECT_TRUE(second->attributesProblem().contains(QStringLiteral("field “KIND”")));

    EXPECT_TRUE(withHeaderLength(96)->attributesProblem().isEmpty()) << "no terminator, but no field cut";
    EXPECT_TRUE(withHeaderLength(97)->attributesProblem().isEmpty());
}

// Vertices that a path cannot hold are left out of shapes that still have others, and
// counted; a shape that has none left is a damaged record, not a count of points.
// An import of a million short lines keeps a million paths: each holds its points, not the
// sixteen elements an empty path sets aside.
TEST(ShapefileGeometry, AnImportedPathHoldsNoMoreRoomThanItsPoints)
{
    ShpBuilder shp;
    shp.addParts(3, {{{0, 0}, {1, 1}}});
    shp.addParts(5, {{{0, 0}, {1, 0}, {0, 0}}, {{5, 5}, {6, 5}, {5, 5}}});
    auto file = reader(shp.bytes());
    const QList<QPainterPath> result = paths(*file);
    ASSERT_EQ(result.size(), 2);
    EXPECT_EQ(elements(result[0]), (QStringList{"M 0 0", "L 1 1"}));
    EXPECT_EQ(result[0].capacity(), 2);
    EXPECT_EQ(result[1].toSubpathPolygons().size(), 2);
    EXPECT_LE(result[1].capacity(), 8) << "room for its six points and two closes";
}

TEST(ShapefileGeometry, VerticesLeftOutOfTheirShapesAreCounted)
{
    ShpBuilder shp;
    shp.addParts(5, {{{0, 0}, {4, 0}, {qQNaN(), 2}, {4, 4}, {0, 0}}});
    shp.addParts(3, {{{0, 0}, {qInf(), 1}, {1e200, 1}, {2, 2}}});
    shp.addParts(3, {{{qQNaN(), 0}, {qQNaN(), 1}}});
    auto file = reader(shp.bytes());
    const QList<QPainterPath> made = paths(*file);
    ASSERT_EQ(made.size(), 2);
    EXPECT_EQ(elements(made[0]), (QStringList{"M 0 0", "L 4 0", "L 4 4", "L 0 0"}));
    const geodata::LeftOutRecords leftOut = file->leftOut();
    EXPECT_EQ(leftOut.pointsLeftOut, 3u);
    EXPECT_EQ(leftOut.damaged, 1u);
    EXPECT_EQ(leftOut.recordCount(), 1u);
    EXPECT_TRUE(leftOut.description().contains(QStringLiteral(
        "3 points whose coordinates are no finite numbers of a usable size were left out of their shapes.")))
        << leftOut.description().toStdString();

    ShpBuilder one;
    one.addParts(5, {{{0, 0}, {4, 0}, {qQNaN(), 2}, {4, 4}, {0, 0}}});
    auto single = reader(one.bytes());
    paths(*single);
    EXPECT_EQ(single->leftOut().description(),
              QStringLiteral("One point whose coordinates are no finite numbers of a usable size was left out of its "
                             "shape."));
    // Counted again by each parse, not added up.
    paths(*single);
    EXPECT_EQ(single->leftOut().pointsLeftOut, 1u);
}

// Memory that runs short while the records are read stops the parse before the next record
// with room to spare, rather than in the middle of one.
TEST(ShapefileParse, MemoryRunningShortInTheMiddleOfTheRecordsStopsTheParseBetweenRecords)
{
    ShpBuilder shp;
    QList<QPointF> line;
    for (int i = 0; i < 2000; ++i)
        line.append(QPointF(i, i % 7));
    for (int i = 0; i < 400; ++i)
        shp.addParts(3, {line});
    auto file = reader(shp.bytes(), std::nullopt);
    auto factory = std::make_shared<RecordingFactory>();
    file->setObjectFactory(factory);
    file->setAvailableMemory(qint64(8) << 30);
    factory->onRequest = [&] {
        // Another program takes all but the worker's headroom.
        if (factory->requests.size() == 10)
            file->setAvailableMemory(ZQESRIFile::kWorkerMemoryHeadroom);
    };
    EXPECT_FALSE(file->parse());
    EXPECT_EQ(file->memoryShortage(), ZQESRIFile::MemoryShortage::Records);
    EXPECT_TRUE(file->ranOutOfMemory());
    EXPECT_GT(factory->requests.size(), 10);
    EXPECT_LT(factory->requests.size(), 400);
    EXPECT_EQ(file->errorString(), QStringLiteral("There was not enough memory to import it: the import stopped at "
                                                  "record %1 of 400.")
                                       .arg(factory->requests.size() + 1));

    factory->onRequest = nullptr;
    factory->requests.clear();
    file->setAvailableMemory(qint64(8) << 30);
    EXPECT_EQ(file->parse()->size(), 400);
    EXPECT_EQ(file->memoryShortage(), ZQESRIFile::MemoryShortage::None);
}

// What was granted since the last measure stands in for the memory it takes until the next.
TEST(RecordMemoryGuard, RefusesWhatWouldCrossTheMarginAndMeasuresSeldomWhileThereIsPlenty)
{
    constexpr qint64 kMiB = qint64(1) << 20;
    qint64 taken = 0;
    int measures = 0;
    geodata::RecordMemoryGuard guard(
        [&]() -> std::optional<qint64> {
            ++measures;
            return 1024 * kMiB - taken;
        },
        128 * kMiB);
    while (guard.admits(kMiB, 0))
        taken += kMiB;
    EXPECT_EQ(taken, 896 * kMiB) << "up to the margin, not past it";
    EXPECT_LE(measures, 896 / 16 + 2);

    // What a record takes only while it is made may use half the margin.
    taken = 0;
    geodata::RecordMemoryGuard fresh([&]() -> std::optional<qint64> { return 1024 * kMiB - taken; }, 128 * kMiB);
    EXPECT_FALSE(fresh.admits(0, 961 * kMiB));
    EXPECT_TRUE(fresh.admits(0, 960 * kMiB));
    EXPECT_TRUE(fresh.admits(896 * kMiB, 64 * kMiB));
    taken = 896 * kMiB;
    EXPECT_FALSE(fresh.admits(1, 0)) << "the margin is reached";

    geodata::RecordMemoryGuard unknown([] { return std::nullopt; }, 128 * kMiB);
    EXPECT_TRUE(unknown.admits(qint64(1) << 50, qint64(1) << 50)) << "nothing known, nothing refused";
}
