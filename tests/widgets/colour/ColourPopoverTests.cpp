#include "ColourTestSupport.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ColourPanel.h"
#include "widgets/colour/ColourExtras.h"
#include "widgets/colour/XQColorPickerPopover.h"
#include "widgets/colour/XQColorPickerPopoverView.h"
#include "widgets/colour/XQColorPickerViewController.h"
#include "widgets/colour/XQPopoverColorWell.h"

#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <thread>

using platform::ColourPanel;
using platform::RunLoop;

namespace {

struct Wells {
    Wells()
        : first(new XQPopoverColorWell(&window))
        , second(new XQPopoverColorWell(&window))
    {
        window.setGeometry(100, 100, 300, 200);
        first->setGeometry(10, 10, 44, 22);
        second->setGeometry(10, 60, 44, 22);
        for (XQPopoverColorWell* well : {first, second}) {
            well->setTarget(&recorder);
            well->setAction("takeColour");
        }
        first->setColor(QColor(10, 20, 30));
        second->setColor(QColor(200, 100, 50));
        window.show();
        ColourPanel::sharedColorPanel()->orderOut(nullptr);
    }
    ~Wells()
    {
        XQColorPickerPopover::sharedPopover()->close();
        platform::ColourWell::deactivateAll();
        ColourPanel* panel = ColourPanel::sharedColorPanel();
        panel->orderOut(nullptr);
        panel->takeBackContentView();
        EXPECT_FALSE(ColourPanel::isPanelDisabled());
    }

    static XQColorPickerPopover* popover() { return XQColorPickerPopover::sharedPopover(); }
    static ColourPanel* panel() { return ColourPanel::sharedColorPanel(); }

    ColourRecorder recorder;
    QWidget window;
    QPointer<XQPopoverColorWell> first;
    QPointer<XQPopoverColorWell> second;
};

// Drags the popover's content by `offset` from a point of its margin and lets go.
void dragPopover(QPoint offset)
{
    QWidget* root = Wells::popover()->contentWidget();
    const QPoint start(2, root->height() - 2);
    const auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons held) {
        QMouseEvent event(type, root->mapFromGlobal(QPointF(global)), QPointF(global), Qt::LeftButton, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(root, &event);
    };
    const QPoint from = root->mapToGlobal(start);
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(QEvent::MouseMove, from + offset / 2, Qt::LeftButton);
    send(QEvent::MouseMove, from + offset, Qt::LeftButton);
    EXPECT_EQ(Wells::popover()->shouldHideAnchor(), std::hypot(offset.x(), offset.y()) >= 50 ? 1 : 0);
    send(QEvent::MouseButtonRelease, from + offset, Qt::NoButton);
}

} // namespace

TEST(ColourPopover, MadeOnceOnTheMainThreadEvenWhenFirstAskedForConcurrently)
{
    std::vector<XQColorPickerPopover*> seen(6);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = XQColorPickerPopover::sharedPopover(); });
    for (std::thread& thread : threads)
        thread.join();
    for (XQColorPickerPopover* popover : seen)
        EXPECT_EQ(popover, XQColorPickerPopover::sharedPopover());
    EXPECT_EQ(XQColorPickerPopover::sharedPopover()->thread(), qApp->thread());
    EXPECT_EQ(XQColorPickerPopover::sharedPopover()->behavior(), platform::Popover::SemitransientBehavior);

    EXPECT_DOUBLE_EQ(luminance(QColor(0, 255, 0)), 0.587);
    EXPECT_DOUBLE_EQ(luminance(Qt::white), 1.0);
    for (int i = 0; i < 20; ++i) {
        const QColor random = randomColor();
        EXPECT_EQ(random.alpha(), 255);
        EXPECT_TRUE(random.isValid());
    }
}

