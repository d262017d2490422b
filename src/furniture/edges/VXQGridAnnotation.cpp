#include "furniture/edges/VXQGridAnnotation.h"

#include "app/utilities/DictionaryUtilities.h"
#include "furniture/edges/GridSettingsKeys.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/NumberFormatter.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/text/TextAttributeCoding.h"

#include <QMutexLocker>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

const QString kOwnerKey = QStringLiteral("VXQGridAnnotation_ownerGrid");
const QString kTextAttributesKey = QStringLiteral("VXQGridAnnotation_textAttributes");
const QString kFormatterKey = QStringLiteral("VXQGridAnnotation_formatter");
const QString kPlacementKey = QStringLiteral("VXQGridAnnotation_placement");
const QString kKindKey = QStringLiteral("VXQGridAnnotation_kind");
const QString kStartOffsetKey = QStringLiteral("VXQGridAnnotation_startOffset");
const QString kIncrementKey = QStringLiteral("VXQGridAnnotation_increment");
const QString kDigitsKey = QStringLiteral("VXQGridAnnotation_digits");
const QString kOffsetKey = QStringLiteral("VXQGridAnnotation_offset");
const QString kIsVerticalKey = QStringLiteral("VXQGridAnnotation_isVertical");
const QString kIsRotatedKey = QStringLiteral("VXQGridAnnotation_isRotated");
const QString kIsReversedKey = QStringLiteral("VXQGridAnnotation_isReversed");
const QString kSkipIntervalKey = QStringLiteral("VXQGridAnnotation_skipInterval");

// Horizontal labels keep this share of the gap between them and the rectangle.
constexpr double kHorizontalGapShare = 0.7;
// Texts of labels of one annotation seldom number more; past this the measured ones are dropped.
constexpr int kMostCachedSizes = 4096;

struct OrientationKeys {
    const QString& start;
    const QString& increment;
    const QString& kind;
    const QString& rotated;
    const QString& reversed;
    const QString& digits;
    const QString& textAttributes;
};

const OrientationKeys& keysForOrientation(bool vertical)
{
    static const OrientationKeys horizontal{kVXQMapGridHorizontalStartValue,
                                            kVXQMapGridHorizontalIncrementValue,
                                            kVXQMapGridHorizontalAnnotationType,
                                            kVXQMapGridHorizontalAnnotationRotated,
                                            kVXQMapGridHorizontalAnnotationReversed,
                                            kVXQMapGridHorizontalDigits,
                                            kVXQMapGridHorizontalAnnotationTextAttributes};
    static const OrientationKeys verticalKeys{kVXQMapGridVerticalStartValue,
                                              kVXQMapGridVerticalIncrementValue,
                                              kVXQMapGridVerticalAnnotationType,
                                              kVXQMapGridVerticalAnnotationRotated,
                                              kVXQMapGridVerticalAnnotationReversed,
                                              kVXQMapGridVerticalDigits,
                                              kVXQMapGridVerticalAnnotationTextAttributes};
    return vertical ? verticalKeys : horizontal;
}

// Integers in archives and settings are 32-bit ints that the unsigned fields take as they come.
quint64 unsignedFromInt(qint64 value)
{
    return quint64(value);
}

std::optional<QColor>& defaultColourSlot()
{
    static std::optional<QColor> colour;
    return colour;
}

std::optional<platform::TextAttributes>& defaultAttributesSlot()
{
    static std::optional<platform::TextAttributes> attributes;
    return attributes;
}

} // namespace

VXQGridAnnotation::VXQGridAnnotation() : m_textAttributes(defaultTextAttributes()) {}

VXQGridAnnotation::~VXQGridAnnotation() = default;

VXQGridAnnotationPtr VXQGridAnnotation::defaultAnnotation()
{
    return std::make_shared<VXQGridAnnotation>();
}

QColor VXQGridAnnotation::defaultAnnotationColour()
{
    std::optional<QColor>& colour = defaultColourSlot();
    if (!colour)
        colour = QColor::fromRgbF(0.62f, 0.62f, 0.62f, 1.0f);
    return *colour;
}

