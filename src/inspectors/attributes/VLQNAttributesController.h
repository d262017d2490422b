#pragma once

// The Attributes tab of a map window: a header naming what is selected over the attribute
// editor (VXQAttributeController), which edits the same objects with this tab as its data
// source. It follows the drawing's active layer and the selection of its object layers;
// other drawings are ignored. With nothing selected in an object layer the editor edits the
// layer's own attributes.
//
// The header shows one object's name and kind, the layer's name and "Mapping Layer", or
// "Multiple Objects" and the count; once the editor has read its objects it puts their
// common name in the name line ("Multiple Selection" where the names differ). A double click
// on the name line renames a single unlocked object.

#include "app/sidebar/VLTMObjectControllerDataSource.h"
#include "app/sidebar/VLTMTabContentViewController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QPointer>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class VXLayer;
class VXObjectDrawingLayer;
class VXQAttributeController;

class VLQNAttributesController : public VLTMTabContentViewController, public VLTMObjectControllerDataSource {
    Q_OBJECT

public:
    static const QString kTabIdentifier;
    static inline const QString kHelpAnchor = QStringLiteral("Attributes_Editor");

    VLQNAttributesController();
    ~VLQNAttributesController() override;
    // Named after its tab, with its tool tip.
    static std::shared_ptr<VLQNAttributesController> make();

    VXQAttributeController* attributeController() const { return m_attributeController.get(); }

    // --- The drawing and its selection ----------------------------------------------------------
    VXDrawing* drawing() const { return m_drawing; }
    // Follows the drawing and shows its active layer.
    void setDrawing(VXDrawing* drawing) override;
    void selectionChanged(const platform::Notification& notification);
    void activeLayerChanged(const platform::Notification& notification);
    // Shows the layer's selection, or the layer itself when nothing is selected in it.
    void setCurrentDrawingLayer(VXLayer* layer);
    // Fetched from the layer when first asked for: the header needs only the count, and the
    // editor on a tab behind another asks only once it comes to the front.
    const QList<ZQObjectPtr>& selectedObjects() const;

    // --- Data source of the editor -------------------------------------------------------------
    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) override;
    ZQUndoManager* undoManager() const override;

    // --- Header ---------------------------------------------------------------------------------
    // The name line; null shows nothing.
    void setNameString(const QString& name);
    QString nameString() const;
    QString infoString() const;
    QLineEdit* nameField();
    QLabel* infoField();
    Q_INVOKABLE void attributesEditorHelp(QObject* sender = nullptr);

    // --- Renaming -------------------------------------------------------------------------------
    // The editor holds exactly one unlocked object that takes a user's name.
    bool canRename();
    bool renamingModeActive() const { return m_renamingModeActive; }
    void setRenamingMode(bool active);
    Q_INVOKABLE void handleNameDoubleClick();
    // Gives the object the name line's text (an empty text changes nothing) and ends renaming.
    Q_INVOKABLE void nameFieldAction(QObject* sender = nullptr);

protected:
    QWidget* loadView() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setHeader(const QString& name, const QString& info);
    void reloadEditor();
    bool belongsToDrawing(const VXLayer* layer) const;

    QPointer<VXDrawing> m_drawing;
    std::shared_ptr<VXQAttributeController> m_attributeController;
    // The object layer shown, if any; its selection is read into the list when asked for.
    QPointer<VXObjectDrawingLayer> m_layer;
    mutable std::optional<QList<ZQObjectPtr>> m_selectedObjects;
    bool m_renamingModeActive = false;
    // While loadView runs: the header fields exist, and asking for the view again would build a second one.
    bool m_loadingView = false;
    QPointer<QLineEdit> m_nameField;
    QPointer<QLabel> m_infoField;
};
