#include "app/services/InspectorServices.h"
#include "app/document/VXQMappingLayer.h"
#include "inspectors/InspectorServicesInstallation.h"
#include "inspectors/attributes/VXQAttributeController.h"
#include "inspectors/object_inspector/VXDrawableController.h"
#include "inspectors/object_inspector/ZQObjectInspector.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/BezierPath.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/WindowController.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "symbols/labels/VXQTextLabelContainer.h"
#include "tracks/model/ZQMultiStylePath.h"
#include "tracks/styles/ZQRangeDrawingStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTabBar>
#include <gtest/gtest.h>

namespace {

class MapWindow : public platform::WindowController {
protected:
    QWidget* loadWindow() override { return new QWidget(nullptr, Qt::Window); }
};

void settle()
{
    platform::RunLoop::runUntilIdle();
}

// A drawing document whose window is the main window, and an inspector of its own showing.
struct InspectorFixture {
    std::shared_ptr<VXDrawingDocument> document = std::make_shared<VXDrawingDocument>();
    std::shared_ptr<MapWindow> windowController = std::make_shared<MapWindow>();
    std::shared_ptr<VXObjectDrawingLayer> layer = std::make_shared<VXQMappingLayer>();
    ZQObjectInspector inspector;

    InspectorFixture()
    {
        VXDrawingPtr drawing = VXDrawing::drawingWithSize({600, 600});
        document->setDrawing(drawing);
        drawing->addLayer(layer);
        drawing->setActiveLayer(layer.get());
        document->addWindowController(windowController);
        QWidget* window = windowController->window();
        window->show();
        QApplication::setActiveWindow(window);
        inspector.showObjectInspector();
        settle();
        undo()->closeAutomaticGroup();
        undo()->removeAllActions();
    }
    ~InspectorFixture()
    {
        inspector.window()->hide();
        document->close();
        settle();
    }
    ZQUndoManager* undo() const { return document->undoManager(); }
    VXDrawableObjectPtr addShape()
    {
        VXDrawableObjectPtr shape = VXDrawableShape::drawableShapeWithRect(QRectF(10, 10, 50, 40), nullptr);
        layer->addObject(shape);
        return shape;
    }
    void select(const QList<VXDrawableObjectPtr>& objects)
    {
        layer->exchangeSelectionWithObjectsFromArray(objects);
        settle();
    }
};

ZQMultiStylePathPtr multiStylePath(const QList<VXStylePtr>& styles)
{
    platform::BezierPath line;
    line.moveToPoint({0, 0});
    line.lineToPoint({200, 0});
    ZQMultiStylePathPtr path = ZQMultiStylePath::multiStylePathWithPathStyle(line, styles.value(0));
    QList<ZQRangeDrawingStylePtr> ranges;
    for (qsizetype i = 0; i < styles.size(); ++i)
        ranges.append(ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(
            styles[i], ZQMakeAbsoluteStyleRange(double(i) * 200 / styles.size(), 200.0 / styles.size())));
    path->setStyles(ranges);
    return path;
}

VXStylePtr styleNamed(const QString& name)
{
    VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(Qt::yellow, Qt::black);
    style->setName(name);
    return style;
}

} // namespace

TEST(ObjectInspector, InfoLinesAndPagesFollowTheSelection)
{
    InspectorFixture f;
    EXPECT_FALSE(f.inspector.showsObjectTabs());
    VXDrawableObjectPtr a = f.addShape();
    VXDrawableObjectPtr b = f.addShape();
    VXDrawableObjectPtr c = f.addShape();
    f.select({a});
    EXPECT_EQ(f.inspector.selectionInfoText(), "One item in selection");
    EXPECT_EQ(f.inspector.itemCountText(), "1");
    EXPECT_TRUE(f.inspector.showsObjectTabs());
    EXPECT_TRUE(f.inspector.isKnownObject(a.get()));
    EXPECT_FALSE(f.inspector.isKnownObject(b.get()));

    f.select({a, b, c});
    EXPECT_EQ(f.inspector.selectionInfoText(), "3 items in selection");
    EXPECT_EQ(f.inspector.itemCountText(), "3");
    EXPECT_EQ(f.inspector.generalController()->content().size(), 3);
    EXPECT_EQ(f.inspector.attributeController()->content().size(), 3);

    f.select({});
    EXPECT_FALSE(f.inspector.showsObjectTabs());
}

TEST(ObjectInspector, RedisplaysAreIgnoredWhileHidden)
{
    InspectorFixture f;
    VXDrawableObjectPtr a = f.addShape();
    VXDrawableObjectPtr b = f.addShape();
    f.select({a});
    f.inspector.window()->close();
    f.select({b});
    EXPECT_EQ(f.inspector.selection(), QList<ZQObjectPtr>({a}));
    EXPECT_EQ(f.inspector.selectionInfoText(), "One item in selection");

    // Shown again, it catches up.
    f.inspector.showObjectInspector();
    settle();
    EXPECT_EQ(f.inspector.selection(), QList<ZQObjectPtr>({b}));
}

