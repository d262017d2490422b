// File > Import Shapefile... as the map document runs it: the reader on its worker, the
// progress row, the new layer and its undo, the kept transform, and the document closing
// while an import runs.

#include "MapDocumentTestSupport.h"

#include "app/import/ShapefileImportHost.h"
#include "app/progress/ZQProgressController.h"
#include "app/progress/ZQProgressView.h"
#include "geodata/ZQESRIFile.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "support/LogCapture.h"
#include "support/ShapefileBuilders.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QtEndian>
#include <cerrno>
#include <functional>
#include <new>

using mapdocumenttest::activeMappingLayer;
using mapdocumenttest::newMapDocument;

namespace {

// Makes plain paths; can hold the parse inside its first record until released.
class PathMaker : public ZQShapefileObjectMaker {
public:
    std::shared_ptr<ZQObject> objectForShapeWithPathAttributes(qint32, const QPainterPath& path,
                                                               const geodata::AttributeDictionary* attributes) override
    {
        ++requests;
        if (holdsFirstRecord && requests == 1) {
            parsing.release();
            released.acquire();
        }
        if (attributes)
            ++withAttributes;
        if (requests == runsOutOfMemoryAt)
            throw std::bad_alloc();
        if (makesNothing)
            return nullptr;
        if (layersRunOutOfMemory)
            return std::make_shared<PathNoLayerHasRoomFor>(path);
        // A style of its own, as the application's factory makes: the shared default belongs to the main thread.
        return VXDrawablePath::drawablePathWithBezierPathWithStyle(
            platform::BezierPath(path), VXStyle::styleWithFillColourStrokeColour(QColor(), Qt::black));
    }
    // As if the layer's tables could not grow for it.
    class PathNoLayerHasRoomFor : public VXDrawablePath {
    public:
        explicit PathNoLayerHasRoomFor(const QPainterPath& path) { setPath(platform::BezierPath(path)); }
        void objectWasAddedToLayer(VXObjectOwnerLayer*) override { throw std::bad_alloc(); }
    };
    bool holdsFirstRecord = false;
    bool makesNothing = false;
    bool layersRunOutOfMemory = false;
    int runsOutOfMemoryAt = -1;
    int requests = 0;
    int withAttributes = 0;
    QSemaphore parsing, released;
};

class TestHost : public ShapefileImportHost {
public:
    std::shared_ptr<ZQShapefileObjectMaker> makeObjectFactory() override { return maker; }
    // On the main thread, once the checks before reading have passed and before the worker starts.
    std::shared_ptr<geodata::ImportProgress> beginProgressForReader(ZQESRIFile* reader, const QString& prompt) override
    {
        if (beforeWorker)
            beforeWorker(reader);
        return ShapefileImportHost::beginProgressForReader(reader, prompt);
    }
    std::shared_ptr<PathMaker> maker = std::make_shared<PathMaker>();
    std::function<void(ZQESRIFile*)> beforeWorker;
};

void finishImports()
{
    for (int turn = 0; turn < 3; ++turn) {
        QThreadPool::globalInstance()->waitForDone();
        platform::RunLoop::runUntilIdle();
    }
}

QMessageBox* shownMessageBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

class ShapefileImportCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        m_previous = geodata::ShapefileImportServices::install(host);
    }
    void TearDown() override { geodata::ShapefileImportServices::install(m_previous); }

    // A set as it comes: the shapes and a table, here one without fields.
    QString writeSet(const QString& name, const QByteArray& shp)
    {
        const QString path = folder.filePath(name + QStringLiteral(".shp"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(shp) == shp.size());
        writeCompanion(path, ".dbf", shapefiletest::DbfBuilder({}).bytes());
        return path;
    }
    // A companion of the set `shpPath` belongs to, e.g. ".dbf".
    void writeCompanion(const QString& shpPath, const char* suffix, const QByteArray& bytes)
    {
        QFile file(QFileInfo(shpPath).path() + u'/' + QFileInfo(shpPath).completeBaseName() + QLatin1String(suffix));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    // The alert on show, its message and informative text as told(...) gives them; closes it.
    std::pair<std::string, std::string> takeAlert()
    {
        QMessageBox* box = shownMessageBox();
        if (!box)
            return {};
        const auto texts = told(box->text(), box->informativeText());
        box->reject();
        finishImports();
        return texts;
    }
    static std::pair<std::string, std::string> told(const QString& message, const QString& informative)
    {
        return {message.toStdString(), informative.toStdString()};
    }
    QString rivers()
    {
        shapefiletest::ShpBuilder shp;
        shp.setBounds({0, 0, 40, 20});
        for (const QList<QPointF>& line : {QList<QPointF>{{0, 0}, {40, 20}}, {{10, 5}, {20, 5}}, {{0, 20}, {5, 15}}})
            shp.addParts(3, {line});
        return writeSet(QStringLiteral("Rivers of Wales"), shp.bytes());
    }

    std::shared_ptr<TestHost> host = std::make_shared<TestHost>();
    std::shared_ptr<ZQTrueQuorvaneDocument> document = newMapDocument();
    QTemporaryDir folder;

private:
    std::shared_ptr<geodata::ShapefileImportServices> m_previous;
};

} // namespace

