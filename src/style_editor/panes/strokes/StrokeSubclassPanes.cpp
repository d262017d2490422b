#include "style_editor/panes/strokes/StrokeSubclassPanes.h"

#include "platform/foundation/Markers.h"
#include "platform/vantrix/styles/VXArrowStroke.h"
#include "platform/vantrix/styles/VXRoughStroke.h"
#include "platform/vantrix/styles/VXZigZagStroke.h"
#include "style_editor/arrow/VXQArrowView.h"
#include "style_editor/panes/strokes/StrokeLineRows.h"
#include "tracks/styles/VXQTaggedStroke.h"
#include "tracks/styles/VXQTaperedStroke.h"

#include <QFormLayout>
#include <QPushButton>

using Control = StylePaneRow::Control;

namespace {

StylePaneRow::Choices arrowHeadKinds()
{
    return {{QObject::tr("None"), VXArrowStroke::kArrowHeadNone},
            {QObject::tr("Standard"), VXArrowStroke::kArrowHeadStandard},
            {QObject::tr("Inflected"), VXArrowStroke::kArrowHeadInflected},
            {QObject::tr("Round"), VXArrowStroke::kArrowHeadRound},
            {QObject::tr("Square"), VXArrowStroke::kArrowHeadSquare},
            {QObject::tr("Bar"), VXArrowStroke::kArrowHeadBar}};
}

} // namespace

StylePaneRow::Choices taperKindChoices()
{
    return {{QObject::tr("None"), VXQTaperedStroke::kNoTaper},
            {QObject::tr("Linear"), VXQTaperedStroke::kLinearTaper},
            {QObject::tr("Rounded"), VXQTaperedStroke::kRoundedTaper},
            {QObject::tr("Pointed"), VXQTaperedStroke::kPointedTaper}};
}

StylePaneTable zigZagRows()
{
    return {
        StylePaneRow::length(QStringLiteral("amplitude"), QObject::tr("Amplitude"), 0, 50, 0.5),
        StylePaneRow::length(QStringLiteral("wavelength"), QObject::tr("Wavelength"), 0.5, 100, 0.5),
        StylePaneRow::length(QStringLiteral("spread"), QObject::tr("Spread"), 0, 50, 0.5),
        StylePaneRow::checkbox(QStringLiteral("closed"), QObject::tr("Closed")),
    };
}

// --- Arrow ----------------------------------------------------------------------------------------

