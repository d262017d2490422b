#pragma once

// Shows the scale bar pane in a map window's right side panel while scale bars are selected
// in that window's drawing, and hides it again when none are. It feeds the pane the selected
// scale bars of the layer whose selection changed last and the document's undo manager.

#include "app/sidebar/VLTMObjectControllerDataSource.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class VLTM_VXQScaleBarShapeController;
class VXObjectDrawingLayer;
class ZQQuorvaneDocument;

class ScaleBarPaneHost : public QObject, public VLTMObjectControllerDataSource {
    Q_OBJECT

public:
    // Starts following selection changes of every layer; the application makes one.
    ScaleBarPaneHost();
    ~ScaleBarPaneHost() override;

    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) override;
    ZQUndoManager* undoManager() const override;

    // The pane shown in a document's side panel; null when it has none.
    VLTM_VXQScaleBarShapeController* paneOfDocument(const ZQQuorvaneDocument* document) const;
    void selectionDidChangeInLayer(VXObjectDrawingLayer* layer);

private:
    struct Shown {
        QPointer<ZQQuorvaneDocument> document;
        QPointer<VXObjectDrawingLayer> layer;
        std::shared_ptr<VLTM_VXQScaleBarShapeController> pane;
    };
    Shown* shownForController(const VLTMGenericObjectController* controller);

    QList<Shown> m_shown;
    QPointer<ZQQuorvaneDocument> m_lastDocument;
};
