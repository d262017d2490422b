#include "inspectors/panes/table/GeometryTablePane.h"

#include "inspectors/InspectedObjects.h"
#include "inspectors/geometry/VLTMGeometryPaneDelegate.h"
#include "inspectors/panes/table/GeometryRowControl.h"
#include "platform/foundation/Markers.h"
#include "platform/foundation/ZQUndoManager.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QToolButton>
#include <QLabel>
#include <QScopedValueRollback>
#include <QVBoxLayout>

namespace {

const QString kLocked = QStringLiteral("locked");

std::shared_ptr<platform::NumberFormatter> percentFormatter(GeometryPaneRow::Percentage percentage)
{
    auto formatter = std::make_shared<platform::NumberFormatter>();
    formatter->setNumberStyle(platform::NumberFormatter::Style::Percent);
    formatter->setMaximumFractionDigits(1);
    if (percentage == GeometryPaneRow::Percentage::Bounded) {
        formatter->setMinimum(0.1);
        formatter->setMaximum(4.0);
    }
    return formatter;
}

} // namespace

GeometryTablePane::GeometryTablePane() = default;

GeometryTablePane::~GeometryTablePane() = default;

QStringList GeometryTablePane::keyPathsOfInterest() const
{
    QStringList keyPaths;
    for (const GeometryPaneRow& row : table())
        keyPaths.append(row.keyPath);
    for (const QString& keyPath : customKeyPaths()) {
        if (!keyPaths.contains(keyPath))
            keyPaths.append(keyPath);
    }
    return keyPaths;
}

QStringList GeometryTablePane::propertiesExpressibleAsPercentage() const
{
    QStringList keys;
    for (const GeometryPaneRow& row : table()) {
        if (row.percentage != GeometryPaneRow::Percentage::None)
            keys.append(row.keyPath);
    }
    return keys;
}

VLTMGeometryPaneDelegate* GeometryTablePane::paneDelegate() const
{
    return dynamic_cast<VLTMGeometryPaneDelegate*>(dataSource());
}

GeometryRowControl* GeometryTablePane::rowControl(const QString& keyPath)
{
    if (!m_building)
        view();
    return m_rows.value(keyPath);
}

QWidget* GeometryTablePane::loadView()
{
    const QScopedValueRollback<bool> building(m_building, true);
    // A view made again (the old one went with its window) gets controls of its own.
    m_rows.clear();
    m_rowOrder.clear();
    auto* pane = new QWidget;
    pane->setObjectName(nibName());
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(6, 4, 6, 6);
    if (!paneTitle().isEmpty()) {
        auto* heading = new QHBoxLayout;
        heading->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(paneTitle().toHtmlEscaped()), pane));
        heading->addStretch();
        if (!helpIdentifier().isEmpty()) {
            auto* help = new QToolButton(pane);
            help->setText(QStringLiteral("?"));
            help->setToolTip(tr("Help"));
            connect(help, &QToolButton::clicked, this, [this] { showHelp(); });
            heading->addWidget(help);
        }
        layout->addLayout(heading);
    }
    auto* form = new QFormLayout;
    form->setContentsMargins(0, 0, 0, 0);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (GeometryPaneRow& row : table()) {
        auto* control = new GeometryRowControl(std::move(row), *this);
        control->setParent(pane);
        m_rows.insert(control->row().keyPath, control);
        m_rowOrder.append(control);
        // A checkbox carries its own label, so long ones do not widen the label column.
        if (control->row().control == GeometryPaneRow::Control::Checkbox)
            form->addRow(control->widget());
        else
            form->addRow(control->row().label, control->widget());
    }
    addCustomControls(*form);
    layout->addLayout(form);
    pane->adjustSize();
    for (GeometryRowControl* control : std::as_const(m_rowOrder))
        control->setControlsEnabled(false);
    return pane;
}

void GeometryTablePane::showHelp()
{
    inspectors::showHelpForIdentifier(helpIdentifier());
}