TEST(ObjectInspector, UndoAndRedoActOnTheCurrentDocument)
{
    InspectorFixture f;
    VXDrawableObjectPtr shape = f.addShape();
    f.select({shape});
    settle();
    f.undo()->closeAutomaticGroup();
    f.undo()->removeAllActions();
    EXPECT_EQ(f.inspector.undoManager(), f.undo());
    EXPECT_TRUE(f.inspector.willRedirectUndo());

    QCheckBox* ghosted = f.inspector.generalController()->ghostedCheckbox();
    ghosted->setChecked(true);
    f.inspector.generalController()->ghostedAction(ghosted);
    f.undo()->closeAutomaticGroup();
    EXPECT_TRUE(shape->ghosted());

    platform::MenuItem undoItem(QStringLiteral("Undo"), "undo");
    EXPECT_TRUE(f.inspector.validateMenuItem(&undoItem));
    EXPECT_EQ(undoItem.title(), f.undo()->undoMenuItemTitle());
    f.inspector.undo(nullptr);
    EXPECT_FALSE(shape->ghosted());
    platform::MenuItem redoItem(QStringLiteral("Redo"), "redo");
    EXPECT_TRUE(f.inspector.validateMenuItem(&redoItem));
    EXPECT_FALSE(f.inspector.validateMenuItem(&undoItem));
    f.inspector.redo(nullptr);
    EXPECT_TRUE(shape->ghosted());
}

TEST(ObjectInspector, OpeningAttributesSelectsThePathAndShowsItsAttributesTab)
{
    installInspectorServices();
    ASSERT_TRUE(InspectorServices::installed().showObjectInspectorWithAttributes);
    InspectorFixture f;
    VXDrawableObjectPtr shape = f.addShape();
    ZQMultiStylePathPtr path = multiStylePath({styleNamed("Road")});
    path->setMetadataItemValueForKey(QStringLiteral("A40"), "ref");
    f.layer->addObject(path);
    f.select({shape});

    ZQObjectInspector* shared = ZQObjectInspector::sharedObjectInspector();
    shared->switchToTab(ZQObjectInspector::kGeneralTab);
    path->openAttributes(nullptr);
    settle();
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>({path}));
    EXPECT_TRUE(shared->window()->isVisible());
    EXPECT_EQ(shared->currentTab(), ZQObjectInspector::kAttributesTab);
    EXPECT_EQ(shared->window()->findChild<QTabBar*>()->currentIndex(), 1);
    EXPECT_EQ(shared->selection(), QList<ZQObjectPtr>({path}));
    EXPECT_EQ(shared->attributeController()->sortedKeys(), QStringList({"ref"}));
    shared->window()->hide();
}

TEST(ObjectInspector, ASubSelectionOfNothingShowsTheObjectItself)
{
    InspectorFixture f;
    VXDrawableObjectPtr shape = f.addShape();
    VXDrawableObjectPtr other = f.addShape();
    f.select({other});
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQTextLabelSelectionDidChange, shape.get());
    EXPECT_EQ(f.inspector.selection(), QList<ZQObjectPtr>({shape}));
    EXPECT_TRUE(f.inspector.showsObjectTabs());
}

TEST(GeneralTab, StyleNamesFollowTheObjectsStyleOrStyles)
{
    VXDrawableObjectPtr shape = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), styleNamed("Coast"));
    EXPECT_EQ(VXDrawableController::styleNameForObject(*shape), "Coast");
    shape->setStyle(styleNamed(QString()));
    EXPECT_EQ(VXDrawableController::styleNameForObject(*shape), "<unnamed>");
    shape->setStyle(nullptr);
    EXPECT_EQ(VXDrawableController::styleNameForObject(*shape), "<none>");

    EXPECT_EQ(VXDrawableController::styleNameForObject(*multiStylePath({styleNamed("A"), styleNamed("B")})), "<multiple>");
    EXPECT_EQ(VXDrawableController::styleNameForObject(*multiStylePath({styleNamed("Motorway")})), "Motorway");
    EXPECT_EQ(VXDrawableController::styleNameForObject(*multiStylePath({styleNamed(QString())})), "<none>");

    VXDrawableController controller;
    VXDrawableObjectPtr other = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), styleNamed("Lake"));
    controller.setContent({multiStylePath({styleNamed("A"), styleNamed("B")})});
    EXPECT_EQ(controller.styleNameField()->text(), "<multiple>");
    controller.setContent({shape, other});
    EXPECT_EQ(controller.styleNameField()->text(), "<multiple styles>");
}

TEST(GeneralTab, LockingDisablesTheOtherBoxesAndEditsSkipLockedObjects)
{
    VXDrawableController controller;
    VXDrawableObjectPtr lake = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), nullptr);
    VXDrawableObjectPtr wood = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), nullptr);
    lake->assignUserNameWithFlag(QStringLiteral("Lake"), true);
    controller.setContent({lake, wood});
    EXPECT_EQ(controller.displayNameField()->text(), "Shape");
    EXPECT_EQ(controller.descriptionField()->text(), "<multiple descriptions>");
    EXPECT_TRUE(controller.visibleCheckbox()->isEnabled());
    controller.visibleCheckbox()->setChecked(false);
    controller.visibleAction(controller.visibleCheckbox());
    EXPECT_FALSE(lake->visible());
    EXPECT_FALSE(wood->visible());

    wood->setLocked(true);
    settle();
    EXPECT_EQ(controller.lockCheckbox()->checkState(), Qt::PartiallyChecked);
    EXPECT_FALSE(controller.visibleCheckbox()->isEnabled());
    EXPECT_TRUE(controller.lockCheckbox()->isEnabled());
    EXPECT_TRUE(controller.lockIcon()->pixmap().isNull());
    controller.visibleCheckbox()->setChecked(true);
    controller.visibleAction(controller.visibleCheckbox());
    EXPECT_TRUE(lake->visible());
    EXPECT_FALSE(wood->visible());

    controller.setDrawable(wood);
    EXPECT_FALSE(controller.lockIcon()->pixmap().isNull());
    EXPECT_EQ(controller.lockCheckbox()->checkState(), Qt::Checked);

    controller.setDrawable(nullptr);
    EXPECT_TRUE(controller.displayNameField()->text().isEmpty());
    EXPECT_FALSE(controller.lockCheckbox()->isEnabled());
    EXPECT_FALSE(controller.ghostedCheckbox()->isEnabled());
}
