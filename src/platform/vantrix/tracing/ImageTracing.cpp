#include "platform/vantrix/tracing/ImageTracing.h"

#include "platform/graphics/ColourQuantizer.h"

#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <memory>
#include <numeric>
#include <potracelib.h>

namespace platform {

namespace {

constexpr int kDefaultLevels = 3;
constexpr int kMinimumLevels = 1;
constexpr int kMaximumLevels = 6; // every level keeps a mask of the whole image
constexpr int kOpaqueAlpha = 128;

int clampedInt(const QVariant& value, int fallback, int low, int high)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && std::isfinite(number) ? int(std::clamp(std::round(number), double(low), double(high))) : fallback;
}

double clampedReal(const QVariant& value, double fallback, double low, double high)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && std::isfinite(number) ? std::clamp(number, low, high) : fallback;
}

struct PotraceBitmap {
    potrace_bitmap_t bitmap{};
    std::vector<potrace_word> words;
};

// Potrace wants whole machine words per row, leftmost pixel in the most significant bit;
// a Mono image stores bytes with the leftmost pixel in the high bit, so bytes go in big-endian.
PotraceBitmap potraceBitmapFromMask(const QImage& mask)
{
    constexpr int kBytesPerWord = sizeof(potrace_word);
    PotraceBitmap result;
    const int width = mask.width();
    const int height = mask.height();
    const int rowBytes = (width + 7) / 8;
    const int wordsPerRow = (rowBytes + kBytesPerWord - 1) / kBytesPerWord;
    result.words.assign(size_t(wordsPerRow) * height, 0);
    for (int y = 0; y < height; ++y) {
        const uchar* line = mask.constScanLine(y);
        potrace_word* row = result.words.data() + size_t(y) * wordsPerRow;
        for (int byte = 0; byte < rowBytes; ++byte) {
            uchar bits = line[byte];
            if (byte == rowBytes - 1 && width % 8 != 0)
                bits &= uchar(0xFF << (8 - width % 8)); // bits past the width are undefined
            const int shift = 8 * (kBytesPerWord - 1 - byte % kBytesPerWord);
            row[byte / kBytesPerWord] |= potrace_word(bits) << shift;
        }
    }
    result.bitmap.w = width;
    result.bitmap.h = height;
    result.bitmap.dy = wordsPerRow;
    result.bitmap.map = result.words.data();
    return result;
}

QPointF point(const potrace_dpoint_t& p)
{
    return {p.x, p.y};
}

// Potrace puts scanline n at y = n..n+1; scanline n holds image row n, so y is already down.
void appendCurve(BezierPath& path, const potrace_curve_t& curve)
{
    if (curve.n <= 0)
        return;
    path.moveToPoint(point(curve.c[curve.n - 1][2]));
    for (int i = 0; i < curve.n; ++i) {
        const potrace_dpoint_t* c = curve.c[i];
        if (curve.tag[i] == POTRACE_CORNER) {
            path.lineToPoint(point(c[1]));
            path.lineToPoint(point(c[2]));
        } else {
            path.curveToPointControlPoint1ControlPoint2(point(c[2]), point(c[0]), point(c[1]));
        }
    }
    path.closePath();
}

QImage emptyMask(QSize size)
{
    QImage mask(size, QImage::Format_Mono);
    mask.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mask.fill(0);
    return mask;
}

bool hasTransparentPixels(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        if (std::any_of(line, line + argb.width(), [](QRgb pixel) { return qAlpha(pixel) < kOpaqueAlpha; }))
            return true;
    }
    return false;
}

// Masks for levels 0..count-1 from each pixel's level (-1 for none), stacked so that a
// level's mask also holds every later level's pixels. Levels without pixels of their own go.
template <class LevelAt> // int(int x, int y)
QList<TracedLevel> stackedLevels(const QList<QColor>& colours, QSize size, const LevelAt& levelAt)
{
    const int count = int(colours.size());
    std::vector<QImage> masks(count);
    std::vector<qint64> pixels(count, 0);
    for (QImage& mask : masks)
        mask = emptyMask(size);
    for (int y = 0; y < size.height(); ++y) {
        std::vector<uchar*> lines(count);
        for (int level = 0; level < count; ++level)
            lines[level] = masks[level].scanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            const int own = levelAt(x, y);
            if (own < 0)
                continue;
            ++pixels[own];
            const uchar bit = uchar(0x80 >> (x & 7));
            for (int level = 0; level <= own; ++level)
                lines[level][x >> 3] |= bit;
        }
    }
    QList<TracedLevel> levels;
    for (int level = 0; level < count; ++level) {
        if (pixels[level] > 0)
            levels.append(TracedLevel(colours[level], masks[level]));
    }
    return levels;
}

} // namespace

TracingSettings TracingSettings::fromParameters(const QVariantMap& parameters)
{
    const TracingSettings defaults;
    TracingSettings settings;
    settings.turdsize = clampedInt(parameters.value(kVXTracingParam_turdsize), defaults.turdsize, 0, 1'000'000);
    settings.turnpolicy = clampedInt(parameters.value(kVXTracingParam_turnpolicy), defaults.turnpolicy,
                                     POTRACE_TURNPOLICY_BLACK, POTRACE_TURNPOLICY_RANDOM);
    settings.alphamax = clampedReal(parameters.value(kVXTracingParam_alphamax), defaults.alphamax, 0.0, 4.0 / 3.0);
    const QVariant opticurve = parameters.value(kVXTracingParam_opticurve);
    settings.opticurve = opticurve.isValid() ? opticurve.toBool() : defaults.opticurve;
    settings.opttolerance = clampedReal(parameters.value(kVXTracingParam_opttolerance), defaults.opttolerance, 0.0, 5.0);
    return settings;
}

