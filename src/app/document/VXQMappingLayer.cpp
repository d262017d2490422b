#include "app/document/VXQMappingLayer.h"

#include "app/services/CasedDrawable.h"
#include "app/services/MappingLayerSequence.h"
#include "app/services/ObjectQuery.h"
#include "app/services/PickTargets.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/WholeEdit.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/render/DrawingExclusion.h"
#include "platform/vantrix/render/RenderSteps.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QPainter>
#include <cmath>

namespace {

const QString kSequencesKey = QStringLiteral("VXQMappingLayer_sequences");
const QString kRenderingScaleKey = QStringLiteral("VXQMappingLayer_renderingScale");
const QString kRenderingOffsetKey = QStringLiteral("VXQMappingLayer_renderingOffset");
const QString kClipsToBorderKey = QStringLiteral("VXQMappingLayer_clipsToBorder");
const QString kModernTrackRenderingKey = QStringLiteral("VXQMappingLayer_modernTrackRendering");

bool isUsableScale(double scale)
{
    return std::isfinite(scale) && scale > 0.0;
}

// Draws the objects in turn, each by one thread at a time (tiles drawn at once share the objects
// crossing their edges), skipping those a rendering taken up drew before. False when the
// rendering was asked to stop first.
template <class Draw>
bool drawEachObject(const QList<VXDrawableObject*>& objects, Draw draw)
{
    return platform::RenderSteps::drawInSteps(objects, [&draw](const VXDrawableObject* object) {
        const platform::DrawingExclusion exclusion(object, platform::DrawingExclusion::Level::Object);
        draw(*object);
    });
}

void collectSymbols(const QList<VXDrawableObjectPtr>& objects, QList<VXDrawableObjectPtr>& symbols)
{
    for (const VXDrawableObjectPtr& object : objects) {
        if (object->inherits("VXQSymbol"))
            symbols.append(object);
        else if (const auto* group = qobject_cast<const VXShapeGroup*>(object.get()))
            collectSymbols(group->groupObjects(), symbols);
    }
}

// Clips the current context to the drawing's interior while it lives, when asked to.
class BorderClip {
public:
    BorderClip(bool clips, const VXDrawing* drawing)
        : m_context(clips && drawing ? platform::GraphicsContext::current() : nullptr)
    {
        if (!m_context)
            return;
        m_context->saveGraphicsState();
        m_context->painter()->setClipRect(drawing->interior(), Qt::IntersectClip);
    }
    ~BorderClip()
    {
        if (m_context)
            m_context->restoreGraphicsState();
    }
    BorderClip(const BorderClip&) = delete;
    BorderClip& operator=(const BorderClip&) = delete;

private:
    platform::GraphicsContext* m_context;
};

} // namespace

VXQMappingLayer::VXQMappingLayer() = default;

VXQMappingLayer::~VXQMappingLayer()
{
    // A sequence outliving its layer (in an undo step, say) keeps no reference to it.
    handSequencesLayer(nullptr);
}

// --- Rendering -----------------------------------------------------------------------------------

void VXQMappingLayer::setRenderingScale(double scale)
{
    if (!isUsableScale(scale)) {
        ZQLog(QStringLiteral("ignored rendering scale %1").arg(scale));
        return;
    }
    changeValueForKey(m_renderingScale, scale, "renderingScale");
}

void VXQMappingLayer::setRenderingOffset(QPointF offset)
{
    if (!std::isfinite(offset.x()) || !std::isfinite(offset.y()))
        return;
    changeValueForKey(m_renderingOffset, offset, "renderingOffset");
}

QTransform VXQMappingLayer::renderingTransform() const
{
    return QTransform::fromScale(m_renderingScale, m_renderingScale)
        * QTransform::fromTranslate(m_renderingOffset.x(), m_renderingOffset.y());
}

void VXQMappingLayer::setClipsToBorder(bool clips)
{
    changeValueForKey(m_clipsToBorder, clips, "clipsToBorder");
}

void VXQMappingLayer::setModernTrackRendering(bool modern)
{
    changeValueForKey(m_modernTrackRendering, modern, "modernTrackRendering");
}

void VXQMappingLayer::drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view,
                                                         bool highlighting) const
{
    const BorderClip clip(m_clipsToBorder, drawing());
    VXObjectDrawingLayer::drawRectInViewShowingHighlighting(rect, view, highlighting);
}

void VXQMappingLayer::drawLiveRectInView(const QRectF& rect, VXDrawingView* view) const
{
    const BorderClip clip(m_clipsToBorder, drawing());
    VXObjectDrawingLayer::drawLiveRectInView(rect, view);
}

