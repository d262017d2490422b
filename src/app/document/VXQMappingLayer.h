#pragma once

// The object layer that holds a map's objects. On top of the drawing layer it
//  - draws in passes: with modern track rendering the casings of every cased object
//    (tracks) come first, so crossing tracks merge their casings; then each object's
//    content; then every drawn object's text labels, so labels lie above all map content;
//    then the selection highlights;
//  - keeps the numbering sequences of the symbol masters whose instances it holds,
//    keyed by the master's unique key;
//  - has a scale and offset of its own that symbols append to their placement transform,
//    and a flag that clips its drawing to the drawing's border (interior).
// Scale, offset and the two flags are observable, undoable properties.

#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QMap>
#include <QPointF>

class ObjectQuery;

class VXQMappingLayer : public VXObjectDrawingLayer {
    Q_OBJECT
    Q_PROPERTY(double renderingScale READ renderingScale WRITE setRenderingScale)
    Q_PROPERTY(QPointF renderingOffset READ renderingOffset WRITE setRenderingOffset)
    Q_PROPERTY(bool clipsToBorder READ clipsToBorder WRITE setClipsToBorder)
    Q_PROPERTY(bool modernTrackRendering READ modernTrackRendering WRITE setModernTrackRendering)

public:
    VXQMappingLayer();
    ~VXQMappingLayer() override;

    // --- Rendering ------------------------------------------------------------------------
    // Symbols map through scale then offset: p * scale + offset. Non-finite or
    // non-positive scales are refused (the scale stays).
    double renderingScale() const { return m_renderingScale; }
    void setRenderingScale(double scale);
    QPointF renderingOffset() const { return m_renderingOffset; }
    void setRenderingOffset(QPointF offset);
    // Identity when the layer has neither scale nor offset.
    QTransform renderingTransform() const override;

    bool clipsToBorder() const { return m_clipsToBorder; }
    void setClipsToBorder(bool clips);
    // Modern (the default): a casing pass before the contents. Classic: each track draws
    // its own casing with its content.
    bool modernTrackRendering() const { return m_modernTrackRendering; }
    void setModernTrackRendering(bool modern);

    void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const override;
    void drawLiveRectInView(const QRectF& rect, VXDrawingView* view) const override;
    // The selected objects meeting `rect` alone, each followed by its labels (drag images,
    // exports of the selection).
    void drawSelectedObjectsInRectInView(const QRectF& rect, VXDrawingView* view) const;

    // --- Symbol sequences -----------------------------------------------------------------
    // Master key -> sequence; the sequence objects belong to the symbol subsystem. Each
    // MappingLayerSequence is handed its layer: the layer on joining, none on leaving or when
    // the layer goes.
    using Sequences = QMap<QString, ZQObjectPtr>;
    const Sequences& sequences() const { return m_sequences; }
    // The previous sequences lose their layer; the new ones get this one.
    void setSequences(const Sequences& sequences);
    ZQObjectPtr sequenceForKey(const QString& masterKey) const { return m_sequences.value(masterKey); }
    // A null sequence removes the entry.
    void setSequenceForKey(const ZQObjectPtr& sequence, const QString& masterKey);

    // --- Symbols and styles from the library ------------------------------------------------
    // Every symbol on the layer, those inside groups included, in stacking order.
    QList<VXDrawableObjectPtr> allSymbols() const;
    // The symbols among `objects` and inside the groups among them, in stacking order.
    static QList<VXDrawableObjectPtr> symbolsAmongObjects(const QList<VXDrawableObjectPtr>& objects);
    // `sender` carries a symbol master as its "representedObject"; each selected available
    // object that is a SymbolMasterTarget takes it, as one undo step "Apply Symbol".
    Q_INVOKABLE void applySymbol(QObject* sender);
    // Forwards the style to each selected available AuxiliaryStyleTarget, as one undo step
    // "Apply Style".
    Q_INVOKABLE void setAuxiliaryStyle(const QVariant& style);

    // Adds a new scale bar centred in the view's visible area (the drawing's interior without
    // a view) and selects it, as one undo step "Insert Scale Bar". The scale bar class comes
    // from the ClassRegistry by name; null while none is registered.
    VXDrawableObjectPtr insertScaleBarInView(VXDrawingView* view);

    // --- Finding objects ---------------------------------------------------------------------
    // Visible objects, in stacking order, within `radius` of `point`.
    QList<VXDrawableObjectPtr> objectsWithinRadiusOfPoint(float radius, QPointF point) const;
    // The same narrowed by the query; a null query narrows nothing.
    QList<VXDrawableObjectPtr> objectsWithinRadiusOfPointMatchingQuery(float radius, QPointF point,
                                                                       const ObjectQuery* query) const;

    // Also hands each copied sequence the original of the same key (adoptMasterFrom),
    // so the copy numbers the same master object its symbols draw.
    void adoptStylesFrom(const VXLayer& original) override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    void drawContentsOfObjects(const QList<VXDrawableObject*>& objects) const override;

private:
    // Hands `argument` to each selected available object that is a `Target`, as one undo step
    // named `actionName`.
    template <class Target, class Argument>
    void forwardToSelection(void (Target::*take)(const Argument&), const Argument& argument,
                            const QString& actionName);
    void performAsOneUndoStep(const QString& actionName, const std::function<void()>& edit);
    void handSequencesLayer(VXQMappingLayer* layer) const;

    Sequences m_sequences;
    double m_renderingScale = 1.0;
    QPointF m_renderingOffset;
    bool m_clipsToBorder = false;
    bool m_modernTrackRendering = true;
};

using VXQMappingLayerPtr = std::shared_ptr<VXQMappingLayer>;
