#pragma once

// The side-panel tabs a map window shows, by tab identifier ("VLTMTabViewStyle"). Libraries
// above the application core register a factory for each tab they provide; every map window
// then makes one controller per identifier, in registration order, and hands it the
// document's drawing.

#include "app/sidebar/VLTMTabContentViewController.h"

#include <QStringList>
#include <functional>
#include <memory>

// The side-panel tabs, in the order a new map window shows them.
inline const QString kVLTMTabViewStyle = QStringLiteral("VLTMTabViewStyle");
inline const QString kVLTMTabViewGeometry = QStringLiteral("VLTMTabViewGeometry");
inline const QString kVLTMTextController = QStringLiteral("VLTMTextController");
inline const QString kVLQNAttributesController = QStringLiteral("VLQNAttributesController");
inline const QString kVLTMTabViewLayers = QStringLiteral("VLTMTabViewLayers");
// Never shown in a side panel.
inline const QString kVLTMUndoHistoryController = QStringLiteral("VLTMUndoHistoryController");

class TabControllerRegistry {
public:
    using Factory = std::function<std::shared_ptr<VLTMTabContentViewController>()>;

    // Registering an identifier again replaces its factory.
    static void registerTabControllerForIdentifier(const QString& identifier, Factory factory);
    // The factory for the identifier; empty when none is registered.
    static Factory classForTabControllerWithIdentifier(const QString& identifier);
    static QStringList tabIdentifiers();
};
