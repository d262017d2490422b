#include "app/sidebar/VLTMGenericObjectController.h"
#include "app/sidebar/VLTMGenericObjectTrampoline.h"
#include "app/sidebar/VLTMTabContentViewController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/model/KeyValueUndo.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "support/LogCapture.h"
#include "support/TabBehindAnother.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

class Source : public QObject, public VLTMObjectControllerDataSource {
public:
    QList<ZQObjectPtr> selection;
    ZQUndoManager* undo = nullptr;

    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController*) override { return selection; }
    ZQUndoManager* undoManager() const override { return undo; }
};

// A size pane: shows width, height, lock and name of shapes; width and height may be percentages.
class ShapePane : public VLTMGenericObjectController {
    Q_OBJECT

public:
    QStringList keyPaths{"width", "height", "locked", "name"};
    bool revertible = false;
    QVariant width, height, name;
    int nilStates = 0;
    QStringList percentageUI;
    QList<QObject*> formatterSenders;

    const QMetaObject* managedObjectClass() const override { return &VXDrawableShape::staticMetaObject; }
    QStringList keyPathsOfInterest() const override { return keyPaths; }
    QStringList propertiesExpressibleAsPercentage() const override { return {"width", "height"}; }
    bool supportsRevertOrCancel() const override { return revertible; }

    Q_INVOKABLE void setWidth(double value) { width = value; }
    Q_INVOKABLE void setHeight(double value) { height = value; }
    Q_INVOKABLE void setName(const QString& value) { name = value; }

protected:
    void setControlStateForNil() override { ++nilStates; }
    void changeUIStateForPercentageProperty(bool shown, const QString& key) override
    {
        percentageUI.append(key + (shown ? "=%" : "=plain"));
    }
    void formatterChanged(const platform::Notification& n) override { formatterSenders.append(n.object()); }
};

// Adds a mixed-width display, an invalid-key handler and a veto on locked objects' names.
class MixedPane : public ShapePane {
    Q_OBJECT

public:
    int mixedWidths = 0;
    QList<QObject*> invalidated;

    Q_INVOKABLE void setMixedValueForWidth() { ++mixedWidths; }
    Q_INVOKABLE void invalidateControlsForNoSuchKey(QObject* object) { invalidated.append(object); }

protected:
    bool shouldSetValueOfObjectForKeyPath(QVariant&, ZQObject* object, const QString& keyPath) override
    {
        return keyPath == "locked" || !object->valueForKey("locked").toBool();
    }
};

// Shows values in a reversible multiple of the model's.
class Scale : public platform::ValueTransformer {
public:
    explicit Scale(double factor) : m_factor(factor) {}
    QVariant transformedValue(const QVariant& v) const override { return v.toDouble() * m_factor; }
    bool allowsReverseTransformation() const override { return true; }
    QVariant reverseTransformedValue(const QVariant& v) const override { return v.toDouble() / m_factor; }

private:
    double m_factor;
};

using testsupport::LogCapture;

// Two shapes, 100 x 40 and 50 x 40, sharing a style, in a drawing whose undo manager the source hands out.
class GenericPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        drawing->setUndoManager(&undo);
        drawing->addLayer(layer);
        layer->addObject(first);
        layer->addObject(second);
        undo.removeAllActions();
        source.undo = &undo;
        source.selection = {first, second};
    }

    template <class Pane> void attach(Pane& pane)
    {
        pane.setDataSource(&source);
        platform::RunLoop::runUntilIdle();
    }

    ZQUndoManager undo;
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({400, 400});
    std::shared_ptr<VXObjectDrawingLayer> layer = std::make_shared<VXObjectDrawingLayer>();
    VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(Qt::yellow, Qt::black);
    VXDrawableShapePtr first = VXDrawableShape::drawableShapeWithRect({0, 0, 100, 40}, style);
    VXDrawableShapePtr second = VXDrawableShape::drawableShapeWithRect({0, 0, 50, 40}, style);
    Source source;
};

