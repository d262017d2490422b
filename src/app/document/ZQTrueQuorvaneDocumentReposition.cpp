// Reposition mode: the whole content of a map moved and scaled by hand over its page.

#include "app/document/ZQTrueQuorvaneDocument.h"

#include "app/services/WindowServices.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/drawables/WholeContentTransform.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QImage>

namespace {

// The ruler strip that hosts the overlay's buttons.
class RulerAccessory : public QWidget {
public:
    QSize sizeHint() const override { return {0, 30}; }
};

// The whole drawing at the size the fitted view shows it.
QImage pictureOfDrawing(const VXDrawing& drawing, const VXDrawingView& view)
{
    const QRectF bounds = drawing.bounds();
    const double ratio = view.devicePixelRatioF();
    const QSize pixels = (view.convertRectFromDrawing(bounds).size() * ratio).toSize().expandedTo({1, 1});
    QImage picture = platform::DrawingRenderer::imageOfDrawing(drawing, bounds, pixels, drawing.paperColour());
    picture.setDevicePixelRatio(ratio);
    return picture;
}

} // namespace

void ZQTrueQuorvaneDocument::repositionContentAction(QObject*)
{
    VXDrawingView* view = mainView();
    if (m_inRepositionMode || !view || !drawing())
        return;
    view->endTextEditing();
    view->zoomViewToFitInWindow();
    view->setRulersVisible(true);
    view->setHorizontalRulerAccessory(new RulerAccessory);
    beginRepositionMode();
}

void ZQTrueQuorvaneDocument::beginRepositionMode()
{
    if (!ZQ_EXPECT(!m_inRepositionMode, QStringLiteral("reposition mode already begun, cannot nest entry")))
        return;
    VXDrawingView* view = mainView();
    const WindowServices& services = WindowServices::installed();
    if (view && drawing() && services.makeTransformAdjustmentView) {
        m_adjustmentView = services.makeTransformAdjustmentView(*view, pictureOfDrawing(*drawing(), *view), this);
        if (m_adjustmentView)
            m_adjustmentView->setFocus();
    }
    m_inRepositionMode = true;
}

void ZQTrueQuorvaneDocument::endRepositionMode()
{
    if (!m_inRepositionMode)
        return;
    if (TransformAdjustmentView* overlay = std::exchange(m_adjustmentView, nullptr))
        overlay->cancelAdjustmentAction();
    m_inRepositionMode = false;
    if (VXDrawingView* view = mainView()) {
        view->setHorizontalRulerAccessory(nullptr);
        view->updateRulerMarkersForRect(QRectF());
    }
}

void ZQTrueQuorvaneDocument::adjustmentViewDidEndWithResponse(TransformAdjustmentView& overlay, int response)
{
    const QTransform transform = overlay.transform();
    m_adjustmentView = nullptr;
    endRepositionMode();
    // A transform that cannot be undone would flatten the map for good.
    if (response != 1 || !drawing() || transform.isIdentity() || !transform.isInvertible())
        return;
    {
        const VXDrawing::DisplayBatch display(drawing().get());
        const WholeContentTransform together;
        for (const VXLayerPtr& layer : drawing()->flattenedLayers()) {
            auto* objects = qobject_cast<VXObjectOwnerLayer*>(layer.get());
            if (!objects)
                continue;
            const auto deferral = objects->deferringReindex();
            for (const VXDrawableObjectPtr& object : objects->objects())
                object->applyTransform(transform);
        }
    }
    // Later imports land where the content now is; a map without imports has nothing to follow.
    if (m_shapefileTransform)
        setShapefileTransform(*m_shapefileTransform * transform);
    undoManager()->setActionName(tr("Reposition Content"));
}

void ZQTrueQuorvaneDocument::adjustmentViewDidChangeSelectionRect(TransformAdjustmentView&, const QRectF& rect)
{
    if (VXDrawingView* view = mainView())
        view->updateRulerMarkersForRect(rect);
}

QWidget* ZQTrueQuorvaneDocument::hostingViewForAdjustmentControls(TransformAdjustmentView&)
{
    VXDrawingView* view = mainView();
    return view ? view->horizontalRulerAccessory() : nullptr;
}
