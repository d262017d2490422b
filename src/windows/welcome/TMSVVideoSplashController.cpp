#include "windows/welcome/TMSVVideoSplashController.h"

#include "app/application/VLTMHelpTrampoline.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "widgets/buttons/ZQSimpleHoverButtonView.h"
#include "widgets/paint/KitImage.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

struct WebResource {
    int tag;
    const char* image;
    const char* link;
    const char* toolTip;
};

// The maker's pages; the site has no host here, so the paths open the help book's copies.
const WebResource kWebResources[] = {
    {1, "VL_Welcome-video", "/quorvane/get-started/", QT_TRANSLATE_NOOP("TMSVVideoSplashController", "Get Started")},
    {2, "VL_Welcome-tutorials 3", "/quorvane/tutorials/", nullptr},
    {3, "VL_Welcome-forum 4", "/forums/forum/quorvane/", nullptr},
    {4, "VL_Welcome-help", "/quorvane/guides/", nullptr},
};

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

QColor white(double level)
{
    return QColor::fromRgbF(float(level), float(level), float(level), 1.0f);
}

} // namespace

TMSVVideoSplashController* TMSVVideoSplashController::sharedVideoSplashController()
{
    static TMSVVideoSplashController* const shared = new TMSVVideoSplashController;
    return shared;
}

bool TMSVVideoSplashController::shouldDisplayWelcomeVideoAtLaunch()
{
    return defaults().boolForKey(kTamsiverWillShowWelcomeVideoAtLaunch);
}

const platform::Gradient& TMSVVideoSplashController::version2NormalGradient()
{
    static const platform::Gradient gradient(white(0.175), white(0.133));
    return gradient;
}

const platform::Gradient& TMSVVideoSplashController::version2HoverGradient()
{
    static const platform::Gradient gradient(white(0.2), white(0.3));
    return gradient;
}

const platform::Gradient& TMSVVideoSplashController::version2PressedGradient()
{
    static const platform::Gradient gradient(white(0.09), white(0.125));
    return gradient;
}

TMSVVideoSplashController::TMSVVideoSplashController()
{
    initWithWindowNibName(QStringLiteral("QuorvaneSplashVideo(V2)"));
}

QWidget* TMSVVideoSplashController::loadWindow()
{
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setAttribute(Qt::WA_QuitOnClose, false);
    window->setWindowTitle(tr("Welcome To Quorvane"));
    // Only the window and its own texts: the close explanation, a child, keeps the usual look.
    window->setObjectName(QStringLiteral("welcome"));
    window->setStyleSheet(QStringLiteral("QWidget#welcome { background: #1e1e1e; }"));

    m_movieView = new QLabel(window);
    m_movieView->setPixmap(QPixmap::fromImage(imageNamed(QStringLiteral("VL_Welcome-still")).imageOfSize(QSizeF(480, 270), window->devicePixelRatioF())));
    m_movieView->setAlignment(Qt::AlignCenter);
    m_playButton = new QPushButton(tr("Play"), window);
    m_playButton->hide();
    auto* intro = new QLabel(tr("Draw maps with tracks, symbols, labels, grids and scale bars. Start here:"), window);
    intro->setWordWrap(true);
    intro->setStyleSheet(QStringLiteral("color: #dddddd;"));

    auto* buttons = new QGridLayout;
    for (const WebResource& resource : kWebResources) {
        auto* button = new ZQSimpleHoverButtonView(window);
        button->setObjectName(QStringLiteral("webResource%1").arg(resource.tag));
        button->setFixedSize(112, 84);
        m_webButtons.append(button);
        buttons->addWidget(button, 0, resource.tag - 1);
    }
    m_showAtLaunch = new QCheckBox(tr("Show this window when Quorvane opens"), window);
    m_showAtLaunch->setStyleSheet(QStringLiteral("color: #dddddd;"));
    auto* close = new QPushButton(tr("Close"), window);

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(m_movieView);
    layout->addWidget(m_playButton, 0, Qt::AlignHCenter);
    layout->addWidget(intro);
    layout->addLayout(buttons);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_showAtLaunch);
    bottom->addStretch();
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(close, &QPushButton::clicked, this, [this] { closeWindowAction(); });
    connect(m_showAtLaunch, &QCheckBox::clicked, this, [this] { showAtLaunchAction(m_showAtLaunch); });
    window->installEventFilter(this);
    return window;
}

