#include "platform/foundation/RunLoop.h"
#include "platform/ui/ZQInfoFloater.h"
#include "widgets/minicontrols/ZQMiniControlCluster.h"
#include "widgets/minicontrols/ZQMiniControlHost.h"
#include "widgets/minicontrols/ZQMiniRadialControl2.h"
#include "widgets/minicontrols/ZQMiniSlider.h"

#include <QPainter>
#include <QTest>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>

using platform::RunLoop;
using platform::ShiftKeyMask;
using platform::OptionKeyMask;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class Listener : public QObject, public ZQMiniControlDelegate {
    Q_OBJECT

public:
    void miniControlWillChangeValue(ZQMiniControl* control, const QVariant& old) override
    {
        wills.append(old);
        if (onWill)
            onWill(control);
    }
    void miniControlDidChangeValue(ZQMiniControl* control, const QVariant& now) override
    {
        dids.append(now);
        if (onDid)
            onDid(control);
    }
    void radialControlDidChangeRadius(ZQMiniRadialControl2* control, double radius) override
    {
        radii.append(radius);
        if (onRadius)
            onRadius(control);
    }
    void radialControlDidChangeCentre(ZQMiniRadialControl2*, QPointF centre) override { centres.append(centre); }

    QVariantList wills;
    QVariantList dids;
    QList<double> radii;
    QList<QPointF> centres;
    std::function<void(ZQMiniControl*)> onWill;
    std::function<void(ZQMiniControl*)> onDid;
    std::function<void(ZQMiniRadialControl2*)> onRadius;
};

// Counts the gesture calls it receives; its body is its bounds.
class Recorder : public ZQMiniControl {
    Q_OBJECT

public:
    using ZQMiniControl::ZQMiniControl;
    bool mouseDownAt(QPointF point, int part, platform::ModifierFlags flags) override
    {
        ++downs;
        return ZQMiniControl::mouseDownAt(point, part, flags);
    }
    bool mouseDraggedAt(QPointF point, int part, platform::ModifierFlags flags) override
    {
        ++drags;
        return ZQMiniControl::mouseDraggedAt(point, part, flags);
    }
    void mouseUpAt(QPointF point, int part, platform::ModifierFlags flags) override
    {
        ++ups;
        ZQMiniControl::mouseUpAt(point, part, flags);
    }
    int downs = 0;
    int drags = 0;
    int ups = 0;
};

QPointF onCircle(QPointF centre, double radius, double degrees)
{
    const double radians = degrees * kPi / 180;
    return centre + radius * QPointF(std::cos(radians), std::sin(radians));
}

} // namespace

TEST(MiniControl, SetValueClampsAndNotifiesOnceAndRangeChangesPullTheValue)
{
    auto cluster = std::make_shared<ZQMiniControlCluster>();
    Listener listener;
    cluster->setDelegate(&listener);
    auto nested = makeMiniControl<ZQMiniControlCluster>(cluster.get());
    auto control = makeMiniControl<ZQMiniControl>(nested.get(), QRectF(0, 0, 10, 10));
    EXPECT_EQ(control->delegate(), &listener) << "the top-level cluster's delegate serves every depth";

    control->setValue(5);
    EXPECT_EQ(control->value(), 1.0);
    EXPECT_EQ(listener.wills, QVariantList{QVariant(0.0f)});
    EXPECT_EQ(listener.dids, QVariantList{QVariant(1.0f)});
    control->setValue(1);
    control->setValue(kNaN);
    control->setValue(std::numeric_limits<double>::infinity());
    EXPECT_EQ(listener.dids.size(), 1) << "equal and non-finite values notify nothing";

    control->setMaxValue(0.25);
    EXPECT_EQ(control->value(), 0.25);
    EXPECT_EQ(listener.dids.size(), 2);
    control->setMaxValue(1);
    control->setMinValue(0.5);
    EXPECT_EQ(control->value(), 0.5) << "a minimum above the value pulls it up";
    EXPECT_EQ(listener.dids.size(), 3);
    control->setMaxValue(kNaN);
    EXPECT_EQ(control->maxValue(), 1);

    Listener own;
    control->setDelegate(&own);
    control->setValue(0.0);
    EXPECT_EQ(own.dids.size(), 0) << "below the minimum: clamped to the unchanged value";
    control->setMinValue(0);
    control->setValue(0.1);
    EXPECT_EQ(own.dids.size(), 1);
    EXPECT_EQ(listener.dids.size(), 3) << "its own delegate hears instead";
}

