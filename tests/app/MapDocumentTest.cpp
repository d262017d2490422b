// The map document: its map scale and the notifications and undo around it, class
// defaults, templates folders, layer commands, shapefile imports, documents made from
// part of another, the flat drawing file and the document window.

#include "MapDocumentTestSupport.h"

#include "app/document/MapDocumentWindowController.h"
#include "app/printing/PrintInfoCoding.h"
#include "geodata/ZQESRIFile.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/ui/Menu.h"
#include "terrain/layer/ZQContourLayer.h"
#include "support/LogCapture.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QSplitter>
#include <QTemporaryDir>

using mapdocumenttest::activeMappingLayer;
using mapdocumenttest::addSquares;
using mapdocumenttest::newMapDocument;
using platform::UserDefaults;

namespace {

VXQMapScalePtr scaleOf(double ratio)
{
    return VXQMapScale::defaultScale()->mapScaleWithScale(ratio);
}

// --- Map scale -------------------------------------------------------------------------------------

class MapScaleChangeTest : public ::testing::Test {
protected:
    std::shared_ptr<ZQTrueQuorvaneDocument> document = newMapDocument();
    QStringList posted;
    QObject observer;

    void SetUp() override
    {
        auto& center = platform::NotificationCenter::defaultCenter();
        for (const QString& name : {kQuorvaneMapScaleWillChangeNotification, kQuorvaneMapScaleDidChangeNotification}) {
            center.addObserver(&observer, name, nullptr, [this, name](const platform::Notification& n) {
                EXPECT_EQ(n.object(), document.get());
                // What the observer sees of the scale at that moment tells Will from Did.
                posted << name + QLatin1Char('@') + QString::number(document->mapScale()->scale());
            });
        }
    }
    void TearDown() override { platform::NotificationCenter::defaultCenter().removeObserver(&observer); }
};

TEST_F(MapScaleChangeTest, WillThenDidAroundOneUndoStepAndEqualOrNullScalesChangeNothing)
{
    // An equal value in another object: the same units on both sides, not only the same ratio.
    document->setMapScale(std::static_pointer_cast<VXQMapScale>(document->mapScale()->copy()));
    {
        testsupport::LogCapture log;
        document->setMapScale(nullptr);
        EXPECT_TRUE(log.contains(QStringLiteral("null refused")));
    }
    document->undoManager()->closeAutomaticGroup();
    EXPECT_TRUE(posted.isEmpty());
    EXPECT_FALSE(document->undoManager()->canUndo());

    const double original = document->mapScale()->scale();
    document->setMapScale(scaleOf(10000));
    document->undoManager()->closeAutomaticGroup();
    EXPECT_EQ(posted, (QStringList{kQuorvaneMapScaleWillChangeNotification + "@" + QString::number(original),
                                   kQuorvaneMapScaleDidChangeNotification + "@10000"}));
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Change Map Scale"));
    EXPECT_TRUE(document->isDocumentEdited());

    posted.clear();
    document->undoManager()->undo();
    EXPECT_DOUBLE_EQ(document->mapScale()->scale(), original);
    EXPECT_EQ(posted.size(), 2);
    EXPECT_FALSE(document->isDocumentEdited());
    document->undoManager()->redo();
    EXPECT_DOUBLE_EQ(document->mapScale()->scale(), 10000);
}

// --- Class defaults ------------------------------------------------------------------------------

class ClassDefaultsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const QString& key : {kVXDocumentDefaultSize, kVXDocumentDefaultMargins, kVXDocumentDefaultDrawingScale_Quorvane2,
                                   kVXDocumentDrawingUnitsDefault, kVXDocumentPrescaleDefault, kDefaultPrintInfo})
            UserDefaults::standardUserDefaults()->removeObjectForKey(key);
    }
};

