#pragma once

// The widgets of one table row, bound to its key path: shows the component's value in them
// and writes what the user sets through the pane's common-value path. Typed text that does
// not read as a finite number writes nothing and the field shows the value again.

#include "style_editor/panes/table/StylePaneRow.h"

#include <QObject>
#include <QPointer>
#include <QComboBox>
#include <QCheckBox>
#include <QButtonGroup>
#include "widgets/fields/ZQAugmentedTextField.h"
#include "widgets/fields/SliderAndStepper.h"
#include "platform/ui/ColourWell.h"

class QAbstractButton;
class QWidget;

class StylePaneRowControl : public QObject {
    Q_OBJECT

public:
    StylePaneRowControl(StylePaneRow row, StyleTablePane& pane);

    const StylePaneRow& row() const { return m_row; }
    // The row's widgets in one box; owned by whoever lays it out.
    QWidget* widget() const { return m_widget; }

    void showValue(const QVariant& value);
    void setControlsEnabled(bool enabled);

    // The widgets, for the units formatter and for tests (null where the row has none).
    ZQAugmentedTextField* field() const { return m_field; }
    ZQStepper* stepper() const { return m_stepper; }
    platform::ColourWell* colourWell() const { return m_well; }
    QCheckBox* checkbox() const { return m_checkbox; }
    QComboBox* popUp() const { return m_popUp; }
    QButtonGroup* buttons() const { return m_buttons; }

    // The user changed the control (fields and wells send this as their action).
    Q_INVOKABLE void rowAction(QObject* sender);

private:
    void makeNumberControls();
    void makeChoiceControls();
    void write(const QVariant& value);
    void writeNumberFromField();

    StylePaneRow m_row;
    StyleTablePane& m_pane;
    QPointer<QWidget> m_widget;
    QPointer<ZQAugmentedTextField> m_field;
    QPointer<ZQStepper> m_stepper;
    QPointer<platform::ColourWell> m_well;
    QPointer<QCheckBox> m_checkbox;
    QPointer<QComboBox> m_popUp;
    QPointer<QButtonGroup> m_buttons;
    double m_shownNumber = 0;
};
