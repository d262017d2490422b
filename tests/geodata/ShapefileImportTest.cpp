// Threaded imports driven through the event loop as the application runs them: fitting,
// the kept transform, user info, stopping and failures. The sample sets are imported with
// the application's factory in the app tests.

#include "support/ShapefileBuilders.h"
#include "support/LogCapture.h"

#include "geodata/GeodataClasses.h"
#include "geodata/ShapefileImportServices.h"
#include "geodata/ZQDouglasPeuckerSimplifier.h"
#include "geodata/ZQESRIFile.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <gtest/gtest.h>
#include <functional>
#include <stdexcept>

using namespace shapefiletest;
using platform::UserDefaults;

namespace {

// An object that takes user info as drawables do.
class ImportedObject : public ZQObject {
    Q_OBJECT

public:
    Q_INVOKABLE void setUserInfoObjectForKey(const QVariant& value, const QString& key) { userInfo.insert(key, value); }
    QVariantMap userInfo;
    QPainterPath path;
    qint32 shapeType = 0;
    std::optional<geodata::AttributeDictionary> attributes;
    QThread* madeOn = nullptr;
};

class Factory : public ZQShapefileObjectMaker {
public:
    std::shared_ptr<ZQObject> objectForShapeWithPathAttributes(qint32 shapeType, const QPainterPath& path,
                                                               const geodata::AttributeDictionary* attributes) override
    {
        ++requests;
        if (onRequest)
            onRequest(requests);
        auto object = std::make_shared<ImportedObject>();
        object->path = path;
        object->shapeType = shapeType;
        object->attributes = attributes ? std::optional(*attributes) : std::nullopt;
        object->madeOn = QThread::currentThread();
        return object;
    }
    int requests = 0;
    std::function<void(int request)> onRequest; // may throw
};

class Delegate : public QObject, public ZQESRIFileDelegate {
public:
    QRectF esriFileWantsDocumentRect(ZQESRIFile*) override { return rect; }
    std::optional<QTransform> esriFileWantsShapefileTransform(ZQESRIFile*) override { return kept; }
    void esriFileWillFinishLoading(ZQESRIFile* file) override
    {
        preparedOnWorker = !platform::RunLoop::isMainThread();
        prepared = file->createdObjects().size();
        if (onWillFinish)
            onWillFinish();
    }
    void esriFileDidFinishLoading(ZQESRIFile* file) override
    {
        finished.append(file->createdObjects());
        kept = file->usedTransform();
        finishedOnMainThread = platform::RunLoop::isMainThread();
        ++finishCount;
    }
    void esriFileDidFinishThreadedLoad(const QVariantMap& info) override { threadedInfo = info; }
    QRectF rect{0, 0, 720, 720};
    std::optional<QTransform> kept;
    QList<ZQObjectPtr> finished;
    QVariantMap threadedInfo;
    bool finishedOnMainThread = false;
    int finishCount = 0;
    bool preparedOnWorker = false;
    qsizetype prepared = -1;
    std::function<void()> onWillFinish; // may throw
};

struct Row : geodata::ImportProgress {
    void endProgress() override { ended = true; }
    QString prompt;
    std::atomic<bool> ended = false;
};

class Services : public geodata::ShapefileImportServices {
public:
    std::shared_ptr<geodata::ImportProgress> beginProgressForReader(ZQESRIFile*, const QString& prompt) override
    {
        rows.append(std::make_shared<Row>());
        rows.last()->prompt = prompt;
        return rows.last();
    }
    void displayErrorAlertWithString(const QString& text) override { alerts.append(text); }
    std::shared_ptr<ZQShapefileObjectMaker> makeObjectFactory() override { return factory; }
    std::shared_ptr<Factory> factory = std::make_shared<Factory>();
    QList<std::shared_ptr<Row>> rows;
    QStringList alerts;
};

// Lets the workers finish and delivers what they handed to the main thread.
void finishImports()
{
    for (int turn = 0; turn < 3; ++turn) {
        QThreadPool::globalInstance()->waitForDone();
        platform::RunLoop::runUntilIdle();
    }
}

ImportedObject& imported(const ZQObjectPtr& object)
{
    return *static_cast<ImportedObject*>(object.get());
}

QPointF firstPoint(const ZQObjectPtr& object)
{
    return imported(object).path.elementAt(0);
}

class ShapefileImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerGeodataClasses();
        m_previous = geodata::ShapefileImportServices::install(services);
        ASSERT_TRUE(m_folder.isValid());
    }
    void TearDown() override
    {
        geodata::ShapefileImportServices::install(m_previous);
        for (const char* key : {"kImportOptionSettingSimplifyEnable", "kImportOptionSettingSimplifyAlgorithmClassname",
                                "kImportOptionSettingSimplifyDetailLevel"})
            UserDefaults::standardUserDefaults()->removeObjectForKey(QString::fromLatin1(key));
    }

    // Writes the set to the temporary folder and answers a reader of it.
    std::shared_ptr<ZQESRIFile> readerFor(const QString& name, const QByteArray& shp, const QByteArray& dbf)
    {
        const QString base = m_folder.filePath(name);
        for (const auto& [suffix, bytes] : {std::pair{".shp", shp}, std::pair{".dbf", dbf}}) {
            QFile file(base + QString::fromLatin1(suffix));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        auto reader = std::make_shared<ZQESRIFile>();
        reader->initWithFile(base + QStringLiteral(".shp"));
        return reader;
    }

    static QByteArray table(int rows)
    {
        DbfBuilder dbf({{"NAME", 'C', 8}});
        for (int i = 0; i < rows; ++i)
            dbf.addRow({QByteArray::number(i)});
        return dbf.bytes();
    }

    std::shared_ptr<Services> services = std::make_shared<Services>();
    Delegate delegate;
    QTemporaryDir m_folder;

private:
    std::shared_ptr<geodata::ShapefileImportServices> m_previous;
};

} // namespace

