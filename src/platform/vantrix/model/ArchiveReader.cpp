#include "platform/vantrix/model/ArchiveReader.h"

#include "platform/foundation/ArchiveValueCoding.h"

#include <cmath>

namespace platform {

namespace {

bool isNumber(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool: return true;
    default: return false;
    }
}

template <class T, class Parse>
T geometry(const QVariant& value, T fallback, Parse parse)
{
    if (value.metaType() == QMetaType::fromType<T>())
        return value.value<T>();
    if (value.metaType() != QMetaType::fromType<QString>())
        return fallback;
    const auto parsed = parse(value.toString());
    return parsed ? *parsed : fallback;
}

} // namespace

QVariant ArchiveReader::value(const QString& key) const
{
    // An absent key decodes as an invalid value.
    return m_coder.decodeValue(key);
}

bool ArchiveReader::boolean(const QString& key, bool fallback) const
{
    const QVariant v = value(key);
    // Booleans are most fields read: spared the conversion through double.
    if (v.metaType().id() == QMetaType::Bool)
        return *static_cast<const bool*>(v.constData());
    return isNumber(v) ? v.toDouble() != 0 : fallback;
}

qint64 ArchiveReader::integer(const QString& key, qint64 fallback, qint64 minimum, qint64 maximum) const
{
    const QVariant v = value(key);
    if (!isNumber(v))
        return fallback;
    const double number = v.toDouble();
    if (!std::isfinite(number) || number < double(minimum) || number > double(maximum))
        return fallback;
    return v.metaType().id() == QMetaType::Double ? qint64(number) : v.toLongLong();
}

double ArchiveReader::real(const QString& key, double fallback) const
{
    const QVariant v = value(key);
    if (!isNumber(v))
        return fallback;
    const double number = v.toDouble();
    return std::isfinite(number) ? number : fallback;
}

double ArchiveReader::real(const QString& key, double fallback, double minimum, double maximum) const
{
    return std::clamp(real(key, fallback), minimum, maximum);
}

QString ArchiveReader::string(const QString& key, const QString& fallback) const
{
    const QVariant v = value(key);
    return v.metaType() == QMetaType::fromType<QString>() ? v.toString() : fallback;
}

QByteArray ArchiveReader::data(const QString& key) const
{
    const QVariant v = value(key);
    return v.metaType() == QMetaType::fromType<QByteArray>() ? v.toByteArray() : QByteArray();
}

QPointF ArchiveReader::point(const QString& key, QPointF fallback) const
{
    const QPointF p = geometry(value(key), fallback, archive::parsePoint);
    return std::isfinite(p.x()) && std::isfinite(p.y()) ? p : fallback;
}

QSizeF ArchiveReader::size(const QString& key, QSizeF fallback) const
{
    const QSizeF s = geometry(value(key), fallback, archive::parseSize);
    return std::isfinite(s.width()) && std::isfinite(s.height()) ? s : fallback;
}

QRectF ArchiveReader::rect(const QString& key, const QRectF& fallback) const
{
    const QRectF r = geometry(value(key), fallback, archive::parseRect);
    const bool finite = std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width())
                        && std::isfinite(r.height());
    return finite ? r : fallback;
}

QColor ArchiveReader::colour(const QString& key, const QColor& fallback) const
{
    const QVariant v = value(key);
    return v.metaType() == QMetaType::fromType<QColor>() && v.value<QColor>().isValid() ? v.value<QColor>() : fallback;
}

QVariantMap ArchiveReader::dictionary(const QString& key) const
{
    const QVariant v = value(key);
    return v.metaType() == QMetaType::fromType<QVariantMap>() ? v.toMap() : QVariantMap();
}

platform::BezierPath ArchiveReader::path(const QString& key) const
{
    // Decoding refuses paths with points that are not finite, so damage cannot reach the painter.
    QPainterPath source = m_coder.decodePath(key);
    const WindingRule rule = source.fillRule() == Qt::OddEvenFill ? WindingRule::EvenOdd : WindingRule::NonZero;
    source.setFillRule(Qt::OddEvenFill); // the rule is the BezierPath's own state
    platform::BezierPath path(source);
    path.setWindingRule(rule);
    return path;
}

} // namespace platform
