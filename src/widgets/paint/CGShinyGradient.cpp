#include "widgets/paint/CGShinyGradient.h"

#include "platform/foundation/ZQAssert.h"

#include <QHash>
#include <QLinearGradient>
#include <QMutex>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr float kCurve = 1.2f;
constexpr float kOffset = 0.3011941909790039f; // e^-1.2
constexpr float kScale = 1.431012717826383f;   // 1 / (1 - offset)
constexpr float kYellowHue = 1.0f / 6.0f;
constexpr float kMagentaHue = 5.0f / 6.0f;
constexpr float kPi = 3.14159265358979f;
constexpr int kSamplesPerHalf = 32;
// The last sample of the upper half, just before the gloss edge.
constexpr float kJustBelowMiddle = 0.5f - 1e-6f;

struct Hsb {
    float hue = 0;
    float saturation = 0;
    float brightness = 0;
};

Hsb hsbOf(float r, float g, float b)
{
    const float maximum = std::max({r, g, b});
    const float minimum = std::min({r, g, b});
    const float range = maximum - minimum;
    Hsb hsb;
    hsb.brightness = maximum;
    hsb.saturation = maximum > 0 ? range / maximum : 0;
    if (range <= 0)
        return hsb;
    float hue = 0;
    if (maximum == r)
        hue = (g - b) / range;
    else if (maximum == g)
        hue = 2 + (b - r) / range;
    else
        hue = 4 + (r - g) / range;
    hue /= 6;
    hsb.hue = hue < 0 ? hue + 1 : hue;
    return hsb;
}

ShinyGradientFunction::Components causticOf(const ShinyGradientFunction::Components& c)
{
    Hsb hsb = hsbOf(c[0], c[1], c[2]);
    float targetHue = kYellowHue;
    const float targetBrightness = 1.0f; // pure yellow and pure magenta alike
    if (hsb.saturation < 0.001f) {
        hsb.hue = targetHue;
        hsb.saturation = 0.1f;
    }
    if (hsb.hue > 0.95f)
        hsb.hue -= 1;
    else if (hsb.hue > 0.7f)
        targetHue = kMagentaHue;
    const float f = 0.3f * (1 + std::cos(1.4f * kPi * (hsb.hue - targetHue)));
    float hue = targetHue * f + hsb.hue * (1 - f);
    hue -= std::floor(hue); // hues are circular; a reddish hue may mix below zero
    const float brightness = std::clamp(targetBrightness * f + hsb.brightness * (1 - f), 0.0f, 1.0f);
    const QColor caustic = QColor::fromHsvF(hue, hsb.saturation, brightness).toRgb();
    return {float(caustic.redF()), float(caustic.greenF()), float(caustic.blueF()), c[3]};
}

QColor toColour(const ShinyGradientFunction::Components& c)
{
    return QColor::fromRgbF(std::clamp(c[0], 0.0f, 1.0f), std::clamp(c[1], 0.0f, 1.0f), std::clamp(c[2], 0.0f, 1.0f),
                            std::clamp(c[3], 0.0f, 1.0f));
}

// Stops per colour: swatch rows and title bars draw the same few colours over and over.
QGradientStops cachedStops(const QColor& colour)
{
    static QMutex mutex;
    static QHash<quint64, QGradientStops> cache;
    constexpr qsizetype kCapacity = 1024;
    const quint64 key = colour.rgba64();
    const QMutexLocker lock(&mutex);
    if (const auto found = cache.constFind(key); found != cache.constEnd())
        return *found;
    if (cache.size() >= kCapacity)
        cache.clear();
    return *cache.insert(key, ShinyGradientFunction(colour).stops());
}

} // namespace

ShinyGradientFunction::ShinyGradientFunction(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    m_colour = {float(rgb.redF()), float(rgb.greenF()), float(rgb.blueF()), float(rgb.alphaF())};
    m_caustic = causticOf(m_colour);
    const float gloss = std::pow(0.299f * m_colour[0] + 0.587f * m_colour[1] + 0.114f * m_colour[2], 0.2f);
    m_initialWhite = 0.6f * gloss;
    m_finalWhite = 0.3f * gloss;
}

ShinyGradientFunction::Components ShinyGradientFunction::valueAt(float t) const
{
    Components out;
    if (t < 0.5f) {
        const float s = 1 - kScale * (std::exp(-2 * t * kCurve) - kOffset);
        const float white = m_initialWhite + s * (m_finalWhite - m_initialWhite);
        for (int i = 0; i < 4; ++i)
            out[i] = m_colour[i] * (1 - white) + white;
    } else {
        const float s = kScale * (std::exp(-(2 - 2 * t) * kCurve) - kOffset);
        for (int i = 0; i < 4; ++i)
            out[i] = m_colour[i] * (1 - s) + m_caustic[i] * s;
    }
    return out;
}

QGradientStops ShinyGradientFunction::stops() const
{
    QGradientStops stops;
    stops.reserve(2 * kSamplesPerHalf);
    for (int i = 0; i < kSamplesPerHalf; ++i) {
        const float t = i == kSamplesPerHalf - 1 ? kJustBelowMiddle : 0.5f * i / (kSamplesPerHalf - 1);
        stops.append({t, toColour(valueAt(t))});
    }
    for (int i = 0; i < kSamplesPerHalf; ++i) {
        const float t = 0.5f + 0.5f * i / (kSamplesPerHalf - 1);
        stops.append({t, toColour(valueAt(t))});
    }
    return stops;
}

void CGContextDrawShinyGradient(QPainter* context, const QRectF& rect, const QColor& colour, bool flipped)
{
    if (!ZQ_EXPECT(colour.isValid(), QStringLiteral("no colour supplied"))
        || !ZQ_EXPECT(context && context->isActive(), QStringLiteral("invalid context supplied")))
        return;
    if (rect.isEmpty())
        return;
    QLinearGradient gradient = flipped ? QLinearGradient(rect.topLeft(), rect.bottomLeft())
                                       : QLinearGradient(rect.bottomLeft(), rect.topLeft());
    gradient.setStops(cachedStops(colour));
    context->save();
    context->setClipRect(rect, Qt::IntersectClip);
    context->setCompositionMode(QPainter::CompositionMode_SourceOver);
    context->setOpacity(1.0);
    context->fillRect(rect, gradient);
    context->restore();
}