void VXQGridAnnotation::setDefaultAnnotationColour(const QColor& colour)
{
    defaultColourSlot() = colour;
}

platform::TextAttributes VXQGridAnnotation::defaultTextAttributes()
{
    std::optional<platform::TextAttributes>& attributes = defaultAttributesSlot();
    if (!attributes) {
        platform::ParagraphStyle paragraph;
        paragraph.alignment = platform::TextAlignment::Centre;
        paragraph.lineBreakMode = platform::LineBreakMode::Clipping;
        const QFont font = platform::fontWithNameSize(QStringLiteral("Helvetica"), 14)
                               .value_or(platform::systemFontOfSize(14));
        attributes = platform::TextAttributes{{platform::kFontAttributeName, font},
                                              {platform::kParagraphStyleAttributeName, QVariant::fromValue(paragraph)},
                                              {platform::kForegroundColourAttributeName, defaultAnnotationColour()}};
    }
    return *attributes;
}

void VXQGridAnnotation::setDefaultTextAttributes(const platform::TextAttributes& attributes)
{
    defaultAttributesSlot() = attributes;
}

// --- Fields ------------------------------------------------------------------------------------

void VXQGridAnnotation::setTextAttributes(const platform::TextAttributes& attributes)
{
    announceChangeForKey(QStringLiteral("textAttributes"), [&] {
        m_textAttributes = attributes;
        QMutexLocker lock(&m_sizesMutex);
        m_sizes.clear();
    });
    setNeedsDisplay();
}

void VXQGridAnnotation::setFormatter(std::shared_ptr<const platform::NumberFormatter> formatter)
{
    m_formatter = std::move(formatter);
}

void VXQGridAnnotation::setPlacement(int placement)
{
    changeField("placement", m_placement, placement);
}

void VXQGridAnnotation::setIsAlphabetic(bool alphabetic)
{
    changeField("isAlphabetic", m_kind, int(alphabetic ? kLetters : kNumbers));
}

void VXQGridAnnotation::setStartingOffset(quint64 value)
{
    changeField("startingOffset", m_startingOffset, value);
}

void VXQGridAnnotation::setIncrement(quint64 increment)
{
    changeField("increment", m_increment, increment);
}

void VXQGridAnnotation::setDigits(quint64 digits)
{
    changeField("digits", m_digits, std::clamp<quint64>(digits, 1, 4));
}

void VXQGridAnnotation::setLabelSkipInterval(quint64 interval)
{
    changeField("labelSkipInterval", m_labelSkipInterval, std::max<quint64>(interval, 1));
}

void VXQGridAnnotation::setOffset(double offset)
{
    if (std::isfinite(offset))
        changeField("offset", m_offset, std::clamp(offset, 0.0, kMaximumOffset));
}

void VXQGridAnnotation::setOrientationIsVertical(bool vertical)
{
    if (vertical != m_orientationIsVertical)
        announceChangeForKey(QStringLiteral("orientationIsVertical"), [&] { m_orientationIsVertical = vertical; });
}

void VXQGridAnnotation::setIsRotated(bool rotated)
{
    changeField("isRotated", m_isRotated, rotated);
}

void VXQGridAnnotation::setIsReversed(bool reversed)
{
    changeField("isReversed", m_isReversed, reversed);
}

// --- Labels ------------------------------------------------------------------------------------

QString VXQGridAnnotation::annotationStringForElementMaxElement(quint64 element, quint64 maxElement) const
{
    // Unsigned arithmetic throughout: counting down past the start wraps, and prints as a
    // negative 32-bit number.
    quint64 shownMaximum = maxElement;
    quint64 value = m_startingOffset + m_increment * element;
    if (m_isReversed) {
        if (m_placement == kBetweenLines)
            shownMaximum = maxElement - 1;
        value = m_startingOffset - m_increment * element + m_increment * shownMaximum;
    }
    QString text;
    if (m_kind == kLetters)
        text = QChar(char16_t(u'A' + value % 26));
    else if (m_formatter)
        text = m_formatter->stringForObjectValue(QVariant(float(qint64(value))));
    else
        text = QString::asprintf("%.*d", int(m_digits), qint32(value));
    if (const VXQGridInfoProtocol* info = gridInfo()) {
        if (auto proposed = info->proposedLabelAtIndexMaxIndexFormatter(text, element, shownMaximum, m_formatter.get()))
            text = std::move(*proposed);
    }
    return text;
}