TEST_F(ClassDefaultsTest, NewDocumentsTakeTheStoredDefaultsAndUnreadableOnesFallBack)
{
    UserDefaults& defaults = *UserDefaults::standardUserDefaults();
    defaults.setObjectForKey(QByteArray("garbage"), kVXDocumentDefaultDrawingScale_Quorvane2);
    defaults.setObjectForKey(QStringLiteral("{-5, nan}"), kVXDocumentDefaultSize);
    defaults.setObjectForKey(QStringLiteral("{{-1, 0}, {0, 0}}"), kVXDocumentDefaultMargins);
    defaults.setDoubleForKey(-3, kVXDocumentPrescaleDefault);
    defaults.setObjectForKey(QVariantMap{{QStringLiteral("paper_width"), 1e12}}, kDefaultPrintInfo);
    EXPECT_TRUE(ZQQuorvaneDocument::defaultDrawingScale()->isEqualToMapScale(VXQMapScale::defaultScale().get()));
    EXPECT_EQ(ZQQuorvaneDocument::defaultDrawingSize(), QSizeF(595, 842));
    EXPECT_EQ(ZQQuorvaneDocument::defaultDrawingMargins(), QMarginsF(36, 36, 36, 36));
    EXPECT_DOUBLE_EQ(ZQQuorvaneDocument::defaultPrescale(), 1.0);
    EXPECT_EQ(ZQQuorvaneDocument::defaultPrintInfo().pageSize().id(), QPageSize::A4);
    EXPECT_TRUE(newMapDocument()->mapScale());

    ZQQuorvaneDocument::setDefaultDrawingSize(QSizeF(1000, 700));
    ZQQuorvaneDocument::setDefaultDrawingMargins(QMarginsF(10, 20, 30, 40));
    ZQQuorvaneDocument::setDefaultDrawingScale(scaleOf(250000));
    ZQQuorvaneDocument::setDefaultDrawingUnits(ZQUnitLength::inches());
    ZQQuorvaneDocument::setDefaultPrescale(2.5);
    // The margins are kept as a rectangle {{left, top}, {right, bottom}}.
    EXPECT_EQ(defaults.stringForKey(kVXDocumentDefaultMargins), QStringLiteral("{{10, 20}, {30, 40}}"));
    const auto document = newMapDocument();
    const VXDrawing& drawing = *document->drawing();
    EXPECT_EQ(drawing.drawingSize(), QSizeF(1000, 700));
    EXPECT_EQ(drawing.margins(), QMarginsF(10, 20, 30, 40));
    EXPECT_EQ(drawing.abbreviatedDrawingUnits(), ZQUnitLength::inches()->symbol());
    EXPECT_DOUBLE_EQ(document->mapScale()->scale(), 250000);
    EXPECT_DOUBLE_EQ(document->prescale(), 2.5);
    // A grid, a mapping layer to draw on (active) and guides. Without the furniture library
    // the grid is a plain one and border layers cannot be added.
    ASSERT_TRUE(drawing.gridLayer());
    EXPECT_EQ(drawing.gridLayer()->layerName(), QStringLiteral("Grid"));
    EXPECT_DOUBLE_EQ(drawing.gridLayer()->spanDistance(), ZQUnitLength::inches()->conversionFactorForPoints());
    platform::MenuItem addBorder(QString(), "addBorderLayerAction");
    EXPECT_FALSE(document->validateMenuItem(&addBorder));
    ASSERT_TRUE(activeMappingLayer(*document));
    EXPECT_EQ(document->activeLayer()->layerName(), QStringLiteral("Layer 1"));
}

TEST_F(ClassDefaultsTest, PrintInfoIsUndoableBecomesTheDefaultAndCodesRefusingDamage)
{
    const auto document = newMapDocument();
    const QPageLayout original = document->printInfo();
    const QPageLayout letter(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(5, 6, 7, 8));
    document->setPrintInfo(letter);
    document->undoManager()->closeAutomaticGroup();
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Page Setup"));
    EXPECT_TRUE(ZQQuorvaneDocument::defaultPrintInfo().isEquivalentTo(letter));
    document->undoManager()->undo();
    EXPECT_TRUE(document->printInfo().isEquivalentTo(original));

    const auto back = PrintInfoCoding::pageLayout(PrintInfoCoding::propertyList(letter));
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->isEquivalentTo(letter));
    QVariantMap damaged = PrintInfoCoding::propertyList(letter);
    damaged[QStringLiteral("margin_left")] = 5000.0; // wider than the paper
    EXPECT_FALSE(PrintInfoCoding::pageLayout(damaged));
    damaged = PrintInfoCoding::propertyList(letter);
    damaged[QStringLiteral("paper_height")] = QStringLiteral("tall");
    EXPECT_FALSE(PrintInfoCoding::pageLayout(damaged));
    EXPECT_FALSE(PrintInfoCoding::pageLayout(QVariantList{1, 2}));
}

