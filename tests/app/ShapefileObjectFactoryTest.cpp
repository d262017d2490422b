// The shapefile object factory: the objects it makes per shape type, the polygon styles of
// the default, auto-colour and mapcolor choices (bad mapcolor values and an empty colour list
// included), attributes as metadata, the bundle's colour lists, and the user info imports
// leave on objects.

#include "app/import/SharedAttributeValues.h"
#include "app/import/ZQShapefileObjectFactory.h"
#include "geodata/ZQESRIFile.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXRoundRectShape.h"
#include "platform/vantrix/styles/VXRastGroup.h"
#include "support/ArchiveTesting.h"
#include "support/ShapefileBuilders.h"
#include "support/ThreadTime.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <limits>
#include <thread>

using geodata::AttributeDictionary;
using geodata::AttributeValue;
using platform::ColourList;

namespace {

QPainterPath square(double x, double y)
{
    QPainterPath path;
    path.addRect(x, y, 10, 10);
    return path;
}

QPainterPath pointAt(QPointF point)
{
    QPainterPath path;
    path.moveTo(point);
    return path;
}

AttributeDictionary mapcolor(const AttributeValue& value)
{
    AttributeDictionary attributes;
    attributes.insert(QStringLiteral("mapcolor7"), value);
    return attributes;
}

VXStylePtr styleOf(const ZQObjectPtr& object)
{
    auto drawable = std::dynamic_pointer_cast<VXDrawableObject>(object);
    return drawable ? drawable->style() : nullptr;
}

std::shared_ptr<ColourList> rainbow(int count)
{
    QList<std::pair<QString, QColor>> entries;
    for (int i = 0; i < count; ++i)
        entries.append({QStringLiteral("c%1").arg(i), QColor::fromHsv(i * 360 / std::max(count, 1), 200, 200)});
    return std::make_shared<ColourList>(QStringLiteral("Test"), entries);
}

// A factory that colours automatically from `list`, reading no defaults for its colouring.
std::shared_ptr<ZQShapefileObjectFactory> autoColouring(platform::ColourListPtr list, const QString& mapcolorName = {})
{
    auto factory = ZQShapefileObjectFactory::makeFactory();
    factory->setAutoColourShapes(true);
    factory->setAutoColourList(std::move(list));
    factory->setMapcolorAttributeName(mapcolorName);
    return factory;
}

class FakeMaster : public PointSymbolMaster {
public:
    QList<QPointF> placed;
    std::shared_ptr<VXDrawableObject> symbolWithLocation(QPointF location) override
    {
        placed.append(location);
        return VXDrawablePath::drawablePathWithBezierPath(platform::BezierPath());
    }
};

class ShapefileObjectFactoryTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        ZQShapefileObjectFactory::setDefaultSymbolMasterProvider({});
        for (const char* key : {"kImportOptionSettingAutocolourEnable", "kImportOptionAutocolourListName",
                                "kImportOptionMapcolorAttributeName"})
            platform::UserDefaults::standardUserDefaults()->removeObjectForKey(QString::fromLatin1(key));
    }
};

} // namespace

