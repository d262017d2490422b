#include "LibraryTesting.h"

#include "../app/MapDocumentTestSupport.h"
#include "../platform/ui/UiTestSupport.h"
#include "app/services/LibraryServices.h"
#include "app/document/MapDocumentWindowController.h"
#include "app/application/VLTMAppDelegate.h"
#include "library/LibraryServicesInstallation.h"
#include "library/picker/LibraryPathBar.h"
#include "library/picker/LibraryPickerRules.h"
#include "library/picker/VXQLibraryPickerPaletteController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/MenuDelegate.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/styles/VXStyleRegistry.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/tools/VXSelectAndEditTool.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/tool/VXQSymbolTool.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace {

const QStringList kPickerKeys{kTMSVLibraryPickerVisible,        kTMSVLibraryPickerFrame,
                              kQuorvaneLibraryPickerWindowPlacement, kLibraryPickerDisplayedCategory,
                              kLibraryPickerLastSelection,       kLibraryPickerHideNonMatchingItems,
                              kQuorvaneToolsWindowConfirmDirectApply};

platform::UserDefaults& storedDefaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

QStringList namesOf(const QList<VXQLibraryItemPtr>& items)
{
    QStringList names;
    for (const VXQLibraryItemPtr& item : items)
        names.append(item->name());
    return names;
}

class PickerTest : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        for (const QString& key : kPickerKeys)
            storedDefaults().removeObjectForKey(key);
        VXQLibraryPickerPaletteController::setAlertRunner([this](platform::Alert& alert) {
            alerts.append(alert.messageText());
            informative.append(alert.informativeText());
            if (tickSuppression)
                alert.suppressionButton()->setChecked(true);
            return answer;
        });
        library = makeLibrary(QStringLiteral("Base"));
        for (const QString& name : {QStringLiteral("A road"), QStringLiteral("B road")})
            library->addItem(makeStyleItem(name, Qt::blue));
        library->addItem(makeSymbolItem(QStringLiteral("Sign")));
    }

    void TearDown() override
    {
        if (document)
            document->close();
        document.reset();
        picker.reset();
        VXQLibraryPickerPaletteController::setAlertRunner({});
        for (const QString& key : kPickerKeys)
            storedDefaults().removeObjectForKey(key);
        LibraryTest::TearDown();
    }

    VXQLibraryPickerPaletteController& openPicker()
    {
        picker = std::make_unique<VXQLibraryPickerPaletteController>();
        picker->window();
        picker->setCategory(library->allItemsCategory());
        return *picker;
    }

    VXQLibraryItemPtr item(const QString& name) const
    {
        for (const VXQLibraryItemPtr& each : library->items())
            if (each->name() == name)
                return each;
        return nullptr;
    }

    // A map window in front with `count` squares, all selected.
    VXQMappingLayer& mapWithSelectedSquares(int count)
    {
        document = mapdocumenttest::newMapDocument();
        document->makeWindowControllers();
        uitest::activate(document->mapWindowController()->window());
        VXQMappingLayer* layer = mapdocumenttest::activeMappingLayer(*document);
        mapdocumenttest::addSquares(*layer, count);
        layer->exchangeSelectionWithObjectsFromArray(layer->objects());
        document->undoManager()->closeAutomaticGroup();
        return *layer;
    }

    QString lastUndoName()
    {
        document->undoManager()->closeAutomaticGroup();
        return document->undoManager()->undoActionName();
    }

    VXQLibraryPtr library;
    std::unique_ptr<VXQLibraryPickerPaletteController> picker;
    std::shared_ptr<ZQTrueQuorvaneDocument> document;
    QStringList alerts;
    QStringList informative;
    int answer = 1;
    bool tickSuppression = false;
};

} // namespace

