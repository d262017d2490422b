#include "furniture/edges/VXQGridAnnotation.h"
#include "furniture/edges/VXQGridBorder.h"
#include "furniture/settings/GridSettingsHost.h"
#include "furniture/settings/VLQNAnnotationController.h"
#include "furniture/settings/VLQNGridBorderController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ColourWell.h"
#include "widgets/controls/ScrollwheelControls.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void type(ZQScrollwheelStepper* field, const QString& text)
{
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

// On the box or dot: a check box stretched by its layout takes no click beyond its title.
void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Stands for the grid pane: records what the panes pass on and may play a locked grid.
struct FakeGridPane : GridSettingsHost {
    bool gridIsLocked() override { return locked; }
    void setPlacement(int shown) override { placement = shown; }
    void setBorderEdges(int shown) override { edges = shown; }

    bool locked = false;
    int placement = -1;
    int edges = -1;
};

template <class Pane>
void showPane(Pane& pane, FakeGridPane& host, const QList<ZQObjectPtr>& content)
{
    pane.setGridController(&host);
    pane.view()->show();
    pane.setContent(content);
    platform::RunLoop::runUntilIdle();
}

TEST(GridAnnotationPane, ShowsTheAnnotationEditsItLiveThroughItsClampsAndRevertsIt)
{
    auto annotation = VXQGridAnnotation::defaultAnnotation();
    annotation->setStartingOffset(3);
    annotation->setIsReversed(true);
    VLQNAnnotationController pane;
    FakeGridPane host;
    showPane(pane, host, {annotation});
    EXPECT_EQ(host.placement, 0);
    EXPECT_EQ(pane.startAtField()->value(), 3);
    EXPECT_EQ(pane.digitsField()->value(), 2);
    EXPECT_TRUE(pane.numbersRadio()->isChecked());
    EXPECT_TRUE(pane.reversedCheckbox()->isChecked());
    EXPECT_FALSE(pane.rotatedCheckbox()->isChecked());

    click(pane.lettersRadio());
    EXPECT_TRUE(annotation->isAlphabetic());
    click(pane.rotatedCheckbox());
    click(pane.reversedCheckbox());
    EXPECT_TRUE(annotation->isRotated());
    EXPECT_FALSE(annotation->isReversed());
    type(pane.startAtField(), QStringLiteral("12"));
    type(pane.incrementField(), QStringLiteral("5"));
    EXPECT_EQ(annotation->startingOffset(), 12u);
    EXPECT_EQ(annotation->increment(), 5u);
    type(pane.digitsField(), QStringLiteral("0"));
    EXPECT_EQ(annotation->digits(), 1u);
    type(pane.digitsField(), QStringLiteral("99"));
    EXPECT_EQ(annotation->digits(), 4u);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(pane.digitsField()->value(), 4); // the field shows what the annotation kept

    // Changes made elsewhere show once the turn ends; the placement on the grid pane.
    annotation->setIsAlphabetic(false);
    annotation->setPlacement(1);
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(pane.numbersRadio()->isChecked());
    EXPECT_EQ(host.placement, 1);

    host.locked = true;
    type(pane.startAtField(), QStringLiteral("40"));
    click(pane.rotatedCheckbox());
    EXPECT_EQ(annotation->startingOffset(), 12u);
    EXPECT_TRUE(annotation->isRotated());
    host.locked = false;

    pane.revertOrCancel();
    EXPECT_FALSE(annotation->isAlphabetic());
    EXPECT_FALSE(annotation->isRotated());
    EXPECT_TRUE(annotation->isReversed());
    EXPECT_EQ(annotation->startingOffset(), 3u);
    EXPECT_EQ(annotation->increment(), 1u);
    EXPECT_EQ(annotation->digits(), 2u);
}

TEST(GridBorderPane, EditsEveryBorderItHoldsAndRevertsEachToItsOwnValues)
{
    auto first = VXQGridBorder::defaultBorder();
    auto second = VXQGridBorder::defaultBorder();
    second->setWidth(8);
    second->setIsAlternating(false);
    const QVariantMap firstSettings = first->settings();
    const QVariantMap secondSettings = second->settings();
    VLQNGridBorderController pane;
    FakeGridPane host;
    showPane(pane, host, {first, second});
    EXPECT_EQ(host.edges, 15);
    EXPECT_EQ(pane.gapField()->value(), 2);
    EXPECT_TRUE(pane.extendedCheckbox()->isChecked());

    type(pane.widthField(), QStringLiteral("6.5"));
    type(pane.gapField(), QStringLiteral("-1"));
    click(pane.barredCheckbox());
    click(pane.alternatingCheckbox());
    click(pane.extendedCheckbox());
    pane.firstColourWell()->takeColorFrom(QColor(255, 240, 0));
    pane.secondColourWell()->takeColorFrom(QColor(0, 0, 128));
    for (const auto& border : {first, second}) {
        EXPECT_EQ(border->width(), 6.5);
        EXPECT_EQ(border->offset(), 0); // a negative gap is kept at 0
        EXPECT_TRUE(border->ordnanceSurveyStyleEnabled());
        EXPECT_FALSE(border->extendedMarkers());
        EXPECT_EQ(border->fillColour(), QColor(255, 240, 0));
        EXPECT_EQ(border->alternateFillColour(), QColor(0, 0, 128));
    }
    EXPECT_EQ(first->isAlternating(), second->isAlternating());
    type(pane.widthField(), QStringLiteral("999999"));
    EXPECT_EQ(first->width(), VXQGridBorder::kMaximumExtent);
    first->setBorderEdges(5);
    second->setBorderEdges(5);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(host.edges, 5);

    pane.revertOrCancel();
    // Edges were set on the borders, not through the pane: they stay.
    first->setBorderEdges(15);
    second->setBorderEdges(15);
    EXPECT_EQ(first->settings(), firstSettings);
    EXPECT_EQ(second->settings(), secondSettings);
}

} // namespace
