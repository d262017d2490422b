#include "ShapefileFixture.h"

#include "geodata/ProjectionScanner.h"
#include "geodata/ZQESRIFile.h"

#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using fixture::DbfBuilder;
using fixture::ShpBuilder;
using geodata::AttributeValue;

namespace {

std::shared_ptr<ZQESRIFile> reader(const QByteArray& shp, std::optional<QByteArray> dbf = QByteArray(),
                                   std::optional<QByteArray> cpg = {}, std::optional<QByteArray> prj = {})
{
    auto file = std::make_shared<ZQESRIFile>();
    file->initWithContents({shp, std::move(dbf), std::move(cpg), std::move(prj)});
    return file;
}

// Records every object request and answers a plain object; throws when asked to.
class RecordingFactory : public ZQShapefileObjectFactory {
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

QByteArray validShp()
{
    ShpBuilder shp;
    shp.addPoint({1, 2});
    return shp.bytes();
}

} // namespace

TEST(ShapefileHeader, AcceptsOnlyAnExactLengthWordCodeAndVersion)
{
    const QByteArray good = validShp();
    EXPECT_TRUE(reader(good)->checkHeader());
    EXPECT_FALSE(reader(good + '\0')->checkHeader()) << "one byte more than the length word says";
    EXPECT_FALSE(reader(good.left(good.size() - 1))->checkHeader());
    EXPECT_FALSE(reader(good.left(99))->checkHeader()) << "shorter than the header";
    EXPECT_FALSE(reader(QByteArray())->checkHeader());

    QByteArray littleEndianCode = good;
    qToLittleEndian(quint32(9994), littleEndianCode.data());
    EXPECT_FALSE(reader(littleEndianCode)->checkHeader()) << "the file code is big-endian";
    QByteArray bigEndianVersion = good;
    qToBigEndian(quint32(1000), bigEndianVersion.data() + 28);
    EXPECT_FALSE(reader(bigEndianVersion)->checkHeader()) << "the version is little-endian";

    EXPECT_EQ(reader(good)->countOfObjects(), 1u);
    EXPECT_EQ(reader(good + '\0')->countOfObjects(), 0u) << "no records without a valid header";
}

TEST(ShapefileHeader, BoundsAreOrderedWhicheverWayTheyAreStored)
{
    EXPECT_EQ(reader(validShp())->bounds(), QRectF(-10, -20, 20, 40));
    EXPECT_EQ(reader(validShp())->fileShapeType(), 5);
}

TEST(ShapefileGeometry, PolygonRingsCloseAndPolylinePartsStayOpen)
{
    ShpBuilder shp;
    shp.addParts(5, {{{0, 0}, {4, 0}, {4, 4}, {0, 0}}, {{1, 1}, {2, 1}, {2, 2}, {1, 1}}});
    shp.addParts(3, {{{0, 0}, {1, 1}, {2, 0}}, {{5, 5}, {6, 6}}});
    auto file = reader(shp.bytes());
    const QList<QPainterPath> result = paths(*file);
    ASSERT_EQ(result.size(), 2);

    const QList<QPolygonF> rings = result[0].toSubpathPolygons();
    ASSERT_EQ(rings.size(), 2);
    EXPECT_TRUE(rings[0].isClosed() && rings[1].isClosed());
    EXPECT_EQ(rings[1].first(), QPointF(1, 1));

    EXPECT_EQ(elements(result[1]), (QStringList{"M 0 0", "L 1 1", "L 2 0", "M 5 5", "L 6 6"}));
    EXPECT_EQ(file->countOfErrors(), 0u);
}

namespace {

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

QStringList converterCalls(const QByteArray& shp)
{
    auto file = reader(shp);
    auto converter = std::make_unique<RecordingConverter>();
    RecordingConverter* calls = converter.get();
    file->setPathConverter(std::move(converter));
    paths(*file);
    return calls->calls;
}

} // namespace

TEST(ShapefileGeometry, ConverterHearsSubPathsAppendsAndClosesInFileOrder)
{
    ShpBuilder points;
    points.addPoint({3.5, -2});
    points.addMultiPoint({{1, 1}, {2, 2}, {3, 3}});
    EXPECT_EQ(converterCalls(points.bytes()), (QStringList{"M 3.5 -2", "M 1 1", "M 2 2", "M 3 3"}));
    EXPECT_EQ(elements(paths(*reader(points.bytes()))[0]), QStringList{"M 3.5 -2"});

    ShpBuilder polygon;
    polygon.addParts(5, {{{0, 0}, {1, 0}, {0, 0}}, {{5, 5}, {6, 5}, {5, 5}}});
    polygon.addContent(fixture::polyContent(5, 1, 0, {0}, {}));
    EXPECT_EQ(converterCalls(polygon.bytes()),
              (QStringList{"M 0 0", "L 1 0", "L 0 0", "Z", "M 5 5", "L 6 5", "L 5 5", "Z", "Z"}))
        << "a ring closes before the next part and at the end; a polygon without points only closes";
}

TEST(ShapefileGeometry, OtherShapeTypesArePassedOverWithoutError)
{
    ShpBuilder shp;
    shp.addNull();
    shp.addParts(13, {{{0, 0}, {1, 1}}});
    shp.addParts(25, {{{0, 0}, {1, 1}, {1, 0}, {0, 0}}});
    shp.addContent(fixture::polyContent(5, 0, 2, {}, {{0, 0}, {1, 1}})); // no parts: nothing to draw
    auto file = reader(shp.bytes());
    EXPECT_TRUE(paths(*file).isEmpty());
    EXPECT_EQ(file->countOfObjects(), 4u);
    EXPECT_EQ(file->countOfErrors(), 0u);

    // The X/Y part of a Z record still decodes, for inspection.
    const auto second = std::next(file->records().begin());
    const auto geometry = geodata::ShapeGeometry::decode(*second);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->pointCount(), 2u);
    EXPECT_EQ(geometry->point(1), QPointF(1, 1));
}

