#pragma once

// The "Style Dropper": a click on an object picks up its style; every later click on an object
// gives it that style, one undo step each ("Apply Style"). An Alt-click picks up again, and a
// click on nothing forgets the style. The cursor shows the picked style.
//
// While performsResetOnSelection is on (the default) the clicked object becomes the layer's
// selection, so the Style tab shows what was picked or applied; off, the selection is kept.
// Posts kVXQStylePickUpToolDidChangeStyle (sender: the tool) when its style changes to one that
// is not equal to it.

#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/tools/VXDrawingTool.h"

inline const QString kVXQStylePickUpToolDidChangeStyle = QStringLiteral("kVXQStylePickUpToolDidChangeStyle");

class VXQStylePickUpTool : public VXDrawingTool {
    Q_OBJECT

public:
    static inline const QString kToolName = QStringLiteral("Style Dropper");
    static inline const QString kKeyboardEquivalent = QStringLiteral("d");

    // A tool named and keyed for the registry.
    static std::shared_ptr<VXQStylePickUpTool> make();

    VXStylePtr style() const { return m_style; }
    void setStyle(const VXStylePtr& style);

    bool performsResetOnSelection() const { return m_performsResetOnSelection; }
    void setPerformsResetOnSelection(bool resets) { m_performsResetOnSelection = resets; }

    QCursor cursor() const override;
    int supportedLibraryItemKind() const override { return 1; }
    QString actionName() const override;

    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;

private:
    VXStylePtr m_style;
    bool m_performsResetOnSelection = true;
    bool m_applied = false;
};
