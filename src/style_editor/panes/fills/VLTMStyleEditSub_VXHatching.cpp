#include "style_editor/panes/fills/VLTMStyleEditSub_VXHatching.h"

#include "platform/vantrix/styles/VXHatching.h"
#include "style_editor/panes/strokes/DashMenu.h"
#include "style_editor/panes/strokes/PaneDashEditing.h"
#include "style_editor/panes/strokes/StrokeLineRows.h"
#include "style_editor/panes/strokes/StrokeWidthMenu.h"

#include <QFormLayout>

VLTMStyleEditSub_VXHatching::VLTMStyleEditSub_VXHatching() = default;

VLTMStyleEditSub_VXHatching::~VLTMStyleEditSub_VXHatching() = default;

const QMetaObject* VLTMStyleEditSub_VXHatching::managedObjectClass() const
{
    return &VXHatching::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXHatching::table() const
{
    return {
        StylePaneRow::colour(QStringLiteral("colour"), tr("Colour")),
        StylePaneRow::length(QStringLiteral("width"), tr("Width"), 0, 50, 0.25),
        StylePaneRow::length(QStringLiteral("spacing"), tr("Spacing"), 0.1, 100, 0.5),
        StylePaneRow::number(QStringLiteral("leadInProportion"), tr("Lead-in"), 0, 1, 0.05),
        StylePaneRow::number(QStringLiteral("angleInDegrees"), tr("Angle"), -180, 180, 5),
        StylePaneRow::number(QStringLiteral("roughness"), tr("Roughness"), 0, 1, 0.05),
        StylePaneRow::number(QStringLiteral("wobblyness"), tr("Wobble"), 0, 1, 0.05),
        StylePaneRow::checkbox(QStringLiteral("angleIsRelativeToObject"), tr("Relative Angle")),
        strokerows::capRow(QStringLiteral("lineCapStyle")),
        strokerows::joinRow(QStringLiteral("lineJoinStyle")),
    };
}

void VLTMStyleEditSub_VXHatching::addCustomControls(QFormLayout& form)
{
    m_widthMenu = StrokeWidthMenu::addToWidthRow(*this, QStringLiteral("width"));
    m_dashMenu = DashMenu::addToForm(*this, form, QStringLiteral("dash"), [this] { m_dashEditing->openDashEditor(); });
    m_dashEditing = std::make_unique<PaneDashEditing>(*this, *m_dashMenu, false);
}

void VLTMStyleEditSub_VXHatching::changeUnitsConversionFactorToWithUnits(double factor, const QString& units)
{
    StyleTablePane::changeUnitsConversionFactorToWithUnits(factor, units);
    initialiseStrokeWidthMenu(widthMenu()->widthMenu());
}

void VLTMStyleEditSub_VXHatching::observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value)
{
    if (keyPath == QLatin1String("width"))
        widthMenu()->selectWidth(value.toDouble());
}

void VLTMStyleEditSub_VXHatching::setDash(const QVariant& dash)
{
    dashMenu()->selectDash(dash.value<VXStrokeDashPtr>());
}

void VLTMStyleEditSub_VXHatching::setCustomStates(bool mayEdit)
{
    m_widthMenu->setEnabled(mayEdit);
    m_dashMenu->setEnabled(mayEdit);
}

const platform::DisplayBindings& VLTMStyleEditSub_VXHatching::displayBindings() const
{
    using Self = VLTMStyleEditSub_VXHatching;
    static const auto bindings = platform::DisplayBindings(StyleTablePane::displayBindings())
        .bind(QStringLiteral("dash"), &Self::setDash);
    return bindings;
}
