#pragma once

// The welcome window: an introduction (a still picture; no film ships, so nothing sends
// movieDidEnd), four large buttons opening the maker's pages through the help trampoline, and
// a box saying whether it opens at launch. Closing it may explain once how to reopen it.
// One per process, hidden rather than destroyed.
//
// "kTamsiverWillShowWelcomeVideoAtLaunch": open at launch; the box writes it, and the end of
// the movie clears it unless the user has clicked the box since the window was made.
// "kTamsiverShouldShowWelcomeVideoCloseAlert": explain on closing; the explanation's
// suppression box clears it. Closing posts "kTamsiverWelcomeVideoDismissed".

#include "platform/graphics/Gradient.h"
#include "platform/ui/WindowController.h"

class QCheckBox;
class QLabel;
class QPushButton;
class ZQSimpleHoverButtonView;

inline const QString kTamsiverWillShowWelcomeVideoAtLaunch = QStringLiteral("kTamsiverWillShowWelcomeVideoAtLaunch");
inline const QString kTamsiverShouldShowWelcomeVideoCloseAlert =
    QStringLiteral("kTamsiverShouldShowWelcomeVideoCloseAlert");
inline const QString kTamsiverWelcomeVideoDismissed = QStringLiteral("kTamsiverWelcomeVideoDismissed");

class TMSVVideoSplashController : public platform::WindowController {
    Q_OBJECT

public:
    static TMSVVideoSplashController* sharedVideoSplashController();
    static bool shouldDisplayWelcomeVideoAtLaunch();
    static const platform::Gradient& version2NormalGradient();
    static const platform::Gradient& version2HoverGradient();
    static const platform::Gradient& version2PressedGradient();

    TMSVVideoSplashController();

    // The box takes the launch default, then the window shows.
    Q_INVOKABLE void showWindow(QObject* sender = nullptr);
    Q_INVOKABLE void closeWindowAction(QObject* sender = nullptr);
    Q_INVOKABLE void showAtLaunchAction(QObject* sender = nullptr);
    // A button whose represented object is a URL opens it; anything else is ignored.
    Q_INVOKABLE void webResourceActionWithTagOfSender(QObject* sender);
    Q_INVOKABLE void movieDidEnd(QObject* sender = nullptr);
    void windowDidResignKey();

    QCheckBox* showAtLaunchBox();
    QPushButton* playButton();
    // The web-resource button with the tag (1 to 4); null for others.
    ZQSimpleHoverButtonView* webResourceButton(int tag);

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dismiss();

    QCheckBox* m_showAtLaunch = nullptr;
    QPushButton* m_playButton = nullptr;
    QLabel* m_movieView = nullptr;
    QList<ZQSimpleHoverButtonView*> m_webButtons;
    bool m_manualPreference = false;
};