TEST_F(PickerTest, ItemsFollowTheToolKindByDisablingOrHiding)
{
    VXQLibraryPickerPaletteController& palette = openPicker();
    ASSERT_EQ(namesOf(palette.filteredItems()), (QStringList{"A road", "B road", "Sign"}));
    EXPECT_EQ(palette.styleIndexes(), (JXIndexSet{0, 1}));
    EXPECT_EQ(palette.symbolIndexes(), (JXIndexSet{2}));

    VXQLibraryItemViewController& browser = *palette.itemBrowser();
    palette.setClassCode(0);
    EXPECT_EQ(browser.disabledItems(), JXIndexSet());
    // Kind 0 greys everything: nothing can be chosen.
    palette.selectItem(item(QStringLiteral("A road")));
    EXPECT_EQ(palette.selectedItem(), nullptr);
    palette.setClassCode(1);
    EXPECT_EQ(browser.disabledItems(), JXIndexSet{2});
    palette.setClassCode(2);
    EXPECT_EQ(browser.disabledItems(), (JXIndexSet{0, 1}));
    palette.setClassCode(kAnyLibraryItemKind);
    EXPECT_EQ(browser.disabledItems(), std::nullopt);

    // Hiding instead: the symbol tool's kind lists only symbols, nothing greyed.
    VXQLibraryPickerPaletteController::setHidesNonMatchingItems(true);
    palette.setClassCode(2);
    EXPECT_EQ(palette.filterKind(), 2);
    EXPECT_EQ(namesOf(palette.filteredItems()), QStringList{"Sign"});
    EXPECT_EQ(browser.disabledItems(), std::nullopt);
    palette.setClassCode(kAnyLibraryItemKind);
    EXPECT_EQ(palette.filterKind(), 0);
    EXPECT_EQ(namesOf(palette.filteredItems()).size(), 3);

    // The search text narrows within the kind, literally and in any case.
    palette.setFilterKind(1);
    palette.setFilterStringMode(1);
    palette.setFilterString(QStringLiteral("b R"));
    EXPECT_EQ(namesOf(palette.filteredItems()), QStringList{"B road"});
    palette.setFilterString(QStringLiteral("\"b"));
    EXPECT_TRUE(palette.filteredItems().isEmpty());
}

TEST_F(PickerTest, ChoosingPostsTheItemAndFollowsTheToolsStyleOrMaster)
{
    VXQLibraryPickerPaletteController& palette = openPicker();
    palette.setClassCode(kAnyLibraryItemKind);
    QList<QVariantMap> posts;
    QObject listener;
    platform::NotificationCenter::defaultCenter().addObserver(
        &listener, kVXQLibraryPickerSelectedObjectDidChange, &palette, [&](const platform::Notification& n) {
            posts.append(n.userInfo);
            // What a tool palette does in return must not come back into the palette.
            auto selection = std::make_shared<VXSelectAndEditTool>();
            platform::NotificationCenter::defaultCenter().postNotificationName(kQuorvaneToolControllerStyleChangedExternally,
                                                                               selection.get());
        });

    const VXQLibraryItemPtr road = item(QStringLiteral("B road"));
    palette.selectItem(road);
    ASSERT_EQ(posts.size(), 1);
    EXPECT_EQ(posts[0].value(QStringLiteral("lib_object")).value<QObject*>(), road.get());
    EXPECT_FALSE(posts[0].value(QStringLiteral("aux_style_flag")).toBool());
    EXPECT_EQ(palette.selectedItem(), road);
    EXPECT_TRUE(palette.applyButton()->isEnabled());
    EXPECT_EQ(storedDefaults().stringForKey(kLibraryPickerLastSelection), road->identifier());
    palette.selectItem(nullptr);
    ASSERT_EQ(posts.size(), 2);
    EXPECT_FALSE(posts[1].contains(QStringLiteral("lib_object")));
    EXPECT_FALSE(palette.applyButton()->isEnabled());
    EXPECT_FALSE(storedDefaults().objectForKey(kLibraryPickerLastSelection).isValid());

    // A creation tool's style is chosen; the symbol tool's master is, with the styles greyed.
    const auto prototype = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 1, 1), VXStyle::defaultStyle());
    auto roadTool = std::make_shared<VXObjectCreationTool>(prototype, VXObjectCreationTool::Geometry::Line);
    roadTool->setStyle(item(QStringLiteral("A road"))->style());
    palette.setUIStateForDrawingTool(roadTool.get());
    EXPECT_EQ(palette.selectedItem(), item(QStringLiteral("A road")));
    EXPECT_EQ(palette.itemBrowser()->disabledItems(), JXIndexSet{2});
    auto symbolTool = std::make_shared<VXQSymbolTool>(item(QStringLiteral("Sign"))->symbolMaster());
    palette.setUIStateForDrawingTool(symbolTool.get());
    EXPECT_EQ(palette.selectedItem(), item(QStringLiteral("Sign")));
    EXPECT_EQ(palette.itemBrowser()->disabledItems(), (JXIndexSet{0, 1}));
    // A tool whose style no item has clears the choice.
    roadTool->setStyle(makeStyle(QStringLiteral("Elsewhere")));
    palette.setUIStateForDrawingTool(roadTool.get());
    EXPECT_EQ(palette.selectedItem(), nullptr);

    // A style the style editor made and attached is chosen when the palette shows it.
    palette.setClassCode(kAnyLibraryItemKind);
    QObject editor;
    platform::NotificationCenter::defaultCenter().postNotificationName(
        QStringLiteral("kVXStyleInspectorDidCreateNewStyle"), &editor,
        {{QStringLiteral("style"), QVariant::fromValue(item(QStringLiteral("B road"))->style())}});
    EXPECT_EQ(palette.selectedItem(), item(QStringLiteral("B road")));
}

