#include "InspectorTesting.h"

#include "inspectors/panes/VLTM_VXDrawableObjectController.h"
#include "platform/vantrix/drawables/VXArcPath.h"

#include <QCheckBox>
#include <QLabel>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace inspectortest;

namespace {

struct PositionFixture : TabFixture {
    VLTM_VXDrawableObjectController* pane = this->template paneFor<VLTM_VXDrawableObjectController>(QStringLiteral("VXDrawableObject"));
    GeometryRowControl* row(const char* key) { return pane->rowControl(QString::fromLatin1(key)); }
};

} // namespace

TEST(PositionPane, AnglesShowFoldedIntoHalfATurn)
{
    EXPECT_DOUBLE_EQ(VLTM_VXDrawableObjectController::shownAngle(270), -90);
    EXPECT_DOUBLE_EQ(VLTM_VXDrawableObjectController::shownAngle(540), 180);
    EXPECT_DOUBLE_EQ(VLTM_VXDrawableObjectController::shownAngle(180), 180);
    EXPECT_DOUBLE_EQ(VLTM_VXDrawableObjectController::shownAngle(-200), -200);
    EXPECT_DOUBLE_EQ(VLTM_VXDrawableObjectController::shownAngle(-540), -180);

    PositionFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape();
    shape->setAngleInDegrees(270);
    fixture.select({shape});
    EXPECT_EQ(fixture.row("angleInDegrees")->field()->text(), QStringLiteral("-90"));
}

TEST(PositionPane, EditsAreNamedStepsThatUndo)
{
    PositionFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape({10, 10, 50, 40});
    fixture.select({shape});
    fixture.forgetEdits();
    const struct {
        const char* key;
        QString text;
        QString undoName;
    } edits[] = {{"width", QStringLiteral("80"), QStringLiteral("Change Width")},
                 {"height", QStringLiteral("30"), QStringLiteral("Change Height")},
                 {"xLocation", QStringLiteral("200"), QStringLiteral("Change Position")},
                 {"angleInDegrees", QStringLiteral("30"), QStringLiteral("Change Angle")}};
    for (const auto& edit : edits) {
        const QVariant before = shape->valueForKey(QString::fromLatin1(edit.key));
        typeInto(fixture.row(edit.key), edit.text);
        EXPECT_NEAR(shape->valueForKey(QString::fromLatin1(edit.key)).toDouble(), edit.text.toDouble(), 1e-9) << edit.key;
        EXPECT_EQ(fixture.undo.undoActionName(), edit.undoName);
        fixture.endStep();
        fixture.undo.undo();
        EXPECT_NEAR(shape->valueForKey(QString::fromLatin1(edit.key)).toDouble(), before.toDouble(), 1e-9) << edit.key;
        fixture.forgetEdits();
    }
}

TEST(PositionPane, AFieldLeftAsItWasMakesNoStep)
{
    PositionFixture fixture;
    // A height the field shows rounded: leaving it must not write the rounded value back.
    VXDrawableObjectPtr shape = fixture.addShape({10, 10, 50, 40.123});
    fixture.select({shape});
    QWidget* window = fixture.tab->view();
    window->show();
    QApplication::setActiveWindow(window);
    fixture.forgetEdits();

    typeInto(fixture.row("width"), QStringLiteral("80"));
    fixture.endStep();
    // Into Height and out again by Tab, then Return in it: nothing typed, nothing written.
    ZQAugmentedTextField* height = fixture.row("height")->field();
    QTest::mouseClick(height, Qt::LeftButton);
    ASSERT_TRUE(height->hasFocus());
    QTest::keyClick(height, Qt::Key_Tab);
    EXPECT_FALSE(height->hasFocus());
    height->setFocus();
    QTest::keyClick(height, Qt::Key_Return);
    fixture.endStep();
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("Change Width"));
    EXPECT_DOUBLE_EQ(shape->height(), 40.123);
    fixture.undo.undo();
    EXPECT_DOUBLE_EQ(shape->width(), 50.0);
    EXPECT_FALSE(fixture.undo.canUndo());
    window->hide();
}

TEST(PositionPane, TypedTextThatIsNoNumberWritesNothing)
{
    PositionFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape({10, 10, 50, 40});
    fixture.select({shape});
    for (const QString& text : {QString(), QStringLiteral("   "), QStringLiteral("wide"), QStringLiteral("nan"),
                                QStringLiteral("inf")}) {
        typeInto(fixture.row("width"), text);
        EXPECT_DOUBLE_EQ(shape->width(), 50.0) << text.toStdString();
        EXPECT_EQ(fixture.row("width")->field()->text(), QStringLiteral("50"));
    }
}