void GeometryTablePane::setValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    GeometryRowControl* control = rowControl(keyPath);
    if (keyPath == kLocked) {
        m_locked = value.typeId() == QMetaType::Bool && value.toBool();
        if (control)
            control->showValue(value);
        lockDidChange(m_locked, platform::isMultipleValuesMarker(value));
    } else if (control) {
        control->showValue(value, usedTagsForRow(control->row()));
    } else {
        VLTMGenericObjectController::setValueForKeyPath(value, keyPath);
        applyEnabling();
        return;
    }
    observedValueForKeyDidChangeTo(keyPath, value);
    applyEnabling();
}

QSet<int> GeometryTablePane::usedTagsForRow(const GeometryPaneRow& row)
{
    if (row.control != GeometryPaneRow::Control::PopUp)
        return {};
    if (row.choiceValues.isEmpty())
        return usedIntegerValuesForKeyPath(row.keyPath);
    QSet<int> used;
    for (const ZQObjectPtr& object : content()) {
        const qsizetype index = row.choiceValues.indexOf(object->valueForKeyPath(row.keyPath));
        if (index >= 0 && index < row.choices.size())
            used.insert(row.choices[index].second);
    }
    return used;
}

void GeometryTablePane::newObjectWasAssigned()
{
    applyLengthFormatters();
    VLTMGenericObjectController::newObjectWasAssigned();
}

void GeometryTablePane::writeRowValue(const GeometryPaneRow& row, const QVariant& value)
{
    if (!value.isValid() || !hasContent())
        return;
    setCommonValueForKeyPath(value, row.keyPath);
    nameUndoAction(row.undoName);
    if (hasContent())
        reloadDataForKeyPath(row.keyPath);
}

void GeometryTablePane::nameUndoAction(const QString& name)
{
    if (ZQUndoManager* undo = undoManager(); undo && !name.isEmpty())
        undo->setActionName(name);
}

bool GeometryTablePane::shouldSetValueOfObjectForKeyPath(QVariant&, ZQObject* object, const QString& keyPath)
{
    return keyPath == kLocked || !inspectors::objectIsLocked(*object);
}

void GeometryTablePane::applyEnabling()
{
    view();
    const bool mayEdit = hasContent();
    for (GeometryRowControl* control : std::as_const(m_rowOrder)) {
        const GeometryPaneRow& row = control->row();
        control->setControlsEnabled(mayEdit && (row.ignoresLock || !m_locked) && (!row.enabledWhen || row.enabledWhen(*this)));
    }
    setCustomEnabling(mayEdit && !m_locked);
}

void GeometryTablePane::setControlStateForNil()
{
    view();
    m_locked = false;
    for (GeometryRowControl* control : std::as_const(m_rowOrder))
        control->showValue(QVariant());
    applyEnabling();
}

std::shared_ptr<platform::NumberFormatter> GeometryTablePane::formatterForRow(const GeometryPaneRow& row)
{
    if (row.percentage != GeometryPaneRow::Percentage::None && propertyIsExpressedAsPercentage(row.keyPath))
        return percentFormatter(row.percentage);
    return dataSourceNumberFormatter();
}

void GeometryTablePane::applyLengthFormatters()
{
    view();
    for (GeometryRowControl* control : std::as_const(m_rowOrder)) {
        if (control->row().control == GeometryPaneRow::Control::Length)
            control->setFormatter(formatterForRow(control->row()));
    }
}

void GeometryTablePane::formatterChanged(const platform::Notification&)
{
    // Without a formatter for the units the fields keep the one they have.
    if (!dataSourceNumberFormatter())
        return;
    applyLengthFormatters();
    if (hasContent())
        reloadData();
}

void GeometryTablePane::changeUIStateForPercentageProperty(bool, const QString& key)
{
    if (GeometryRowControl* control = rowControl(key))
        control->setFormatter(formatterForRow(control->row()));
}

const platform::DisplayBindings& GeometryTablePane::displayBindings() const
{
    static const platform::DisplayBindings none;
    return none;
}
