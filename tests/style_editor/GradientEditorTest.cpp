#include "style_editor/StyleEditorTesting.h"
#include "support/SettingScope.h"

#include "platform/ui/ColourPanel.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ZQInfoFloater.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "style_editor/gradient/VXQGradientControl.h"
#include "style_editor/gradient/VXQGradientParameterView.h"
#include "style_editor/gradient/VXQProxyColourWell.h"
#include "style_editor/panes/fills/VLTMStyleEditSub_VXGradientFill.h"
#include "style_editor/panes/table/StylePaneRowControl.h"
#include "widgets/minicontrols/ZQMiniControlCluster.h"
#include "widgets/minicontrols/ZQMiniRadialControl2.h"
#include "widgets/minicontrols/ZQMiniSlider.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

using namespace styleeditortest;

namespace {

// Counts the actions a control sends and keeps the gradient it read.
class ActionCounter : public QObject {
    Q_OBJECT

public:
    int count = 0;
    VXGradientPtr last;
    Q_INVOKABLE void changed(QObject* sender)
    {
        ++count;
        last = static_cast<VXQGradientControl*>(sender)->gradient();
    }
};

struct ControlFixture {
    QWidget window;
    VXQGradientControl* control = new VXQGradientControl(&window);
    ActionCounter counter;

    explicit ControlFixture(const QList<VXGradient::ColourStop>& stops, QSize size = {200, 20})
    {
        window.resize(400, 100);
        control->setGeometry(QRect(QPoint(100, 40), size));
        control->setTarget(&counter);
        control->setAction("changed");
        control->setGradient(VXGradient::gradientWithColourStops(stops));
    }
    QList<float> positions() const
    {
        QList<float> positions;
        for (const VXQColourStopPtr& stop : control->stops())
            positions.append(stop->position());
        return positions;
    }
    QPoint pointAt(double position) const { return control->swatchBoxAtPosition(position).center().toPoint(); }
};

const QList<VXGradient::ColourStop> kThreeStops{{Qt::red, 0.0}, {Qt::green, 0.5}, {Qt::blue, 1.0}};
const QList<VXGradient::ColourStop> kTwoStops{{Qt::black, 0.0}, {Qt::white, 1.0}};

} // namespace

TEST(GradientControl, SwatchesAreLaidOutOnTheInteriorAndOverlapsSplitTheHeight)
{
    ControlFixture f({{Qt::red, 0.25}, {Qt::blue, 0.25}, {Qt::green, 0.8}});
    VXQGradientControl& control = *f.control;
    EXPECT_EQ(control.interior(), QRectF(9, 1, 182, 18));
    EXPECT_EQ(control.bar(), QRectF(1, 1, 198, 18));
    for (double p : {0.0, 0.3, 1.0})
        EXPECT_EQ(control.swatchBoxAtPosition(p), QRectF(9 + 182 * p - 8.5, 0, 17, 20)) << p;
    const QList<QRectF> boxes = control.allSwatchBoxes();
    EXPECT_EQ(boxes[0], QRectF(9 + 182 * 0.25 - 8.5, 0, 17, 10));
    EXPECT_EQ(boxes[1], QRectF(9 + 182 * 0.25 - 8.5, 10, 17, 10));
    EXPECT_EQ(boxes[2].height(), 20);
    EXPECT_EQ(control.stopAtPoint(boxes[0].center()), control.stops()[0].get());
    EXPECT_EQ(control.stopAtPoint(boxes[1].center()), control.stops()[1].get());
    EXPECT_EQ(control.stopAtPoint({190, 10}), nullptr);

    EXPECT_DOUBLE_EQ(*control.relativeXWithPoint({9 + 91, 5}), 0.5);
    EXPECT_DOUBLE_EQ(*control.relativeXWithPoint({-40, 5}), 0.0);
    EXPECT_DOUBLE_EQ(*control.relativeXWithPoint({400, 5}), 1.0);
    EXPECT_EQ(control.safeZone(), QRectF(-32, -7, 264, 34));

    // Moving a stop away gives both their full height back.
    control.stops()[1]->setPosition(0.6f);
    control.invalidate();
    EXPECT_EQ(control.allSwatchBoxes()[0].height(), 20);
    EXPECT_EQ(control.allSwatchBoxes()[1].height(), 20);
}

