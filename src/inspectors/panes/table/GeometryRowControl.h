#pragma once

// The widgets of one pane row, bound to its key path: shows the objects' common value (or the
// mixed state) and hands what the user sets to the pane. Typed text that does not read as a
// number in the field's formatter writes nothing, and the field shows the value again.

#include "inspectors/panes/table/GeometryPaneRow.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/NumberFormatter.h"
#include "widgets/fields/SliderAndStepper.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <memory>

class GeometryRowControl : public QObject {
    Q_OBJECT

public:
    GeometryRowControl(GeometryPaneRow row, GeometryTablePane& pane);

    const GeometryPaneRow& row() const { return m_row; }
    QWidget* widget() const { return m_widget; }

    // A value, the null value (no content), or a marker: mixed values show empty or mixed.
    // `usedTags` marks pop-up items.
    void showValue(const QVariant& value, const QSet<int>& usedTags = {});
    void setControlsEnabled(bool enabled);
    // The field's formatter (numbers and lengths).
    void setFormatter(std::shared_ptr<platform::NumberFormatter> formatter);

    // The widgets (null where the row has none).
    ZQAugmentedTextField* field() const { return m_field; }
    ZQStepper* stepper() const { return m_stepper; }
    QCheckBox* checkbox() const { return m_checkbox; }
    QComboBox* popUp() const { return m_popUp; }
    QButtonGroup* segments() const { return m_segments; }
    QLineEdit* textField() const { return m_text; }
    platform::ColourWell* colourWell() const { return m_well; }

    // The user changed the control.
    Q_INVOKABLE void rowAction(QObject* sender);

private:
    void makeNumberControls();
    void makeChoiceControls();
    void writeNumberFromField();
    void showNumber(const QVariant& value, bool known);

    GeometryPaneRow m_row;
    GeometryTablePane& m_pane;
    QPointer<QWidget> m_widget;
    QPointer<ZQAugmentedTextField> m_field;
    QPointer<ZQStepper> m_stepper;
    QPointer<QCheckBox> m_checkbox;
    QPointer<QComboBox> m_popUp;
    QPointer<QButtonGroup> m_segments;
    QPointer<QLineEdit> m_text;
    QPointer<platform::ColourWell> m_well;
    // The model value on show, to put back after text that does not read.
    QVariant m_shown;
};