TEST(MiniControl, ThemeColoursScaleByTheClusterAlpha)
{
    EXPECT_FALSE(ZQMiniControl::miniControlThemeColorWithAlpha(6, 1).isValid());
    EXPECT_NEAR(ZQMiniControl::miniControlThemeColorWithAlpha(0, 1).alphaF(), 0.33, 0.005);
    EXPECT_NEAR(ZQMiniControl::miniControlThemeColorWithAlpha(5, 0.5).alphaF(), 0.335, 0.005);
    EXPECT_EQ(ZQMiniControl::miniControlThemeColorWithAlpha(1, 1).alphaF(), 1.0f);

    ZQMiniControl loose(QRectF(0, 0, 5, 5));
    EXPECT_EQ(loose.themeColour(1).alphaF(), 0.0f) << "no cluster, no alpha";
    auto cluster = std::make_shared<ZQMiniControlCluster>();
    auto member = makeMiniControl<ZQMiniControl>(cluster.get(), QRectF(0, 0, 5, 5));
    cluster->setAlpha(0.5);
    EXPECT_NEAR(member->themeColour(1).alphaF(), 0.5, 1e-4);
}

TEST(MiniControlCluster, LastAddedWinsAndLinkedPartsReachEveryMember)
{
    auto cluster = std::make_shared<ZQMiniControlCluster>();
    auto below = makeMiniControl<Recorder>(cluster.get(), QRectF(0, 0, 50, 50));
    auto above = makeMiniControl<Recorder>(cluster.get(), QRectF(25, 25, 50, 50));
    cluster->addMiniControl(above);
    EXPECT_EQ(cluster->controls().size(), 2u) << "adding a member again is ignored";
    EXPECT_EQ(cluster->bounds(), QRectF(0, 0, 75, 75));

    EXPECT_EQ(cluster->hitTestPoint(QPointF(30, 30)), ZQMiniControl::kBodyPart);
    EXPECT_EQ(cluster->hitTarget(), above.get());
    EXPECT_EQ(cluster->hitTestPoint(QPointF(200, 200)), ZQMiniControl::kNoPart);
    EXPECT_EQ(cluster->hitTarget(), above.get()) << "a miss leaves the target";

    EXPECT_TRUE(cluster->mouseDownAt(QPointF(10, 10), -1, 0));
    EXPECT_TRUE(cluster->mouseDraggedAt(QPointF(12, 10), -1, 0));
    cluster->mouseUpAt(QPointF(12, 10), -1, 0);
    EXPECT_EQ(below->downs + below->drags + below->ups, 3);
    EXPECT_EQ(above->downs, 0);
    EXPECT_EQ(cluster->hitTarget(), nullptr);
    EXPECT_FALSE(cluster->mouseDraggedAt(QPointF(12, 10), -1, 0)) << "no target until the next press";
    EXPECT_FALSE(cluster->mouseDownAt(QPointF(300, 300), -1, 0));

    cluster->setLinkControlPartModifierKeyMask(ZQMiniControl::kBodyPart, OptionKeyMask);
    EXPECT_TRUE(cluster->mouseDownAt(QPointF(10, 10), -1, 0));
    cluster->mouseDraggedAt(QPointF(11, 10), -1, 0);
    cluster->mouseDraggedAt(QPointF(12, 10), -1, OptionKeyMask);
    cluster->mouseUpAt(QPointF(12, 10), -1, 0);
    EXPECT_EQ(above->downs, 1) << "the press on the linked part reaches every member";
    EXPECT_EQ(above->drags, 1) << "drags only with a modifier of the mask";
    EXPECT_EQ(below->drags, 3);
    EXPECT_EQ(above->ups, 1);

    cluster->forceVisible(false);
    EXPECT_FALSE(cluster->mouseDownAt(QPointF(10, 10), -1, 0)) << "a hidden cluster takes no press";
}