TEST_F(ShapefileObjectFactoryTest, MakesOneKindOfObjectPerShapeTypeWithAttributesAsMetadata)
{
    auto factory = ZQShapefileObjectFactory::makeFactory();
    AttributeDictionary attributes;
    attributes.insert(QStringLiteral("name"), AttributeValue::string(QStringLiteral("Ashe")));
    attributes.insert(QStringLiteral("fips"), AttributeValue::integer(37009));
    attributes.insert(QStringLiteral("area"), AttributeValue::real(0.114));
    attributes.insert(QStringLiteral("coastal"), AttributeValue::boolean(true));
    attributes.insert(QStringLiteral("founded"), AttributeValue::date(QDate(1799, 11, 18)));

    int notifications = 0;
    QObject receiver;
    platform::NotificationCenter::defaultCenter().addObserver(&receiver, kVXMetadataDidChangeNotification, nullptr,
                                                              [&](const platform::Notification&) { ++notifications; });

    auto polygon = std::dynamic_pointer_cast<VXDrawableShape>(
        factory->objectForShapeWithPathAttributes(5, square(20, 30), &attributes));
    ASSERT_TRUE(polygon);
    const QRectF box = polygon->logicalBounds();
    EXPECT_NEAR(box.left(), 20, 1e-9);
    EXPECT_NEAR(box.top(), 30, 1e-9);
    EXPECT_NEAR(box.width(), 10, 1e-9);
    const platform::MetadataContainer::Items& items = polygon->metadata();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items.value("name")->stringValue(), QStringLiteral("Ashe"));
    EXPECT_EQ(items.value("fips")->type(), kVXMetadataTypeInteger);
    EXPECT_EQ(items.value("fips")->intValue(), 37009);
    EXPECT_DOUBLE_EQ(items.value("area")->realValue(), 0.114);
    EXPECT_TRUE(items.value("coastal")->boolValue());
    EXPECT_EQ(items.value("founded")->value().toDateTime().date(), QDate(1799, 11, 18));
    // Objects are made off the main thread: adding their attributes tells nobody.
    EXPECT_EQ(notifications, 0);

    QPainterPath line;
    line.moveTo(0, 0);
    line.lineTo(50, 5);
    auto path = std::dynamic_pointer_cast<VXDrawablePath>(factory->objectForShapeWithPathAttributes(3, line, nullptr));
    ASSERT_TRUE(path);
    EXPECT_FALSE(path->style()->hasFill());
    EXPECT_EQ(path->style()->strokeColour(), QColor(Qt::black));
    EXPECT_DOUBLE_EQ(path->style()->maxStrokeWidth(), 0.1);
    EXPECT_TRUE(path->metadata().isEmpty());

    // Without a master for imported points, a point is a 4 x 4 oval of the plain shape class.
    auto oval = factory->objectForShapeWithPathAttributes(1, pointAt({100, 200}), &attributes);
    ASSERT_TRUE(oval);
    EXPECT_STREQ(oval->metaObject()->className(), "VXDrawableShape");
    const QRectF ovalBounds = std::static_pointer_cast<VXDrawableShape>(oval)->logicalBounds();
    EXPECT_NEAR(ovalBounds.width(), 4, 1e-9);
    EXPECT_NEAR(ovalBounds.center().x(), 100, 1e-9);
    EXPECT_NEAR(ovalBounds.center().y(), 200, 1e-9);

    QPainterPath points;
    points.moveTo(1, 1);
    points.moveTo(2, 2);
    EXPECT_FALSE(factory->objectForShapeWithPathAttributes(8, points, &attributes));
    EXPECT_FALSE(factory->objectForShapeWithPathAttributes(13, line, &attributes));
}

// Records that name one row (or rows alike) keep one copy of its attributes between them.
TEST_F(ShapefileObjectFactoryTest, ObjectsWithAlikeAttributesShareOneCopyUntilOneChanges)
{
    auto factory = ZQShapefileObjectFactory::makeFactory();
    auto row = [](const QString& name) {
        AttributeDictionary attributes;
        attributes.insert(QStringLiteral("name"), AttributeValue::string(name));
        attributes.insert(QStringLiteral("lanes"), AttributeValue::integer(2));
        return attributes;
    };
    auto valuesOf = [](const ZQObjectPtr& object) {
        return std::dynamic_pointer_cast<VXDrawableObject>(object)->metadataValues();
    };
    const AttributeDictionary high = row(QStringLiteral("High Street"));
    const ZQObjectPtr first = factory->objectForShapeWithPathAttributes(3, square(0, 0), &high);
    const ZQObjectPtr again = factory->objectForShapeWithPathAttributes(3, square(10, 0), &high);
    const AttributeDictionary mill = row(QStringLiteral("Mill Lane"));
    const ZQObjectPtr other = factory->objectForShapeWithPathAttributes(3, square(20, 0), &mill);
    const AttributeDictionary highReadAgain = row(QStringLiteral("High Street"));
    const ZQObjectPtr alike = factory->objectForShapeWithPathAttributes(5, square(30, 0), &highReadAgain);

    EXPECT_TRUE(valuesOf(first).isSharedWith(valuesOf(again)));
    EXPECT_TRUE(valuesOf(first).isSharedWith(valuesOf(alike)));
    EXPECT_FALSE(valuesOf(first).isSharedWith(valuesOf(other)));
    EXPECT_EQ(valuesOf(other).value(QStringLiteral("name")).value.toString(), QStringLiteral("Mill Lane"));

    // A change to one object's attributes leaves the others' alone.
    std::dynamic_pointer_cast<VXDrawableObject>(alike)->setMetadataItemValueForKey(QStringLiteral("Market Street"),
                                                                                   QStringLiteral("NAME"));
    EXPECT_EQ(valuesOf(alike).value(QStringLiteral("name")).value.toString(), QStringLiteral("Market Street"));
    EXPECT_EQ(valuesOf(first).value(QStringLiteral("name")).value.toString(), QStringLiteral("High Street"));
    EXPECT_TRUE(valuesOf(first).isSharedWith(valuesOf(again)));
}

