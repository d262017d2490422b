#pragma once

// The widgets one row of an inspector table edits its value with, in one box: a number field
// with a stepper, a checkbox, a pop-up, a row of buttons, a line of text or a colour well.
// Subclasses bind them to a row's key path and decide what is shown and what a change writes;
// every control reports the user's change through rowAction, the stepper through stepperMoved.

#include "platform/ui/ColourWell.h"
#include "platform/ui/NumberFormatter.h"
#include "widgets/fields/SliderAndStepper.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class TableRowControl : public QObject {
    Q_OBJECT

public:
    using Choices = QList<QPair<QString, int>>;
    enum class ButtonStyle { Segments, Radio };

    ~TableRowControl() override;

    // The row's widgets in one box; owned by whoever lays it out.
    QWidget* widget() const { return m_widget; }
    void setControlsEnabled(bool enabled);

    // The widgets (null where the row has none).
    ZQAugmentedTextField* field() const { return m_field; }
    ZQStepper* stepper() const { return m_stepper; }
    QCheckBox* checkbox() const { return m_checkbox; }
    QComboBox* popUp() const { return m_popUp; }
    QButtonGroup* buttons() const { return m_buttons; }
    QLineEdit* textField() const { return m_text; }
    platform::ColourWell* colourWell() const { return m_well; }

    // The user changed the control (fields and wells send this as their action).
    Q_INVOKABLE virtual void rowAction(QObject* sender) = 0;

protected:
    TableRowControl();

    void addNumberControls(std::shared_ptr<platform::NumberFormatter> formatter, double minimum, double maximum,
                           double increment);
    void addCheckbox(const QString& title = {});
    void addPopUp(const Choices& choices);
    void addButtons(const Choices& choices, ButtonStyle style);
    // Sends rowAction only when the user typed something before leaving the field.
    void addTextField();
    void addColourWell();

    // The stepper moved to `value`, already shown in the field.
    virtual void stepperMoved(double value) = 0;

    // A number in the field and stepper, or an empty field (the stepper at 0) for none.
    void showNumber(std::optional<double> value);
    // Checks the button tagged `tag` and no other; none unchecks them all.
    void checkButtonTagged(std::optional<int> tag);

private:
    QPointer<QWidget> m_widget;
    QPointer<ZQAugmentedTextField> m_field;
    QPointer<ZQStepper> m_stepper;
    QPointer<QCheckBox> m_checkbox;
    QPointer<QComboBox> m_popUp;
    QPointer<QButtonGroup> m_buttons;
    QPointer<QLineEdit> m_text;
    QPointer<platform::ColourWell> m_well;
};