void VXQMappingLayer::drawContentsOfObjects(const QList<VXDrawableObject*>& objects) const
{
    if (!m_modernTrackRendering) {
        VXObjectDrawingLayer::drawContentsOfObjects(objects);
        return;
    }
    const bool casingsDrawn = drawEachObject(objects, [](const VXDrawableObject& object) {
        if (const auto* cased = dynamic_cast<const CasedDrawable*>(&object))
            cased->drawCasing();
    });
    if (!casingsDrawn)
        return;
    drawEachObject(objects, [](const VXDrawableObject& object) {
        if (const auto* cased = dynamic_cast<const CasedDrawable*>(&object))
            cased->drawContentWithoutCasing();
        else
            object.drawContent();
    });
}

void VXQMappingLayer::drawSelectedObjectsInRectInView(const QRectF& rect, VXDrawingView* view) const
{
    const BorderClip clip(m_clipsToBorder, drawing());
    for (const VXDrawableObjectPtr& object : selection()) {
        if (!object->visible() || !platform::rectsMeet(object->bounds(), rect))
            continue;
        object->drawContent();
        object->drawTextLabelsInView(view);
    }
}

// --- Symbol sequences ------------------------------------------------------------------------------

void VXQMappingLayer::setSequences(const Sequences& sequences)
{
    handSequencesLayer(nullptr);
    m_sequences = sequences;
    m_sequences.removeIf([](const Sequences::iterator& entry) { return !entry.value(); });
    handSequencesLayer(this);
}

void VXQMappingLayer::handSequencesLayer(VXQMappingLayer* layer) const
{
    for (const ZQObjectPtr& sequence : m_sequences)
        if (auto* member = dynamic_cast<MappingLayerSequence*>(sequence.get()))
            member->setLayer(layer);
}

void VXQMappingLayer::setSequenceForKey(const ZQObjectPtr& sequence, const QString& masterKey)
{
    if (sequence)
        m_sequences.insert(masterKey, sequence);
    else
        m_sequences.remove(masterKey);
}

// --- Symbols and styles from the library -------------------------------------------------------------

QList<VXDrawableObjectPtr> VXQMappingLayer::allSymbols() const { return symbolsAmongObjects(objects()); }

QList<VXDrawableObjectPtr> VXQMappingLayer::symbolsAmongObjects(const QList<VXDrawableObjectPtr>& objects)
{
    QList<VXDrawableObjectPtr> symbols;
    collectSymbols(objects, symbols);
    return symbols;
}

void VXQMappingLayer::applySymbol(QObject* sender)
{
    if (!sender)
        return;
    ZQObject* masterObject = platform::objectFromVariant(sender->property("representedObject"));
    if (!masterObject || !masterObject->inherits("VXQSymbolMaster"))
        return;
    forwardToSelection(&SymbolMasterTarget::applySymbolMaster, masterObject->weak_from_this().lock(),
                       tr("Apply Symbol"));
}

void VXQMappingLayer::setAuxiliaryStyle(const QVariant& style)
{
    forwardToSelection(&AuxiliaryStyleTarget::setAuxiliaryStyle, style, tr("Apply Style"));
}

template <class Target, class Argument>
void VXQMappingLayer::forwardToSelection(void (Target::*take)(const Argument&), const Argument& argument,
                                         const QString& actionName)
{
    QList<Target*> targets;
    for (const VXDrawableObjectPtr& object : selectedAvailableObjects())
        if (auto* target = dynamic_cast<Target*>(object.get()))
            targets.append(target);
    if (targets.isEmpty())
        return;
    performAsOneUndoStep(actionName, [&] {
        for (Target* target : std::as_const(targets))
            (target->*take)(argument);
    });
}

VXDrawableObjectPtr VXQMappingLayer::insertScaleBarInView(VXDrawingView* view)
{
    auto scaleBar = std::dynamic_pointer_cast<VXDrawableObject>(
        platform::ClassRegistry::create(QStringLiteral("VXQScaleBarShape")));
    if (!scaleBar) {
        ZQLogObjCMethod(QStringLiteral("no scale bar class to insert"));
        return nullptr;
    }
    const VXDrawing* owner = drawing();
    scaleBar->setLocation(view ? view->visibleDrawingRect().center() : owner ? owner->interior().center() : QPointF());
    const QString actionName = tr("Insert Scale Bar");
    performAsOneUndoStep(actionName, [&] {
        recordSelectionForUndo();
        addObject(scaleBar);
        replaceSelectionWithObject(scaleBar);
        commitSelectionUndoWithActionName(actionName);
    });
    return scaleBar;
}

