#include "UiTestSupport.h"

#include "platform/ui/ModifierKeys.h"
#include "platform/ui/NumberFormat.h"
#include "platform/ui/ZQInfoFloater.h"
#include "platform/ui/ZQOneShotEffectTimer.h"

#include <QPointer>
#include <QScreen>
#include <cmath>
#include <gtest/gtest.h>

using platform::NumberFormat;

TEST(NumberFormatTest, PatternsSetDigitsAffixesAndScale)
{
    EXPECT_EQ(NumberFormat("0.0%").stringFromNumber(0.45), "45.0%");
    EXPECT_EQ(NumberFormat("0.0%").stringFromNumber(1), "100.0%");
    EXPECT_EQ(NumberFormat("0.0°").stringFromNumber(-90), "-90.0°");
    EXPECT_EQ(NumberFormat("0.0°").stringFromNumber(180), "180.0°");
    EXPECT_EQ(NumberFormat("0.0").stringFromNumber(2.26), "2.3");
    EXPECT_EQ(NumberFormat("#,##0.00").stringFromNumber(1234567.891), "1,234,567.89");
    EXPECT_EQ(NumberFormat("#,##0").stringFromNumber(999), "999");
    EXPECT_EQ(NumberFormat("0.##").stringFromNumber(3.1), "3.1");
    EXPECT_EQ(NumberFormat("0.##").stringFromNumber(3), "3");
    EXPECT_EQ(NumberFormat("000").stringFromNumber(7), "007");
    EXPECT_EQ(NumberFormat("#.00").stringFromNumber(0.5), ".50");
    EXPECT_EQ(NumberFormat("x 0 mm").stringFromNumber(12.6), "x 13 mm");
    EXPECT_EQ(NumberFormat("0.0").stringFromNumber(-0.01), "0.0"); // no minus on zero
    EXPECT_EQ(NumberFormat("0‰").stringFromNumber(0.0125), "13‰");
    EXPECT_EQ(NumberFormat("0.0").stringFromNumber(std::nan("")), "NaN");
    EXPECT_EQ(NumberFormat().stringFromNumber(2.5), "2.5");
}

TEST(InfoFloaterTest, ShowsFormattedValuesNearThePoint)
{
    QWidget view;
    view.resize(300, 200);
    uitest::activate(&view);
    std::unique_ptr<ZQInfoFloater> floater = ZQInfoFloater::infoFloater();
    floater->setFormat("0.0%");
    floater->setFloatValue(0.45f);
    EXPECT_EQ(floater->stringValue(), "45.0%");
    floater->setWindowOffset(QPoint(0, 0));
    floater->positionNearPointInView(QPointF(40, 30), &view);
    EXPECT_EQ(floater->pos(), view.mapToGlobal(QPoint(40, 30)));
    floater->show();
    EXPECT_TRUE(floater->testAttribute(Qt::WA_TransparentForMouseEvents));
    floater->orderOut(nullptr);
    EXPECT_FALSE(floater->isVisible());

    // Near the screen's corner it stays on the screen.
    const QRect screen = view.screen()->availableGeometry();
    floater->positionNearPointInView(view.mapFromGlobal(screen.bottomRight()), &view);
    EXPECT_TRUE(screen.contains(QRect(floater->pos(), floater->size())));
}

namespace {

class AnimatedView : public QObject {
    Q_OBJECT

public:
    QList<double> fractions;
    int completions = 0;
    bool dieHalfway = false;

    Q_INVOKABLE void oneShotHasReached(double fraction)
    {
        fractions << fraction;
        if (dieHalfway && fraction >= 0.5)
            delete this;
    }
    Q_INVOKABLE void oneShotComplete() { ++completions; }
};

} // namespace

