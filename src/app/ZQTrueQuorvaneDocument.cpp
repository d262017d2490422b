#include "app/ZQTrueQuorvaneDocument.h"

#include "geodata/ZQESRIFile.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"

#include <QFileInfo>

ZQTrueQuorvaneDocument::ZQTrueQuorvaneDocument() = default;

ZQTrueQuorvaneDocument::~ZQTrueQuorvaneDocument() = default;

// --- Shapefiles ------------------------------------------------------------------------------------

void ZQTrueQuorvaneDocument::setShapefileTransform(const std::optional<QTransform>& transform)
{
    if (transform == m_shapefileTransform)
        return;
    undoManager()->registerUndoWithTargetHandler(
        this, [this, previous = m_shapefileTransform] { setShapefileTransform(previous); });
    m_shapefileTransform = transform;
}

QRectF ZQTrueQuorvaneDocument::esriFileWantsDocumentRect(ZQESRIFile*)
{
    return drawing() ? drawing()->interior() : QRectF();
}

std::optional<QTransform> ZQTrueQuorvaneDocument::esriFileWantsShapefileTransform(ZQESRIFile*)
{
    return m_shapefileTransform;
}

void ZQTrueQuorvaneDocument::esriFileDidLoadObject(ZQESRIFile* file, const std::shared_ptr<ZQObject>& object)
{
    // Readers parse on a worker thread.
    const QMutexLocker lock(&m_importMutex);
    m_importedObjects[file].append(object);
}

void ZQTrueQuorvaneDocument::esriFileDidFinishLoading(ZQESRIFile* file)
{
    QList<ZQObjectPtr> loaded;
    {
        const QMutexLocker lock(&m_importMutex);
        loaded = m_importedObjects.take(file);
    }
    QList<VXDrawableObjectPtr> objects;
    for (const ZQObjectPtr& object : loaded) {
        if (auto drawable = std::dynamic_pointer_cast<VXDrawableObject>(object))
            objects.append(std::move(drawable));
    }
    if (objects.isEmpty() || !drawing()) {
        ZQLog(QStringLiteral("Shapefile import created no objects, layer not created"));
        return;
    }
    // The transform the reader fitted the data with, when it reports one.
    if (file->respondsToSelector("usedTransform"))
        setShapefileTransform(file->performSelector("usedTransform").value<QTransform>());

    auto layer = std::dynamic_pointer_cast<VXObjectOwnerLayer>(makeDefaultDrawingLayer());
    ZQ_ASSERT(layer, QStringLiteral("the default drawing layer cannot hold objects"));
    layer->addObjectsFromArray(objects);
    const QString name = QFileInfo(file->URL().toLocalFile()).completeBaseName();
    layer->setLayerName(drawing()->uniqueLayerNameForName(name.isEmpty() ? tr("Shapefile") : name));
    drawing()->addLayer(layer);
    drawing()->setActiveLayer(layer.get());
    undoManager()->setActionName(tr("Import Shapefile"));
}

// --- Ruler -------------------------------------------------------------------------------------------

void ZQTrueQuorvaneDocument::setRuler(const ZQObjectPtr& ruler)
{
    m_ruler = ruler;
}

void ZQTrueQuorvaneDocument::setRulerVisible(bool visible)
{
    if (visible == m_rulerVisible)
        return;
    announceChangeForKey(QStringLiteral("rulerVisible"), [&] { m_rulerVisible = visible; });
    redisplayRuler();
}

QString ZQTrueQuorvaneDocument::distanceLabelForLength(double points) const
{
    return drawing() ? drawing()->formattedConvertedLength(points) : QString();
}

void ZQTrueQuorvaneDocument::redisplayRuler() const
{
    if (!m_ruler || !drawing())
        return;
    const QVariant bounds = m_ruler->property("bounds");
    if (bounds.canConvert<QRectF>())
        drawing()->setNeedsDisplayInRect(bounds.toRectF());
}

void ZQTrueQuorvaneDocument::mapScaleDidChange()
{
    if (m_rulerVisible)
        redisplayRuler();
}

// --- Reposition mode -----------------------------------------------------------------------------

void ZQTrueQuorvaneDocument::beginRepositionMode()
{
    ZQ_ASSERT(!m_inRepositionMode, QStringLiteral("reposition mode already begun, cannot nest entry"));
    m_inRepositionMode = true;
}

void ZQTrueQuorvaneDocument::endRepositionMode()
{
    m_inRepositionMode = false;
}

// --- Documents made from part of another -------------------------------------------------------------

void ZQTrueQuorvaneDocument::adoptFromOriginalDocumentSourceRect(const ZQQuorvaneDocument& original,
                                                                 const QRectF& sourceRect)
{
    ZQQuorvaneDocument::adoptFromOriginalDocumentSourceRect(original, sourceRect);
    const auto* mapOriginal = qobject_cast<const ZQTrueQuorvaneDocument*>(&original);
    if (!mapOriginal || !mapOriginal->shapefileTransform() || !drawing())
        return;
    // The drawing's content moved from the source rectangle to the new interior.
    const QPointF shift(drawing()->leftMargin() - sourceRect.x(), drawing()->topMargin() - sourceRect.y());
    m_shapefileTransform = *mapOriginal->shapefileTransform() * QTransform::fromTranslate(shift.x(), shift.y());
}
