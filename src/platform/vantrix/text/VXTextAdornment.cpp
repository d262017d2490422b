#include "platform/vantrix/text/VXTextAdornment.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/text/AbbreviationTable.h"
#include "platform/vantrix/text/TextAttributeCoding.h"
#include "platform/vantrix/text/TextEffects.h"
#include "platform/vantrix/text/TextPlacement.h"
#include "platform/vantrix/text/TextSubstitution.h"

#include <QHash>
#include <QMutex>
#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <optional>

using platform::AttributedString;
using platform::TextAttributes;
using platform::TextRange;

namespace {

const QString kLabelKey = QStringLiteral("VXTextAdornment_label");
const QString kLabelRunsKey = QStringLiteral("VXTextAdornment_labelRuns");
const QString kParagraphStyleKey = QStringLiteral("VXTextAdornment_paragraphStyle");

constexpr double kMaximumVerticalOffset = 20;
constexpr double kKerningStep = 1;
constexpr double kBaselineStep = 1;
// Offsets, spacings and halos beyond this are mistakes, not design.
constexpr double kLargestDistance = 1000;
constexpr int kLargestScriptLevel = 10;

struct AbbreviationSetting {
    QMutex mutex;
    std::shared_ptr<const platform::AbbreviationTable> table;
};

AbbreviationSetting& abbreviationSetting()
{
    static AbbreviationSetting setting;
    return setting;
}

// Adornments resolving their text on this thread: a metadata lookup that draws the same
// text again (a name made from a label) must not recurse without end.
class ResolvingScope {
public:
    explicit ResolvingScope(const VXTextAdornment* adornment) : m_nested(resolving().contains(adornment))
    {
        resolving().append(adornment);
    }
    ~ResolvingScope() { resolving().removeLast(); }
    ResolvingScope(const ResolvingScope&) = delete;
    ResolvingScope& operator=(const ResolvingScope&) = delete;
    bool isNested() const { return m_nested; }

private:
    static QList<const VXTextAdornment*>& resolving()
    {
        thread_local QList<const VXTextAdornment*> adornments;
        return adornments;
    }
    bool m_nested;
};

bool sameShadow(const VXShadowPtr& a, const VXShadowPtr& b)
{
    return a == b || (a && b && a->isEqualToValue(*b));
}

bool isFinite(QPointF point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

double clampedDistance(double value)
{
    return std::clamp(value, -kLargestDistance, kLargestDistance);
}

// The object's box: its size about the centre of its outline, turned as the object is.
std::optional<platform::TextBox> textBoxForObject(const VXRenderable& object, double angle)
{
    const QSizeF size(std::abs(object.size().width()), std::abs(object.size().height()));
    const QTransform container = object.containerTransform();
    const platform::BezierPath path = object.renderingPath();
    const QPointF centre = path.isEmpty() ? container.map(object.location()) : path.bounds().center();
    if (!isFinite(centre) || !std::isfinite(angle))
        return std::nullopt;
    const QTransform turnAndScale(container.m11(), container.m12(), container.m21(), container.m22(), 0, 0);
    return platform::TextBox{size, QTransform::fromTranslate(-size.width() / 2, -size.height() / 2)
                                       * QTransform().rotateRadians(angle) * turnAndScale
                                       * QTransform::fromTranslate(centre.x(), centre.y())};
}

QPainterPath allPlacedPaths(const QList<platform::TextOutline>& outlines)
{
    QPainterPath united;
    united.setFillRule(Qt::WindingFill);
    for (const platform::TextOutline& outline : outlines)
        united.addPath(outline.placedPath());
    return united;
}

} // namespace

// The changes a command makes, as one undo step named for the command (when it changed anything).
class VXTextAdornment::CommandStep {
public:
    CommandStep(VXTextAdornment* adornment, const char* actionName)
        : m_adornment(adornment)
        , m_undo(adornment->undoManager())
        , m_actionName(actionName)
        , m_changeCount(adornment->m_changeCount)
    {
        if (m_undo)
            m_undo->beginUndoGrouping();
    }
    ~CommandStep()
    {
        if (!m_undo)
            return;
        if (m_adornment->m_changeCount != m_changeCount && !m_undo->isUndoing() && !m_undo->isRedoing())
            m_undo->setActionName(tr(m_actionName));
        m_undo->endUndoGrouping();
    }
    CommandStep(const CommandStep&) = delete;
    CommandStep& operator=(const CommandStep&) = delete;

private:
    VXTextAdornment* m_adornment;
    ZQUndoManager* m_undo;
    const char* m_actionName;
    int m_changeCount;
};

VXTextAdornment::VXTextAdornment() = default;

VXTextAdornment::~VXTextAdornment() = default;

VXTextAdornmentPtr VXTextAdornment::textAdornmentWithText(const QString& text)
{
    return textAdornmentWithText(AttributedString(text));
}

VXTextAdornmentPtr VXTextAdornment::textAdornmentWithText(const AttributedString& text)
{
    auto adornment = std::make_shared<VXTextAdornment>();
    adornment->setLabel(text);
    return adornment;
}

double VXTextAdornment::defaultMaximumVerticalOffset()
{
    return kMaximumVerticalOffset;
}

void VXTextAdornment::setAbbreviationTable(const platform::AbbreviationTable& table)
{
    AbbreviationSetting& setting = abbreviationSetting();
    const QMutexLocker lock(&setting.mutex);
    setting.table = std::make_shared<const platform::AbbreviationTable>(table);
}

std::shared_ptr<const platform::AbbreviationTable> VXTextAdornment::abbreviationTable()
{
    AbbreviationSetting& setting = abbreviationSetting();
    const QMutexLocker lock(&setting.mutex);
    return setting.table;
}

QString VXTextAdornment::displayName() const
{
    return tr("Text");
}

// --- Text ------------------------------------------------------------------------------------

void VXTextAdornment::setLabel(const QVariant& label)
{
    if (label.metaType() == QMetaType::fromType<AttributedString>())
        setLabel(label.value<AttributedString>());
    else
        setLabel(AttributedString(label.toString()));
}

void VXTextAdornment::setLabel(const AttributedString& label)
{
    setValueForKeyWithUndo(m_label, withoutAttributesOfTheWholeText(label), "label");
}

void VXTextAdornment::setEditedLabel(const AttributedString& label)
{
    // Only an edit says the text was styled as a whole (selected and set in the font panel);
    // the runs other callers set stay the label's, a table cell's block among them.
    if (const TextAttributes spanning = ownAttributesSpanningTheWholeText(label); !spanning.isEmpty()) {
        TextAttributes whole = m_style.attributes();
        whole.insert(spanning);
        setTextAttributes(whole);
    }
    setLabel(label);
}

void VXTextAdornment::setString(const QString& string)
{
    setLabel(AttributedString(string));
}

void VXTextAdornment::setPlaceholder(const QString& placeholder)
{
    setValueForKeyWithUndo(m_placeholder, placeholder, "placeholder");
}

void VXTextAdornment::setAbbreviates(bool abbreviates)
{
    setValueForKeyWithUndo(m_abbreviates, abbreviates, "abbreviates");
}

void VXTextAdornment::setCapitalization(int capitalization)
{
    if (capitalization >= kCapitalizationNone && capitalization <= kCapitalizationTitle)
        setValueForKeyWithUndo(m_capitalization, capitalization, "capitalization");
}

AttributedString VXTextAdornment::textForEditing() const
{
    return withAttributesOfTheWholeText(m_label);
}

AttributedString VXTextAdornment::textToDraw(const VXRenderable& object) const
{
    const ResolvingScope scope(this);
    platform::TextSubstitutionLookup lookup;
    if (!scope.isNested())
        lookup = [&object](const QString& key) { return object.metadataObjectForKey(key); };
    const auto table = m_abbreviates ? abbreviationTable() : nullptr;
    AttributedString text = platform::substitutedText(m_label, lookup, table.get());
    if (text.string().trimmed().isEmpty())
        text = AttributedString(m_placeholder);
    return withAttributesOfTheWholeText(
        platform::capitalizedText(text, platform::TextCapitalization(m_capitalization)));
}

QString VXTextAdornment::searchableStringForObject(const VXRenderable& object) const
{
    const ResolvingScope scope(this);
    if (scope.isNested())
        return {};
    const auto table = m_abbreviates ? abbreviationTable() : nullptr;
    const auto lookup = [&object](const QString& key) { return object.metadataObjectForKey(key); };
    return platform::substitutedText(m_label, lookup, table.get()).string().trimmed();
}

QString VXTextAdornment::searchableStringOfStyleForObject(const VXStyle& style, const VXRenderable& object)
{
    QString text;
    style.forEachRendererOfClass<VXTextAdornment>([&](const VXTextAdornment& adornment) {
        text += adornment.searchableStringForObject(object) + QLatin1Char(' ');
    });
    return text;
}

bool VXTextAdornment::attributeIsHomogeneous(const QString& attributeName) const
{
    const AttributedString text = textForEditing();
    if (text.isEmpty())
        return true;
    TextRange range;
    text.attributeAtIndexLongestEffectiveRangeInRange(attributeName, 0, &range, {0, text.length()});
    return range.length == text.length();
}

AttributedString VXTextAdornment::withAttributesOfTheWholeText(const AttributedString& text) const
{
    const TextAttributes whole = m_style.attributes();
    if (text.isEmpty())
        return AttributedString(text.string(), whole);
    AttributedString result;
    text.enumerateAttributesInRange({0, text.length()}, [&](const TextAttributes& own, TextRange run) {
        TextAttributes attributes = whole;
        attributes.insert(own);
        result.appendAttributedString(AttributedString(text.string().mid(run.location, run.length), attributes));
    });
    return result;
}

AttributedString VXTextAdornment::withoutAttributesOfTheWholeText(const AttributedString& label) const
{
    const TextAttributes whole = m_style.attributes();
    AttributedString result;
    label.enumerateAttributesInRange({0, label.length()}, [&](const TextAttributes& attributes, TextRange run) {
        TextAttributes own = attributes;
        own.removeIf([&whole](const auto& entry) { return whole.value(entry.key()) == entry.value(); });
        result.appendAttributedString(AttributedString(label.string().mid(run.location, run.length), own));
    });
    return result;
}

TextAttributes VXTextAdornment::ownAttributesSpanningTheWholeText(const AttributedString& label) const
{
    const TextAttributes first = label.isEmpty() ? TextAttributes() : label.attributesAtIndexEffectiveRange(0);
    if (first.isEmpty())
        return {};
    const TextAttributes whole = m_style.attributes();
    TextAttributes spanning;
    for (auto attribute = first.cbegin(); attribute != first.cend(); ++attribute) {
        if (!whole.contains(attribute.key()) || whole.value(attribute.key()) == attribute.value())
            continue;
        TextRange range;
        label.attributeAtIndexLongestEffectiveRangeInRange(attribute.key(), 0, &range, {0, label.length()});
        if (range.length == label.length())
            spanning.insert(attribute.key(), attribute.value());
    }
    return spanning;
}

void VXTextAdornment::changeLabelAttribute(const QString& attributeName,
                                           const std::function<QVariant(const QVariant&)>& change)
{
    AttributedString label = m_label;
    for (qsizetype i = 0; i < label.length();) {
        TextRange run;
        const QVariant value = label.attributeAtIndexEffectiveRange(attributeName, i, &run);
        const QVariant changed = value.isValid() && change ? change(value) : QVariant();
        if (changed.isValid())
            label.addAttributeValueRange(attributeName, changed, run);
        else if (value.isValid())
            label.removeAttributeRange(attributeName, run);
        i = run.end();
    }
    setValueForKeyWithUndo(m_label, label, "label");
}

// --- Attributes of the whole text -------------------------------------------------------------

template <class T>
void VXTextAdornment::setWholeTextValue(T& member, const T& value, const char* key)
{
    if (!acceptsChangeForKey(key))
        return;
    changeLabelAttribute(platform::TextStyle::attributeNameForKey(QString::fromLatin1(key)), {});
    setValueForKeyWithUndo(member, value, key);
}

void VXTextAdornment::changeFontOfWholeText(const std::function<QFont(const QFont&)>& change)
{
    changeLabelAttribute(platform::kFontAttributeName, [&change](const QVariant& font) {
        return QVariant(platform::fontWithValidSize(change(font.value<QFont>())));
    });
    setValueForKeyWithUndo(m_style.font, platform::fontWithValidSize(change(m_style.font)), "font");
}

void VXTextAdornment::setFont(const QFont& font)
{
    setWholeTextValue(m_style.font, platform::fontWithValidSize(font), "font");
}

void VXTextAdornment::setFontSize(double size)
{
    if (!(size > 0) || !std::isfinite(size))
        return;
    const CommandStep step(this, QT_TR_NOOP("Font Size"));
    changeFontOfWholeText([size](QFont font) {
        font.setPointSizeF(size);
        return font;
    });
}

void VXTextAdornment::setColour(const QColor& colour)
{
    if (colour.isValid())
        setWholeTextValue(m_style.colour, colour, "colour");
}

void VXTextAdornment::setParagraphStyle(const platform::ParagraphStyle& style)
{
    setWholeTextValue(m_style.paragraphStyle, style, "paragraphStyle");
}

int VXTextAdornment::alignment() const
{
    const auto alignment = m_style.paragraphStyle.alignment;
    return alignment == platform::TextAlignment::Natural ? int(platform::TextAlignment::Left) : int(alignment);
}

void VXTextAdornment::setAlignment(int alignment)
{
    if (alignment < 0 || alignment > int(platform::TextAlignment::Justified))
        return;
    const CommandStep step(this, QT_TR_NOOP("Text Alignment"));
    platform::ParagraphStyle style = m_style.paragraphStyle;
    style.alignment = platform::TextAlignment(alignment);
    setParagraphStyle(style);
}

bool VXTextAdornment::wrapsLines() const
{
    const auto mode = m_style.paragraphStyle.lineBreakMode;
    return mode == platform::LineBreakMode::WordWrapping || mode == platform::LineBreakMode::CharWrapping;
}

void VXTextAdornment::setWrapsLines(bool wraps)
{
    if (wraps == wrapsLines())
        return;
    const CommandStep step(this, QT_TR_NOOP("Text Wrapping"));
    platform::ParagraphStyle style = m_style.paragraphStyle;
    style.lineBreakMode = wraps ? platform::LineBreakMode::WordWrapping : platform::LineBreakMode::Clipping;
    setParagraphStyle(style);
}

void VXTextAdornment::setUnderlines(int style)
{
    setWholeTextValue(m_style.underlines, std::max(style, 0), "underlines");
}

void VXTextAdornment::setStrikethroughs(int style)
{
    setWholeTextValue(m_style.strikethroughs, std::max(style, 0), "strikethroughs");
}

void VXTextAdornment::setOutlineWidth(double width)
{
    setWholeTextValue(m_style.outlineWidth, std::clamp(width, -100.0, 100.0), "outlineWidth");
}

void VXTextAdornment::setOutlineColour(const QColor& colour)
{
    setWholeTextValue(m_style.outlineColour, colour, "outlineColour");
}

void VXTextAdornment::setTextKnockoutDistance(double distance)
{
    setWholeTextValue(m_style.knockoutDistance, std::clamp(distance, 0.0, kLargestDistance), "textKnockoutDistance");
}

void VXTextAdornment::setTextKnockoutColour(const QColor& colour)
{
    setWholeTextValue(m_style.knockoutColour, colour, "textKnockoutColour");
}

void VXTextAdornment::setShadow(const VXShadowPtr& shadow)
{
    setWholeTextValue(m_style.shadow, shadow, "shadow");
}

void VXTextAdornment::setKerning(double kerning)
{
    setWholeTextValue(m_style.kerning, clampedDistance(kerning), "kerning");
}

void VXTextAdornment::setBaseline(double baseline)
{
    setWholeTextValue(m_style.baseline, clampedDistance(baseline), "baseline");
}

void VXTextAdornment::setSuperscriptAttribute(int level)
{
    setWholeTextValue(m_style.superscript, std::clamp(level, -kLargestScriptLevel, kLargestScriptLevel),
                      "superscriptAttribute");
}

void VXTextAdornment::setTextAttributes(const QVariantMap& attributes)
{
    const platform::TextStyle style = platform::TextStyle::fromAttributes(attributes);
    const CommandStep step(this, QT_TR_NOOP("Text Attributes"));
    setFont(style.font);
    setColour(style.colour);
    setParagraphStyle(style.paragraphStyle);
    setUnderlines(style.underlines);
    setStrikethroughs(style.strikethroughs);
    setOutlineWidth(style.outlineWidth);
    setOutlineColour(style.outlineColour);
    setTextKnockoutDistance(style.knockoutDistance);
    setTextKnockoutColour(style.knockoutColour);
    if (!sameShadow(style.shadow, m_style.shadow))
        setShadow(style.shadow);
    setKerning(style.kerning);
    setBaseline(style.baseline);
    setSuperscriptAttribute(style.superscript);
}

// --- Layout ------------------------------------------------------------------------------------

void VXTextAdornment::setLayoutMode(int mode)
{
    if (mode >= kLayoutInBox && mode <= kLayoutAlongReversedPath)
        setValueForKeyWithUndo(m_layoutMode, mode, "layoutMode");
}

void VXTextAdornment::setVerticalAlignment(int alignment)
{
    if (alignment >= kAlignTop && alignment <= kAlignCentredOnPath)
        setValueForKeyWithUndo(m_verticalAlignment, alignment, "verticalAlignment");
}

void VXTextAdornment::setVerticalAlignmentProportion(double proportion)
{
    setValueForKeyWithUndo(m_verticalAlignmentProportion, std::clamp(proportion, 0.0, 1.0),
                           "verticalAlignmentProportion");
}

void VXTextAdornment::setBaselineProportion(double proportion)
{
    if (!std::isfinite(proportion))
        return;
    const CommandStep step(this, QT_TR_NOOP("Text Baseline"));
    setVerticalAlignment(kAlignProportionally);
    setVerticalAlignmentProportion(proportion);
}

void VXTextAdornment::setAngle(double angle)
{
    setValueForKeyWithUndo(m_angle, angle, "angle");
}

double VXTextAdornment::angleInDegrees() const
{
    return qRadiansToDegrees(m_angle);
}

void VXTextAdornment::setAngleInDegrees(double degrees)
{
    setAngle(qDegreesToRadians(degrees));
}

void VXTextAdornment::setAppliesObjectAngle(bool applies)
{
    setValueForKeyWithUndo(m_appliesObjectAngle, applies, "appliesObjectAngle");
}

void VXTextAdornment::setClipping(int clipping)
{
    if (clipping >= kNoClipping && clipping <= kClipToPath)
        setValueForKeyWithUndo(m_clipping, clipping, "clipping");
}

// --- Commands ------------------------------------------------------------------------------------

void VXTextAdornment::changeFont(const QFont& font)
{
    const CommandStep step(this, QT_TR_NOOP("Change Font"));
    const QFont valid = platform::fontWithValidSize(font);
    // The label's own fonts keep their weight and style, so a bold word stays bold.
    changeLabelAttribute(platform::kFontAttributeName, [&valid](const QVariant& value) {
        QFont converted = value.value<QFont>();
        converted.setFamilies(valid.families());
        converted.setFamily(valid.family());
        converted.setPointSizeF(valid.pointSizeF());
        return QVariant(converted);
    });
    setValueForKeyWithUndo(m_style.font, valid, "font");
}

void VXTextAdornment::changeAttributes(const QVariantMap& attributes)
{
    const CommandStep step(this, QT_TR_NOOP("Change Attributes"));
    QVariantMap merged = textAttributes();
    merged.insert(attributes);
    setTextAttributes(merged);
}

void VXTextAdornment::loosenKerning(QObject*)
{
    const CommandStep step(this, QT_TR_NOOP("Loosen Kerning"));
    setKerning(m_style.kerning + kKerningStep);
}

void VXTextAdornment::tightenKerning(QObject*)
{
    const CommandStep step(this, QT_TR_NOOP("Tighten Kerning"));
    setKerning(m_style.kerning - kKerningStep);
}

void VXTextAdornment::turnOffKerning(QObject*)
{
    const CommandStep step(this, QT_TR_NOOP("Turn Off Kerning"));
    setKerning(0);
    changeFontOfWholeText([](QFont font) {
        font.setKerning(false);
        return font;
    });
}

void VXTextAdornment::useStandardKerning(QObject*)
{
    const CommandStep step(this, QT_TR_NOOP("Use Standard Kerning"));
    setKerning(0);
    changeFontOfWholeText([](QFont font) {
        font.setKerning(true);
        return font;
    });
}

void VXTextAdornment::lowerBaseline(QObject*)
{
    const CommandStep step(this, QT_TR_NOOP("Lower Baseline"));
    setBaseline(m_style.baseline - kBaselineStep);
}

void VXTextAdornment::raiseBaseline(QObject*)
{
    const CommandStep step(this, QT_TR_NOOP("Raise Baseline"));
    setBaseline(m_style.baseline + kBaselineStep);
}

void VXTextAdornment::superscript(QObject*)
{
    const CommandStep step(this, QT_TR_NOOP("Superscript"));
    setSuperscriptAttribute(1);
}

void VXTextAdornment::subscript(QObject*)
{
    const CommandStep step(this, QT_TR_NOOP("Subscript"));
    setSuperscriptAttribute(-1);
}

void VXTextAdornment::unscript(QObject*)
{
    const CommandStep step(this, QT_TR_NOOP("Unscript"));
    setSuperscriptAttribute(0);
    setBaseline(0);
}

// --- Geometry and drawing ------------------------------------------------------------------------

platform::PlacedText VXTextAdornment::placedTextForObject(const VXRenderable& object, bool withOutlines) const
{
    const AttributedString text = textToDraw(object);
    if (text.isEmpty())
        return {};
    const platform::TextArrangement arrangement{
        platform::TextAlignment(alignment()),
        platform::TextVerticalAlignment(m_verticalAlignment),
        m_verticalAlignmentProportion,
        (m_verticalAlignmentProportion - 0.5) * 2 * kMaximumVerticalOffset,
        wrapsLines(),
    };
    if (m_layoutMode == kLayoutInBox) {
        const auto box = textBoxForObject(object, m_angle + (m_appliesObjectAngle ? object.angle() : 0));
        return box ? platform::placeTextInBox(text, *box, arrangement, withOutlines) : platform::PlacedText();
    }
    const platform::BezierPath path = object.renderingPath();
    return placedTextAlongPath(
        text, (m_layoutMode == kLayoutAlongReversedPath ? path.bezierPathByReversingPath() : path).painterPath(),
        arrangement);
}

struct VXTextAdornment::AlongPathLayout {
    AttributedString text;
    QPainterPath path;
    platform::TextArrangement arrangement;
    platform::PlacedText placed;
};

platform::PlacedText VXTextAdornment::placedTextAlongPath(const AttributedString& text, const QPainterPath& path,
                                                          const platform::TextArrangement& arrangement) const
{
    {
        const QMutexLocker lock(&m_alongPathLock);
        if (const auto& kept = m_alongPathLayout;
            kept && kept->arrangement == arrangement && kept->text == text && kept->path == path)
            return kept->placed;
    }
    platform::PlacedText placed = platform::placeTextAlongPath(text, platform::BezierPath(path), arrangement);
    const QMutexLocker lock(&m_alongPathLock);
    m_alongPathLayout = std::make_shared<const AlongPathLayout>(AlongPathLayout{text, path, arrangement, placed});
    return placed;
}

QRectF VXTextAdornment::boundsNeededForObject(const VXRenderable& object) const
{
    const platform::PlacedText placed = placedTextForObject(object, false);
    if (placed.isEmpty())
        return {};
    const QSizeF reach = effectsReach();
    return placed.bounds.adjusted(-reach.width(), -reach.height(), reach.width(), reach.height());
}

QRectF VXTextAdornment::textLayoutRectForObject(const VXRenderable& object) const
{
    return placedTextForObject(object, false).textRect;
}

QSizeF VXTextAdornment::textSizeForObject(const VXRenderable& object) const
{
    const AttributedString text = textToDraw(object);
    return text.isEmpty() ? QSizeF() : platform::AttributedStringLayout(text, 0).size();
}

bool VXTextAdornment::textAlongPathCoversPoint(QPointF point, const VXRenderable& object) const
{
    if (m_layoutMode == kLayoutInBox)
        return false;
    const platform::PlacedText placed = placedTextForObject(object, false);
    return std::any_of(placed.glyphCells.cbegin(), placed.glyphCells.cend(),
                       [point](const QPolygonF& cell) { return cell.containsPoint(point, Qt::OddEvenFill); });
}

double VXTextAdornment::baselineOffset() const
{
    platform::TextArrangement arrangement;
    arrangement.verticalAlignment = platform::TextVerticalAlignment(m_verticalAlignment);
    arrangement.proportionalOffset = (m_verticalAlignmentProportion - 0.5) * 2 * kMaximumVerticalOffset;
    return platform::baselineOffsetFromMiddle(arrangement, platform::lineMetricsOfFont(m_style.font));
}

void VXTextAdornment::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    const platform::TextEffects textEffects = effects();
    const bool drawsShadow = m_style.shadow && !object.useLowQualityDrawing();
    const platform::PlacedText placed = placedTextForObject(object, drawsShadow || textEffects.needsOutlines());
    if (placed.isEmpty())
        return;
    QPainter* painter = context->painter();
    painter->save();
    if (m_layoutMode == kLayoutInBox && m_clipping == kClipToPath) {
        painter->setClipPath(object.renderingPath().painterPathWithWindingRule(), Qt::IntersectClip);
    } else if (m_layoutMode == kLayoutInBox && m_clipping == kClipToBox) {
        if (const auto box = textBoxForObject(object, m_angle + (m_appliesObjectAngle ? object.angle() : 0))) {
            QPainterPath area;
            area.addRect(QRectF(QPointF(), box->size));
            painter->setClipPath(box->toDrawing.map(area), Qt::IntersectClip);
        }
    }
    if (drawsShadow)
        m_style.shadow->drawShadowForPath(allPlacedPaths(placed.outlines));
    textEffects.draw(placed);
    painter->restore();
}