TEST_F(PickerTest, ApplyingUndoesByNameAndACancelledConfirmationChangesNothing)
{
    VXQMappingLayer& layer = mapWithSelectedSquares(2);
    const auto before = std::dynamic_pointer_cast<VXDrawablePath>(layer.objects()[0])->style();
    VXQLibraryPickerPaletteController& palette = openPicker();
    const VXQLibraryItemPtr road = item(QStringLiteral("A road"));
    palette.selectItem(road);
    ASSERT_TRUE(palette.canApplyToSelection());

    // Cancelled, with "do not ask again" ticked: nothing applied, the box still stored.
    answer = 0;
    tickSuppression = true;
    EXPECT_FALSE(palette.applyItemToSelectionAsAuxiliaryStyle(road.get(), false));
    EXPECT_EQ(alerts, QStringList{"Apply Style or Symbol to selected objects?"});
    EXPECT_EQ(informative.value(0), QStringLiteral("'A road' will be applied to all objects able to accept it in the "
                                                   "current selection, but will be undoable."));
    EXPECT_EQ(std::dynamic_pointer_cast<VXDrawablePath>(layer.objects()[0])->style(), before);
    EXPECT_TRUE(storedDefaults().boolForKey(kQuorvaneToolsWindowConfirmDirectApply));

    // Not asked again; applied and recorded as used.
    palette.applyToSelectionAction(nullptr);
    EXPECT_EQ(alerts.size(), 1);
    for (const VXDrawableObjectPtr& object : layer.objects())
        EXPECT_EQ(std::dynamic_pointer_cast<VXDrawablePath>(object)->style(), road->style());
    EXPECT_EQ(lastUndoName(), QStringLiteral("Apply Style"));
    EXPECT_TRUE(library->recentlyUsedCategory()->orderedItems().contains(road));
    document->undoManager()->undo();
    EXPECT_EQ(std::dynamic_pointer_cast<VXDrawablePath>(layer.objects()[0])->style(), before);

    // Without a selection nothing can be applied.
    layer.exchangeSelectionWithObjectsFromArray({});
    EXPECT_FALSE(palette.canApplyToSelection());
    EXPECT_FALSE(palette.applyItemToSelectionAsAuxiliaryStyle(road.get(), false));
}

TEST_F(PickerTest, SymbolsAndOverlaysApplyThroughTheLayer)
{
    VXQMappingLayer& layer = mapWithSelectedSquares(0);
    const VXQSymbolMasterPtr oldMaster = makeSymbolItem(QStringLiteral("Old"))->symbolMaster();
    const auto placed = oldMaster->symbolWithLocation(QPointF(50, 50));
    const auto track = ZQMultiStylePath::multiStylePathWithPathStyle(
        platform::BezierPath::bezierPathWithRect(QRectF(10, 10, 200, 0)), makeStyle(QStringLiteral("Base road")));
    layer.addObject(placed);
    layer.addObject(track);
    document->undoManager()->closeAutomaticGroup();
    VXQLibraryPickerPaletteController& palette = openPicker();
    storedDefaults().setBoolForKey(false, kQuorvaneToolsWindowConfirmDirectApply);

    // Alt on a symbol still applies it as a symbol, with the plain wording.
    layer.exchangeSelectionWithObjectsFromArray({placed});
    const VXQLibraryItemPtr sign = item(QStringLiteral("Sign"));
    palette.selectItem(sign);
    EXPECT_FALSE(palette.canApplyAuxiliaryToSelection());
    EXPECT_TRUE(palette.applyItemToSelectionAsAuxiliaryStyle(sign.get(), true));
    EXPECT_EQ(alerts.value(0), QStringLiteral("Apply Style or Symbol to selected objects?"));
    EXPECT_EQ(placed->master(), sign->symbolMaster());
    EXPECT_EQ(lastUndoName(), QStringLiteral("Apply Symbol"));
    document->undoManager()->undo();
    EXPECT_EQ(placed->master(), oldMaster);

    // A style as an overlay of the selected track.
    layer.exchangeSelectionWithObjectsFromArray({track});
    const VXQLibraryItemPtr road = item(QStringLiteral("B road"));
    palette.selectItem(road);
    EXPECT_TRUE(palette.applyItemToSelectionAsAuxiliaryStyle(road.get(), true));
    EXPECT_EQ(alerts.value(1), QStringLiteral("Apply Overlay Style to selected tracks?"));
    EXPECT_EQ(informative.value(1), QStringLiteral("'B road' will be attached as an overlay style to tracks in the "
                                                   "current selection, but will be undoable."));
    ASSERT_EQ(track->overlays().size(), 1);
    EXPECT_EQ(track->overlays().first()->style(), road->style());
    EXPECT_EQ(lastUndoName(), QStringLiteral("Apply Style"));
    document->undoManager()->undo();
    EXPECT_TRUE(track->overlays().isEmpty());
    // The overlay command is there for the track once it has the focus.
    document->mainView()->setFocus();
    EXPECT_TRUE(palette.canApplyAuxiliaryToSelection());
}

