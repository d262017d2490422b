#include "style_editor/panes/strokes/VLTMStyleEditSub_VXStroke.h"

#include "platform/vantrix/styles/VXStroke.h"
#include "style_editor/panes/shadow/ShadowControls.h"
#include "style_editor/panes/strokes/DashMenu.h"
#include "style_editor/panes/strokes/PaneDashEditing.h"
#include "style_editor/panes/strokes/StrokeLineRows.h"
#include "style_editor/panes/strokes/StrokeWidthMenu.h"

#include <QFormLayout>

VLTMStyleEditSub_VXStroke::VLTMStyleEditSub_VXStroke() = default;

VLTMStyleEditSub_VXStroke::~VLTMStyleEditSub_VXStroke() = default;

const QMetaObject* VLTMStyleEditSub_VXStroke::managedObjectClass() const
{
    return &VXStroke::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXStroke::table() const
{
    return {
        StylePaneRow::length(QStringLiteral("width"), tr("Width"), 0, 100, 0.25),
        StylePaneRow::colour(QStringLiteral("colour"), tr("Colour")),
        strokerows::capRow(QStringLiteral("lineCapStyle")),
        strokerows::joinRow(QStringLiteral("lineJoinStyle")),
        StylePaneRow::length(QStringLiteral("lateralOffset"), tr("Offset"), -50, 50, 0.5),
        strokerows::clippingRow(QStringLiteral("clipping")),
    };
}

QStringList VLTMStyleEditSub_VXStroke::customKeyPaths() const
{
    return {QStringLiteral("dash"), QStringLiteral("shadow")};
}

void VLTMStyleEditSub_VXStroke::addCustomControls(QFormLayout& form)
{
    m_widthMenu = StrokeWidthMenu::addToWidthRow(*this, QStringLiteral("width"));

    m_dashMenu = DashMenu::addToForm(*this, form, QStringLiteral("dash"), [this] { m_dashEditing->openDashEditor(); });
    m_dashEditing = std::make_unique<PaneDashEditing>(*this, *m_dashMenu, true);

    m_shadowControls = new ShadowControls(*this);
    form.addRow(QString(), m_shadowControls);
}

void VLTMStyleEditSub_VXStroke::changeUnitsConversionFactorToWithUnits(double factor, const QString& units)
{
    StyleTablePane::changeUnitsConversionFactorToWithUnits(factor, units);
    initialiseStrokeWidthMenu(widthMenu()->widthMenu());
}

void VLTMStyleEditSub_VXStroke::observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value)
{
    if (keyPath == QLatin1String("width"))
        widthMenu()->selectWidth(value.toDouble());
}

void VLTMStyleEditSub_VXStroke::setDash(const QVariant& dash)
{
    dashMenu()->selectDash(dash.value<VXStrokeDashPtr>());
}

void VLTMStyleEditSub_VXStroke::setShadow(const QVariant& shadow)
{
    shadowControls()->showShadow(shadow);
}

void VLTMStyleEditSub_VXStroke::setCustomStates(bool mayEdit)
{
    m_widthMenu->setEnabled(mayEdit);
    m_dashMenu->setEnabled(mayEdit);
    m_shadowControls->setControlsEnabled(mayEdit);
}

const platform::DisplayBindings& VLTMStyleEditSub_VXStroke::displayBindings() const
{
    using Self = VLTMStyleEditSub_VXStroke;
    static const auto bindings = platform::DisplayBindings(StyleTablePane::displayBindings())
        .bind(QStringLiteral("dash"), &Self::setDash)
        .bind(QStringLiteral("shadow"), &Self::setShadow);
    return bindings;
}
