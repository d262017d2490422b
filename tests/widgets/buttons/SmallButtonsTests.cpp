#include "../ActionRecorder.h"
#include "platform/graphics/BezierPath.h"
#include "platform/ui/ViewController.h"
#include "widgets/buttons/ZQAugmentedButton.h"
#include "widgets/buttons/ZQRoundCornerButton.h"
#include "widgets/buttons/ZQSimpleHoverButtonView.h"

#include <QGridLayout>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

TEST(RoundCornerButton, GridRoundsOnlyOuterCornersAndOverlapsNeighbours)
{
    const QRectF frame(0, 0, 40, 20);
    const int expected[3][3] = {{kRoundedCornerMinXMinY, 0, kRoundedCornerMaxXMinY},
                                {0, 0, 0},
                                {kRoundedCornerMinXMaxY, 0, kRoundedCornerMaxXMaxY}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(roundCornerBezel(frame, ZQGridPosition{row, column, 3, 3}).corners, expected[row][column])
                << row << "," << column;
    EXPECT_EQ(roundCornerBezel(frame, ZQGridPosition{1, 1, 3, 3}).rect, QRectF(0.5, 0.5, 40, 20))
        << "one point wider and higher than the frame less a point";
    EXPECT_EQ(roundCornerBezel(frame, ZQGridPosition{2, 2, 3, 3}).rect, QRectF(0.5, 0.5, 39, 19));
    EXPECT_EQ(roundCornerBezel(frame, ZQGridPosition{0, 0, 1, 1}).corners, kRoundedCornerAll);

    const ZQRoundCornerBezel alone = roundCornerBezel(frame, std::nullopt);
    EXPECT_EQ(alone.corners, kRoundedCornerAll);
    EXPECT_EQ(alone.rect, QRectF(5.5, 3.5, 29, 10)) << "inset 5 by 3, then 3 lower";

    QWidget grid;
    auto* layout = new QGridLayout(&grid);
    ZQRoundCornerButton* buttons[3][3];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            layout->addWidget(buttons[row][column] = new ZQRoundCornerButton, row, column);
    const std::optional<ZQGridPosition> found = buttons[2][1]->gridPosition();
    ASSERT_TRUE(found);
    EXPECT_EQ(found->row, 2);
    EXPECT_EQ(found->column, 1);
    EXPECT_EQ(found->rowCount, 3);
    EXPECT_EQ(found->columnCount, 3);
    EXPECT_FALSE(ZQRoundCornerButton().gridPosition());
}

TEST(SimpleHoverButton, StatesFollowThePointerAndOnlyAReleaseInsideActs)
{
    ActionRecorder target;
    ZQSimpleHoverButtonView button;
    button.resize(100, 50);
    button.setTarget(&target);
    button.setAction("changeAction");
    EXPECT_EQ(button.cursor().shape(), Qt::OpenHandCursor);

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button.state(), ZQSimpleHoverButtonView::PressedState);
    QMouseEvent outside(QEvent::MouseMove, QPointF(150, 10), QPointF(150, 10), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&button, &outside);
    EXPECT_EQ(button.state(), ZQSimpleHoverButtonView::NormalState);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(button.state(), ZQSimpleHoverButtonView::NormalState);
    EXPECT_EQ(target.actions, 0);

    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button.state(), ZQSimpleHoverButtonView::HoveredState);
    EXPECT_EQ(target.actions, 1);
    EXPECT_EQ(target.lastSender, &button);

    button.setHoverEnabled(false);
    button.setState(ZQSimpleHoverButtonView::NormalState);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button.state(), ZQSimpleHoverButtonView::NormalState) << "no hover state without hover";
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(target.actions, 4);

    EXPECT_EQ(&button.gradientForState(1), &button.gradientForState(ZQSimpleHoverButtonView::PressedState));
    EXPECT_EQ(button.gradientForState(7).stops(), ZQSimpleHoverButtonView::defaultNormalGradient().stops());
    EXPECT_EQ(button.gradientForState(2).endingColour(), QColor::fromRgbF(0.7f, 0.7f, 0.7f));
}