TEST_F(GenericPaneTest, ContentLoadsLateKeepingManagedObjectsAndListensToItsDataSourceOnly)
{
    source.selection.append(VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black));
    ShapePane pane;
    pane.setDataSource(&source);
    EXPECT_FALSE(pane.width.isValid());
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.content().size(), 2);
    EXPECT_EQ(pane.percentageUI, QStringList({"width=plain", "height=plain"}));
    EXPECT_EQ(pane.height, QVariant(40.0));

    QObject other;
    auto& centre = platform::NotificationCenter::defaultCenter();
    centre.postNotificationName(kVLTMGeometryControllerFormatterDidChange, &other);
    centre.postNotificationName(kVLTMGeometryControllerFormatterDidChange, &source);
    EXPECT_EQ(pane.formatterSenders, QList<QObject*>({&source}));

    source.selection.clear();
    pane.reloadContent();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.nilStates, 1);
    EXPECT_TRUE(pane.commonValueForKeyPath("width").isNull());

    // Unloaded: neither notifications nor model changes are shown.
    source.selection = {first};
    pane.reloadContent();
    platform::RunLoop::runUntilIdle();
    pane.setDataSource(nullptr);
    centre.postNotificationName(kVLTMGeometryControllerFormatterDidChange, &source);
    EXPECT_EQ(pane.formatterSenders.size(), 1);
    first->setHeight(12);
    EXPECT_EQ(pane.height, QVariant(40.0));
    EXPECT_THROW(pane.setDataSource(&other), platform::AssertionFailure);
}

TEST_F(GenericPaneTest, APaneOnATabBehindAnotherLoadsWhenItComesToTheFrontAndFollowsChangesThen)
{
    ShapePane pane;
    testsupport::TabBehindAnother tab(pane.view());
    source.selection = {first};
    attach(pane);
    first->setHeight(30);
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(pane.height.isValid());

    tab.bringToFront();
    EXPECT_EQ(pane.height, QVariant(30.0));
    first->setHeight(20);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.height, QVariant(20.0));
}

TEST_F(GenericPaneTest, CommonValuesMarkDifferencesAndShowThem)
{
    LogCapture log;
    MixedPane pane;
    attach(pane);
    EXPECT_EQ(pane.commonValueForKeyPath("height"), QVariant(40.0));
    EXPECT_TRUE(platform::isMultipleValuesMarker(pane.commonValueForKeyPath("width")));
    EXPECT_EQ(pane.mixedWidths, 1);
    EXPECT_FALSE(pane.width.isValid());

    // Without a mixed setter the plain one gets the generic text.
    second->setName("Canal");
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.name, QVariant(QStringLiteral("<multiple values>")));
    EXPECT_TRUE(log.contains("does not respond to -setMixedValueForName"));

    // A model change is shown when the turn ends; the differing widths become equal.
    second->setWidth(100);
    EXPECT_FALSE(pane.width.isValid());
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.width, QVariant(100.0));

    pane.setValueForKeyPath(QVariant(), "height");
    EXPECT_TRUE(log.contains("an attempt to set nil as the value to -setHeight was ignored"));
    EXPECT_EQ(pane.height, QVariant(40.0));
    pane.setValueForKeyPath(1.0, "style.opacity");
    EXPECT_TRUE(log.contains("does not implement -setOpacity"));

    EXPECT_EQ(pane.stateForKeyPath("locked"), 0);
    second->setLocked(true);
    EXPECT_EQ(pane.stateForKeyPath("locked"), -1);
    first->setLocked(true);
    EXPECT_EQ(pane.stateForKeyPath("locked"), 1);
    second->setName("");
    EXPECT_EQ(pane.stateForKeyPath("name"), 0);
}