void VXQMappingLayer::performAsOneUndoStep(const QString& actionName, const std::function<void()>& edit)
{
    platform::WholeEdit::run(undoManager(), actionName, [&] {
        edit();
        if (ZQUndoManager* undo = undoManager())
            undo->setActionName(actionName);
    });
}

// --- Finding objects ---------------------------------------------------------------------------------

QList<VXDrawableObjectPtr> VXQMappingLayer::objectsWithinRadiusOfPoint(float radius, QPointF point) const
{
    const double reach = std::max(0.0, double(radius));
    if (!std::isfinite(reach) || !std::isfinite(point.x()) || !std::isfinite(point.y())) {
        QList<VXDrawableObjectPtr> found = visibleObjects();
        found.removeIf([&](const VXDrawableObjectPtr& object) { return !object->isWithinDistanceOfPoint(radius, point); });
        return found;
    }
    // Only objects whose bounds meet the circle's square can be near enough: the storage
    // finds those without visiting the rest (a point's square grows so it is never empty).
    const QRectF square = QRectF(point - QPointF(reach, reach), QSizeF(2 * reach, 2 * reach)).adjusted(-1, -1, 1, 1);
    QList<VXDrawableObjectPtr> found;
    for (VXDrawableObject* object : visibleObjectsInRect(square))
        if (object->isWithinDistanceOfPoint(radius, point))
            found.append(std::static_pointer_cast<VXDrawableObject>(object->shared_from_this()));
    return found;
}

QList<VXDrawableObjectPtr> VXQMappingLayer::objectsWithinRadiusOfPointMatchingQuery(float radius, QPointF point,
                                                                                    const ObjectQuery* query) const
{
    const QList<VXDrawableObjectPtr> near = objectsWithinRadiusOfPoint(radius, point);
    if (!query || near.isEmpty())
        return near;
    return query->findAllMatchingObjectsIn(near);
}

// --- Archiving -----------------------------------------------------------------------------------------

void VXQMappingLayer::adoptStylesFrom(const VXLayer& original)
{
    VXObjectDrawingLayer::adoptStylesFrom(original);
    const auto* mapping = qobject_cast<const VXQMappingLayer*>(&original);
    if (!mapping)
        return;
    for (auto entry = m_sequences.cbegin(); entry != m_sequences.cend(); ++entry)
        if (auto* copy = dynamic_cast<MappingLayerSequence*>(entry.value().get()))
            if (const ZQObjectPtr source = mapping->sequenceForKey(entry.key()))
                copy->adoptMasterFrom(source.get());
}

void VXQMappingLayer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXObjectDrawingLayer::encodeWithCoder(coder);
    if (!m_sequences.isEmpty()) {
        QVariantMap sequences;
        for (auto entry = m_sequences.cbegin(); entry != m_sequences.cend(); ++entry)
            sequences.insert(entry.key(), QVariant::fromValue(entry.value()));
        coder.encodeObject(QVariant(sequences), kSequencesKey);
    }
    coder.encodeDouble(m_renderingScale, kRenderingScaleKey);
    coder.encodePoint(m_renderingOffset, kRenderingOffsetKey);
    coder.encodeBool(m_clipsToBorder, kClipsToBorderKey);
    coder.encodeBool(m_modernTrackRendering, kModernTrackRenderingKey);
}

void VXQMappingLayer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXObjectDrawingLayer::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    const double scale = reader.real(kRenderingScaleKey, 1.0);
    m_renderingScale = isUsableScale(scale) ? scale : 1.0;
    m_renderingOffset = reader.point(kRenderingOffsetKey);
    m_clipsToBorder = reader.boolean(kClipsToBorderKey, false);
    m_modernTrackRendering = reader.boolean(kModernTrackRenderingKey, true);

    Sequences sequences;
    const QVariantMap archived = reader.dictionary(kSequencesKey);
    for (auto entry = archived.cbegin(); entry != archived.cend(); ++entry) {
        auto sequence = entry.value().value<ZQObjectPtr>();
        if (sequence && sequence->inherits("VXQSymbolSequence"))
            sequences.insert(entry.key(), std::move(sequence));
        else
            ZQLog(QStringLiteral("skipped a damaged symbol sequence for key %1").arg(entry.key()));
    }
    setSequences(sequences);
}
