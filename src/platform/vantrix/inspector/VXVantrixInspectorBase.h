#pragma once

// The base of inspector panels that every document shares. It follows the current document
// (the drawing document of the main window) and the selection of its drawing's active object
// layer, and tells the subclass what to show through two hooks, once per event-loop turn
// however many changes the turn brought:
// - redisplayContentForSelection with the selected objects (none when there is no document);
// - redisplayContentForSubSelectionOfObject when an object reports a selection inside itself
//   (its labels, say) through one of the notifications registered with
//   observeSubSelectionNotification.

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/WindowController.h"

#include <QPointer>
#include <functional>

class VXDrawingDocument;

class VXVantrixInspectorBase : public platform::WindowController {
    Q_OBJECT

public:
    // What an object that posted a sub-selection notification has selected inside itself.
    using SubSelectionReader = std::function<QList<ZQObjectPtr>(QObject* sender)>;

    VXVantrixInspectorBase();
    ~VXVantrixInspectorBase() override;

    // The drawing document of the main window; null when there is none.
    VXDrawingDocument* currentDocument() const;
    // Follows `name`, posted by objects of the current document's drawing whose selection inside
    // them changed; `read` answers that selection.
    void observeSubSelectionNotification(const QString& name, SubSelectionReader read);
    // Shows the current document's selection again at the end of the turn.
    void setNeedsRedisplay();

protected:
    virtual void redisplayContentForSelection(const QList<ZQObjectPtr>& selection) { Q_UNUSED(selection) }
    virtual void redisplayContentForSubSelectionOfObject(const QList<ZQObjectPtr>& subSelection, const ZQObjectPtr& object)
    {
        Q_UNUSED(subSelection) Q_UNUSED(object)
    }

private:
    void redisplay();
    void selectionChanged(const platform::Notification& notification);
    bool isInCurrentDrawing(QObject* object) const;
};