TEST_F(GenericPaneTest, KeyPathsOutsideTheListBadKeyPathsAndPercentagesOfNonNumbers)
{
    {
        LogCapture log;
        class NamePercentPane : public ShapePane {
            QStringList propertiesExpressibleAsPercentage() const override { return {"name"}; }
        } pane;
        pane.keyPaths.append("style.noSuchKey");
        attach(pane);
        EXPECT_TRUE(log.contains("'name' cannot be expressed as percentage (not a numeric property of"));
        EXPECT_TRUE(platform::isNotApplicableMarker(pane.commonValueForKeyPath("style.noSuchKey")));
        EXPECT_TRUE(log.contains("keyPath 'style.noSuchKey' not valid for"));
        EXPECT_EQ(pane.height, QVariant(40.0)); // the good key paths still work

        EXPECT_THROW(pane.commonValueForKeyPath("angle"), platform::AssertionFailure);
        EXPECT_TRUE(log.contains("keyPath 'angle' used as getter not present in -keyPathsOfInterest"));
        EXPECT_THROW(pane.setCommonValueForKeyPath(1.0, "angle"), platform::AssertionFailure);
        EXPECT_TRUE(log.contains("keyPath 'angle' used as setter not present in -keyPathsOfInterest"));
        EXPECT_THROW(pane.setPropertyExpressedAsPercentage("locked", true), platform::AssertionFailure);
    }
    MixedPane handled;
    handled.keyPaths.append("style.noSuchKey");
    attach(handled);
    EXPECT_EQ(handled.invalidated, QList<QObject*>({first.get(), second.get()}));
}

TEST_F(GenericPaneTest, WriteThroughATransformerIsOneUndoStepNamedByTheCaller)
{
    ShapePane pane;
    pane.setTransformerForKeyPath(std::make_shared<Scale>(2.54), "width");
    attach(pane);
    EXPECT_TRUE(platform::isMultipleValuesMarker(pane.commonValueForKeyPath("width")));
    pane.setCommonValueForKeyPath(254.0, "width");
    pane.undoManager()->setActionName("Change Width");
    undo.closeAutomaticGroup();
    EXPECT_DOUBLE_EQ(first->width(), 100.0);
    EXPECT_DOUBLE_EQ(second->width(), 100.0);
    EXPECT_DOUBLE_EQ(pane.commonValueForKeyPath("width").toDouble(), 254.0);
    EXPECT_DOUBLE_EQ(pane.width.toDouble(), 254.0);
    ASSERT_EQ(undo.numberOfUndoActions(), 1);
    EXPECT_EQ(undo.undoActionName(), "Change Width");

    undo.undo();
    EXPECT_EQ(first->width(), 100.0);
    EXPECT_EQ(second->width(), 50.0);
    EXPECT_EQ(undo.redoActionName(), "Change Width");
    undo.redo();
    platform::RunLoop::runUntilIdle();
    EXPECT_DOUBLE_EQ(second->width(), 100.0);
    EXPECT_DOUBLE_EQ(pane.width.toDouble(), 254.0);

    // Markers are not values.
    pane.setCommonValueForKeyPath(platform::multipleValuesMarker(), "width");
    pane.setCommonValueForKeyPath(platform::notApplicableMarker(), "width");
    EXPECT_DOUBLE_EQ(second->width(), 100.0);
}

TEST_F(GenericPaneTest, PercentagesAreOfTheLoadedValuesAndZeroStaysPut)
{
    second->setHeight(0);
    ShapePane pane;
    attach(pane);
    pane.setPropertiesExpressibleAsPercentage(true);
    EXPECT_EQ(pane.percentageUI.mid(2), QStringList({"width=%", "height=%"}));
    EXPECT_EQ(pane.commonValueForKeyPath("width"), QVariant(1.0));

    pane.setCommonValueForKeyPath(0.5, "width");
    EXPECT_DOUBLE_EQ(first->width(), 50.0);
    EXPECT_DOUBLE_EQ(second->width(), 25.0);
    EXPECT_EQ(pane.width, QVariant(0.5));
    // Still of the loaded sizes, not of the current ones.
    pane.setCommonValueForKeyPath(2.0, "width");
    EXPECT_DOUBLE_EQ(first->width(), 200.0);

    // 40 -> 20 and 0 -> (no proportion) 0.
    EXPECT_EQ(pane.commonValueForKeyPath("height"), QVariant(1.0));
    pane.setCommonValueForKeyPath(0.5, "height");
    EXPECT_DOUBLE_EQ(first->height(), 20.0);
    EXPECT_DOUBLE_EQ(second->height(), 0.0);
    EXPECT_TRUE(platform::isMultipleValuesMarker(pane.commonValueForKeyPath("height")));

    pane.setPropertyExpressedAsPercentage("width", false);
    EXPECT_TRUE(platform::isMultipleValuesMarker(pane.commonValueForKeyPath("width")));
}