TEST(OneShotTest, ReportsRisingFractionsEndingAtOneThenCompletesOnce)
{
    platform::RunLoop::runUntilIdle();
    AnimatedView view;
    QPointer<ZQOneShotEffectTimer> timer = ZQOneShotEffectTimer::oneShotWithTimeForDelegate(0.2, &view);
    platform::RunLoop::runFor(100);
    ASSERT_FALSE(view.fractions.isEmpty());
    EXPECT_NEAR(view.fractions.last(), 0.5, 0.1);
    EXPECT_EQ(view.completions, 0);
    platform::RunLoop::runFor(500);
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(std::is_sorted(view.fractions.begin(), view.fractions.end()));
    EXPECT_GE(view.fractions.first(), 0.0);
    EXPECT_GE(view.fractions.size(), 10);
    EXPECT_EQ(view.fractions.count(1.0), 1);
    EXPECT_EQ(view.fractions.last(), 1.0);
    EXPECT_EQ(view.completions, 1);
    EXPECT_TRUE(timer.isNull()); // gone by itself

    // Zero duration completes at the first frame.
    AnimatedView instant;
    ZQOneShotEffectTimer::oneShotWithTimeForDelegate(0, &instant);
    platform::RunLoop::runFor(ZQOneShotEffectTimer::kFrameInterval);
    EXPECT_EQ(instant.fractions, QList<double>{1.0});
    EXPECT_EQ(instant.completions, 1);

    // A dying delegate ends the effect; a delegate without the methods is simply not told.
    auto* doomed = new AnimatedView;
    doomed->dieHalfway = true;
    timer = ZQOneShotEffectTimer::oneShotWithTimeForDelegate(0.1, doomed);
    platform::RunLoop::runFor(300);
    EXPECT_TRUE(timer.isNull());
    QObject silent;
    ZQOneShotEffectTimer::oneShotWithTimeForDelegate(0.05, &silent);
    platform::RunLoop::runFor(100);
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(silent.findChildren<ZQOneShotEffectTimer*>().isEmpty());
}

TEST(ModifierKeysTest, OneTableMapsBothWays)
{
    using namespace platform;
    EXPECT_EQ(modifierFlagsFromQt(Qt::ControlModifier), ModifierFlags(CommandKeyMask));
    EXPECT_EQ(modifierFlagsFromQt(Qt::AltModifier | Qt::ShiftModifier), ModifierFlags(OptionKeyMask | ShiftKeyMask));
    EXPECT_EQ(modifierFlagsFromQt(Qt::MetaModifier), ModifierFlags(ControlKeyMask));
    EXPECT_EQ(modifierFlagsFromQt(Qt::KeypadModifier), ModifierFlags(0));
    const ModifierFlags all[] = {ShiftKeyMask, ControlKeyMask, OptionKeyMask, CommandKeyMask};
    for (int subset = 0; subset < 16; ++subset) {
        ModifierFlags mask = 0;
        for (int bit = 0; bit < 4; ++bit)
            if (subset & (1 << bit))
                mask |= all[bit];
        EXPECT_EQ(modifierFlagsFromQt(qtModifiersFromFlags(mask)), mask);
    }

    EXPECT_TRUE(isContextClick(Qt::RightButton, {}));
    EXPECT_TRUE(isContextClick(Qt::LeftButton, Qt::MetaModifier));
    EXPECT_FALSE(isContextClick(Qt::LeftButton, Qt::ControlModifier)); // Command-click is not
    EXPECT_FALSE(isContextClick(Qt::MiddleButton, Qt::MetaModifier));

    EXPECT_EQ(keySequenceForKeyEquivalent("y", CommandKeyMask), QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(keySequenceForKeyEquivalent("Y", CommandKeyMask), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Y));
    EXPECT_EQ(keySequenceForKeyEquivalent("m", 0), QKeySequence(Qt::Key_M));
    EXPECT_EQ(keySequenceForKeyEquivalent("=", CommandKeyMask | OptionKeyMask), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Equal));
    EXPECT_TRUE(keySequenceForKeyEquivalent("", CommandKeyMask).isEmpty());
}

#include "FloaterAndTimerTest.moc"
