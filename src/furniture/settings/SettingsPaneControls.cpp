#include "furniture/settings/SettingsPaneControls.h"

#include "platform/ui/Application.h"
#include "platform/ui/ColourWell.h"
#include "widgets/controls/ScrollwheelControls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRadioButton>
#include <QSignalBlocker>

namespace furniture {

namespace {

// Wide enough for anything a user types, narrow enough that the field's width stays sane.
constexpr double kWideOpen = 1e9;
constexpr int kFieldWidth = 90;

// Return commits the typed value and stays in the field: passed on, it would press the
// default button of the sheet the field is on and end the sheet mid-edit.
class NumberField : public ZQScrollwheelStepper {
protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        ZQScrollwheelStepper::keyPressEvent(event);
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            event->accept();
    }
};

} // namespace

ZQScrollwheelStepper* makeNumberField(int decimals, double step, NumberSign sign, QObject* target,
                                      const QByteArray& action)
{
    auto* field = new NumberField;
    field->setDecimals(decimals);
    field->setRange(sign == NumberSign::Any ? -kWideOpen : 0, kWideOpen);
    field->setSingleStep(step);
    field->setKeyboardTracking(false);
    field->setMaximumWidth(kFieldWidth);
    field->setTarget(target);
    field->setAction(action);
    QObject::connect(field, &QAbstractSpinBox::editingFinished, field, [field] { field->sendActionFrom(field); });
    return field;
}

void sendActionOnClick(QAbstractButton* button, QObject* target, const QByteArray& action)
{
    QObject::connect(button, &QAbstractButton::clicked, button, [button, target, action] {
        platform::Application::sendActionToFrom(action, target, button);
    });
}

QCheckBox* makeCheckbox(const QString& title, QObject* target, const QByteArray& action)
{
    auto* box = new QCheckBox(title);
    sendActionOnClick(box, target, action);
    return box;
}

std::pair<QRadioButton*, QRadioButton*> makeRadioPair(const QString& first, const QString& second, QWidget* owner,
                                                     QObject* target, const QByteArray& action)
{
    auto* group = new QButtonGroup(owner);
    const auto radio = [&](const QString& title) {
        auto* button = new QRadioButton(title);
        group->addButton(button);
        sendActionOnClick(button, target, action);
        return button;
    };
    return {radio(first), radio(second)};
}

QHBoxLayout* makeRow(std::initializer_list<QWidget*> controls)
{
    auto* row = new QHBoxLayout;
    for (QWidget* control : controls)
        row->addWidget(control);
    row->addStretch();
    return row;
}

platform::ColourWell* makeColourWell(QObject* target, const QByteArray& action)
{
    auto* well = new platform::ColourWell;
    well->setTarget(target);
    well->setAction(action);
    return well;
}

void showNumber(ZQScrollwheelStepper* field, double value)
{
    const QSignalBlocker quiet(field);
    field->setValue(value);
}

} // namespace furniture
