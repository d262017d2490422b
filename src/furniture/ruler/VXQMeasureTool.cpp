#include "furniture/ruler/VXQMeasureTool.h"

#include "app/application/VLTMAppDelegate.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "furniture/ruler/VXQRuler.h"
#include "platform/ui/Application.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "platform/vantrix/view/CursorStack.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QMouseEvent>
#include <cmath>
#include <utility>

namespace {

VXDrawingView* viewOf(const VXToolController* controller)
{
    return controller ? controller->view() : nullptr;
}

QWidget* surfaceOf(const VXDrawingView* view)
{
    return view ? view->viewport() : nullptr;
}

QCursor cursorForPart(int part)
{
    return part == VXQRuler::kBodyPart ? Qt::OpenHandCursor : Qt::SizeHorCursor;
}

} // namespace

void registerMeasureTool(VXToolRegistry& registry)
{
    auto tool = std::make_shared<VXQMeasureTool>();
    tool->setKeyboardEquivalent(QStringLiteral("m"));
    registry.registerDrawingToolWithName(tool, kVXQMeasureToolName);
}

void addMeasureToolRegistration()
{
    static const bool added = [] {
        VLTMAppDelegate::addToolRegistration(registerMeasureTool);
        return true;
    }();
    Q_UNUSED(added);
}

VXQMeasureTool::VXQMeasureTool() = default;
VXQMeasureTool::~VXQMeasureTool() = default;

ZQTrueQuorvaneDocument* VXQMeasureTool::documentOfView(const VXDrawingView* view)
{
    return view && view->drawing() ? qobject_cast<ZQTrueQuorvaneDocument*>(view->drawing()->owner()) : nullptr;
}

VXQRuler* VXQMeasureTool::rulerOfDocument(const ZQTrueQuorvaneDocument* document)
{
    return document ? dynamic_cast<VXQRuler*>(document->ruler().get()) : nullptr;
}

// --- The gesture -----------------------------------------------------------------------------------

int VXQMeasureTool::mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject*, VXLayer*,
                                                                   QMouseEvent* event, VXToolController* delegate)
{
    m_hoverPart = VXQRuler::kNoPart;
    VXDrawingView* view = viewOf(delegate);
    VXQRuler* ruler = rulerOfDocument(documentOfView(view));
    if (!ruler)
        return VXQRuler::kNoPart;
    // A new ruler starts at the press, and the drag pulls its end.
    if (!ruler->bounds().contains(point)) {
        ruler->mouseDownWithPartInView(point, VXQRuler::kNoPart, view);
        return VXQRuler::kRightEndPart;
    }
    if (event && event->type() == QEvent::MouseButtonDblClick) {
        // The sheet opens once the gesture is over: a modal sheet would keep the release from
        // the view and leave the gesture's undo group open.
        m_calibratesOnRelease = true;
        return VXQRuler::kNoPart;
    }
    const int part = ruler->hitTest(point);
    ruler->mouseDownWithPartInView(point, part, view);
    return part != VXQRuler::kNoPart ? part : VXQRuler::kRightEndPart;
}

void VXQMeasureTool::mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer*,
                                                                   QMouseEvent*, VXToolController* delegate)
{
    VXDrawingView* view = viewOf(delegate);
    VXQRuler* ruler = rulerOfDocument(documentOfView(view));
    if (!ruler)
        return;
    if (partCode == VXQRuler::kBodyPart)
        platform::CursorStack::set(surfaceOf(view), Qt::ClosedHandCursor);
    ruler->mouseDraggedWithPartInView(point, partCode, view);
}

bool VXQMeasureTool::mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                              QMouseEvent* event, VXToolController* delegate)
{
    mouseDraggedToPointPartCodeLayerEventDelegate(point, partCode, layer, event, delegate);
    platform::CursorStack::pop(surfaceOf(viewOf(delegate)));
    m_hoverPart = VXQRuler::kNoPart;
    if (std::exchange(m_calibratesOnRelease, false))
        doCalibration(delegate);
    return false;
}

