// The geometry commands on the selection: copies in a line or round a centre, and buffer zones.

#include "app/document/ZQQuorvaneDocument.h"

#include "app/commands/ObjectBuffering.h"
#include "app/services/WindowServices.h"
#include "platform/ui/Application.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QWidget>
#include <cmath>
#include <numbers>

namespace {

bool isAcceptableCopyCount(int copies)
{
    return copies >= 1 && copies <= VXObjectDrawingLayer::kMaximumDuplicateCopies;
}

} // namespace

void ZQQuorvaneDocument::linearDuplicate(QObject*)
{
    if (!m_linearDuplicateController && WindowServices::installed().makeLinearDuplicateSheet)
        m_linearDuplicateController = WindowServices::installed().makeLinearDuplicateSheet();
    if (m_linearDuplicateController)
        m_linearDuplicateController->beginLinearDuplicationDialogLinearDelegate(windowForSheet(), this);
}

void ZQQuorvaneDocument::polarDuplicate(QObject*)
{
    if (!m_polarDuplicateController && WindowServices::installed().makePolarDuplicateSheet)
        m_polarDuplicateController = WindowServices::installed().makePolarDuplicateSheet();
    if (m_polarDuplicateController)
        m_polarDuplicateController->beginPolarDuplicationDialogPolarDelegate(windowForSheet(), this);
}

void ZQQuorvaneDocument::bufferAction(QObject*)
{
    if (!WindowServices::installed().makeBufferSheet)
        return;
    m_bufferController = WindowServices::installed().makeBufferSheet();
    if (m_bufferController)
        m_bufferController->runBufferDialogForWindowBufferDelegate(windowForSheet(), this);
}

VXDrawableObject* ZQQuorvaneDocument::singleSelectedObject() const
{
    const VXObjectDrawingLayer* layer = activeObjectLayer();
    const QList<VXDrawableObjectPtr> selection = layer ? layer->selection() : QList<VXDrawableObjectPtr>();
    return selection.size() == 1 ? selection.first().get() : nullptr;
}

bool ZQQuorvaneDocument::canBuffer() const
{
    const VXDrawableObject* object = singleSelectedObject();
    return object && !object->locked() && ObjectBuffering::answersBufferByDistance(*object);
}

void ZQQuorvaneDocument::addDuplicates(const QList<VXDrawableObjectPtr>& copies, const QString& actionName)
{
    VXObjectDrawingLayer* layer = activeObjectLayer();
    if (!layer || copies.isEmpty())
        return;
    layer->editWithSelectionUndo(actionName, [&] {
        layer->addObjectsFromArray(copies);
        layer->exchangeSelectionWithObjectsFromArray(copies);
    });
}

void ZQQuorvaneDocument::doLinearDuplicateCopiesOffset(int copies, QSizeF offset)
{
    const VXObjectDrawingLayer* layer = activeObjectLayer();
    if (!layer || !drawing() || !isAcceptableCopyCount(copies))
        return;
    const QList<VXDrawableObjectPtr> originals = layer->selectedAvailableObjects();
    if (originals.isEmpty())
        return;
    const double pointsPerUnit = unitsConversionFactorForOffsetUnits();
    const QSizeF points(offset.width() * pointsPerUnit, offset.height() * pointsPerUnit);
    addDuplicates(VXObjectDrawingLayer::linearDuplicateOffsetNumberOfCopies(originals, points, copies),
                  tr("Linear Duplication"));
}

double ZQQuorvaneDocument::unitsConversionFactorForOffsetUnits() const
{
    if (!drawing())
        return 1.0;
    const auto grid = drawing()->gridLayer();
    return grid ? grid->quartzDistanceForGridDistance(1) : drawing()->unitToPointsConversionFactor();
}

namespace {

QPointF drawingPointForGridLocation(const VXDrawing& drawing, QPointF location)
{
    const auto grid = drawing.gridLayer();
    return grid ? grid->pointForGridLocation(location) : drawing.convertPointToBase(location);
}

} // namespace

void ZQQuorvaneDocument::doPolarDuplicateCopiesCentreIncAngleRotateCopies(int copies, QPointF centre,
                                                                          double incrementAngle, bool rotateCopies)
{
    const VXObjectDrawingLayer* layer = activeObjectLayer();
    if (!layer || !drawing() || !isAcceptableCopyCount(copies) || !std::isfinite(incrementAngle))
        return;
    const QList<VXDrawableObjectPtr> originals = layer->selectedAvailableObjects();
    if (originals.isEmpty())
        return;
    addDuplicates(VXObjectDrawingLayer::polarDuplicateCentreNumberOfCopiesIncrementAngleRotateCopies(
                      originals, drawingPointForGridLocation(*drawing(), centre), copies,
                      incrementAngle * std::numbers::pi / 180, rotateCopies),
                  tr("Polar Duplication"));
}

void ZQQuorvaneDocument::doAutoPolarDuplicateWithCentre(QPointF centre)
{
    const VXObjectDrawingLayer* layer = activeObjectLayer();
    const QList<VXDrawableObjectPtr> originals = layer ? layer->selectedAvailableObjects() : QList<VXDrawableObjectPtr>();
    if (originals.size() != 1 || !drawing())
        return;
    addDuplicates(VXObjectDrawingLayer::autoPolarDuplicateCentre(originals.first(),
                                                                 drawingPointForGridLocation(*drawing(), centre)),
                  tr("Auto Polar Duplication"));
}

QPointF ZQQuorvaneDocument::gridPointForPointInWindowSnapToGrid(QPointF point, QWidget* window, bool snap)
{
    const VXDrawingView* view = mainView();
    if (!view || !window || !drawing())
        return {};
    const QPointF global = window->mapToGlobal(point);
    const QPointF inDrawing = drawing()->snapToGridWithControlFlag(
        view->convertPointToDrawing(view->viewport()->mapFromGlobal(global)), snap);
    if (!drawing()->interior().contains(inDrawing))
        return {};
    const auto grid = drawing()->gridLayer();
    return grid ? grid->gridLocationForPoint(inDrawing) : drawing()->convertPoint(inDrawing);
}

QString ZQQuorvaneDocument::unitsStringForBufferUnits() const
{
    return drawing() ? drawing()->abbreviatedDrawingUnits() : QString();
}

double ZQQuorvaneDocument::unitsConversionFactorForBufferUnits() const
{
    return drawing() ? drawing()->unitToPointsConversionFactor() : 1.0;
}

void ZQQuorvaneDocument::bufferControllerPerformBufferingWithDistance(double distance)
{
    VXDrawableObject* object = singleSelectedObject();
    if (!object || object->locked() || !ObjectBuffering::bufferByDistance(*object, distance))
        platform::Application::beep();
}