TEST_F(ShapefileImport, FitsTheDataTopLeftAndASecondImportReusesTheTransformExactly)
{
    ShpBuilder world;
    world.setBounds({-180, -90, 360, 180});
    world.addPoints(1, {{-180, 90}});
    world.addPoints(1, {{180, -90}});
    world.addPoints(1, {{12.5, 41.9}});
    auto first = readerFor("world", world.bytes(), table(3));
    first->beginLoadWithDelegate(&delegate);
    ASSERT_EQ(services->rows.size(), 1);
    EXPECT_EQ(services->rows[0]->prompt, QStringLiteral("Importing Shapefile “world.shp”"));
    EXPECT_EQ(delegate.finishCount, 0) << "the load returns at once";
    finishImports();

    ASSERT_EQ(delegate.finishCount, 1);
    EXPECT_TRUE(delegate.finishedOnMainThread);
    EXPECT_TRUE(delegate.preparedOnWorker);
    EXPECT_EQ(delegate.prepared, 3) << "the worker's last call sees every object";
    EXPECT_TRUE(services->rows[0]->ended);
    ASSERT_EQ(delegate.finished.size(), 3);
    // s = min(720 / 360, 720 / 180) = 2; north up, the top-left corner on the origin.
    EXPECT_EQ(firstPoint(delegate.finished[0]), QPointF(0, 0));
    EXPECT_EQ(firstPoint(delegate.finished[1]), QPointF(720, 360));
    for (const ZQObjectPtr& object : delegate.finished)
        EXPECT_EQ(object->thread(), QThread::currentThread()) << "handed over on the main thread";
    EXPECT_NE(imported(delegate.finished[0]).madeOn, QThread::currentThread()) << "made on the worker";

    // Another file with other bounds: the kept transform puts the shared point on the same spot.
    ShpBuilder city;
    city.setBounds({12, 41, 1, 1});
    city.addPoints(1, {{12.5, 41.9}});
    auto second = readerFor("city", city.bytes(), table(1));
    delegate.finished.clear();
    second->beginLoadWithDelegate(&delegate);
    finishImports();
    ASSERT_EQ(delegate.finished.size(), 1);
    EXPECT_EQ(second->usedTransform(), first->usedTransform());
    EXPECT_EQ(firstPoint(delegate.finished[0]), QPointF(385, 96.2));
}

