#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <stdexcept>
#include <utility>

using platform::RunLoop;

namespace {

struct Shape : QObject {
    explicit Shape(QString n) : name(std::move(n)) {}
    QString name;
};
using ShapePtr = std::shared_ptr<Shape>;

// A small document: a value and a list of shapes, every edit registering its inverse.
class Sketch : public QObject {
public:
    explicit Sketch(ZQUndoManager& undo) : m_undo(undo) {}

    int value = 0;
    std::vector<ShapePtr> shapes;

    void setValue(int newValue)
    {
        m_undo.registerUndoWithTargetHandler(this, [this, old = value] { setValue(old); });
        value = newValue;
        nameAction("Change Value");
    }
    void insertShape(ShapePtr shape, int index)
    {
        m_undo.registerUndoWithTargetHandler(this, [this, index] { removeShape(index); });
        shapes.insert(shapes.begin() + index, std::move(shape));
        nameAction("Add Shape");
    }
    void removeShape(int index)
    {
        // The closure keeps the removed shape alive.
        m_undo.registerUndoWithTargetHandler(this, [this, shape = shapes[index], index] { insertShape(shape, index); });
        shapes.erase(shapes.begin() + index);
        nameAction("Delete Shape");
    }
    void renameShape(const ShapePtr& shape, const QString& name)
    {
        m_undo.registerUndoWithTargetHandler(shape.get(), [this, shape, old = shape->name] { renameShape(shape, old); });
        shape->name = name;
        nameAction("Rename");
    }
    QStringList names() const
    {
        QStringList result;
        for (const auto& shape : shapes)
            result << shape->name;
        return result;
    }

private:
    void nameAction(const QString& name)
    {
        if (!m_undo.isUndoing() && !m_undo.isRedoing())
            m_undo.setActionName(name);
    }
    ZQUndoManager& m_undo;
};

QStringList actionNames(const QList<ZQUndoManager::Group>& stack)
{
    QStringList names;
    for (const auto& group : stack)
        names << group->actionName();
    return names;
}

class UndoManagerTest : public ::testing::Test {
protected:
    void SetUp() override { RunLoop::runUntilIdle(); }

    // The sketch and both stacks at once: "value | shapes | undo action names | redo action names".
    QString state() const
    {
        return QStringLiteral("%1 | %2 | %3 | %4")
            .arg(sketch.value)
            .arg(sketch.names().join(','), actionNames(undo.undoStack()).join(','), actionNames(undo.redoStack()).join(','));
    }

    ZQUndoManager undo;
    Sketch sketch{undo};
};

} // namespace

TEST_F(UndoManagerTest, EventGroupsCarryNamesAndUndoRedoRestoreExactly)
{
    QObject observer;
    int closed = 0;
    platform::NotificationCenter::defaultCenter().addObserver(&observer, ZQUndoManagerDidCloseTopLevelGroup, &undo,
                                                              [&](const platform::Notification&) { ++closed; });
    sketch.insertShape(std::make_shared<Shape>("road"), 0);
    sketch.insertShape(std::make_shared<Shape>("river"), 1);
    sketch.setValue(5);
    undo.setActionName("Draw");
    EXPECT_EQ(undo.groupingLevel(), 1);
    EXPECT_EQ(undo.undoMenuItemTitle(), "Undo Draw");
    EXPECT_EQ(state(), "5 | road,river |  | ");
    RunLoop::runUntilIdle();
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_EQ(closed, 1);

    // The next turn's group is still open: undo closes it first.
    sketch.removeShape(0);
    sketch.setValue(8);
    EXPECT_EQ(undo.undoActionName(), "Change Value");
    undo.undo();
    EXPECT_EQ(state(), "5 | road,river | Draw | Change Value");
    EXPECT_EQ(undo.redoMenuItemTitle(), "Redo Change Value");
    undo.undo();
    EXPECT_EQ(state(), "0 |  |  | Change Value,Draw");
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(undo.undoMenuItemTitle(), "Undo");
    undo.redo();
    undo.redo();
    EXPECT_EQ(state(), "8 | river | Draw,Change Value | ");
    EXPECT_EQ(undo.peekUndo(), undo.undoStack().last());
    EXPECT_FALSE(undo.canRedo());
    EXPECT_EQ(closed, 6); // two edits, two undos, two redos
}

