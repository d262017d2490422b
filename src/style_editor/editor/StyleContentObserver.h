#pragma once

// What the Style tab follows to know which style to show and when it changed: the drawing's
// active layer and selections, the style of each selected object, the tool's current style,
// and the keys of the style shown. Bursts are coalesced into one signal on the next run-loop
// turn (one per layer for selections); the last to run decides.

#include "platform/foundation/NotificationCenter.h"
#include "platform/vantrix/inspector/ObjectsChangeWatch.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QObject>
#include <QPointer>
#include <memory>

class VXDrawing;
class VXObjectDrawingLayer;

class StyleContentObserver : public QObject {
    Q_OBJECT

public:
    StyleContentObserver() = default;
    ~StyleContentObserver() override;

    // Follows the drawing's active layer, selections and units; takes its active layer's
    // selection at once (what was selected in another drawing is no longer there to edit).
    void followDrawing(VXDrawing* previous, VXDrawing* drawing);
    // The tool's style is followed only while `view`'s window is active.
    void followToolStyles(QWidget* view);

    QList<VXDrawableObjectPtr> selection() const { return m_selection; }
    // The selection as a set of objects: the same objects in another order change nothing.
    void setSelection(const QList<VXDrawableObjectPtr>& selection);
    // Schedules setSelection with the layer's selection on the next turn.
    void setSelectionFromLayer(VXObjectDrawingLayer* layer);
    // The selection's distinct styles, in selection order.
    QList<VXStylePtr> stylesOfSelection() const;

    // Reports each key path of the style now and whenever it changes.
    void observeStyle(const VXStylePtr& style, const QStringList& keyPaths);
    void stopObservingStyle();
    // While observeStyle reports the initial values.
    bool isStartingObservation() const { return m_startingObservation; }

Q_SIGNALS:
    void selectionDidChange(const QList<VXStylePtr>& styles);
    // A selected object was given another style.
    void selectionStylesDidChange(const QList<VXStylePtr>& styles);
    void toolStyleDidChange(const VXStylePtr& style);
    void drawingUnitsDidChange();
    void styleValueDidChange(const QString& key);

private:
    struct Observation {
        std::weak_ptr<ZQObject> object;
        quint64 token = 0;
    };

    void observeSelectionStyles();
    void selectionWasRestyled();
    static void removeObservations(QList<Observation>& observations);

    QPointer<VXDrawing> m_drawing;
    QPointer<QWidget> m_toolStyleView;
    QList<VXDrawableObjectPtr> m_selection;
    // One watch for the whole selection, however large, rather than one per object.
    std::unique_ptr<platform::ObjectsChangeWatch> m_selectionStyles;
    bool m_restylePending = false;
    QList<Observation> m_styleObservations;
    bool m_startingObservation = false;
};