// Points that all name the one row of a table of 2,046 fields: one copy of the row for all.
TEST_F(ShapefileObjectFactoryTest, AnImportWhoseRecordsNameOneRowKeepsItOnce)
{
    QList<shapefiletest::DbfBuilder::Field> fields;
    for (int i = 0; i < 2046; ++i)
        fields.append({QByteArray("F") + QByteArray::number(i), 'C', 0});
    shapefiletest::DbfBuilder table(fields);
    table.addRow({});
    shapefiletest::ShpBuilder shp;
    for (int i = 0; i < 2000; ++i)
        shp.addPoints(1, {{double(i), 0}});
    QByteArray bytes = shp.bytes();
    for (qsizetype offset = 100; offset < bytes.size(); offset += 28)
        qToBigEndian(quint32(1), bytes.data() + offset);
    auto reader = std::make_shared<ZQESRIFile>();
    reader->initWithContents({bytes, table.bytes()});
    reader->setObjectFactory(ZQShapefileObjectFactory::makeFactory());
    const auto objects = reader->parse();
    ASSERT_TRUE(objects);
    ASSERT_EQ(objects->size(), 2000);
    const auto values = [](const ZQObjectPtr& object) {
        return std::dynamic_pointer_cast<VXDrawableObject>(object)->metadataValues();
    };
    EXPECT_EQ(values(objects->first()).size(), 2046);
    EXPECT_TRUE(std::all_of(objects->cbegin(), objects->cend(),
                            [&](const ZQObjectPtr& object) { return values(object).isSharedWith(values(objects->first())); }));
}

// Points naming rows 1, 2, 1, 2, ... of a table of 2,046 fields: each row is decoded and
// converted once, not at every change of row (which took a millisecond a record), and the
// points naming one row share its copy.
TEST_F(ShapefileObjectFactoryTest, AnImportWhoseRecordsTakeTurnsBetweenRowsReadsEachOnce)
{
    QList<shapefiletest::DbfBuilder::Field> fields;
    for (int i = 0; i < 2046; ++i)
        fields.append({QByteArray("F") + QByteArray::number(i), 'N', 4});
    shapefiletest::DbfBuilder table(fields);
    for (const QByteArray& value : {QByteArray("1"), QByteArray("2")})
        table.addRow(QList<QByteArray>(2046, value));
    constexpr int kPoints = 20'000;
    shapefiletest::ShpBuilder shp;
    for (int i = 0; i < kPoints; ++i)
        shp.addPoints(1, {{double(i), 0}});
    const auto naming = [&](const std::function<int(int)>& rowOf) {
        QByteArray bytes = shp.bytes();
        for (int i = 0; i < kPoints; ++i)
            qToBigEndian(quint32(rowOf(i)), bytes.data() + 100 + 28 * i);
        return bytes;
    };
    const QByteArray takingTurns = naming([](int i) { return 1 + i % 2; });
    const QByteArray allTheFirst = naming([](int) { return 1; });
    const auto parse = [&](const QByteArray& points) {
        auto reader = std::make_shared<ZQESRIFile>();
        reader->initWithContents({points, table.bytes()});
        reader->setObjectFactory(ZQShapefileObjectFactory::makeFactory());
        return reader->parse();
    };
    // As fast as records that all name one row, some 0.2 s; every change of row read afresh, 20 s.
    const testsupport::PairedTimes times =
        testsupport::leastThreadSecondsInTurns([&] { parse(takingTurns); }, [&] { parse(allTheFirst); });
    EXPECT_LT(times.ratio(), 3.0) << times;
    const auto objects = parse(takingTurns);
    ASSERT_TRUE(objects);
    ASSERT_EQ(objects->size(), kPoints);
    const auto values = [](const ZQObjectPtr& object) {
        return std::dynamic_pointer_cast<VXDrawableObject>(object)->metadataValues();
    };
    EXPECT_EQ(values(objects->at(0)).value(QStringLiteral("f7")).value.toLongLong(), 1);
    EXPECT_EQ(values(objects->at(1)).value(QStringLiteral("f7")).value.toLongLong(), 2);
    int unshared = 0;
    for (int i = 2; i < kPoints; ++i)
        unshared += !values(objects->at(i)).isSharedWith(values(objects->at(i % 2)));
    EXPECT_EQ(unshared, 0);
}

