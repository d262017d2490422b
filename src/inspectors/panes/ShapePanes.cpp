#include "inspectors/panes/ShapePanes.h"

#include "platform/foundation/Markers.h"
#include "platform/vantrix/drawables/VXArcPath.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/drawables/VXRoundRectShape.h"
#include "widgets/controls/ZQRoundRectSelectorControl.h"

#include <QFormLayout>
#include <QLabel>

namespace {

using Row = GeometryPaneRow;

// A mixed choice counts as a star, so nothing a star needs is locked away.
bool showsStar(GeometryTablePane& pane)
{
    return pane.stateForKeyPath(QStringLiteral("isStar")) != 0;
}

} // namespace

// --- Regular polygons ---------------------------------------------------------------------------------

const QMetaObject* VLTM_VXRegularPolygonPathController::managedObjectClass() const
{
    return &VXRegularPolygonPath::staticMetaObject;
}

QString VLTM_VXRegularPolygonPathController::paneTitle() const
{
    return tr("Polygon and Star");
}

GeometryPaneTable VLTM_VXRegularPolygonPathController::table() const
{
    return {
        Row::number(QStringLiteral("numberOfSides"), tr("Sides:"), 3, 100).inWholeNumbers(),
        Row::length(QStringLiteral("radius"), tr("Radius:"), {}, Row::Percentage::Open),
        Row::number(QStringLiteral("innerRadius"), tr("Inner radius:"), 0, 1, 0.05).when(showsStar),
        Row::number(QStringLiteral("tipSpread"), tr("Tip spread:"), 0, 1, 0.05),
        Row::number(QStringLiteral("valleySpread"), tr("Valley spread:"), 0, 1, 0.05).when(showsStar),
        Row::choice(Row::Control::Segments, QStringLiteral("isStar"), QString(), {{tr("Star"), 1}, {tr("Polygon"), 0}}),
    };
}

// --- Arcs ----------------------------------------------------------------------------------------------

const QMetaObject* VLTM_VXArcPathController::managedObjectClass() const
{
    return &VXArcPath::staticMetaObject;
}

QString VLTM_VXArcPathController::paneTitle() const
{
    return tr("Arc");
}

GeometryPaneTable VLTM_VXArcPathController::table() const
{
    return {
        Row::length(QStringLiteral("radius"), tr("Radius:"), {}, Row::Percentage::Open),
        Row::number(QStringLiteral("subtendedAngle"), tr("Included angle:"), 0, 360),
    };
}

QStringList VLTM_VXArcPathController::customKeyPaths() const
{
    return {QStringLiteral("startAngle"), QStringLiteral("endAngle"), QStringLiteral("locked")};
}

void VLTM_VXArcPathController::addCustomControls(QFormLayout& form)
{
    m_anglesTextLabel = new QLabel;
    form.addRow(tr("Angles:"), m_anglesTextLabel);
}

QLabel* VLTM_VXArcPathController::anglesTextLabel()
{
    view();
    return m_anglesTextLabel;
}

void VLTM_VXArcPathController::setCustomEnabling(bool mayEdit)
{
    m_anglesTextLabel->setEnabled(mayEdit);
}

void VLTM_VXArcPathController::showAngles()
{
    const QVariant start = commonValueForKeyPath(QStringLiteral("startAngle"));
    const QVariant end = commonValueForKeyPath(QStringLiteral("endAngle"));
    if (platform::isMultipleValuesMarker(start) || platform::isMultipleValuesMarker(end) || content().isEmpty()) {
        anglesTextLabel()->clear();
        return;
    }
    const auto* arc = static_cast<const VXArcPath*>(content().last().get());
    anglesTextLabel()->setText(QString::asprintf("%.2f° - %.2f°", arc->startAngle(), arc->endAngle()));
}

// --- Straight lines ------------------------------------------------------------------------------------------

const QMetaObject* VLTM_VXDrawablePathController::managedObjectClass() const
{
    return &VXDrawablePath::staticMetaObject;
}

QString VLTM_VXDrawablePathController::paneTitle() const
{
    return tr("Line");
}

GeometryPaneTable VLTM_VXDrawablePathController::table() const
{
    return {Row::length(QStringLiteral("length"), tr("Length:"), {}, Row::Percentage::Bounded)};
}

// --- Round-cornered rectangles ---------------------------------------------------------------------------------

const QMetaObject* VLTM_VXRoundRectShapeController::managedObjectClass() const
{
    return &VXRoundRectShape::staticMetaObject;
}

QString VLTM_VXRoundRectShapeController::paneTitle() const
{
    return tr("Rounded Corners");
}

GeometryPaneTable VLTM_VXRoundRectShapeController::table() const
{
    return {Row::length(QStringLiteral("cornerRadius"), tr("Corner radius:"))};
}

QStringList VLTM_VXRoundRectShapeController::customKeyPaths() const
{
    return {QStringLiteral("cornerFlags"), QStringLiteral("locked")};
}

void VLTM_VXRoundRectShapeController::addCustomControls(QFormLayout& form)
{
    m_cornerControl = new ZQRoundRectSelectorControl;
    m_cornerControl->setTarget(this);
    m_cornerControl->setAction("cornerControlAction");
    form.insertRow(0, tr("Corners:"), m_cornerControl);
}

ZQRoundRectSelectorControl* VLTM_VXRoundRectShapeController::cornerControl()
{
    view();
    return m_cornerControl;
}

void VLTM_VXRoundRectShapeController::setCustomEnabling(bool mayEdit)
{
    m_cornerControl->setEnabled(mayEdit);
}

void VLTM_VXRoundRectShapeController::cornerControlAction(QObject*)
{
    setCommonValueForKeyPath(cornerControl()->corners(), QStringLiteral("cornerFlags"));
    if (!content().isEmpty())
        reloadDataForKeyPath(QStringLiteral("cornerFlags"));
}

void VLTM_VXRoundRectShapeController::setCornerFlags(int flags)
{
    cornerControl()->setCorners(flags);
    cornerControl()->setState(1);
}

void VLTM_VXRoundRectShapeController::setMixedValueForCornerFlags()
{
    cornerControl()->setCorners(15);
    cornerControl()->setState(ZQRoundRectSelectorControl::kMixedState);
}

const platform::DisplayBindings& VLTM_VXArcPathController::displayBindings() const
{
    using Self = VLTM_VXArcPathController;
    static const auto bindings = platform::DisplayBindings(GeometryTablePane::displayBindings())
        .bind(QStringLiteral("startAngle"), &Self::setStartAngle, &Self::setMixedValueForStartAngle)
        .bind(QStringLiteral("endAngle"), &Self::setEndAngle, &Self::setMixedValueForEndAngle);
    return bindings;
}

const platform::DisplayBindings& VLTM_VXRoundRectShapeController::displayBindings() const
{
    using Self = VLTM_VXRoundRectShapeController;
    static const auto bindings = platform::DisplayBindings(GeometryTablePane::displayBindings())
        .bind(QStringLiteral("cornerFlags"), &Self::setCornerFlags, &Self::setMixedValueForCornerFlags);
    return bindings;
}