const QMetaObject* VLTMStyleEditSub_VXArrowStroke::managedObjectClass() const
{
    return &VXArrowStroke::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXArrowStroke::table() const
{
    return VLTMStyleEditSub_VXStroke::table() + StylePaneTable{
        StylePaneRow::choice(Control::PopUp, QStringLiteral("arrowHeadAtStart"), tr("Head"), arrowHeadKinds()),
        StylePaneRow::choice(Control::PopUp, QStringLiteral("arrowHeadAtEnd"), tr("Tail"), arrowHeadKinds()),
        StylePaneRow::colour(QStringLiteral("outlineColour"), tr("Outline")),
        StylePaneRow::length(QStringLiteral("outlineWidth"), tr("Outline Width"), 0, 20, 0.25),
        StylePaneRow::choice(Control::PopUp, QStringLiteral("dimensioningLineOptions"), tr("Dimension"),
                             {{tr("None"), VXArrowStroke::kDimensionNone},
                              {tr("Text Above Line"), VXArrowStroke::kDimensionTextAboveLine},
                              {tr("Text In Line"), VXArrowStroke::kDimensionTextInLine},
                              {tr("Text Below Line"), VXArrowStroke::kDimensionTextBelowLine}}),
        StylePaneRow::choice(Control::PopUp, QStringLiteral("dimensionTextKind"), tr("Dimension Text"),
                             {{tr("Length"), VXArrowStroke::kDimensionTextLength},
                              {tr("Length and Units"), VXArrowStroke::kDimensionTextLengthAndUnits}}),
        StylePaneRow::checkbox(QStringLiteral("dimensionToleranceOption"), tr("Tolerance"), 1, 0),
    };
}

QStringList VLTMStyleEditSub_VXArrowStroke::customKeyPaths() const
{
    return VLTMStyleEditSub_VXStroke::customKeyPaths()
           + QStringList{QStringLiteral("arrowHeadWidth"), QStringLiteral("arrowHeadLength")};
}

void VLTMStyleEditSub_VXArrowStroke::addCustomControls(QFormLayout& form)
{
    VLTMStyleEditSub_VXStroke::addCustomControls(form);
    m_arrowView = new VXQArrowView;
    m_arrowView->setArrowHeadSize = [this](QSizeF lengthAndWidth) {
        setCommonValueForKeyPath(lengthAndWidth.width(), QStringLiteral("arrowHeadLength"));
        setCommonValueForKeyPath(lengthAndWidth.height(), QStringLiteral("arrowHeadWidth"));
    };
    form.insertRow(0, m_arrowView);
}

void VLTMStyleEditSub_VXArrowStroke::newObjectWasAssigned()
{
    VLTMStyleEditSub_VXStroke::newObjectWasAssigned();
    arrowView()->setRasterizer(std::dynamic_pointer_cast<VXArrowStroke>(representedComponent()));
}

void VLTMStyleEditSub_VXArrowStroke::setCustomStates(bool mayEdit)
{
    VLTMStyleEditSub_VXStroke::setCustomStates(mayEdit);
    m_arrowView->setHandleEnabled(mayEdit);
}

void VLTMStyleEditSub_VXArrowStroke::observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value)
{
    VLTMStyleEditSub_VXStroke::observedValueForKeyDidChangeTo(keyPath, value);
    arrowView()->updateArrow();
}

// --- Zig-zag and rough -------------------------------------------------------------------------

