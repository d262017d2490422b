// The placed symbol's side of its block labels: placement, templates, label commands and the
// "labelAttributes" output of data transformers.

#include "symbols/placed/VXQSymbol.h"

#include "symbols/utilities/SymbolUtilities.h"

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

// --- Placement and templates ----------------------------------------------------------------------

double VXQSymbol::labelOffsetRadiusForLabel(const VXQTextLabel& label) const
{
    const double w = std::abs(size().width()), h = std::abs(size().height());
    switch (const auto* block = qobject_cast<const VXQTextBlockLabel*>(&label); block ? block->placement() : 0) {
    case VXQTextBlockLabel::kNorth:
    case VXQTextBlockLabel::kSouth: return h / 2 + 3.0;
    case VXQTextBlockLabel::kWest:
    case VXQTextBlockLabel::kEast: return w / 2 + 4.0;
    default: return std::hypot(w, h) / 2 + 1.0;
    }
}

int VXQSymbol::placementForLabelDraggedToPoint(const VXQTextLabel& label, QPointF point) const
{
    // Single precision, as symbols have always measured this.
    const QPointF d = point - *referencePointForLabel(label);
    const float distance = std::hypot(float(d.x()), float(d.y()));
    const float radius = float(labelOffsetRadiusForLabel(label));
    if (float(kCentreShareOfRadius) * radius > distance)
        return VXQTextBlockLabel::kOnReferencePoint;
    return VXQTextBlockLabel::compassPlacementForDirection(d);
}

VXTextAdornmentPtr VXQSymbol::templateAdornmentForNewLabels() const
{
    if (VXTextAdornmentPtr own = lastTextAdornmentOf(style()))
        return own;
    if (const VXDrawableObjectPtr graphic = master() && master()->isGroupObject() ? masterObject() : nullptr) {
        for (const VXStylePtr& memberStyle : graphic->allStyles())
            if (VXTextAdornmentPtr text = lastTextAdornmentOf(memberStyle))
                return text;
    }
    // The attributes of the whole text, which editing keeps, not only of the default text's run.
    const VXTextAdornmentPtr made = VXTextAdornment::textAdornmentWithText(defaultSymbolLabelText());
    made->setTextAttributes(defaultSymbolLabelAttributes());
    return made;
}

// --- Commands --------------------------------------------------------------------------------------------

void VXQSymbol::newTextLabel(QObject*) { newTextLabelWithPlacement(VXQTextBlockLabel::kNorthEast); }
void VXQSymbol::pasteLabel(QObject*) { pasteLabelFromGeneralPasteboard(); }
void VXQSymbol::deleteLabels(QObject*) { deleteSelectedLabels(); }
void VXQSymbol::toggleLabelsVisible(QObject* sender) { toggleLabelsVisibleNamedBy(sender); }

// --- Data-transformer output -------------------------------------------------------------------------------

void VXQSymbol::setLabelAttributes(const QVariant& value)
{
    if (const VXStylePtr style = styleOfValue(value); style && style->hasTextAttributes())
        applyTextAttributesToLabels(style->textAttributes());
}