void VXQMeasureTool::mouseMovedInView(QMouseEvent* event, VXDrawingView* view)
{
    const VXQRuler* ruler = rulerOfDocument(documentOfView(view));
    if (!ruler || !event)
        return;
    const int part = ruler->hitTest(view->convertPointToDrawing(event->position()));
    QWidget* surface = surfaceOf(view);
    if (part == VXQRuler::kNoPart) {
        platform::CursorStack::pop(surface);
        m_hoverPart = VXQRuler::kNoPart;
        return;
    }
    if (part == m_hoverPart)
        return;
    if (m_hoverPart == VXQRuler::kNoPart)
        platform::CursorStack::push(surface, cursorForPart(part));
    else
        platform::CursorStack::set(surface, cursorForPart(part));
    m_hoverPart = part;
}

void VXQMeasureTool::toolControllerDidSetTool(VXToolController* controller)
{
    if (ZQTrueQuorvaneDocument* document = documentOfView(viewOf(controller)))
        document->setRulerVisible(true);
}

void VXQMeasureTool::toolControllerWillUnsetTool(VXToolController* controller)
{
    VXDrawingView* view = viewOf(controller);
    if (ZQTrueQuorvaneDocument* document = documentOfView(view))
        document->setRulerVisible(false);
    // Hover cursors pushed over this view would otherwise come back under the next tool.
    platform::CursorStack::popAll(surfaceOf(view));
    m_hoverPart = VXQRuler::kNoPart;
}

// --- Calibration -----------------------------------------------------------------------------------

void VXQMeasureTool::doCalibration(VXToolController* controller)
{
    ZQTrueQuorvaneDocument* document = documentOfView(viewOf(controller));
    const VXQRuler* ruler = rulerOfDocument(document);
    if (!ruler)
        return;
    // A double-click right after a click leaves a ruler of no length: it measures nothing.
    if (!(ruler->length() > 0) || !std::isfinite(ruler->length())) {
        platform::Application::beep();
        return;
    }
    ZQCalibrationPanel* panel = document->calibrationController();
    if (!panel)
        return;
    m_calibratedDocument = document;
    panel->beginDialogOnParentWindowCalibrationDelegate(document->windowForSheet(), this);
}

VXQMapScalePtr VXQMeasureTool::mapScale() const
{
    const VXQRuler* ruler = rulerOfDocument(m_calibratedDocument);
    if (!ruler)
        return nullptr;
    const VXQMapScalePtr scale = m_calibratedDocument->mapScale();
    const double pointsPerUnit = scale->referenceMeasurement()->unit()->conversionFactorForPoints();
    // Not normalized: the sample must stay the length the user measured.
    return scale->mapScaleWithReferenceValueKeepingScaleFactor(ruler->length() / pointsPerUnit, true);
}

VXQMapScalePtr VXQMeasureTool::mapScaleForCancel(QObject*) const
{
    return m_calibratedDocument ? m_calibratedDocument->mapScale() : nullptr;
}

void VXQMeasureTool::setMapScale(const VXQMapScalePtr& scale)
{
    if (m_calibratedDocument)
        m_calibratedDocument->setMapScale(scale);
}

void VXQMeasureTool::calibrationWillBegin(QObject* controller)
{
    if (m_calibratedDocument)
        m_calibratedDocument->calibrationWillBegin(controller);
}

void VXQMeasureTool::cancelCalibration(QObject* controller, const VXQMapScalePtr& original)
{
    if (m_calibratedDocument)
        m_calibratedDocument->cancelCalibration(controller, original);
}

bool VXQMeasureTool::canOpenDrawingSizePanel() const
{
    return m_calibratedDocument && m_calibratedDocument->canOpenDrawingSizePanel();
}

void VXQMeasureTool::openDrawingSizePanel(QObject* controller)
{
    if (m_calibratedDocument)
        m_calibratedDocument->openDrawingSizePanel(controller);
}
