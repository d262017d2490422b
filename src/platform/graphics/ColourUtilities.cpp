#include "platform/graphics/ColourUtilities.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

double unitLevel(double level)
{
    return std::isnan(level) ? 0.0 : std::clamp(level, 0.0, 1.0);
}

QColor blend(const QColor& colour, const QColor& target, double level)
{
    const double f = unitLevel(level);
    const QColor rgb = colour.toRgb();
    auto mix = [f](double from, double to) { return from + (to - from) * f; };
    return QColor::fromRgbF(float(mix(rgb.redF(), target.redF())), float(mix(rgb.greenF(), target.greenF())),
                            float(mix(rgb.blueF(), target.blueF())), rgb.alphaF());
}

} // namespace

QString hexString(const QColor& colour)
{
    return colour.toRgb().name(QColor::HexRgb).toUpper();
}

QColor colorWithHexString(const QString& text)
{
    static const QRegularExpression hex(QStringLiteral("^#?([0-9a-fA-F]{3}|[0-9a-fA-F]{6}|[0-9a-fA-F]{8})$"));
    const QRegularExpressionMatch match = hex.match(text.trimmed());
    if (!match.hasMatch())
        return {};
    QString digits = match.captured(1);
    if (digits.size() == 3)
        digits = QString(digits[0]).repeated(2) + QString(digits[1]).repeated(2) + QString(digits[2]).repeated(2);
    const uint value = digits.left(6).toUInt(nullptr, 16);
    const int alpha = digits.size() == 8 ? digits.right(2).toInt(nullptr, 16) : 255;
    return QColor(int(value >> 16) & 0xff, int(value >> 8) & 0xff, int(value) & 0xff, alpha);
}

QColor rgbGrey(double level)
{
    const auto grey = float(unitLevel(level));
    return QColor::fromRgbF(grey, grey, grey);
}

QColor veryLightGrey()
{
    return rgbGrey(0.9);
}

double luminosity(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return 0.299 * rgb.redF() + 0.587 * rgb.greenF() + 0.114 * rgb.blueF();
}

QColor contrastingColor(const QColor& colour)
{
    return luminosity(colour) > 0.5 ? QColor(Qt::black) : QColor(Qt::white);
}

QColor shadowWithLevel(const QColor& colour, double level)
{
    return blend(colour, Qt::black, level);
}

QColor highlightWithLevel(const QColor& colour, double level)
{
    return blend(colour, Qt::white, level);
}

} // namespace platform
