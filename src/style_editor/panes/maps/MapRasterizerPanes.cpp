#include "style_editor/panes/maps/MapRasterizerPanes.h"

#include "style_editor/panes/strokes/StrokeLineRows.h"
#include "style_editor/panes/strokes/StrokeSubclassPanes.h"
#include "style_editor/panes/strokes/StrokeWidthMenu.h"
#include "style_editor/panes/table/StylePaneRowControl.h"
#include "tracks/rasterizers/VXQBridgeRasterizer.h"
#include "tracks/rasterizers/VXQCuttingAndEmbankmentRasterizer.h"
#include "tracks/rasterizers/VXQTunnelRasterizer.h"

#include <QComboBox>

using Control = StylePaneRow::Control;

namespace {

const QString kWidthKey = QStringLiteral("width");

} // namespace

// --- Cutting and embankment ----------------------------------------------------------------------

const QMetaObject* VLTMStyleEditSub_VXQCuttingAndEmbankmentRasterizer::managedObjectClass() const
{
    return &VXQCuttingAndEmbankmentRasterizer::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXQCuttingAndEmbankmentRasterizer::table() const
{
    return {
        StylePaneRow::choice(Control::Segments, QStringLiteral("kind"), tr("Kind"),
                             {{tr("Cutting"), VXQCuttingAndEmbankmentRasterizer::kCutting},
                              {tr("Embankment"), VXQCuttingAndEmbankmentRasterizer::kEmbankment}}),
        StylePaneRow::colour(QStringLiteral("colour"), tr("Colour")),
        StylePaneRow::number(QStringLiteral("spacingProportion"), tr("Spacing"), 0.1, 10, 0.1),
        StylePaneRow::choice(Control::PopUp, QStringLiteral("taperFunction"), tr("Taper"), taperKindChoices()),
    };
}

void VLTMStyleEditSub_VXQCuttingAndEmbankmentRasterizer::observedValueForKeyDidChangeTo(const QString& keyPath,
                                                                                       const QVariant& value)
{
    // Older maps stored no taper as 0: it draws as a linear taper.
    if (keyPath == QLatin1String("taperFunction") && value.toInt() == 0) {
        QComboBox* popUp = rowControl(keyPath)->popUp();
        popUp->setCurrentIndex(popUp->findData(int(VXQTaperedStroke::kLinearTaper)));
    }
}

// --- Width menu panes ------------------------------------------------------------------------------

void StyleWidthMenuPane::addCustomControls(QFormLayout&)
{
    m_widthMenu = StrokeWidthMenu::addToWidthRow(*this, kWidthKey);
}

void StyleWidthMenuPane::setCustomStates(bool mayEdit)
{
    m_widthMenu->setEnabled(mayEdit && widthIsEditable());
}

void StyleWidthMenuPane::observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value)
{
    if (keyPath == kWidthKey)
        widthMenu()->selectWidth(value.toDouble());
}

// --- Tunnel ---------------------------------------------------------------------------------------------

const QMetaObject* VLTMStyleEditSub_VXQTunnelRasterizer::managedObjectClass() const
{
    return &VXQTunnelRasterizer::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXQTunnelRasterizer::table() const
{
    return {
        StylePaneRow::number(kWidthKey, tr("Width"), 0, 100, 0.25),
        StylePaneRow::colour(QStringLiteral("colour"), tr("Colour")),
        StylePaneRow::number(QStringLiteral("portalWidth"), tr("Portal Depth"), 0, 5, 0.1),
        StylePaneRow::number(QStringLiteral("portalHeight"), tr("Portal Width"), 0, 5, 0.1),
        strokerows::capRow(QStringLiteral("portalCapStyle"), tr("Portal Cap")),
        StylePaneRow::choice(Control::Segments, QStringLiteral("portalKind"), tr("Portal"),
                             {{tr("Flared"), VXQTunnelRasterizer::kFlaredPortal},
                              {tr("Square"), VXQTunnelRasterizer::kSquarePortal}}),
    };
}

// --- Bridge ------------------------------------------------------------------------------------------------

const QMetaObject* VLTMStyleEditSub_VXQBridgeRasterizer::managedObjectClass() const
{
    return &VXQBridgeRasterizer::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXQBridgeRasterizer::table() const
{
    const auto sizedByHand = [](StyleTablePane& pane) {
        return !pane.commonFlagForKeyPath(QStringLiteral("sizesAutomatically"));
    };
    return {
        StylePaneRow::number(kWidthKey, tr("Width"), 0, 100, 0.25).when(sizedByHand),
        StylePaneRow::colour(QStringLiteral("colour"), tr("Colour")),
        strokerows::capRow(QStringLiteral("lineCapStyle")),
        strokerows::joinRow(QStringLiteral("lineJoinStyle")),
        StylePaneRow::checkbox(QStringLiteral("sizesAutomatically"), tr("Size Automatically")),
        StylePaneRow::number(QStringLiteral("bridgeWidth"), tr("Bridge Width"), 0, 100, 0.25).when(sizedByHand),
        StylePaneRow::number(QStringLiteral("pierSize"), tr("Pier Size"), 0, 50, 0.25).when(sizedByHand),
        StylePaneRow::number(QStringLiteral("pierSpacing"), tr("Pier Spacing"), 0, 200, 1).when(sizedByHand),
    };
}

bool VLTMStyleEditSub_VXQBridgeRasterizer::widthIsEditable()
{
    return !commonFlagForKeyPath(QStringLiteral("sizesAutomatically"));
}
