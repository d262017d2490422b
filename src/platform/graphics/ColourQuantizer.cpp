#include "platform/graphics/ColourQuantizer.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <vector>

namespace platform {

namespace {

bool isTransparent(QRgb pixel)
{
    return qAlpha(pixel) < 128;
}

bool hasTransparentPixels(const QImage& argb)
{
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        if (std::any_of(row, row + argb.width(), isTransparent))
            return true;
    }
    return false;
}

// Calls `visit(x, y, colour)` for every opaque pixel, skipping the lookup work for runs of
// one colour, which flat map images are made of.
template <typename Visit> void forEachOpaquePixel(const QImage& argb, Visit visit)
{
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (!isTransparent(row[x]))
                visit(x, y, row[x] | 0xff000000u);
        }
    }
}

// The image's opaque colours, or none when there are more than `limit`.
std::optional<QList<QRgb>> exactPalette(const QImage& argb, int limit)
{
    QHash<QRgb, int> seen;
    QList<QRgb> palette;
    QRgb last = 0;
    bool overflow = false;
    forEachOpaquePixel(argb, [&](int, int, QRgb colour) {
        if (overflow || (colour == last && !palette.isEmpty()))
            return;
        last = colour;
        if (!seen.contains(colour)) {
            seen.insert(colour, int(palette.size()));
            palette.append(colour);
            overflow = palette.size() > limit;
        }
    });
    if (overflow)
        return std::nullopt;
    return palette;
}

// Median cut over a 5-bit-per-channel histogram.
class MedianCut {
public:
    explicit MedianCut(const QImage& argb)
    {
        forEachOpaquePixel(argb, [this](int, int, QRgb c) {
            Bin& bin = m_bins[size_t(binIndex(qRed(c) >> 3, qGreen(c) >> 3, qBlue(c) >> 3))];
            bin.count += 1;
            bin.sum[0] += qRed(c);
            bin.sum[1] += qGreen(c);
            bin.sum[2] += qBlue(c);
        });
    }

    QList<QRgb> palette(int colours)
    {
        std::vector<Box> boxes(1);
        for (int i = 0; i < int(m_bins.size()); ++i) {
            if (m_bins[size_t(i)].count > 0)
                boxes[0].bins.push_back(i);
        }
        shrink(boxes[0]);
        while (int(boxes.size()) < colours) {
            auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
                return a.priority() < b.priority();
            });
            if (widest->priority() == 0)
                break;
            Box other = split(*widest);
            boxes.push_back(std::move(other));
        }
        QList<QRgb> result;
        for (const Box& box : boxes)
            result.append(mean(box));
        return result;
    }

private:
    struct Bin {
        quint64 count = 0;
        std::array<double, 3> sum{};
    };
    struct Box {
        std::vector<int> bins;
        std::array<int, 3> low{}, high{};
        quint64 count = 0;
        int longestAxis() const
        {
            int axis = 0;
            for (int a = 1; a < 3; ++a) {
                if (high[size_t(a)] - low[size_t(a)] > high[size_t(axis)] - low[size_t(axis)])
                    axis = a;
            }
            return axis;
        }
        double priority() const
        {
            const auto a = size_t(longestAxis());
            return double(count) * (high[a] - low[a]);
        }
    };

    static int binIndex(int r, int g, int b) { return (r << 10) | (g << 5) | b; }
    static int channel(int bin, int axis) { return (bin >> (10 - 5 * axis)) & 31; }

    void shrink(Box& box) const
    {
        box.low = {31, 31, 31};
        box.high = {0, 0, 0};
        box.count = 0;
        for (int bin : box.bins) {
            for (int a = 0; a < 3; ++a) {
                box.low[size_t(a)] = std::min(box.low[size_t(a)], channel(bin, a));
                box.high[size_t(a)] = std::max(box.high[size_t(a)], channel(bin, a));
            }
            box.count += m_bins[size_t(bin)].count;
        }
    }

    // Splits at the pixel median of the longest axis; answers the upper half.
    Box split(Box& box) const
    {
        const int axis = box.longestAxis();
        std::sort(box.bins.begin(), box.bins.end(),
                  [axis](int a, int b) { return channel(a, axis) < channel(b, axis); });
        quint64 below = 0;
        size_t cut = 1;
        for (; cut < box.bins.size(); ++cut) {
            below += m_bins[size_t(box.bins[cut - 1])].count;
            if (below * 2 >= box.count && channel(box.bins[cut], axis) != channel(box.bins[cut - 1], axis))
                break;
        }
        // Cut between two channel values, or the box would not shrink.
        if (cut >= box.bins.size()) {
            cut = 1;
            while (channel(box.bins[cut], axis) == channel(box.bins[0], axis))
                ++cut;
        }
        Box upper;
        upper.bins.assign(box.bins.begin() + qsizetype(cut), box.bins.end());
        box.bins.resize(cut);
        shrink(box);
        shrink(upper);
        return upper;
    }

    QRgb mean(const Box& box) const
    {
        std::array<double, 3> sum{};
        for (int bin : box.bins) {
            for (size_t a = 0; a < 3; ++a)
                sum[a] += m_bins[size_t(bin)].sum[a];
        }
        const double n = double(std::max<quint64>(box.count, 1));
        return qRgb(int(sum[0] / n + 0.5), int(sum[1] / n + 0.5), int(sum[2] / n + 0.5));
    }

    std::vector<Bin> m_bins = std::vector<Bin>(32768);
};

