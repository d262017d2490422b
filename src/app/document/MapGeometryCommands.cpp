#include "app/document/MapGeometryCommands.h"

#include "app/commands/CopyPlacement.h"
#include "app/commands/GeometryCommandSheets.h"
#include "app/commands/ObjectBuffering.h"
#include "app/document/ZQQuorvaneDocument.h"
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

QPointF drawingPointForGridLocation(const VXDrawing& drawing, QPointF location)
{
    const auto grid = drawing.gridLayer();
    return grid ? grid->pointForGridLocation(location) : drawing.convertPointToBase(location);
}

// Adds the copies to the layer, selected, as one undo step.
void addDuplicates(VXObjectDrawingLayer& layer, const QList<VXDrawableObjectPtr>& copies, const QString& actionName)
{
    if (copies.isEmpty())
        return;
    layer.editWithSelectionUndo(actionName, [&] {
        const CopyPlacement placing;
        layer.addObjectsFromArray(copies);
        layer.exchangeSelectionWithObjectsFromArray(copies);
    });
}

} // namespace

void MapGeometryCommands::runLinearDuplicateSheet()
{
    if (!m_linearDuplicateSheet && WindowServices::installed().makeLinearDuplicateSheet)
        m_linearDuplicateSheet = WindowServices::installed().makeLinearDuplicateSheet();
    if (m_linearDuplicateSheet)
        m_linearDuplicateSheet->beginLinearDuplicationDialogLinearDelegate(m_document.windowForSheet(), &m_document);
}

void MapGeometryCommands::runPolarDuplicateSheet()
{
    if (!m_polarDuplicateSheet && WindowServices::installed().makePolarDuplicateSheet)
        m_polarDuplicateSheet = WindowServices::installed().makePolarDuplicateSheet();
    if (m_polarDuplicateSheet)
        m_polarDuplicateSheet->beginPolarDuplicationDialogPolarDelegate(m_document.windowForSheet(), &m_document);
}

void MapGeometryCommands::runBufferSheet()
{
    if (!WindowServices::installed().makeBufferSheet)
        return;
    m_bufferSheet = WindowServices::installed().makeBufferSheet();
    if (m_bufferSheet)
        m_bufferSheet->runBufferDialogForWindowBufferDelegate(m_document.windowForSheet(), &m_document);
}

bool MapGeometryCommands::hasLinearDuplicateSheet() const
{
    return m_linearDuplicateSheet || WindowServices::installed().makeLinearDuplicateSheet;
}

bool MapGeometryCommands::hasPolarDuplicateSheet() const
{
    return m_polarDuplicateSheet || WindowServices::installed().makePolarDuplicateSheet;
}

bool MapGeometryCommands::hasBufferSheet() const
{
    return bool(WindowServices::installed().makeBufferSheet);
}

void MapGeometryCommands::duplicateLinearly(int copies, QSizeF offset)
{
    VXObjectDrawingLayer* layer = m_document.activeObjectLayer();
    if (!layer || !m_document.drawing() || !isAcceptableCopyCount(copies))
        return;
    const QList<VXDrawableObjectPtr> originals = layer->selectedAvailableObjects();
    if (originals.isEmpty())
        return;
    const double pointsPerUnit = pointsPerOffsetUnit();
    const QSizeF points(offset.width() * pointsPerUnit, offset.height() * pointsPerUnit);
    addDuplicates(*layer, VXObjectDrawingLayer::linearDuplicateOffsetNumberOfCopies(originals, points, copies),
                  tr("Linear Duplication"));
}

void MapGeometryCommands::duplicateRoundCentre(int copies, QPointF centre, double incrementAngle, bool rotateCopies)
{
    VXObjectDrawingLayer* layer = m_document.activeObjectLayer();
    const VXDrawingPtr& drawing = m_document.drawing();
    if (!layer || !drawing || !isAcceptableCopyCount(copies) || !std::isfinite(incrementAngle))
        return;
    const QList<VXDrawableObjectPtr> originals = layer->selectedAvailableObjects();
    if (originals.isEmpty())
        return;
    addDuplicates(*layer,
                  VXObjectDrawingLayer::polarDuplicateCentreNumberOfCopiesIncrementAngleRotateCopies(
                      originals, drawingPointForGridLocation(*drawing, centre), copies,
                      incrementAngle * std::numbers::pi / 180, rotateCopies),
                  tr("Polar Duplication"));
}

void MapGeometryCommands::duplicateAllRoundCentre(QPointF centre)
{
    VXObjectDrawingLayer* layer = m_document.activeObjectLayer();
    const VXDrawingPtr& drawing = m_document.drawing();
    const QList<VXDrawableObjectPtr> originals = layer ? layer->selectedAvailableObjects() : QList<VXDrawableObjectPtr>();
    if (originals.size() != 1 || !drawing)
        return;
    addDuplicates(*layer,
                  VXObjectDrawingLayer::autoPolarDuplicateCentre(originals.first(),
                                                                 drawingPointForGridLocation(*drawing, centre)),
                  tr("Auto Polar Duplication"));
}

double MapGeometryCommands::pointsPerOffsetUnit() const
{
    const VXDrawingPtr& drawing = m_document.drawing();
    if (!drawing)
        return 1.0;
    const auto grid = drawing->gridLayer();
    return grid ? grid->quartzDistanceForGridDistance(1) : drawing->unitToPointsConversionFactor();
}

QPointF MapGeometryCommands::gridPointForPointInWindow(QPointF point, QWidget* window, bool snap) const
{
    const VXDrawingView* view = m_document.mainView();
    const VXDrawingPtr& drawing = m_document.drawing();
    if (!view || !window || !drawing)
        return {};
    const QPointF global = window->mapToGlobal(point);
    const QPointF inDrawing = drawing->snapToGridWithControlFlag(
        view->convertPointToDrawing(view->viewport()->mapFromGlobal(global)), snap);
    if (!drawing->interior().contains(inDrawing))
        return {};
    const auto grid = drawing->gridLayer();
    return grid ? grid->gridLocationForPoint(inDrawing) : drawing->convertPoint(inDrawing);
}

VXDrawableObject* MapGeometryCommands::singleSelectedObject() const
{
    const VXObjectDrawingLayer* layer = m_document.activeObjectLayer();
    const QList<VXDrawableObjectPtr> selection = layer ? layer->selection() : QList<VXDrawableObjectPtr>();
    return selection.size() == 1 ? selection.first().get() : nullptr;
}

bool MapGeometryCommands::canBuffer() const
{
    const VXDrawableObject* object = singleSelectedObject();
    return object && !object->locked() && ObjectBuffering::answersBufferByDistance(*object);
}

QString MapGeometryCommands::bufferUnitsString() const
{
    return m_document.drawing() ? m_document.drawing()->abbreviatedDrawingUnits() : QString();
}

double MapGeometryCommands::pointsPerBufferUnit() const
{
    return m_document.drawing() ? m_document.drawing()->unitToPointsConversionFactor() : 1.0;
}

void MapGeometryCommands::bufferByDistance(double distance)
{
    VXDrawableObject* object = singleSelectedObject();
    if (!object || object->locked() || !ObjectBuffering::bufferByDistance(*object, distance))
        platform::Application::beep();
}
