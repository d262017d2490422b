#pragma once

// The controls the grid settings panes are built from. Each sends its action, by name, to
// the pane when the user changes it; what the panes show through their display setters
// sends nothing.

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <utility>

class QAbstractButton;
class QCheckBox;
class QHBoxLayout;
class QObject;
class QRadioButton;
class QWidget;
class ZQScrollwheelStepper;

namespace platform {
class ColourWell;
}

namespace furniture {

// Fields of unsigned values take no sign.
enum class NumberSign { Any, NonNegative };

// A number field with its stepper. Its range is wide open, so that what is typed (0, a
// negative or a huge number) reaches the model, whose setters clamp it; the field then
// shows what the model kept. Return, leaving the field and each step send the action; Return
// goes no further (it ends no sheet).
ZQScrollwheelStepper* makeNumberField(int decimals, double step, NumberSign sign, QObject* target,
                                      const QByteArray& action);

// Sends the action when the user clicks the button (a check box, a radio button).
void sendActionOnClick(QAbstractButton* button, QObject* target, const QByteArray& action);

QCheckBox* makeCheckbox(const QString& title, QObject* target, const QByteArray& action);

// Two radio buttons that exclude each other (their group belongs to `owner`), both sending
// the action: the sender tells which was chosen.
std::pair<QRadioButton*, QRadioButton*> makeRadioPair(const QString& first, const QString& second, QWidget* owner,
                                                     QObject* target, const QByteArray& action);

// Controls side by side from the left.
QHBoxLayout* makeRow(std::initializer_list<QWidget*> controls);

platform::ColourWell* makeColourWell(QObject* target, const QByteArray& action);

// Shows a value in a field without sending anything.
void showNumber(ZQScrollwheelStepper* field, double value);

} // namespace furniture
