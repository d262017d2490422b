#include "platform/vantrix/inspector/VXVantrixInspectorBase.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/WindowNotifications.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

namespace {

const QByteArray kRedisplayKey = "redisplayInspector";

} // namespace

VXVantrixInspectorBase::VXVantrixInspectorBase()
{
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    const auto follow = [this](const platform::Notification& notification) { selectionChanged(notification); };
    for (const QString& name : {kVXLayerSelectionDidChange, kVXDrawingActiveLayerDidChange,
                                platform::kNSWindowDidBecomeMainNotification, platform::kNSWindowDidResignMainNotification})
        centre.addObserver(this, name, nullptr, follow);
}

VXVantrixInspectorBase::~VXVantrixInspectorBase()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

VXDrawingDocument* VXVantrixInspectorBase::currentDocument() const
{
    platform::DocumentController* documents = platform::DocumentController::existingSharedDocumentController();
    return documents ? qobject_cast<VXDrawingDocument*>(documents->currentDocument()) : nullptr;
}

bool VXVantrixInspectorBase::isInCurrentDrawing(QObject* object) const
{
    const VXDrawingDocument* document = currentDocument();
    const VXDrawing* drawing = document ? document->drawing().get() : nullptr;
    if (!drawing || !object)
        return false;
    if (object == drawing)
        return true;
    if (const auto* layer = qobject_cast<const VXLayer*>(object))
        return layer->drawing() == drawing;
    if (const auto* drawable = qobject_cast<const VXDrawableObject*>(object))
        return drawable->drawing() == drawing;
    return false;
}

void VXVantrixInspectorBase::selectionChanged(const platform::Notification& notification)
{
    const bool windows = notification.name == platform::kNSWindowDidBecomeMainNotification
                         || notification.name == platform::kNSWindowDidResignMainNotification;
    if (windows || isInCurrentDrawing(notification.object()))
        setNeedsRedisplay();
}

void VXVantrixInspectorBase::observeSubSelectionNotification(const QString& name, SubSelectionReader read)
{
    platform::NotificationCenter::defaultCenter().addObserver(
        this, name, nullptr, [this, read = std::move(read)](const platform::Notification& notification) {
            auto* object = qobject_cast<ZQObject*>(notification.object());
            if (!object || !isInCurrentDrawing(object))
                return;
            // The latest change decides: a selection redisplay still pending would hide this one.
            platform::RunLoop::cancelPreviousPerformRequests(this, kRedisplayKey);
            redisplayContentForSubSelectionOfObject(read(object), object->shared_from_this());
        });
}

void VXVantrixInspectorBase::setNeedsRedisplay()
{
    platform::RunLoop::cancelPreviousPerformRequests(this, kRedisplayKey);
    platform::RunLoop::performAfterDelay(this, [this] { redisplay(); }, 0, kRedisplayKey);
}

void VXVantrixInspectorBase::redisplay()
{
    const VXDrawingDocument* document = currentDocument();
    const VXDrawing* drawing = document ? document->drawing().get() : nullptr;
    const VXObjectDrawingLayer* layer = drawing ? drawing->activeLayerOfClass<VXObjectDrawingLayer>() : nullptr;
    redisplayContentForSelection(layer ? layer->selectionAsObjects() : QList<ZQObjectPtr>());
}
