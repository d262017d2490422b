#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/inspector/VXInspectableController.h"
#include "platform/vantrix/inspector/VXInspectableObject.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QCheckBox>
#include <gtest/gtest.h>

namespace {

// A general tab: shows the name and visibility of drawables and the lock.
class GeneralTab : public VXInspectableController {
    Q_OBJECT

public:
    QVariant name, visible;
    int mixedVisible = 0;
    int assigned = 0;
    int nilStates = 0;
    QList<bool> lockStates;

    Q_INVOKABLE void setName(const QString& value) { name = value; }
    Q_INVOKABLE void setVisible(bool value) { visible = value; }
    Q_INVOKABLE void setMixedValueForVisible() { ++mixedVisible; }

protected:
    void newObjectWasAssigned() override { ++assigned; }
    void setControlStateForNil() override { ++nilStates; }
    void setControlStateForLock(bool locked) override { lockStates.append(locked); }
};

// Something inspectable that is not a drawable.
class Master : public ZQObject, public VXInspectableObject {
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)

public:
    QString name() const { return m_name; }
    void setName(const QString& name)
    {
        announceChangeForKey(QStringLiteral("name"), [&] { m_name = name; });
    }
    QStringList inspectableKeyPaths() const override { return {"name"}; }

private:
    QString m_name = "Church";
};

// The same tab showing the name of the drawables' style instead of their own.
class StyleNameTab : public GeneralTab {
public:
    QStringList observableKeyPaths() const override { return {"style.name", "visible"}; }
};

class Bracket : public platform::ValueTransformer {
public:
    QVariant transformedValue(const QVariant& v) const override { return QString("[" + v.toString() + "]"); }
    bool allowsReverseTransformation() const override { return true; }
    QVariant reverseTransformedValue(const QVariant& v) const override { return v.toString().mid(1).chopped(1); }
};

class InspectableControllerTest : public ::testing::Test {
protected:
    VXDrawableShapePtr first = VXDrawableShape::drawableShapeWithRect({0, 0, 10, 10}, nullptr);
    VXDrawableShapePtr second = VXDrawableShape::drawableShapeWithRect({0, 0, 20, 20}, nullptr);
    GeneralTab tab;
    QCheckBox lock;

    void SetUp() override
    {
        first->setName("Mill");
        second->setName("Mill");
        tab.setLockCheckbox(&lock);
    }
};