TEST_F(GenericPaneTest, VetoAndControlsAndRevert)
{
    MixedPane pane;
    pane.revertible = true;
    attach(pane);
    second->setLocked(true);
    QLineEdit field;
    pane.takeCommonValueFromForKeyPath(&field, "name"); // empty: ignored
    pane.takeCommonValueFromForKeyPathAllowingEmptyValue(&field, "name", true);
    EXPECT_EQ(pane.name, QVariant(QString()));
    field.setText("Harbour Road");
    pane.takeCommonValueFromForKeyPath(&field, "name");
    EXPECT_EQ(first->name(), "Harbour Road");
    EXPECT_EQ(second->name(), ""); // locked: vetoed

    QDoubleSpinBox spin;
    spin.setMaximum(1000);
    spin.setValue(75);
    pane.takeCommonValueFromForKeyPath(&spin, "width");
    EXPECT_EQ(first->width(), 75.0);
    EXPECT_EQ(second->width(), 50.0);

    // Reverting restores each object's own loaded value, even where they differed.
    second->setLocked(false);
    pane.setCommonValueForKeyPath(10.0, "width");
    EXPECT_EQ(second->width(), 10.0);
    pane.revertOrCancel();
    EXPECT_EQ(first->width(), 100.0);
    EXPECT_EQ(second->width(), 50.0);
    EXPECT_EQ(first->name(), "");
    EXPECT_TRUE(platform::isMultipleValuesMarker(pane.commonValueForKeyPath("width")));
}

TEST_F(GenericPaneTest, TaggedMenusShowTheUsedValues)
{
    ShapePane pane;
    attach(pane);
    QMenu menu;
    auto* off = new platform::MenuItem("Unlocked", "lockAction", &menu);
    auto* on = new platform::MenuItem("Locked", "lockAction", &menu);
    on->setTag(1);
    menu.addActions({off, on});
    pane.selectMixedValuesInTaggedMenuForKeyPath(&menu, "locked");
    EXPECT_EQ(std::pair(off->state(), on->state()), std::pair(platform::MenuItem::OnState, platform::MenuItem::OffState));
    first->setLocked(true);
    EXPECT_EQ(pane.usedIntegerValuesForKeyPath("locked"), QSet<int>({0, 1}));
    pane.selectMixedValuesInTaggedMenuForKeyPath(&menu, "locked");
    EXPECT_EQ(std::pair(off->state(), on->state()),
              std::pair(platform::MenuItem::MixedState, platform::MenuItem::MixedState));
}

// The object a trampoline shows its values on.
class Sheet : public ZQObject {
    Q_OBJECT

public:
    QVariant width, name;
    int mixedWidths = 0;
    Q_INVOKABLE void setWidth(double value) { width = value; }
    Q_INVOKABLE void setMixedValueForWidth(const QVariant&) { ++mixedWidths; }
    Q_INVOKABLE void setName(const QString& value) { name = value; }
};

class ShapeTrampoline : public VLTMGenericObjectTrampoline {
public:
    const QMetaObject* managedObjectClass() const override { return &VXDrawableShape::staticMetaObject; }
    QStringList keyPathsOfInterest() const override { return {"width", "name"}; }
};