double VXQGridAnnotation::extent() const
{
    const QRectF rect = ownerBorderRect();
    return m_orientationIsVertical ? rect.height() : rect.width();
}

std::optional<int> VXQGridAnnotation::maximumElement() const
{
    const auto span = ownerSpanLength();
    const double count = span ? std::ceil(extent() / *span) : -1;
    if (!(count >= 0 && count <= kMaximumLabelCount))
        return std::nullopt;
    return int(count);
}

QSizeF VXQGridAnnotation::sizeOfText(const QString& text) const
{
    QMutexLocker lock(&m_sizesMutex);
    if (const auto known = m_sizes.constFind(text); known != m_sizes.cend())
        return *known;
    if (m_sizes.size() > kMostCachedSizes)
        m_sizes.clear();
    const QSizeF size = platform::AttributedStringLayout(platform::AttributedString(text, m_textAttributes), 0.0).size();
    m_sizes.insert(text, size);
    return size;
}

std::optional<VXQGridAnnotation::PlacedLabel> VXQGridAnnotation::placedLabel(quint64 element, quint64 maxElement,
                                                                             int side) const
{
    const VXQGridInfoProtocol* info = gridInfo();
    if (!info || (side != kNearSide && side != kFarSide) || element % m_labelSkipInterval != 0)
        return std::nullopt;
    PlacedLabel label{annotationStringForElementMaxElement(element, maxElement), {}};
    QSizeF size = sizeOfText(label.text);
    if (m_isRotated)
        size.transpose();
    const double gap = info->borderAllowance() + m_offset;
    const double span = info->spanLength();
    const QRectF rect = info->borderRect();
    const double along = double(element) * span + (m_placement == kBetweenLines ? span / 2 : 0);
    QPointF origin;
    if (m_orientationIsVertical) {
        origin.setX(side == kNearSide ? rect.left() - size.width() - gap : rect.right() + gap);
        origin.setY(rect.top() + along - size.height() / 2);
        if (origin.y() > rect.bottom())
            return std::nullopt;
    } else {
        origin.setY(side == kNearSide ? rect.top() - size.height() - kHorizontalGapShare * gap
                                      : rect.bottom() + kHorizontalGapShare * gap);
        origin.setX(rect.left() + along - size.width() / 2);
        if (origin.x() > rect.right())
            return std::nullopt;
    }
    label.rect = QRectF(origin, size);
    return label;
}

std::optional<QRectF> VXQGridAnnotation::labelRectForElementMaxElementAtEdge(quint64 element, quint64 maxElement,
                                                                            int side) const
{
    const auto label = placedLabel(element, maxElement, side);
    return label ? std::optional<QRectF>(label->rect) : std::nullopt;
}

void VXQGridAnnotation::drawPlacedLabel(const PlacedLabel& label) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    QPainter* painter = context->painter();
    const platform::AttributedStringLayout layout(platform::AttributedString(label.text, m_textAttributes), 0.0);
    painter->save();
    if (!m_isRotated) {
        layout.drawAtPoint(painter, label.rect.topLeft());
    } else {
        // Turned about the corner the text's top left lands on.
        const QRectF& rect = label.rect;
        painter->translate(m_orientationIsVertical ? rect.topRight() : rect.bottomLeft());
        painter->rotate(m_orientationIsVertical ? 90 : -90);
        layout.drawAtPoint(painter, QPointF(0, 0));
    }
    painter->restore();
}

void VXQGridAnnotation::drawAnnotationElementMaxElementInRectAtEdge(quint64 element, quint64 maxElement,
                                                                     const QRectF& rect, int side) const
{
    const auto label = placedLabel(element, maxElement, side);
    if (label && label->rect.intersects(rect))
        drawPlacedLabel(*label);
}

