#pragma once

// The measure tool ("Ruler", key "m"): while it is the current tool the document of its view
// shows the measuring ruler. A press off the ruler starts a new one there and the drag pulls
// its end; a press on an end moves that end, on the body the whole ruler. Hovering over the
// ruler shows what a press would do. A double-click on the ruler opens the map-scale
// calibration with the ruler's length as the map-side sample (the sheet opens at the release),
// so a known distance on a scanned map sets the scale. Nothing the tool does is an undo step.
//
// The tool is the calibration's delegate for the document it opened it for: the sheet starts
// from the document's scale with the ruler's length as its map side (the ratio kept), and
// every change goes to the document.

#include "app/setup/MapScaleCalibration.h"
#include "platform/vantrix/tools/VXDrawingTool.h"

#include <QPointer>

class VXQRuler;
class VXToolRegistry;
class ZQTrueQuorvaneDocument;

inline const QString kVXQMeasureToolName = QStringLiteral("Ruler");

// Registers a measure tool as "Ruler", key "m".
void registerMeasureTool(VXToolRegistry& registry);
// Has the application delegate's tool registration call registerMeasureTool; adds it once.
void addMeasureToolRegistration();

class VXQMeasureTool : public VXDrawingTool, public QVNCalibrationDelegate {
    Q_OBJECT

public:
    VXQMeasureTool();
    ~VXQMeasureTool() override;

    QCursor cursor() const override { return Qt::CrossCursor; }
    bool isValidTargetLayer(const VXLayer*) const override { return true; }

    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    // Answers false: nothing to undo.
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;
    void mouseMovedInView(QMouseEvent* event, VXDrawingView* view) override;
    void abandonGesture() override { m_calibratesOnRelease = false; }

    void toolControllerDidSetTool(VXToolController* controller) override;
    void toolControllerWillUnsetTool(VXToolController* controller) override;

    // Opens the calibration on the document of the controller's view, unless its ruler has no length.
    void doCalibration(VXToolController* controller);

    // --- As the calibration's delegate ----------------------------------------------------------
    // The document's scale with the ruler's length as map side, the ratio kept; null without
    // a document or a ruler of usable length.
    VXQMapScalePtr mapScale() const override;
    VXQMapScalePtr mapScaleForCancel(QObject* controller) const override;
    // These three go to the document.
    void setMapScale(const VXQMapScalePtr& scale) override;
    void calibrationWillBegin(QObject* controller) override;
    void cancelCalibration(QObject* controller, const VXQMapScalePtr& original) override;
    bool canOpenDrawingSizePanel() const override;
    void openDrawingSizePanel(QObject* controller) override;

    // The map document of the view and its ruler; null when there is none.
    static ZQTrueQuorvaneDocument* documentOfView(const VXDrawingView* view);
    static VXQRuler* rulerOfDocument(const ZQTrueQuorvaneDocument* document);

private:
    QPointer<ZQTrueQuorvaneDocument> m_calibratedDocument;
    // The part of the ruler under the pointer while hovering; VXQRuler::kNoPart for none.
    int m_hoverPart = 0;
    // A double-click on the ruler calibrates when its release ends the gesture.
    bool m_calibratesOnRelease = false;
};
