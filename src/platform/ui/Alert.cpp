#include "platform/ui/Alert.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/ui/DocumentError.h"
#include "platform/ui/Sheet.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace platform {

namespace {

// Reasons often come as fragments ("no space left on device"); an alert says a sentence.
QString asSentence(const QString& text)
{
    QString sentence = text.trimmed();
    if (sentence.isEmpty())
        return sentence;
    sentence[0] = sentence[0].toUpper();
    if (!QStringLiteral(".!?").contains(sentence.back()))
        sentence += QLatin1Char('.');
    return sentence;
}

} // namespace

struct Alert::State {
    State()
        : box(new QMessageBox)
    {
        box->setIcon(QMessageBox::Warning);
        box->setTextFormat(Qt::PlainText);
    }

    ~State()
    {
        // A box that was never shown has no other owner.
        if (box && !started)
            delete box;
    }

    void prepareButtons()
    {
        if (buttons.isEmpty())
            addButton(QObject::tr("OK"));
        box->setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
        QAbstractButton* escape = buttons.size() == 1 ? buttons.first() : nullptr;
        for (QAbstractButton* button : buttons)
            if (button->text() == QObject::tr("Cancel"))
                escape = button;
        box->setEscapeButton(escape);
        if (showsSuppression)
            box->setCheckBox(suppression());
    }

    QAbstractButton* addButton(const QString& title)
    {
        // Roles only place the buttons; the order of adding decides the codes.
        const auto role = buttons.isEmpty() ? QMessageBox::AcceptRole
                          : title == QObject::tr("Cancel") ? QMessageBox::RejectRole
                                                           : QMessageBox::ActionRole;
        QPushButton* button = box->addButton(title, role);
        buttons.append(button);
        return button;
    }

    QCheckBox* suppression()
    {
        if (!suppressionBox)
            suppressionBox = new QCheckBox(QObject::tr("Do not show this message again"), box);
        return suppressionBox;
    }

    int codeForClickedButton() const
    {
        const int index = int(buttons.indexOf(box->clickedButton()));
        return index < 0 ? kAlternateReturn : returnCodeForButtonIndex(index);
    }

    // Keeps what the handler may read once the box has gone.
    void finish()
    {
        suppressed = suppressionBox && suppressionBox->isChecked();
        box->deleteLater();
    }

    QPointer<QMessageBox> box;
    QList<QAbstractButton*> buttons;
    QPointer<QCheckBox> suppressionBox;
    bool showsSuppression = false;
    bool started = false;
    bool suppressed = false;
    Style style = WarningStyle;
};

Alert::Alert()
    : d(std::make_shared<State>())
{
}

Alert::~Alert() = default;

Alert Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
    const QString& messageText, const QString& defaultButton, const QString& alternateButton,
    const QString& otherButton, const QString& informativeText)
{
    Alert alert;
    alert.setMessageText(messageText);
    alert.setInformativeText(informativeText);
    for (const QString& title : {defaultButton, alternateButton, otherButton})
        if (!title.isEmpty())
            alert.addButtonWithTitle(title);
    return alert;
}

QString Alert::messageText() const
{
    return d->box ? d->box->text() : QString();
}

void Alert::setMessageText(const QString& text)
{
    d->box->setText(text);
}

QString Alert::informativeText() const
{
    return d->box ? d->box->informativeText() : QString();
}

void Alert::setInformativeText(const QString& text)
{
    d->box->setInformativeText(text);
}

Alert::Style Alert::alertStyle() const
{
    return d->style;
}

void Alert::setAlertStyle(Style style)
{
    d->style = style;
    d->box->setIcon(style == CriticalStyle        ? QMessageBox::Critical
                    : style == InformationalStyle ? QMessageBox::Information
                                                  : QMessageBox::Warning);
}

QAbstractButton* Alert::addButtonWithTitle(const QString& title)
{
    return d->addButton(title);
}

QList<QAbstractButton*> Alert::buttons() const
{
    return d->buttons;
}

bool Alert::showsSuppressionButton() const
{
    return d->showsSuppression;
}

void Alert::setShowsSuppressionButton(bool flag)
{
    d->showsSuppression = flag;
}

QCheckBox* Alert::suppressionButton() const
{
    return d->box ? d->suppression() : nullptr;
}

bool Alert::suppressionButtonState() const
{
    if (d->started && !d->box)
        return d->suppressed;
    return d->suppressionBox && d->suppressionBox->isChecked();
}

int Alert::runModal()
{
    ZQ_ASSERT(d->box && !d->started, QStringLiteral("an alert runs once"));
    d->started = true;
    d->prepareButtons();
    d->box->exec();
    const int code = d->codeForClickedButton();
    d->finish();
    return code;
}

void Alert::beginSheetModalForWindowCompletionHandler(QWidget* window, CompletionHandler handler)
{
    if (!ZQ_EXPECT(d->box && !d->started, QStringLiteral("an alert runs once")))
        return;
    d->started = true;
    d->prepareButtons();
    // The box ends by the button clicked, whatever code QMessageBox reports.
    Sheet::beginSheetModalForWindowCompletionHandler(d->box, window, [state = d, handler = std::move(handler)](int) {
        const int code = state->codeForClickedButton();
        state->finish();
        if (handler)
            handler(code);
    });
}

QMessageBox* Alert::messageBox() const
{
    return d->box;
}

void Alert::presentErrorModalForWindow(const QuorvaneError& error, QWidget* window)
{
    if (DocumentError::isUserCancelled(error))
        return;
    Alert alert;
    alert.setMessageText(error.localizedDescription());
    alert.setInformativeText(asSentence(DocumentError::failureReason(error)));
    alert.setAlertStyle(CriticalStyle);
    alert.beginSheetModalForWindowCompletionHandler(window, {});
}

} // namespace platform