void TMSVVideoSplashController::windowDidLoad()
{
    for (int i = 0; i < m_webButtons.size(); ++i) {
        const WebResource& resource = kWebResources[i];
        ZQSimpleHoverButtonView* button = m_webButtons[i];
        button->setTag(resource.tag);
        button->setTarget(this);
        button->setAction("webResourceActionWithTagOfSender");
        button->setRepresentedObject(QUrl(QString::fromLatin1(resource.link)));
        button->setContentImage(imageNamed(QString::fromLatin1(resource.image)).imageOfSize(QSizeF(64, 64), button->devicePixelRatioF()));
        if (resource.toolTip)
            button->setToolTip(tr(resource.toolTip));
        button->setNormalGradient(version2NormalGradient());
        button->setHoverGradient(version2HoverGradient());
        button->setPressedGradient(version2PressedGradient());
    }
    m_showAtLaunch->setChecked(shouldDisplayWelcomeVideoAtLaunch());
    window()->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window()->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window()->move(frame.topLeft());
    }
}

bool TMSVVideoSplashController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window()) {
        // The title bar's close button (a spontaneous close) closes as the window's own button
        // does; a close the application sends, as it quits, just closes.
        if (event->type() == QEvent::Close && event->spontaneous()) {
            event->ignore();
            closeWindowAction();
            return true;
        }
        if (event->type() == QEvent::WindowDeactivate)
            windowDidResignKey();
    }
    return platform::WindowController::eventFilter(watched, event);
}

QCheckBox* TMSVVideoSplashController::showAtLaunchBox()
{
    window();
    return m_showAtLaunch;
}

QPushButton* TMSVVideoSplashController::playButton()
{
    window();
    return m_playButton;
}

ZQSimpleHoverButtonView* TMSVVideoSplashController::webResourceButton(int tag)
{
    window();
    return tag >= 1 && tag <= m_webButtons.size() ? m_webButtons[tag - 1] : nullptr;
}

void TMSVVideoSplashController::showWindow(QObject* sender)
{
    showAtLaunchBox()->setChecked(shouldDisplayWelcomeVideoAtLaunch());
    platform::WindowController::showWindow(sender);
}

void TMSVVideoSplashController::showAtLaunchAction(QObject*)
{
    defaults().setBoolForKey(m_showAtLaunch->isChecked(), kTamsiverWillShowWelcomeVideoAtLaunch);
    m_manualPreference = true;
}

void TMSVVideoSplashController::webResourceActionWithTagOfSender(QObject* sender)
{
    const auto* button = qobject_cast<const ZQSimpleHoverButtonView*>(sender);
    const QVariant link = button ? button->representedObject() : QVariant();
    if (link.typeId() == QMetaType::QUrl)
        VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForURLString(link.toUrl().toString());
}

void TMSVVideoSplashController::movieDidEnd(QObject*)
{
    playButton()->show();
    if (m_manualPreference)
        return;
    m_showAtLaunch->setChecked(false);
    defaults().setBoolForKey(false, kTamsiverWillShowWelcomeVideoAtLaunch);
}

void TMSVVideoSplashController::closeWindowAction(QObject*)
{
    if (!defaults().boolForKey(kTamsiverShouldShowWelcomeVideoCloseAlert)) {
        dismiss();
        return;
    }
    platform::Alert alert = platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        tr("Showing “Welcome To Quorvane”"), tr("Close"), {}, {},
        tr("To show this window at any time, choose “Welcome To Quorvane” from the Help menu."));
    alert.setAlertStyle(platform::Alert::InformationalStyle);
    alert.setShowsSuppressionButton(true);
    const QPointer<TMSVVideoSplashController> self(this);
    alert.beginSheetModalForWindowCompletionHandler(window(), [self, alert](int) {
        defaults().setBoolForKey(!alert.suppressionButtonState(), kTamsiverShouldShowWelcomeVideoCloseAlert);
        if (self)
            self->dismiss();
    });
}

void TMSVVideoSplashController::dismiss()
{
    window()->hide();
    platform::NotificationCenter::defaultCenter().postNotificationName(kTamsiverWelcomeVideoDismissed, this);
}

void TMSVVideoSplashController::windowDidResignKey()
{
    for (ZQSimpleHoverButtonView* button : std::as_const(m_webButtons))
        button->setState(ZQSimpleHoverButtonView::NormalState);
}