TEST_F(PickerTest, AppDelegateGivesThePickedItemToTheMainWindowsTool)
{
    installLibraryServices();
    mapWithSelectedSquares(0);
    VXQLibraryPickerPaletteController& palette = openPicker();
    palette.setClassCode(kAnyLibraryItemKind);
    VLTMAppDelegate delegate;
    QObject listener;
    platform::NotificationCenter::defaultCenter().addObserver(
        &listener, kVXQLibraryPickerSelectedObjectDidChange, nullptr,
        [&](const platform::Notification& n) { delegate.newLibToolSelected(n); });
    QList<QObject*> changedTools;
    platform::NotificationCenter::defaultCenter().addObserver(
        &listener, kQuorvaneToolControllerStyleChangedExternally, nullptr,
        [&](const platform::Notification& n) { changedTools.append(n.object()); });

    const auto prototype = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 1, 1), VXStyle::defaultStyle());
    auto roadTool = std::make_shared<VXObjectCreationTool>(prototype, VXObjectCreationTool::Geometry::Line);
    document->mainView()->toolController()->setDrawingTool(roadTool);
    const VXQLibraryItemPtr road = item(QStringLiteral("B road"));
    palette.selectItem(road);
    EXPECT_EQ(roadTool->style(), road->style());
    EXPECT_EQ(changedTools, QList<QObject*>{roadTool.get()});
    EXPECT_TRUE(library->recentlyUsedCategory()->orderedItems().contains(road));
    // The tool change came back as a notification, yet the palette kept its choice.
    EXPECT_EQ(palette.selectedItem(), road);

    auto symbolTool = std::make_shared<VXQSymbolTool>(nullptr);
    document->mainView()->toolController()->setDrawingTool(symbolTool);
    palette.setClassCode(kAnyLibraryItemKind);
    palette.selectItem(item(QStringLiteral("Sign")));
    EXPECT_EQ(symbolTool->symbolMaster(), item(QStringLiteral("Sign"))->symbolMaster());
    // A style offered to the symbol tool is not taken.
    changedTools.clear();
    palette.setClassCode(kAnyLibraryItemKind);
    palette.selectItem(road);
    EXPECT_TRUE(changedTools.isEmpty());
    VXStyleRegistry::setStyleRegistry(nullptr);
}

