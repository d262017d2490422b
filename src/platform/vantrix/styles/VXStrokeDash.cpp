#include "platform/vantrix/styles/VXStrokeDash.h"

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QStandardPaths>
#include <numeric>

namespace {

const QString kNameKey = QStringLiteral("name");
const QString kPatternKey = QStringLiteral("pattern");
const QString kPhaseKey = QStringLiteral("phase");
const QString kScalesKey = QStringLiteral("scalesToLineWidth");
// A saved list longer than this is damaged; the rest is ignored.
constexpr qsizetype kMaximumRegisteredDashes = 1000;

double sanitizedLength(double length)
{
    return std::isfinite(length) && length > 0 ? length : 0.0;
}

struct RegisteredDash {
    QString name;
    VXStrokeDashPtr dash;
};

struct DashRegistry {
    bool loaded = false;
    QList<RegisteredDash> dashes;
};

DashRegistry& dashRegistry()
{
    static DashRegistry registry;
    return registry;
}

QList<RegisteredDash> builtInDashes()
{
    const auto make = [](const QString& name, const QList<double>& pattern) {
        return RegisteredDash{name, VXStrokeDash::dashWithPatternPhase(pattern)};
    };
    return {
        make(QObject::tr("Dashed"), {5, 5}),
        make(QObject::tr("Long Dash"), {10, 4}),
        make(QObject::tr("Short Dash"), {2, 2}),
        make(QObject::tr("Dotted"), {1, 3}),
        make(QObject::tr("Dash Dot"), {8, 3, 1, 3}),
    };
}

std::optional<RegisteredDash> dashFromPropertyList(const QVariant& entry)
{
    if (entry.metaType() != QMetaType::fromType<QVariantMap>())
        return std::nullopt;
    const QVariantMap map = entry.toMap();
    const QVariant pattern = map.value(kPatternKey);
    if (pattern.metaType() != QMetaType::fromType<QVariantList>())
        return std::nullopt;
    QList<double> lengths;
    for (const QVariant& length : pattern.toList()) {
        if (!length.canConvert<double>() || length.metaType() == QMetaType::fromType<QString>())
            return std::nullopt;
        lengths.append(length.toDouble());
    }
    auto dash = VXStrokeDash::dashWithPatternPhase(lengths, map.value(kPhaseKey).toDouble());
    dash->setScalesToLineWidth(map.value(kScalesKey, true).toBool());
    if (!dash->isValid())
        return std::nullopt;
    return RegisteredDash{map.value(kNameKey).toString(), dash};
}

QVariantMap propertyListOfDash(const RegisteredDash& entry)
{
    QVariantList pattern;
    for (double length : entry.dash->dashPattern())
        pattern.append(length);
    return {{kNameKey, entry.name},
            {kPatternKey, pattern},
            {kPhaseKey, entry.dash->phase()},
            {kScalesKey, entry.dash->scalesToLineWidth()}};
}

void loadRegisteredDashes(DashRegistry& registry)
{
    registry.loaded = true;
    registry.dashes = builtInDashes();
    const QString path = VXStrokeDash::registeredDashesFilePath();
    if (!QFileInfo::exists(path))
        return;
    QuorvaneError error;
    const std::optional<QVariant> saved = platform::PropertyList::readFile(path, &error);
    if (!saved || saved->metaType() != QMetaType::fromType<QVariantList>()) {
        ZQLog(QStringLiteral("the saved dashes in %1 cannot be read; using the built-in ones").arg(path));
        return;
    }
    registry.dashes.clear();
    for (const QVariant& entry : saved->toList().mid(0, kMaximumRegisteredDashes)) {
        if (std::optional<RegisteredDash> dash = dashFromPropertyList(entry))
            registry.dashes.append(*dash);
        else
            ZQLog(QStringLiteral("skipped a damaged saved dash in %1").arg(path));
    }
}

bool writeRegisteredDashes(const DashRegistry& registry)
{
    QVariantList list;
    for (const RegisteredDash& entry : registry.dashes)
        list.append(propertyListOfDash(entry));
    const QString path = VXStrokeDash::registeredDashesFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QuorvaneError error;
    if (platform::PropertyList::writeFile(list, path, platform::PropertyList::Format::Xml, &error))
        return true;
    ZQLog(QStringLiteral("the dashes could not be saved to %1: %2").arg(path, error.localizedDescription()));
    return false;
}

DashRegistry& loadedDashRegistry()
{
    DashRegistry& registry = dashRegistry();
    if (!registry.loaded)
        loadRegisteredDashes(registry);
    return registry;
}

} // namespace