// --- Templates -------------------------------------------------------------------------------------

TEST(TemplatesTest, UserTemplateURLsCompareWholeFolderNames)
{
    const QString folder = ZQQuorvaneDocument::userTemplatesURL().toLocalFile();
    ASSERT_TRUE(QFileInfo(folder).isDir());
    const QString parent = QFileInfo(folder).path();

    EXPECT_TRUE(ZQQuorvaneDocument::isUserTemplateURL(QUrl::fromLocalFile(folder + "/Coast.qvnl")));
    EXPECT_TRUE(ZQQuorvaneDocument::isUserTemplateURL(QUrl::fromLocalFile(folder + "/Sub/Coast.qvnl")));
    EXPECT_TRUE(ZQQuorvaneDocument::isUserTemplateURL(QUrl::fromLocalFile(parent + "/my templates/Coast.qvnl")));
    EXPECT_FALSE(ZQQuorvaneDocument::isUserTemplateURL(QUrl::fromLocalFile(parent + "/My Templates Old/Coast.qvnl")));
    EXPECT_FALSE(ZQQuorvaneDocument::isUserTemplateURL(QUrl::fromLocalFile(folder + "/../Coast.qvnl")));
    EXPECT_FALSE(ZQQuorvaneDocument::isUserTemplateURL(QUrl(QStringLiteral("https://example.com/My Templates/a"))));
    EXPECT_FALSE(ZQQuorvaneDocument::isUserTemplateURL(QUrl()));
}

// --- Layer commands --------------------------------------------------------------------------------

TEST(LayerCommandsTest, AddDuplicateAndDeleteAreUndoableSteps)
{
    const auto document = newMapDocument();
    ZQUndoManager& undo = *document->undoManager();
    VXDrawing& drawing = *document->drawing();
    const int initialCount = drawing.countOfLayers();
    VXQMappingLayer* firstLayer = activeMappingLayer(*document);
    addSquares(*firstLayer, 3);
    undo.removeAllActions();

    document->newDrawingLayer();
    undo.closeAutomaticGroup();
    EXPECT_EQ(drawing.countOfLayers(), initialCount + 1);
    ASSERT_TRUE(activeMappingLayer(*document));
    EXPECT_EQ(document->activeLayer()->layerName(), QStringLiteral("Layer 2")); // after "Layer 1"
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("New Layer"));
    // Just above the layer that was active.
    EXPECT_EQ(drawing.indexOfLayer(document->activeLayer()) + 1, drawing.indexOfLayer(firstLayer));

    undo.undo();
    EXPECT_EQ(drawing.countOfLayers(), initialCount);

    document->duplicateLayer();
    undo.closeAutomaticGroup();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Duplicate Layer"));
    EXPECT_EQ(document->activeLayer()->layerName(), QStringLiteral("Layer 1 copy"));
    EXPECT_EQ(activeMappingLayer(*document)->countOfObjects(), 3);

    ASSERT_TRUE(document->couldDeleteLayer());
    document->deleteLayerAction();
    undo.closeAutomaticGroup();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Delete Layer"));
    EXPECT_EQ(drawing.countOfLayers(), initialCount);
    // The last layer that can be drawn on stays.
    ASSERT_TRUE(activeMappingLayer(*document));
    EXPECT_FALSE(document->couldDeleteLayer());
    document->deleteLayerAction();
    EXPECT_EQ(drawing.countOfLayers(), initialCount);

    undo.undo();
    EXPECT_EQ(drawing.countOfLayers(), initialCount + 1);
}