TEST(GradientControl, StopsAreAddedRecolouredRemovedAndFlipped)
{
    ControlFixture f(kTwoStops);
    VXQGradientControl& control = *f.control;
    ASSERT_EQ(control.stops().size(), 2);

    // A point on a stop recolours it; a forced or colourless add makes a new stop.
    EXPECT_EQ(control.addColorStopAtPoint(Qt::red, f.pointAt(1.0)), control.stops()[1].get());
    EXPECT_EQ(control.stops()[1]->colour(), QColor(Qt::red));
    EXPECT_EQ(f.counter.count, 1);
    VXQColourStop* middle = control.addColorStopAtPoint(QColor(), f.pointAt(0.5));
    ASSERT_EQ(control.stops().size(), 3);
    EXPECT_EQ(control.stops().last().get(), middle); // appended, not sorted
    EXPECT_NEAR(middle->position(), 0.5, 0.01);
    EXPECT_NEAR(middle->colour().redF(), 0.5, 0.02); // black to red halfway
    EXPECT_EQ(f.counter.count, 2);
    ASSERT_TRUE(f.counter.last);
    EXPECT_EQ(f.counter.last->numberOfColours(), 3);

    control.flip(nullptr);
    EXPECT_EQ(f.positions(), (QList<float>{1.0f, 0.0f, 1.0f - middle->position()}));
    EXPECT_EQ(f.counter.count, 3);
    control.flip(nullptr);

    // The command removes only the selection, and never below two stops.
    platform::MenuItem removeItem(QString(), "removeStop");
    EXPECT_FALSE(control.validateMenuItem(&removeItem));
    control.setSelectedStop(middle);
    EXPECT_TRUE(control.validateMenuItem(&removeItem));
    control.removeStop(nullptr);
    EXPECT_EQ(control.stops().size(), 2);
    EXPECT_EQ(control.selectedStop(), nullptr);
    control.setSelectedStop(control.stops()[0].get());
    EXPECT_FALSE(control.validateMenuItem(&removeItem));
    control.removeStop(nullptr);
    EXPECT_EQ(control.stops().size(), 2);

    // The point command has no limit; the control then has no gradient to hand out.
    control.removeColorStopAtPoint(f.pointAt(1.0));
    EXPECT_EQ(control.stops().size(), 1);
    EXPECT_EQ(control.gradient(), nullptr);

    // New stops go to the hint, or the centre without one.
    control.newStop(nullptr);
    ASSERT_EQ(control.stops().size(), 2);
    EXPECT_NEAR(control.stops().last()->position(), 0.5, 0.01);
    EXPECT_EQ(control.selectedStop(), control.stops().last().get());
    control.setStopInsertHint(f.pointAt(0.25));
    control.newStop(nullptr);
    EXPECT_NEAR(control.stops().last()->position(), 0.25, 0.01);
}

TEST(GradientControl, FlippingMirrorsPositions)
{
    ControlFixture f({{Qt::red, 0.25}, {Qt::blue, 1.0}});
    f.control->flip(nullptr);
    EXPECT_EQ(f.positions(), (QList<float>{0.75f, 0.0f}));
    ASSERT_TRUE(f.counter.last);
    EXPECT_EQ(f.counter.last->colourAtStopIndex(0), QColor(Qt::blue)); // the gradient is in position order
}

