#include "../../support/SettingScope.h"
#include "../ActionRecorder.h"
#include "widgets/fields/SliderAndStepper.h"
#include "widgets/fields/ZQAugmentationSliderController.h"
#include "widgets/fields/ZQAugmentedTextField.h"
#include "widgets/formatters/ZQNumberFormatter.h"
#include "widgets/formatters/ZQPercentFormatter.h"

#include <QFocusEvent>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using platform::NumberFormatter;
using testsupport::SettingScope;

namespace {

auto popoversEnabled(bool enabled)
{
    return std::make_unique<SettingScope<bool (*)(), void (*)(bool)>>(
        &ZQAugmentedTextField::augmentedTextFieldPopoversEnabled,
        &ZQAugmentedTextField::setAugmentedTextFieldPopoversEnabled, enabled);
}

void scroll(ZQAugmentedTextField& field, double notches)
{
    QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, int(notches * 120)), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&field, &event);
}

std::shared_ptr<NumberFormatter> formatter(std::optional<double> minimum, std::optional<double> maximum)
{
    auto made = std::make_shared<NumberFormatter>();
    made->setMaximumFractionDigits(3);
    made->setMinimum(minimum);
    made->setMaximum(maximum);
    return made;
}

} // namespace

TEST(AugmentedTextField, SliderLimitsComeFromTheFormatter)
{
    ZQAugmentedTextField percent;
    percent.makePopover(ZQAugmentedTextField::kStepperOption);
    percent.setFormatter(std::make_shared<ZQPercentFormatter>());
    percent.awakeFromInterface();
    EXPECT_EQ(percent.sliderMinimumValue(), 0.0);
    EXPECT_EQ(percent.sliderMaximumValue(), 1.0);
    ASSERT_NE(percent.sliderController()->stepperControl(), nullptr);
    EXPECT_EQ(percent.sliderController()->stepperControl()->increment(), 0.01);
    EXPECT_EQ(percent.sliderController()->view()->size(), QSize(130, 23));
    EXPECT_EQ(percent.sliderController()->sliderControl()->geometry(), QRect(3, 3, 108, 17));

    ZQAugmentedTextField zeroMaximum;
    zeroMaximum.setFormatter(formatter(2.0, 0.0));
    zeroMaximum.awakeFromInterface();
    EXPECT_EQ(zeroMaximum.sliderMinimumValue(), 2.0);
    EXPECT_EQ(zeroMaximum.sliderMaximumValue(), 100.0);
    EXPECT_EQ(zeroMaximum.sliderController()->stepperControl(), nullptr) << "no stepper at interface load";

    ZQAugmentedTextField plain;
    plain.setFormatter(formatter(std::nullopt, std::nullopt));
    plain.awakeFromInterface();
    EXPECT_EQ(plain.sliderMaximumValue(), 1000.0);

    // A popover made elsewhere keeps the range its slider had.
    ZQAugmentedTextField lender;
    lender.makePopover(0);
    lender.setSliderMinimumValue(6);
    lender.setSliderMaximumValue(200);
    ZQAugmentedTextField borrower;
    borrower.setSliderPopover(lender.sliderPopover());
    borrower.setFormatter(formatter(std::nullopt, std::nullopt));
    borrower.awakeFromInterface();
    EXPECT_EQ(borrower.sliderMinimumValue(), 6.0);
    EXPECT_EQ(borrower.sliderMaximumValue(), 200.0);
}

TEST(AugmentedTextField, WheelStepsByDeltaOverMultiplierWithinLimitsWithOrWithoutPopover)
{
    const auto off = popoversEnabled(false);
    ActionRecorder target;
    ZQAugmentedTextField field;
    field.setTarget(&target);
    field.setAction("changeAction");
    auto hundredths = std::make_shared<NumberFormatter>();
    hundredths->setMultiplier(100);
    field.setFormatter(hundredths);
    field.awakeFromInterface();
    field.setDoubleValue(10);
    scroll(field, 3);
    EXPECT_DOUBLE_EQ(field.doubleValue(), 10.03);
    EXPECT_EQ(field.text(), QStringLiteral("1003"));
    EXPECT_EQ(target.actions, 1);
    EXPECT_FALSE(field.sliderPopover()->isShown()) << "the user default is off";

    scroll(field, 1e6);
    EXPECT_EQ(field.doubleValue(), 1000.0) << "stops at the maximum";

    ZQAugmentedTextField unscaled;
    auto zero = std::make_shared<NumberFormatter>();
    zero->setMultiplier(0.0);
    unscaled.setFormatter(zero);
    unscaled.awakeFromInterface();
    unscaled.setDoubleValue(10);
    scroll(unscaled, 1);
    EXPECT_EQ(unscaled.doubleValue(), 11.0) << "a multiplier of 0 counts as 1";

    ZQAugmentedTextField fontSize;
    fontSize.awakeFromInterface();
    fontSize.setSliderMinimumValue(6);
    fontSize.setSliderMaximumValue(200);
    fontSize.setDoubleValue(8);
    scroll(fontSize, -5);
    EXPECT_EQ(fontSize.doubleValue(), 6.0);
    EXPECT_EQ(fontSize.sliderController()->sliderValue(), 6.0);

    const auto on = popoversEnabled(true);
    fontSize.show();
    scroll(fontSize, 1);
    EXPECT_TRUE(fontSize.sliderPopover()->isShown());
    EXPECT_EQ(ZQAugmentedTextField::currentAugmentedPopover(), fontSize.sliderPopover());
    fontSize.sliderPopover()->close();
    EXPECT_EQ(ZQAugmentedTextField::currentAugmentedPopover(), nullptr);

    ZQAugmentedTextField disabled;
    disabled.awakeFromInterface();
    disabled.setEnabled(false);
    scroll(disabled, 1);
    EXPECT_EQ(disabled.doubleValue(), 0.0);
}