TEST(LayerCommandsTest, GroupsStartWithALayerAndCommandsValidateByTheLayerAndSelection)
{
    const auto document = newMapDocument();
    document->addLayerGroupAction();
    document->undoManager()->closeAutomaticGroup();
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("New Layer Group"));
    VXQMappingLayer& layer = *activeMappingLayer(*document);
    ASSERT_TRUE(layer.layerGroup());
    EXPECT_EQ(layer.layerGroup()->layerName(), QStringLiteral("Group"));

    // Only unlocked objects of an unlocked layer count as selected.
    addSquares(layer, 4);
    EXPECT_FALSE(document->hasValidSelection());
    layer.selectAll();
    layer.objects()[0]->setLocked(true);
    EXPECT_EQ(document->countOfItemsInSelection(), 3);
    EXPECT_TRUE(document->hasValidSelection());

    platform::MenuItem item;
    item.setAction("deleteLayerAction");
    EXPECT_TRUE(document->validateMenuItem(&item));
    layer.setLocked(true);
    EXPECT_FALSE(document->validateMenuItem(&item));
    EXPECT_FALSE(document->hasValidSelection());
    item.setAction("newDrawingLayer");
    EXPECT_TRUE(document->validateMenuItem(&item));
}

// --- Shapefile imports -------------------------------------------------------------------------------

// The layer an import makes, its undo and the kept transform: ShapefileImportCommandTest.
TEST(ShapefileImportTest, AReaderWithoutObjectsMakesNoLayerAndTheDocumentAnswersItsRectAndTransform)
{
    const auto document = newMapDocument();
    const int initialCount = document->drawing()->countOfLayers();
    ZQESRIFile file;
    file.initWithURL(QUrl::fromLocalFile(QStringLiteral("/data/Rivers of Wales.shp")));
    file.setUsedTransform(QTransform::fromScale(2, -2));
    {
        testsupport::LogCapture log;
        document->esriFileDidFinishLoading(&file);
        EXPECT_TRUE(log.contains(QStringLiteral("Shapefile import created no objects, layer not created")));
        EXPECT_EQ(document->drawing()->countOfLayers(), initialCount);
    }
    QMessageBox* box = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* shown = qobject_cast<QMessageBox*>(widget); shown && shown->isVisible())
            box = shown;
    ASSERT_TRUE(box) << "the user is told";
    EXPECT_EQ(box->text(), QStringLiteral("Nothing was imported from “Rivers of Wales.shp”."));
    EXPECT_TRUE(box->informativeText().startsWith(QStringLiteral("None of its records could be read.")));
    box->reject();
    EXPECT_EQ(document->esriFileWantsDocumentRect(&file), document->drawing()->interior());
    EXPECT_FALSE(document->esriFileWantsShapefileTransform(&file)) << "kept only from an import that made objects";
}

// --- Documents from drawings ----------------------------------------------------------

TEST(DocumentFromDrawingTest, TakesScaleAndShiftedShapefileTransformFromTheOriginal)
{
    platform::DocumentController* controller = platform::DocumentController::sharedDocumentController();
    if (!controller->documentTypeNames().contains(kZQMapDocumentType))
        controller->registerDocumentType(kZQMapDocumentType, {QStringLiteral("qvnl")},
                                         [] { return std::make_shared<ZQTrueQuorvaneDocument>(); });
    const auto original = newMapDocument();
    original->setMapScale(scaleOf(12500));
    original->setShapefileTransform(QTransform::fromScale(3, 3));

    VXDrawingPtr drawing = VXDrawing::drawingWithSize(QSizeF(300, 200));
    drawing->setMargins(QMarginsF(10, 20, 10, 20));
    const auto made = ZQQuorvaneDocument::documentWithDrawingDisplayFromOriginalDocumentSourceRect(
        drawing, false, original.get(), QRectF(100, 50, 280, 160));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->drawing(), drawing);
    EXPECT_DOUBLE_EQ(made->mapScale()->scale(), 12500);
    EXPECT_FALSE(made->isDocumentEdited());
    EXPECT_TRUE(controller->documents().contains(made.get()));
    const auto* map = qobject_cast<ZQTrueQuorvaneDocument*>(made.get());
    ASSERT_TRUE(map && map->shapefileTransform());
    // (1, 1) -> (3, 3) in the original, then moved by (10 - 100, 20 - 50).
    EXPECT_EQ(map->shapefileTransform()->map(QPointF(1, 1)), QPointF(-87, -27));
    made->close();

    EXPECT_THROW(ZQQuorvaneDocument::documentWithDrawingDisplay(nullptr, false), platform::AssertionFailure);
}