TEST_F(ShapefileImportCommand, ImportsIntoAnActiveLayerNamedAfterTheFileAndASecondImportLinesUp)
{
    const int initialCount = document->drawing()->countOfLayers();
    const QString path = rivers();
    EXPECT_TRUE(document->importShapefileAtURL(QUrl::fromLocalFile(path)));
    const QList<ZQProgressView*> rows = ZQProgressController::sharedProgress()->displayedProgressViews();
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows.last()->promptString(), QStringLiteral("Importing Shapefile “Rivers of Wales.shp”"));
    finishImports();
    document->undoManager()->closeAutomaticGroup();

    const VXQMappingLayer* layer = activeMappingLayer(*document);
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->layerName(), QStringLiteral("Rivers of Wales"));
    ASSERT_EQ(layer->countOfObjects(), 3);
    EXPECT_FALSE(ZQProgressController::sharedProgress()->displayedProgressViews().contains(rows.last()));
    ASSERT_TRUE(document->shapefileTransform());
    // The data's top-left corner (0, 20) sits on the interior's origin.
    EXPECT_EQ(document->shapefileTransform()->map(QPointF(0, 20)), document->drawing()->interior().topLeft());
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Import Shapefile"));

    const QList<VXDrawableObjectPtr> firstObjects = layer->objects();
    EXPECT_TRUE(document->importShapefileAtURL(QUrl::fromLocalFile(folder.path())))
        << "a folder stands for its first shapefile";
    finishImports();
    document->undoManager()->closeAutomaticGroup();
    const VXQMappingLayer* second = activeMappingLayer(*document);
    ASSERT_TRUE(second && second != layer);
    EXPECT_EQ(second->layerName(), QStringLiteral("Rivers of Wales 2"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(second->objects()[i]->bounds(), firstObjects[i]->bounds());

    const std::optional<QTransform> transform = document->shapefileTransform();
    document->undoManager()->undo();
    document->undoManager()->undo();
    EXPECT_EQ(document->drawing()->countOfLayers(), initialCount);
    EXPECT_FALSE(document->shapefileTransform());

    document->undoManager()->redo();
    document->undoManager()->redo();
    EXPECT_EQ(document->drawing()->countOfLayers(), initialCount + 2);
    EXPECT_EQ(document->shapefileTransform(), transform);
    ASSERT_EQ(second->countOfObjects(), 3);
    EXPECT_EQ(second->objects()[0]->layer(), second);
}

TEST_F(ShapefileImportCommand, ALaterImportLinesUpAfterTheMapIsSavedAndReopened)
{
    const QString whole = rivers();
    document->importShapefileAtURL(QUrl::fromLocalFile(whole));
    finishImports();
    const QRectF middleRiver = activeMappingLayer(*document)->objects().at(1)->bounds();
    const QUrl saved = QUrl::fromLocalFile(folder.filePath(QStringLiteral("Wales.qvnl")));
    QuorvaneError error;
    ASSERT_TRUE(document->writeToURLOfTypeError(saved, kZQMapDocumentType, &error));

    // The middle river alone: a file of its own, with bounds of its own.
    shapefiletest::ShpBuilder part;
    part.setBounds({10, 4, 10, 2});
    part.addParts(3, {{{10, 5}, {20, 5}}});
    const QString partPath = writeSet(QStringLiteral("Middle river"), part.bytes());

    const auto reopened = std::make_shared<ZQTrueQuorvaneDocument>();
    ASSERT_TRUE(reopened->initWithContentsOfURLOfTypeError(saved, kZQMapDocumentType, &error));
    EXPECT_EQ(reopened->shapefileTransform(), document->shapefileTransform());
    EXPECT_FALSE(reopened->undoManager()->canUndo()) << "reading the transform is no step";
    reopened->importShapefileAtURL(QUrl::fromLocalFile(partPath));
    finishImports();
    const VXQMappingLayer* layer = activeMappingLayer(*reopened);
    ASSERT_TRUE(layer && layer->countOfObjects() == 1);
    EXPECT_EQ(layer->layerName(), QStringLiteral("Middle river"));
    EXPECT_EQ(layer->objects().at(0)->bounds(), middleRiver) << "on the river it was cut from";

    // A map saved before any import keeps none: the next import is fitted again.
    const QUrl blank = QUrl::fromLocalFile(folder.filePath(QStringLiteral("Blank.qvnl")));
    ASSERT_TRUE(newMapDocument()->writeToURLOfTypeError(blank, kZQMapDocumentType, &error));
    const auto fresh = std::make_shared<ZQTrueQuorvaneDocument>();
    ASSERT_TRUE(fresh->initWithContentsOfURLOfTypeError(blank, kZQMapDocumentType, &error));
    EXPECT_FALSE(fresh->shapefileTransform());
}

TEST_F(ShapefileImportCommand, TheImportSaysHowManyNumbersWereKeptAsTextAndRefusesAttributesPastTheBudget)
{
    shapefiletest::ShpBuilder shp;
    shapefiletest::DbfBuilder dbf({{"AREA", 'N', 24}, {"ID", 'N', 24}});
    for (const QByteArray& area : {"4069.397000000000389", "1e999", "-2e400"}) {
        shp.addPoints(1, {{1, 2}});
        dbf.addRow({area, "7"});
    }
    const QString path = writeSet(QStringLiteral("Gauges"), shp.bytes());
    QFile table(QFileInfo(path).path() + QStringLiteral("/Gauges.dbf"));
    ASSERT_TRUE(table.open(QIODevice::WriteOnly) && table.write(dbf.bytes()) > 0);
    table.close();
    document->importShapefileAtURL(QUrl::fromLocalFile(path));
    finishImports();
    ASSERT_EQ(activeMappingLayer(*document)->countOfObjects(), 3) << "all land";
    QMessageBox* report = shownMessageBox();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->text(), QStringLiteral("Some numbers in “Gauges.shp” were kept as text."));
    EXPECT_TRUE(report->informativeText().startsWith(QStringLiteral("2 numeric attribute values lie beyond")));
    report->reject();
    finishImports();

    // 2,046 fields of no width on each of 200,000 points: refused before a record is read.
    QList<shapefiletest::DbfBuilder::Field> fields;
    for (int i = 0; i < 2046; ++i)
        fields.append({QByteArray("F") + QByteArray::number(i), 'N', 0});
    QByteArray wide = shapefiletest::DbfBuilder(fields).bytes() + QByteArray(200'000, ' ');
    qToLittleEndian(quint32(200'000), wide.data() + 4);
    shapefiletest::ShpBuilder points;
    points.setBounds({0, 0, 399, 499});
    for (int i = 0; i < 200'000; ++i)
        points.addPoints(1, {{double(i % 400), double(i / 400)}});
    const QString widePath = writeSet(QStringLiteral("Wide"), points.bytes());
    QFile wideTable(QFileInfo(widePath).path() + QStringLiteral("/Wide.dbf"));
    ASSERT_TRUE(wideTable.open(QIODevice::WriteOnly) && wideTable.write(wide) == wide.size());
    wideTable.close();
    const int layers = document->drawing()->countOfLayers();
    EXPECT_FALSE(document->importShapefileAtURL(QUrl::fromLocalFile(widePath)));
    QMessageBox* refusal = shownMessageBox();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text(), QStringLiteral("The attributes of “Wide.shp” do not fit in memory."));
    EXPECT_TRUE(refusal->informativeText().contains(QStringLiteral("2046 fields"))) << refusal->informativeText().toStdString();
    EXPECT_TRUE(refusal->informativeText().endsWith(QStringLiteral("Its shapes can be imported without their attributes.")));
    refusal->reject();
    finishImports();
    EXPECT_EQ(document->drawing()->countOfLayers(), layers);

    // The shapes alone, when the user asks for them (fitted afresh, not lined up with the gauges).
    document->setShapefileTransform(std::nullopt);
    document->importShapefileAtURL(QUrl::fromLocalFile(widePath));
    QMessageBox* offer = shownMessageBox();
    ASSERT_TRUE(offer);
    ASSERT_EQ(offer->buttons().size(), 2);
    QAbstractButton* withoutAttributes = offer->buttons().first();
    for (QAbstractButton* button : offer->buttons())
        if (button->text() == QStringLiteral("Import Without Attributes"))
            withoutAttributes = button;
    EXPECT_EQ(withoutAttributes->text(), QStringLiteral("Import Without Attributes"));
    host->maker->requests = host->maker->withAttributes = 0;
    withoutAttributes->click();
    finishImports();
    EXPECT_EQ(document->drawing()->countOfLayers(), layers + 1);
    EXPECT_EQ(activeMappingLayer(*document)->countOfObjects(), 200'000);
    EXPECT_EQ(host->maker->requests, 200'000);
    EXPECT_EQ(host->maker->withAttributes, 0);
}

TEST_F(ShapefileImportCommand, AnImportThatRunsOutOfMemoryStopsAndSaysSoOnce)
{
    const int layers = document->drawing()->countOfLayers();
    host->maker->runsOutOfMemoryAt = 2;
    document->importShapefileAtURL(QUrl::fromLocalFile(rivers()));
    finishImports();
    EXPECT_EQ(host->maker->requests, 2) << "no record is tried after the failure";
    EXPECT_EQ(document->drawing()->countOfLayers(), layers);
    QMessageBox* told = shownMessageBox();
    ASSERT_TRUE(told);
    EXPECT_EQ(told->text(), QStringLiteral("Nothing was imported from “Rivers of Wales.shp”."));
    EXPECT_EQ(told->informativeText(),
              QStringLiteral("There was not enough memory to import it: the import stopped at record 2 of 3."));
    told->reject();
    finishImports();
    EXPECT_FALSE(shownMessageBox()) << "told once";
}

// The objects are made, but the layer that would hold them cannot be filled: the hand-over
// stops there, on its worker, and the main thread says so without trying again.
TEST_F(ShapefileImportCommand, AHandOverThatRunsOutOfMemoryAddsNothingAndSaysSo)
{
    const int layers = document->drawing()->countOfLayers();
    host->maker->layersRunOutOfMemory = true;
    document->importShapefileAtURL(QUrl::fromLocalFile(rivers()));
    finishImports();
    EXPECT_EQ(host->maker->requests, 3);
    EXPECT_EQ(document->drawing()->countOfLayers(), layers);
    QMessageBox* told = shownMessageBox();
    ASSERT_TRUE(told);
    EXPECT_EQ(told->text(), QStringLiteral("Nothing was imported from “Rivers of Wales.shp”."));
    EXPECT_EQ(told->informativeText(), QStringLiteral("There was not enough memory to add its 3 shapes to the map."));
    told->reject();
    finishImports();
    EXPECT_FALSE(shownMessageBox()) << "told once";
}

// Shapes that would not fit in the memory free are refused before a record is read, and
// without the offer to leave their attributes out, which would not help.
TEST_F(ShapefileImportCommand, ShapesPastTheFreeMemoryAreRefusedBeforeReading)
{
    const int layers = document->drawing()->countOfLayers();
    auto reader = std::make_shared<ZQESRIFile>();
    reader->initWithFile(rivers());
    const qint64 shapes = reader->shapeMemoryBytes();
    EXPECT_GE(shapes, 3 * 900) << "each line holds some 900 bytes besides its points";
    // The worker's own stack and allocator arena come first.
    const qint64 enough = shapes + ZQESRIFile::kWorkerMemoryHeadroom;
    reader->setAvailableMemory(enough - 1);
    EXPECT_EQ(reader->shapeMemoryProblem(),
              QStringLiteral("Its 3 shapes would take about %1 of memory, more than the %2 this computer has free "
                             "for them.")
                  .arg(QLocale().formattedDataSize(shapes), QLocale().formattedDataSize(shapes - 1)));
    reader->setReadMetadata(false);
    EXPECT_FALSE(reader->parse());
    EXPECT_TRUE(reader->ranOutOfMemory());
    EXPECT_EQ(reader->errorString(), reader->shapeMemoryProblem());
    EXPECT_EQ(host->maker->requests, 0);
    reader->setAvailableMemory(enough);
    EXPECT_EQ(reader->parse()->size(), 3);
    EXPECT_FALSE(reader->ranOutOfMemory());
    // With the shapes taking most of it, the attributes get what they leave, not half.
    EXPECT_EQ(ZQESRIFile::attributeMemoryBudgetForAvailableMemory(1000, 300), 500);
    EXPECT_EQ(ZQESRIFile::attributeMemoryBudgetForAvailableMemory(1000, 700), 300);
    EXPECT_EQ(ZQESRIFile::attributeMemoryBudgetForAvailableMemory(1000, 1200), 0);
    EXPECT_EQ(document->drawing()->countOfLayers(), layers);
}

TEST_F(ShapefileImportCommand, NothingImportedMakesNoLayerAndAlertsWhyAndAFileThatIsNoShapefileIsNamed)
{
    const int initialCount = document->drawing()->countOfLayers();
    // Everything lies outside the drawing under a transform kept from an earlier import.
    document->setShapefileTransform(QTransform::fromTranslate(1e6, 1e6));
    {
        testsupport::LogCapture log;
        const std::shared_ptr<ZQESRIFile> reader = document->importShapefileAtURL(QUrl::fromLocalFile(rivers()));
        finishImports();
        EXPECT_TRUE(log.contains(QStringLiteral("Shapefile import created no objects, layer not created")));
        EXPECT_EQ(reader->countOfObjectsOutOfView(), 3u);
    }
    EXPECT_EQ(document->drawing()->countOfLayers(), initialCount);
    QMessageBox* outside = shownMessageBox();
    ASSERT_TRUE(outside);
    EXPECT_EQ(outside->text(), QStringLiteral("Nothing was imported from “Rivers of Wales.shp”."));
    EXPECT_TRUE(outside->informativeText().contains(QStringLiteral("outside the drawing")));
    outside->reject();
    finishImports();

    // Shapes with heights are not imported, wherever they lie.
    document->setShapefileTransform(std::nullopt);
    document->importShapefileAtURL(
        QUrl::fromLocalFile(testsupport::sampleDataPath(QStringLiteral("shapefiles/storms_xyz.shp"))));
    finishImports();
    QMessageBox* unsupported = shownMessageBox();
    ASSERT_TRUE(unsupported);
    EXPECT_TRUE(unsupported->informativeText().contains(QStringLiteral("shape type 13")));
    unsupported->reject();
    finishImports();

    EXPECT_FALSE(document->importShapefileAtURL(QUrl::fromLocalFile(writeSet("notes", "plain text"))));
    QMessageBox* box = shownMessageBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->text().contains(QStringLiteral("“notes.shp”")));
    box->reject();
    finishImports();
    EXPECT_EQ(document->drawing()->countOfLayers(), initialCount);
}

TEST_F(ShapefileImportCommand, DamagedRecordsAreExplainedWhetherOrNotAnythingElseLands)
{
    // Points that are not numbers in a box of no size: nothing to place, and the alert says why.
    shapefiletest::ShpBuilder nowhere;
    nowhere.setBounds({0, 0, 0, 0});
    for (int i = 0; i < 3; ++i)
        nowhere.addPoints(1, {{qQNaN(), qQNaN()}});
    document->importShapefileAtURL(QUrl::fromLocalFile(writeSet(QStringLiteral("Nowhere"), nowhere.bytes())));
    finishImports();
    QMessageBox* nothing = shownMessageBox();
    ASSERT_TRUE(nothing);
    EXPECT_EQ(nothing->text(), QStringLiteral("Nothing was imported from “Nowhere.shp”."));
    EXPECT_TRUE(nothing->informativeText().contains(
        QStringLiteral("3 damaged records were skipped. The first: Record 1 (at byte 100) has no point whose coordinates")))
        << nothing->informativeText().toStdString();
    nothing->reject();
    finishImports();

    // A record of negative length before a good one: the index finds the good one, which lands.
    shapefiletest::ShpBuilder mixed;
    mixed.setBounds({0, 0, 10, 10});
    mixed.addContent(QByteArray(20, '\0'), 0xFFFFFFF0);
    mixed.addParts(3, {{{0, 0}, {10, 10}}});
    const QString path = writeSet(QStringLiteral("Mixed"), mixed.bytes());
    QFile index(QFileInfo(path).path() + QStringLiteral("/Mixed.shx"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly) && index.write(mixed.indexBytes()) > 0);
    index.close();
    document->importShapefileAtURL(QUrl::fromLocalFile(path));
    finishImports();
    EXPECT_EQ(activeMappingLayer(*document)->countOfObjects(), 1);
    QMessageBox* skipped = shownMessageBox();
    ASSERT_TRUE(skipped);
    EXPECT_EQ(skipped->text(), QStringLiteral("Some records of “Mixed.shp” could not be read."));
    EXPECT_EQ(skipped->informativeText(),
              QStringLiteral("A damaged record was skipped. Record 1 (at byte 100) declares a negative length."));
    skipped->reject();
    finishImports();
}

TEST_F(ShapefileImportCommand, AStoppedImportLandsWhatItReadAsOneStepThatRedoesWithItsLayerActive)
{
    const int initialCount = document->drawing()->countOfLayers();
    VXLayer* activeBefore = document->drawing()->activeLayer();
    // Stops while the worker is inside the first record, as the progress row's Stop button does.
    auto stopInsideFirstRecord = [&] {
        host->maker->holdsFirstRecord = true;
        const std::shared_ptr<ZQESRIFile> reader = document->importShapefileAtURL(QUrl::fromLocalFile(rivers()));
        host->maker->parsing.acquire();
        reader->progressFractionForProgressShouldCancel(nullptr, true);
        host->maker->released.release();
        finishImports();
        document->undoManager()->closeAutomaticGroup();
        EXPECT_TRUE(reader->didAbort());
        EXPECT_EQ(host->maker->requests, 1) << "no record after the stop";
    };
    stopInsideFirstRecord();
    const VXQMappingLayer* layer = activeMappingLayer(*document);
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->layerName(), QStringLiteral("Rivers of Wales"));
    EXPECT_EQ(layer->countOfObjects(), 1);
    EXPECT_FALSE(shownMessageBox());
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Import Shapefile"));
    const std::optional<QTransform> transform = document->shapefileTransform();
    ASSERT_TRUE(transform);

    document->undoManager()->undo();
    EXPECT_EQ(document->drawing()->countOfLayers(), initialCount);
    EXPECT_FALSE(document->shapefileTransform());
    EXPECT_EQ(document->drawing()->activeLayer(), activeBefore);
    EXPECT_FALSE(document->undoManager()->canUndo()) << "the import was one step";

    document->undoManager()->redo();
    EXPECT_EQ(document->drawing()->countOfLayers(), initialCount + 1);
    EXPECT_EQ(document->shapefileTransform(), transform);
    EXPECT_EQ(document->drawing()->activeLayer(), layer) << "redone as it was done";

    // A stop before anything was made lands nothing, and needs no explaining.
    host->maker = std::make_shared<PathMaker>();
    host->maker->makesNothing = true;
    stopInsideFirstRecord();
    EXPECT_EQ(document->drawing()->countOfLayers(), initialCount + 1);
    EXPECT_FALSE(shownMessageBox());
}

TEST_F(ShapefileImportCommand, ClosingOrDestroyingTheDocumentCancelsItsImport)
{
    for (bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed" : "closed");
        host->maker = std::make_shared<PathMaker>();
        host->maker->holdsFirstRecord = true;
        document = newMapDocument();
        const int initialCount = document->drawing()->countOfLayers();
        const std::shared_ptr<ZQESRIFile> reader = document->importShapefileAtURL(QUrl::fromLocalFile(rivers()));
        ASSERT_TRUE(reader);
        host->maker->parsing.acquire(); // the worker is inside the first record
        std::weak_ptr<ZQTrueQuorvaneDocument> weakDocument = document;
        if (destroy)
            document.reset();
        else
            document->close();
        host->maker->released.release();
        finishImports();
        EXPECT_TRUE(reader->didAbort());
        EXPECT_EQ(host->maker->requests, 1);
        EXPECT_EQ(weakDocument.expired(), destroy);
        if (!destroy) {
            EXPECT_EQ(document->drawing()->countOfLayers(), initialCount);
        }
    }
}

// The application's own factory, through the host installed at launch.
TEST_F(ShapefileImportCommand, SampleSetsBecomeShapesPathsAndOvalsOnLayersNamedAfterThem)
{
    geodata::ShapefileImportServices::install(std::make_shared<ShapefileImportHost>());
    // Coloured styles are made on the worker, one per area, without notifications there.
    platform::UserDefaults::standardUserDefaults()->setBoolForKey(true, "kImportOptionSettingAutocolourEnable");
    struct Expected {
        const char* name;
        int count;
        const char* className;
    };
    for (const Expected& expected : {Expected{"nc", 100, "VXDrawableShape"}, Expected{"baltim", 211, "VXDrawableShape"},
                                     Expected{"fylk-val", 97, "VXDrawablePath"}, Expected{"storms_xyz", 0, ""}}) {
        SCOPED_TRACE(expected.name);
        document = newMapDocument();
        const int initialCount = document->drawing()->countOfLayers();
        const QString path = testsupport::sampleDataPath(QStringLiteral("shapefiles/%1.shp").arg(expected.name));
        ASSERT_TRUE(document->importShapefileAtURL(QUrl::fromLocalFile(path)));
        finishImports();
        if (expected.count == 0) {
            EXPECT_EQ(document->drawing()->countOfLayers(), initialCount) << "Z types make nothing, and no layer";
            if (QMessageBox* box = shownMessageBox())
                box->reject();
            continue;
        }
        const VXQMappingLayer* layer = activeMappingLayer(*document);
        ASSERT_TRUE(layer);
        EXPECT_EQ(layer->layerName(), QString::fromLatin1(expected.name));
        ASSERT_EQ(layer->countOfObjects(), expected.count);
        // Filled on the worker, everything is handed over to this thread.
        EXPECT_EQ(layer->thread(), QThread::currentThread());
        for (const VXDrawableObjectPtr& object : layer->objects()) {
            EXPECT_TRUE(object->inherits(expected.className)) << object->className().toStdString();
            EXPECT_EQ(object->thread(), QThread::currentThread());
            EXPECT_EQ(object->layer(), layer);
            for (const VXStylePtr& style : object->allStyles())
                EXPECT_EQ(style->thread(), QThread::currentThread());
        }
        const VXDrawableObjectPtr first = layer->objects().first();
        EXPECT_EQ(first->userInfoObjectForKey("QVNL_ORIGINAL_RECORD_NUMBER").toLongLong(), 0);
        EXPECT_TRUE(first->userInfoObjectForKey("QVNL_ORIGINAL_FILE_PATH").toString().endsWith(
            QStringLiteral("%1.dbf").arg(expected.name)));
        for (const QString& key : first->metadataKeys())
            EXPECT_EQ(key, key.toLower());
        if (QByteArray(expected.name) == "fylk-val") {
            // "1.42948681360561E+03" and N(8,0) "19970630", exactly as written.
            EXPECT_EQ(first->metadata().value("length")->stringValue(), QStringLiteral("1429.48681360561"));
            EXPECT_EQ(first->metadata().value("dato")->type(), kVXMetadataTypeInteger);
            EXPECT_EQ(first->metadata().value("dato")->intValue(), 19970630);
        }
        if (QByteArray(expected.name) == "nc") {
            EXPECT_EQ(first->metadataValueForKey("name").toString(), QStringLiteral("Ashe"));
            EXPECT_EQ(first->metadata().value("area")->stringValue(), QStringLiteral("0.114")) << "not 0.114000003";
            EXPECT_EQ(first->metadata().value("cress_id")->intValue(), 5);
            EXPECT_NE(first->style(), layer->objects()[1]->style()) << "coloured one by one";
        }
    }
    platform::UserDefaults::standardUserDefaults()->removeObjectForKey("kImportOptionSettingAutocolourEnable");
}

// A header box of 0, 0, 0, 0 holds none of the records: they are fitted by their own extent, and
// a new map never claims an earlier import placed them.
TEST_F(ShapefileImportCommand, AHeaderBoxOfNoSizeLandsEveryGoodRecordAndWhatIsLeftOutIsTold)
{
    auto import = [&](const QString& name, const std::function<void(shapefiletest::ShpBuilder&)>& fill) {
        shapefiletest::ShpBuilder shp;
        shp.setBounds({0, 0, 0, 0});
        fill(shp);
        document->importShapefileAtURL(QUrl::fromLocalFile(writeSet(name, shp.bytes())));
        finishImports();
        const VXQMappingLayer* layer = activeMappingLayer(*document);
        return layer && layer->layerName() == name ? layer->countOfObjects() : 0;
    };
    const auto twoPoints = [](shapefiletest::ShpBuilder& shp) {
        shp.addPoints(1, {{3, 4}});
        shp.addPoints(1, {{8, 9}});
    };
    EXPECT_EQ(import(QStringLiteral("Wells"), twoPoints), 2);
    EXPECT_FALSE(shownMessageBox());

    document = newMapDocument();
    EXPECT_EQ(import(QStringLiteral("Fields"), [](shapefiletest::ShpBuilder& shp) {
                  for (QPointF corner : {QPointF(3, 4), QPointF(8, 9)})
                      shp.addParts(5, {{corner, corner + QPointF(1, 0), corner + QPointF(1, 1), corner}});
              }),
              2);
    EXPECT_FALSE(shownMessageBox());

    document = newMapDocument();
    EXPECT_EQ(import(QStringLiteral("Springs"),
                     [&](shapefiletest::ShpBuilder& shp) {
                         twoPoints(shp);
                         shp.addPoints(1, {{qQNaN(), qQNaN()}});
                         shp.addPoints(1, {{qQNaN(), 2}});
                     }),
              2);
    EXPECT_EQ(takeAlert(), told(QStringLiteral("Some records of “Springs.shp” could not be read."),
                                     QStringLiteral("2 damaged records were skipped. The first: Record 3 (at byte 156) "
                                                    "has no point whose coordinates are finite numbers of a usable "
                                                    "size.")));

    // Lined up with an earlier import that covers less, a record beyond the drawing is counted.
    const QTransform kept = *document->shapefileTransform();
    EXPECT_EQ(import(QStringLiteral("Far wells"),
                     [&](shapefiletest::ShpBuilder& shp) {
                         twoPoints(shp);
                         shp.addPoints(1, {{8 + 1000, 9}});
                     }),
              2);
    EXPECT_EQ(document->shapefileTransform(), kept);
    EXPECT_EQ(takeAlert(), told(QStringLiteral("Some records of “Far wells.shp” were left out."),
                                     QStringLiteral("One record lies wholly outside the drawing. Shapefiles imported "
                                                    "after the first one are placed to line up with it.")));
}

TEST_F(ShapefileImportCommand, ShapesThatLandWithoutTheirAttributesOrPastALostTailSayWhy)
{
    const QLocale locale;
    shapefiletest::DbfBuilder dbf({{"NAME", 'C', 10}});
    for (const char* name : {"Severn", "Wye", "Usk"})
        dbf.addRow({name});
    QByteArray claimsTooMany = dbf.bytes();
    qToLittleEndian(quint32(1) << 31, claimsTooMany.data() + 4);
    QByteArray longRows = shapefiletest::DbfBuilder({{"NAME", 'C', 10}}).bytes();
    qToLittleEndian(quint16(65535), longRows.data() + 10);
    const QString tooMany = QStringLiteral("The database (.dbf) file is damaged: its header declares %1 rows of 11 "
                                           "bytes, which would take %2 bytes, but the file holds %3. Attributes were "
                                           "not read.")
                                .arg(locale.toString(qint64(1) << 31), locale.toString((qint64(1) << 31) * 11 + 65),
                                     locale.toString(claimsTooMany.size()));
    const QString tooLong = QStringLiteral("The database (.dbf) file is damaged: its header gives rows of %1 bytes, "
                                           "more than the %2 a table may have. Attributes were not read.")
                                .arg(locale.toString(65535), locale.toString(32768));
    for (const auto& [table, reason] : {std::pair{claimsTooMany, tooMany}, std::pair{longRows, tooLong}}) {
        const QString path = rivers();
        writeCompanion(path, ".dbf", table);
        document = newMapDocument();
        document->importShapefileAtURL(QUrl::fromLocalFile(path));
        finishImports();
        ASSERT_TRUE(activeMappingLayer(*document));
        EXPECT_EQ(activeMappingLayer(*document)->countOfObjects(), 3) << "the shapes land";
        EXPECT_EQ(host->maker->withAttributes, 0);
        EXPECT_EQ(takeAlert(), told(QStringLiteral("The attributes of “Rivers of Wales.shp” could not be read."), reason));
    }

    // An index that places the records after a damaged one past the end of the file.
    QByteArray bad;
    shapefiletest::append(bad, qint32(3));
    shapefiletest::ShpBuilder shp;
    shp.setBounds({0, 0, 10, 10});
    shp.addParts(3, {{{0, 0}, {10, 10}}});
    shp.addContent(bad, 0x7FFFFFFF);
    shp.addParts(3, {{{0, 10}, {10, 0}}});
    const QString path = writeSet(QStringLiteral("Canals"), shp.bytes());
    QByteArray index = shp.indexBytes();
    qToBigEndian(quint32(0x40000000), index.data() + 100 + 2 * 8);
    writeCompanion(path, ".shx", index);
    document = newMapDocument();
    document->importShapefileAtURL(QUrl::fromLocalFile(path));
    finishImports();
    EXPECT_EQ(activeMappingLayer(*document)->countOfObjects(), 1);
    EXPECT_EQ(takeAlert(),
              told(QStringLiteral("Some records of “Canals.shp” could not be read."),
                        QStringLiteral("A damaged record was skipped. Record 2 (at byte 188) declares %1 bytes, more "
                                       "than the file holds after it. The 92 bytes after its header were not read: the "
                                       "shapefile's index (.shx) places no record there.")
                            .arg(qint64(0x7FFFFFFF) * 2)));
}

TEST_F(ShapefileImportCommand, AShapefileThatCannotBeReadIsToldWithTheReason)
{
    const QString device = folder.filePath(QStringLiteral("Device.shp"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), device));
    const QString loop = folder.filePath(QStringLiteral("Loop.shp"));
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("Round.shp")), loop));
    ASSERT_TRUE(QFile::link(loop, folder.filePath(QStringLiteral("Round.shp"))));
    const QString huge = writeSet(QStringLiteral("Huge"), QByteArray(100, '\0'));
    ASSERT_TRUE(QFile::resize(huge, (qint64(1) << 30) + 1)); // sparse: no disk is taken
    const QString text = writeSet(QStringLiteral("Notes"), "plain text, not a shapefile at all, though long enough to "
                                                           "hold a header of a hundred bytes: it goes on and on and on.");
    for (const auto& [path, reason] :
         {std::pair{device, QStringLiteral("The shapefile could not be read: it is a device, not a file.")},
          std::pair{loop, QStringLiteral("The shapefile could not be read: it is a symbolic link to “%1”, which cannot "
                                         "be opened: %2.")
                              .arg(folder.filePath(QStringLiteral("Round.shp")), qt_error_string(ELOOP))},
          std::pair{huge, QStringLiteral("The shapefile could not be read: it is larger than 1 GB.")},
          std::pair{text, QStringLiteral("It does not begin as a shapefile does.")}}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(document->importShapefileAtURL(QUrl::fromLocalFile(path)));
        EXPECT_EQ(takeAlert(), told(QStringLiteral("The file “%1” could not be imported.").arg(QFileInfo(path).fileName()),
                                         reason));
    }
}