const QMetaObject* VLTMStyleEditSub_VXZigZagStroke::managedObjectClass() const
{
    return &VXZigZagStroke::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXZigZagStroke::table() const
{
    return VLTMStyleEditSub_VXStroke::table() + zigZagRows();
}

const QMetaObject* VLTMStyleEditSub_VXRoughStroke::managedObjectClass() const
{
    return &VXRoughStroke::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXRoughStroke::table() const
{
    return VLTMStyleEditSub_VXStroke::table()
           + StylePaneTable{StylePaneRow::number(QStringLiteral("roughness"), tr("Roughness"), 0, 2, 0.05)};
}

// --- Tapered -------------------------------------------------------------------------------------

const QMetaObject* VLTMStyleEditSub_VXQTaperedStroke::managedObjectClass() const
{
    return &VXQTaperedStroke::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXQTaperedStroke::table() const
{
    return VLTMStyleEditSub_VXStroke::table() + StylePaneTable{
        StylePaneRow::choice(Control::PopUp, QStringLiteral("taperKind"), tr("Taper"), taperKindChoices()),
        StylePaneRow::checkbox(QStringLiteral("leftTaperEnabled"), tr("Left Taper")),
        StylePaneRow::number(QStringLiteral("leftTaperProportion"), tr("Left Length"), 0, 1, 0.05)
            .when([](StyleTablePane& pane) { return pane.commonFlagForKeyPath(QStringLiteral("leftTaperEnabled")); }),
        StylePaneRow::checkbox(QStringLiteral("rightTaperEnabled"), tr("Right Taper")),
        StylePaneRow::number(QStringLiteral("rightTaperProportion"), tr("Right Length"), 0, 1, 0.05)
            .when([](StyleTablePane& pane) { return pane.commonFlagForKeyPath(QStringLiteral("rightTaperEnabled")); }),
    };
}

// --- Tagged ----------------------------------------------------------------------------------------

const QMetaObject* VLTMStyleEditSub_VXQTaggedStroke::managedObjectClass() const
{
    return &VXQTaggedStroke::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXQTaggedStroke::table() const
{
    const auto eitherTaper = [](StyleTablePane& pane) {
        return (pane.commonFlagForKeyPath(QStringLiteral("leftTagTaperEnabled")) || pane.commonFlagForKeyPath(QStringLiteral("rightTagTaperEnabled")))
               && pane.commonFlagForKeyPath(QStringLiteral("enabled"));
    };
    return VLTMStyleEditSub_VXStroke::table() + StylePaneTable{
        StylePaneRow::choice(Control::PopUp, QStringLiteral("tagKind"), tr("Tags"),
                             {{tr("Right"), VXQTaggedStroke::kTagsRight},
                              {tr("Left"), VXQTaggedStroke::kTagsLeft},
                              {tr("Across"), VXQTaggedStroke::kTagsAcross}}),
        StylePaneRow::length(QStringLiteral("tagLength"), tr("Tag Length"), 0, 50, 0.5),
        StylePaneRow::angleInRadians(QStringLiteral("tagAngle"), tr("Tag Angle")),
        StylePaneRow::length(QStringLiteral("tagWidth"), tr("Tag Width"), 0, 20, 0.25),
        StylePaneRow::length(QStringLiteral("tagSpacing"), tr("Tag Spacing"), VXQTaggedStroke::kMinimumTagSpacing,
                             100, 0.5),
        StylePaneRow::number(QStringLiteral("tagPhase"), tr("Tag Phase"), 0, 100, 0.5),
        strokerows::capRow(QStringLiteral("tagCapStyle"), tr("Tag Cap")),
        StylePaneRow::checkbox(QStringLiteral("tagsAlternate"), tr("Alternate Tags")),
        StylePaneRow::checkbox(QStringLiteral("mainStrokeEnabled"), tr("Main Stroke")),
        StylePaneRow::choice(Control::PopUp, QStringLiteral("tagTaperKind"), tr("Tag Taper"), taperKindChoices())
            .when(eitherTaper),
        StylePaneRow::number(QStringLiteral("tagTaperProportion"), tr("Taper Length"), 0, 1, 0.05).when(eitherTaper),
        StylePaneRow::checkbox(QStringLiteral("leftTagTaperEnabled"), tr("Left Taper")),
        StylePaneRow::checkbox(QStringLiteral("rightTagTaperEnabled"), tr("Right Taper")),
    };
}

void VLTMStyleEditSub_VXQTaggedStroke::addCustomControls(QFormLayout& form)
{
    VLTMStyleEditSub_VXStroke::addCustomControls(form);
    m_syncToDashButton = new QPushButton(tr("Match Dash"));
    connect(m_syncToDashButton, &QPushButton::clicked, this, [this] { syncToDashAction(m_syncToDashButton); });
    form.addRow(QString(), m_syncToDashButton);
}

void VLTMStyleEditSub_VXQTaggedStroke::setCustomStates(bool mayEdit)
{
    VLTMStyleEditSub_VXStroke::setCustomStates(mayEdit);
    const QVariant dash = commonValueForKeyPath(QStringLiteral("dash"));
    m_syncToDashButton->setEnabled(mayEdit && dash.value<VXStrokeDashPtr>() != nullptr);
}

void VLTMStyleEditSub_VXQTaggedStroke::syncToDashAction(QObject*)
{
    if (auto stroke = std::dynamic_pointer_cast<VXQTaggedStroke>(representedComponent())) {
        const VXRasterizer::EditingScope scope(undoManager());
        stroke->synchroniseTagsWithDash();
    }
}

const platform::DisplayBindings& VLTMStyleEditSub_VXArrowStroke::displayBindings() const
{
    using Self = VLTMStyleEditSub_VXArrowStroke;
    static const auto bindings = platform::DisplayBindings(VLTMStyleEditSub_VXStroke::displayBindings())
        .bind(QStringLiteral("arrowHeadWidth"), &Self::setArrowHeadWidth)
        .bind(QStringLiteral("arrowHeadLength"), &Self::setArrowHeadLength);
    return bindings;
}
