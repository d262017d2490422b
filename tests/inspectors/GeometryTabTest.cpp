#include "InspectorTesting.h"

#include "app/document/ZQQuorvaneDocument.h"
#include "furniture/scalebar/VXQScaleBarShape.h"
#include "inspectors/geometry/GeometryDisplayUnits.h"
#include "inspectors/geometry/GeometryPaneRegistry.h"
#include "inspectors/panes/VLTM_VXDrawableObjectController.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/vantrix/drawables/VXArcPath.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/drawables/VXRoundRectShape.h"
#include "support/TabBehindAnother.h"

#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace inspectortest;

// An arc of its own kind: masks match classes exactly, so it gets everything.
class SpiralArcPath : public VXArcPath {
    Q_OBJECT
};

namespace {

VXDrawableObjectPtr arc()
{
    return std::make_shared<VXArcPath>();
}

} // namespace

TEST(GeometryTab, OptionsMaskFollowsTheExactCommonClass)
{
    EXPECT_EQ(VLTMGeometryController::interfaceOptionsForSelection({arc()}), 253u);
    EXPECT_EQ(VLTMGeometryController::interfaceOptionsForSelection({arc(), arc()}), 253u);
    EXPECT_EQ(VLTMGeometryController::interfaceOptionsForSelection({std::make_shared<VXRegularPolygonPath>()}), 253u);
    EXPECT_EQ(VLTMGeometryController::interfaceOptionsForSelection({std::make_shared<VXQScaleBarShape>()}), 249u);
    EXPECT_EQ(VLTMGeometryController::interfaceOptionsForSelection({curvedPath()}), 251u);
    EXPECT_EQ(VLTMGeometryController::interfaceOptionsForSelection({straightPath(), straightPath({0, 0}, {0, 50})}), 253u);
    // One curved path among straight ones takes the angle away, not the size.
    EXPECT_EQ(VLTMGeometryController::interfaceOptionsForSelection({straightPath(), curvedPath()}), 251u);
    EXPECT_EQ(VLTMGeometryController::interfaceOptionsForSelection({std::make_shared<SpiralArcPath>()}), 255u);
    // A path and an arc have the path class in common, and the arc is no straight line.
    EXPECT_EQ(VLTMGeometryController::interfaceOptionsForSelection({straightPath(), arc()}), 251u);
    EXPECT_EQ(VLTMGeometryController::interfaceOptionsForSelection({}), 255u);
}

TEST(GeometryTab, OptionsFollowLinesTurningCurvedAndBack)
{
    // What the tab found of one selection must not stand for the next.
    TabFixture fixture;
    const VXDrawableObjectPtr line = fixture.add(straightPath());
    const VXDrawableObjectPtr curve = fixture.add(curvedPath());
    auto* pane = fixture.paneFor<VLTM_VXDrawableObjectController>(QStringLiteral("VXDrawableObject"));
    fixture.select({line});
    EXPECT_EQ(pane->interfaceOptions(), 253u);
    fixture.select({line, curve});
    EXPECT_EQ(pane->interfaceOptions(), 251u);
    fixture.select({line, fixture.add(arc())});
    EXPECT_EQ(pane->interfaceOptions(), 251u);
    fixture.select({line});
    EXPECT_EQ(pane->interfaceOptions(), 253u);
}

TEST(GeometryTab, PanesAndOptionsFollowSelectedLinesBentAndStraightenedAgain)
{
    TabFixture fixture;
    QList<VXDrawableObjectPtr> lines;
    for (int i = 0; i < 3000; ++i)
        lines.append(fixture.add(straightPath({10, 10.0 + i * 0.1}, {110, 10.0 + i * 0.1})));
    auto* pane = fixture.paneFor<VLTM_VXDrawableObjectController>(QStringLiteral("VXDrawableObject"));
    const QString lengthPane = QStringLiteral("VLTM_VXDrawablePathController");
    fixture.select(lines);
    fixture.forgetEdits();
    ASSERT_TRUE(fixture.installedPanes().contains(lengthPane));
    ASSERT_EQ(pane->interfaceOptions(), 253u);

    const auto bend = [&](const VXDrawableObjectPtr& line) {
        auto* path = static_cast<VXDrawablePath*>(line.get());
        platform::BezierPath bent = path->path();
        bent.curveToPointControlPoint1ControlPoint2({150, 60}, {120, 10}, {150, 30});
        path->setPath(bent);
    };
    for (const qsizetype at : {qsizetype(0), lines.size() / 2, lines.size() - 1}) {
        SCOPED_TRACE(at);
        bend(lines[at]);
        fixture.endStep();
        EXPECT_FALSE(fixture.installedPanes().contains(lengthPane));
        EXPECT_EQ(pane->interfaceOptions(), 251u);
        // Another curve among them changes nothing; the last one made straight again does.
        bend(lines[(at + 1) % lines.size()]);
        fixture.endStep();
        fixture.undo.undo();
        fixture.settle();
        EXPECT_EQ(pane->interfaceOptions(), 251u);
        fixture.undo.undo();
        fixture.settle();
        EXPECT_TRUE(fixture.installedPanes().contains(lengthPane));
        EXPECT_EQ(pane->interfaceOptions(), 253u);
    }

    // A line that is not selected is none of the tab's business.
    const VXDrawableObjectPtr elsewhere = fixture.add(straightPath());
    bend(elsewhere);
    fixture.settle();
    EXPECT_EQ(pane->interfaceOptions(), 253u);
}