TEST_F(GenericPaneTest, TrampolineShowsValuesOnItsTarget)
{
    Sheet sheet;
    ShapeTrampoline trampoline;
    trampoline.setTrampolineTarget(&sheet);
    attach(trampoline);
    EXPECT_EQ(sheet.mixedWidths, 1);
    EXPECT_EQ(sheet.name, QVariant(QString()));
    second->setWidth(100);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(sheet.width, QVariant(100.0));
    first->setName("Weir");
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(sheet.name, QVariant(QStringLiteral("<multiple values>")));

    trampoline.setTrampolineTarget(nullptr);
    second->setName("Weir"); // no target: dropped quietly
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(sheet.name, QVariant(QStringLiteral("<multiple values>")));
}

// A value that counts how often it is read; its setter registers the undo of the change.
class Gauge : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(int grade READ grade WRITE setGrade)

public:
    Gauge(ZQUndoManager* undo, int grade) : m_undo(undo), m_grade(grade) {}
    mutable int reads = 0;

    int grade() const
    {
        ++reads;
        return m_grade;
    }
    void setGrade(int grade)
    {
        if (grade == m_grade)
            return;
        platform::registerUndoForKey(m_undo, *this, "grade", m_grade);
        willChangeValueForKey("grade");
        m_grade = grade;
        didChangeValueForKey("grade");
    }

private:
    ZQUndoManager* m_undo;
    int m_grade;
};

class GaugePane : public VLTMGenericObjectController {
    Q_OBJECT

public:
    QVariantList shown;

    const QMetaObject* managedObjectClass() const override { return &Gauge::staticMetaObject; }
    QStringList keyPathsOfInterest() const override { return {"grade"}; }
    Q_INVOKABLE void setGrade(int grade) { shown.append(grade); }
    Q_INVOKABLE void setMixedValueForGrade() { shown.append(QStringLiteral("mixed")); }
};

TEST(GenericPaneScaleTest, WritesAndTheirUndoReadEachObjectOnceAndShowOncePerTurn)
{
    ZQUndoManager undo;
    Source source;
    source.undo = &undo;
    QList<std::shared_ptr<Gauge>> gauges;
    for (int i = 0; i < 5000; ++i) {
        gauges.append(std::make_shared<Gauge>(&undo, i % 2));
        source.selection.append(gauges.last());
    }
    // The most reads any object had since the last call.
    const auto mostReads = [&] {
        int most = 0;
        for (const auto& gauge : std::as_const(gauges))
            most = std::max(most, std::exchange(gauge->reads, 0));
        return most;
    };
    GaugePane pane;
    pane.setDataSource(&source);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.shown, QVariantList({"mixed"}));
    EXPECT_LE(mostReads(), 2); // the loaded value and the shown one

    pane.setCommonValueForKeyPath(7, "grade");
    undo.setActionName("Change Grade");
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.shown, QVariantList({"mixed", 7}));
    EXPECT_LE(mostReads(), 1);

    undo.undo();
    EXPECT_EQ(pane.shown.size(), 2); // shown when the turn ends
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.shown, QVariantList({"mixed", 7, "mixed"}));
    EXPECT_LE(mostReads(), 1);
    EXPECT_EQ(undo.redoActionName(), "Change Grade");
    undo.redo();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.shown.last(), QVariant(7));

    // Changes in one turn: one display of the final state.
    gauges[0]->setGrade(3);
    gauges[0]->setGrade(7);
    gauges[4999]->setGrade(3);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.shown.mid(4), QVariantList({"mixed"}));

    // A new selection is shown from its own values; the old objects are no longer watched.
    source.selection = {gauges[4999], gauges[4998]};
    gauges[4998]->setGrade(3);
    pane.reloadContent();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.shown.last(), QVariant(3));
    const qsizetype displays = pane.shown.size();
    gauges[0]->setGrade(1);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.shown.size(), displays);
    EXPECT_EQ(pane.commonValueForKeyPath("grade"), QVariant(3));
}

