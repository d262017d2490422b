// The placed symbol's side of its block labels: placement, templates, the default text
// style of symbol labels and the "labelAttributes" output of data transformers.

#include "symbols/placed/VXQSymbol.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/Markers.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/ParagraphStyle.h"
#include "platform/vantrix/text/TextAttributeCoding.h"
#include "symbols/utilities/SymbolUtilities.h"

#include <algorithm>
#include <cmath>

namespace {

const QString kArchivedAttributesKey = QStringLiteral("attributes");
constexpr double kCentreShareOfRadius = 0.3;
constexpr double kMinimumLabelFontSize = 4.0;
constexpr double kMaximumLabelFontSize = 72.0;

VXTextAdornmentPtr lastTextAdornmentOf(const VXStylePtr& style)
{
    if (!style || !style->hasTextAdornment())
        return nullptr;
    const QList<VXTextAdornmentPtr> texts = style->renderersOfClass<VXTextAdornment>();
    return texts.isEmpty() ? nullptr : texts.last();
}

QVariantMap madeDefaultLabelAttributes()
{
    return {{platform::kFontAttributeName,
             QVariant::fromValue(platform::fontWithNameSize(QStringLiteral("Helvetica"), 11.0).value_or(platform::systemFontOfSize(11.0)))},
            {platform::kForegroundColourAttributeName, QVariant::fromValue(QColor(Qt::black))},
            {platform::kParagraphStyleAttributeName, QVariant::fromValue(platform::ParagraphStyle())}};
}

// A mutable copy of the default text style whose text attributes take the change (a text
// component is added when the style has none).
VXStylePtr defaultTextStyleWith(const QString& attribute, const QVariant& value)
{
    const VXStylePtr style = VXStyle::defaultTextStyle()->mutableCopy();
    platform::TextAttributes attributes = style->hasTextAttributes() ? style->textAttributes() : madeDefaultLabelAttributes();
    if (attribute == platform::kFontAttributeName) {
        QFont font = attributes.value(platform::kFontAttributeName).value<QFont>();
        font.setPointSizeF(value.toDouble());
        attributes.insert(platform::kFontAttributeName, font);
    } else {
        attributes.insert(attribute, value);
    }
    style->addOrSetComponentForObject(QVariant(attributes));
    return style;
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
    if (const VXDrawableObjectPtr graphic = m_master && m_master->isGroupObject() ? masterObject() : nullptr) {
        for (const VXStylePtr& memberStyle : graphic->allStyles())
            if (VXTextAdornmentPtr text = lastTextAdornmentOf(memberStyle))
                return text;
    }
    // The attributes of the whole text, which editing keeps, not only of the default text's run.
    const VXTextAdornmentPtr made = VXTextAdornment::textAdornmentWithText(defaultSymbolLabelText());
    made->setTextAttributes(defaultSymbolLabelAttributes());
    return made;
}

// --- Default text style ------------------------------------------------------------------------------

QVariantMap VXQSymbol::defaultSymbolLabelAttributes()
{
    const QByteArray stored = platform::UserDefaults::standardUserDefaults()->dataForKey(kVXQSymbolLabelDefaultAttributes);
    if (!stored.isEmpty()) {
        platform::KeyedUnarchiver reader(stored);
        const platform::TextAttributes attributes =
            reader.isValid() ? platform::textAttributesFromArchive(reader.decodeValue(kArchivedAttributesKey)) : platform::TextAttributes();
        if (!attributes.isEmpty())
            return attributes;
    }
    // Absent or unreadable: made again and kept, so every label starts alike from now on.
    const QVariantMap made = madeDefaultLabelAttributes();
    setDefaultSymbolLabelAttributes(made);
    return made;
}

void VXQSymbol::setDefaultSymbolLabelAttributes(const QVariantMap& attributes)
{
    platform::KeyedArchiver writer;
    writer.encodeObject(QVariant(platform::archivedTextAttributes(attributes)), kArchivedAttributesKey);
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(writer.finishEncoding(), kVXQSymbolLabelDefaultAttributes);
}

platform::AttributedString VXQSymbol::defaultSymbolLabelText()
{
    return platform::AttributedString(VXQTextLabel::defaultLabelText(), defaultSymbolLabelAttributes());
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

bool VXQSymbol::validateLabelAttributesError(QVariant& value, QuorvaneError* error) const
{
    if (platform::isNull(value))
        return false;
    VXStylePtr style;
    if (const VXStylePtr given = styleOfValue(value)) {
        style = given->hasTextAttributes() ? given : nullptr;
    } else if (value.metaType() == QMetaType::fromType<QColor>()) {
        const QColor colour = value.value<QColor>();
        style = defaultTextStyleWith(platform::kForegroundColourAttributeName, QVariant::fromValue(colour));
    } else if (platform::isNumericVariant(value)) {
        const double size = double(value.toFloat());
        if (std::isfinite(size))
            style = defaultTextStyleWith(platform::kFontAttributeName,
                                         std::clamp(size, kMinimumLabelFontSize, kMaximumLabelFontSize));
    } else if (value.metaType() == QMetaType::fromType<QFont>()) {
        style = VXStyle::textStyleWithFont(value.value<QFont>());
    } else if (value.metaType() == QMetaType::fromType<QString>()) {
        if (const std::optional<QFont> font = platform::fontValue(value.toString()))
            style = VXStyle::textStyleWithFont(*font);
    }
    if (!style) {
        if (error)
            *error = validationErrorForKey(QStringLiteral("labelAttributes"));
        return false;
    }
    value = QVariant::fromValue(style);
    return true;
}
