#include "platform/vantrix/styles/VXGradient.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"

namespace {

const QString kStopsKey = QStringLiteral("VXGradient_stops");
const QString kColourKey = QStringLiteral("colour");
const QString kPositionKey = QStringLiteral("position");

QList<VXGradient::ColourStop> sortedStops(QList<VXGradient::ColourStop> stops)
{
    for (VXGradient::ColourStop& stop : stops)
        stop.position = std::isfinite(stop.position) ? std::clamp(stop.position, 0.0, 1.0) : 0.0;
    std::stable_sort(stops.begin(), stops.end(),
                     [](const auto& a, const auto& b) { return a.position < b.position; });
    return stops.mid(0, VXGradient::kMaximumStops);
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    const auto channel = [t](double x, double y) { return x + (y - x) * t; };
    return QColor::fromRgbF(float(channel(a.redF(), b.redF())), float(channel(a.greenF(), b.greenF())),
                            float(channel(a.blueF(), b.blueF())), float(channel(a.alphaF(), b.alphaF())));
}

VXGradientPtr greyGradient(double top, double bottom)
{
    return VXGradient::gradientWithStartingColourEndingColour(QColor::fromRgbF(top, top, top),
                                                              QColor::fromRgbF(bottom, bottom, bottom));
}

} // namespace

VXGradient::VXGradient()
    : m_stops{{Qt::black, 0.0}, {Qt::white, 1.0}}
{
}

VXGradientPtr VXGradient::gradientWithStartingColourEndingColour(const QColor& start, const QColor& end)
{
    return gradientWithColourStops({{start, 0.0}, {end, 1.0}});
}

VXGradientPtr VXGradient::gradientWithColourStops(const QList<ColourStop>& stops)
{
    auto gradient = std::make_shared<VXGradient>();
    gradient->setColourStops(stops);
    return gradient;
}

VXGradientPtr VXGradient::unifiedNormalGradient()
{
    return greyGradient(0.91, 0.76);
}

VXGradientPtr VXGradient::unifiedDarkGradient()
{
    return greyGradient(0.74, 0.58);
}

VXGradientPtr VXGradient::sourceListSelectedGradient()
{
    return gradientWithStartingColourEndingColour(QColor(0x6C, 0xA0, 0xDC), QColor(0x2D, 0x6B, 0xC1));
}

void VXGradient::setColourStops(const QList<ColourStop>& stops)
{
    const QList<ColourStop> sorted = sortedStops(stops);
    if (sorted == m_stops)
        return;
    announceChangeForKey(QStringLiteral("colourStops"), [&] { m_stops = sorted; });
}

QColor VXGradient::colourAtStopIndex(int index) const
{
    return index >= 0 && index < numberOfColours() ? m_stops[index].colour : QColor();
}

double VXGradient::positionAtStopIndex(int index) const
{
    return index >= 0 && index < numberOfColours() ? m_stops[index].position : 0.0;
}

QColor VXGradient::interpolatedColourAtPosition(double position) const
{
    if (m_stops.isEmpty())
        return {};
    if (position <= m_stops.first().position)
        return m_stops.first().colour;
    for (qsizetype i = 1; i < m_stops.size(); ++i) {
        const ColourStop& before = m_stops[i - 1];
        const ColourStop& after = m_stops[i];
        if (position <= after.position) {
            const double span = after.position - before.position;
            return span > 0 ? mix(before.colour, after.colour, (position - before.position) / span) : after.colour;
        }
    }
    return m_stops.last().colour;
}

bool VXGradient::hasTransparency() const
{
    return std::any_of(m_stops.begin(), m_stops.end(), [](const ColourStop& s) { return s.colour.alphaF() < 1.0; });
}

QGradientStops VXGradient::gradientStops() const
{
    QGradientStops stops;
    for (const ColourStop& stop : m_stops)
        stops.append({stop.position, stop.colour});
    return stops;
}

bool VXGradient::isEqualToValue(const VXValueObject& other) const
{
    const auto* gradient = qobject_cast<const VXGradient*>(&other);
    return gradient && gradient->m_stops == m_stops;
}

std::shared_ptr<ZQObject> VXGradient::copy() const
{
    return gradientWithColourStops(m_stops);
}

void VXGradient::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    QVariantList stops;
    for (const ColourStop& stop : m_stops)
        stops.append(QVariantMap{{kColourKey, stop.colour}, {kPositionKey, stop.position}});
    coder.encodeObject(QVariant(stops), kStopsKey);
}

void VXGradient::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const QVariant value = coder.decodeValue(kStopsKey);
    if (value.metaType() != QMetaType::fromType<QVariantList>()) {
        ZQLogObjCMethod(QStringLiteral("the archived gradient has no stops; black to white"));
        return;
    }
    QList<ColourStop> stops;
    for (const QVariant& entry : value.toList()) {
        const QVariantMap map = entry.toMap();
        const QVariant colour = map.value(kColourKey);
        const QVariant position = map.value(kPositionKey);
        const bool numeric = position.metaType() == QMetaType::fromType<double>()
            || position.metaType() == QMetaType::fromType<qint64>();
        if (colour.metaType() == QMetaType::fromType<QColor>() && numeric)
            stops.append({colour.value<QColor>(), position.toDouble()});
        else
            ZQLogObjCMethod(QStringLiteral("skipped a damaged colour stop"));
    }
    if (!stops.isEmpty())
        setColourStops(stops);
}
