#include "platform/foundation/ArchiveValueCoding.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"

#include <QBuffer>
#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QImageReader>
#include <QPainterPath>
#include <QTransform>
#include <QtEndian>
#include <array>
#include <bit>
#include <cmath>

namespace platform::archive {
namespace {

// --- Geometry strings -------------------------------------------------------------------

QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString pairString(double a, double b)
{
    return u'{' + number(a) + u", " + number(b) + u'}';
}

class GeometryScanner {
public:
    explicit GeometryScanner(QStringView text) : m_text(text) {}

    bool expect(QChar c)
    {
        skipSpaces();
        if (m_at >= m_text.size() || m_text[m_at] != c)
            return false;
        ++m_at;
        return true;
    }

    std::optional<std::pair<double, double>> pair()
    {
        std::optional<double> a, b;
        if (expect(u'{') && (a = number()) && expect(u',') && (b = number()) && expect(u'}'))
            return std::pair(*a, *b);
        return std::nullopt;
    }

    bool atEnd()
    {
        skipSpaces();
        return m_at == m_text.size();
    }

private:
    void skipSpaces()
    {
        while (m_at < m_text.size() && m_text[m_at].isSpace())
            ++m_at;
    }

    std::optional<double> number()
    {
        skipSpaces();
        const qsizetype start = m_at;
        while (m_at < m_text.size() && m_text[m_at] != u',' && m_text[m_at] != u'}' && !m_text[m_at].isSpace())
            ++m_at;
        bool ok = false;
        const double value = m_text.sliced(start, m_at - start).toDouble(&ok);
        return ok ? std::optional(value) : std::nullopt;
    }

    QStringView m_text;
    qsizetype m_at = 0;
};

// --- Value classes ----------------------------------------------------------------------

double unitInterval(double value)
{
    return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0;
}

void encodeColor(KeyedArchiver& coder, const QVariant& value)
{
    const QColor color = value.value<QColor>();
    coder.encodeInt(color.spec(), QStringLiteral("spec"));
    if (!color.isValid())
        return;
    const QColor rgb = color.spec() == QColor::ExtendedRgb ? color : color.toRgb();
    coder.encodeDouble(rgb.redF(), QStringLiteral("red"));
    coder.encodeDouble(rgb.greenF(), QStringLiteral("green"));
    coder.encodeDouble(rgb.blueF(), QStringLiteral("blue"));
    coder.encodeDouble(rgb.alphaF(), QStringLiteral("alpha"));
}

QVariant decodeColor(KeyedUnarchiver& coder, ImageBudget&)
{
    const qint64 spec = coder.decodeInt(QStringLiteral("spec"));
    if (spec <= QColor::Invalid || spec > QColor::ExtendedRgb)
        return QColor();
    // Only extended colours may leave the unit interval; other components are clamped.
    const auto component = [&](const QString& key) {
        const double c = coder.decodeDouble(key);
        return float(spec == QColor::ExtendedRgb && std::isfinite(c) ? c : unitInterval(c));
    };
    const float alpha = float(unitInterval(coder.decodeDouble(QStringLiteral("alpha"))));
    QColor color = QColor::fromRgbF(component(QStringLiteral("red")), component(QStringLiteral("green")),
                                    component(QStringLiteral("blue")), alpha);
    return color.convertTo(QColor::Spec(spec));
}

void encodeFont(KeyedArchiver& coder, const QVariant& value)
{
    coder.encodeString(value.value<QFont>().toString(), QStringLiteral("description"));
}

QVariant decodeFont(KeyedUnarchiver& coder, ImageBudget&)
{
    QFont font;
    if (!font.fromString(coder.decodeString(QStringLiteral("description"))))
        LogEvent(kFileEvent, QStringLiteral("keyed archive: unreadable font description"));
    return font;
}

const std::array<QString, 9>& transformKeys()
{
    static const std::array<QString, 9> keys{
        QStringLiteral("m11"), QStringLiteral("m12"), QStringLiteral("m13"), QStringLiteral("m21"), QStringLiteral("m22"),
        QStringLiteral("m23"), QStringLiteral("m31"), QStringLiteral("m32"), QStringLiteral("m33")};
    return keys;
}

void encodeTransform(KeyedArchiver& coder, const QVariant& value)
{
    const QTransform t = value.value<QTransform>();
    const double m[9] = {t.m11(), t.m12(), t.m13(), t.m21(), t.m22(), t.m23(), t.m31(), t.m32(), t.m33()};
    for (int i = 0; i < 9; ++i)
        coder.encodeDouble(m[i], transformKeys()[i]);
}

QVariant decodeTransform(KeyedUnarchiver& coder, ImageBudget&)
{
    double m[9];
    for (int i = 0; i < 9; ++i)
        m[i] = coder.decodeDouble(transformKeys()[i]);
    return QTransform(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8]);
}

// A path is its element types (one byte each) and their coordinates (two little-endian
// doubles each), so large paths stay two data blobs instead of thousands of entries.
void encodePath(KeyedArchiver& coder, const QVariant& value)
{
    const QPainterPath path = value.value<QPainterPath>();
    QByteArray types(path.elementCount(), Qt::Uninitialized);
    QByteArray coordinates(path.elementCount() * 2 * qsizetype(sizeof(double)), Qt::Uninitialized);
    auto* out = reinterpret_cast<uchar*>(coordinates.data());
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        types[i] = char(e.type);
        qToLittleEndian(std::bit_cast<quint64>(e.x), out + 16 * i);
        qToLittleEndian(std::bit_cast<quint64>(e.y), out + 16 * i + 8);
    }
    coder.encodeInt(path.fillRule(), QStringLiteral("fillRule"));
    coder.encodeData(types, QStringLiteral("elementTypes"));
    coder.encodeData(coordinates, QStringLiteral("coordinates"));
}

