#include "inspectors/panes/VLTM_VXDrawableObjectController.h"

#include "inspectors/geometry/VLTMGeometryController.h"
#include "inspectors/panes/table/GeometryRowControl.h"
#include "platform/foundation/Markers.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <cmath>

namespace {

using Row = GeometryPaneRow;
using Option = VLTMGeometryController::InterfaceOption;

std::function<bool(GeometryTablePane&)> needs(Option option)
{
    return [option](GeometryTablePane& pane) {
        return static_cast<VLTM_VXDrawableObjectController&>(pane).hasOption(option);
    };
}

} // namespace

VLTM_VXDrawableObjectController::VLTM_VXDrawableObjectController() = default;

VLTM_VXDrawableObjectController::~VLTM_VXDrawableObjectController() = default;

const QMetaObject* VLTM_VXDrawableObjectController::managedObjectClass() const
{
    return &VXDrawableObject::staticMetaObject;
}

QString VLTM_VXDrawableObjectController::paneTitle() const
{
    return tr("Position and Size");
}

double VLTM_VXDrawableObjectController::shownAngle(double degrees)
{
    const double folded = std::fmod(degrees, 360.0);
    return folded > 180.0 ? folded - 360.0 : folded;
}

GeometryPaneTable VLTM_VXDrawableObjectController::placementRows()
{
    const QString changePosition = tr("Change Position");
    return {
        Row::length(QStringLiteral("xLocation"), tr("X:"), changePosition).when(needs(Option::kPositionOption)),
        Row::length(QStringLiteral("yLocation"), tr("Y:"), changePosition).when(needs(Option::kPositionOption)),
        Row::length(QStringLiteral("width"), tr("Width:"), tr("Change Width"), Row::Percentage::Bounded)
            .when(needs(Option::kSizeOption)),
        Row::length(QStringLiteral("height"), tr("Height:"), tr("Change Height"), Row::Percentage::Bounded)
            .when(needs(Option::kSizeOption)),
        Row::checkbox(QStringLiteral("visible"), tr("Visible")).when(needs(Option::kVisibleOption)),
        Row::checkbox(QStringLiteral("locked"), tr("Locked")).whateverTheLock().when(needs(Option::kLockOption)),
    };
}

GeometryPaneTable VLTM_VXDrawableObjectController::table() const
{
    GeometryPaneTable rows = placementRows();
    rows.insert(4, Row::number(QStringLiteral("angleInDegrees"), tr("Angle:"), -1e6, 1e6, 1, tr("Change Angle"))
                       .showing(&VLTM_VXDrawableObjectController::shownAngle)
                       .when(needs(Option::kAngleOption)));
    rows.append(Row::checkbox(QStringLiteral("aspectRatioLocked"), tr("Keep proportions")).when(needs(Option::kSizeOption)));
    return rows;
}

QStringList VLTM_VXDrawableObjectController::customKeyPaths() const
{
    return {QStringLiteral("style"), QStringLiteral("name")};
}

void VLTM_VXDrawableObjectController::addCustomControls(QFormLayout& form)
{
    m_sizePercentageCheckbox = new QCheckBox(tr("Size as percentage"));
    connect(m_sizePercentageCheckbox, &QCheckBox::clicked, this, [this](bool checked) { sizePercentageAction(checked); });
    form.addRow(QString(), m_sizePercentageCheckbox);
    m_styleInfoTextField = new QLabel;
    form.addRow(tr("Style:"), m_styleInfoTextField);
}

QCheckBox* VLTM_VXDrawableObjectController::sizePercentageCheckbox()
{
    view();
    return m_sizePercentageCheckbox;
}

QLabel* VLTM_VXDrawableObjectController::styleInfoTextField()
{
    view();
    return m_styleInfoTextField;
}

void VLTM_VXDrawableObjectController::setCustomEnabling(bool mayEdit)
{
    if (m_sizePercentageCheckbox)
        m_sizePercentageCheckbox->setEnabled(mayEdit && hasOption(Option::kSizeOption));
}

void VLTM_VXDrawableObjectController::setInterfaceOptions(quint32 options)
{
    m_options = options;
    applyEnabling();
}

void VLTM_VXDrawableObjectController::newObjectWasAssigned()
{
    GeometryTablePane::newObjectWasAssigned();
    if (VLTMGeometryPaneDelegate* delegate = paneDelegate())
        setInterfaceOptions(delegate->drawableControllerWantsInterfaceOptions(this));
    sizePercentageCheckbox()->setChecked(propertyIsExpressedAsPercentage(QStringLiteral("width")));
}

void VLTM_VXDrawableObjectController::sizePercentageAction(bool shown)
{
    setPropertyExpressedAsPercentage(QStringLiteral("width"), shown);
    setPropertyExpressedAsPercentage(QStringLiteral("height"), shown);
}

void VLTM_VXDrawableObjectController::changeUIStateForPercentageProperty(bool shownAsPercentage, const QString& key)
{
    GeometryTablePane::changeUIStateForPercentageProperty(shownAsPercentage, key);
    if (key == QLatin1String("width") && m_sizePercentageCheckbox)
        m_sizePercentageCheckbox->setChecked(shownAsPercentage);
}

void VLTM_VXDrawableObjectController::observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value)
{
    // Objects that differ in keeping their proportions show no checkbox rather than a guess.
    if (keyPath == QLatin1String("aspectRatioLocked"))
        rowControl(keyPath)->widget()->setVisible(!platform::isMultipleValuesMarker(value));
}

void VLTM_VXDrawableObjectController::setStyle(QObject* style)
{
    styleInfoTextField()->setText(style ? style->property("name").toString() : QString());
}

void VLTM_VXDrawableObjectController::setMixedValueForStyle()
{
    styleInfoTextField()->setText(tr("<multiple styles>"));
}

void VLTM_VXDrawableObjectController::setName(const QString& name)
{
    if (VLTMGeometryPaneDelegate* delegate = paneDelegate())
        delegate->setNameString(name);
}

void VLTM_VXDrawableObjectController::setMixedValueForName()
{
    if (VLTMGeometryPaneDelegate* delegate = paneDelegate())
        delegate->setNameString(tr("Multiple Selection"));
}

const platform::DisplayBindings& VLTM_VXDrawableObjectController::displayBindings() const
{
    using Self = VLTM_VXDrawableObjectController;
    static const auto bindings = platform::DisplayBindings(GeometryTablePane::displayBindings())
        .bind(QStringLiteral("style"), &Self::setStyle, &Self::setMixedValueForStyle)
        .bind(QStringLiteral("name"), &Self::setName, &Self::setMixedValueForName);
    return bindings;
}