TEST_F(ShapefileImportCommand, CapitalExtensionsKeepTheirAttributesAndAMissingTableIsTold)
{
    shapefiletest::DbfBuilder dbf({{"NAME", 'C', 10}});
    for (const char* name : {"Severn", "Wye", "Usk"})
        dbf.addRow({name});
    const QString path = folder.filePath(QStringLiteral("RIVERS.SHP"));
    ASSERT_TRUE(QFile::rename(rivers(), path));
    ASSERT_TRUE(QFile::remove(folder.filePath(QStringLiteral("Rivers of Wales.dbf"))));
    writeCompanion(path, ".DBF", dbf.bytes());
    document->importShapefileAtURL(QUrl::fromLocalFile(path));
    finishImports();
    const VXQMappingLayer* layer = activeMappingLayer(*document);
    ASSERT_TRUE(layer);
    ASSERT_EQ(layer->countOfObjects(), 3);
    EXPECT_EQ(host->maker->withAttributes, 3);
    EXPECT_EQ(layer->objects().at(1)->userInfoObjectForKey("QVNL_ORIGINAL_FILE_PATH").toString(),
              folder.filePath(QStringLiteral("RIVERS.DBF")));
    EXPECT_EQ(takeAlert(), told({}, {})) << "nothing to tell";

    // Without any table the shapes land, and the user hears why they have no attributes.
    host->maker->withAttributes = 0;
    document = newMapDocument();
    const QString alone = rivers();
    ASSERT_TRUE(QFile::remove(folder.filePath(QStringLiteral("Rivers of Wales.dbf"))));
    document->importShapefileAtURL(QUrl::fromLocalFile(alone));
    finishImports();
    EXPECT_EQ(activeMappingLayer(*document)->countOfObjects(), 3);
    EXPECT_EQ(takeAlert(), told(QStringLiteral("The attributes of “Rivers of Wales.shp” could not be read."),
                                QStringLiteral("No database (.dbf) file was found; attributes were not read.")));
}

