#include "platform/vantrix/render/ImageEffects.h"

#include <QPainter>
#include <QtMath>
#include <array>
#include <vector>

namespace platform {

namespace {

// Running sums of a pixel's channels: four for premultiplied ARGB, one for an alpha mask.
template <typename Pixel>
struct Channels;

template <>
struct Channels<QRgb> {
    using Sum = std::array<int, 4>;
    static void add(Sum& sum, QRgb pixel, int sign)
    {
        sum[0] += sign * int(qAlpha(pixel));
        sum[1] += sign * int(qRed(pixel));
        sum[2] += sign * int(qGreen(pixel));
        sum[3] += sign * int(qBlue(pixel));
    }
    static QRgb average(const Sum& sum, int count)
    {
        const auto mean = [count](int value) { return (value + count / 2) / count; };
        return qRgba(mean(sum[1]), mean(sum[2]), mean(sum[3]), mean(sum[0]));
    }
};

template <>
struct Channels<uchar> {
    using Sum = std::array<int, 1>;
    static void add(Sum& sum, uchar alpha, int sign) { sum[0] += sign * int(alpha); }
    static uchar average(const Sum& sum, int count) { return uchar((sum[0] + count / 2) / count); }
};

using Sum = Channels<QRgb>::Sum;
constexpr auto add = Channels<QRgb>::add;
constexpr auto average = Channels<QRgb>::average;

int clampedRadius(double radius)
{
    return std::isfinite(radius) ? std::clamp(qRound(radius), 0, kMaximumEffectRadius) : 0;
}

void makePremultiplied(QImage& image)
{
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
}

// A box pass over `count` lines of `length` pixels, `step` pixels apart along each line.
template <typename Pixel>
void boxPass(Pixel* data, int count, int length, qsizetype lineStep, qsizetype step, int radius)
{
    using C = Channels<Pixel>;
    std::vector<Pixel> source(length);
    const int window = 2 * radius + 1;
    for (int line = 0; line < count; ++line) {
        Pixel* first = data + line * lineStep;
        for (int i = 0; i < length; ++i)
            source[i] = first[i * step];
        typename C::Sum sum{};
        for (int i = 0; i < std::min(radius, length); ++i)
            C::add(sum, source[i], 1);
        for (int i = 0; i < length; ++i) {
            if (i + radius < length)
                C::add(sum, source[i + radius], 1);
            if (i - radius - 1 >= 0)
                C::add(sum, source[i - radius - 1], -1);
            first[i * step] = C::average(sum, window);
        }
    }
}

template <typename Pixel>
void boxPasses(QImage& image, int radius, int passes)
{
    auto* data = reinterpret_cast<Pixel*>(image.bits());
    const qsizetype line = image.bytesPerLine() / qsizetype(sizeof(Pixel));
    for (int pass = 0; pass < passes; ++pass) {
        boxPass(data, image.height(), image.width(), line, 1, radius);
        boxPass(data, image.width(), image.height(), 1, line, radius);
    }
}

// Alpha masks are blurred as they are, every other image as premultiplied ARGB.
void boxPassesOverImage(QImage& image, int radius, int passes)
{
    if (image.format() == QImage::Format_Alpha8) {
        boxPasses<uchar>(image, radius, passes);
        return;
    }
    makePremultiplied(image);
    boxPasses<QRgb>(image, radius, passes);
}

} // namespace

void gaussianBlur(QImage& image, double radius)
{
    const int reach = clampedRadius(radius);
    if (reach == 0 || image.isNull())
        return;
    boxPassesOverImage(image, std::max(1, (reach + 2) / 3), 3);
}

void boxBlur(QImage& image, double radius)
{
    const int reach = clampedRadius(radius);
    if (reach == 0 || image.isNull())
        return;
    boxPassesOverImage(image, reach, 1);
}

void discBlur(QImage& image, double radius)
{
    const int reach = clampedRadius(radius);
    if (reach == 0 || image.isNull())
        return;
    makePremultiplied(image);
    const QImage source = image.copy();
    const int width = image.width();
    const int height = image.height();
    // Half widths of the disc's rows, and the pixels it covers.
    std::vector<int> halfWidth(2 * reach + 1);
    int area = 0;
    for (int dy = -reach; dy <= reach; ++dy) {
        halfWidth[dy + reach] = int(std::floor(std::sqrt(double(reach * reach - dy * dy))));
        area += 2 * halfWidth[dy + reach] + 1;
    }
    // Running sums of one source row: prefix[x + 1] is the sum of its pixels 0 ... x.
    std::vector<Sum> prefix(width + 1);
    std::vector<Sum> sums(width);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), Sum{});
        for (int dy = -reach; dy <= reach; ++dy) {
            if (y + dy < 0 || y + dy >= height)
                continue;
            const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y + dy));
            prefix[0] = Sum{};
            for (int x = 0; x < width; ++x) {
                prefix[x + 1] = prefix[x];
                add(prefix[x + 1], row[x], 1);
            }
            const int half = halfWidth[dy + reach];
            for (int x = 0; x < width; ++x) {
                const Sum& high = prefix[std::min(width, x + half + 1)];
                const Sum& low = prefix[std::max(0, x - half)];
                for (int c = 0; c < 4; ++c)
                    sums[x][c] += high[c] - low[c];
            }
        }
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            out[x] = average(sums[x], area);
    }
}

void motionBlur(QImage& image, double length, double angle)
{
    const int reach = clampedRadius(length / 2);
    if (reach == 0 || image.isNull() || !std::isfinite(angle))
        return;
    makePremultiplied(image);
    const QImage source = image.copy();
    const int width = image.width();
    const int height = image.height();
    const int samples = 2 * reach + 1;
    std::vector<QPoint> offsets;
    for (int i = -reach; i <= reach; ++i)
        offsets.emplace_back(qRound(i * std::cos(angle)), qRound(i * std::sin(angle)));
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            Sum sum{};
            for (const QPoint& offset : offsets) {
                const int sx = x + offset.x();
                const int sy = y + offset.y();
                if (sx >= 0 && sx < width && sy >= 0 && sy < height)
                    add(sum, reinterpret_cast<const QRgb*>(source.constScanLine(sy))[sx], 1);
            }
            out[x] = average(sum, samples);
        }
    }
}

bool isBlendOperation(int mode)
{
    return mode >= QPainter::CompositionMode_SourceOver && mode <= QPainter::CompositionMode_Exclusion;
}

void scaleIntensity(QImage& image, double factor)
{
    if (image.isNull() || !std::isfinite(factor) || factor == 1)
        return;
    makePremultiplied(image);
    factor = std::max(factor, 0.0);
    const auto scaled = [factor](int value, int limit) { return std::min(limit, int(value * factor + 0.5)); };
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = row[x];
            const int alpha = scaled(qAlpha(pixel), 255);
            row[x] = qRgba(scaled(qRed(pixel), alpha), scaled(qGreen(pixel), alpha), scaled(qBlue(pixel), alpha),
                           alpha);
        }
    }
}

} // namespace platform
