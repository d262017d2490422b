#pragma once

// The map's neatline: a layer holding no objects that draws one style on the drawing's
// interior. The style can be copied and pasted through the clipboard, dropped on the layer
// or cleared, and the layer's selection colour follows the style's colour. A locked layer
// refuses paste and clear, but still takes a dropped style.

#include "furniture/border/BorderStyleDrop.h"
#include "platform/vantrix/model/VXLayer.h"

namespace platform {
class MenuItem;
}

class VXQBorderLayer : public VXLayer {
    Q_OBJECT

public:
    VXQBorderLayer();
    ~VXQBorderLayer() override;

    // A style with no fill and a grey stroke 4 points wide.
    static VXStylePtr defaultBorderStyle();

    const VXStylePtr& borderStyle() const { return m_borderStyle; }
    // Keeps a mutable copy under the style's own name (none clears it); undoable.
    void setBorderStyle(const VXStylePtr& style);
    bool showDragHighlight() const { return m_drop.showDragHighlight(); }

    // Actions.
    Q_INVOKABLE void clearBorderStyle(QObject* sender = nullptr);
    Q_INVOKABLE void copyDrawingStyle(QObject* sender = nullptr);
    Q_INVOKABLE void pasteDrawingStyle(QObject* sender = nullptr);
    Q_INVOKABLE void borderLayerHelpAction(QObject* sender = nullptr);
    // Also titles the copy and paste items after the styles they would copy or paste.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);
    std::unique_ptr<platform::Menu> menuForEventInView(QPointF point, VXDrawingView* view) override;

    // The style's stroke colour, else its fill colour, else the layer's own.
    QColor selectionColour() const override;
    // Recolours the border style: its stroke, else its fill, else a new 4-point stroke.
    void setSelectionColour(const QColor& colour) override;

    QIcon icon() const override;
    QString auxiliaryInfoString() const override { return {}; }

    void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const override;

    QStringList pasteboardTypesForOperation(int operation) const override;
    int draggingEntered(const platform::DraggingInfo& info) override;
    int draggingUpdated(const platform::DraggingInfo& info) override;
    void draggingExited(const platform::DraggingInfo& info) override;
    bool performDragOperation(const platform::DraggingInfo& info) override;

    QList<VXStylePtr> allStyles() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    QRectF interior() const;
    void nameUndoAction(const QString& name) const;

    VXStylePtr m_borderStyle;
    BorderStyleDrop m_drop;
};