// Rows alike in content share one copy however many records come between them; rows that all
// differ (a table with an identifier) are no longer compared after a few thousand, and each
// still arrives whole and as its own.
TEST_F(ShapefileObjectFactoryTest, AlikeRowsShareACopyAndRowsThatAllDifferArriveWhole)
{
    const auto row = [](const QString& kind, qint64 id) {
        AttributeDictionary attributes;
        attributes.insert(QStringLiteral("kind"), AttributeValue::string(kind));
        if (id >= 0)
            attributes.insert(QStringLiteral("id"), AttributeValue::integer(id));
        return attributes;
    };
    const auto values = [](const ZQObjectPtr& object) {
        return std::dynamic_pointer_cast<VXDrawableObject>(object)->metadataValues();
    };
    constexpr int kRows = 2 * SharedAttributeValues::kDifferentRowsBeforeGivingUp;
    auto factory = ZQShapefileObjectFactory::makeFactory();
    QList<ZQObjectPtr> kinds;
    for (int i = 0; i < kRows; ++i) {
        const AttributeDictionary attributes = row(i % 2 ? QStringLiteral("track") : QStringLiteral("lane"), -1);
        kinds.append(factory->objectForShapeWithPathAttributes(3, square(i, 0), &attributes));
    }
    int unshared = 0;
    for (int i = 2; i < kRows; ++i)
        unshared += !values(kinds[i]).isSharedWith(values(kinds[i % 2]));
    EXPECT_EQ(unshared, 0);

    auto identified = ZQShapefileObjectFactory::makeFactory();
    QList<ZQObjectPtr> ids;
    for (int i = 0; i < kRows; ++i) {
        const AttributeDictionary attributes = row(QStringLiteral("lane"), i);
        ids.append(identified->objectForShapeWithPathAttributes(3, square(i, 0), &attributes));
    }
    int wrong = 0;
    for (int i = 0; i < kRows; ++i) {
        const auto made = values(ids[i]);
        wrong += made.size() != 2 || made.value(QStringLiteral("id")).value.toLongLong() != i
               || made.value(QStringLiteral("kind")).value.toString() != QStringLiteral("lane");
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(ShapefileObjectFactoryTest, PointsBecomeSymbolsOfTheInstalledMaster)
{
    auto master = std::make_shared<FakeMaster>();
    ZQShapefileObjectFactory::setDefaultSymbolMasterProvider([master] { return master; });
    auto factory = ZQShapefileObjectFactory::makeFactory();
    AttributeDictionary attributes;
    attributes.insert(QStringLiteral("id"), AttributeValue::integer(7));

    auto symbol = std::dynamic_pointer_cast<VXDrawableObject>(
        factory->objectForShapeWithPathAttributes(1, pointAt({3, 4}), &attributes));
    ASSERT_TRUE(symbol);
    EXPECT_EQ(master->placed, QList<QPointF>{QPointF(3, 4)});
    EXPECT_EQ(symbol->metadataValueForKey("id").toLongLong(), 7);

    // A path that does not begin with a point is a programming error the reader counts.
    EXPECT_ANY_THROW(factory->symbolWithPathAttributes(QPainterPath(), nullptr));
}

TEST_F(ShapefileObjectFactoryTest, PolygonsShareThePaleGreenStyleWhenAutoColourIsOff)
{
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(false, "kImportOptionSettingAutocolourEnable");
    auto factory = ZQShapefileObjectFactory::makeFactory();
    const VXStylePtr first = styleOf(factory->objectForShapeWithPathAttributes(5, square(0, 0), nullptr));
    const AttributeDictionary three = mapcolor(AttributeValue::integer(3));
    const VXStylePtr second = styleOf(factory->objectForShapeWithPathAttributes(5, square(20, 0), &three));
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->fillColour().rgb(), QColor::fromRgbF(0.875f, 0.91f, 0.78f).rgb());
    EXPECT_EQ(first->strokeColour(), QColor(Qt::black));
    EXPECT_DOUBLE_EQ(first->maxStrokeWidth(), 0.1);
    EXPECT_FALSE(first->styleSharable());
}

TEST_F(ShapefileObjectFactoryTest, AutoColourCyclesFromTheSecondColourAndWraps)
{
    auto list = rainbow(3);
    auto factory = autoColouring(list);
    QList<QColor> fills;
    for (int i = 0; i < 4; ++i)
        fills.append(styleOf(factory->objectForShapeWithPathAttributes(5, square(i * 20, 0), nullptr))->fillColour());
    EXPECT_EQ(fills, (QList<QColor>{list->colourAtIndex(1), list->colourAtIndex(2), list->colourAtIndex(0),
                                    list->colourAtIndex(1)}));
}

TEST_F(ShapefileObjectFactoryTest, MapcolorValuesPickSharedPaletteStylesAndBadValuesCycle)
{
    auto list = rainbow(10);
    auto factory = autoColouring(list, QStringLiteral("MAPCOLOR7"));
    const AttributeDictionary three = mapcolor(AttributeValue::integer(3));
    const VXStylePtr a = styleOf(factory->objectForShapeWithPathAttributes(5, square(0, 0), &three));
    const VXStylePtr b = styleOf(factory->objectForShapeWithPathAttributes(5, square(20, 0), &three));
    ASSERT_TRUE(a);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->fillColour(), list->colourAtIndex(2));
    EXPECT_TRUE(a->styleSharable());
    // The palette has seven entries: 10 takes the third colour again, as a style of its own.
    const AttributeDictionary ten = mapcolor(AttributeValue::real(10.0));
    const VXStylePtr c = styleOf(factory->objectForShapeWithPathAttributes(5, square(40, 0), &ten));
    EXPECT_EQ(c->fillColour(), list->colourAtIndex(2));
    EXPECT_NE(c, a);

    // Missing, zero, no-data codes, huge and non-numbers cycle from the list's second colour.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const QList<AttributeDictionary> cycling{
        {},
        mapcolor(AttributeValue::integer(0)),
        mapcolor(AttributeValue::integer(-99)),
        mapcolor(AttributeValue::real(1e30)),
        mapcolor(AttributeValue::real(nan)),
        mapcolor(AttributeValue::string(QStringLiteral("blue"))),
        mapcolor(AttributeValue::boolean(true)),
    };
    for (int i = 0; i < cycling.size(); ++i) {
        const VXStylePtr style = styleOf(factory->objectForShapeWithPathAttributes(5, square(i * 20, 40), &cycling[i]));
        EXPECT_EQ(style->fillColour(), list->colourAtIndex(i + 1)) << "case " << i;
    }
    EXPECT_EQ(styleOf(factory->objectForShapeWithPathAttributes(5, square(0, 60), nullptr))->fillColour(),
              list->colourAtIndex(8));

    // Numbers kept as text still pick their entry.
    const AttributeDictionary text = mapcolor(AttributeValue::string(QStringLiteral(" 3 ")));
    EXPECT_EQ(styleOf(factory->objectForShapeWithPathAttributes(5, square(0, 80), &text)), a);

    // The palette is capped at the list's size.
    auto small = autoColouring(rainbow(4), QStringLiteral("mapcolor13"));
    AttributeDictionary sixOf13;
    sixOf13.insert(QStringLiteral("mapcolor13"), AttributeValue::integer(6));
    EXPECT_EQ(styleOf(small->objectForShapeWithPathAttributes(5, square(0, 0), &sixOf13))->fillColour(),
              small->autoColourList()->colourAtIndex(1));
}