TEST_F(ShapefileImport, ObjectsCarryTheirRowAndTableAndFailuresAreCountedAsTheParseGoesOn)
{
    ShpBuilder shp;
    shp.setBounds({0, 0, 10, 10});
    for (int i = 0; i < 5; ++i)
        shp.addParts(3, {{{double(i), 0}, {double(i), 10}}});
    auto reader = readerFor("roads", shp.bytes(), table(5));
    services->factory->onRequest = [](int request) {
        if (request == 2)
            throw std::runtime_error("no style");
    };
    testsupport::LogCapture log;
    reader->beginLoadWithDelegate(&delegate);
    finishImports();

    ASSERT_EQ(delegate.finished.size(), 4);
    const QVariantMap& info = imported(delegate.finished[2]).userInfo;
    EXPECT_EQ(info.value("QVNL_ORIGINAL_RECORD_NUMBER").toLongLong(), 3) << "the record's dBase row";
    EXPECT_EQ(info.value("QVNL_ORIGINAL_FILE_PATH").toString(), m_folder.filePath("roads.dbf"));
    EXPECT_EQ(imported(delegate.finished[2]).attributes->value("name"), geodata::AttributeValue::string(QStringLiteral("3")));
    EXPECT_EQ(reader->countOfErrors(), 1u);
    EXPECT_EQ(reader->countOfObjectsNotRead(), 1u);
    EXPECT_EQ(reader->countOfObjectsRead(), 4u);
    EXPECT_TRUE(log.contains(QStringLiteral("exception while parsing shapefile")));
}

TEST_F(ShapefileImport, TheStopButtonEndsTheParseAfterTheRecordsReadSoFar)
{
    ShpBuilder shp;
    for (int i = 0; i < 20; ++i)
        shp.addPoints(1, {{double(i % 10) - 10, double(i) - 20}});
    auto reader = readerFor("wells", shp.bytes(), table(20));
    constexpr int k = 7;
    services->factory->onRequest = [&](int request) {
        // The row's poll, as the progress window makes it after the user pressed stop.
        if (request == k)
            reader->progressFractionForProgressShouldCancel(nullptr, true);
    };
    reader->beginLoadWithDelegate(&delegate);
    finishImports();
    EXPECT_EQ(delegate.finished.size(), k);
    EXPECT_TRUE(reader->didAbort());
    EXPECT_TRUE(services->rows[0]->ended);
    EXPECT_DOUBLE_EQ(reader->progressFractionForProgressShouldCancel(nullptr, false), k / 20.0);
    EXPECT_TRUE(reader->didAbort()) << "a later poll without stop does not take it back";

    // Records that fall out of view move the bar on all the same.
    ShpBuilder row;
    for (int i = 0; i < 10; ++i)
        row.addPoints(1, {{double(i), 0}});
    auto scattered = readerFor("scattered", row.bytes(), table(10));
    scattered->setDiscardOutOfViewObjects(true);
    delegate.kept = QTransform::fromScale(100, 1); // x = 800 and 900 lie beyond the rectangle
    services->factory->onRequest = nullptr;
    scattered->beginLoadWithDelegate(&delegate);
    finishImports();
    EXPECT_EQ(scattered->countOfObjectsRead(), 8u);
    EXPECT_DOUBLE_EQ(scattered->progressFractionForProgressShouldCancel(nullptr, false), 1.0);
}

