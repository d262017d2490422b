#pragma once

// Finds the pane that edits a style component by name: the pane of components of class X is
// registered as "VLTMStyleEditSub_X". Components whose class has no pane get the placeholder
// pane, which edits only what every component has. Pane libraries register their panes in
// their registration function; registering a name again replaces its factory.
//
// Panes live in a registry of their own, apart from the archive class registry, so no
// archive can make one.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class VLTMStyleComponentController;
class VXRasterizer;

class StyleComponentPaneRegistry {
public:
    using Factory = std::function<std::shared_ptr<VLTMStyleComponentController>()>;

    // "VLTMStyleEditSub_" and the component's class name.
    static QString subcontrollerNibNameForComponentClass(const QString& componentClassName);

    static void registerPaneNamed(const QString& paneName, Factory factory);
    template <class Pane>
    static void registerPane()
    {
        registerPaneNamed(QString::fromLatin1(Pane::staticMetaObject.className()),
                          [] { return std::make_shared<Pane>(); });
    }
    static QStringList registeredPaneNames();
    // Empty for a name no pane is registered under.
    static Factory paneFactoryNamed(const QString& paneName);

    // A new pane for the component, named (initWithNibName) after its class: the component
    // class's own pane, else the placeholder.
    static std::shared_ptr<VLTMStyleComponentController> makePaneForComponent(const VXRasterizer& component);
};