TEST(ShapefileGeometry, LyingRecordsAreSkippedAndCountedWhileTheRestIsRead)
{
    ShpBuilder shp;
    shp.addPoint({1, 1});
    // Counts that the record cannot hold, including ones that overflow 32-bit arithmetic.
    shp.addContent(fixture::polyContent(3, 1, 0x10000000, {0}, {{0, 0}, {1, 1}}));
    shp.addContent(fixture::polyContent(5, 0xFFFFFFFF, 2, {0}, {{0, 0}, {1, 1}}));
    shp.addContent(QByteArray(2, '\0'));                                 // too short for a shape type
    shp.addContent(fixture::polyContent(3, 1, 2, {0}, {{0, 0}, {1, 1}}).left(40)); // cut before its counts
    shp.addPoint({2, 2});
    shp.addContent(fixture::polyContent(3, 1, 2, {0}, {{0, 0}, {1, 1}}), 1000); // runs past the end
    auto file = reader(shp.bytes());

    const QList<QPainterPath> result = paths(*file);
    ASSERT_EQ(result.size(), 2);
    EXPECT_EQ(result[1].elementAt(0), QPointF(2, 2));
    EXPECT_EQ(file->countOfErrors(), 5u);
    EXPECT_EQ(file->countOfObjectsNotRead(), 5u);
    EXPECT_EQ(file->countOfObjects(), 7u);
}