TEST_F(ShapefileImport, AnExceptionInTheParseIsLoggedEndsTheRowAndDeliversNothingAndOneInTheHandOverLosesNothing)
{
    ShpBuilder shp;
    for (int i = 0; i < 3; ++i)
        shp.addPoints(1, {{double(i), 0}});
    auto reader = readerFor("broken", shp.bytes(), table(3));
    class ThrowingConverter : public ZQShapefilePathConverter {
        std::optional<QPainterPath> endPath() override
        {
            if (++paths == 2)
                throw std::runtime_error("out of memory");
            return ZQShapefilePathConverter::endPath();
        }
        int paths = 0;
    };
    reader->setPathConverter(std::make_unique<ThrowingConverter>());
    testsupport::LogCapture log;
    reader->beginLoadWithDelegate(&delegate);
    finishImports();
    EXPECT_TRUE(log.contains(QStringLiteral("ESRI file exception: out of memory")));
    EXPECT_TRUE(services->rows[0]->ended);
    EXPECT_EQ(delegate.finishCount, 1);
    EXPECT_EQ(delegate.prepared, 0);
    EXPECT_TRUE(delegate.finished.isEmpty());

    // A delegate that fails while the worker hands over still hears of the end, with the objects.
    auto second = readerFor("sound", shp.bytes(), table(3));
    delegate.onWillFinish = [] { throw std::runtime_error("no layer"); };
    second->beginLoadWithDelegate(&delegate);
    finishImports();
    EXPECT_TRUE(services->rows[1]->ended);
    EXPECT_EQ(delegate.finishCount, 2);
    EXPECT_EQ(delegate.finished.size(), 3);
}

TEST_F(ShapefileImport, ACancelledImportNeverCallsItsGoneDelegate)
{
    ShpBuilder shp;
    for (int i = 0; i < 50; ++i)
        shp.addPoints(1, {{double(i), 0}});
    auto reader = readerFor("long", shp.bytes(), table(50));
    QSemaphore parsing, released;
    services->factory->onRequest = [&](int request) {
        if (request == 1) {
            parsing.release();
            released.acquire();
        }
    };
    auto* goneDelegate = new Delegate;
    reader->beginLoadWithDelegate(goneDelegate);
    parsing.acquire(); // the worker is inside the parse
    reader->cancelLoad();
    delete goneDelegate;
    released.release();
    finishImports();
    EXPECT_TRUE(reader->didAbort());
    EXPECT_EQ(services->factory->requests, 1) << "stopped before the next record";
    EXPECT_TRUE(services->rows[0]->ended);
}

TEST_F(ShapefileImport, DataWithoutExtentKeepsItsSizeAtTheOriginAndDamagedBoundsGiveWayToTheRecords)
{
    delegate.rect = QRectF(100, 50, 400, 300);
    for (const QList<QPointF>& points : {QList<QPointF>{{7, 8}}, QList<QPointF>{{7, 8}, {7, 8}, {7, 8}}}) {
        ShpBuilder shp;
        shp.setBounds({7, 8, 0, 0});
        for (QPointF point : points)
            shp.addPoints(1, {point});
        auto reader = readerFor("single", shp.bytes(), table(int(points.size())));
        delegate.kept.reset();
        delegate.finished.clear();
        reader->beginLoadWithDelegate(&delegate);
        finishImports();
        ASSERT_EQ(delegate.finished.size(), points.size());
        EXPECT_EQ(firstPoint(delegate.finished.last()), QPointF(100, 50));
        EXPECT_EQ(reader->usedTransform()->m11(), 1.0);
    }

    // Header bounds that are not numbers give way to the records' own.
    ShpBuilder damaged;
    damaged.setBounds({qQNaN(), 0, 1, qInf()});
    damaged.addPoints(1, {{2, 3}});
    damaged.addPoints(1, {{6, 5}});
    auto reader = readerFor("damaged", damaged.bytes(), table(2));
    delegate.kept.reset();
    delegate.finished.clear();
    reader->beginLoadWithDelegate(&delegate);
    finishImports();
    ASSERT_EQ(delegate.finished.size(), 2);
    EXPECT_EQ(firstPoint(delegate.finished[0]), QPointF(100, 50 + 2 * 100)) << "4 x 2 fitted at 100 per unit";
    EXPECT_EQ(firstPoint(delegate.finished[1]), QPointF(500, 50));
}

TEST_F(ShapefileImport, AFileFailingTheHeaderCheckShowsNothingAndCallsNoOne)
{
    auto reader = readerFor("text", QByteArray("not a shapefile"), table(0));
    reader->beginLoadWithDelegate(&delegate);
    finishImports();
    EXPECT_TRUE(services->rows.isEmpty());
    EXPECT_EQ(delegate.finishCount, 0);
}