TEST(GeometryTab, PaneNamesFollowTheRegisteredClasses)
{
    EXPECT_EQ(GeometryPaneRegistry::subcontrollerClassForClass(&VXDrawableObject::staticMetaObject),
              QStringLiteral("VLTM_VXDrawableObjectController"));
    EXPECT_TRUE(GeometryPaneRegistry::subcontrollerClassForClass(&VXDrawableShape::staticMetaObject).isEmpty());
    EXPECT_TRUE(GeometryPaneRegistry::subcontrollerClassForClass(nullptr).isEmpty());
}

TEST(GeometryTab, PanesFollowTheSelectionAndAnEmptySelectionClearsTheLines)
{
    TabFixture fixture;
    EXPECT_TRUE(fixture.installedPanes().isEmpty());
    VXDrawableObjectPtr shape = fixture.addShape();
    shape->assignUserNameWithFlag(QStringLiteral("Lake"), true);
    fixture.select({shape});
    EXPECT_EQ(fixture.installedPanes().value(0), QStringLiteral("VLTM_VXDrawableObjectController"));
    EXPECT_EQ(fixture.tab->nameString(), QStringLiteral("Lake"));
    EXPECT_EQ(fixture.tab->auxiliaryInfoString(), QStringLiteral("Shape"));

    VXDrawableObjectPtr other = fixture.addShape({100, 100, 20, 20});
    fixture.select({shape, other});
    EXPECT_EQ(fixture.tab->auxiliaryInfoString(), QStringLiteral("2 Shapes"));
    EXPECT_EQ(fixture.tab->nameString(), QStringLiteral("Multiple Selection"));

    fixture.select({});
    EXPECT_TRUE(fixture.installedPanes().isEmpty());
    EXPECT_TRUE(fixture.tab->nameString().isEmpty());
    EXPECT_TRUE(fixture.tab->auxiliaryInfoString().isEmpty());
}

TEST(GeometryTab, BehindAnotherTabTheSelectionShowsWhenTheTabComesToTheFront)
{
    TabFixture fixture;
    testsupport::TabBehindAnother tab(fixture.tab->view());
    const VXDrawableObjectPtr shape = fixture.addShape();
    fixture.select({shape, fixture.addShape({100, 100, 20, 20})});
    EXPECT_TRUE(fixture.installedPanes().isEmpty());
    EXPECT_EQ(fixture.tab->selection().size(), 2); // what commands act on all the same

    fixture.select({shape});
    tab.bringToFront();
    fixture.settle();
    EXPECT_EQ(fixture.tab->auxiliaryInfoString(), QStringLiteral("Shape"));
    auto* pane = fixture.paneFor<VLTM_VXDrawableObjectController>(QStringLiteral("VXDrawableObject"));
    EXPECT_EQ(pane->rowControl(QStringLiteral("width"))->field()->text(), QStringLiteral("50"));
    shape->setValueForKey(30.0, QStringLiteral("width"));
    fixture.settle();
    EXPECT_EQ(pane->rowControl(QStringLiteral("width"))->field()->text(), QStringLiteral("30"));
}

TEST(GeometryTab, ADrawingHandedOverShowsTheSelectionItAlreadyHas)
{
    // As a map opens: its selection is there before the tab is given the drawing.
    TabFixture fixture;
    fixture.tab->setDrawing(nullptr);
    VXDrawableObjectPtr shape = fixture.addShape();
    shape->assignUserNameWithFlag(QStringLiteral("Pond"), true);
    fixture.select({shape});
    EXPECT_TRUE(fixture.installedPanes().isEmpty());

    fixture.tab->setDrawing(fixture.drawing.get());
    fixture.settle();
    EXPECT_EQ(fixture.installedPanes().value(0), QStringLiteral("VLTM_VXDrawableObjectController"));
    EXPECT_EQ(fixture.tab->nameString(), QStringLiteral("Pond"));
    auto* pane = fixture.paneFor<VLTM_VXDrawableObjectController>(QStringLiteral("VXDrawableObject"));
    EXPECT_EQ(pane->rowControl(QStringLiteral("width"))->field()->text(), QStringLiteral("50"));
}

