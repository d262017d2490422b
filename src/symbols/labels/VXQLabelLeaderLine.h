#pragma once

// The line a block label draws from its feature to its text: one straight segment drawn
// with a style of its own (by default no fill and a black stroke 0.5 wide). Its end points
// are set by the label before it draws, so a copy starts with an empty path.

#include "platform/foundation/ZQObject.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/styles/VXStyle.h"

class VXQLabelLeaderLine : public ZQObject, public VXRenderable {
    Q_OBJECT

public:
    VXQLabelLeaderLine();
    ~VXQLabelLeaderLine() override;

    static VXStylePtr defaultStyle();

    // Empties the path and draws it from `start` to `end`; points that are not finite empty it.
    void setStartEnd(QPointF start, QPointF end);
    VXStylePtr style() const { return m_style; }
    // Keeps a copy.
    void setStyle(const VXStylePtr& style);
    void draw() const;

    // VXRenderable
    platform::BezierPath renderingPath() const override { return m_path; }
    double angle() const override { return 0; }
    // The path's bounds with the style's reach; empty without a style or a path.
    QRectF bounds() const override;
    QSizeF size() const override { return bounds().size(); }
    QPointF location() const override { return bounds().center(); }
    QTransform containerTransform() const override { return {}; }
    quint64 geometryChecksum() const override { return 0; }

    // A copy of the style, and no path.
    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    // An archive without a style gives the default style, one without a path an empty path.
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    VXStylePtr m_style;
    platform::BezierPath m_path;
};

using VXQLabelLeaderLinePtr = std::shared_ptr<VXQLabelLeaderLine>;