TEST_F(ShapefileImport, SimplifiesInFileCoordinatesWithTheSimplifierTheDefaultsName)
{
    UserDefaults& defaults = *UserDefaults::standardUserDefaults();
    defaults.setBoolForKey(true, "kImportOptionSettingSimplifyEnable");
    defaults.setIntegerForKey(0, "kImportOptionSettingSimplifyDetailLevel"); // 0.02
    ShpBuilder shp;
    shp.setBounds({0, 0, 1, 0.5});
    // A bump of 0.01 (under the tolerance) and one of 0.5 (over it); a multipoint keeps all points.
    shp.addParts(3, {{{0, 0}, {0.25, 0.01}, {0.5, 0}, {0.75, 0.5}, {1, 0}}});
    shp.addPoints(8, {{0, 0}, {1, 0}, {0.5, 0.5}});
    auto reader = readerFor("bumps", shp.bytes(), table(2));
    ASSERT_TRUE(qobject_cast<ZQDouglasPeuckerSimplifier*>(reader->pathConverter().simplifier().get()));
    reader->beginLoadWithDelegate(&delegate);
    finishImports();
    ASSERT_EQ(delegate.finished.size(), 2);
    // Fitted at 720 per unit: in drawing units the small bump would be 7.2, far over 0.02.
    EXPECT_EQ(imported(delegate.finished[0]).path.elementCount(), 4);
    EXPECT_EQ(imported(delegate.finished[1]).path.toSubpathPolygons().size(), 3);

    // Hostile settings: a level far out of range is clamped; a class that is no simplifier is not made.
    defaults.setIntegerForKey(99, "kImportOptionSettingSimplifyDetailLevel");
    ZQShapefilePathConverter converter;
    converter.init();
    ASSERT_TRUE(converter.simplifier());
    EXPECT_EQ(converter.simplifier()->simplification(), ZQDouglasPeuckerSimplifier::simplificationForDetailLevel(4));
    for (const char* name : {"ZQKernel", "QObject", "NoSuchClass"}) {
        defaults.setObjectForKey(QString::fromLatin1(name), "kImportOptionSettingSimplifyAlgorithmClassname");
        ZQShapefilePathConverter hostile;
        hostile.init();
        EXPECT_FALSE(hostile.simplifier()) << name;
    }
    defaults.setBoolForKey(false, "kImportOptionSettingSimplifyEnable");
    ZQShapefilePathConverter off;
    off.init();
    EXPECT_FALSE(off.simplifier());
}

TEST_F(ShapefileImport, TheSynchronousEntryPointsAlertOnErrorsAndHandTheThreadedResultOver)
{
    ShpBuilder shp;
    shp.setBounds({0, 0, 10, 10});
    shp.addPoints(1, {{1, 1}});
    shp.addContent(polyContent(3, 1, 99, {0}, {})); // damaged
    shp.addPoints(1, {{9, 9}});
    readerFor("mixed", shp.bytes(), table(3));
    const QString path = m_folder.filePath("mixed.shp");

    const auto objects = ZQESRIFile::createDrawingObjectsFromESRIFileFitToRectDelegateTransform(
        path, QRectF(0, 0, 100, 100), &delegate, std::nullopt);
    ASSERT_TRUE(objects);
    EXPECT_EQ(objects->size(), 2);
    EXPECT_EQ(firstPoint(objects->last()), QPointF(90, 10));
    ASSERT_EQ(services->rows.size(), 1);
    EXPECT_TRUE(services->rows[0]->ended);
    finishImports();
    EXPECT_EQ(services->alerts, QStringList{"1 objects could not be read and were skipped (1 total errors). 2 Read OK. "
                                            "Check your results."});

    ZQESRIFile::createDrawingObjectsFromESRIFileFitToRectDelegateRunInThreadTransform(
        path, QRectF(0, 0, 100, 100), &delegate, true, QTransform::fromScale(2, 2));
    finishImports();
    EXPECT_EQ(delegate.threadedInfo.value("kESRIInfoFilePath").toString(), path);
    const auto threaded = delegate.threadedInfo.value("kESRIInfoObjects").value<QList<ZQObjectPtr>>();
    ASSERT_EQ(threaded.size(), 2);
    EXPECT_EQ(firstPoint(threaded.first()), QPointF(2, 2));
    EXPECT_EQ(threaded.first()->thread(), QThread::currentThread());
    EXPECT_FALSE(ZQESRIFile::createDrawingObjectsFromESRIFileFitToRectDelegateTransform(
        m_folder.filePath("missing.shp"), QRectF(0, 0, 1, 1), &delegate, std::nullopt));
}

