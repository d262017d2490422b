#include "style_editor/panes/groups/GroupPanes.h"

#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/styles/VXCIFilterTypeBlurGroup.h"
#include "platform/vantrix/styles/VXGloomGroup.h"
#include "platform/vantrix/styles/VXRepeatTransformGroup.h"
#include "style_editor/panes/strokes/StrokeLineRows.h"

#include <QFormLayout>
#include <QHBoxLayout>

// --- Repeat group ------------------------------------------------------------------------------------

const QMetaObject* VLTMStyleEditSub_VXRepeatTransformGroup::managedObjectClass() const
{
    return &VXRepeatTransformGroup::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXRepeatTransformGroup::table() const
{
    return {
        StylePaneRow::number(QStringLiteral("numberOfRepeats"), tr("Repeats"), 0,
                             VXRepeatTransformGroup::kMaximumNumberOfRepeats),
        StylePaneRow::length(QStringLiteral("deltaX"), tr("X Offset"), -1000, 1000),
        StylePaneRow::length(QStringLiteral("deltaY"), tr("Y Offset"), -1000, 1000),
        StylePaneRow::number(QStringLiteral("scaleX"), tr("X Scale"), 0.01, VXRepeatTransformGroup::kMaximumScale, 0.05),
        StylePaneRow::number(QStringLiteral("scaleY"), tr("Y Scale"), 0.01, VXRepeatTransformGroup::kMaximumScale, 0.05),
        StylePaneRow::angleInRadians(QStringLiteral("deltaAngle"), tr("Rotation")),
        StylePaneRow::checkbox(QStringLiteral("angleIsRelative"), tr("Relative Rotation")),
        StylePaneRow::checkbox(QStringLiteral("reversed"), tr("Reverse")),
    };
}

QStringList VLTMStyleEditSub_VXRepeatTransformGroup::customKeyPaths() const
{
    return StyleGroupPane::customKeyPaths() + QStringList{QStringLiteral("blendColour")};
}

void VLTMStyleEditSub_VXRepeatTransformGroup::addCustomControls(QFormLayout& form)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_blendCheckbox = new QCheckBox(row);
    connect(m_blendCheckbox, &QCheckBox::clicked, this, [this] { blendCheckboxAction(); });
    m_blendWell = new platform::ColourWell(row);
    m_blendWell->setTarget(this);
    m_blendWell->setAction("blendColourAction");
    layout->addWidget(m_blendCheckbox);
    layout->addWidget(m_blendWell);
    layout->addStretch();
    form.addRow(tr("Blend"), row);
}

void VLTMStyleEditSub_VXRepeatTransformGroup::setBlendColour(const QColor& colour)
{
    view();
    const bool blends = colour.isValid();
    m_blendCheckbox->setChecked(blends);
    m_blendWell->setColor(blends ? colour : QColor(Qt::transparent));
    if (blends)
        m_savedBlendColour = colour;
    setCustomStates(controlsMayEdit());
}

void VLTMStyleEditSub_VXRepeatTransformGroup::blendCheckboxAction()
{
    // Unticking writes no colour, so the copies stop blending; ticking brings the last one back.
    setCommonValueForKeyPath(m_blendCheckbox->isChecked() ? m_savedBlendColour : QColor(), QStringLiteral("blendColour"));
}

void VLTMStyleEditSub_VXRepeatTransformGroup::blendColourAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("blendColour"));
}

void VLTMStyleEditSub_VXRepeatTransformGroup::setCustomStates(bool mayEdit)
{
    m_blendCheckbox->setEnabled(mayEdit);
    m_blendWell->setEnabled(mayEdit && m_blendCheckbox->isChecked());
}

void VLTMStyleEditSub_VXRepeatTransformGroup::renderListDidChange()
{
    QStringList names;
    if (const auto group = std::dynamic_pointer_cast<VXRastGroup>(representedComponent()))
        for (const VXRasterizerPtr& member : group->renderList())
            names.append(member->displayName());
    LogEvent(kReactiveEvent, QStringLiteral("transform group got new renderList: (%1)").arg(names.join(QStringLiteral(", "))));
}

// --- Gloom and blur ----------------------------------------------------------------------------------------

void StyleEffectGroupPane::observedValueForKeyDidChangeTo(const QString&, const QVariant&)
{
    const VXRasterizerPtr component = representedComponent();
    if (component && hostingView())
        hostingView()->setTitle(component->displayName());
}

const QMetaObject* VLTMStyleEditSub_VXGloomGroup::managedObjectClass() const
{
    return &VXGloomGroup::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXGloomGroup::table() const
{
    return {
        StylePaneRow::length(QStringLiteral("radius"), tr("Radius"), 0, 200),
        StylePaneRow::number(QStringLiteral("intensity"), tr("Intensity"), 0, VXGloomGroup::kMaximumIntensity, 0.1),
        strokerows::clippingRow(QStringLiteral("clipping")),
        StylePaneRow::choice(StylePaneRow::Control::PopUp, QStringLiteral("type"), tr("Type"),
                             {{tr("Gloom"), VXGloomGroup::kGloom}, {tr("Bloom"), VXGloomGroup::kBloom}}),
    };
}

const QMetaObject* VLTMStyleEditSub_VXCIFilterTypeBlurGroup::managedObjectClass() const
{
    return &VXCIFilterTypeBlurGroup::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXCIFilterTypeBlurGroup::table() const
{
    const auto isMotionBlur = [](StyleTablePane& pane) {
        return pane.commonValueForKeyPath(QStringLiteral("blurType")).toInt() == VXCIFilterTypeBlurGroup::kMotionBlur;
    };
    return {
        StylePaneRow::length(QStringLiteral("blurAmount"), tr("Amount"), 0, 200),
        StylePaneRow::number(QStringLiteral("blurAngle"), tr("Angle"), -180, 180, 5).when(isMotionBlur),
        StylePaneRow::choice(StylePaneRow::Control::PopUp, QStringLiteral("blurType"), tr("Type"),
                             {{tr("Gaussian"), VXCIFilterTypeBlurGroup::kGaussianBlur},
                              {tr("Box"), VXCIFilterTypeBlurGroup::kBoxBlur},
                              {tr("Disc"), VXCIFilterTypeBlurGroup::kDiscBlur},
                              {tr("Motion"), VXCIFilterTypeBlurGroup::kMotionBlur}}),
        strokerows::clippingRow(QStringLiteral("clipping")),
    };
}

const platform::DisplayBindings& VLTMStyleEditSub_VXRepeatTransformGroup::displayBindings() const
{
    using Self = VLTMStyleEditSub_VXRepeatTransformGroup;
    static const auto bindings = platform::DisplayBindings(StyleGroupPane::displayBindings())
        .bind(QStringLiteral("blendColour"), &Self::setBlendColour);
    return bindings;
}
