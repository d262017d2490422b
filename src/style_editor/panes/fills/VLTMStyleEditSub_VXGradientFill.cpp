#include "style_editor/panes/fills/VLTMStyleEditSub_VXGradientFill.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Alert.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QStyle>

VLTMStyleEditSub_VXGradientFill::VLTMStyleEditSub_VXGradientFill() = default;

VLTMStyleEditSub_VXGradientFill::~VLTMStyleEditSub_VXGradientFill()
{
    endGesture();
}

const QMetaObject* VLTMStyleEditSub_VXGradientFill::managedObjectClass() const
{
    return &VXGradientFill::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXGradientFill::table() const
{
    return {
        StylePaneRow::choice(StylePaneRow::Control::Segments, QStringLiteral("gradientType"), tr("Type"),
                             {{tr("Linear"), VXGradientFill::kLinearGradient},
                              {tr("Radial"), VXGradientFill::kRadialGradient}}),
        StylePaneRow::checkbox(QStringLiteral("angleIsRelative"), tr("Relative Angle")),
    };
}

QStringList VLTMStyleEditSub_VXGradientFill::customKeyPaths() const
{
    return {QStringLiteral("gradient"),       QStringLiteral("gradientAngle"),  QStringLiteral("startingLocation"),
            QStringLiteral("endingLocation"), QStringLiteral("startingRadius"), QStringLiteral("endingRadius"),
            QStringLiteral("radialParametersAreRelative")};
}

void VLTMStyleEditSub_VXGradientFill::addCustomControls(QFormLayout& form)
{
    auto* colours = new QWidget;
    auto* row = new QHBoxLayout(colours);
    row->setContentsMargins(0, 0, 0, 0);
    m_gradientControl = new VXQGradientControl(colours);
    m_gradientControl->setTarget(this);
    m_gradientControl->setAction("gradientStopsAction");
    m_gradientControl->setFixedHeight(m_gradientControl->sizeHint().height());
    m_parameterWarningButton = new QToolButton(colours);
    m_parameterWarningButton->setIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
    m_parameterWarningButton->setAutoRaise(true);
    m_parameterWarningButton->setToolTip(tr("Gradient Color Warning"));
    m_parameterWarningButton->hide();
    connect(m_parameterWarningButton, &QToolButton::clicked, this, [this] { gradientWarningAction(m_parameterWarningButton); });
    row->addWidget(m_gradientControl, 1);
    row->addWidget(m_parameterWarningButton);
    // The stops need the pane's whole width.
    form.addRow(colours);

    m_gradientParameterView = new VXQGradientParameterView;
    m_gradientParameterView->setController(this);
    m_gradientParameterView->setMinimumSize(m_gradientParameterView->sizeHint());
    form.addRow(m_gradientParameterView);

    connect(m_gradientControl, &VXQGradientControl::trackingDidBegin, this, [this] { beginGesture(); });
    connect(m_gradientControl, &VXQGradientControl::trackingDidEnd, this, [this] { endGesture(); });
    connect(m_gradientParameterView, &VXQGradientParameterView::trackingDidBegin, this, [this] { beginGesture(); });
    connect(m_gradientParameterView, &VXQGradientParameterView::trackingDidEnd, this, [this] { endGesture(); });
}

// --- Display setters --------------------------------------------------------------------------------------------

void VLTMStyleEditSub_VXGradientFill::setGradient(const QVariant& gradient)
{
    gradientControl()->setGradient(gradient.value<VXGradientPtr>());
    updateParameterView();
    conditionallyEnableWarningButton();
}

void VLTMStyleEditSub_VXGradientFill::setGradientAngle(double)
{
    updateParameterView();
}

void VLTMStyleEditSub_VXGradientFill::setStartingLocation(QPointF)
{
    updateParameterView();
}

void VLTMStyleEditSub_VXGradientFill::setEndingLocation(QPointF)
{
    updateParameterView();
}

void VLTMStyleEditSub_VXGradientFill::setStartingRadius(double)
{
    updateParameterView();
}

void VLTMStyleEditSub_VXGradientFill::setEndingRadius(double)
{
    updateParameterView();
}

void VLTMStyleEditSub_VXGradientFill::setRadialParametersAreRelative(bool)
{
    updateParameterView();
}

void VLTMStyleEditSub_VXGradientFill::observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant&)
{
    if (keyPath == QLatin1String("gradientType"))
        updateParameterView();
}