TEST_F(UndoManagerTest, RegistrationsDuringUndoAndRedoLandOnTheOppositeStack)
{
    sketch.setValue(1);
    RunLoop::runUntilIdle();
    sketch.setValue(2);
    RunLoop::runUntilIdle();
    bool sawUndoing = false;
    undo.registerUndoWithTargetHandler(nullptr, [&] {
        sawUndoing = undo.isUndoing();
        undo.registerUndoWithTargetHandler(nullptr, [] {});
        undo.setActionName("Put Back");
    });
    undo.setActionName("Take");
    undo.closeAutomaticGroup();
    undo.undo();
    EXPECT_TRUE(sawUndoing);
    EXPECT_FALSE(undo.isUndoing());
    undo.undo();
    undo.undo();
    EXPECT_EQ(state(), "0 |  |  | Put Back,Change Value,Change Value");
    // Redoing refills the undo stack and leaves the rest of the redo stack alone.
    undo.redo();
    EXPECT_EQ(state(), "1 |  | Change Value | Put Back,Change Value");
    // A new edit forgets what could be redone, at once.
    sketch.setValue(7);
    EXPECT_FALSE(undo.canRedo());
}

TEST_F(UndoManagerTest, DisabledRegistrationNestsAndLevelsOfUndoDropTheOldestGroups)
{
    undo.disableUndoRegistration();
    undo.disableUndoRegistration();
    sketch.setValue(1);
    undo.enableUndoRegistration();
    sketch.setValue(2);
    EXPECT_FALSE(undo.isUndoRegistrationEnabled());
    undo.enableUndoRegistration();
    sketch.setValue(3);
    RunLoop::runUntilIdle();
    EXPECT_EQ(state(), "3 |  | Change Value | ");
    undo.undo();
    EXPECT_EQ(sketch.value, 2);
    EXPECT_THROW(undo.enableUndoRegistration(), platform::AssertionFailure);
    undo.disableUndoRegistration();
    undo.removeAllActions();
    EXPECT_TRUE(undo.isUndoRegistrationEnabled());
    EXPECT_FALSE(undo.canRedo());

    undo.setLevelsOfUndo(3);
    for (int value = 1; value <= 5; ++value) {
        sketch.setValue(value);
        undo.setActionName(QString::number(value));
        undo.closeAutomaticGroup();
    }
    EXPECT_EQ(state(), "5 |  | 3,4,5 | ");
    for (int i = 0; i < 4; ++i)
        undo.undo();
    EXPECT_EQ(state(), "2 |  |  | 5,4,3");
    undo.setLevelsOfUndo(2);
    EXPECT_EQ(state(), "2 |  |  | 4,3");
    undo.redo();
    undo.redo();
    EXPECT_EQ(state(), "4 |  | 3,4 | ");
}