TEST_F(ShapefileObjectFactoryTest, AnEmptyColourListGivesTheDefaultStyle)
{
    auto factory = autoColouring(rainbow(0), QStringLiteral("mapcolor7"));
    const AttributeDictionary three = mapcolor(AttributeValue::integer(3));
    EXPECT_EQ(styleOf(factory->objectForShapeWithPathAttributes(5, square(0, 0), nullptr)), factory->defaultShapeStyle());
    EXPECT_EQ(styleOf(factory->objectForShapeWithPathAttributes(5, square(0, 0), &three)), factory->defaultShapeStyle());
}

TEST_F(ShapefileObjectFactoryTest, ReadsTheImportOptionsAndFallsBackToCrayons)
{
    auto* defaults = platform::UserDefaults::standardUserDefaults();
    defaults->setObjectForKey(true, "kImportOptionSettingAutocolourEnable");
    defaults->setObjectForKey(QStringLiteral("Earth"), "kImportOptionAutocolourListName");
    defaults->setObjectForKey(QStringLiteral("mapcolor9"), "kImportOptionMapcolorAttributeName");
    auto factory = ZQShapefileObjectFactory::makeFactory();
    EXPECT_TRUE(factory->autoColourShapes());
    EXPECT_EQ(factory->autoColourList()->name(), QStringLiteral("Earth"));
    EXPECT_EQ(factory->mapcolorAttributeName(), QStringLiteral("mapcolor9"));

    defaults->setObjectForKey(QStringLiteral("No Such List"), "kImportOptionAutocolourListName");
    EXPECT_EQ(ZQShapefileObjectFactory::makeFactory()->autoColourList()->name(), QStringLiteral("Crayons"));
}

