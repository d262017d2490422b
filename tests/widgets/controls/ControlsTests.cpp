#include "../ActionRecorder.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Toolbar.h"
#include "widgets/controls/ScrollwheelControls.h"
#include "widgets/controls/ZQSegmentedControl.h"
#include "widgets/controls/ZQToolbarItem.h"

#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

QWheelEvent wheel(double notches)
{
    return QWheelEvent(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, int(notches * 120)), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
}

template <typename Control>
void scroll(Control& control, double notches)
{
    QWheelEvent event = wheel(notches);
    control.scrollWheel(&event);
}

} // namespace

TEST(ScrollwheelControls, OneNotchMovesOnePercentAndWrapsOnlyWhenCircular)
{
    EXPECT_EQ(scrollwheelSteppedValue(0.0, 0.0, 1.0, 1.0, false), double(0.01f)) << "single precision";
    EXPECT_EQ(scrollwheelSteppedValue(0.5, 0.0, 1.0, -0.5, false), double(0.5f - 0.005f));

    ActionRecorder target;
    ZQScrollwheelCircularSlider dial;
    dial.setRange(0, 360);
    dial.setTarget(&target);
    dial.setAction("changeAction");
    dial.setValue(358);
    scroll(dial, 5);
    EXPECT_EQ(dial.value(), 18);
    dial.setValue(2);
    scroll(dial, -5);
    EXPECT_EQ(dial.value(), 342);
    EXPECT_EQ(target.actions, 2);
    EXPECT_EQ(target.lastSender, &dial);

    ZQScrollwheelSlider slider;
    slider.setRange(0, 360);
    slider.setValue(358);
    scroll(slider, 5);
    EXPECT_EQ(slider.value(), 360) << "a linear slider stops at its end";
    slider.setValue(2);
    scroll(slider, -5);
    EXPECT_EQ(slider.value(), 0);

    // Steps below one unit add up on a whole-number slider; a value set meanwhile restarts them.
    ZQScrollwheelCircularSlider small;
    small.setRange(0, 10);
    for (int notch = 0; notch < 4; ++notch)
        scroll(small, 1);
    EXPECT_EQ(small.value(), 0);
    scroll(small, 1);
    EXPECT_EQ(small.value(), 1) << "0.5 shows as 1";
    for (int notch = 0; notch < 10; ++notch)
        scroll(small, 1);
    EXPECT_EQ(small.value(), 2);
    small.setValue(7);
    scroll(small, -1);
    EXPECT_EQ(small.value(), 7) << "6.9";

    ZQScrollwheelStepper stepper;
    stepper.setRange(-1.0, 1.0);
    stepper.setDecimals(4);
    stepper.setValue(0.99);
    scroll(stepper, 1);
    EXPECT_DOUBLE_EQ(stepper.value(), 1.0);
    stepper.setWrapping(true);
    scroll(stepper, 1);
    EXPECT_NEAR(stepper.value(), -0.98, 1e-6) << "min + |step|";

    // A disabled control ignores the wheel and sends nothing.
    dial.setEnabled(false);
    dial.setValue(100);
    QWheelEvent event = wheel(3);
    dial.scrollWheel(&event);
    EXPECT_EQ(dial.value(), 100);
    EXPECT_FALSE(event.isAccepted());
    EXPECT_EQ(target.actions, 2);
}

TEST(ScrollwheelControls, KeyboardChangesSendTheActionWithTheNewValue)
{
    ActionRecorder target;
    ZQScrollwheelSlider slider;
    slider.setRange(0, 10);
    slider.setTarget(&target);
    slider.setAction("changeAction");
    int valueSeen = -1;
    QObject::connect(&slider, &QSlider::valueChanged, [&](int v) { valueSeen = v; });
    QTest::keyClick(&slider, Qt::Key_Right);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(slider.value(), 1);
    EXPECT_EQ(valueSeen, 1);
    EXPECT_EQ(target.actions, 1);

    ZQScrollwheelStepper stepper;
    stepper.setTarget(&target);
    stepper.setAction("changeAction");
    QTest::keyClick(&stepper, Qt::Key_Up);
    EXPECT_EQ(stepper.value(), 1.0);
    EXPECT_EQ(target.actions, 2);
}

TEST(SegmentedControl, SegmentsShareTheWidthAndTitleIsTheSelectedLabel)
{
    ZQSegmentedControl control;
    control.setSegmentCount(3);
    for (int i = 0; i < 3; ++i)
        control.setLabelForSegment(QStringLiteral("S%1").arg(i), i);
    control.resize(301, 24);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(control.widthForSegment(i), 99.0);
    control.resize(10, 24);
    EXPECT_EQ(control.widthForSegment(0), 2.0);

    EXPECT_EQ(control.title(), QString());
    ActionRecorder target;
    control.setTarget(&target);
    control.setAction("changeAction");
    control.resize(301, 24);
    control.show();
    QTest::mouseClick(control.childAt(150, 12), Qt::LeftButton);
    EXPECT_EQ(control.selectedSegment(), 1);
    EXPECT_EQ(control.title(), QStringLiteral("S1"));
    EXPECT_EQ(target.actions, 1);

    control.setSegmentCount(1);
    EXPECT_EQ(control.segmentCount(), 1);
    EXPECT_EQ(control.widthForSegment(0), 299.0);
}

TEST(ToolbarItem, ControlFollowsItsTargetsValidationInTheToolbarPass)
{
    platform::Toolbar toolbar;
    ActionRecorder target;
    auto* control = new ZQScrollwheelStepper;
    control->setTarget(&target);
    auto* item = new ZQToolbarItem(&toolbar);
    item->setDefaultWidget(control);
    item->setIconText(QStringLiteral("Size"));
    toolbar.addAction(item);

    target.enables = false;
    toolbar.validateVisibleItems();
    EXPECT_FALSE(control->isEnabled());
    EXPECT_EQ(target.validatedItem, control);
    target.enables = true;
    toolbar.validateVisibleItems();
    EXPECT_TRUE(control->isEnabled());
    EXPECT_EQ(toolbarItemTitle(*item), QStringLiteral("Size"));

    // A control whose target does not validate (or that has none) keeps its state.
    QObject bystander;
    control->setTarget(&bystander);
    control->setEnabled(false);
    toolbar.validateVisibleItems();
    EXPECT_FALSE(control->isEnabled());
    auto* plainItem = new ZQToolbarItem(&toolbar);
    auto* button = new QPushButton;
    button->setEnabled(false);
    plainItem->setDefaultWidget(button);
    toolbar.addAction(plainItem);
    toolbar.validateVisibleItems();
    EXPECT_FALSE(button->isEnabled());
}
