#pragma once

// A style laid over a stretch of a path. A multi-style path keeps three kinds: its main
// styles (one after another along the path), overlays (drawn below or above the main styles)
// and shims (the blends between unlike main styles, which have no style of their own).
//
// Range styles are immutable: an edit replaces the object, so undo can keep the old ones.
//
// Drawing in phases. The casing of a style is its bottom stroke when the style has another
// stroke and none of them is wider: the wide outline a road's other strokes lie on. A style
// of one stroke, or whose bottom stroke is narrower than another, has no casing. The casing
// phase draws the casing alone; the content phase draws the rest of the style.

#include "platform/foundation/ZQObject.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "tracks/styles/StrokeAreas.h"
#include "tracks/model/ZQStyleRange.h"

class VXRenderable;
class ZQRangeDrawingStyle;
using ZQRangeDrawingStylePtr = std::shared_ptr<ZQRangeDrawingStyle>;

// Where an overlay lies relative to the main styles.
enum class ZQOverlayPlacement { Above = 0, Below = 1 };

class ZQRangeDrawingStyle : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString displayName READ displayName STORED false)

public:
    ZQRangeDrawingStyle();
    ~ZQRangeDrawingStyle() override;

    static ZQRangeDrawingStylePtr rangeDrawingStyleWithStyleRange(const VXStylePtr& style, const ZQStyleRange& range,
                                                                  ZQOverlayPlacement placement = ZQOverlayPlacement::Above,
                                                                  const QString& displayName = {});
    // The same style, placement and name over another range.
    ZQRangeDrawingStylePtr withRange(const ZQStyleRange& range) const;

    // Null for a shim.
    VXStylePtr style() const { return m_style; }
    ZQStyleRange range() const { return m_range; }
    ZQOverlayPlacement placement() const { return m_placement; }
    // The name given when the style was applied, else the style's name; empty for a shim.
    QString displayName() const;

    // The casing stroke of a style as described above; null when it has none.
    static VXStrokePtr casingStrokeOfStyle(const VXStyle& style);
    VXStrokePtr casingStroke() const { return m_style ? casingStrokeOfStyle(*m_style) : nullptr; }

    // Into GraphicsContext::current(), on the object's rendering path (the stretch to draw). The
    // strokes of the phase fill `areas` with them: a plain solid stroke in the same fill as its
    // outline, others after they are drawn.
    void drawCasing(const VXRenderable& object, const StrokeAreas& areas = {}) const;
    void drawContentWithoutCasing(const VXRenderable& object, const StrokeAreas& areas = {}) const;
    void drawContent(const VXRenderable& object) const;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    VXStylePtr m_style;
    ZQStyleRange m_range;
    ZQOverlayPlacement m_placement = ZQOverlayPlacement::Above;
    QString m_displayName;
};

Q_DECLARE_METATYPE(ZQRangeDrawingStylePtr)
