#pragma once

// The Text tab of a map window: hosts the text pane and decides what it edits. That is the
// selected labels of the selected label containers when there are any, else the selection
// of the drawing's active object layer; and, while a drawing view of this drawing edits text
// in place (Font panel mode), the font manager trampoline alone, so the pane acts on the text
// being typed. The set handed to the pane is kept until the selection, the label selection
// or the mode changes; a notification that brings the same set reloads nothing.
//
// An in-place editor of runs (a label's, a text box's) reports the font of its selection and
// takes the font messages for the selected characters itself. An editor of plain text (a key
// table's) does neither: as its editing begins the tab reports the edited objects' font and attributes to
// the trampoline and makes a TextEditingFontTarget of them its target until editing ends.

#include "app/sidebar/VLTMObjectControllerDataSource.h"
#include "app/sidebar/VLTMTabContentViewController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QPointer>
#include <memory>
#include <optional>

class TextEditingFontTarget;
class VLTMFontManagerTrampoline;
class VLTM_VXTextShapeController;

class VLTMTextController : public VLTMTabContentViewController, public VLTMObjectControllerDataSource {
    Q_OBJECT

public:
    static inline const QString kTabIdentifier = QStringLiteral("VLTMTextController");

    VLTMTextController();
    ~VLTMTextController() override;
    // Named after its tab.
    static std::shared_ptr<VLTMTextController> make();

    VXDrawing* drawing() const { return m_drawing; }
    // Follows the drawing's active layer, its layers' selections and its labels' selections.
    void setDrawing(VXDrawing* drawing) override;

    VLTM_VXTextShapeController* textShapeController() const { return m_textShapeController.get(); }

    // What the pane edits; empty without an active object layer.
    QList<ZQObjectPtr> selection();
    // The set last handed to the pane, if it is still current.
    const std::optional<QList<ZQObjectPtr>>& selectedItems() const { return m_selectionCache; }

    // --- Data source of the pane ---------------------------------------------------------------
    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) override;
    ZQUndoManager* undoManager() const override;

    // --- Notifications ---------------------------------------------------------------------------
    void selectionChanged(const platform::Notification& notification);
    void textLabelSelectionChanged(const platform::Notification& notification);
    void activeLayerChanged(const platform::Notification& notification);
    void textViewStartedEditing(const platform::Notification& notification);
    void textViewEndedEditing(const platform::Notification& notification);

    Q_INVOKABLE void textControllerHelpAction(QObject* sender = nullptr);

protected:
    QWidget* loadView() override;

private:
    void stopObservingDrawing();
    // Drops the cached set and has the pane load its content again.
    void reloadPane(bool dropCache);
    // Whether the notifying view shows this tab's drawing.
    bool isViewOfDrawing(QObject* view) const;
    VLTMFontManagerTrampoline* trampoline() const;
    // Fills the trampoline from the objects being edited and sends their font messages to them.
    void takeFontMessagesFor(const QList<ZQObjectPtr>& edited);
    void releaseFontMessages();

    QPointer<VXDrawing> m_drawing;
    std::shared_ptr<VLTM_VXTextShapeController> m_textShapeController;
    std::optional<QList<ZQObjectPtr>> m_selectionCache;
    ZQObjectPtr m_trampoline;
    std::unique_ptr<TextEditingFontTarget> m_editingTarget;
};