TEST_F(PickerTest, PathBarAndHistoryFollowTheChoices)
{
    library->addItem(makeStyleItem(QStringLiteral("Rd. 2")));
    VXQLibraryPickerPaletteController& palette = openPicker();
    palette.setClassCode(kAnyLibraryItemKind);
    palette.selectItem(item(QStringLiteral("Rd. 2")));
    const QStringList components = palette.pathBar()->componentTitles();
    ASSERT_EQ(components.size(), 4);
    EXPECT_EQ(components.first(), QStringLiteral("MY LIBRARY"));
    EXPECT_EQ(components.last(), QStringLiteral("Rd. 2"));
    EXPECT_EQ(palette.pathBar()->componentImages().size(), 4);

    for (const QString& name : {QStringLiteral("A road"), QStringLiteral("B road"), QStringLiteral("Sign")})
        palette.selectItem(item(name));
    EXPECT_EQ(palette.history().backBuffer().size(), 4);
    EXPECT_TRUE(palette.historyButton(0)->isEnabled());
    EXPECT_FALSE(palette.historyButton(1)->isEnabled());
    palette.goBack(nullptr);
    palette.goBack(nullptr);
    EXPECT_EQ(palette.selectedItem(), item(QStringLiteral("A road")));
    EXPECT_TRUE(palette.historyButton(1)->isEnabled());

    // The forward menu lists the nearest step first; choosing its second entry goes there.
    QMenu* forward = palette.historyMenu(1);
    platform::fillMenuFromDelegate(forward);
    ASSERT_EQ(forward->actions().size(), 2);
    EXPECT_TRUE(forward->actions()[0]->text().endsWith(QStringLiteral("•B road")));
    palette.goToHistoryItem(forward->actions()[1]);
    EXPECT_EQ(palette.selectedItem(), item(QStringLiteral("Sign")));
    EXPECT_FALSE(palette.historyButton(1)->isEnabled());
    QMenu* back = palette.historyMenu(0);
    platform::fillMenuFromDelegate(back);
    EXPECT_TRUE(back->actions()[0]->isChecked());
    EXPECT_FALSE(back->actions()[1]->isChecked());

    // A removed category leaves the palette empty and its entries out of the history.
    auto* roads = library->addCategoryWithName(QStringLiteral("Roads"));
    roads->addItem(item(QStringLiteral("A road")));
    palette.setCategory(roads);
    palette.selectItem(item(QStringLiteral("A road")));
    library->removeCategory(roads);
    EXPECT_EQ(palette.category(), nullptr);
    for (const auto& entry : palette.history().backBuffer())
        EXPECT_FALSE(entry->category().endsWith(QStringLiteral(".Roads")));
}

// Each time the pop-up opens, the way to the shown category stands out: the library and the
// categories leading there bold, the category itself checked, in submenus made as it opens too;
// group headers, which choose nothing, bold and greyed.
TEST_F(PickerTest, LibraryPopUpMarksTheTrailToTheShownCategory)
{
    VXQLibraryCategory* roads = library->addCategoryWithName(QStringLiteral("Roads"));
    roads->addCategoryWithName(QStringLiteral("Minor"));
    makeLibrary(QStringLiteral("Parks"));
    VXQLibraryPickerPaletteController& palette = openPicker();
    QMenu* libraries = palette.libraryPopUp()->menu();
    const auto open = [](QMenu* menu) {
        menu->popup(QPoint());
        menu->hide();
        return menu;
    };
    const auto entry = [](QMenu* menu, const QString& title) {
        for (QAction* action : menu->actions())
            if (action->text() == title)
                return action;
        ADD_FAILURE() << "no entry " << title.toStdString();
        return menu->addAction(QString());
    };
    const auto marked = [](const QAction* action) { return action->font().bold() && action->font().underline(); };

    // Base > Roads > Minor, chosen through the menus.
    QMenu* baseMenu = open(entry(open(libraries), QStringLiteral("Base"))->menu());
    QMenu* roadsMenu = open(entry(baseMenu, QStringLiteral("Roads"))->menu());
    entry(roadsMenu, QStringLiteral("Minor"))->trigger();
    ASSERT_EQ(palette.category()->identifier(), QStringLiteral("MY LIBRARY.Base.Roads.Minor"));

    open(libraries);
    for (const QString& header : {QStringLiteral("VELTRUM LIBRARY"), QStringLiteral("MY LIBRARY")}) {
        EXPECT_TRUE(entry(libraries, header)->font().bold()) << header.toStdString();
        EXPECT_FALSE(entry(libraries, header)->isEnabled()) << header.toStdString();
    }
    QAction* base = entry(libraries, QStringLiteral("Base"));
    EXPECT_TRUE(marked(base));
    EXPECT_TRUE(base->isEnabled());
    EXPECT_FALSE(marked(entry(libraries, QStringLiteral("Parks"))));
    baseMenu = open(base->menu());
    QAction* roadsEntry = entry(baseMenu, QStringLiteral("Roads"));
    EXPECT_TRUE(marked(roadsEntry));
    EXPECT_FALSE(roadsEntry->isChecked());
    EXPECT_FALSE(marked(entry(baseMenu, QStringLiteral("All Items"))));
    QAction* minor = entry(open(roadsEntry->menu()), QStringLiteral("Minor"));
    EXPECT_TRUE(marked(minor));
    EXPECT_TRUE(minor->isChecked());

    // Another choice moves the marks.
    entry(baseMenu, QStringLiteral("All Items"))->trigger();
    baseMenu = open(entry(open(libraries), QStringLiteral("Base"))->menu());
    QAction* allItems = entry(baseMenu, QStringLiteral("All Items"));
    EXPECT_TRUE(marked(allItems));
    EXPECT_TRUE(allItems->isChecked());
    EXPECT_FALSE(marked(entry(baseMenu, QStringLiteral("Roads"))));
    EXPECT_FALSE(entry(baseMenu, QStringLiteral("Roads"))->isChecked());
}