TEST(ShapefileGeometry, PartStartsOutOfOrderNeverReadOutsideThePoints)
{
    ShpBuilder shp;
    shp.addContent(fixture::polyContent(3, 3, 4, {0, 3, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    shp.addContent(fixture::polyContent(3, 1, 2, {7}, {{0, 0}, {1, 0}}));
    const QList<QPainterPath> result = paths(*reader(shp.bytes()));
    ASSERT_EQ(result.size(), 2);
    // The third part never begins: its start lies behind the second's.
    EXPECT_EQ(elements(result[0]), (QStringList{"M 0 0", "L 1 0", "L 2 0", "M 3 0"}));
    // A first part that does not start at 0 still begins a sub-path at the first point.
    EXPECT_EQ(elements(result[1]), (QStringList{"M 0 0", "L 1 0"}));
}

TEST(ShapefileGeometry, PointsAPathCannotHoldAreLeftOut)
{
    ShpBuilder shp;
    shp.addParts(3, {{{0, 0}, {qQNaN(), 1}, {1e200, 0}, {2, 2}}});
    EXPECT_EQ(elements(paths(*reader(shp.bytes()))[0]), (QStringList{"M 0 0", "L 2 2"}));
}

namespace {

DbfBuilder attributeTable()
{
    DbfBuilder dbf({{"NAME", 'C', 12}, {"Born", 'D', 8}, {"AREA", 'N', 12}, {"RATIO", 'F', 10}, {"COUNT", 'I', 4},
                    {"OK", 'L', 1}, {"NOTE", 'M', 10}});
    QByteArray count(4, '\0');
    qToLittleEndian(qint32(-7), count.data());
    dbf.addRow({"  Ashe \r\n", "19970630", "16777217", " -2.5e1", count, "y", "memo"});
    dbf.addRow({"Gone", "", "", "", count, "T", ""}, true);
    dbf.addRow({"Caf\xE9", "1997", "abc", "", count, "?", ""});
    return dbf;
}

} // namespace

TEST(ShapefileAttributes, DecodeEveryFieldTypeUnderLowerCasedKeys)
{
    auto file = reader(validShp(), attributeTable().bytes());
    const auto row = file->metadataForRecord(0);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->keys(), (QStringList{"area", "born", "count", "name", "ok", "ratio"})) << "the memo field is left out";
    EXPECT_EQ(row->value("name"), AttributeValue::string("Ashe"));
    EXPECT_EQ(row->value("born"), AttributeValue::date(QDate(1997, 6, 30)));
    EXPECT_EQ(row->value("area"), AttributeValue::real(16777216.0)) << "numbers keep single precision";
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

TEST(ShapefileAttributes, OnlyAnExactUtf8CodePageReadsUtf8)
{
    DbfBuilder dbf({{"NAME", 'C', 8}});
    dbf.addRow({"Caf\xC3\xA9"});
    EXPECT_EQ(reader(validShp(), dbf.bytes(), "UTF-8")->metadataForRecord(0)->value("name").value(),
              QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(reader(validShp(), dbf.bytes(), "UTF-8\n")->metadataForRecord(0)->value("name").value(),
              QStringLiteral("Caf\u00C3\u00A9"));
    EXPECT_EQ(reader(validShp(), dbf.bytes(), "UTF-8\n")->dBaseStringEncoding(), QStringLiteral("UTF-8\n"));
    EXPECT_FALSE(reader(validShp(), dbf.bytes())->dBaseStringEncoding());
}

TEST(ShapefileAttributes, RepeatedNamesKeepTheLaterField)
{
    DbfBuilder dbf({{"A", 'C', 3}, {"B", 'C', 3}, {"A", 'N', 4}});
    dbf.addRow({"x", "y", "12"});
    auto file = reader(validShp(), dbf.bytes());
    const auto fields = file->databaseFieldInfo();
    ASSERT_TRUE(fields);
    EXPECT_EQ(file->databaseFieldNames(), (QStringList{"A", "B"}));
    EXPECT_EQ(fields->value("A"), ZQDBaseFieldInfo('N', 4, 6, "A"));
    EXPECT_EQ(file->metadataForRecord(0)->value("a"), AttributeValue::real(12));
}

TEST(ShapefileAttributes, DamagedHeadersGiveNoTable)
{
    auto fieldsOf = [](const QByteArray& dbf) { return reader(validShp(), dbf)->databaseFieldInfo(); };
    DbfBuilder dbf({{"NAME", 'C', 8}});
    dbf.addRow({"a"});
    const QByteArray good = dbf.bytes();
    ASSERT_TRUE(fieldsOf(good));

    QByteArray zeroLength = good;
    qToLittleEndian(quint16(0), zeroLength.data() + 10);
    EXPECT_FALSE(fieldsOf(zeroLength));
    QByteArray tooLong = good;
    qToLittleEndian(quint16(40000), tooLong.data() + 10);
    EXPECT_FALSE(fieldsOf(tooLong));
    // 0x20000000 rows of 9 bytes overflow 32-bit arithmetic back into a small number.
    QByteArray manyRows = good;
    qToLittleEndian(quint32(0x20000000), manyRows.data() + 4);
    qToLittleEndian(quint16(8), manyRows.data() + 10);
    EXPECT_FALSE(fieldsOf(manyRows));
    EXPECT_FALSE(fieldsOf(good.left(31)));
    EXPECT_FALSE(fieldsOf(good.left(good.size() - 1))) << "the last row is cut";

    auto missing = reader(validShp(), std::nullopt);
    EXPECT_FALSE(missing->databaseFieldInfo());
    EXPECT_FALSE(missing->metadataForRecord(0));
    EXPECT_EQ(missing->countOfErrors(), 1u);
    EXPECT_EQ(missing->errorString(), QStringLiteral("No database (.dbf) file was found; attributes were not read."));
}

TEST(ShapefileAttributes, FieldsStayInsideTheRowAndDescriptorsInsideTheHeader)
{
    DbfBuilder dbf({{"A", 'C', 4}, {"B", 'C', 4}});
    dbf.addRow({"abcd", "efgh"});
    QByteArray shortRows = dbf.bytes();
    qToLittleEndian(quint16(7), shortRows.data() + 10); // B would run past a 7-byte row
    qToLittleEndian(quint32(0), shortRows.data() + 4);
    EXPECT_EQ(reader(validShp(), shortRows)->databaseFieldNames(), QStringList{"A"});

    QByteArray unterminated = dbf.bytes();
    unterminated[32 + 64] = 'X';                         // no 0x0D after the descriptors
    qToLittleEndian(quint16(32 + 64), unterminated.data() + 8); // the header ends there
    qToLittleEndian(quint32(0), unterminated.data() + 4);
    EXPECT_EQ(reader(validShp(), unterminated)->databaseFieldNames(), (QStringList{"A", "B"}));
}

TEST(ShapefileProjection, ParsesNestedKeywordsStringsAndNumbers)
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
    const QVariantList spheroid = datum[1].toMap().value("SPHEROID").toList();
    EXPECT_EQ(spheroid, (QVariantList{QStringLiteral("Clarke_1866"), 6378206.4, 294.98}));
    EXPECT_EQ(geogcs[2].toMap().value("PRIMEM").toList(), (QVariantList{QStringLiteral("Greenwich"), 0.0}));
    EXPECT_EQ(geogcs[3].toMap().value("UNIT").toList().value(1), 0.0174532925);
}

TEST(ShapefileProjection, MalformedTextAnswersNothing)
{
    for (const QByteArray& prj : {QByteArray(""), QByteArray("   "), QByteArray("[1,2]"), QByteArray("A[[1]]"),
                                  QByteArray("plain words"), QByteArray(200, '[').prepend("A"),
                                  QByteArray("A[").append(QByteArray("B[").repeated(100))}) {
        EXPECT_FALSE(reader(validShp(), {}, {}, prj)->projectionData()) << prj.left(40).constData();
    }
    EXPECT_FALSE(reader(validShp())->projectionData()) << "no .prj";
    // Unclosed brackets end with the text.
    EXPECT_TRUE(reader(validShp(), {}, {}, "A[\"x\",B[1")->projectionData());
}

namespace {

class CountingDelegate : public QObject, public ZQESRIFileDelegate {
public:
    QRectF esriFileWantsDocumentRect(ZQESRIFile*) override { return {}; }
    std::optional<QTransform> esriFileWantsShapefileTransform(ZQESRIFile*) override { return std::nullopt; }
    void esriFileDidFinishLoading(ZQESRIFile*) override {}
    void esriFileDidLoadObject(ZQESRIFile*, const std::shared_ptr<ZQObject>& object) override { loaded.append(object); }
    QList<std::shared_ptr<ZQObject>> loaded;
};

} // namespace

TEST(ShapefileParse, HandsEachRecordWithItsRowToTheFactoryAndCountsFailures)
{
    ShpBuilder shp;
    shp.addPoint({1, 1});
    shp.addContent(fixture::polyContent(3, 1, 99, {0}, {})); // damaged
    shp.addParts(5, {{{0, 0}, {2, 0}, {2, 2}, {0, 0}}});
    shp.addParts(3, {{{0, 0}, {1, 1}}});
    DbfBuilder dbf({{"ID", 'N', 4}});
    for (const char* id : {"10", "20", "30", "40"})
        dbf.addRow({id});
    auto file = reader(shp.bytes(), dbf.bytes());
    auto factory = std::make_shared<RecordingFactory>();
    factory->throwAtRequest = 3;
    CountingDelegate delegate;
    file->setObjectFactory(factory);
    file->setDelegate(&delegate);

    const auto objects = file->parseUsingTransform(QTransform::fromScale(2, -1));
    ASSERT_TRUE(objects);
    EXPECT_EQ(objects->size(), 2);
    EXPECT_EQ(delegate.loaded, *objects);
    ASSERT_EQ(factory->requests.size(), 3);
    EXPECT_EQ(factory->requests[1].shapeType, 5);
    EXPECT_EQ(factory->requests[1].path.boundingRect(), QRectF(0, -2, 4, 2)) << "mapped by the transform";
    EXPECT_EQ(factory->requests[1].attributes->value("id"), AttributeValue::real(30)) << "row = record number - 1";
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
        shp.addPoint({double(i * 10), 0});
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

TEST(ShapefileParse, RefusesABadHeaderOrAnUnusableTransform)
{
    auto broken = reader(validShp() + '\0');
    EXPECT_FALSE(broken->parse());
    EXPECT_EQ(broken->errorString(), QStringLiteral("Bad Header Length or Version"));
    EXPECT_FALSE(reader(validShp())->parseUsingTransform(QTransform::fromScale(0, 1)));
    EXPECT_FALSE(reader(validShp())->parseUsingTransform(QTransform::fromTranslate(qInf(), 0)));
}