TEST(AugmentedTextField, TypingMovesTheSliderOnlyForFiniteNumbers)
{
    ZQAugmentedTextField field;
    field.awakeFromInterface();
    field.setSliderMaximumValue(100);
    field.setDoubleValue(12);
    for (const char* bad : {"--", "1e999", "nan", "inf", "twelve", ""}) {
        field.selectAll();
        field.insert(QString::fromLatin1(bad)); // as a paste
        EXPECT_EQ(field.text(), QString::fromLatin1(bad));
        EXPECT_EQ(field.sliderController()->sliderValue(), 12.0) << bad;
        EXPECT_EQ(field.doubleValue(), 12.0) << bad;
    }
    QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&field, QStringLiteral("42.5"));
    EXPECT_EQ(field.sliderController()->sliderValue(), 42.5);
    field.setDoubleValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(field.doubleValue(), 42.5);

    ZQAugmentedTextField marked;
    marked.setFormatter(std::make_shared<ZQNumberFormatter>());
    marked.awakeFromInterface();
    marked.setDoubleValue(0.25);
    marked.setObjectValue(QStringLiteral("--"));
    EXPECT_EQ(marked.text(), QStringLiteral("--"));
    EXPECT_EQ(marked.doubleValue(), 0.25) << "the multiple-values marker is no number";
    EXPECT_EQ(marked.sliderController()->sliderValue(), 0.25);
}

TEST(AugmentedTextField, SliderAndStepperMoveTogetherWithoutEcho)
{
    ActionRecorder target;
    ZQAugmentedTextField field;
    field.setTarget(&target);
    field.setAction("changeAction");
    field.makePopover(ZQAugmentedTextField::kStepperOption);
    field.awakeFromInterface();
    field.setSliderMaximumValue(10);
    ZQAugmentationSliderController* controller = field.sliderController();
    ZQDoubleSlider* slider = controller->sliderControl();
    ZQStepper* stepper = controller->stepperControl();

    slider->setValue(3700); // as a drag does: 37% of the way
    EXPECT_EQ(field.text(), QStringLiteral("3")) << "no formatter writes whole numbers";
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 3.7) << "the field's echo leaves the slider alone";
    EXPECT_DOUBLE_EQ(stepper->doubleValue(), 3.7);
    EXPECT_EQ(target.actions, 1);

    field.setFormatter(formatter(std::nullopt, std::nullopt));
    stepper->stepBy(1);
    EXPECT_DOUBLE_EQ(field.doubleValue(), 4.7);
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 4.7);
    stepper->stepBy(100);
    EXPECT_EQ(field.doubleValue(), 10.0);
    EXPECT_EQ(target.actions, 3);
}

TEST(AugmentedTextField, TabBacktabAndEscapeCloseThePopoverReturnDoesNot)
{
    const auto on = popoversEnabled(true);
    QWidget window;
    auto* field = new ZQAugmentedTextField(&window);
    auto* other = new ZQAugmentedTextField(&window);
    field->awakeFromInterface();
    other->awakeFromInterface();
    window.show();

    field->showPopover();
    ASSERT_TRUE(field->sliderPopover()->isShown());
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(field->sliderPopover()->isShown());
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(field->sliderPopover()->isShown());

    for (Qt::FocusReason reason : {Qt::TabFocusReason, Qt::BacktabFocusReason}) {
        field->showPopover();
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(field, &out);
        EXPECT_FALSE(field->sliderPopover()->isShown()) << reason;
    }
    field->showPopover();
    QFocusEvent clicked(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(field, &clicked);
    EXPECT_TRUE(field->sliderPopover()->isShown());

    other->showPopover();
    EXPECT_EQ(ZQAugmentedTextField::currentAugmentedPopover(), other->sliderPopover());
    field->sliderPopover()->close();
    EXPECT_EQ(ZQAugmentedTextField::currentAugmentedPopover(), other->sliderPopover()) << "only its own closing clears it";
    other->sliderPopover()->close();

    const auto off = popoversEnabled(false);
    QTest::mouseClick(field, Qt::LeftButton);
    EXPECT_FALSE(field->sliderPopover()->isShown());
}