TEST(GradientControl, DraggingMovesStopsInPercentStepsWithShiftAndDragsOutRemoveThem)
{
    ControlFixture f(kThreeStops);
    VXQGradientControl& control = *f.control;
    VXQColourStop* green = control.stops()[1].get();
    const QPoint start = f.pointAt(0.5);
    QTest::mousePress(&control, Qt::LeftButton, {}, start);
    EXPECT_EQ(control.infoWindow()->stringValue(), QStringLiteral("50.0%"));
    QTest::mouseMove(&control, QPoint(9 + 75, 10)); // 75 / 182
    EXPECT_NEAR(green->position(), 75.0 / 182.0, 1e-5);
    QMouseEvent shifted(QEvent::MouseMove, QPointF(9 + 75, 10), control.mapToGlobal(QPointF(9 + 75, 10)), Qt::NoButton,
                        Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(&control, &shifted);
    EXPECT_FLOAT_EQ(green->position(), 0.41f);
    EXPECT_EQ(control.infoWindow()->stringValue(), QStringLiteral("41.0%"));
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(9 + 75, 10));
    EXPECT_EQ(control.selectedStop(), green); // dragged stops are selected
    const int sent = f.counter.count;

    // 40 points right of the control is beyond the safe zone: the stop goes.
    QTest::mousePress(&control, Qt::LeftButton, {}, f.pointAt(1.0));
    QTest::mouseMove(&control, QPoint(240, 10));
    EXPECT_EQ(control.deletionCandidate(), control.stops()[2].get());
    EXPECT_EQ(control.stops().size(), 3);
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(240, 10));
    EXPECT_EQ(control.stops().size(), 2);
    EXPECT_EQ(f.counter.count, sent + 1);
    EXPECT_EQ(control.deletionCandidate(), nullptr);

    // Two stops stay whatever the drag.
    QTest::mousePress(&control, Qt::LeftButton, {}, f.pointAt(0.0));
    QTest::mouseMove(&control, QPoint(-150, 90));
    EXPECT_EQ(control.deletionCandidate(), nullptr);
    EXPECT_FLOAT_EQ(control.stops()[0]->position(), 0.0f);
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(-150, 90));
    EXPECT_EQ(control.stops().size(), 2);
}

TEST(GradientControl, ClicksToggleTheSelectionWhichTheColourPanelEdits)
{
    ControlFixture f(kThreeStops);
    VXQGradientControl& control = *f.control;
    platform::ColourPanel* panel = platform::ColourPanel::sharedColorPanel();
    VXQColourStop* blue = control.stops()[2].get();
    QTest::mouseClick(&control, Qt::LeftButton, {}, f.pointAt(1.0));
    EXPECT_EQ(control.selectedStop(), blue);
    EXPECT_TRUE(control.proxyColourWell()->isActive());
    EXPECT_EQ(panel->color(), QColor(Qt::blue));
    EXPECT_TRUE(panel->isVisible());
    const int sent = f.counter.count;

    panel->userDidPickColor(QColor(10, 20, 30));
    EXPECT_EQ(blue->colour(), QColor(10, 20, 30));
    EXPECT_GT(f.counter.count, sent);
    EXPECT_EQ(f.counter.last->colourAtStopIndex(2), QColor(10, 20, 30));

    // Another well taking the panel over lets the stop go.
    platform::ColourWell other;
    other.activate(true);
    EXPECT_EQ(control.selectedStop(), nullptr);
    other.deactivate();

    QTest::mouseClick(&control, Qt::LeftButton, {}, f.pointAt(0.0));
    EXPECT_EQ(control.selectedStop(), control.stops()[0].get());
    QTest::mouseClick(&control, Qt::LeftButton, {}, f.pointAt(0.0));
    EXPECT_EQ(control.selectedStop(), nullptr);
    EXPECT_FALSE(control.proxyColourWell()->isActive());
    panel->orderOut(nullptr);
}

TEST(GradientControl, ColourDropsRecolourOrAddStopsAndOthersAreRefused)
{
    ControlFixture f(kTwoStops);
    VXQGradientControl& control = *f.control;
    const auto drop = [&](QMimeData& data, QPoint at) {
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&control, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&control, &dropped);
        return enter.isAccepted() && dropped.isAccepted();
    };
    QMimeData colour;
    colour.setColorData(QColor(Qt::yellow));
    EXPECT_TRUE(drop(colour, f.pointAt(1.0)));
    EXPECT_EQ(control.stops().size(), 2);
    EXPECT_EQ(control.stops()[1]->colour(), QColor(Qt::yellow));
    EXPECT_TRUE(drop(colour, f.pointAt(0.5)));
    EXPECT_EQ(control.stops().size(), 3);
    EXPECT_EQ(control.selectedStop(), control.stops()[2].get());
    QMimeData text;
    text.setText(QStringLiteral("yellow"));
    EXPECT_FALSE(drop(text, f.pointAt(0.75)));
    EXPECT_EQ(control.stops().size(), 3);
    control.setSelectedStop(nullptr);
}

