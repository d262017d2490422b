#include "TerrainTestSupport.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/FloatingPanelPlacement.h"
#include "platform/ui/WindowNotifications.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/model/VXLayerMouseEvent.h"
#include "terrain/layer/ContourUnits.h"
#include "terrain/panel/VXQContourLayerController.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QScreen>
#include <QSlider>

using terraintest::LayerFixture;

namespace {

struct PanelFixture : LayerFixture {
    VXQContourLayerController* panel = VXQContourLayerController::sharedContourLayerController();

    PanelFixture()
    {
        drawing->setActiveLayer(layer.get());
        forgetEdits();
    }
    ~PanelFixture() { drawing->setActiveLayer(nullptr); }
};

} // namespace

TEST(ContourPanel, TheActiveLayerTakesThePanelAndResigningHidesIt)
{
    PanelFixture f;
    EXPECT_EQ(f.panel->contourLayer(), f.layer.get());
    EXPECT_TRUE(f.panel->window()->isVisible());
    EXPECT_EQ(f.panel->window()->windowTitle(), QStringLiteral("Terrain"));
    f.drawing->setActiveLayer(nullptr);
    EXPECT_EQ(f.panel->contourLayer(), nullptr);
    EXPECT_FALSE(f.panel->window()->isVisible());
}

TEST(ContourPanel, ValuesSetOnTheLayerReachTheirControls)
{
    PanelFixture f;
    EXPECT_EQ(f.panel->contourIntervalField()->value(), 10.0);
    EXPECT_EQ(f.panel->terrainToolSizeSlider()->value(), 7);
    EXPECT_EQ(f.panel->sectionControlMatrix()->checkedId(), 1);
    EXPECT_TRUE(f.panel->smoothCheckbox()->isChecked());

    f.layer->setContourInterval(25);
    f.layer->setContourLineWidth(1.25);
    f.layer->setSimplifiesContours(true);
    f.layer->setSmoothsContours(false);
    f.layer->setContourColour(Qt::darkGreen);
    f.layer->setCrossSectionIsVertical(true);
    EXPECT_EQ(f.panel->contourIntervalField()->value(), 25.0);
    EXPECT_EQ(f.panel->lineWidthField()->value(), 1.25);
    EXPECT_TRUE(f.panel->simplifyCheckbox()->isChecked());
    EXPECT_FALSE(f.panel->smoothCheckbox()->isChecked());
    EXPECT_EQ(f.panel->plusContoursColourWell()->color(), QColor(Qt::darkGreen));
    EXPECT_EQ(f.panel->sectionControlMatrix()->checkedId(), 2);
    f.layer->setShowsCrossSection(false);
    EXPECT_EQ(f.panel->sectionControlMatrix()->checkedId(), 0);

    // A stroke that cuts below 0 moves the base height shown when it ends.
    f.layer->setTerrainMode(ZQContourLayer::CutValleyMode);
    const QPointF valley = f.at(10, 10) + QPointF(1, 1);
    f.layer->mouseDownInView({valley, 1, 0}, nullptr);
    for (int i = 0; i < 4; ++i)
        f.layer->mouseDraggedInView({valley, 1, 0}, nullptr);
    EXPECT_EQ(f.panel->baseHeightTextField()->value(), 0.0);
    f.layer->mouseUpInView({valley, 1, 0}, nullptr);
    EXPECT_EQ(f.panel->baseHeightTextField()->value(), -25.0); // at the interval of 25

    // A new grid, a new interval: the base height shown follows both.
    f.layer->setHeightMap(terraintest::grid(2, {47, 52, 60, 81}));
    EXPECT_EQ(f.panel->baseHeightTextField()->value(), 25.0);
    f.layer->setContourInterval(10);
    EXPECT_EQ(f.panel->baseHeightTextField()->value(), 40.0);

    // Feet: the interval, the base height and the abbreviation follow at once.
    f.layer->setBaseHeight(100);
    f.layer->setUnits(ContourUnits::kFeet);
    EXPECT_NEAR(f.panel->contourIntervalField()->value(), 32.81, 1e-9);
    EXPECT_NEAR(f.panel->baseHeightTextField()->value(), 328.1, 1e-6);
    EXPECT_EQ(f.panel->unitsTextLabel()->text(), QStringLiteral("ft."));
    EXPECT_EQ(f.panel->unitsComboBox()->currentText(), ContourUnits::kFeet);

    // A layer without a negative colour shows its contour colour in both wells.
    f.layer->setNegativeContourColour(QColor());
    EXPECT_EQ(f.panel->minusContoursColourWell()->color(), QColor(Qt::darkGreen));
}

