#include "style_editor/panes/table/StyleTablePane.h"

#include "style_editor/panes/table/StylePaneRowControl.h"

#include <QFormLayout>
#include <QScopedValueRollback>

StyleTablePane::StyleTablePane() = default;

StyleTablePane::~StyleTablePane() = default;

QStringList StyleTablePane::keyPathsOfInterest() const
{
    QStringList keyPaths;
    for (const StylePaneRow& row : table())
        keyPaths.append(row.keyPath);
    return keyPathsOfInterestWith(keyPaths + customKeyPaths());
}

StylePaneRowControl* StyleTablePane::rowControl(const QString& keyPath)
{
    if (!m_buildingControls)
        view();
    return m_rows.value(keyPath);
}

QWidget* StyleTablePane::makeControls()
{
    const QScopedValueRollback<bool> building(m_buildingControls, true);
    auto* controls = new QWidget;
    auto* form = new QFormLayout(controls);
    form->setContentsMargins(0, 0, 0, 0);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    // A narrow panel puts a row's controls under its label rather than squeezing them.
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    for (StylePaneRow& row : table()) {
        auto* control = new StylePaneRowControl(std::move(row), *this);
        control->setParent(controls);
        m_rows.insert(control->row().keyPath, control);
        m_rowOrder.append(control);
        form->addRow(control->row().label, control->widget());
    }
    addCustomControls(*form);
    return controls;
}

void StyleTablePane::setValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    if (StylePaneRowControl* control = rowControl(keyPath)) {
        control->showValue(value);
        observedValueForKeyDidChangeTo(keyPath, value);
    } else {
        VLTMStyleComponentController::setValueForKeyPath(value, keyPath);
    }
    // A shown value may be what another row's enabling depends on.
    applyStates();
}

void StyleTablePane::setCommonValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    VLTMStyleComponentController::setCommonValueForKeyPath(value, keyPath);
    if (!content().isEmpty())
        reloadDataForKeyPath(keyPath);
}

void StyleTablePane::setStatesForLockEnabled(bool locked, bool enabled)
{
    m_shownLock = locked;
    m_shownEnabled = enabled;
    applyStates();
}

void StyleTablePane::applyStates()
{
    view();
    const bool mayEdit = controlsMayEdit();
    for (StylePaneRowControl* control : std::as_const(m_rowOrder)) {
        const StylePaneRow& row = control->row();
        control->setControlsEnabled(mayEdit && (!row.enabledWhen || row.enabledWhen(*this)));
    }
    setCustomStates(mayEdit);
}

void StyleTablePane::changeUnitsConversionFactorToWithUnits(double factor, const QString& units)
{
    view();
    for (StylePaneRowControl* control : std::as_const(m_rowOrder))
        if (control->row().control == StylePaneRow::Control::Length)
            updateFormatterForControlMultiplierDecimalPlacesSuffix(control->field(), factor, 2, units);
    for (QWidget* field : customLengthFields())
        updateFormatterForControlMultiplierDecimalPlacesSuffix(field, factor, 2, units);
}