TEST(MiniControlCluster, RemovingAMemberDropsItsNameAndLink)
{
    auto cluster = std::make_shared<ZQMiniControlCluster>();
    auto nested = makeMiniControl<ZQMiniControlCluster>(cluster.get());
    auto dial = makeMiniControl<ZQMiniCircularSlider>(nested.get(), QRectF(0, 0, 60, 60));
    dial->setIdentifier(QStringLiteral("angle"));
    auto slider = makeMiniControl<ZQMiniSlider>(cluster.get(), QRectF(0, 70, 100, 20));
    slider->setIdentifier(QStringLiteral("opacity"));
    EXPECT_EQ(cluster->controlForKey(QStringLiteral("opacity")), slider.get());
    EXPECT_EQ(cluster->controlForKey(QStringLiteral("angle")), dial.get()) << "found in a member cluster";
    EXPECT_EQ(cluster->controlForKey(QStringLiteral("none")), nullptr);
    EXPECT_EQ(cluster->controlAtIndex(1), slider.get());
    EXPECT_EQ(cluster->controlAtIndex(2), nullptr);

    cluster->hitTestPoint(QPointF(50, 80));
    cluster->removeMiniControl(slider.get());
    EXPECT_EQ(cluster->controlForKey(QStringLiteral("opacity")), nullptr);
    EXPECT_EQ(slider->cluster(), nullptr);
    EXPECT_EQ(slider->view(), nullptr);
    EXPECT_EQ(cluster->hitTarget(), nullptr);
    EXPECT_EQ(cluster->controls().size(), 1u);

    QWidget host;
    cluster->setView(&host);
    EXPECT_EQ(dial->view(), &host) << "nested clusters share the host view";
}

TEST(MiniControlCluster, HidingFadesOverAFractionOfASecondAndShowingStopsIt)
{
    auto cluster = std::make_shared<ZQMiniControlCluster>();
    auto nested = makeMiniControl<ZQMiniControlCluster>(cluster.get());
    cluster->setVisible(false);
    EXPECT_TRUE(cluster->visible());
    RunLoop::runFor(66);
    EXPECT_TRUE(cluster->visible());
    EXPECT_GT(cluster->alpha(), 0.4);
    EXPECT_LT(cluster->alpha(), 0.7);
    EXPECT_EQ(nested->alpha(), cluster->alpha());
    RunLoop::runFor(100);
    EXPECT_FALSE(cluster->visible());
    EXPECT_FALSE(nested->visible());
    EXPECT_EQ(cluster->alpha(), 0.0);
    EXPECT_FALSE(cluster->isFading());

    cluster->setVisible(true);
    cluster->setVisible(false);
    RunLoop::runFor(40);
    cluster->setVisible(true);
    EXPECT_EQ(cluster->alpha(), 1.0);
    RunLoop::runFor(200);
    EXPECT_TRUE(cluster->visible()) << "the fade stopped";
    EXPECT_EQ(cluster->alpha(), 1.0);

    cluster->setVisible(false);
    RunLoop::runFor(40);
    cluster.reset(); // destroyed mid-fade
    RunLoop::runFor(200);
}