TEST(ContourPanel, ControlsWriteToTheLayerThroughItsLimits)
{
    PanelFixture f;
    f.panel->sectionControlMatrix()->button(2)->click();
    EXPECT_TRUE(f.layer->showsCrossSection());
    EXPECT_TRUE(f.layer->crossSectionIsVertical());
    EXPECT_EQ(f.layer->crossSectionRow(), 17u);
    f.panel->sectionControlMatrix()->button(0)->click();
    EXPECT_FALSE(f.layer->showsCrossSection());

    f.panel->terrainToolChooser()->button(3)->click();
    EXPECT_EQ(f.layer->terrainMode(), ZQContourLayer::CutValleyMode);
    f.panel->terrainToolSizeSlider()->setValue(9);
    EXPECT_EQ(f.layer->kernelSize(), 9u);
    f.panel->terrainToolSizeSlider()->setValue(10); // even: ignored
    EXPECT_EQ(f.layer->kernelSize(), 9u);

    f.panel->contourIntervalField()->setValue(0); // clamped to the field's least
    EXPECT_EQ(f.layer->contourInterval(), 0.01);
    f.panel->lineWidthField()->setValue(-3);
    EXPECT_EQ(f.layer->contourLineWidth(), 0.0);
    f.panel->fixedHeightField()->setValue(1e300);
    EXPECT_EQ(f.layer->terrainHeightForLevelMode(), 1e6);

    f.panel->unitsComboBox()->setCurrentText(QStringLiteral("Yards"));
    f.panel->unitsAction(f.panel->unitsComboBox());
    EXPECT_EQ(f.layer->units(), QStringLiteral("Yards"));
    EXPECT_EQ(f.panel->unitsTextLabel()->text(), QString());
    EXPECT_FALSE(ContourUnits::availableUnits().contains(QStringLiteral("Yards")));

    f.panel->smoothCheckbox()->click();
    EXPECT_FALSE(f.layer->smoothsContours());
    f.endStep();
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Smooth Contours"));
}

TEST(ContourPanel, WithoutALayerTheActionsChangeNothing)
{
    LayerFixture f;
    VXQContourLayerController* panel = VXQContourLayerController::sharedContourLayerController();
    panel->window();
    panel->setContourLayer(nullptr);
    panel->contourIntervalField()->setValue(50);
    panel->smoothCheckbox()->click();
    EXPECT_EQ(f.layer->contourInterval(), 10);
    EXPECT_TRUE(f.layer->smoothsContours());
}

TEST(ContourPanel, ThePanelHidesWhenItsLayerGoesWithItsDocument)
{
    VXQContourLayerController* panel = VXQContourLayerController::sharedContourLayerController();
    {
        LayerFixture f;
        f.drawing->setActiveLayer(f.layer.get());
        ASSERT_TRUE(panel->window()->isVisible());
        // The document closes: its drawing and layers go without resigning anything.
        f.undo->removeAllActions();
        f.layer.reset();
        f.drawing.reset();
    }
    EXPECT_EQ(panel->contourLayer(), nullptr);
    EXPECT_FALSE(panel->window()->isVisible());
    EXPECT_EQ(panel->window()->windowTitle(), QStringLiteral("--"));
}

TEST(ContourPanel, HelpButtonAsksTheInstalledHelpForTheContoursPage)
{
    PanelFixture f;
    QStringList asked;
    VXQContourLayerController::setHelpHandler([&](const QString& page) { asked.append(page); });
    QAbstractButton* help = nullptr;
    for (auto* button : f.panel->window()->findChildren<QAbstractButton*>())
        if (button->text() == QStringLiteral("?"))
            help = button;
    ASSERT_TRUE(help);
    help->click();
    VXQContourLayerController::setHelpHandler(nullptr);
    help->click();
    EXPECT_EQ(asked, QStringList{QStringLiteral("contours-layer")}) << "without a handler the button only logs";
}

// Two maps in their windows: one with its terrain layer active, one without a terrain layer.
TEST(ContourPanel, ThePanelFollowsTheMapInFront)
{
    LayerFixture terrain;
    terrain.drawing->setActiveLayer(terrain.layer.get());
    VXDrawingPtr plain = VXDrawing::drawingWithSize({300, 300});
    const auto windowShowing = [](const VXDrawingPtr& drawing) {
        auto window = std::make_unique<QWidget>();
        auto* view = new VXDrawingView(window.get());
        view->setDrawing(drawing);
        return window;
    };
    const auto terrainWindow = windowShowing(terrain.drawing), plainWindow = windowShowing(plain);
    const auto bringToFront = [](QWidget* window) {
        platform::NotificationCenter::defaultCenter().postNotificationName(platform::kNSWindowDidBecomeMainNotification,
                                                                           window);
    };
    VXQContourLayerController* panel = VXQContourLayerController::sharedContourLayerController();

    bringToFront(plainWindow.get());
    EXPECT_EQ(panel->contourLayer(), nullptr) << "a map without terrain in front takes the panel away";
    EXPECT_FALSE(panel->window()->isVisible());
    bringToFront(terrainWindow.get());
    EXPECT_EQ(panel->contourLayer(), terrain.layer.get()) << "the map in front brings its active terrain layer";
    EXPECT_TRUE(panel->window()->isVisible());
    bringToFront(panel->window());
    EXPECT_EQ(panel->contourLayer(), terrain.layer.get()) << "a window without a map changes nothing";
    bringToFront(plainWindow.get());
    EXPECT_FALSE(panel->window()->isVisible());
    terrain.drawing->setActiveLayer(nullptr);
}

// Placed beside a window at the screen's right edge, it would open mostly off screen.
TEST(ContourPanel, OpensWhollyOnScreenWhereverItWasPlaced)
{
    platform::FloatingPanelPlacement::keepPanelsOnScreen();
    PanelFixture f;
    QWidget* window = f.panel->window();
    const QRect screen = window->screen()->availableGeometry();
    f.drawing->setActiveLayer(nullptr);
    ASSERT_FALSE(window->isVisible());
    window->move(screen.right() - 33, screen.top() + 20);
    f.drawing->setActiveLayer(f.layer.get());
    ASSERT_TRUE(window->isVisible());
    EXPECT_TRUE(screen.contains(window->frameGeometry()));
    EXPECT_EQ(window->frameGeometry().right(), screen.right()) << "moved no further than it must";
    EXPECT_EQ(window->frameGeometry().top(), screen.top() + 20);
}
