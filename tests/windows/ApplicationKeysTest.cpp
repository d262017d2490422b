// The application's own keys in every window: typed into the welcome window with only the tool
// palette beside it, into a map window (whose menu bar binds them) and into windows that bind
// a key themselves or are modal.

#include "../app/MapDocumentTestSupport.h"
#include "../platform/ui/UiTestSupport.h"
#include "app/application/ApplicationKeys.h"
#include "app/document/MapDocumentWindowController.h"
#include "platform/ui/Application.h"
#include "platform/ui/ResponderChain.h"
#include "windows/palettes/QVNToolsController.h"
#include "windows/welcome/TMSVVideoSplashController.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QScopeGuard>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Stands for the application delegate: writes down the commands it is asked for.
class RecordingDelegate : public QObject {
    Q_OBJECT

public:
    QStringList asked;
    Q_INVOKABLE void terminate(QObject*) { asked << "terminate"; }
    Q_INVOKABLE void newDocument(QObject*) { asked << "newDocument"; }
};

void typeInto(QWidget* window, QWidget* focus, int key)
{
    uitest::activate(window);
    focus->setFocus();
    QTest::keyClick(focus, Qt::Key(key & ~Qt::KeyboardModifierMask), Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
    platform::RunLoop::runUntilIdle();
}

} // namespace

TEST(ApplicationKeys, QuitAndNewReachTheApplicationFromEveryWindowOnceAndAWindowsOwnKeyStaysItsOwn)
{
    platform::ResponderChain::trackWindowActivation();
    ApplicationKeys keys;
    RecordingDelegate delegate;
    QObject* previous = platform::Application::delegate();
    platform::Application::setDelegate(&delegate);
    const auto restore = qScopeGuard([previous] { platform::Application::setDelegate(previous); });

    // No map: the welcome window and a tool palette, which takes no keys.
    QVNToolsController palette;
    palette.window()->show();
    TMSVVideoSplashController welcome;
    welcome.showWindow();
    typeInto(welcome.window(), welcome.showAtLaunchBox(), Qt::CTRL | Qt::Key_Q);
    EXPECT_EQ(delegate.asked, QStringList{"terminate"});
    typeInto(welcome.window(), welcome.showAtLaunchBox(), Qt::CTRL | Qt::Key_N);
    EXPECT_EQ(delegate.asked, (QStringList{"terminate", "newDocument"}));
    // Shown again, the window is not given its keys twice: still one answer per key.
    welcome.window()->hide();
    welcome.showWindow();
    typeInto(welcome.window(), welcome.showAtLaunchBox(), Qt::CTRL | Qt::Key_Q);
    EXPECT_EQ(delegate.asked.count("terminate"), 2);
    welcome.window()->hide();

    // A map window's File menu binds Quit: it answers, once, and nothing is ambiguous.
    const auto document = mapdocumenttest::newMapDocument();
    document->makeWindowControllers();
    QWidget* map = document->mapWindowController()->window();
    delegate.asked.clear();
    typeInto(map, map, Qt::CTRL | Qt::Key_Q);
    EXPECT_EQ(delegate.asked, QStringList{"terminate"});
    document->close();

    // A window that binds Ctrl+N itself keeps it; Ctrl+Q still reaches the application.
    QWidget own;
    auto* ownNew = new QAction(&own);
    ownNew->setShortcut(Qt::CTRL | Qt::Key_N);
    own.addAction(ownNew);
    int ownNews = 0;
    QObject::connect(ownNew, &QAction::triggered, [&] { ++ownNews; });
    delegate.asked.clear();
    typeInto(&own, &own, Qt::CTRL | Qt::Key_N);
    typeInto(&own, &own, Qt::CTRL | Qt::Key_Q);
    EXPECT_EQ(ownNews, 1);
    EXPECT_EQ(delegate.asked, QStringList{"terminate"});
    own.hide();

    // A modal window is answered first: its keys stay its own.
    QDialog modal;
    modal.setModal(true);
    modal.show();
    delegate.asked.clear();
    typeInto(&modal, &modal, Qt::CTRL | Qt::Key_Q);
    EXPECT_TRUE(delegate.asked.isEmpty());
    modal.hide();
}

#include "ApplicationKeysTest.moc"