// --- Flat drawing files and undo on save -------------------------------------------------------------

TEST(DrawingFileTest, OnlyKnownTypesAreMadeAndFlatFilesRoundTripClearingUndoUnlessAskedNotTo)
{
    for (const QString& type : {kZQMapDocumentType, kZQLegacyMapDocumentType, kVXDrawingDocumentType}) {
        QuorvaneError error;
        EXPECT_TRUE(ZQTrueQuorvaneDocument().initWithTypeError(type, &error)) << type.toStdString();
    }
    QuorvaneError error;
    EXPECT_FALSE(ZQTrueQuorvaneDocument().initWithTypeError(QStringLiteral("Spreadsheet"), &error));
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    EXPECT_EQ(error.domain(), kQuorvaneErrorDomain);

    QTemporaryDir folder;
    const QUrl url = QUrl::fromLocalFile(folder.filePath(QStringLiteral("plain.drawing")));
    const auto document = newMapDocument();
    addSquares(*activeMappingLayer(*document), 2);
    document->undoManager()->closeAutomaticGroup();
    ASSERT_TRUE(document->undoManager()->canUndo());

    ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(url, kVXDrawingDocumentType,
                                                               platform::Document::SaveOperation, &error));
    EXPECT_FALSE(document->undoManager()->canUndo());

    auto reopened = std::make_shared<ZQTrueQuorvaneDocument>();
    ASSERT_TRUE(reopened->initWithContentsOfURLOfTypeError(url, kVXDrawingDocumentType, &error));
    EXPECT_EQ(activeMappingLayer(*reopened)->countOfObjects(), 2);

    UserDefaults::standardUserDefaults()->setBoolForKey(true, kVXDocumentDontClearUndoOnSave);
    activeMappingLayer(*document)->setLayerName(QStringLiteral("Renamed"));
    document->undoManager()->closeAutomaticGroup();
    ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(url, kVXDrawingDocumentType,
                                                               platform::Document::SaveOperation, &error));
    EXPECT_TRUE(document->undoManager()->canUndo());
    UserDefaults::standardUserDefaults()->removeObjectForKey(kVXDocumentDontClearUndoOnSave);
}

// --- The window ------------------------------------------------------------------------------------------