void VXQGridAnnotation::drawInRectAtEdge(const QRectF& rect, int edges) const
{
    const auto maximum = maximumElement();
    if (!maximum || !platform::GraphicsContext::current())
        return;
    const std::pair<int, int> sides[] = {{kVXQGridEdgeLeft | kVXQGridEdgeTop, kNearSide},
                                         {kVXQGridEdgeRight | kVXQGridEdgeBottom, kFarSide}};
    for (const auto& [sideEdges, side] : sides) {
        if (!(edges & sideEdges))
            continue;
        for (int element = 0; element <= *maximum; ++element)
            drawAnnotationElementMaxElementInRectAtEdge(element, *maximum, rect, side);
    }
}

QString VXQGridAnnotation::refStringForPositionWithPrecision(double position, quint64 precision) const
{
    const VXQGridInfoProtocol* info = gridInfo();
    const auto maximum = maximumElement();
    const auto spanLength = ownerSpanLength();
    if (!info || !maximum || !spanLength)
        return {};
    const QRectF rect = info->borderRect();
    // Single precision, as references have always been taken.
    const float span = float(*spanLength);
    const double along = position - (m_orientationIsVertical ? rect.top() : rect.left());
    if (!(span > 0 && std::isfinite(span)) || !(along >= 0 && along <= extent()))
        return {};
    // The drawn labels' maximum, so a cell's reference is the label drawn in it.
    QString text = annotationStringForElementMaxElement(quint64(std::floor(along / span)), quint64(*maximum));
    if (precision >= 5 && m_kind == kNumbers) {
        float remainder = std::fmod(float(along), span);
        if (m_isReversed)
            remainder = span - remainder;
        const quint64 divisions = info->divisionsPerSpan();
        const float digit = std::floor(remainder * float(divisions) / span);
        const quint64 lastDigit = divisions > 0 ? divisions - 1 : 0;
        text += QString::number(std::min(quint64(std::max(digit, 0.0f)), lastDigit));
    }
    return text;
}

QRectF VXQGridAnnotation::boundsForEdge(int edge) const
{
    const VXQGridInfoProtocol* info = gridInfo();
    const double allowance = info ? info->borderAllowance() : 0;
    const QRectF rect = ownerBorderRect();
    const VXDrawing* drawing = info ? info->drawing() : nullptr;
    const QSizeF size = drawing ? drawing->drawingSize() : QSizeF(0, 0);
    const QMarginsF margins = drawing ? drawing->margins() : QMarginsF();
    switch (edge) {
    case kVXQGridEdgeRight:
        return {rect.right() + allowance, 0, margins.right() - allowance, size.height()};
    case kVXQGridEdgeTop:
        return {0, 0, size.width(), margins.top() - allowance};
    case kVXQGridEdgeBottom:
        return {0, rect.bottom() + allowance, size.width(), margins.bottom() - allowance};
    default:
        return {0, 0, margins.left() - allowance, size.height()};
    }
}

double VXQGridAnnotation::maxWidthNeeded() const
{
    const auto span = ownerSpanLength();
    const double count = span ? std::floor(extent() / *span) : -1;
    if (!(count >= 0 && count <= kMaximumLabelCount))
        return 0;
    double widest = 0;
    for (quint64 element = 0; element <= quint64(count); ++element)
        widest = std::max(widest,
                          sizeOfText(annotationStringForElementMaxElement(element, quint64(count))).width());
    return widest;
}

// --- Settings and archive ------------------------------------------------------------------------

void VXQGridAnnotation::applySettings(const QVariantMap& settings)
{
    const OrientationKeys& keys = keysForOrientation(m_orientationIsVertical);
    setStartingOffset(unsignedFromInt(intValueForKey(settings, keys.start)));
    setIncrement(unsignedFromInt(intValueForKey(settings, keys.increment)));
    setIsAlphabetic(intValueForKey(settings, keys.kind) == kLetters);
    setIsRotated(boolValueForKey(settings, keys.rotated));
    setIsReversed(boolValueForKey(settings, keys.reversed));
    setDigits(unsignedFromInt(intValueForKey(settings, keys.digits)));
    // Labels without attributes would lose their font: a missing entry keeps the current ones.
    const QVariant attributes = settings.value(keys.textAttributes);
    if (attributes.typeId() == QMetaType::QVariantMap)
        setTextAttributes(attributes.toMap());
    setPlacement(intValueForKey(settings, kVXQMapGridHorizontalAnnotationPlacement));
}