TEST(GeometryTab, SelectionsOfOtherDrawingsAreIgnored)
{
    TabFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape();
    fixture.select({shape});
    TabFixture other;
    VXDrawableObjectPtr elsewhere = other.addShape();
    other.layer->exchangeSelectionWithObjectsFromArray({elsewhere});
    TabFixture::settle();
    ASSERT_EQ(fixture.tab->selection().size(), 1);
    EXPECT_EQ(fixture.tab->selection().first(), shape);

    // A layer of the same drawing that is not the active one is followed.
    auto second = std::make_shared<VXObjectDrawingLayer>();
    fixture.drawing->addLayer(second);
    VXDrawableObjectPtr onSecond = VXDrawableShape::drawableShapeWithRect({0, 0, 5, 5}, nullptr);
    second->addObject(onSecond);
    second->exchangeSelectionWithObjectsFromArray({onSecond});
    TabFixture::settle();
    ASSERT_EQ(fixture.tab->selection().size(), 1);
    EXPECT_EQ(fixture.tab->selection().first(), onSecond);
}

TEST(GeometryTab, RenamingNeedsOneUnlockedObjectAndText)
{
    TabFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape();
    VXDrawableObjectPtr other = fixture.addShape({100, 100, 10, 10});
    fixture.select({shape, other});
    EXPECT_FALSE(fixture.tab->canRename());
    fixture.tab->renameAction();
    EXPECT_FALSE(fixture.tab->renamingModeActive());

    fixture.select({shape});
    ASSERT_TRUE(fixture.tab->canRename());
    fixture.tab->renameAction();
    ASSERT_TRUE(fixture.tab->renamingModeActive());
    fixture.tab->typeNameLabel()->setText(QString());
    fixture.tab->nameFieldAction();
    EXPECT_FALSE(fixture.tab->renamingModeActive());
    EXPECT_FALSE(shape->hasUserAssignedName());

    fixture.tab->renameAction();
    fixture.tab->typeNameLabel()->setText(QStringLiteral("North Wood"));
    fixture.tab->nameFieldAction();
    EXPECT_EQ(shape->name(), QStringLiteral("North Wood"));
    EXPECT_TRUE(shape->hasUserAssignedName());
    EXPECT_TRUE(fixture.tab->typeNameLabel()->isReadOnly());

    shape->setLocked(true);
    EXPECT_FALSE(fixture.tab->canRename());
}

TEST(GeometryTab, DisplayUnitModesMapToTheDocumentOptions)
{
    EXPECT_EQ(geometryunits::documentOptionForMode(0), 1);
    EXPECT_EQ(geometryunits::documentOptionForMode(1), 0);
    EXPECT_EQ(geometryunits::documentOptionForMode(2), 2);
    EXPECT_EQ(geometryunits::documentOptionForMode(7), 0);
    EXPECT_EQ(geometryunits::modeForDocumentOption(0), 1);
    EXPECT_EQ(geometryunits::modeForDocumentOption(1), 0);
    EXPECT_EQ(geometryunits::modeForDocumentOption(2), 2);
    EXPECT_FALSE(geometryunits::modeForDocumentOption(3).has_value());
    EXPECT_EQ(geometryunits::formatterForMode(3, nullptr), nullptr);
}

TEST(GeometryTab, ADamagedStoredModeGivesNoFormatterAndSelectsNoItem)
{
    platform::UserDefaults* defaults = platform::UserDefaults::standardUserDefaults();
    for (const QVariant& stored : {QVariant(5), QVariant(QStringLiteral("drawing units"))}) {
        defaults->setObjectForKey(stored, VLTMGeometryController::kUseDrawingUnitsKey);
        auto tab = VLTMGeometryController::make();
        EXPECT_EQ(tab->drawingUnitsFormatter(), nullptr) << stored.toString().toStdString();
        EXPECT_EQ(tab->drawingUnitsPopUp()->currentIndex(), -1);
    }
    defaults->removeObjectForKey(VLTMGeometryController::kUseDrawingUnitsKey);
}

TEST(GeometryTab, LengthsShowInTheChosenUnits)
{
    TabFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape({72, 10, 144, 40});
    fixture.select({shape});
    auto* pane = fixture.paneFor<VLTM_VXDrawableObjectController>(QStringLiteral("VXDrawableObject"));
    ASSERT_NE(pane, nullptr);
    fixture.tab->makeFormatterForDisplayUnitsOption(geometryunits::kPointsMode);
    EXPECT_EQ(pane->rowControl(QStringLiteral("width"))->field()->text(), QStringLiteral("144"));

    fixture.drawing->setUnits(ZQUnitLength::inches());
    fixture.tab->displayUnitsAction(geometryunits::kDrawingUnitsMode);
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults()->integerForKey(VLTMGeometryController::kUseDrawingUnitsKey), 1);
    EXPECT_EQ(pane->rowControl(QStringLiteral("width"))->field()->text(), QStringLiteral("2") + ZQUnitLength::inches()->symbol());
    // Typed in the same units: 3 inches are 216 points.
    typeInto(pane->rowControl(QStringLiteral("width")), QStringLiteral("3"));
    EXPECT_DOUBLE_EQ(shape->width(), 216.0);
    platform::UserDefaults::standardUserDefaults()->removeObjectForKey(VLTMGeometryController::kUseDrawingUnitsKey);
}

#include "GeometryTabTest.moc"
