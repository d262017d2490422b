// The welcome window: the launch default against the movie's end and the user's own choice,
// the close explanation and its suppression, the web-resource buttons and the dismissal.

#include "app/application/VLTMHelpTrampoline.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "widgets/buttons/ZQSimpleHoverButtonView.h"
#include "windows/welcome/TMSVVideoSplashController.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>

namespace {

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

// Ends the explanation sheet on the welcome window, ticking its box when asked.
void endExplanation(QWidget* window, bool suppress)
{
    auto* box = window->findChild<QMessageBox*>();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), QStringLiteral("Showing “Welcome To Quorvane”"));
    EXPECT_EQ(box->icon(), QMessageBox::Information);
    box->checkBox()->setChecked(suppress);
    box->buttons().first()->click();
    platform::RunLoop::runUntilIdle();
}

// A close from the title bar's button, which the window system sends.
void closeFromTitleBar(QWidget* window)
{
    QCloseEvent close;
    QSpontaneKeyEvent::setSpontaneous(&close);
    QCoreApplication::instance()->notify(window, &close); // sendEvent would clear the flag
}

} // namespace

TEST(WelcomeWindowTest, MovieEndClearsTheLaunchDefaultUnlessTheUserChose)
{
    TMSVVideoSplashController welcome;
    defaults().setBoolForKey(true, kTamsiverWillShowWelcomeVideoAtLaunch);
    welcome.showWindow();
    EXPECT_TRUE(welcome.showAtLaunchBox()->isChecked());
    EXPECT_FALSE(welcome.playButton()->isVisible());
    welcome.movieDidEnd();
    EXPECT_FALSE(TMSVVideoSplashController::shouldDisplayWelcomeVideoAtLaunch());
    EXPECT_FALSE(welcome.showAtLaunchBox()->isChecked());
    EXPECT_TRUE(welcome.playButton()->isVisible());

    // Ticked by the user: the end of the movie leaves the choice alone.
    QTest::mouseClick(welcome.showAtLaunchBox(), Qt::LeftButton, {}, QPoint(4, welcome.showAtLaunchBox()->height() / 2));
    EXPECT_TRUE(TMSVVideoSplashController::shouldDisplayWelcomeVideoAtLaunch());
    welcome.movieDidEnd();
    EXPECT_TRUE(TMSVVideoSplashController::shouldDisplayWelcomeVideoAtLaunch());
    EXPECT_TRUE(welcome.showAtLaunchBox()->isChecked());
    welcome.window()->hide();
    defaults().removeObjectForKey(kTamsiverWillShowWelcomeVideoAtLaunch);
}

TEST(WelcomeWindowTest, ClosingExplainsUntilSuppressedAndAlwaysDismisses)
{
    TMSVVideoSplashController welcome;
    QObject listener;
    int dismissals = 0;
    platform::NotificationCenter::defaultCenter().addObserver(
        &listener, kTamsiverWelcomeVideoDismissed, &welcome, [&](const platform::Notification&) { ++dismissals; });
    defaults().setBoolForKey(true, kTamsiverShouldShowWelcomeVideoCloseAlert);

    welcome.showWindow();
    welcome.closeWindowAction();
    EXPECT_EQ(dismissals, 0); // not before the explanation ends
    endExplanation(welcome.window(), false);
    EXPECT_EQ(dismissals, 1);
    EXPECT_FALSE(welcome.window()->isVisible());
    EXPECT_TRUE(defaults().boolForKey(kTamsiverShouldShowWelcomeVideoCloseAlert));

    // The title bar's button closes the same way; the box ticked stops later explanations.
    welcome.showWindow();
    closeFromTitleBar(welcome.window());
    endExplanation(welcome.window(), true);
    EXPECT_EQ(dismissals, 2);
    EXPECT_FALSE(defaults().boolForKey(kTamsiverShouldShowWelcomeVideoCloseAlert));
    welcome.showWindow();
    welcome.closeWindowAction();
    EXPECT_EQ(welcome.window()->findChild<QMessageBox*>(), nullptr);
    EXPECT_EQ(dismissals, 3);
    EXPECT_FALSE(welcome.window()->isVisible());
    defaults().removeObjectForKey(kTamsiverShouldShowWelcomeVideoCloseAlert);
}

TEST(WelcomeWindowTest, QuittingClosesTheWindowWithoutExplaining)
{
    TMSVVideoSplashController welcome;
    defaults().setBoolForKey(true, kTamsiverShouldShowWelcomeVideoCloseAlert);
    welcome.showWindow();
    // Quitting closes every window as close() does; an ignored close would cancel the quit.
    EXPECT_TRUE(welcome.window()->close());
    EXPECT_FALSE(welcome.window()->isVisible());
    EXPECT_EQ(welcome.window()->findChild<QMessageBox*>(), nullptr);
    defaults().removeObjectForKey(kTamsiverShouldShowWelcomeVideoCloseAlert);
}

TEST(WelcomeWindowTest, WebButtonsOpenTheirPagesAndOthersAreIgnored)
{
    QList<QUrl> opened;
    VLTMHelpTrampoline::setExternalBrowser([&](const QUrl& url) {
        opened.append(url);
        return true;
    });
    VLTMHelpTrampoline::setOpensInExternalBrowser(true);
    TMSVVideoSplashController welcome;
    welcome.window();
    EXPECT_EQ(welcome.webResourceButton(1)->toolTip(), QStringLiteral("Get Started"));
    EXPECT_EQ(welcome.webResourceButton(5), nullptr);
    for (int tag = 1; tag <= 4; ++tag)
        welcome.webResourceActionWithTagOfSender(welcome.webResourceButton(tag));
    ASSERT_EQ(opened.size(), 4);
    EXPECT_TRUE(opened[0].path().endsWith(QStringLiteral("/site/quorvane/get-started/index.html")));
    EXPECT_TRUE(opened[2].path().endsWith(QStringLiteral("/site/forums/forum/quorvane/index.html")));

    ZQSimpleHoverButtonView stray;
    stray.setRepresentedObject(QStringLiteral("/quorvane/tutorials/"));
    welcome.webResourceActionWithTagOfSender(&stray);
    welcome.webResourceActionWithTagOfSender(nullptr);
    EXPECT_EQ(opened.size(), 4);

    welcome.webResourceButton(2)->setState(ZQSimpleHoverButtonView::HoveredState);
    welcome.windowDidResignKey();
    EXPECT_EQ(welcome.webResourceButton(2)->state(), int(ZQSimpleHoverButtonView::NormalState));
    VLTMHelpTrampoline::setOpensInExternalBrowser(false);
    VLTMHelpTrampoline::setExternalBrowser(nullptr);
}
