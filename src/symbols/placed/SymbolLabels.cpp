#include "symbols/placed/SymbolLabels.h"

#include "platform/vantrix/styles/VXStyle.h"
#include "symbols/labels/VXQTextBlockLabel.h"
#include "symbols/placed/VXQSymbol.h"

#include <cmath>

namespace {

constexpr double kCentreShareOfRadius = 0.3;

VXTextAdornmentPtr lastTextAdornmentOf(const VXStylePtr& style)
{
    if (!style || !style->hasTextAdornment())
        return nullptr;
    const QList<VXTextAdornmentPtr> texts = style->renderersOfClass<VXTextAdornment>();
    return texts.isEmpty() ? nullptr : texts.last();
}

} // namespace

double SymbolLabels::offsetRadius(QSizeF size, const VXQTextLabel& label)
{
    const double w = std::abs(size.width()), h = std::abs(size.height());
    switch (const auto* block = qobject_cast<const VXQTextBlockLabel*>(&label); block ? block->placement() : 0) {
    case VXQTextBlockLabel::kNorth:
    case VXQTextBlockLabel::kSouth: return h / 2 + 3.0;
    case VXQTextBlockLabel::kWest:
    case VXQTextBlockLabel::kEast: return w / 2 + 4.0;
    default: return std::hypot(w, h) / 2 + 1.0;
    }
}

int SymbolLabels::placementForDraggedLabel(QPointF referencePoint, double offsetRadius, QPointF point)
{
    // Single precision, as symbols have always measured this.
    const QPointF d = point - referencePoint;
    const float distance = std::hypot(float(d.x()), float(d.y()));
    if (float(kCentreShareOfRadius) * float(offsetRadius) > distance)
        return VXQTextBlockLabel::kOnReferencePoint;
    return VXQTextBlockLabel::compassPlacementForDirection(d);
}

VXTextAdornmentPtr SymbolLabels::templateAdornment(const VXStylePtr& style, const VXDrawableObjectPtr& groupGraphic)
{
    if (VXTextAdornmentPtr own = lastTextAdornmentOf(style))
        return own;
    if (groupGraphic) {
        for (const VXStylePtr& memberStyle : groupGraphic->allStyles())
            if (VXTextAdornmentPtr text = lastTextAdornmentOf(memberStyle))
                return text;
    }
    // The attributes of the whole text, which editing keeps, not only of the default text's run.
    const VXTextAdornmentPtr made = VXTextAdornment::textAdornmentWithText(VXQSymbol::defaultSymbolLabelText());
    made->setTextAttributes(VXQSymbol::defaultSymbolLabelAttributes());
    return made;
}