TEST(MapWindowTest, SplitViewHoldsPanelsAroundTheDrawingAndRestoresSizes)
{
    const auto document = newMapDocument();
    document->setWindowRestorationState({{QStringLiteral("splits"), QVariantList{150, 600, 250}}});
    document->makeWindowControllers();
    MapDocumentWindowController* controller = document->mapWindowController();
    ASSERT_TRUE(controller);
    QWidget* window = controller->window();
    window->resize(1000, 700);
    window->show();

    QSplitter* split = controller->splitView();
    ASSERT_EQ(split->count(), 3);
    EXPECT_EQ(split->widget(MapDocumentWindowController::DrawingItem), document->mainView());
    EXPECT_EQ(document->mainView()->drawing(), document->drawing().get());
    // The pending state was applied and dropped; the live sizes are what gets saved.
    EXPECT_TRUE(document->windowRestorationState().isEmpty());
    const QVariantList sizes = document->restorableStateInfo().value(QStringLiteral("splits")).toList();
    ASSERT_EQ(sizes.size(), 3);
    EXPECT_LT(sizes[0].toInt(), sizes[2].toInt());

    EXPECT_FALSE(controller->restoreSplitState(QVariantList{100, -5, 100}));
    EXPECT_FALSE(controller->restoreSplitState(QVariantList{QStringLiteral("wide"), 1, 1}));
    EXPECT_FALSE(controller->restoreSplitState(QVariantList{1, 2}));
    {
        // An empty state is logged and the window keeps its layout.
        const testsupport::LogCapture log;
        EXPECT_NO_THROW(document->restoreWithStateInfo({}));
        EXPECT_TRUE(log.contains(QStringLiteral("no data for restoring document state")));
        EXPECT_EQ(document->restorableStateInfo().value(QStringLiteral("splits")).toList(), sizes);
    }
    // A collapsed panel becomes the preferred state of new windows once changes settle.
    UserDefaults& defaults = *UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(kVLTMDocument_DefaultRestorableState);
    controller->collapseSplitItem(MapDocumentWindowController::RightSidePanel);
    EXPECT_EQ(split->sizes()[2], 0);
    platform::RunLoop::runFor(ZQQuorvaneDocument::kWindowStateSaveDelay - 1);
    EXPECT_FALSE(defaults.objectForKey(kVLTMDocument_DefaultRestorableState).isValid());
    platform::RunLoop::runFor(1);
    const QVariantMap preferred = defaults.dictionaryForKey(kVLTMDocument_DefaultRestorableState);
    EXPECT_EQ(preferred.value(QStringLiteral("splits")).toList().value(2).toInt(), 0);
    document->close();
    defaults.removeObjectForKey(kVLTMDocument_DefaultRestorableState);
}

} // namespace


TEST(LayerCommandsTest, AddContourLayerIsOneUndoStepWithAGridOverTheInteriorAndItsOwnMenu)
{
    const auto document = newMapDocument();
    ZQUndoManager& undo = *document->undoManager();
    VXDrawing& drawing = *document->drawing();
    const int initialCount = drawing.countOfLayers();
    undo.removeAllActions();
    platform::MenuItem add(QString(), "addContourLayerAction");
    EXPECT_TRUE(document->validateMenuItem(&add));

    document->addContourLayerAction();
    undo.closeAutomaticGroup();
    EXPECT_EQ(undo.undoStack().size(), 1);
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Add Contour Layer"));
    auto* terrain = qobject_cast<ZQContourLayer*>(document->activeLayer());
    ASSERT_TRUE(terrain);
    EXPECT_EQ(terrain->layerName(), QStringLiteral("Contours"));
    const QRectF interior = drawing.interior();
    EXPECT_EQ(terrain->heightMap()->columns(), quint64(std::floor(interior.width() / 15)) + 2);
    EXPECT_EQ(terrain->heightMap()->rows(), quint64(std::floor(interior.height() / 15)) + 2);

    // Its menu exports, imports, shows or hides the section and updates the contours.
    const std::unique_ptr<platform::Menu> menu = terrain->menuForEventInView(interior.center(), nullptr);
    QStringList actions;
    for (QAction* action : menu->actions())
        if (auto* item = qobject_cast<platform::MenuItem*>(action))
            actions << QString::fromLatin1(item->action());
    EXPECT_EQ(actions, QStringList({"saveHeightMap", "openHeightMap", "toggleCrossSection", "updateContours"}));
    platform::MenuItem toggle(QString(), "toggleCrossSection");
    EXPECT_TRUE(terrain->validateMenuItem(&toggle));
    EXPECT_EQ(toggle.title(), QStringLiteral("Hide Section"));
    terrain->toggleCrossSection();
    terrain->validateMenuItem(&toggle);
    EXPECT_EQ(toggle.title(), QStringLiteral("Show Section"));

    drawing.setActiveLayer(nullptr);
    undo.undo();
    EXPECT_EQ(drawing.countOfLayers(), initialCount);
    undo.redo();
    EXPECT_EQ(drawing.countOfLayers(), initialCount + 1);
}