TEST_F(ShapefileObjectFactoryTest, ObjectsMadeOnAWorkerMoveToTheMainThreadWithTheirStyles)
{
    auto factory = autoColouring(rainbow(5), QStringLiteral("mapcolor7"));
    const AttributeDictionary attributes = mapcolor(AttributeValue::integer(2));
    QList<ZQObjectPtr> made;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) {
            made.append(factory->objectForShapeWithPathAttributes(5, square(i * 20, 0), &attributes));
            made.append(factory->objectForShapeWithPathAttributes(3, square(i * 20, 40), nullptr));
        }
        for (const ZQObjectPtr& object : made)
            factory->moveObjectToThread(object, qApp->thread());
    });
    worker.join();
    std::function<void(const VXRasterizerPtr&)> expectOnMainThread = [&](const VXRasterizerPtr& component) {
        EXPECT_EQ(component->thread(), qApp->thread()) << component->metaObject()->className();
        if (auto* group = dynamic_cast<VXRastGroup*>(component.get())) {
            for (const VXRasterizerPtr& member : group->renderList())
                expectOnMainThread(member);
        }
    };
    for (const ZQObjectPtr& object : made) {
        EXPECT_EQ(object->thread(), qApp->thread());
        expectOnMainThread(styleOf(object));
    }
    EXPECT_EQ(styleOf(made[0]), styleOf(made[2])) << "the shared palette style moved once";
}

TEST(ColourListTest, BundleListsKeepTheirOrderAndBadFilesAreRefused)
{
    const QStringList names = ColourList::availableColourListNames();
    for (const char* name : {"Crayons", "Earth", "Greys", "Map Tints", "Pastels"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(name))) << name;
    EXPECT_FALSE(ColourList::colourListNamed(QStringLiteral("crayons")));

    const platform::ColourListPtr crayons = ColourList::colourListNamed(QStringLiteral("Crayons"));
    ASSERT_TRUE(crayons);
    const QStringList keys = crayons->allKeys();
    ASSERT_EQ(keys.size(), 48);
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), 48);
    for (int i = 0; i < keys.size(); ++i)
        EXPECT_EQ(crayons->colourWithKey(keys[i]), crayons->colourAtIndex(i));
    EXPECT_EQ(keys.first(), QStringLiteral("Blush")); // file order, not sorted
    EXPECT_FALSE(crayons->colourWithKey(QStringLiteral("Nowhere")).isValid());

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Mixed.plist"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
               "<key>Zed</key><string>#102030</string><key>Bad</key><string>not a colour</string>"
               "<key>Alpha</key><string>#ABC</string><key>Number</key><integer>3</integer></dict></plist>");
    file.close();
    const platform::ColourListPtr mixed = ColourList::colourListWithContentsOfFile(path);
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->name(), QStringLiteral("Mixed"));
    EXPECT_EQ(mixed->allKeys(), (QStringList{"Zed", "Alpha"}));
    EXPECT_EQ(mixed->colourAtIndex(1), QColor(0xAA, 0xBB, 0xCC));

    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("<plist version=\"1.0\"><array><string>#102030</string></array></plist>");
    file.close();
    EXPECT_FALSE(ColourList::colourListWithContentsOfFile(path));
    EXPECT_FALSE(ColourList::colourListWithContentsOfFile(folder.filePath(QStringLiteral("missing.plist"))));
}