TEST_F(ShapefileImportCommand, ATableLinkLoopACutHeaderAndVerticesLeftOutAreTold)
{
    const QString looped = rivers();
    const QString table = folder.filePath(QStringLiteral("Rivers of Wales.dbf"));
    ASSERT_TRUE(QFile::remove(table));
    const QString round = folder.filePath(QStringLiteral("Round.dbf"));
    ASSERT_TRUE(QFile::link(round, table));
    ASSERT_TRUE(QFile::link(table, round));
    document->importShapefileAtURL(QUrl::fromLocalFile(looped));
    finishImports();
    EXPECT_EQ(activeMappingLayer(*document)->countOfObjects(), 3);
    EXPECT_EQ(takeAlert(),
              told(QStringLiteral("The attributes of “Rivers of Wales.shp” could not be read."),
                   QStringLiteral("The database (.dbf) file could not be read (it is a symbolic link to “%1”, which "
                                  "cannot be opened: %2); attributes were not read.")
                       .arg(round, qt_error_string(ELOOP))));

    QFile::remove(table);
    QByteArray cut = shapefiletest::DbfBuilder({{"NAME", 'C', 10}}).bytes();
    qToLittleEndian(quint16(33), cut.data() + 8);
    writeCompanion(looped, ".dbf", cut);
    document = newMapDocument();
    document->importShapefileAtURL(QUrl::fromLocalFile(looped));
    finishImports();
    EXPECT_EQ(takeAlert(),
              told(QStringLiteral("The attributes of “Rivers of Wales.shp” could not be read."),
                   QStringLiteral("The database (.dbf) file is damaged. Its header of 33 bytes ends within the "
                                  "description of the field “NAME”; the fields from it on were not read.")));

    shapefiletest::ShpBuilder shp;
    shp.setBounds({0, 0, 10, 10});
    shp.addParts(5, {{{0, 0}, {10, 0}, {qQNaN(), 5}, {10, 10}, {0, 0}}});
    shp.addParts(5, {{{0, 0}, {5, 0}, {5, 5}, {0, 0}}});
    const QString fields = writeSet(QStringLiteral("Fields"), shp.bytes());
    shapefiletest::DbfBuilder rows({{"ID", 'N', 4}});
    rows.addRow({"1"});
    rows.addRow({"2"});
    writeCompanion(fields, ".dbf", rows.bytes());
    document = newMapDocument();
    document->importShapefileAtURL(QUrl::fromLocalFile(fields));
    finishImports();
    EXPECT_EQ(activeMappingLayer(*document)->countOfObjects(), 2);
    EXPECT_EQ(takeAlert(), told(QStringLiteral("Some points of “Fields.shp” were left out."),
                                QStringLiteral("One point whose coordinates are no finite numbers of a usable size "
                                               "was left out of its shape.")));
}

