#pragma once

// The commands a row of the layers panel adds to the panel's context menu, and the object
// they are sent to: one per opened menu, standing for the clicked row's layer, object or
// slice (held weakly, so a row that goes while the menu is open leaves its items doing
// nothing). The items go above the panel's own items:
//   layer rows: "Activate Layer", "Rename...", "Delete Layer..." / "Delete Layer Group...",
//   "Duplicate", then by kind "Clear Guides...", "Index Grid Settings..." or "Graph Paper
//   Settings..." with "Snap To Graph Paper", "Export Slices...", and "Hide" and "Lock" (the
//   top row: "Drawing Size & Units..." instead);
//   object and slice rows: "Zoom Main View to This" and a rename item.

#include "platform/ui/MenuItem.h"

#include <QObject>
#include <QPointer>

class VLTMLayersController;
class VXLayer;
namespace platform {
class Menu;
}

class LayerRowCommands : public QObject {
    Q_OBJECT

public:
    LayerRowCommands(QObject* item, VLTMLayersController* controller, QObject* parent = nullptr);

    // Inserts the row's items, then a separator, above the menu's present items.
    void updateRowContextualMenu(platform::Menu& menu);
    QObject* item() const { return m_item; }

    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // Layer rows.
    Q_INVOKABLE void makeActiveAction(QObject* sender = nullptr);
    Q_INVOKABLE void selectNameForEditingAction(QObject* sender = nullptr);
    Q_INVOKABLE void deleteAction(QObject* sender = nullptr);
    Q_INVOKABLE void duplicateAction(QObject* sender = nullptr);
    // Asks first: clearing guides is not undone.
    Q_INVOKABLE void clearGuidesAction(QObject* sender = nullptr);
    Q_INVOKABLE void showGridOptionsAction(QObject* sender = nullptr);
    Q_INVOKABLE void showIndexGridOptionsAction(QObject* sender = nullptr);
    Q_INVOKABLE void showDrawingOptionsAction(QObject* sender = nullptr);
    Q_INVOKABLE void exportSlicesAction(QObject* sender = nullptr);
    Q_INVOKABLE void toggleGraphPaperSnappingAction(QObject* sender = nullptr);
    Q_INVOKABLE void toggleVisibleAction(QObject* sender = nullptr);
    Q_INVOKABLE void toggleLockAction(QObject* sender = nullptr);
    // Object and slice rows.
    Q_INVOKABLE void zoomMainViewToObjectAction(QObject* sender = nullptr);

private:
    // The item while it still has a row in the panel; null once it has gone.
    QObject* shownItem() const;
    VXLayer* layer() const;

    QPointer<QObject> m_item;
    QPointer<VLTMLayersController> m_controller;
};