// A selection of thousands of equal values: read to its end, so a display per object or a
// watch per object would show in the reads and in the objects' observers.
TEST(GenericPaneScaleTest, ALargeSelectionIsWatchedAsAWholeAndFollowsAChangeToAnyOfItsObjects)
{
    ZQUndoManager undo;
    Source source;
    source.undo = &undo;
    QList<std::shared_ptr<Gauge>> gauges;
    for (int i = 0; i < 20000; ++i) {
        gauges.append(std::make_shared<Gauge>(&undo, 4));
        source.selection.append(gauges.last());
    }
    const auto outsider = std::make_shared<Gauge>(&undo, 4);
    const auto totalReads = [&] {
        int total = 0;
        for (const auto& gauge : std::as_const(gauges))
            total += std::exchange(gauge->reads, 0);
        return total;
    };
    GaugePane pane;
    pane.setDataSource(&source);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.shown, QVariantList({4}));
    EXPECT_EQ(totalReads(), 20000); // each object once, nothing kept per object
    EXPECT_TRUE(std::none_of(gauges.cbegin(), gauges.cend(), [](const auto& gauge) { return gauge->hasObservers(); }));
    // Asked again without a change: the value is kept.
    EXPECT_EQ(pane.commonValueForKeyPath("grade"), QVariant(4));
    EXPECT_EQ(totalReads(), 0);

    for (const int changed : {0, 10000, 19999}) {
        SCOPED_TRACE(changed);
        gauges[changed]->setGrade(9);
        EXPECT_TRUE(platform::isMultipleValuesMarker(pane.commonValueForKeyPath("grade")));
        platform::RunLoop::runUntilIdle();
        EXPECT_EQ(pane.shown.last(), QVariant(QStringLiteral("mixed")));
        gauges[changed]->setGrade(4);
        platform::RunLoop::runUntilIdle();
        EXPECT_EQ(pane.shown.last(), QVariant(4));
    }
    const qsizetype displays = pane.shown.size();
    outsider->setGrade(9);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.shown.size(), displays);

    // A write, its undo and redo each show once, and the value follows them.
    totalReads();
    pane.setCommonValueForKeyPath(6, "grade");
    undo.setActionName("Change Grade");
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.shown.mid(displays), QVariantList({6}));
    undo.undo();
    platform::RunLoop::runUntilIdle();
    undo.redo();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.shown.mid(displays), QVariantList({6, 4, 6}));
    EXPECT_LE(totalReads(), 3 * 20000);
}

// Values seen through a shared style follow a change of the style and of which style an object has.
TEST_F(GenericPaneTest, PathsThroughALinkFollowTheLinkedObjectAndItsReplacement)
{
    ShapePane pane;
    pane.keyPaths.append("style.name");
    attach(pane);
    style->setName("Harbour");
    EXPECT_EQ(pane.commonValueForKeyPath("style.name"), QVariant(QStringLiteral("Harbour")));
    second->setStyle(VXStyle::styleWithFillColourStrokeColour(Qt::blue, Qt::black));
    EXPECT_TRUE(platform::isMultipleValuesMarker(pane.commonValueForKeyPath("style.name")));
    second->setStyle(style);
    EXPECT_EQ(pane.commonValueForKeyPath("style.name"), QVariant(QStringLiteral("Harbour")));
}

class StyleTab : public VLTMTabContentViewController {
    Q_OBJECT

public:
    Q_INVOKABLE void showStyleAction(QObject*) {}
};

TEST(TabContentViewControllerTest, ItemsAreEnabledByTheControllersActions)
{
    StyleTab tab;
    tab.initWithNibName("VLTMTabViewStyle");
    EXPECT_EQ(tab.nibName(), "VLTMTabViewStyle");
    platform::MenuItem known("Show", "showStyleAction");
    platform::MenuItem unknown("Hide", "hideStyleAction");
    platform::MenuItem none("Nothing");
    EXPECT_TRUE(tab.validateUserInterfaceItem(&known));
    EXPECT_FALSE(tab.validateUserInterfaceItem(&unknown));
    EXPECT_FALSE(tab.validateUserInterfaceItem(&none));
    EXPECT_FALSE(tab.validateUserInterfaceItem(nullptr));
}

} // namespace

#include "GenericObjectControllerTest.moc"