void VLTMStyleEditSub_VXGradientFill::updateParameterView()
{
    gradientParameterView()->updateFromController();
}

// --- The parameter view's source -------------------------------------------------------------------------------

VXGradientFill* VLTMStyleEditSub_VXGradientFill::gradientFill()
{
    return qobject_cast<VXGradientFill*>(representedComponent().get());
}

void VLTMStyleEditSub_VXGradientFill::writeFillValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    setCommonValueForKeyPath(value, keyPath);
}

// --- Actions ------------------------------------------------------------------------------------------------------

void VLTMStyleEditSub_VXGradientFill::gradientStopsAction(QObject*)
{
    // A control left with fewer than two stops has no gradient: the fill keeps its own.
    if (const VXGradientPtr gradient = m_gradientControl->gradient())
        setCommonValueForKeyPath(QVariant::fromValue(gradient), QStringLiteral("gradient"));
    conditionallyEnableWarningButton();
}

bool VLTMStyleEditSub_VXGradientFill::gradientColoursHaveTransparency(const VXGradientPtr& gradient)
{
    return gradient && gradient->hasTransparency();
}

void VLTMStyleEditSub_VXGradientFill::conditionallyEnableWarningButton()
{
    const bool warns = !VXGradientFill::pdfTransparencyWorkaround()
                       && gradientColoursHaveTransparency(gradientControl()->gradient());
    m_parameterWarningButton->setVisible(warns);
}

void VLTMStyleEditSub_VXGradientFill::gradientWarningAction(QObject*)
{
    QApplication::beep();
    platform::Alert alert = platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        tr("Gradient Color Warning"), tr("OK"), QString(), QString(),
        tr("Gradients containing transparency cannot be reproduced when exported to PDF or printed.\n\n"
           "This is a limitation of the PDF format; other formats are not affected. If you intend to export to PDF "
           "or print, consider an alternative to transparency to achieve the gradient effect desired."));
    alert.beginSheetModalForWindowCompletionHandler(nullptr, {});
}

void VLTMStyleEditSub_VXGradientFill::setCustomStates(bool mayEdit)
{
    m_gradientControl->setEnabled(mayEdit);
    m_gradientParameterView->setEnabled(mayEdit);
    m_parameterWarningButton->setEnabled(mayEdit);
}

// --- Gestures ------------------------------------------------------------------------------------------------------

void VLTMStyleEditSub_VXGradientFill::beginGesture()
{
    if (m_gestureUndoManager)
        return;
    m_gestureUndoManager = undoManager();
    if (m_gestureUndoManager)
        m_gestureUndoManager->beginUndoGrouping();
}

void VLTMStyleEditSub_VXGradientFill::endGesture()
{
    if (ZQUndoManager* undo = m_gestureUndoManager.data()) {
        m_gestureUndoManager.clear();
        undo->endUndoGrouping();
    }
}

const platform::DisplayBindings& VLTMStyleEditSub_VXGradientFill::displayBindings() const
{
    using Self = VLTMStyleEditSub_VXGradientFill;
    static const auto bindings = platform::DisplayBindings(StyleTablePane::displayBindings())
        .bind(QStringLiteral("gradient"), &Self::setGradient)
        .bind(QStringLiteral("gradientAngle"), &Self::setGradientAngle)
        .bind(QStringLiteral("startingLocation"), &Self::setStartingLocation)
        .bind(QStringLiteral("endingLocation"), &Self::setEndingLocation)
        .bind(QStringLiteral("startingRadius"), &Self::setStartingRadius)
        .bind(QStringLiteral("endingRadius"), &Self::setEndingRadius)
        .bind(QStringLiteral("radialParametersAreRelative"), &Self::setRadialParametersAreRelative);
    return bindings;
}