// The checks before reading passed, but the worker finds the memory shrunk or run out: it
// says why, and the shapes may still be had without their attributes.
TEST_F(ShapefileImportCommand, AWorkerThatRefusesTheAttributesKeepsTheOfferOfTheShapesAlone)
{
    const QString path = rivers();
    shapefiletest::DbfBuilder dbf({{"NAME", 'C', 10}});
    for (const char* name : {"Severn", "Wye", "Usk"})
        dbf.addRow({name});
    writeCompanion(path, ".dbf", dbf.bytes());
    const auto offered = [&](const QString& message, const QString& reason) {
        QMessageBox* offer = shownMessageBox();
        EXPECT_TRUE(offer);
        if (!offer)
            return;
        EXPECT_EQ(offer->text(), message);
        EXPECT_EQ(offer->informativeText(), reason + QStringLiteral(" Its shapes can be imported without their attributes."));
        QAbstractButton* withoutAttributes = nullptr;
        for (QAbstractButton* button : offer->buttons())
            if (button->text() == QStringLiteral("Import Without Attributes"))
                withoutAttributes = button;
        ASSERT_TRUE(withoutAttributes);
        host->maker = std::make_shared<PathMaker>();
        withoutAttributes->click();
        finishImports();
        ASSERT_TRUE(activeMappingLayer(*document));
        EXPECT_EQ(activeMappingLayer(*document)->countOfObjects(), 3);
        EXPECT_EQ(host->maker->withAttributes, 0);
        EXPECT_FALSE(shownMessageBox());
    };

    host->beforeWorker = [](ZQESRIFile* reader) { reader->setAttributeMemoryBudget(0); };
    const int layers = document->drawing()->countOfLayers();
    document->importShapefileAtURL(QUrl::fromLocalFile(path));
    host->beforeWorker = nullptr;
    finishImports();
    EXPECT_EQ(document->drawing()->countOfLayers(), layers);
    offered(QStringLiteral("The attributes of “Rivers of Wales.shp” do not fit in memory."),
            QStringLiteral("Its attributes (1 fields for each of 3 records) would take about %1 of memory, more than "
                           "the %2 an import may use for them now (half the memory this computer has free at most, "
                           "and what its shapes leave).")
                .arg(QLocale().formattedDataSize(3 * 132), QLocale().formattedDataSize(0)));

    document = newMapDocument();
    host->maker = std::make_shared<PathMaker>();
    host->maker->runsOutOfMemoryAt = 2;
    document->importShapefileAtURL(QUrl::fromLocalFile(path));
    finishImports();
    offered(QStringLiteral("Nothing was imported from “Rivers of Wales.shp”."),
            QStringLiteral("There was not enough memory to import it: the import stopped at record 2 of 3."));
}