QVariantMap VXQGridAnnotation::settings() const
{
    const OrientationKeys& keys = keysForOrientation(m_orientationIsVertical);
    QVariantMap settings;
    setIntValueForKey(settings, int(m_startingOffset), keys.start);
    setIntValueForKey(settings, int(m_increment), keys.increment);
    setIntValueForKey(settings, m_kind, keys.kind);
    setBoolValueForKey(settings, m_isRotated, keys.rotated);
    setBoolValueForKey(settings, m_isReversed, keys.reversed);
    setIntValueForKey(settings, int(m_digits), keys.digits);
    settings.insert(keys.textAttributes, m_textAttributes);
    setIntValueForKey(settings, m_placement, kVXQMapGridHorizontalAnnotationPlacement);
    return settings;
}

std::shared_ptr<ZQObject> VXQGridAnnotation::copy() const
{
    auto made = std::make_shared<VXQGridAnnotation>();
    made->m_textAttributes = m_textAttributes;
    made->m_formatter = m_formatter;
    made->m_placement = m_placement;
    made->m_kind = m_kind;
    made->m_startingOffset = m_startingOffset;
    made->m_increment = m_increment;
    made->m_digits = m_digits;
    made->m_labelSkipInterval = m_labelSkipInterval;
    made->m_offset = m_offset;
    made->m_orientationIsVertical = m_orientationIsVertical;
    made->m_isRotated = m_isRotated;
    made->m_isReversed = m_isReversed;
    return made;
}

void VXQGridAnnotation::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    encodeOwner(coder, kOwnerKey);
    coder.encodeObject(QVariant(platform::archivedTextAttributes(m_textAttributes)), kTextAttributesKey);
    if (m_formatter)
        coder.encodeObject(QVariant(platform::archivedNumberFormatter(*m_formatter)), kFormatterKey);
    coder.encodeInt(m_placement, kPlacementKey);
    coder.encodeInt(m_kind, kKindKey);
    coder.encodeInt(qint64(m_startingOffset), kStartOffsetKey);
    coder.encodeInt(qint64(m_increment), kIncrementKey);
    coder.encodeInt(qint64(m_digits), kDigitsKey);
    coder.encodeDouble(float(m_offset), kOffsetKey);
    coder.encodeBool(m_orientationIsVertical, kIsVerticalKey);
    coder.encodeBool(m_isRotated, kIsRotatedKey);
    coder.encodeBool(m_isReversed, kIsReversedKey);
    coder.encodeInt(qint64(m_labelSkipInterval), kSkipIntervalKey);
}

void VXQGridAnnotation::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    decodeOwner(coder, kOwnerKey);
    const platform::TextAttributes attributes =
        platform::textAttributesFromArchive(coder.decodeValue(kTextAttributesKey));
    if (!attributes.isEmpty())
        m_textAttributes = attributes;
    m_formatter = platform::numberFormatterFromArchive(coder.decodeValue(kFormatterKey));
    const auto int32 = [&reader](const QString& key, qint64 fallback) {
        return reader.integer(key, fallback, INT_MIN, INT_MAX);
    };
    m_placement = int(int32(kPlacementKey, kOnLines));
    m_kind = int(int32(kKindKey, kNumbers)) == kLetters ? kLetters : kNumbers;
    m_startingOffset = unsignedFromInt(int32(kStartOffsetKey, 0));
    m_increment = unsignedFromInt(int32(kIncrementKey, 1));
    m_digits = std::clamp<quint64>(unsignedFromInt(int32(kDigitsKey, 2)), 1, 4);
    m_labelSkipInterval = std::max<quint64>(unsignedFromInt(int32(kSkipIntervalKey, 1)), 1);
    m_offset = reader.real(kOffsetKey, 5.0, 0.0, kMaximumOffset);
    m_orientationIsVertical = reader.boolean(kIsVerticalKey, false);
    m_isRotated = reader.boolean(kIsRotatedKey, false);
    m_isReversed = reader.boolean(kIsReversedKey, false);
}
