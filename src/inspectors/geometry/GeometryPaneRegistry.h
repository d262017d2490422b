#pragma once

// The panes of the Geometry tab, by key: a model class name ("VXArcPath") for a pane that edits
// objects of that class, or a pseudo key ("VLTM_Arranger") for a pane that acts on the selection
// as a whole. A tab makes one pane of each registered key, in registration order, when it is
// made, so libraries built later (the export slices) add their row before any window opens.

#include "platform/ui/ViewController.h"

#include <QList>
#include <functional>
#include <memory>

class GeometryPaneRegistry {
public:
    using Factory = std::function<std::shared_ptr<platform::ViewController>()>;
    struct Entry {
        QString key;
        Factory factory;
    };

    // Registering a key again replaces its factory and keeps its place.
    static void registerPane(const QString& key, Factory factory);
    template <class Pane> static void registerPaneForKey(const QString& key)
    {
        registerPane(key, [] { return std::make_shared<Pane>(); });
    }
    static const QList<Entry>& entries();
    static bool hasPaneForKey(const QString& key);

    // The pane name of a model class ("VLTM_VXArcPathController"), or empty when no pane is
    // registered under the class's name.
    static QString subcontrollerClassForClass(const QMetaObject* modelClass);
};