TEST_F(PickerTest, WindowKeepsWholeRowsLosesThePathBarAndStoresItsState)
{
    VXQLibraryPickerPaletteController& palette = openPicker();
    QWidget* window = palette.window();
    window->show();
    window->move(40, 60);
    // Proposed heights become the top bar, whole rows of the browser and the path bar.
    const double row = palette.itemBrowser()->rowHeight();
    const double fixed = palette.itemBrowser()->fixedHeight();
    const int topBar = window->findChild<QWidget*>(QStringLiteral("topBar"))->sizeHint().height();
    ASSERT_GT(row, 0);
    for (int proposed : {topBar + 24 + int(row * 2.4), topBar + 24 + int(row * 2.6), 10}) {
        const int snapped = palette.windowWillResizeToSize(QSize(300, proposed)).height();
        const double rows = (snapped - topBar - 24 - fixed) / row;
        EXPECT_DOUBLE_EQ(rows, std::max(1.0, std::round((proposed - topBar - 24) / row))) << proposed;
    }
    EXPECT_EQ(palette.windowWillResizeToSize(QSize(280, 500)).width(), 280);

    window->resize(300, 500);
    const int height = window->height();
    const int top = window->y();
    palette.setStatusBarHidden(true);
    EXPECT_EQ(window->height(), height - 24);
    EXPECT_EQ(window->y(), top);
    EXPECT_TRUE(palette.statusBarHidden());
    palette.setStatusBarHidden(false);
    EXPECT_EQ(window->height(), height);

    VXQLibraryPickerPaletteController::saveLibraryPickerState();
    // Without the shared palette only "not visible" is stored.
    EXPECT_FALSE(storedDefaults().boolForKey(kTMSVLibraryPickerVisible));
    EXPECT_FALSE(storedDefaults().objectForKey(kTMSVLibraryPickerFrame).isValid());
}

TEST_F(PickerTest, StoredStateThatNoLongerResolvesIsIgnored)
{
    // A category and placement from another life: the category is not found, the window
    // stays on a screen.
    storedDefaults().setObjectForKey(QStringLiteral("MY LIBRARY.Gone.Roads"), kLibraryPickerDisplayedCategory);
    storedDefaults().setObjectForKey(QStringLiteral("{90000, -90000}"), kQuorvaneLibraryPickerWindowPlacement);
    picker = std::make_unique<VXQLibraryPickerPaletteController>();
    QWidget* window = picker->window();
    EXPECT_EQ(picker->category(), nullptr);
    EXPECT_TRUE(picker->filteredItems().isEmpty());
    bool onAScreen = false;
    for (const QScreen* screen : QGuiApplication::screens())
        onAScreen |= screen->availableGeometry().intersects(window->frameGeometry());
    EXPECT_TRUE(onAScreen);

    // One that resolves shows its category with the last choice chosen again.
    auto* roads = library->addCategoryWithName(QStringLiteral("Roads"));
    roads->addItem(item(QStringLiteral("B road")));
    storedDefaults().setObjectForKey(roads->identifier(), kLibraryPickerDisplayedCategory);
    storedDefaults().setObjectForKey(QString(roads->identifier() + QStringLiteral(".B road")), kLibraryPickerLastSelection);
    // In front of a map whose tool takes every kind, so nothing is greyed.
    mapWithSelectedSquares(0);
    picker = std::make_unique<VXQLibraryPickerPaletteController>();
    picker->window();
    EXPECT_EQ(picker->category(), roads);
    EXPECT_EQ(picker->selectedItem(), item(QStringLiteral("B road")));
}
