#include "symbols/tool/VXQSymbolTool.h"

#include "app/application/VLTMAppDelegate.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Application.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "symbols/manager/VXQSymbolManager.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/placed/VXQSymbol.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStringDecoder>

namespace {

bool optionHeld(const QMouseEvent* event)
{
    return event && (platform::modifierFlagsFromQt(event->modifiers()) & platform::OptionKeyMask);
}

// The owner of the layer's drawing (the map document) decides the scale new symbols start at.
double documentPrescale(const VXLayer& layer)
{
    const VXDrawing* drawing = layer.drawing();
    const QObject* owner = drawing ? drawing->owner() : nullptr;
    const QVariant prescale = owner ? owner->property("prescale") : QVariant();
    return prescale.isValid() ? prescale.toDouble() : 1.0;
}

void tellPlaced(const VXDrawableObjectPtr& object, QObject* container)
{
    if (object->respondsToSelector("symbolInstanceWasPlaced"))
        object->performSelector("symbolInstanceWasPlaced", {QVariant::fromValue(container)});
}

} // namespace

void registerSymbolTool(VXToolRegistry& registry)
{
    auto tool = std::make_shared<VXQSymbolTool>(VXQSymbolMaster::defaultSymbolMaster());
    tool->setKeyboardEquivalent(QStringLiteral("y"));
    registry.registerDrawingToolWithName(tool, kVXQSymbolToolName);
}

void addSymbolToolRegistration()
{
    static const bool added = [] {
        VLTMAppDelegate::addToolRegistration(registerSymbolTool);
        return true;
    }();
    Q_UNUSED(added);
}

VXQSymbolTool::VXQSymbolTool(const VXQSymbolMasterPtr& master)
    : VXObjectCreationTool(nullptr, Geometry::Box)
    , m_symbolMaster(master)
{
}

VXQSymbolTool::~VXQSymbolTool() { dropPendingSymbol(); }

// Misuse is a programming error, but one a user's gesture can reach: log it and go on.
VXDrawableObjectPtr VXQSymbolTool::prototype() const
{
    ZQLogObjCMethod(QStringLiteral("-prototype method is not used in VXQSymbolTool = use symbolMaster property instead"));
    return nullptr;
}

bool VXQSymbolTool::setPrototype(const ZQObjectPtr& prototype)
{
    if (!prototype)
        return false;
    auto master = std::dynamic_pointer_cast<VXQSymbolMaster>(prototype);
    if (!master) {
        ZQLogObjCMethod(QStringLiteral("VXQSymbolTool requires prototype to be a VXQSymbolMaster"));
        return false;
    }
    setSymbolMaster(master);
    return true;
}

std::shared_ptr<VXQSymbol> VXQSymbolTool::objectFromPrototype() const
{
    return m_symbolMaster ? m_symbolMaster->symbolWithLocation(QPointF(0, 0)) : nullptr;
}

VXStylePtr VXQSymbolTool::style() const
{
    if (VXStylePtr style = styleForCreatedObjects())
        return style;
    return m_symbolMaster ? m_symbolMaster->style() : nullptr;
}

QString VXQSymbolTool::actionName() const
{
    return m_actionName.isEmpty() ? VXObjectCreationTool::actionName() : m_actionName;
}

QCursor VXQSymbolTool::symbolToolCursor()
{
    static const QCursor cursor = [] {
        QPixmap stamp(32, 32);
        stamp.fill(Qt::transparent);
        QPainter painter(&stamp);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::white, 1.0));
        painter.setBrush(Qt::black);
        painter.drawEllipse(QRectF(11.5, 1.5, 9, 7));                           // knob
        painter.drawRect(QRectF(14.5, 8.5, 3, 6));                              // neck
        painter.drawRoundedRect(QRectF(6.5, 14.5, 19, 6), 1.5, 1.5);            // block
        painter.fillRect(QRectF(6, 21, 20, 2), QColor(200, 30, 30));            // inked face
        painter.end();
        return QCursor(stamp, 6, 23);
    }();
    return cursor;
}

QByteArray VXQSymbolTool::persistentData() const
{
    return m_symbolMaster ? m_symbolMaster->uniqueKey().toUtf8() : QByteArray();
}

bool VXQSymbolTool::shouldLoadPersistentData(const QByteArray& data)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString key = decoder.decode(data);
    if (data.isEmpty() || decoder.hasError() || key.contains(QChar::Null)) {
        ZQLogObjCMethod(QStringLiteral("refused damaged persistent data of %1 bytes").arg(data.size()));
        return false;
    }
    m_symbolMaster = VXQSymbolManager::sharedSymbolForKey(key);
    return m_symbolMaster != nullptr;
}

// --- The gesture ------------------------------------------------------------------------------------------------------

int VXQSymbolTool::mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target,
                                                                  VXLayer* layer, QMouseEvent* event,
                                                                  VXToolController*)
{
    dropPendingSymbol();
    if (beginPlacing(point, target, layer, event))
        return 1;
    // The press places nothing and the gesture goes on empty.
    platform::Application::beep();
    dropPendingSymbol();
    return 0;
}

