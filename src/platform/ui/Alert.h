#pragma once

// An alert: a message, informative text, up to three buttons and an optional suppression
// check box, on a QMessageBox.
//
// Buttons answer 1, 0 and -1 in the order they were added (the first is the default
// button; one titled "Cancel", or the only one, answers Escape); an alert without buttons
// gets "OK". An Alert is a handle: copies share one alert, so an end handler that captures
// a copy can still read the suppression state after the message box has gone.

#include "platform/foundation/QuorvaneError.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QAbstractButton;
class QCheckBox;
class QMessageBox;
class QWidget;

namespace platform {

class Alert {
public:
    enum Style { WarningStyle = 0, InformationalStyle = 1, CriticalStyle = 2 };
    using CompletionHandler = std::function<void(int returnCode)>;

    static constexpr int kDefaultReturn = 1;
    static constexpr int kAlternateReturn = 0;
    static constexpr int kOtherReturn = -1;

    Alert();
    ~Alert();
    Alert(const Alert&) = default;
    Alert& operator=(const Alert&) = default;

    // Empty titles add no button.
    static Alert alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        const QString& messageText, const QString& defaultButton, const QString& alternateButton,
        const QString& otherButton, const QString& informativeText);

    QString messageText() const;
    void setMessageText(const QString& text);
    QString informativeText() const;
    void setInformativeText(const QString& text);
    Style alertStyle() const;
    void setAlertStyle(Style style);

    QAbstractButton* addButtonWithTitle(const QString& title);
    QList<QAbstractButton*> buttons() const;
    // 1 - index: 1, 0, -1, -2 ...
    static int returnCodeForButtonIndex(int index) { return 1 - index; }

    bool showsSuppressionButton() const;
    void setShowsSuppressionButton(bool flag);
    // The check box, titled "Do not show this message again" unless retitled.
    QCheckBox* suppressionButton() const;
    // Whether the check box is ticked; still answers once the alert has ended.
    bool suppressionButtonState() const;

    // Runs the alert in its own event loop (never in tests) and answers the button's code.
    int runModal();
    // Opens the alert modal to `window` (to the application without one) and returns.
    void beginSheetModalForWindowCompletionHandler(QWidget* window, CompletionHandler handler);

    // The message box while it exists (it is deleted after the alert ends).
    QMessageBox* messageBox() const;

    // Shows the error's description with an OK button, modal to `window` (or the application),
    // and the reason it carries (see DocumentError) as the informative text. Work the user
    // stopped shows nothing.
    static void presentErrorModalForWindow(const QuorvaneError& error, QWidget* window);

private:
    struct State;
    std::shared_ptr<State> d;
};

} // namespace platform
