#pragma once

// The panes of the component groups: the repeat group (copies moved, scaled and turned step
// by step, optionally tinted towards a blend colour), the gloom group and the blur group.

#include "style_editor/panes/groups/StyleGroupPane.h"
#include "platform/ui/ColourWell.h"

#include <QCheckBox>
#include <QColor>

class VLTMStyleEditSub_VXRepeatTransformGroup : public StyleGroupPane {
    Q_OBJECT
    Q_PROPERTY(QColor savedBlendColour READ savedBlendColour WRITE setSavedBlendColour)

public:
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("repeater"); }
    StylePaneTable table() const override;
    QStringList customKeyPaths() const override;

    // The colour the blend box brings back when ticked again: the last one shown, white at first.
    QColor savedBlendColour() const { return m_savedBlendColour; }
    void setSavedBlendColour(const QColor& colour) { m_savedBlendColour = colour; }

    // An invalid colour means no blending.
    void setBlendColour(const QColor& colour);
    QCheckBox* blendCheckbox() { view(); return m_blendCheckbox; }
    platform::ColourWell* blendColourWell() { view(); return m_blendWell; }
    Q_INVOKABLE void blendColourAction(QObject* sender);

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomStates(bool mayEdit) override;
    void renderListDidChange() override;

private:
    void blendCheckboxAction();

    QColor m_savedBlendColour = Qt::white;
    QPointer<QCheckBox> m_blendCheckbox;
    QPointer<platform::ColourWell> m_blendWell;
};

// Gloom and blur panes title their container after the group's kind, which follows its type.
class StyleEffectGroupPane : public StyleGroupPane {
    Q_OBJECT

protected:
    void observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value) override;
};

class VLTMStyleEditSub_VXGloomGroup : public StyleEffectGroupPane {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("gloom"); }
    StylePaneTable table() const override;
};

class VLTMStyleEditSub_VXCIFilterTypeBlurGroup : public StyleEffectGroupPane {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("blur"); }
    // The angle only means something to a motion blur.
    StylePaneTable table() const override;
};