TEST(DrawableUserInfoTest, SurvivesArchivesAndCopiesAndRefusesWhatCannotBeArchived)
{
    auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), VXStyle::defaultShapeStyle());
    shape->setUserInfoObjectForKey(qint64(41), QStringLiteral("QVNL_ORIGINAL_RECORD_NUMBER"));
    shape->setUserInfoObjectForKey(QStringLiteral("/data/nc.shp"), QStringLiteral("QVNL_ORIGINAL_FILE_PATH"));
    shape->setUserInfoObjectForKey(QVariantList{1.5, QStringLiteral("x")}, QStringLiteral("list"));
    shape->setUserInfoObjectForKey(QStringLiteral("gone"), QStringLiteral("removed"));
    shape->setUserInfoObjectForKey(QVariant(), QStringLiteral("removed"));
    EXPECT_ANY_THROW(shape->setUserInfoObjectForKey(QVariant::fromValue(ZQObjectPtr(shape)), QStringLiteral("object")));

    const QVariantMap expected{{QStringLiteral("QVNL_ORIGINAL_RECORD_NUMBER"), qint64(41)},
                               {QStringLiteral("QVNL_ORIGINAL_FILE_PATH"), QStringLiteral("/data/nc.shp")},
                               {QStringLiteral("list"), QVariantList{1.5, QStringLiteral("x")}}};
    EXPECT_EQ(shape->userInfo(), expected);

    const auto decoded = testsupport::roundTrip<VXDrawableShape>(*shape);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->userInfo(), expected);
    EXPECT_EQ(decoded->userInfoObjectForKey(QStringLiteral("QVNL_ORIGINAL_RECORD_NUMBER")).toLongLong(), 41);
    EXPECT_EQ(shape->copyDrawable()->userInfo(), expected);
    // An object without user info archives none and reads back none.
    EXPECT_TRUE(testsupport::roundTrip<VXDrawableShape>(*VXDrawableShape::drawableShapeWithStyle({}))->userInfo().isEmpty());
}

TEST_F(ShapefileObjectFactoryTest, ObjectsAreMadeOfTheClassesSubstitutedForPlainShapesAndPaths)
{
    auto factory = ZQShapefileObjectFactory::makeFactory();
    QPainterPath line;
    line.moveTo(0, 0);
    line.lineTo(5, 5);
    EXPECT_EQ(factory->objectForShapeWithPathAttributes(3, line, nullptr)->metaObject(),
              ZQShapefileObjectFactory::classForShape(3));
    EXPECT_EQ(ZQShapefileObjectFactory::classForShape(3), &VXDrawablePath::staticMetaObject);
    for (qint32 nothing : {0, 8, 13, 15, 31})
        EXPECT_EQ(ZQShapefileObjectFactory::classForShape(nothing), nullptr) << nothing;

    // The application puts its labelled shape in for plain shapes; any subclass stands in here.
    platform::ClassRegistry::setSubstituteClass(QStringLiteral("VXDrawableShape"), QStringLiteral("VXRoundRectShape"));
    const auto restore = qScopeGuard([] { platform::ClassRegistry::setSubstituteClass(QStringLiteral("VXDrawableShape"), {}); });
    EXPECT_EQ(ZQShapefileObjectFactory::classForShape(5), &VXRoundRectShape::staticMetaObject);
    auto polygon = std::dynamic_pointer_cast<VXDrawableShape>(factory->objectForShapeWithPathAttributes(5, square(20, 30), nullptr));
    ASSERT_TRUE(polygon);
    EXPECT_EQ(polygon->metaObject(), &VXRoundRectShape::staticMetaObject);
    EXPECT_EQ(polygon->logicalBounds().topLeft(), QPointF(20, 30));
    EXPECT_EQ(polygon->style(), factory->defaultShapeStyle());
}
