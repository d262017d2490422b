#include "platform/foundation/RunLoop.h"
#include "widgets/colour/ZQWindowMenu.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

// A main view that notes what reaches it, in its own coordinates.
class EventLog : public QWidget {
public:
    EventLog() { resize(120, 80); }
    QStringList seen;

protected:
    void mousePressEvent(QMouseEvent* e) override { note("down", e->position()); }
    void mouseMoveEvent(QMouseEvent* e) override { note("drag", e->position()); }
    void mouseReleaseEvent(QMouseEvent* e) override { note("up", e->position()); }
    void wheelEvent(QWheelEvent*) override { seen << "wheel"; }
    void keyPressEvent(QKeyEvent* e) override { seen << QStringLiteral("key %1").arg(e->key(), 0, 16); }

private:
    void note(const char* what, QPointF at) { seen << QStringLiteral("%1 %2,%3").arg(what).arg(at.x()).arg(at.y()); }
};

struct Menu {
    Menu()
        : log(new EventLog)
        , menu(ZQWindowMenu::windowMenuWithContentView(log))
    {
        menu->move(200, 150);
        menu->show();
    }
    ~Menu() { delete menu.data(); }

    // An event at a point of the menu, `ms` after the start.
    std::unique_ptr<QMouseEvent> mouse(QEvent::Type type, QPoint at, ulong ms) const
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        auto event = std::make_unique<QMouseEvent>(type, QPointF(at), QPointF(menu->mapToGlobal(at)), Qt::LeftButton,
                                                   type == QEvent::MouseMove ? held : held, Qt::NoModifier);
        event->setTimestamp(1000 + ms);
        return event;
    }
    void send(QEvent::Type type, QPoint at, ulong ms) const
    {
        QCoreApplication::sendEvent(menu, mouse(type, at, ms).get());
    }

    EventLog* log;
    QPointer<ZQWindowMenu> menu;
};

} // namespace

TEST(WindowMenu, FramesAreKeptOnTheAnchorsScreen)
{
    const QRect screen(0, 0, 1920, 1080);
    EXPECT_EQ(ZQWindowMenu::frameKeptOnScreen(QRect(1900, 1000, 225, 225), screen), QRect(1695, 855, 225, 225));
    EXPECT_EQ(ZQWindowMenu::frameKeptOnScreen(QRect(-30, -5, 225, 225), screen), QRect(0, 0, 225, 225));
    EXPECT_EQ(ZQWindowMenu::frameKeptOnScreen(QRect(500, 400, 225, 225), screen), QRect(500, 400, 225, 225));
    const QRect second(1920, 0, 1280, 1024); // a screen to the right of the first
    EXPECT_EQ(ZQWindowMenu::frameKeptOnScreen(QRect(1925, 900, 225, 225), second), QRect(1925, 799, 225, 225));
    // A point on no screen takes the primary one.
    EXPECT_EQ(ZQWindowMenu::screenForPoint(QPoint(-100000, -100000)), QGuiApplication::primaryScreen());
}

TEST(WindowMenu, PressDragReleaseAndClickThenClickAreToldApartByTimestamps)
{
    {
        Menu m; // held longer than 0.25 s: the release picks and closes
        const auto press = m.mouse(QEvent::MouseButtonPress, QPoint(10, 10), 0);
        m.menu->beginTrackingWithEvent(press.get());
        m.send(QEvent::MouseMove, QPoint(30, 20), 100);
        m.send(QEvent::MouseButtonRelease, QPoint(30, 20), 400);
        EXPECT_FALSE(m.menu->isTracking());
        EXPECT_EQ(m.log->seen, (QStringList{"down 10,10", "drag 30,20", "up 30,20"}));
    }
    {
        Menu m; // released at once: the menu stays open; a click inside picks and closes at its release
        const auto press = m.mouse(QEvent::MouseButtonPress, QPoint(10, 10), 0);
        m.menu->beginTrackingWithEvent(press.get());
        m.send(QEvent::MouseButtonPress, QPoint(50, 50), 50); // ignored before the first release
        m.send(QEvent::MouseButtonRelease, QPoint(10, 10), 249);
        EXPECT_TRUE(m.menu->isTracking());
        EXPECT_TRUE(m.menu->isInSecondPhase());
        m.send(QEvent::MouseButtonPress, QPoint(40, 40), 900);
        m.send(QEvent::MouseButtonRelease, QPoint(41, 40), 950);
        EXPECT_FALSE(m.menu->isTracking());
        EXPECT_EQ(m.log->seen, (QStringList{"down 10,10", "down 40,40", "up 41,40"}));
    }
    {
        Menu m; // a later click outside the main view closes without a mouse-up
        const auto press = m.mouse(QEvent::MouseButtonPress, QPoint(10, 10), 0);
        m.menu->beginTrackingWithEvent(press.get());
        m.send(QEvent::MouseButtonRelease, QPoint(10, 10), 100);
        m.send(QEvent::MouseButtonPress, QPoint(500, -40), 900);
        EXPECT_FALSE(m.menu->isTracking());
        EXPECT_EQ(m.log->seen, QStringList{"down 10,10"});
    }
}