TEST(PositionPane, LockedObjectsKeepTheirValuesButTheLockAlwaysChanges)
{
    PositionFixture fixture;
    VXDrawableObjectPtr locked = fixture.addShape({10, 10, 50, 40});
    VXDrawableObjectPtr free = fixture.addShape({100, 100, 60, 40});
    locked->setLocked(true);
    fixture.select({locked, free});
    // A mixed lock counts as unlocked: the controls stay usable.
    EXPECT_EQ(fixture.row("locked")->checkbox()->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(fixture.row("width")->widget()->isEnabled());
    typeInto(fixture.row("width"), QStringLiteral("90"));
    EXPECT_DOUBLE_EQ(locked->width(), 50.0);
    EXPECT_DOUBLE_EQ(free->width(), 90.0);

    fixture.select({locked});
    EXPECT_FALSE(fixture.row("width")->widget()->isEnabled());
    EXPECT_TRUE(fixture.row("locked")->widget()->isEnabled());
    fixture.row("locked")->checkbox()->click();
    EXPECT_FALSE(locked->locked());
    EXPECT_TRUE(fixture.row("width")->widget()->isEnabled());
}

TEST(PositionPane, PercentagesAreMeasuredFromTheSizeWhenSelected)
{
    PositionFixture fixture;
    VXDrawableObjectPtr small = fixture.addShape({10, 10, 40, 20});
    VXDrawableObjectPtr large = fixture.addShape({100, 100, 100, 50});
    fixture.select({small, large});
    fixture.tab->percentDisplayAction(true);
    TabFixture::settle();
    EXPECT_TRUE(fixture.pane->sizePercentageCheckbox()->isChecked());
    EXPECT_EQ(fixture.row("width")->field()->text(), QStringLiteral("100%"));

    typeInto(fixture.row("width"), QStringLiteral("500%"));
    EXPECT_DOUBLE_EQ(small->width(), 40.0);
    EXPECT_DOUBLE_EQ(large->width(), 100.0);

    typeInto(fixture.row("width"), QStringLiteral("50%"));
    EXPECT_DOUBLE_EQ(small->width(), 20.0);
    EXPECT_DOUBLE_EQ(large->width(), 50.0);
    // Still measured from the sizes when selected, not from the halves.
    typeInto(fixture.row("width"), QStringLiteral("200%"));
    EXPECT_DOUBLE_EQ(small->width(), 80.0);
    EXPECT_DOUBLE_EQ(large->width(), 200.0);
    fixture.tab->percentDisplayAction(false);
    EXPECT_EQ(fixture.row("width")->field()->text(), QString());
}

TEST(PositionPane, AZeroReferenceShowsAHundredPercentAndIsLeftAlone)
{
    PositionFixture fixture;
    VXDrawablePathPtr flat = fixture.add(straightPath({10, 10}, {110, 10}));
    fixture.select({flat});
    fixture.tab->percentDisplayAction(true);
    TabFixture::settle();
    EXPECT_EQ(fixture.row("height")->field()->text(), QStringLiteral("100%"));
    typeInto(fixture.row("height"), QStringLiteral("300%"));
    EXPECT_DOUBLE_EQ(flat->height(), 0.0);
}

TEST(PositionPane, OptionsDisableControlsForTheClass)
{
    PositionFixture fixture;
    auto arc = fixture.add(std::make_shared<VXArcPath>());
    fixture.select({arc});
    EXPECT_EQ(fixture.pane->interfaceOptions(), 253u);
    EXPECT_FALSE(fixture.row("width")->widget()->isEnabled());
    EXPECT_TRUE(fixture.row("angleInDegrees")->widget()->isEnabled());
    EXPECT_FALSE(fixture.pane->sizePercentageCheckbox()->isEnabled());
}

TEST(PositionPane, MixedValuesShowEmptyOrMixed)
{
    PositionFixture fixture;
    VXDrawableObjectPtr first = fixture.addShape({10, 10, 40, 20});
    VXDrawableObjectPtr second = fixture.addShape({100, 100, 100, 50});
    first->setAspectRatioLocked(true);
    fixture.select({first, second});
    EXPECT_TRUE(fixture.row("width")->field()->text().isEmpty());
    EXPECT_TRUE(fixture.row("aspectRatioLocked")->widget()->isHidden());
    second->setAspectRatioLocked(true);
    TabFixture::settle();
    EXPECT_FALSE(fixture.row("aspectRatioLocked")->widget()->isHidden());
}

TEST(PositionPane, AViewMadeAgainShowsTheSelection)
{
    PositionFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape({10, 10, 50, 40});
    fixture.select({shape});
    // The window that showed the tab went; the tab still follows the drawing.
    delete fixture.tab->view();
    VXDrawableObjectPtr other = fixture.addShape({100, 100, 30, 20});
    fixture.select({other});
    EXPECT_EQ(fixture.row("width")->field()->text(), QStringLiteral("30"));
    typeInto(fixture.row("width"), QStringLiteral("45"));
    EXPECT_DOUBLE_EQ(other->width(), 45.0);
}