QSizeF VXTextAdornment::extraSpaceNeeded() const
{
    const QSizeF reach = effectsReach();
    if (m_layoutMode == kLayoutInBox)
        return reach;
    // Text beside a path reaches a line's height and its offset off the path.
    const platform::LineMetrics metrics = platform::lineMetricsOfFont(m_style.font);
    const double beside = metrics.ascent + metrics.descent + std::abs(baselineOffset());
    return {reach.width() + beside, reach.height() + beside};
}

platform::TextEffects VXTextAdornment::effects() const
{
    // The outline width is a share of the font size; its sign says whether glyphs are filled.
    return {m_style.knockoutDistance, m_style.knockoutColour, std::abs(m_style.outlineWidth) * fontSize() / 100,
            m_style.outlineColour, !(m_style.outlineWidth > 0)};
}

QSizeF VXTextAdornment::effectsReach() const
{
    const double reach = effects().reach();
    const QSizeF shadow = m_style.shadow ? m_style.shadow->extraSpace() : QSizeF(0, 0);
    return {std::max(reach, shadow.width()), std::max(reach, shadow.height())};
}

bool VXTextAdornment::isValid() const
{
    return !m_label.isEmpty() || !m_placeholder.isEmpty();
}

bool VXTextAdornment::isEqualToRasterizer(const VXRasterizer& other) const
{
    const auto* text = qobject_cast<const VXTextAdornment*>(&other);
    return text && VXRasterizer::isEqualToRasterizer(other) && text->m_label == m_label
        && text->m_style.paragraphStyle == m_style.paragraphStyle;
}