TEST(ColourPopover, AWellEditsInThePopoverAtItsRightWithThePanelHidden)
{
    Wells w;
    w.first->setContinuous(false);
    QTest::mouseClick(w.first, Qt::LeftButton);
    ASSERT_TRUE(w.popover()->isShown());
    EXPECT_FALSE(w.panel()->isVisible());
    EXPECT_FALSE(ColourPanel::isPanelDisabled());
    EXPECT_TRUE(w.first->isActive());
    EXPECT_EQ(w.first->popover(), w.popover());
    EXPECT_EQ(w.popover()->colorWell(), w.first.data());
    EXPECT_GE(w.popover()->window()->x(), w.first->mapToGlobal(QPoint(w.first->width(), 0)).x());
    EXPECT_EQ(w.panel()->color(), QColor(10, 20, 30));
    EXPECT_TRUE(w.panel()->isContentLent());
    // The tab bar mirrors the panel's modes over the borrowed content.
    const auto controller = std::dynamic_pointer_cast<XQColorPickerViewController>(w.popover()->contentViewController());
    ASSERT_TRUE(controller);
    EXPECT_EQ(controller->tabbar()->items().size(), w.panel()->pickerModes().size());
    controller->tabbar()->selectIndex(1);
    controller->tabbar()->notify();
    EXPECT_EQ(w.panel()->selectedPickerMode(), w.panel()->pickerModes()[1].identifier);

    // Picks in the popover reach the well as the panel's active well; a standard close sends once.
    w.panel()->userDidPickColor(QColor(1, 2, 3));
    w.panel()->userDidPickColor(QColor(4, 5, 6));
    EXPECT_TRUE(w.recorder.colours.isEmpty());
    EXPECT_EQ(colourPanelColourDescription(), QStringLiteral("r: 4, g: 5, b: 6, a: 255"));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(w.popover()->contentWidget(), &escape);
    EXPECT_FALSE(w.popover()->isShown());
    EXPECT_FALSE(w.first->isActive());
    EXPECT_EQ(w.recorder.colours, QList<QColor>{QColor(4, 5, 6)});
    EXPECT_EQ(w.popover()->colorWell(), nullptr);
    EXPECT_FALSE(w.popover()->observingColor());

    // Clicking the well again opens it again; clicking it once more closes, sending once.
    QTest::mouseClick(w.first, Qt::LeftButton);
    EXPECT_TRUE(w.popover()->isShown());
    QTest::mouseClick(w.first, Qt::LeftButton);
    EXPECT_FALSE(w.popover()->isShown());
    EXPECT_FALSE(w.first->isActive());
    EXPECT_EQ(w.recorder.colours.size(), 2);
}

TEST(ColourPopover, TargetsGetChangesWhileShownAndShowingAgainKeepsThem)
{
    Wells w;
    ColourRecorder other;
    XQColorPickerPopover* popover = w.popover();
    popover->setColor(QColor(9, 9, 9)); // closed: kept for the next showing
    popover->setColor(QColor::fromRgbF(2.0f, 0, 0));
    EXPECT_EQ(popover->storedColor(), QColor(9, 9, 9));
    popover->setTarget(&other);
    popover->setAction("takeColour");
    popover->showRelativeToRectOfViewPreferredEdge(QRect(), w.first, platform::Popover::MaxXEdge);
    EXPECT_EQ(w.panel()->color(), QColor(9, 9, 9));
    w.panel()->userDidPickColor(QColor(50, 60, 70));
    EXPECT_EQ(other.colours, QList<QColor>{QColor(50, 60, 70)});
    EXPECT_EQ(other.lastSender, popover);

    popover->showRelativeToRectOfViewPreferredEdge(QRect(), w.second, platform::Popover::MaxXEdge);
    EXPECT_TRUE(popover->isShown());
    EXPECT_EQ(popover->target(), &other);
    EXPECT_EQ(popover->action(), QByteArray("takeColour"));
    w.panel()->userDidPickColor(QColor(80, 90, 100));
    EXPECT_EQ(other.colours.size(), 2);

    // A target without the action gets nothing.
    QObject mute;
    popover->setTarget(&mute);
    w.panel()->userDidPickColor(QColor(1, 1, 1));
    EXPECT_EQ(other.colours.size(), 2);
    popover->close();
    EXPECT_EQ(popover->target(), nullptr);
    EXPECT_TRUE(popover->action().isEmpty());
}