std::optional<QPainterPath> pathFromElements(const QByteArray& types, const QByteArray& coordinates)
{
    if (coordinates.size() != types.size() * 16)
        return std::nullopt;
    const auto* in = reinterpret_cast<const uchar*>(coordinates.constData());
    const auto point = [&](qsizetype i) -> std::optional<QPointF> {
        const QPointF p(std::bit_cast<double>(qFromLittleEndian<quint64>(in + 16 * i)),
                        std::bit_cast<double>(qFromLittleEndian<quint64>(in + 16 * i + 8)));
        return std::isfinite(p.x()) && std::isfinite(p.y()) ? std::optional(p) : std::nullopt;
    };
    // A path begun at its first point holds exactly what it reserves; an empty path's first
    // element sets aside room for sixteen, and a map of short lines pays that a million times.
    const bool startsWithMove = !types.isEmpty() && types[0] == QPainterPath::MoveToElement;
    const auto start = startsWithMove ? point(0) : std::optional<QPointF>();
    if (startsWithMove && !start)
        return std::nullopt;
    QPainterPath path = start ? QPainterPath(*start) : QPainterPath();
    if (!types.isEmpty())
        path.reserve(int(types.size()));
    for (qsizetype i = start ? 1 : 0; i < types.size(); ++i) {
        const auto p = point(i);
        if (!p)
            return std::nullopt;
        switch (types[i]) {
        case QPainterPath::MoveToElement: path.moveTo(*p); break;
        case QPainterPath::LineToElement: path.lineTo(*p); break;
        case QPainterPath::CurveToElement: {
            if (i + 2 >= types.size() || types[i + 1] != QPainterPath::CurveToDataElement
                || types[i + 2] != QPainterPath::CurveToDataElement)
                return std::nullopt;
            const auto c2 = point(i + 1), end = point(i + 2);
            if (!c2 || !end)
                return std::nullopt;
            path.cubicTo(*p, *c2, *end);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return path;
}

QVariant decodePath(KeyedUnarchiver& coder, ImageBudget&)
{
    auto path = pathFromElements(coder.decodeData(QStringLiteral("elementTypes")),
                                 coder.decodeData(QStringLiteral("coordinates")));
    if (!path) {
        LogEvent(kFileEvent, QStringLiteral("keyed archive: malformed path elements"));
        return QVariant::fromValue(QPainterPath());
    }
    path->setFillRule(coder.decodeInt(QStringLiteral("fillRule")) == Qt::WindingFill ? Qt::WindingFill : Qt::OddEvenFill);
    return QVariant::fromValue(*path);
}

void encodeImage(KeyedArchiver& coder, const QVariant& value)
{
    const QImage image = value.value<QImage>();
    QByteArray png;
    if (!image.isNull()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    coder.encodeData(png, QStringLiteral("png"));
}

QVariant decodeImage(KeyedUnarchiver& coder, ImageBudget& images)
{
    QByteArray png = coder.decodeData(QStringLiteral("png"));
    if (png.isEmpty())
        return QImage();
    QBuffer buffer(&png);
    QImageReader reader(&buffer, "PNG");
    const QSize size = reader.size();
    const qint64 bytes = qint64(size.width()) * size.height() * 4;
    if (size.isEmpty() || bytes > images.remainingBytes) {
        LogEvent(kFileEvent, QStringLiteral("keyed archive: image refused (%1 x %2)").arg(size.width()).arg(size.height()));
        return QImage();
    }
    images.remainingBytes -= bytes;
    const QImage image = reader.read();
    if (image.isNull())
        LogEvent(kFileEvent, QStringLiteral("keyed archive: unreadable image: %1").arg(reader.errorString()));
    return image;
}

void encodeGeometry(KeyedArchiver& coder, const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::QPoint:
    case QMetaType::QPointF: coder.encodePoint(value.toPointF(), QStringLiteral("point")); break;
    case QMetaType::QSize:
    case QMetaType::QSizeF: coder.encodeSize(value.toSizeF(), QStringLiteral("size")); break;
    default: coder.encodeRect(value.toRectF(), QStringLiteral("rect")); break;
    }
}

QVariant decodeGeometry(KeyedUnarchiver& coder, ImageBudget&)
{
    if (coder.containsValueForKey(QStringLiteral("point")))
        return coder.decodePoint(QStringLiteral("point"));
    if (coder.containsValueForKey(QStringLiteral("size")))
        return coder.decodeSize(QStringLiteral("size"));
    return coder.decodeRect(QStringLiteral("rect"));
}

void encodeDate(KeyedArchiver& coder, const QVariant& value)
{
    const QDateTime date = value.toDateTime();
    coder.encodeBool(date.isValid(), QStringLiteral("valid"));
    coder.encodeInt(date.toMSecsSinceEpoch(), QStringLiteral("msecsSinceEpoch"));
}

QVariant decodeDate(KeyedUnarchiver& coder, ImageBudget&)
{
    if (!coder.decodeBool(QStringLiteral("valid")))
        return QDateTime();
    return QDateTime::fromMSecsSinceEpoch(coder.decodeInt(QStringLiteral("msecsSinceEpoch")), Qt::UTC);
}

struct ValueClass {
    const char* name;
    void (*encode)(KeyedArchiver&, const QVariant&);
    QVariant (*decode)(KeyedUnarchiver&, ImageBudget&);
};

constexpr ValueClass kColor{"ZQColor", encodeColor, decodeColor};
constexpr ValueClass kFont{"ZQFont", encodeFont, decodeFont};
constexpr ValueClass kTransform{"ZQTransform", encodeTransform, decodeTransform};
constexpr ValueClass kPath{"ZQPath", encodePath, decodePath};
constexpr ValueClass kImage{"ZQImage", encodeImage, decodeImage};
constexpr ValueClass kGeometry{"ZQValue", encodeGeometry, decodeGeometry};
constexpr ValueClass kDate{"ZQDate", encodeDate, decodeDate};
constexpr const ValueClass* kValueClasses[] = {&kColor, &kFont, &kTransform, &kPath, &kImage, &kGeometry, &kDate};

const ValueClass* classForType(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::QColor: return &kColor;
    case QMetaType::QFont: return &kFont;
    case QMetaType::QTransform: return &kTransform;
    case QMetaType::QImage: return &kImage;
    case QMetaType::QDateTime: return &kDate;
    case QMetaType::QPoint:
    case QMetaType::QPointF:
    case QMetaType::QSize:
    case QMetaType::QSizeF:
    case QMetaType::QRect:
    case QMetaType::QRectF: return &kGeometry;
    default: return type == QMetaType::fromType<QPainterPath>() ? &kPath : nullptr;
    }
}

} // namespace

QString pointString(QPointF point)
{
    return pairString(point.x(), point.y());
}

QString sizeString(QSizeF size)
{
    return pairString(size.width(), size.height());
}

QString rectString(const QRectF& rect)
{
    return u'{' + pointString(rect.topLeft()) + u", " + sizeString(rect.size()) + u'}';
}

std::optional<QPointF> parsePoint(QStringView text)
{
    GeometryScanner scanner(text);
    const auto xy = scanner.pair();
    return xy && scanner.atEnd() ? std::optional(QPointF(xy->first, xy->second)) : std::nullopt;
}

std::optional<QSizeF> parseSize(QStringView text)
{
    const auto point = parsePoint(text);
    return point ? std::optional(QSizeF(point->x(), point->y())) : std::nullopt;
}

std::optional<QRectF> parseRect(QStringView text)
{
    GeometryScanner scanner(text);
    if (!scanner.expect(u'{'))
        return std::nullopt;
    const auto origin = scanner.pair();
    if (!origin || !scanner.expect(u','))
        return std::nullopt;
    const auto size = scanner.pair();
    if (!size || !scanner.expect(u'}') || !scanner.atEnd())
        return std::nullopt;
    return QRectF(origin->first, origin->second, size->first, size->second);
}

const char* valueClassName(QMetaType type)
{
    const ValueClass* valueClass = classForType(type);
    return valueClass ? valueClass->name : nullptr;
}

bool isValueClassName(QStringView className)
{
    return std::any_of(std::begin(kValueClasses), std::end(kValueClasses),
                       [&](const ValueClass* valueClass) { return className == QLatin1StringView(valueClass->name); });
}

void encodeValueFields(KeyedArchiver& coder, const QVariant& value)
{
    if (const ValueClass* valueClass = classForType(value.metaType()))
        valueClass->encode(coder, value);
}

std::optional<QVariant> decodeValueFields(KeyedUnarchiver& coder, QStringView className, ImageBudget& images)
{
    for (const ValueClass* valueClass : kValueClasses) {
        if (className == QLatin1StringView(valueClass->name))
            return valueClass->decode(coder, images);
    }
    return std::nullopt;
}

} // namespace platform::archive
