#include "symbols/labels/VXQLabelLeaderLine.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/vantrix/model/ArchiveReader.h"

#include <cmath>

namespace {

const QString kStyleKey = QStringLiteral("VXQLeaderLine_style");
const QString kPathKey = QStringLiteral("VXQLeaderLine_path");

bool isFinite(QPointF point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

} // namespace

VXQLabelLeaderLine::VXQLabelLeaderLine() : m_style(defaultStyle()) {}

VXQLabelLeaderLine::~VXQLabelLeaderLine() = default;

VXStylePtr VXQLabelLeaderLine::defaultStyle()
{
    return VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), Qt::black, 0.5);
}

void VXQLabelLeaderLine::setStartEnd(QPointF start, QPointF end)
{
    m_path = platform::BezierPath();
    if (!isFinite(start) || !isFinite(end))
        return;
    m_path.moveToPoint(start);
    m_path.lineToPoint(end);
}

void VXQLabelLeaderLine::setStyle(const VXStylePtr& style)
{
    m_style = style ? std::static_pointer_cast<VXStyle>(style->copy()) : nullptr;
}

void VXQLabelLeaderLine::draw() const
{
    if (m_style && !m_path.isEmpty())
        m_style->render(*this);
}

QRectF VXQLabelLeaderLine::bounds() const
{
    if (!m_style || m_path.isEmpty())
        return {};
    const QSizeF reach = m_style->extraSpaceNeeded();
    return m_path.controlPointBounds().adjusted(-reach.width(), -reach.height(), reach.width(), reach.height());
}

std::shared_ptr<ZQObject> VXQLabelLeaderLine::copy() const
{
    auto made = std::make_shared<VXQLabelLeaderLine>();
    made->setStyle(m_style);
    return made;
}

void VXQLabelLeaderLine::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeObject(m_style.get(), kStyleKey);
    coder.encodePath(m_path.painterPathWithWindingRule(), kPathKey);
}

void VXQLabelLeaderLine::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    if (const VXStylePtr style = reader.object<VXStyle>(kStyleKey))
        setStyle(style);
    // A path that is no more than a lone move is no line.
    const platform::BezierPath path = reader.path(kPathKey);
    m_path = path.elementCount() > 1 ? path : platform::BezierPath();
}
