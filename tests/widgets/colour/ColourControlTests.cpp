#include "ColourTestSupport.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ColourPanel.h"
#include "widgets/colour/WebSafeColours.h"
#include "widgets/colour/ZQColorWell.h"
#include "widgets/colour/ZQColourPickerView.h"
#include "widgets/colour/ZQColourPopUpMenuView.h"

#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using platform::ColourPanel;
using platform::RunLoop;

namespace {

struct Control {
    Control()
        : control(new ZQColourPopUpMenuView(&window))
    {
        window.setGeometry(50, 50, 200, 120);
        control->setGeometry(10, 10, 44, 24);
        control->setTarget(&recorder);
        control->setAction("takeColour");
        window.show();
    }
    ~Control()
    {
        platform::ColourWell::deactivateAll();
        ColourPanel::sharedColorPanel()->orderOut(nullptr);
        ColourPanel::sharedColorPanel()->setShowsAlpha(false);
    }

    void press(ulong timestamp, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(20, 12), control->mapToGlobal(QPointF(20, 12)),
                          Qt::LeftButton, Qt::LeftButton, modifiers);
        event.setTimestamp(timestamp);
        QCoreApplication::sendEvent(control, &event);
    }
    void release(QPointF at = QPointF(20, 12))
    {
        QMouseEvent event(QEvent::MouseButtonRelease, at, control->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(control, &event);
    }

    ColourRecorder recorder;
    QWidget window;
    QPointer<ZQColourPopUpMenuView> control;
};

} // namespace

TEST(ColourPopUpMenuView, AQuickClickTogglesTheLinkToThePanelAndShowsNoMenu)
{
    Control c;
    c.press(1000);
    RunLoop::runFor(200);
    c.release();
    EXPECT_TRUE(c.control->selected());
    EXPECT_TRUE(c.control->proxyWell()->isActive());
    RunLoop::runFor(300);
    EXPECT_EQ(activeWindowMenu(), nullptr);
    EXPECT_FALSE(c.control->isMenuPoppedUp());

    // Panel colours reach the control and its target while linked.
    ColourPanel::sharedColorPanel()->userDidPickColor(QColor(200, 10, 10));
    EXPECT_EQ(c.control->color(), QColor(200, 10, 10));
    EXPECT_EQ(c.recorder.colours, QList<QColor>{QColor(200, 10, 10)});

    // Another well taking the panel unselects the control.
    platform::ColourWell other;
    other.activate(true);
    EXPECT_FALSE(c.control->selected());

    // A release outside after a short press changes nothing; Space toggles like a click.
    c.press(5000);
    c.release(QPointF(300, 12));
    EXPECT_FALSE(c.control->selected());
    QTest::keyClick(c.control, Qt::Key_Space);
    EXPECT_TRUE(c.control->selected());
    c.control->setEnabled(false); // disabling unlinks
    EXPECT_FALSE(c.control->selected());
    c.press(6000);
    RunLoop::runFor(300);
    EXPECT_EQ(activeWindowMenu(), nullptr);
}

TEST(ColourPopUpMenuView, HoldingPopsUpTheSwatchesAndPicksByDragging)
{
    Control c;
    c.control->setColor(QColor(1, 2, 3));
    QList<QColor> seenWhileUp;
    int mode = -1;
    whenMenuIsUp([&](ZQWindowMenu* menu) {
        mode = static_cast<ZQColourPickerView*>(menu->mainView())->mode();
        EXPECT_TRUE(c.control->isHighlighted());
        sendToMenu(menu, QEvent::MouseMove, QPointF(20, 5), 1300);  // swatch (1, 0)
        sendToMenu(menu, QEvent::MouseMove, QPointF(300, 5), 1350); // off: back to the start
        sendToMenu(menu, QEvent::MouseMove, QPointF(5, 20), 1400);  // swatch (0, 1)
        sendToMenu(menu, QEvent::MouseButtonRelease, QPointF(5, 20), 1500);
    });
    c.press(1000);
    RunLoop::runFor(250);
    EXPECT_EQ(mode, int(ZQColourPickerView::SwatchMode));
    EXPECT_EQ(c.recorder.colours, (QList<QColor>{webSafeColours()[1], QColor(1, 2, 3), webSafeColours()[16]}));
    EXPECT_EQ(c.control->color(), webSafeColours()[16]);
    EXPECT_FALSE(c.control->selected()); // the menu took the release
    EXPECT_FALSE(c.control->isHighlighted());
    RunLoop::runFor(200);

    // Alt held at the press shows the wheel.
    double brightness = 0;
    whenMenuIsUp([&](ZQWindowMenu* menu) {
        auto* picker = static_cast<ZQColourPickerView*>(menu->mainView());
        mode = picker->mode();
        sendToMenu(menu, QEvent::MouseMove, QPointF(112, 112), 8500); // the wheel's centre: white
        const QPointF at = menu->mapToGlobal(QPointF(112, 112));
        // Turned with Alt still held: some window systems report the wheel sideways then.
        QWheelEvent turn(QPointF(112, 112), at, QPoint(), QPoint(120 * 15, 0), Qt::LeftButton, Qt::AltModifier,
                         Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(menu, &turn);
        brightness = picker->brightness();
        sendToMenu(menu, QEvent::MouseButtonRelease, QPointF(112, 112), 9000);
    });
    c.control->setColor(Qt::white);
    c.press(8000, Qt::AltModifier);
    RunLoop::runFor(250);
    EXPECT_EQ(mode, int(ZQColourPickerView::SpectrumMode));
    EXPECT_NEAR(brightness, 0.9, 1e-3);
    EXPECT_NEAR(c.control->color().valueF(), 0.9, 0.01);
}

TEST(ColourPopUpMenuView, OpaqueColoursOnlyWhenTransparencyIsDisallowed)
{
    Control c;
    c.control->setColor(QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.5f));
    EXPECT_NEAR(c.control->color().alphaF(), 0.5f, 1e-3);
    c.control->setDisallowsTransparency(true);
    c.control->setColor(QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.5f));
    EXPECT_EQ(c.control->color().alpha(), 255);
    EXPECT_EQ(c.control->proxyWell()->color().alpha(), 255);

    ColourPanel* panel = ColourPanel::sharedColorPanel();
    panel->setShowsAlpha(true);
    c.control->setSelected(true);
    EXPECT_FALSE(panel->showsAlpha());
    c.control->setSelected(false);
    EXPECT_TRUE(panel->showsAlpha());

    // Bad colours never reach the control or its target.
    const QColor before = c.control->color();
    c.control->setColor(QColor());
    c.control->setColor(QColor::fromRgbF(1.5f, 0.2f, 0.2f));
    EXPECT_EQ(c.control->color(), before);

    // Deleted while linked: the panel's opacity comes back.
    c.control->setSelected(true);
    EXPECT_FALSE(panel->showsAlpha());
    delete c.control;
    EXPECT_TRUE(panel->showsAlpha());
}

TEST(ColourPopUpMenuView, DeletedWhileItsMenuIsUp)
{
    Control c;
    whenMenuIsUp([&](ZQWindowMenu* menu) {
        delete c.control;
        sendToMenu(menu, QEvent::MouseMove, QPointF(20, 5), 1300);
        sendToMenu(menu, QEvent::MouseButtonRelease, QPointF(20, 5), 1500);
    });
    c.press(1000);
    RunLoop::runFor(250);
    EXPECT_FALSE(c.control);
    EXPECT_TRUE(c.recorder.colours.isEmpty());
    RunLoop::runFor(200);
}
