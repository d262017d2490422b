#pragma once

// The object inspector's general tab: the kind and description of the selected objects, the
// name of their style, their lock (with an icon), visibility and ghosting. Checkbox edits go
// to every object that is not locked; the lock itself to all of them.

#include "platform/vantrix/inspector/DisplayBindings.h"
#include "platform/vantrix/inspector/VXInspectableController.h"

#include <QPointer>

class QCheckBox;
class QLabel;
class VXStyle;

class VXDrawableController : public VXInspectableController, public platform::DisplayBindingSource {
    Q_OBJECT

public:
    VXDrawableController();
    ~VXDrawableController() override;
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;

    // The tab's widgets, made on first use.
    QWidget* view();

    // The single object shown; null shows nothing.
    void setDrawable(const ZQObjectPtr& drawable);
    ZQObjectPtr drawable() const { return inspectable(); }
    QStringList observableKeyPaths() const override;

    // The style line of an object: for objects drawn with a list of styles (multi-style paths)
    // "<multiple>" for two or more, the one's name or "<none>"; otherwise the style's name,
    // "<unnamed>" for a style without one, "<none>" without a style.
    static QString styleNameForObject(const ZQObject& object);
    // The drawing units of the object shown, abbreviated; "" without one.
    QString unitsString() const;

    // A mixed checkbox turns on first; locked objects are left alone.
    Q_INVOKABLE void visibleAction(QObject* sender);
    Q_INVOKABLE void ghostedAction(QObject* sender);

    // Display setters.
    void setVisible(bool visible);
    void setMixedValueForVisible();
    void setGhosted(bool ghosted);
    void setMixedValueForGhosted();
    void setStyle(VXStyle* style);
    void setMixedValueForStyle();
    void setName(const QString& name);
    void setMixedValueForName();
    void setLocked(bool locked);
    void setMixedValueForLocked();

    QLabel* displayNameField();
    QLabel* descriptionField();
    QLabel* styleNameField();
    QLabel* lockIcon();
    QCheckBox* visibleCheckbox();
    QCheckBox* ghostedCheckbox();

protected:
    void newObjectWasAssigned() override;
    void setControlStateForLock(bool locked) override;
    void setControlStateForNil() override;

private:
    void showDescription();
    void setLockIconShown(bool shown);
    void writeCheckbox(QCheckBox* checkbox, const QString& keyPath);

    QPointer<QWidget> m_view;
    QPointer<QLabel> m_displayNameField;
    QPointer<QLabel> m_descriptionField;
    QPointer<QLabel> m_styleNameField;
    QPointer<QLabel> m_lockIcon;
    QPointer<QCheckBox> m_visibleCheckbox;
    QPointer<QCheckBox> m_ghostedCheckbox;
};