QStringList VXTextAdornment::keyPathsForValuesAffectingValueForKey(const QString& key) const
{
    static const QHash<QString, QStringList> dependencies{
        {QStringLiteral("string"), {QStringLiteral("label")}},
        {QStringLiteral("fontSize"), {QStringLiteral("font")}},
        {QStringLiteral("alignment"), {QStringLiteral("paragraphStyle")}},
        {QStringLiteral("wrapsLines"), {QStringLiteral("paragraphStyle")}},
        {QStringLiteral("angleInDegrees"), {QStringLiteral("angle")}},
        {QStringLiteral("baselineProportion"), {QStringLiteral("verticalAlignmentProportion")}},
        {QStringLiteral("textAttributes"),
         {QStringLiteral("font"), QStringLiteral("colour"), QStringLiteral("paragraphStyle"),
          QStringLiteral("underlines"), QStringLiteral("strikethroughs"), QStringLiteral("outlineWidth"),
          QStringLiteral("outlineColour"), QStringLiteral("textKnockoutDistance"),
          QStringLiteral("textKnockoutColour"), QStringLiteral("shadow"), QStringLiteral("kerning"),
          QStringLiteral("baseline"), QStringLiteral("superscriptAttribute")}},
    };
    return dependencies.value(key);
}

void VXTextAdornment::componentDidChangeKeyPath(VXRasterizer* component, const QString& keyPath)
{
    if (component == this)
        ++m_changeCount;
    VXRasterizer::componentDidChangeKeyPath(component, keyPath);
}