TEST(MiniSlider, KnobFollowsTheValueAndNarrowSlidersReadZero)
{
    auto cluster = std::make_shared<ZQMiniControlCluster>();
    auto slider = makeMiniControl<ZQMiniSlider>(cluster.get(), QRectF(10, 0, 120, 20));
    slider->setValue(0.5);
    const QSizeF knob = slider->knobRect().size();
    EXPECT_EQ(slider->knobRect().center(), QPointF(10 + 10 + 50, 10));
    EXPECT_EQ(slider->hitTestPoint(QPointF(70, 10)), ZQMiniControl::kKnobPart);
    EXPECT_EQ(slider->hitTestPoint(QPointF(25, 10)), ZQMiniControl::kBodyPart);
    EXPECT_EQ(slider->hitTestPoint(QPointF(5, 10)), ZQMiniControl::kNoPart);
    EXPECT_FALSE(knob.isEmpty());

    EXPECT_FALSE(cluster->mouseDownAt(QPointF(25, 10), -1, 0)) << "only the knob starts a drag";
    EXPECT_TRUE(cluster->mouseDownAt(QPointF(70, 10), -1, 0));
    cluster->mouseDraggedAt(QPointF(45, 10), -1, 0);
    EXPECT_DOUBLE_EQ(slider->value(), 0.25);
    cluster->mouseDraggedAt(QPointF(500, 10), -1, 0);
    EXPECT_EQ(slider->value(), 1.0);
    cluster->mouseUpAt(QPointF(500, 10), -1, 0);

    for (double width : {20.0, 12.0, 0.0}) {
        ZQMiniSlider narrow(QRectF(0, 0, width, 20));
        narrow.setValue(0.5);
        narrow.mouseDraggedAt(QPointF(15, 10), ZQMiniControl::kKnobPart, 0);
        EXPECT_EQ(narrow.value(), 0.0) << width;
        EXPECT_TRUE(std::isfinite(narrow.knobRect().x()));
    }
}

TEST(MiniCircularSlider, ShiftSnapsToFifteenDegreesAndTheFloaterShowsDegrees)
{
    QWidget host;
    host.resize(200, 200);
    auto cluster = std::make_shared<ZQMiniControlCluster>();
    cluster->setView(&host);
    auto dial = makeMiniControl<ZQMiniCircularSlider>(cluster.get(), QRectF(0, 0, 116, 100));
    EXPECT_EQ(dial->minValue(), -kPi);
    EXPECT_EQ(dial->circleBounds(), QRectF(16, 8, 84, 84));
    const QPointF centre = dial->circleBounds().center();

    ASSERT_TRUE(cluster->mouseDownAt(dial->knobRect().center(), -1, 0));
    EXPECT_TRUE(dial->isHighlighted());
    const auto dragTo = [&](double degrees, platform::ModifierFlags flags) {
        cluster->mouseDraggedAt(onCircle(centre, 42, degrees), -1, flags);
        return dial->value() * 180 / kPi;
    };
    EXPECT_NEAR(dragTo(-20, ShiftKeyMask), -15, 1e-4);
    EXPECT_TRUE(dial->showTickMarks());
    EXPECT_NEAR(dragTo(-25, ShiftKeyMask), -30, 1e-4);
    EXPECT_NEAR(dragTo(20, ShiftKeyMask), 15, 1e-4);
    EXPECT_NEAR(dragTo(-20, 0), -20, 1e-4);
    EXPECT_FALSE(dial->showTickMarks());
    EXPECT_EQ(dial->infoWindow()->format(), ZQMiniCircularSlider::kDegreesFormat);
    EXPECT_EQ(dial->infoWindow()->stringValue(), QStringLiteral("-20.0°"));
    cluster->mouseUpAt(onCircle(centre, 42, -20), -1, 0);
    EXPECT_FALSE(dial->isHighlighted());
    EXPECT_FALSE(dial->infoWindow()->isVisible());

    dial->setValue(-kPi / 2);
    ASSERT_TRUE(cluster->mouseDownAt(dial->knobRect().center(), -1, 0));
    EXPECT_EQ(dial->infoWindow()->stringValue(), QStringLiteral("-90.0°"));
    cluster->mouseUpAt(QPointF(), -1, 0);
    dial->setValue(kPi);
    ASSERT_TRUE(cluster->mouseDownAt(dial->knobRect().center(), -1, 0));
    EXPECT_EQ(dial->infoWindow()->stringValue(), QStringLiteral("180.0°"));
    cluster->mouseUpAt(QPointF(), -1, 0);
    dial->flagsChanged(ShiftKeyMask);
    EXPECT_TRUE(dial->showTickMarks());
}