TEST(ColourPopover, ShowingForASecondWellClosesForTheFirst)
{
    Wells w;
    w.first->setContinuous(false);
    w.first->activateWithPopover();
    w.second->activateWithPopover();
    EXPECT_FALSE(w.first->isActive());
    EXPECT_EQ(w.recorder.colours.size(), 1); // the first heard of its close
    EXPECT_EQ(w.recorder.lastSender, w.first.data());
    EXPECT_TRUE(w.second->isActive());
    EXPECT_TRUE(w.popover()->isShown());
    EXPECT_EQ(w.popover()->colorWell(), w.second.data());
    EXPECT_EQ(w.panel()->activeWells(), QList<platform::ColourWell*>{w.second.data()});
    EXPECT_EQ(w.panel()->color(), QColor(200, 100, 50));

    // Deleted while the popover edits it: the popover closes and edits nothing.
    delete w.second;
    EXPECT_FALSE(w.popover()->isShown());
    EXPECT_EQ(w.popover()->colorWell(), nullptr);
    EXPECT_TRUE(w.panel()->activeWells().isEmpty());
}

TEST(ColourPopover, AShortDragSpringsBackALongOneTearsOffIntoThePanel)
{
    Wells w;
    QTest::mouseClick(w.first, Qt::LeftButton);
    QWidget* window = w.popover()->window();
    ASSERT_TRUE(window);
    const QPoint origin = window->pos();
    dragPopover(QPoint(49, 0));
    EXPECT_EQ(w.popover()->shouldHideAnchor(), 0);
    RunLoop::runFor(250);
    EXPECT_EQ(window->pos(), origin);
    EXPECT_TRUE(w.popover()->isShown());

    dragPopover(QPoint(30, 40)); // 50 points away
    EXPECT_EQ(w.popover()->shouldHideAnchor(), 0);
    EXPECT_FALSE(w.popover()->isShown());
    EXPECT_TRUE(w.panel()->isVisible());
    EXPECT_FALSE(w.panel()->isContentLent());
    EXPECT_TRUE(w.first->isActive()); // a detach changes nothing
    EXPECT_TRUE(w.recorder.colours.isEmpty());
    w.panel()->userDidPickColor(QColor(77, 88, 99));
    EXPECT_EQ(w.first->color(), QColor(77, 88, 99));
    EXPECT_EQ(w.recorder.colours, QList<QColor>{QColor(77, 88, 99)});
}

TEST(ColourPopover, WithThePanelUpAClickUsesItAndADoubleClickMovesToThePopover)
{
    Wells w;
    w.panel()->orderFront(nullptr);
    QTest::mouseClick(w.first, Qt::LeftButton);
    EXPECT_TRUE(w.first->isActive());
    EXPECT_FALSE(w.popover()->isShown());
    EXPECT_TRUE(w.panel()->isVisible());

    QTest::mouseDClick(w.first, Qt::LeftButton);
    EXPECT_TRUE(w.first->isActive());
    EXPECT_TRUE(w.popover()->isShown());
    EXPECT_FALSE(w.panel()->isVisible()); // hidden, every well deactivated, before the popover opened

    // Disabling the panel keeps it down whatever asks for it.
    ColourPanel::disablePanel();
    w.panel()->orderFront(nullptr);
    EXPECT_FALSE(w.panel()->isVisible());
    ColourPanel::enablePanel();
}

TEST(ColourPopover, WellsDrawTheirColourOverAChequerWhenTranslucent)
{
    XQPopoverColorWell well;
    well.resize(44, 22);
    const auto render = [&](const QColor& colour, int style) {
        well.setColor(colour);
        well.setColorWellStyle(style);
        QImage image(well.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        well.render(&image);
        return image;
    };
    // The swatch of the pop-up style starts 3 in; the disc of the round style is centred.
    const QImage opaque = render(QColor(0, 0, 255), XQPopoverColorWell::PopUpMenuStyle);
    EXPECT_EQ(opaque.pixelColor(8, 8), QColor(0, 0, 255));
    EXPECT_EQ(opaque.pixelColor(10, 9), QColor(0, 0, 255));
    const QImage clear = render(QColor(0, 0, 255, 0), XQPopoverColorWell::PopUpMenuStyle);
    EXPECT_NE(clear.pixelColor(5, 5), clear.pixelColor(9, 5)); // light and dark squares of the chequer
    const QImage round = render(QColor(0, 0, 255, 0), XQPopoverColorWell::RoundStyle);
    const QImage roundOpaque = render(QColor(0, 0, 255), XQPopoverColorWell::RoundStyle);
    EXPECT_EQ(roundOpaque.pixelColor(22, 11), QColor(0, 0, 255));
    EXPECT_NE(round.pixelColor(22, 11), QColor(0, 0, 255));
}