#include "ShapefileImportTest.moc"

// A header box of no area, or one that does not hold the records, would place them off the
// drawing: the records' own extent is fitted instead. A box that holds them is kept.
TEST_F(ShapefileImport, AHeaderBoxWithoutAreaOrNotHoldingTheRecordsGivesWayToTheirExtent)
{
    delegate.rect = QRectF(100, 50, 400, 300);
    struct Case {
        const char* name;
        QRectF header;
        bool squares;
        QPointF expectedFirst;
    };
    // Data from (2, 3) to (6, 5): 4 x 2 fitted at 100 per unit, its top-left on (100, 50).
    for (const Case& c : {Case{"flat box, squares", {2, 3, 4, 0}, true, {100, 250}},
                          Case{"box short of the data", {2, 3, 3, 2}, false, {100, 250}},
                          Case{"box holding the data", {0, 0, 8, 8}, false, {175, 237.5}}}) {
        SCOPED_TRACE(c.name);
        ShpBuilder shp;
        shp.setBounds(c.header);
        for (QPointF corner : {QPointF(2, 3), QPointF(5.5, 4.5)}) {
            if (c.squares)
                shp.addParts(5, {{corner, corner + QPointF(0.5, 0), corner + QPointF(0.5, 0.5), corner}});
            else
                shp.addPoints(1, {corner});
        }
        if (!c.squares)
            shp.addPoints(1, {{6, 5}});
        auto reader = readerFor(c.name, shp.bytes(), table(3));
        reader->setDiscardOutOfViewObjects(true);
        delegate.kept.reset();
        delegate.finished.clear();
        reader->beginLoadWithDelegate(&delegate);
        finishImports();
        EXPECT_EQ(reader->countOfObjectsOutOfView(), 0u);
        ASSERT_EQ(delegate.finished.size(), c.squares ? 2 : 3);
        EXPECT_EQ(firstPoint(delegate.finished[0]), c.expectedFirst);
        EXPECT_FALSE(reader->transformWasKept());
        EXPECT_TRUE(reader->leftOut().description().isEmpty());
    }
}

// Data whose extent does not scale exactly into the drawing still lands whole, its extreme
// points on the drawing's edges included.
TEST_F(ShapefileImport, EveryRecordOfAFittedImportLandsWhateverTheRounding)
{
    delegate.rect = QRectF(36, 36, 523.2755905511812, 769.8897637795276);
    for (const QRectF extent : {QRectF(0.1, 0.7, 0.3, 0.9), QRectF(-123.456789, 45.1, 7.77, 0.333),
                                QRectF(1e-9, 3e-9, 7e-9, 1.1e-8), QRectF(512345.67, 6543210.9, 1234.5, 9876.5)}) {
        ShpBuilder shp;
        shp.setBounds(extent);
        for (QPointF corner : {extent.topLeft(), extent.topRight(), extent.bottomLeft(), extent.bottomRight()})
            shp.addPoints(1, {corner});
        auto reader = readerFor("corners", shp.bytes(), table(4));
        reader->setDiscardOutOfViewObjects(true);
        delegate.kept.reset();
        delegate.finished.clear();
        reader->beginLoadWithDelegate(&delegate);
        finishImports();
        EXPECT_EQ(delegate.finished.size(), 4) << extent.x() << " " << extent.width();
    }
}