TEST(MiniRadialControl2, RadiusAndTabAngleMoveTogetherWithinTheTabsRange)
{
    auto cluster = std::make_shared<ZQMiniControlCluster>();
    Listener listener;
    cluster->setDelegate(&listener);
    auto radial = makeMiniControl<ZQMiniRadialControl2>(cluster.get(), QRectF(0, 0, 300, 240));
    EXPECT_EQ(radial->maxValue(), 60);
    EXPECT_EQ(radial->ringRadius(), 48) << "until the bounds are set again";
    EXPECT_EQ(radial->centre(), QPointF(150, 120));

    radial->setRadius(20);
    EXPECT_FLOAT_EQ(radial->tabAngle(), float(20 / (60 * kPi) - kPi / 4));
    radial->setRadius(0);
    EXPECT_FLOAT_EQ(radial->tabAngle(), -float(kPi / 4));

    const float end = float(60 * kPi * (kPi / 2));
    listener.radii.clear();
    radial->setRadius(5000);
    EXPECT_FLOAT_EQ(radial->radius(), end);
    EXPECT_FLOAT_EQ(radial->tabAngle(), float(kPi / 4));
    ASSERT_EQ(listener.radii.size(), 2);
    EXPECT_EQ(listener.radii[0], 5000);
    EXPECT_FLOAT_EQ(float(listener.radii[1]), end);

    radial->setTabAngle(-1.0f);
    EXPECT_FLOAT_EQ(radial->radius(), 0) << "the angle is clamped to −45°";
    radial->setRadius(float(kNaN));
    EXPECT_EQ(radial->radius(), 0);

    radial->setMaxValue(0);
    radial->setRadius(30);
    EXPECT_EQ(radial->tabAngle(), ZQMiniRadialControl2::kMinimumTabAngle);
    EXPECT_TRUE(std::isfinite(radial->radius()));

    radial->setBounds(QRectF(0, 0, 300, 240));
    EXPECT_EQ(radial->ringRadius(), 40);
    radial->setRingRadiusScale(2);
    EXPECT_EQ(radial->ringRadius(), 80);
}

TEST(MiniRadialControl2, DraggingTheTabAndRingAndIgnoringCallsFromCallbacks)
{
    auto cluster = std::make_shared<ZQMiniControlCluster>();
    Listener listener;
    cluster->setDelegate(&listener);
    auto radial = makeMiniControl<ZQMiniRadialControl2>(cluster.get(), QRectF(0, 0, 300, 300));
    radial->setBounds(QRectF(0, 0, 300, 300)); // ring radius 50
    const QPointF centre = radial->centre();
    const QPointF onTab = radial->tabPath().boundingRect().center();
    EXPECT_EQ(radial->hitTestPoint(onTab), ZQMiniControl::kTabPart);
    EXPECT_EQ(radial->hitTestPoint(onCircle(centre, 50, 180)), ZQMiniControl::kIrisPart);
    EXPECT_EQ(radial->hitTestPoint(centre), ZQMiniControl::kNoPart);

    ASSERT_TRUE(cluster->mouseDownAt(onTab, -1, 0));
    cluster->mouseDraggedAt(onCircle(centre, 60, 0), -1, 0);
    EXPECT_NEAR(radial->tabAngle(), 0, 1e-6);
    EXPECT_FLOAT_EQ(radial->radius(), float(60 * kPi * kPi / 4));
    EXPECT_EQ(radial->infoWindow()->format(), ZQMiniRadialControl2::kRadiusFormat);
    cluster->mouseUpAt(onCircle(centre, 60, 0), -1, 0);

    // A delegate that sets the radius or centre back from its callback is not heard.
    listener.onRadius = [](ZQMiniRadialControl2* control) { control->setRadius(1); };
    listener.radii.clear();
    radial->setRadius(10);
    EXPECT_EQ(radial->radius(), 10) << "a radius within the tab's range is kept as it was set";
    EXPECT_EQ(listener.radii, QList<double>{10});

    ASSERT_TRUE(cluster->mouseDownAt(onCircle(centre, 50, 180), -1, 0));
    cluster->mouseDraggedAt(onCircle(centre, 50, 180) + QPointF(7, -3), -1, 0);
    cluster->mouseUpAt(QPointF(), -1, 0);
    EXPECT_EQ(radial->centre(), centre + QPointF(7, -3));
    EXPECT_EQ(listener.centres.last(), centre + QPointF(7, -3));
}