// Nearest palette entry, remembered per cell of a 6-bit-per-channel grid.
class NearestColour {
public:
    explicit NearestColour(const QList<QRgb>& palette)
        : m_palette(palette)
        , m_cache(size_t(1) << 18, -1)
    {
    }

    int find(int r, int g, int b)
    {
        qint16& cached = m_cache[size_t(((r >> 2) << 12) | ((g >> 2) << 6) | (b >> 2))];
        if (cached < 0) {
            int best = 0, bestDistance = INT_MAX;
            for (int i = 0; i < int(m_palette.size()); ++i) {
                const int dr = qRed(m_palette[i]) - r, dg = qGreen(m_palette[i]) - g, db = qBlue(m_palette[i]) - b;
                const int d = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
                if (d < bestDistance) {
                    bestDistance = d;
                    best = i;
                }
            }
            cached = qint16(best);
        }
        return cached;
    }

private:
    QList<QRgb> m_palette;
    std::vector<qint16> m_cache;
};

void mapExactly(const QImage& argb, const QList<QRgb>& palette, QImage& indexed)
{
    QHash<QRgb, uchar> index;
    for (int i = 0; i < int(palette.size()); ++i)
        index.insert(palette[i], uchar(i));
    QRgb last = 0;
    uchar lastIndex = 0;
    forEachOpaquePixel(argb, [&](int x, int y, QRgb colour) {
        if (colour != last) {
            last = colour;
            lastIndex = index.value(colour);
        }
        indexed.scanLine(y)[x] = lastIndex;
    });
}

void mapNearest(const QImage& argb, const QList<QRgb>& palette, bool dither, QImage& indexed)
{
    NearestColour nearest(palette);
    const int w = argb.width();
    // Floyd-Steinberg error of this row and the next, three channels per pixel, one pixel of margin.
    std::vector<float> error(size_t(w + 2) * 3), nextError(size_t(w + 2) * 3);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < w; ++x) {
            if (isTransparent(row[x]))
                continue;
            float* e = &error[size_t(x + 1) * 3];
            const int wanted[3] = {qRed(row[x]), qGreen(row[x]), qBlue(row[x])};
            int c[3];
            for (int a = 0; a < 3; ++a)
                c[a] = dither ? std::clamp(int(wanted[a] + e[a] + 0.5f), 0, 255) : wanted[a];
            const int i = nearest.find(c[0], c[1], c[2]);
            out[x] = uchar(i);
            if (!dither)
                continue;
            const int got[3] = {qRed(palette[i]), qGreen(palette[i]), qBlue(palette[i])};
            for (int a = 0; a < 3; ++a) {
                const float diff = float(c[a] - got[a]);
                e[3 + a] += diff * 7 / 16;
                nextError[size_t(x) * 3 + size_t(a)] += diff * 3 / 16;
                nextError[size_t(x + 1) * 3 + size_t(a)] += diff * 5 / 16;
                nextError[size_t(x + 2) * 3 + size_t(a)] += diff * 1 / 16;
            }
        }
        std::swap(error, nextError);
        std::fill(nextError.begin(), nextError.end(), 0.0f);
    }
}

} // namespace

ColourQuantizer::Result ColourQuantizer::quantize(const QImage& image, int maximumColours, bool dither)
{
    if (image.isNull())
        return {};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const bool transparent = hasTransparentPixels(argb);
    const int colours = std::clamp(maximumColours, 2, 256) - (transparent ? 1 : 0);

    Result result;
    result.image = QImage(argb.size(), QImage::Format_Indexed8);
    const std::optional<QList<QRgb>> exact = exactPalette(argb, colours);
    QList<QRgb> palette = exact ? *exact : MedianCut(argb).palette(colours);
    if (transparent) {
        result.transparentIndex = int(palette.size());
        result.image.fill(uint(result.transparentIndex));
    }
    if (exact)
        mapExactly(argb, palette, result.image);
    else
        mapNearest(argb, palette, dither, result.image);
    if (transparent)
        palette.append(qRgba(0, 0, 0, 0));
    result.image.setColorTable(palette);
    return result;
}

} // namespace platform
