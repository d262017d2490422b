#pragma once

// The base of every pane of the style editor. A pane edits exactly one style component (one
// rasterizer, or a group of them): the editor makes it for the component, hosts its view in a
// collapsible container, and is its data source and style editor.
//
// Writing a pane
// --------------
// The pane of components of class VXHatching is a class named "VLTMStyleEditSub_VXHatching",
// registered with StyleComponentPaneRegistry::registerPane<...>() by its library. It
//   - answers managedObjectClass() (the component's class) and keyPathsOfInterest() (the keys it
//     shows, "enabled" always among them: use keyPathsOfInterestWith);
//   - builds its controls in makeControls(); the base puts them under the "enabled" checkbox and
//     the pane's menu (copy, delete, help);
//   - shows each key through a setter bound to it in displayBindings(), starting from its
//     parent's table, which updates controls only;
//   - writes from its actions with takeCommonValueFromForKeyPath or setCommonValueForKeyPath:
//     the component registers the undo with the editor's document and names it after the key;
//     a pane names only commands of its own;
//   - enables its controls in setStatesForLockEnabled (on when neither locked nor disabled),
//     re-labels length fields in changeUnitsConversionFactorToWithUnits through
//     updateFormatterForControlMultiplierDecimalPlacesSuffix (and rebuilds width menus with
//     initialiseStrokeWidthMenu), and answers helpIdentifier().
// A group's pane is handed the panes of its members, in building order, by addSubcontroller.

#include "app/sidebar/VLTMGenericObjectController.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/inspector/DisplayBindings.h"
#include "platform/vantrix/styles/VXRasterizer.h"
#include "style_editor/editor/VLTMStyleEditorController.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QCheckBox>
#include <QPointer>

class VLTMStyleComponentController : public VLTMGenericObjectController, public platform::DisplayBindingSource {
    Q_OBJECT

public:
    VLTMStyleComponentController();
    ~VLTMStyleComponentController() override;

    // --- What the pane edits ----------------------------------------------------------------
    const QMetaObject* managedObjectClass() const override;
    // "enabled" only.
    QStringList keyPathsOfInterest() const override;
    virtual QString helpIdentifier() const;

    // The component: the first object of the content; null without one.
    VXRasterizerPtr representedComponent();
    // Unloads the content; a component becomes the one-element content, is observed and the
    // pane is told of it (newObjectWasAssigned); null shows the nil state.
    void setRepresentedComponent(const VXRasterizerPtr& component);
    // The component's own flags (false without one).
    bool enabled();
    bool locked();

    // --- The editor and the container -------------------------------------------------------
    VLTMStyleEditorController* styleEditorController() const { return m_styleEditor; }
    void setStyleEditorController(VLTMStyleEditorController* editor) { m_styleEditor = editor; }
    ZQCollapsibleContainerView* hostingView() const { return m_hostingView; }
    void setHostingView(ZQCollapsibleContainerView* view) { m_hostingView = view; }

    QCheckBox* enabledCheckbox() { view(); return m_enabledCheckbox; }
    platform::Menu* componentMenu() { view(); return m_componentMenu; }
    QWidget* windowForSheet();

    // --- Display setters --------------------------------------------------------------------
    // "enabled" and "locked".
    const platform::DisplayBindings& displayBindings() const override;
    // The checkbox and the container's title checkbox show the flag; the controls follow.
    void setEnabled(bool enabled);
    // The lock the editor gives every pane (the component's, its style's or its library's):
    // the checkboxes, the container's close button and reordering are off while locked.
    void setLocked(bool locked) override;
    bool isShownLocked() const { return m_shownLocked; }

    // --- Hooks for panes (the base does nothing) ---------------------------------------------
    virtual void setStatesForLockEnabled(bool locked, bool enabled);
    virtual void changeUnitsConversionFactorToWithUnits(double factor, const QString& units);
    virtual void addSubcontroller(VLTMStyleComponentController* pane);

    // --- Actions ----------------------------------------------------------------------------
    Q_INVOKABLE void enabledAction(QObject* sender);
    Q_INVOKABLE void copyComponentAction(QObject* sender);
    Q_INVOKABLE void deleteComponentAction(QObject* sender);
    Q_INVOKABLE void componentHelpAction(QObject* sender);
    // "Delete <kind>" while the style may change; "Copy <kind>" and "<kind> Help..." always.
    Q_INVOKABLE virtual bool validateMenuItem(platform::MenuItem* item);

    // --- Helpers for panes -------------------------------------------------------------------
    // A field with a number formatter (ZQAugmentedTextField) shows values times the multiplier,
    // with at most that many decimals and, for a StyleLengthFormatter, the suffix; other
    // controls are left alone.
    static void updateFormatterForControlMultiplierDecimalPlacesSuffix(QWidget* control, double multiplier,
                                                                        int decimalPlaces, const QString& suffix);
    // Titles every item tagged t > 0 with the width t / 10 pt, in the editor's display units,
    // and gives it a line of that width once.
    void initialiseStrokeWidthMenu(QMenu* menu);
    static QString strokeWidthTitle(double widthInPoints, bool showsDrawingUnits, double unitToPoints,
                                    const QString& units);

    // Writes go to the editor's document, whichever objects use the style.
    void setCommonValueForKeyPath(const QVariant& value, const QString& keyPath) override;

protected:
    // "enabled" and the pane's own keys.
    static QStringList keyPathsOfInterestWith(const QStringList& keyPaths);
    // The pane's own controls, under the checkbox and menu; none in the base.
    virtual QWidget* makeControls() { return nullptr; }
    // Items of the pane's own after copy, delete and help; none in the base.
    virtual void addComponentMenuItems(platform::Menu& menu) { Q_UNUSED(menu) }
    QWidget* loadView() override;

private:
    void applyStates();

    QPointer<QCheckBox> m_enabledCheckbox;
    QPointer<VLTMStyleEditorController> m_styleEditor;
    QPointer<ZQCollapsibleContainerView> m_hostingView;
    QPointer<platform::MenuItem> m_helpMenuItem;
    QPointer<platform::Menu> m_componentMenu;
    bool m_shownLocked = false;
};