VXStrokeDash::VXStrokeDash()
    : m_pattern{5, 5}
{
}

VXStrokeDashPtr VXStrokeDash::dashWithPatternPhase(const QList<double>& pattern, double phase)
{
    auto dash = std::make_shared<VXStrokeDash>();
    dash->setDashPattern(pattern);
    dash->setPhase(phase);
    return dash;
}

void VXStrokeDash::setDashPattern(const QList<double>& pattern)
{
    QList<double> lengths;
    for (double length : pattern.mid(0, kMaximumCount))
        lengths.append(sanitizedLength(length));
    if (lengths == m_pattern)
        return;
    announceChangeForKey(QStringLiteral("dashPattern"), [&] { m_pattern = lengths; });
}

void VXStrokeDash::setPhase(double phase)
{
    if (phase == m_phase || !std::isfinite(phase))
        return;
    announceChangeForKey(QStringLiteral("phase"), [&] { m_phase = phase; });
}

void VXStrokeDash::setScalesToLineWidth(bool scales)
{
    if (scales == m_scalesToLineWidth)
        return;
    announceChangeForKey(QStringLiteral("scalesToLineWidth"), [&] { m_scalesToLineWidth = scales; });
}

void VXStrokeDash::setIsBeingEdited(bool editing)
{
    if (editing == m_isBeingEdited)
        return;
    announceChangeForKey(QStringLiteral("isBeingEdited"), [&] { m_isBeingEdited = editing; });
}

double VXStrokeDash::length() const
{
    return std::accumulate(m_pattern.begin(), m_pattern.end(), 0.0);
}

bool VXStrokeDash::isValid() const
{
    return length() > 0;
}

bool VXStrokeDash::isEqualToDash(const VXStrokeDash* other) const
{
    return other
        && (other == this
            || (other->m_pattern == m_pattern && other->m_phase == m_phase
                && other->m_scalesToLineWidth == m_scalesToLineWidth));
}

void VXStrokeDash::applyToPath(platform::BezierPath& path) const
{
    if (!isValid()) {
        path.setLineDash({});
        return;
    }
    const double unit = m_scalesToLineWidth && path.lineWidth() > 0 ? path.lineWidth() : 1.0;
    platform::LineDash dash;
    for (double length : m_pattern)
        dash.lengths.append(length * unit);
    dash.phase = m_phase * unit;
    path.setLineDash(dash);
}

QImage VXStrokeDash::dashSwatchImageWithSizeStrokeWidth(QSizeF size, double strokeWidth) const
{
    const QSize pixels = size.toSize().expandedTo(QSize(1, 1));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    platform::BezierPath line;
    line.moveToPoint(QPointF(0, pixels.height() / 2.0));
    line.lineToPoint(QPointF(pixels.width(), pixels.height() / 2.0));
    line.setLineWidth(strokeWidth);
    applyToPath(line);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(line.painterPath(), line.penWithColour(Qt::black));
    return image;
}

VXStrokeDashPtr VXStrokeDash::defaultDash()
{
    return std::make_shared<VXStrokeDash>();
}

QList<VXStrokeDashPtr> VXStrokeDash::registeredDashes()
{
    QList<VXStrokeDashPtr> dashes;
    for (const RegisteredDash& entry : loadedDashRegistry().dashes)
        dashes.append(entry.dash);
    return dashes;
}

bool VXStrokeDash::registerDashWithName(const VXStrokeDash& dash, const QString& name)
{
    DashRegistry& registry = loadedDashRegistry();
    if (!dash.isValid()
        || std::any_of(registry.dashes.begin(), registry.dashes.end(),
                       [&](const RegisteredDash& entry) { return entry.dash->isEqualToDash(&dash); }))
        return false;
    auto registered = std::static_pointer_cast<VXStrokeDash>(dash.copy());
    registered->setIsBeingEdited(false);
    registry.dashes.append({name, registered});
    writeRegisteredDashes(registry);
    return true;
}

QString VXStrokeDash::nameOfRegisteredDash(const VXStrokeDash& dash)
{
    for (const RegisteredDash& entry : loadedDashRegistry().dashes)
        if (entry.dash->isEqualToDash(&dash))
            return entry.name;
    return {};
}

void VXStrokeDash::reloadRegisteredDashes()
{
    dashRegistry().loaded = false;
}

bool VXStrokeDash::saveRegisteredDashes()
{
    const DashRegistry& registry = dashRegistry();
    // Nothing loaded means nothing changed since the file was written.
    return !registry.loaded || writeRegisteredDashes(registry);
}

QString VXStrokeDash::registeredDashesFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Saved Dashes.dashes");
}