std::shared_ptr<ZQObject> VXTextAdornment::copy() const
{
    auto made = std::static_pointer_cast<VXTextAdornment>(VXRasterizer::copy());
    made->m_label = m_label;
    made->m_style.paragraphStyle = m_style.paragraphStyle;
    return made;
}

void VXTextAdornment::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXRasterizer::encodeWithCoder(coder);
    coder.encodeString(m_label.string(), kLabelKey);
    if (const QVariantList runs = platform::archivedRuns(m_label); !runs.isEmpty())
        coder.encodeObject(QVariant(runs), kLabelRunsKey);
    coder.encodeObject(QVariant(platform::archivedParagraphStyle(m_style.paragraphStyle)), kParagraphStyleKey);
}

void VXTextAdornment::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXRasterizer::initWithCoder(coder);
    m_label = platform::attributedStringFromArchive(coder.decodeString(kLabelKey), coder.decodeValue(kLabelRunsKey));
    if (!coder.containsValueForKey(kParagraphStyleKey))
        return;
    if (const auto style = platform::paragraphStyleFromArchive(coder.decodeValue(kParagraphStyleKey)))
        m_style.paragraphStyle = *style;
    else
        ZQLogObjCMethod(QStringLiteral("the archived paragraph style is damaged; the default is kept"));
}