TEST(GradientControl, AControlWithoutAnInteriorChangesNothing)
{
    ControlFixture f(kThreeStops, QSize(0, 20));
    VXQGradientControl& control = *f.control;
    EXPECT_FALSE(control.relativeXWithPoint({0, 10}));
    EXPECT_EQ(control.addColorStopAtPointForceNew(Qt::red, {0, 10}, true), nullptr);
    const QList<float> before = f.positions();
    QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(0, 10));
    QTest::mouseMove(&control, QPoint(5, 10));
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(f.positions(), before);
    EXPECT_EQ(f.counter.count, 0);
    control.setSelectedStop(nullptr);
}

// --- Parameter view and pane -----------------------------------------------------------------------------------

namespace {

struct FillSource : VXQGradientParameterViewDelegate {
    VXGradientFillPtr fill = std::make_shared<VXGradientFill>();
    VXGradientFill* gradientFill() override { return fill.get(); }
    void setGradientAngle(double) override {}
    void setStartingLocation(QPointF) override {}
    void setEndingLocation(QPointF) override {}
    void setStartingRadius(double) override {}
    void setEndingRadius(double) override {}
};

} // namespace

TEST(GradientParameterView, MapsTheFillsGeometryOntoTheViewAndBack)
{
    FillSource source;
    source.fill->setGradientType(VXGradientFill::kRadialGradient);
    source.fill->setStartingLocation({0.2, -0.1});
    source.fill->setEndingRadius(0.3);
    VXQGradientParameterView view;
    view.setController(&source);
    view.resize(100, 50);
    view.show();
    EXPECT_EQ(view.startRing()->centre(), QPointF(70, 20));
    EXPECT_FLOAT_EQ(view.endRing()->radius(), 30);
    EXPECT_EQ(view.pointForLocation({0.2, -0.1}), QPointF(70, 20));
    EXPECT_EQ(view.activeCluster()->controls().size(), 2u);

    view.radialControlDidChangeCentre(view.startRing(), QPointF(0, 0));
    EXPECT_EQ(source.fill->startingLocation(), QPointF(-0.5, -0.5));
    view.radialControlDidChangeRadius(view.startRing(), 50);
    EXPECT_DOUBLE_EQ(source.fill->startingRadius(), 0.5);
    view.radialControlDidChangeCentre(view.endRing(), QPointF(100, 50));
    EXPECT_EQ(source.fill->endingLocation(), QPointF(0.5, 0.5));

    source.fill->setGradientType(VXGradientFill::kLinearGradient);
    view.angleRing()->setValue(1.0);
    EXPECT_DOUBLE_EQ(source.fill->gradientAngle(), 1.0);
    view.updateFromController();

    // A view with no height writes nothing.
    view.resize(100, 0);
    view.radialControlDidChangeCentre(view.startRing(), QPointF(10, 0));
    view.radialControlDidChangeRadius(view.startRing(), 10);
    EXPECT_EQ(source.fill->startingLocation(), QPointF(-0.5, -0.5));
    EXPECT_DOUBLE_EQ(source.fill->startingRadius(), 0.5);
}