TEST_F(UndoManagerTest, ExplicitGroupsNestOutliveTheEventAndStepBackInside)
{
    undo.beginUndoGrouping();
    sketch.setValue(1);
    undo.beginUndoGrouping();
    EXPECT_EQ(undo.groupingLevel(), 2);
    sketch.setValue(2);
    sketch.insertShape(std::make_shared<Shape>("mark"), 0);
    undo.endUndoGrouping();
    RunLoop::runUntilIdle(); // a gesture spans several events
    EXPECT_EQ(undo.groupingLevel(), 1);
    undo.setActionName("Drag");
    undo.endUndoGrouping();
    EXPECT_EQ(actionNames(undo.undoStack()), QStringList{"Drag"});
    EXPECT_THROW(undo.endUndoGrouping(), platform::AssertionFailure);
    undo.undo();
    EXPECT_EQ(sketch.value, 0);
    EXPECT_TRUE(sketch.shapes.empty());

    // An explicit group is its owner's to end: undo and redo wait for it, and forgetting every
    // action empties it but leaves it open.
    undo.beginUndoGrouping();
    EXPECT_FALSE(undo.canRedo());
    EXPECT_THROW(undo.redo(), platform::AssertionFailure);
    sketch.setValue(3);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_THROW(undo.undo(), platform::AssertionFailure);
    undo.removeAllActions();
    EXPECT_EQ(undo.groupingLevel(), 1);
    sketch.setValue(4);
    undo.endUndoGrouping();
    undo.undo();
    EXPECT_EQ(sketch.value, 3);

    // Inside the event's group, an explicit group holds the event open until it ends.
    sketch.setValue(5);
    undo.beginUndoGrouping();
    sketch.setValue(6);
    EXPECT_THROW(undo.undo(), platform::AssertionFailure);
    RunLoop::runUntilIdle();
    EXPECT_EQ(undo.groupingLevel(), 2);
    undo.endUndoGrouping();
    RunLoop::runUntilIdle();
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_EQ(undo.numberOfUndoActions(), 1);

    // undoNestedGroup steps back inside an open group, but not over registrations made since.
    undo.removeAllActions();
    undo.beginUndoGrouping();
    undo.beginUndoGrouping();
    sketch.setValue(10);
    undo.endUndoGrouping();
    undo.beginUndoGrouping();
    sketch.setValue(11);
    undo.endUndoGrouping();
    undo.undoNestedGroup();
    EXPECT_EQ(sketch.value, 10);
    EXPECT_EQ(undo.groupingLevel(), 1);
    EXPECT_EQ(undo.numberOfRedoActions(), 1);
    sketch.setValue(12);
    EXPECT_THROW(undo.undoNestedGroup(), platform::AssertionFailure);
    undo.endUndoGrouping();
    undo.undo();
    EXPECT_EQ(sketch.value, 6);

    undo.setGroupsByEvent(false);
    EXPECT_THROW(sketch.setValue(9), platform::AssertionFailure);
}

TEST_F(UndoManagerTest, RemovingATargetsActionsEmptiesBothStacks)
{
    const auto a = std::make_shared<Shape>("a");
    const auto b = std::make_shared<Shape>("b");
    for (const auto& [shapes, name] : {std::pair{QList<ShapePtr>{a}, "a1"}, std::pair{QList<ShapePtr>{a, b}, "2"},
                                       std::pair{QList<ShapePtr>{b}, "b3"}, std::pair{QList<ShapePtr>{a}, "a4"}}) {
        for (const auto& shape : shapes)
            sketch.renameShape(shape, name);
        undo.setActionName(name);
        undo.closeAutomaticGroup();
    }
    undo.undo();
    undo.removeAllActionsWithTarget(a.get());
    EXPECT_EQ(state(), "0 |  | 2,b3 | ");
    undo.undo();
    undo.undo();
    EXPECT_EQ(std::pair(a->name, b->name), std::pair(QString("2"), QString("b")));
    EXPECT_FALSE(undo.canUndo());

    // A removed shape lives exactly as long as an undo can bring it back.
    sketch.insertShape(std::make_shared<Shape>("lake"), 0);
    undo.closeAutomaticGroup();
    const std::weak_ptr<Shape> lake = sketch.shapes[0];
    sketch.removeShape(0);
    undo.closeAutomaticGroup();
    EXPECT_FALSE(lake.expired());
    undo.undo();
    ASSERT_EQ(sketch.shapes.size(), 1u);
    EXPECT_EQ(sketch.shapes[0], lake.lock());
    undo.redo();
    EXPECT_TRUE(sketch.shapes.empty());
    undo.removeAllActions();
    EXPECT_TRUE(lake.expired());
}

TEST_F(UndoManagerTest, DeadTargetsAreSkippedAndFailingActionsLeaveConsistentStacks)
{
    bool ran = false;
    auto doomed = std::make_unique<QObject>();
    undo.registerUndoWithTargetHandler(doomed.get(), [&] { ran = true; });
    undo.closeAutomaticGroup();
    doomed.reset();
    undo.undo();
    EXPECT_FALSE(ran);

    sketch.setValue(1);
    undo.registerUndoWithTargetHandler(nullptr, [] { throw std::runtime_error("cannot restore"); });
    sketch.setValue(2);
    undo.closeAutomaticGroup();
    EXPECT_THROW(undo.undo(), std::runtime_error);
    // The actions after the failing one ran; the group is consumed; their inverse can be redone.
    EXPECT_EQ(sketch.value, 1);
    EXPECT_FALSE(undo.isUndoing());
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_EQ(undo.numberOfUndoActions(), 0);
    undo.redo();
    EXPECT_EQ(sketch.value, 2);
}