TEST(WindowMenu, DeactivationKeysAndHidingEndTracking)
{
    {
        Menu m;
        const auto press = m.mouse(QEvent::MouseButtonPress, QPoint(10, 10), 0);
        m.menu->beginTrackingWithEvent(press.get());
        QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
        QCoreApplication::sendEvent(qApp, &inactive);
        EXPECT_FALSE(m.menu->isTracking());
    }
    {
        Menu m; // opened from the keyboard: the second phase at once; Return closes after the view saw it
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
        m.menu->beginTrackingWithEvent(&space);
        EXPECT_TRUE(m.menu->isInSecondPhase());
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(m.log, &down); // a key at the focused view goes through the menu
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(m.menu, &enter);
        EXPECT_FALSE(m.menu->isTracking());
        EXPECT_EQ(m.log->seen, (QStringList{"key 1000015", "key 1000004"}));
    }
    {
        Menu m;
        const auto press = m.mouse(QEvent::MouseButtonPress, QPoint(10, 10), 0);
        m.menu->beginTrackingWithEvent(press.get());
        m.menu->hide();
        EXPECT_FALSE(m.menu->isTracking());
    }
}

TEST(WindowMenu, PopUpReturnsWhenClosedThenFadesAndDeletesItself)
{
    QWidget window;
    window.setGeometry(100, 100, 300, 200);
    window.show();
    platform::RunLoop::runUntilIdle(); // nothing left over from earlier windows reaches the menu
    auto* log = new EventLog;
    QPointer<ZQWindowMenu> menu = ZQWindowMenu::windowMenuWithContentView(log);
    const auto at = [&](QPoint local, ulong ms, QEvent::Type type) {
        const QPoint global = window.mapToGlobal(QPoint(20, 30)) + local;
        auto* event = new QMouseEvent(type, QPointF(local), QPointF(global), Qt::LeftButton,
                                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                                      Qt::NoModifier);
        event->setTimestamp(ms);
        return event;
    };
    std::unique_ptr<QMouseEvent> press(at(QPoint(5, 5), 1000, QEvent::MouseButtonPress));
    QCoreApplication::postEvent(menu, at(QPoint(5, 5), 1100, QEvent::MouseButtonRelease));
    QCoreApplication::postEvent(menu, at(QPoint(60, 40), 1800, QEvent::MouseButtonPress));
    QCoreApplication::postEvent(menu, at(QPoint(60, 40), 1850, QEvent::MouseButtonRelease));
    ZQWindowMenu::popUpWindowMenuAtPointWithEventForView(menu, QPoint(20, 30), press.get(), &window);

    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->pos(), window.mapToGlobal(QPoint(20, 30)));
    EXPECT_FALSE(menu->isTracking());
    EXPECT_EQ(log->seen, (QStringList{"down 5,5", "down 60,40", "up 60,40"}));
    EXPECT_NEAR(menu->windowOpacity(), ZQWindowMenu::kOpacity, 0.005);
    platform::RunLoop::runFor(70);
    ASSERT_TRUE(menu);
    EXPECT_NEAR(menu->windowOpacity(), 1.0 - 0.066 / 0.15, 0.02);
    platform::RunLoop::runFor(200);
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(menu);
}

TEST(WindowMenu, AMenuPoppedUpNearAScreenEdgeLandsWhollyOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QWidget window;
    window.setGeometry(screen.right() - 120, screen.bottom() - 90, 100, 80);
    window.show();
    auto* log = new EventLog;
    log->resize(225, 225);
    QPointer<ZQWindowMenu> menu = ZQWindowMenu::windowMenuWithContentView(log);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier); // opens in the second phase
    QCoreApplication::postEvent(menu, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    ZQWindowMenu::popUpWindowMenuAtPointWithEventForView(menu, QPoint(50, 70), &key, &window);
    ASSERT_TRUE(menu);
    EXPECT_TRUE(screen.contains(menu->geometry())) << menu->geometry().x() << "," << menu->geometry().y();
    EXPECT_EQ(menu->geometry().bottomRight(), screen.bottomRight());
    EXPECT_EQ(log->seen, QStringList{"key 1000000"}); // the view saw Escape before the menu closed
    delete menu.data();
}