TEST(SimpleHoverButton, PartsBecomeTitleAndLighterLines)
{
    const AttributedString text =
        ZQSimpleHoverButtonView::attributedStringForHoverButtonWithParts({QStringLiteral("Open"), QStringLiteral("Recent maps")});
    EXPECT_EQ(text.string(), QStringLiteral("Open\nRecent maps\n"));
    TextRange title;
    const TextAttributes first = text.attributesAtIndexEffectiveRange(0, &title);
    EXPECT_EQ(title.length, 5);
    EXPECT_EQ(first.value(kFontAttributeName).value<QFont>().pointSizeF(), 18);
    EXPECT_EQ(first.value(kForegroundColourAttributeName).value<QColor>(), QColor::fromRgbF(0.3f, 0.3f, 0.3f));
    const TextAttributes second = text.attributesAtIndexEffectiveRange(6);
    EXPECT_EQ(second.value(kFontAttributeName).value<QFont>().pointSizeF(), 15);
    EXPECT_EQ(second.value(kParagraphStyleAttributeName).value<ParagraphStyle>().lineSpacing, 3.0);
}

namespace {

class OpacityControls : public ViewController, public ZQPopoverControlsReceiver {
    Q_OBJECT

public:
    void setControlsAction(const QByteArray& action) override { this->action = action; }
    void setTarget(QObject* target) override { this->target = target; }
    QByteArray action;
    QObject* target = nullptr;
};

class LayerRow : public QObject, public ZQAugmentedButtonDelegate {
    Q_OBJECT

public:
    Popover* popoverForAugmentedButton(ZQAugmentedButton*) override
    {
        ++asked;
        return answer;
    }
    void augmentedButtonWillShowPopover(ZQAugmentedButton*) override { ++willShow; }
    Popover* answer = nullptr;
    int asked = 0;
    int willShow = 0;
};

} // namespace

TEST(AugmentedButton, ContextClickShowsTheDelegatesPopoverWithoutClicking)
{
    Popover popover;
    auto controls = std::make_shared<OpacityControls>();
    popover.setContentViewController(controls);
    LayerRow row;
    ActionRecorder target;
    ZQAugmentedButton button;
    button.resize(40, 20);
    button.show();
    button.setDelegate(&row);
    button.setPopoverTarget(&target);
    button.setPopoverAction("changeAction");
    EXPECT_EQ(button.preferredEdge(), Popover::MinYEdge);
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });

    QTest::mouseClick(&button, Qt::LeftButton, Qt::MetaModifier, QPoint(5, 5)); // Control-click
    EXPECT_EQ(row.asked, 1);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(row.willShow, 0) << "the delegate answered no popover";

    row.answer = &popover;
    QTest::mouseClick(&button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(row.asked, 2);
    EXPECT_TRUE(popover.isShown());
    EXPECT_EQ(popover.behavior(), Popover::TransientBehavior);
    EXPECT_EQ(controls->action, QByteArray("changeAction"));
    EXPECT_EQ(controls->target, &target);
    EXPECT_EQ(row.willShow, 1);
    popover.close();

    row.answer = nullptr;
    QTest::keyClick(&button, Qt::Key_Menu);
    EXPECT_EQ(row.asked, 2) << "the popover is asked for once";
    EXPECT_TRUE(popover.isShown());
    popover.close();
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
}

TEST(AugmentedButton, ForgetsADelegateThatDied)
{
    ZQAugmentedButton button;
    auto row = std::make_unique<LayerRow>();
    button.setDelegate(row.get());
    row.reset();
    EXPECT_EQ(button.delegate(), nullptr);
    button.prepareAndShowPopover(); // nothing to ask
}

#include "SmallButtonsTests.moc"
