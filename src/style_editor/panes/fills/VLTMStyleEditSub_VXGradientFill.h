#pragma once

// The pane of a gradient fill: the type (linear or radial), the colour stops in the stop
// editor, a preview on which the angle or the start and end rings are dragged, the relative
// angle, and a warning when transparent colours will not survive PDF output. A drag of a stop
// or a ring is one undo step. A gradient of fewer than two stops never reaches the fill.

#include "style_editor/gradient/VXQGradientControl.h"
#include "style_editor/gradient/VXQGradientParameterView.h"
#include "style_editor/panes/table/StyleTablePane.h"

#include <QPointer>
#include <QToolButton>

class ZQUndoManager;

class VLTMStyleEditSub_VXGradientFill : public StyleTablePane, public VXQGradientParameterViewDelegate {
    Q_OBJECT

public:
    VLTMStyleEditSub_VXGradientFill();
    ~VLTMStyleEditSub_VXGradientFill() override;
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;

    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("gradient-fill"); }
    StylePaneTable table() const override;
    QStringList customKeyPaths() const override;

    static bool gradientColoursHaveTransparency(const VXGradientPtr& gradient);
    void conditionallyEnableWarningButton();

    VXQGradientControl* gradientControl() { view(); return m_gradientControl; }
    VXQGradientParameterView* gradientParameterView() { view(); return m_gradientParameterView; }
    QToolButton* parameterWarningButton() { view(); return m_parameterWarningButton; }

    // --- Display setters ---------------------------------------------------------------------
    void setGradient(const QVariant& gradient);
    void setGradientAngle(double angle) override;
    void setStartingLocation(QPointF location) override;
    void setEndingLocation(QPointF location) override;
    void setStartingRadius(double radius) override;
    void setEndingRadius(double radius) override;
    void setRadialParametersAreRelative(bool relative);

    // --- The parameter view's source -----------------------------------------------------------
    VXGradientFill* gradientFill() override;
    void writeFillValueForKeyPath(const QVariant& value, const QString& keyPath) override;

    // --- Actions ------------------------------------------------------------------------------
    Q_INVOKABLE void gradientStopsAction(QObject* sender);
    Q_INVOKABLE void gradientWarningAction(QObject* sender);

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomStates(bool mayEdit) override;
    void observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value) override;

private:
    void updateParameterView();
    // A drag's edits go into one undo group.
    void beginGesture();
    void endGesture();

    QPointer<VXQGradientControl> m_gradientControl;
    QPointer<VXQGradientParameterView> m_gradientParameterView;
    QPointer<QToolButton> m_parameterWarningButton;
    QPointer<ZQUndoManager> m_gestureUndoManager;
};