TEST(MiniRadialControls, TheTargetMovesTheCentreAndNotifiesOnlyChanges)
{
    auto cluster = std::make_shared<ZQMiniControlCluster>();
    Listener listener;
    cluster->setDelegate(&listener);
    auto target = makeMiniControl<ZQMiniRadialControls>(cluster.get(), QRectF(0, 0, 200, 200));
    EXPECT_EQ(target->targetRect(), QRectF(90, 90, 20, 20));
    EXPECT_EQ(target->rectForRadius(), QRectF(87.5, 87.5, 25, 25));
    EXPECT_EQ(target->hitTestPoint(QPointF(95, 105)), ZQMiniControl::kTargetPart);
    EXPECT_EQ(target->hitTestPoint(QPointF(50, 50)), ZQMiniControl::kNoPart);
    ASSERT_TRUE(cluster->mouseDownAt(QPointF(100, 100), -1, 0));
    cluster->mouseDraggedAt(QPointF(120, 60), -1, 0);
    cluster->mouseUpAt(QPointF(120, 60), -1, 0);
    EXPECT_EQ(target->centre(), QPointF(120, 60));
    target->setRadius(30);
    target->setRadius(30);
    target->setCentre(QPointF(kNaN, 0));
    EXPECT_EQ(listener.dids, (QVariantList{QVariant(), QVariant()}));
}

TEST(MiniControlCluster, DelegatesMayReleaseControlsAndClustersFromTheirCallbacks)
{
    auto cluster = std::make_shared<ZQMiniControlCluster>();
    Listener listener;
    cluster->setDelegate(&listener);
    std::weak_ptr<ZQMiniSlider> watched;
    {
        auto slider = makeMiniControl<ZQMiniSlider>(cluster.get(), QRectF(0, 0, 120, 20));
        watched = slider;
    }
    listener.onDid = [&](ZQMiniControl* control) { cluster->removeMiniControl(control); };
    ASSERT_TRUE(cluster->mouseDownAt(watched.lock()->knobRect().center(), -1, 0));
    cluster->mouseDraggedAt(QPointF(100, 10), -1, 0);
    EXPECT_TRUE(watched.expired()) << "released once the drag returned";
    EXPECT_FALSE(cluster->mouseDraggedAt(QPointF(90, 10), -1, 0));
    cluster->mouseUpAt(QPointF(90, 10), -1, 0);

    auto slider = makeMiniControl<ZQMiniSlider>(cluster.get(), QRectF(0, 0, 120, 20));
    std::weak_ptr<ZQMiniControlCluster> watchedCluster = cluster;
    listener.onDid = [&](ZQMiniControl*) { cluster.reset(); };
    ZQMiniControlCluster* raw = watchedCluster.lock().get();
    ASSERT_TRUE(raw->mouseDownAt(slider->knobRect().center(), -1, 0));
    raw->mouseDraggedAt(QPointF(100, 10), -1, 0);
    EXPECT_TRUE(watchedCluster.expired());
    EXPECT_EQ(slider->cluster(), nullptr);
}

TEST(MiniControlHost, RoutesTheWidgetsGesturesAndRedrawsThroughIt)
{
    QWidget view;
    view.resize(200, 120);
    auto cluster = std::make_shared<ZQMiniControlCluster>();
    auto* host = new ZQMiniControlHost(&view, cluster);
    auto slider = makeMiniControl<ZQMiniSlider>(cluster.get(), QRectF(20, 20, 120, 20));
    EXPECT_EQ(slider->view(), &view);
    view.show();

    const QPoint knob = slider->knobRect().center().toPoint();
    QTest::mousePress(&view, Qt::LeftButton, {}, knob);
    QMouseEvent drag(QEvent::MouseMove, QPointF(80, 30), QPointF(80, 30), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&view, &drag);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(80, 30));
    EXPECT_DOUBLE_EQ(slider->value(), 0.5);

    QImage image(200, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        host->draw(painter);
    }
    EXPECT_NE(image.pixelColor(80, 30), QColor(Qt::white)) << "the knob is drawn";
    EXPECT_EQ(image.pixelColor(5, 100), QColor(Qt::white));
}

#include "MiniControlsTests.moc"