QVariantMap defaultTracingParameters()
{
    const TracingSettings settings;
    return {{kVXTracingParam_colourmode, 0},
            {kVXTracingParam_levels, kDefaultLevels},
            {kVXTracingParam_turdsize, settings.turdsize},
            {kVXTracingParam_alphamax, settings.alphamax},
            {kVXTracingParam_turnpolicy, settings.turnpolicy},
            {kVXTracingParam_opticurve, settings.opticurve},
            {kVXTracingParam_opttolerance, settings.opttolerance}};
}

int tracingLevelCount(int levels)
{
    return 1 << std::clamp(levels, kMinimumLevels, kMaximumLevels);
}

BezierPath traceMask(const QImage& mask, const TracingSettings& settings)
{
    BezierPath path;
    path.setWindingRule(WindingRule::EvenOdd);
    if (mask.isNull() || mask.format() != QImage::Format_Mono)
        return path;
    PotraceBitmap bitmap = potraceBitmapFromMask(mask);
    const std::unique_ptr<potrace_param_t, decltype(&potrace_param_free)> param(potrace_param_default(),
                                                                               &potrace_param_free);
    if (!param)
        return path;
    param->turdsize = settings.turdsize;
    param->turnpolicy = settings.turnpolicy;
    param->alphamax = settings.alphamax;
    param->opticurve = settings.opticurve ? 1 : 0;
    param->opttolerance = settings.opttolerance;
    const std::unique_ptr<potrace_state_t, decltype(&potrace_state_free)> state(potrace_trace(param.get(), &bitmap.bitmap),
                                                                               &potrace_state_free);
    if (!state || state->status != POTRACE_STATUS_OK)
        return path;
    for (const potrace_path_t* p = state->plist; p; p = p->next)
        appendCurve(path, p->curve);
    return path;
}

TracedLevel::TracedLevel(const QColor& colour, const QImage& mask)
    : m_colour(colour)
    , m_mask(mask)
{
}

void TracedLevel::setTracingParameters(const QVariantMap& parameters)
{
    if (m_path && TracingSettings::fromParameters(parameters) != TracingSettings::fromParameters(m_parameters))
        m_path.reset();
    m_parameters = parameters;
}

BezierPath TracedLevel::vectorPath() const
{
    if (!m_path)
        m_path = traceMask(m_mask, TracingSettings::fromParameters(m_parameters));
    return *m_path;
}

} // namespace platform

using platform::TracedLevel;

QList<TracedLevel> vectorizeToGrayscaleWithPrecision(const QImage& image, int precision)
{
    if (image.isNull())
        return {};
    const int count = platform::tracingLevelCount(precision);
    // Level 0 is white, so the lightest level (which covers every opaque pixel) comes first.
    QList<QColor> colours;
    for (int level = 0; level < count; ++level) {
        const int grey = 255 - level * 255 / (count - 1);
        colours.append(QColor(grey, grey, grey));
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    return platform::stackedLevels(colours, argb.size(), [&](int x, int y) {
        const QRgb pixel = reinterpret_cast<const QRgb*>(argb.constScanLine(y))[x];
        if (qAlpha(pixel) < platform::kOpaqueAlpha)
            return -1;
        return ((255 - qGray(pixel)) * (count - 1) + 127) / 255;
    });
}

QList<TracedLevel> vectorizeToColourWithPrecisionQuantizationMethod(const QImage& image, int precision, int)
{
    if (image.isNull())
        return {};
    const int count = platform::tracingLevelCount(precision);
    // The quantiser counts the transparent entry among the colours.
    const int entries = count + (platform::hasTransparentPixels(image) ? 1 : 0);
    const platform::ColourQuantizer::Result quantized = platform::ColourQuantizer::quantize(image, entries, false);
    const QImage& indexed = quantized.image;
    const QList<QRgb> palette = indexed.colorTable();
    std::vector<qint64> uses(palette.size(), 0);
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar* line = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            if (line[x] < uses.size())
                ++uses[line[x]];
        }
    }
    // The most common colour first: it lies under all the others.
    std::vector<int> order(palette.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return uses[a] > uses[b]; });
    std::vector<int> levelOfIndex(palette.size(), -1);
    QList<QColor> colours;
    for (int index : order) {
        if (index == quantized.transparentIndex || uses[index] == 0)
            continue;
        levelOfIndex[index] = int(colours.size());
        colours.append(QColor::fromRgb(palette[index]).toRgb());
        colours.last().setAlpha(255);
    }
    return platform::stackedLevels(colours, indexed.size(), [&](int x, int y) {
        const uchar index = indexed.constScanLine(y)[x];
        return index < levelOfIndex.size() ? levelOfIndex[index] : -1;
    });
}

QList<TracedLevel> tracedLevelsWithParameters(const QImage& image, const QVariantMap& parameters)
{
    const int levels = parameters.value(kVXTracingParam_levels, platform::kDefaultLevels).toInt();
    QList<TracedLevel> traced = parameters.value(kVXTracingParam_colourmode).toInt() != 0
        ? vectorizeToGrayscaleWithPrecision(image, levels)
        : vectorizeToColourWithPrecisionQuantizationMethod(image, levels, kVXQuantizeMedianCut);
    QtConcurrent::blockingMap(traced, [&parameters](TracedLevel& level) {
        level.setTracingParameters(parameters);
        level.vectorPath();
    });
    return traced;
}
