#include "furniture/scalebar/VXQScaleBarElement.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/ui/NumberFormatter.h"
#include "platform/vantrix/model/ArchiveReader.h"

#include <QFont>

namespace {

const QString kOwnerKey = QStringLiteral("VXQScaleBarElement_owner");
const QString kBarKey = QStringLiteral("VXQScaleBarElement_bar");
const QString kScaleKey = QStringLiteral("VXQScaleBarElement_scale");
const QString kEdgeKey = QStringLiteral("VXQScaleBarElement_edge");
const QString kEnabledKey = QStringLiteral("VXQScaleBarElement_enabled");

constexpr double kDefaultBarWidth = 6.0;
constexpr int kMostFractionDigits = 2;

platform::TextAttributes defaultLabelAttributes()
{
    QFont font = platform::fontWithNameSize(QStringLiteral("Helvetica Oblique"), 9)
                     .value_or(platform::systemFontOfSize(9));
    font.setItalic(true);
    return {{platform::kFontAttributeName, font}, {platform::kForegroundColourAttributeName, QColor(Qt::black)}};
}

} // namespace

VXQScaleBarElement::VXQScaleBarElement()
{
    m_bar->setOffset(1.0);
    m_bar->setWidth(kDefaultBarWidth);
    m_bar->setBorderEdges(m_edge);
    m_scale->setTextAttributes(defaultLabelAttributes());
    m_scale->setDigits(2);
    m_scale->setOffset(kDefaultBarWidth);
    m_scale->setFormatter(distanceFormatter());
}

VXQScaleBarElement::~VXQScaleBarElement() = default;

std::shared_ptr<const platform::NumberFormatter> VXQScaleBarElement::distanceFormatter()
{
    auto formatter = std::make_shared<platform::NumberFormatter>();
    formatter->setNumberStyle(platform::NumberFormatter::Style::Decimal);
    formatter->setMaximumFractionDigits(kMostFractionDigits);
    formatter->setRoundingMode(platform::NumberFormatter::Rounding::HalfEven);
    return formatter;
}

void VXQScaleBarElement::setOwner(QObject* owner)
{
    m_bar->setOwner(owner);
    m_scale->setOwner(owner);
    m_owner = owner;
}

void VXQScaleBarElement::setEdge(int edge)
{
    m_edge = edge;
    m_bar->setBorderEdges(edge);
}

void VXQScaleBarElement::setBarWidth(double width)
{
    m_bar->setWidth(width);
    m_bar->setOffset(0.167 * width);
    m_scale->setOffset(width);
}

QRectF VXQScaleBarElement::bounds() const
{
    if (!m_enabled)
        return {};
    QRectF rect = m_bar->boundsForEdge(m_edge);
    const platform::AttributedStringLayout letter(platform::AttributedString(QStringLiteral("M"), textAttributes()), 0.0);
    const double height = letter.size().height() + borderAllowance() + rect.height();
    if (m_edge == kVXQGridEdgeTop)
        rect.setTop(rect.bottom() - height);
    else
        rect.setHeight(height);
    return rect;
}

void VXQScaleBarElement::drawRect(const QRectF& rect) const
{
    if (!m_enabled)
        return;
    m_bar->drawInRect(rect);
    m_scale->drawInRectAtEdge(rect, m_edge);
}

std::shared_ptr<ZQObject> VXQScaleBarElement::copy() const
{
    auto made = std::make_shared<VXQScaleBarElement>();
    made->m_bar = std::static_pointer_cast<VXQGridBorder>(m_bar->copy());
    made->m_scale = std::static_pointer_cast<VXQGridAnnotation>(m_scale->copy());
    made->m_edge = m_edge;
    made->m_enabled = m_enabled;
    return made;
}

void VXQScaleBarElement::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeConditionalObject(qobject_cast<const ZQObject*>(m_owner.data()), kOwnerKey);
    coder.encodeObject(m_bar.get(), kBarKey);
    coder.encodeObject(m_scale.get(), kScaleKey);
    coder.encodeInt(m_edge, kEdgeKey);
    coder.encodeBool(m_enabled, kEnabledKey);
}

void VXQScaleBarElement::initWithCoder(platform::KeyedUnarchiver& coder)
{
    // The owner is not read back: the scale bar decoding this element sets itself.
    const platform::ArchiveReader reader(coder);
    if (auto bar = reader.object<VXQGridBorder>(kBarKey))
        m_bar = bar;
    if (auto scale = reader.object<VXQGridAnnotation>(kScaleKey)) {
        m_scale = scale;
        if (const auto formatter = m_scale->formatter()) {
            auto mended = std::make_shared<platform::NumberFormatter>(*formatter);
            mended->setMaximumFractionDigits(kMostFractionDigits);
            mended->setMultiplier(1.0);
            // Bars saved before they rounded half to even.
            mended->setRoundingMode(platform::NumberFormatter::Rounding::HalfEven);
            m_scale->setFormatter(mended);
        } else {
            m_scale->setFormatter(distanceFormatter());
        }
    }
    const qint64 edge = reader.integer(kEdgeKey, kVXQGridEdgeTop, INT_MIN, INT_MAX);
    setEdge(edge == kVXQGridEdgeBottom ? kVXQGridEdgeBottom : kVXQGridEdgeTop);
    m_enabled = reader.boolean(kEnabledKey, true);
}