namespace {

// Records what the manager posts, in order: "close", "close inverse", "undo", "redo".
class UndoNotificationLog {
public:
    explicit UndoNotificationLog(ZQUndoManager& undo)
    {
        auto& center = platform::NotificationCenter::defaultCenter();
        center.addObserver(&m_observer, {}, nullptr, [this, &undo](const platform::Notification& n) {
            if (n.name == ZQUndoManagerDidCloseTopLevelGroup)
                entries << (n.userInfo.value(ZQUndoManagerGroupIsInverse).toBool() ? "close inverse" : "close");
            else if (n.name == ZQUndoManagerDidUndoChangeNotification)
                entries << "undo";
            else if (n.name == ZQUndoManagerDidRedoChangeNotification)
                entries << "redo";
            else
                return;
            if (n.sender != &undo)
                entries << "wrong sender";
        });
    }
    QStringList take() { return std::exchange(entries, {}); }

    QStringList entries;

private:
    QObject m_observer;
};

} // namespace

TEST_F(UndoManagerTest, UndoAndRedoAreAnnouncedOnceEachAfterTheirInverse)
{
    UndoNotificationLog log(undo);
    sketch.setValue(1);
    sketch.setValue(2);
    RunLoop::runUntilIdle();
    sketch.setValue(3);
    // The open group closes as a change before the undo starts.
    undo.undo();
    EXPECT_EQ(log.take(), (QStringList{"close", "close", "close inverse", "undo"}));

    undo.undo();
    undo.redo();
    undo.redo();
    EXPECT_EQ(log.take(), (QStringList{"close inverse", "undo", "close inverse", "redo", "close inverse", "redo"}));
    EXPECT_EQ(sketch.value, 3);

    // Nothing to redo: nothing announced. An action registering nothing still counts as undone.
    undo.redo();
    undo.registerUndoWithTargetHandler(nullptr, [] {});
    undo.closeAutomaticGroup();
    undo.undo();
    EXPECT_EQ(log.take(), (QStringList{"close", "undo"}));
    EXPECT_EQ(undo.numberOfRedoActions(), 0);

    // undoNestedGroup with nothing open is a plain undo; inside an open group it is not announced.
    undo.undoNestedGroup();
    EXPECT_EQ(log.take(), (QStringList{"close inverse", "undo"}));
    undo.beginUndoGrouping();
    undo.beginUndoGrouping();
    sketch.setValue(9);
    undo.endUndoGrouping();
    undo.undoNestedGroup();
    EXPECT_EQ(sketch.value, 2);
    EXPECT_EQ(log.take(), QStringList{"close inverse"});
    undo.endUndoGrouping();
}

TEST_F(UndoManagerTest, AFailingUndoOrRedoIsStillAnnouncedOnceTheStacksAreConsistent)
{
    UndoNotificationLog log(undo);
    int undoStackWhenAnnounced = -1;
    QObject observer;
    platform::NotificationCenter::defaultCenter().addObserver(
        &observer, ZQUndoManagerDidUndoChangeNotification, &undo, [&](const platform::Notification&) {
            EXPECT_FALSE(undo.isUndoing());
            undoStackWhenAnnounced = undo.numberOfUndoActions();
        });
    sketch.setValue(1);
    undo.closeAutomaticGroup();
    sketch.setValue(2);
    undo.registerUndoWithTargetHandler(nullptr, [] { throw std::runtime_error("cannot restore"); });
    undo.closeAutomaticGroup();
    log.take();

    EXPECT_THROW(undo.undo(), std::runtime_error);
    EXPECT_EQ(log.take(), QStringList{"undo"}); // the throw came first: no inverse
    EXPECT_EQ(undoStackWhenAnnounced, 1);

    undo.registerUndoWithTargetHandler(nullptr, [&] {
        undo.registerUndoWithTargetHandler(nullptr, [] { throw std::runtime_error("cannot redo"); });
    });
    undo.closeAutomaticGroup();
    undo.undo();
    log.take();
    EXPECT_THROW(undo.redo(), std::runtime_error);
    EXPECT_EQ(log.take(), QStringList{"redo"});
    EXPECT_EQ(undo.numberOfRedoActions(), 0);
}
