#include "widgets/badge/CTBadge.h"

#include "platform/foundation/NamedException.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/vantrix/render/ImageEffects.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <cmath>

namespace {

constexpr double kOverlaySize = 128.0;
constexpr qsizetype kLongestLabel = 5;

QString maskNameForLength(qsizetype length)
{
    if (length <= 2)
        return QStringLiteral("CTBadge_1");
    return QStringLiteral("CTBadge_%1").arg(std::min(length, kLongestLabel));
}

// Long labels are cut to 3 characters, an ellipsis and a zero-width space.
QString labelText(const QString& string)
{
    return string.size() > kLongestLabel ? string.left(3) + QChar(0x2026) + QChar(0x200B) : string;
}

// An image of `size` points at `ratio`, transparent; empty when too large.
QImage transparentImage(const QSizeF& size, double ratio)
{
    const QSize pixels = KitImage::pixelSizeFor(size, ratio);
    if (pixels.isEmpty())
        return {};
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(ratio);
    return image;
}

// `content` over its own shadow: black at `opacity`, `offset` points below, blurred by `blur` points.
QImage withDropShadow(const QImage& content, double offset, double blur, double opacity)
{
    const double ratio = content.devicePixelRatio();
    QImage shadow = content;
    {
        QPainter painter(&shadow);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(QRectF(QPointF(), content.deviceIndependentSize()), QColor::fromRgbF(0, 0, 0, opacity));
    }
    platform::gaussianBlur(shadow, blur * ratio);
    shadow.setDevicePixelRatio(ratio);
    QImage result(content.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    result.setDevicePixelRatio(ratio);
    QPainter painter(&result);
    painter.drawImage(QPointF(0, offset), shadow);
    painter.drawImage(QPointF(0, 0), content);
    return result;
}

} // namespace

CTBadge::CTBadge()
    : m_devicePixelRatio(qGuiApp ? qGuiApp->devicePixelRatio() : 1.0)
{
}

std::shared_ptr<CTBadge> CTBadge::systemBadge() { return std::make_shared<CTBadge>(); }

std::shared_ptr<CTBadge> CTBadge::badgeWithColorLabelColor(const QColor& badgeColor, const QColor& labelColor)
{
    auto badge = std::make_shared<CTBadge>();
    badge->setBadgeColor(badgeColor);
    badge->setLabelColor(labelColor);
    return badge;
}

void CTBadge::setBadgeColor(const QColor& colour)
{
    announceChangeForKey(QStringLiteral("badgeColor"), [&] { m_badgeColor = colour; });
}

void CTBadge::setLabelColor(const QColor& colour)
{
    announceChangeForKey(QStringLiteral("labelColor"), [&] { m_labelColor = colour; });
}

void CTBadge::setDevicePixelRatio(double ratio)
{
    m_devicePixelRatio = ratio > 0 && std::isfinite(ratio) ? ratio : 1.0;
}

QImage CTBadge::smallBadgeForValue(quint64 value) const { return badgeOfSizeForValue(kSmallBadgeSize, value); }
QImage CTBadge::smallBadgeForString(const QString& string) const { return badgeOfSizeForString(kSmallBadgeSize, string); }
QImage CTBadge::largeBadgeForValue(quint64 value) const { return badgeOfSizeForValue(kLargeBadgeSize, value); }
QImage CTBadge::largeBadgeForString(const QString& string) const { return badgeOfSizeForString(kLargeBadgeSize, string); }

QImage CTBadge::badgeOfSizeForValue(double size, quint64 value) const
{
    return badgeOfSizeForString(size, stringForValue(value));
}

QString CTBadge::stringForValue(quint64 value)
{
    return value <= kLargestShownValue ? QString::number(value) : QStringLiteral("∞");
}

platform::AttributedString CTBadge::labelForStringSize(const QString& string, unsigned fontSize) const
{
    const std::optional<QFont> named = fontSize > 11 ? platform::fontWithNameSize(QStringLiteral("Helvetica-Bold"), fontSize)
                                                     : std::nullopt;
    const QFont font = named.value_or(platform::boldSystemFontOfSize(fontSize));
    return platform::AttributedString(labelText(string), {{platform::kFontAttributeName, font},
                                             {platform::kForegroundColourAttributeName, m_labelColor}});
}

platform::Gradient CTBadge::badgeGradient() const
{
    return platform::Gradient(
        {{0.0, m_badgeColor}, {1.0 / 3.0, m_badgeColor}, {1.0, platform::shadowWithLevel(m_badgeColor, 1.0 / 3.0)}});
}

CTBadge::Mask CTBadge::badgeMaskOfSizeLength(double size, qsizetype length)
{
    Mask mask{imageNamed(maskNameForLength(length)), {}};
    const QSizeF natural = mask.artwork.size();
    if (!(size > 0) || natural.isEmpty() || size == natural.height()) {
        mask.size = natural;
        return mask;
    }
    mask.size = QSizeF(std::round(natural.width() * size / natural.height()), size);
    return mask;
}

QImage CTBadge::badgeOfSizeForString(double size, const QString& string) const
{
    if (!(size > 0))
        throw platform::NamedException(QStringLiteral("NSInvalidArgumentException"),
                                       QString::asprintf("%s %s: size (%f) must be positive", metaObject()->className(),
                                                         "badgeOfSizeForString", size));
    const bool small = size <= kSmallBadgeSize;
    const float k = float(size / (small ? kSmallBadgeSize : kLargeBadgeSize));
    const double a = small ? std::floor(k) : std::ceil(k);
    const double b = small ? std::ceil(k) : std::ceil(2 * k);
    const double shadowOpacity = small ? 0.6 : 0.8;

    const qsizetype labelLength = labelText(string).size();
    const Mask mask = badgeMaskOfSizeLength(size, labelLength);
    const double mw = mask.size.width();
    const double mh = mask.size.height();
    QImage content = transparentImage(QSizeF(mw + 2 * b, mh + 2 * b - a + (small ? 1 : 0)), m_devicePixelRatio);
    if (content.isNull())
        return {};
    const double height = content.deviceIndependentSize().height();
    // The layout below is y-up from the image's lower left, as the badge is defined; `top`
    // turns a y-up rectangle's bottom and height into the y-down top edge.
    const auto top = [height](double bottom, double h) { return height - bottom - h; };

    const auto fontSize = unsigned(k * (small ? 11.0f : 24.0f));
    const platform::AttributedString label = labelForStringSize(string, fontSize);
    const platform::AttributedStringLayout layout(label, 0);
    const QSizeF labelSize = layout.size();
    const double angle = labelLength < 4 ? -45.0 : -30.0;
    {
        QPainter painter(&content);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
        const QRectF body(b, top(a + b, std::floor(mh)), std::floor(mw), std::floor(mh));
        badgeGradient().drawInRect(painter, body, -angle); // the angle is y-up
        painter.setCompositionMode(QPainter::CompositionMode_DestinationAtop);
        mask.artwork.drawInRect(painter, QRectF(b, top(a + b, mh), mw, mh));
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        const double labelBottom = a + b + std::floor(float((mh - labelSize.height()) / 2));
        layout.drawAtPoint(&painter, QPointF(b + std::floor(float((mw - labelSize.width()) / 2)),
                                             top(labelBottom, labelSize.height())));
    }
    return withDropShadow(content, a, b, shadowOpacity);
}

QImage CTBadge::badgeOverlayImageForStringInsetXY(const QString& string, double insetX, double insetY) const
{
    QImage overlay = transparentImage(QSizeF(kOverlaySize, kOverlaySize), m_devicePixelRatio);
    const QImage badge = largeBadgeForString(string);
    if (overlay.isNull() || badge.isNull())
        return overlay;
    QPainter painter(&overlay);
    // Upper right corner: y-up (128 - insetX - w, 128 - insetY - h) is y-down (128 - insetX - w, insetY).
    painter.drawImage(QPointF(kOverlaySize - insetX - badge.deviceIndependentSize().width(), insetY), badge);
    return overlay;
}

QImage CTBadge::badgeOverlayImageForValueInsetXY(quint64 value, double insetX, double insetY) const
{
    return badgeOverlayImageForStringInsetXY(stringForValue(value), insetX, insetY);
}

void CTBadge::badgeApplicationDockIconWithStringInsetXY(const QString& string, double insetX, double insetY) const
{
    QImage icon = badgeOverlayImageForStringInsetXY(string, insetX, insetY);
    if (icon.isNull())
        return;
    {
        QPainter painter(&icon);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
        const KitImage application = imageNamed(QStringLiteral("NSApplicationIcon"));
        application.drawInRect(painter, QRectF(QPointF(), application.size()));
    }
    QGuiApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon)));
}

void CTBadge::badgeApplicationDockIconWithValueInsetXY(quint64 value, double insetX, double insetY) const
{
    badgeApplicationDockIconWithStringInsetXY(stringForValue(value), insetX, insetY);
}