TEST(GradientFillPane, StopsReachTheFillOnlyAsAWholeGradientAndTheWarningFollowsTransparency)
{
    // The warning is for PDF output that cannot show the transparency.
    const testsupport::SettingScope workaround(&VXGradientFill::pdfTransparencyWorkaround,
                                               &VXGradientFill::setPdfTransparencyWorkaround, false);
    auto fill = std::make_shared<VXGradientFill>();
    EditorFixture f;
    f.select({f.addShape(styleOf({fill}))});
    f.forgetEdits();
    auto* pane = dynamic_cast<VLTMStyleEditSub_VXGradientFill*>(f.editor->subcontrollerForComponent(fill.get()));
    ASSERT_TRUE(pane);
    VXQGradientControl* control = pane->gradientControl();
    ASSERT_EQ(control->stops().size(), 2);
    EXPECT_TRUE(pane->parameterWarningButton()->isHidden());

    const VXGradientPtr original = fill->gradient();
    control->addColorStopAtPointForceNew(QColor(255, 0, 0, 128), control->swatchBoxAtPosition(0.5).center(), true);
    ASSERT_NE(fill->gradient(), original);
    EXPECT_EQ(fill->numberOfColours(), 3);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Gradient Colours"));
    EXPECT_FALSE(pane->parameterWarningButton()->isHidden());
    workaround.set(true);
    pane->conditionallyEnableWarningButton();
    EXPECT_TRUE(pane->parameterWarningButton()->isHidden());
    workaround.set(false);
    f.endStep();

    // Removing stops down to one leaves the fill's gradient alone.
    const VXGradientPtr three = fill->gradient();
    control->removeColorStopAtPoint(control->swatchBoxAtPosition(1.0).center());
    EXPECT_EQ(fill->numberOfColours(), 2);
    control->removeColorStopAtPoint(control->swatchBoxAtPosition(0.0).center());
    EXPECT_EQ(control->stops().size(), 1);
    EXPECT_EQ(fill->numberOfColours(), 2);
    f.endStep();
    f.undo.undo();
    f.settle();
    EXPECT_EQ(fill->gradient(), three);
    EXPECT_EQ(control->stops().size(), 3);

    pane->gradientWarningAction(nullptr);
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), QStringLiteral("Gradient Color Warning"));
    box->accept();
    f.settle();
}

TEST(GradientFillPane, ARingDragIsOneUndoStepAndALockedFillDisablesEveryControl)
{
    auto fill = std::make_shared<VXGradientFill>();
    fill->setGradientType(VXGradientFill::kRadialGradient);
    fill->setEndingLocation({0.3, 0.3}); // apart from the start ring
    auto style = styleOf({fill});
    EditorFixture f;
    f.select({f.addShape(style)});
    f.forgetEdits();
    auto* pane = dynamic_cast<VLTMStyleEditSub_VXGradientFill*>(f.editor->subcontrollerForComponent(fill.get()));
    ASSERT_TRUE(pane);
    f.editor->view()->show();
    f.settle();
    VXQGradientParameterView* view = pane->gradientParameterView();
    ASSERT_FALSE(view->rect().isEmpty());
    ASSERT_EQ(view->startRing()->centre(), QPointF(view->width() / 2.0, view->height() / 2.0));
    // The ring is grabbed on its rim, away from the tab.
    const QPoint rim = view->startRing()->trackPointForAngle(135).toPoint();
    ASSERT_EQ(view->startRing()->hitTestPoint(rim), ZQMiniControl::kIrisPart);
    QTest::mousePress(view, Qt::LeftButton, {}, rim);
    for (int step = 1; step <= 5; ++step) {
        QTest::mouseMove(view, rim + QPoint(-4 * step, -2 * step));
        f.settle();
    }
    QTest::mouseRelease(view, Qt::LeftButton, {}, rim + QPoint(-20, -10));
    f.endStep();
    EXPECT_NEAR(fill->startingLocation().x(), -20.0 / view->width(), 1e-9);
    EXPECT_NEAR(fill->startingLocation().y(), -10.0 / view->height(), 1e-9);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Gradient Start"));
    f.undo.undo();
    EXPECT_EQ(fill->startingLocation(), QPointF(0, 0));
    EXPECT_FALSE(f.undo.canUndo());

    style->setLocked(true);
    f.settle();
    pane = dynamic_cast<VLTMStyleEditSub_VXGradientFill*>(f.editor->subcontrollerForComponent(fill.get()));
    ASSERT_TRUE(pane);
    view = pane->gradientParameterView();
    EXPECT_FALSE(pane->gradientControl()->isEnabled());
    EXPECT_FALSE(view->isEnabled());
    EXPECT_FALSE(pane->parameterWarningButton()->isEnabled());
    EXPECT_FALSE(pane->rowControl(QStringLiteral("gradientType"))->widget()->isEnabled());
    EXPECT_FALSE(pane->rowControl(QStringLiteral("angleIsRelative"))->widget()->isEnabled());
}

#include "GradientEditorTest.moc"