TEST_F(InspectableControllerTest, ContentShowsCommonValuesThroughTransformersAndFollowsChanges)
{
    tab.setContent({first, second});
    EXPECT_EQ(tab.assigned, 1);
    EXPECT_EQ(tab.name, QVariant(QStringLiteral("Mill")));
    EXPECT_EQ(tab.visible, QVariant(true));
    EXPECT_EQ(lock.checkState(), Qt::Unchecked);

    second->setVisible(false);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(tab.mixedVisible, 1);
    first->setName("Forge");
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(tab.name, QVariant(QStringLiteral("<multiple values>")));
    second->setLocked(true);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(lock.checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(tab.lockStates.last(), true);

    tab.setContent({first, second}); // the same: nothing happens
    EXPECT_EQ(tab.assigned, 1);
    tab.setContent({});
    EXPECT_EQ(tab.nilStates, 1);
    first->setName("Kiln"); // no longer observed
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(tab.name, QVariant(QStringLiteral("<multiple values>")));
    EXPECT_TRUE(tab.commonValueForKeyPath("name").isNull());

    // A transformer stands between the values and what the tab shows, both ways.
    tab.setTransformerForKeyPath(std::make_shared<Bracket>(), "name");
    tab.setContent({first});
    EXPECT_EQ(tab.name, QVariant(QStringLiteral("[Kiln]")));
    tab.setCommonValueForKeyPath(QStringLiteral("[Ford]"), "name");
    EXPECT_EQ(first->name(), "Ford");
    EXPECT_EQ(tab.name, QVariant(QStringLiteral("[Ford]")));
}

TEST_F(InspectableControllerTest, WritesHonourTheLockUnlessTheLockIsWritten)
{
    tab.setContent({first, second});
    second->setLocked(true);
    platform::RunLoop::runUntilIdle();
    tab.setCommonValueForKeyPath(false, "visible");
    EXPECT_FALSE(first->visible());
    EXPECT_TRUE(second->visible());
    tab.setCommonValueForKeyPathHonouringLockState(false, "visible", false);
    EXPECT_FALSE(second->visible());
    tab.setCommonValueForKeyPath(QVariant(), "name");
    tab.setCommonValueForKeyPath(platform::multipleValuesMarker(), "name");
    EXPECT_EQ(first->name(), "Mill");

    // A mixed lock box turns on and locks everything.
    ASSERT_EQ(lock.checkState(), Qt::PartiallyChecked);
    tab.lockedAction(&lock);
    EXPECT_EQ(lock.checkState(), Qt::Checked);
    EXPECT_TRUE(first->locked());
    lock.setCheckState(Qt::Unchecked);
    tab.lockedAction(&lock);
    EXPECT_FALSE(first->locked());
    EXPECT_FALSE(second->locked());
    EXPECT_EQ(tab.lockStates.last(), false);
}

TEST_F(InspectableControllerTest, InspectableMustConformAndIsObservedWhileSet)
{
    auto master = std::make_shared<Master>();
    tab.setInspectable(master);
    EXPECT_NO_THROW(tab.setInspectable(first)); // logged: a pane shows nothing rather than throw
    EXPECT_FALSE(tab.inspectable());
    tab.setInspectable(master);
    EXPECT_EQ(tab.observableKeyPaths(), QStringList({"name"}));
    EXPECT_EQ(tab.name, QVariant(QStringLiteral("Church")));
    master->setName("Chapel");
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(tab.name, QVariant(QStringLiteral("Chapel")));
    tab.setInspectable(nullptr);
    master->setName("Abbey"); // no longer observed
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(tab.name, QVariant(QStringLiteral("Chapel")));
}

TEST_F(InspectableControllerTest, LockingThousandsShowsTheLockOncePerTurn)
{
    QList<ZQObjectPtr> shapes;
    for (int i = 0; i < 5000; ++i)
        shapes.append(VXDrawableShape::drawableShapeWithRect({0, 0, 10, 10}, nullptr));
    tab.setContent(shapes);
    tab.lockStates.clear();
    lock.setCheckState(Qt::Checked);
    tab.lockedAction(&lock);
    platform::RunLoop::runUntilIdle();
    // Each display reads every object: one per write, not one per object written.
    EXPECT_EQ(tab.lockStates, QList<bool>({true}));

    shapes[2500]->setValueForKey(false, "locked");
    shapes[2501]->setValueForKey(false, "locked");
    EXPECT_EQ(lock.checkState(), Qt::Checked); // shown when the turn ends
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(lock.checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(tab.lockStates, QList<bool>({true, true}));
}

TEST_F(InspectableControllerTest, PathsThroughASharedStyleFollowItAndLetGoOfIt)
{
    const VXStylePtr field = VXStyle::styleWithFillColourStrokeColourStrokeWidth(Qt::green, Qt::black, 1);
    const VXStylePtr heath = VXStyle::styleWithFillColourStrokeColourStrokeWidth(Qt::darkGreen, Qt::black, 1);
    field->setName("Field");
    heath->setName("Heath");
    const bool fieldWatchedBefore = field->hasObservers();
    QList<ZQObjectPtr> shapes;
    for (int i = 0; i < 1000; ++i)
        shapes.append(VXDrawableShape::drawableShapeWithRect({0, 0, 10, 10}, field));
    StyleNameTab styleTab;
    styleTab.setContent(shapes);
    EXPECT_EQ(styleTab.name, QVariant(QStringLiteral("Field")));

    field->setName("Meadow");
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(styleTab.name, QVariant(QStringLiteral("Meadow")));
    // A new style on one object: its name is followed from then on, the old one's no longer.
    static_cast<VXDrawableShape*>(shapes[7].get())->setStyle(heath);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(styleTab.name, QVariant(QStringLiteral("<multiple values>")));
    static_cast<VXDrawableShape*>(shapes[7].get())->setStyle(field);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(styleTab.name, QVariant(QStringLiteral("Meadow")));
    heath->setName("Moor");
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(styleTab.name, QVariant(QStringLiteral("Meadow")));

    styleTab.setContent({});
    EXPECT_EQ(field->hasObservers(), fieldWatchedBefore);
    EXPECT_FALSE(shapes.first()->hasObservers());
    EXPECT_FALSE(shapes.last()->hasObservers());
}

} // namespace

#include "InspectableControllerTest.moc"