bool VXQSymbolTool::beginPlacing(QPointF point, VXDrawableObject* target, VXLayer* layer, const QMouseEvent* event)
{
    auto* objectLayer = qobject_cast<VXObjectOwnerLayer*>(layer);
    if (!objectLayer || !m_symbolMaster) {
        LogEvent(kUserEvent, objectLayer ? QStringLiteral("symbol tool: no symbol master chosen")
                                         : QStringLiteral("symbol tool: the layer cannot hold symbols"));
        return false;
    }
    m_symbol = m_symbolMaster->symbolWithLocationDocumentPrescale({0, 0}, documentPrescale(*layer));
    if (!m_symbol) {
        LogEvent(kUserEvent, QStringLiteral("symbol tool: %1 made no symbol").arg(m_symbolMaster->description()));
        return false;
    }
    m_layer = objectLayer;
    m_actionName.clear();
    if (auto* drawingLayer = qobject_cast<VXObjectDrawingLayer*>(objectLayer))
        drawingLayer->deselectAll();
    setTargetPath(optionHeld(event) ? nullptr : qobject_cast<ZQMultiStylePath*>(target));
    placeAt(point, event, false);
    m_layer->addObjectPendingCreation(m_symbol);
    return true;
}

void VXQSymbolTool::mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int, VXLayer*, QMouseEvent* event,
                                                                  VXToolController*)
{
    if (!m_symbol || !m_layer)
        return;
    if (!optionHeld(event)) {
        const VXDrawableObjectPtr hit = m_layer->hitTest(point);
        setTargetPath(qobject_cast<ZQMultiStylePath*>(hit.get()));
    }
    placeAt(point, event, true);
}

bool VXQSymbolTool::mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int, VXLayer*, QMouseEvent* event,
                                                             VXToolController*)
{
    if (!m_symbol || !m_layer)
        return false;
    const VXDrawableObjectPtr placed = objectToPlace(event);
    const double length = targetPathLengthAt(point);
    if (m_targetPath && length >= 0) {
        m_layer->removePendingObject();
        m_targetPath->addAdornmentWithObjectAtPositionDisplayName(
            placed, length, QStringLiteral("Symbol \u201C%1\u201D").arg(m_symbolMaster->name()));
        tellPlaced(placed, m_targetPath);
        m_actionName = QStringLiteral("Place Symbol On Track");
    } else {
        m_layer->removePendingObject();
        placed->setLocation(snapped(point, m_layer, event));
        m_layer->addObjectPendingCreation(placed);
        m_layer->commitPendingObjectWithUndoActionName(QString());
        m_actionName = QStringLiteral("Place Symbol");
        tellPlaced(placed, m_layer);
    }
    m_symbol.reset();
    m_layer.clear();
    m_targetPath.clear();
    return true;
}

VXDrawableObjectPtr VXQSymbolTool::objectToPlace(const QMouseEvent* event) const
{
    if (m_symbolMaster->autoDetachesInstances() || optionHeld(event))
        return m_symbol->mutableCopyOfMasterObject();
    return m_symbol;
}

void VXQSymbolTool::placeAt(QPointF point, const QMouseEvent* event, bool turnWithPath)
{
    const double length = targetPathLengthAt(point);
    changePendingSymbol([&](VXQSymbol& symbol) {
        if (length >= 0) {
            double slope = 0;
            symbol.setLocation(m_targetPath->renderingPath().pointOnPathAtLengthSlope(length, &slope));
            if (turnWithPath)
                symbol.setAngle(slope);
        } else {
            symbol.setLocation(snapped(point, m_layer, event));
            if (turnWithPath)
                symbol.setAngle(0);
        }
    });
}

double VXQSymbolTool::targetPathLengthAt(QPointF point) const
{
    return m_targetPath ? m_targetPath->lengthForPoint(point) : -1;
}

void VXQSymbolTool::setTargetPath(ZQMultiStylePath* path)
{
    m_targetPath = path;
    auto* drawingLayer = qobject_cast<VXObjectDrawingLayer*>(m_layer.data());
    if (!drawingLayer)
        return;
    if (path)
        drawingLayer->replaceSelectionWithObject(std::static_pointer_cast<VXDrawableObject>(path->shared_from_this()));
    else
        drawingLayer->deselectAll();
}

void VXQSymbolTool::changePendingSymbol(const std::function<void(VXQSymbol&)>& change)
{
    const bool pending = m_layer && m_layer->pendingObject() == m_symbol.get();
    if (pending)
        m_layer->removePendingObject();
    change(*m_symbol);
    if (pending)
        m_layer->addObjectPendingCreation(m_symbol);
}

void VXQSymbolTool::dropPendingSymbol()
{
    if (m_layer && m_symbol && m_layer->pendingObject() == m_symbol.get())
        m_layer->removePendingObject();
    m_symbol.reset();
    m_layer.clear();
    m_targetPath.clear();
}
