#include "platform/vantrix/view/KnobStampBatch.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <span>
#include <utility>

namespace platform {

namespace {

thread_local KnobStampBatch* t_current = nullptr;

constexpr int kRowBits = 64;

// Rows of bits over the device's pixels, set where later stamps paint opaquely. Pixels off
// the device count as covered: nothing there shows. Each row has a word of such pixels on
// either side, so a stamp no wider than a word that reaches past an edge needs no test.
class Coverage {
public:
    Coverage(int width, int height)
        : m_height(height)
        , m_words((width + kRowBits - 1) / kRowBits + 2)
        , m_bits(size_t(m_words) * size_t(height), 0)
    {
        const int spare = (m_words - 1) * kRowBits - width - kRowBits;
        for (int y = 0; y < height; ++y) {
            std::uint64_t* row = &m_bits[size_t(y) * size_t(m_words)];
            row[0] = ~std::uint64_t(0);
            row[m_words - 1] = ~std::uint64_t(0);
            if (spare > 0)
                row[m_words - 2] |= ~std::uint64_t(0) << (kRowBits - spare);
        }
    }

    // A stamp's rows of bits from pixel (x, top) on, x past -kRowBits and before the width:
    // where it paints, and where it paints opaquely.
    struct Rows {
        int x;
        int top;
        std::span<const std::uint64_t> painted;
        std::span<const std::uint64_t> opaque;
    };

    // Whether any pixel the stamp paints is not covered; if so, its opaque pixels are covered
    // from then on.
    bool showsThenCovers(const Rows& stamp)
    {
        const int first = std::max(0, -stamp.top);
        const int last = std::min(int(stamp.painted.size()), m_height - stamp.top);
        if (first >= last)
            return false;
        const int column = stamp.x + kRowBits; // past the left margin
        const int shift = column & (kRowBits - 1);
        std::uint64_t* const start = &m_bits[size_t(stamp.top + first) * size_t(m_words) + size_t(column >> 6)];
        std::uint64_t* row = start;
        int shown = last;
        for (int i = first; i < last; ++i, row += m_words) {
            // The second word's part, shifted in two steps so that no shift is by the word's width.
            const std::uint64_t window = row[0] >> shift | (row[1] << 1) << (kRowBits - 1 - shift);
            if ((stamp.painted[size_t(i)] & ~window) != 0) {
                shown = i;
                break;
            }
        }
        if (shown == last)
            return false;
        row = start;
        for (int i = first; i < last; ++i, row += m_words) {
            row[0] |= stamp.opaque[size_t(i)] << shift;
            row[1] |= (stamp.opaque[size_t(i)] >> 1) >> (kRowBits - 1 - shift);
        }
        return true;
    }

private:
    int m_height;
    int m_words;
    std::vector<std::uint64_t> m_bits;
};

QSize devicePixelsOf(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    const qreal ratio = device->devicePixelRatioF();
    return QSize(int(std::ceil(device->width() * ratio)), int(std::ceil(device->height() * ratio)));
}

} // namespace

KnobStampBatch::KnobStampBatch(QPainter& painter)
    : m_painter(painter)
    , m_ratio(painter.device() ? painter.device()->devicePixelRatioF() : 1.0)
    , m_size(painter.device() ? devicePixelsOf(painter) : QSize())
    // Only a raster device is known pixel by pixel.
    , m_raster(painter.isActive() && painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster
               && m_size.width() < std::numeric_limits<std::int16_t>::max()
               && m_size.height() < std::numeric_limits<std::int16_t>::max())
    , m_previous(std::exchange(t_current, this))
{
}

KnobStampBatch::~KnobStampBatch()
{
    flush();
    t_current = m_previous;
}

KnobStampBatch* KnobStampBatch::current() { return t_current; }

void KnobStampBatch::flushCurrent()
{
    if (t_current)
        t_current->flush();
}

bool KnobStampBatch::canHoldFor(const QPainter& painter) const
{
    // Only a plain source-over paints an opaque pixel whatever lies under it.
    return isFor(painter) && m_raster && painter.compositionMode() == QPainter::CompositionMode_SourceOver
           && painter.opacity() >= 1;
}

void KnobStampBatch::hold(const QImage& image, std::span<const QPoint> corners)
{
    const int stencil = stencilOf(image);
    const QSize size = m_stencils[stencil].size;
    for (const QPoint corner : corners) {
        if (corner.x() >= m_size.width() || corner.y() >= m_size.height() || corner.x() + size.width() <= 0
            || corner.y() + size.height() <= 0)
            continue;
        m_stamps.push_back({std::int16_t(corner.x()), std::int16_t(corner.y()), stencil});
    }
}

int KnobStampBatch::stencilOf(const QImage& image)
{
    // Knob looks are few and come in runs: the last one first.
    const qint64 key = image.cacheKey();
    for (qsizetype i = m_stencils.size() - 1; i >= 0; --i)
        if (m_stencils[i].key == key)
            return int(i);
    Stencil stencil{image, key, image.size(), {}, {}, {}, image.width() <= kRowBits, image, {}};
    if (stencil.fits) {
        // Knob images have clear margins: only the rows with paint on them are kept.
        const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < pixels.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
            std::uint64_t painted = 0, opaque = 0;
            for (int x = 0; x < pixels.width(); ++x) {
                painted |= std::uint64_t(line[x] != 0) << x;
                opaque |= std::uint64_t(qAlpha(line[x]) == 255) << x;
            }
            if (painted == 0 && stencil.painted.empty()) {
                stencil.firstRow = y + 1;
                continue;
            }
            stencil.painted.push_back(painted);
            stencil.opaque.push_back(opaque);
        }
        while (!stencil.painted.empty() && stencil.painted.back() == 0) {
            stencil.painted.pop_back();
            stencil.opaque.pop_back();
        }
        const std::uint64_t columns = std::accumulate(stencil.painted.cbegin(), stencil.painted.cend(),
                                                      std::uint64_t(0), std::bit_or<>());
        if (columns != 0) {
            const int left = std::countr_zero(columns);
            const int right = kRowBits - 1 - std::countl_zero(columns);
            stencil.drawnOffset = QPoint(left, stencil.firstRow);
            stencil.drawn = image.copy(left, stencil.firstRow, right - left + 1, int(stencil.painted.size()));
        }
    }
    m_stencils.append(std::move(stencil));
    return int(m_stencils.size() - 1);
}

std::vector<bool> KnobStampBatch::stampsThatShow() const
{
    Coverage covered(m_size.width(), m_size.height());
    std::vector<bool> shows(m_stamps.size(), false);
    for (size_t i = m_stamps.size(); i-- > 0;) {
        const Stamp& stamp = m_stamps[i];
        const Stencil& stencil = m_stencils[stamp.stencil];
        shows[i] = !stencil.fits
                   || covered.showsThenCovers({stamp.x, stamp.y + stencil.firstRow, stencil.painted, stencil.opaque});
    }
    return shows;
}

qsizetype KnobStampBatch::flush()
{
    if (m_stamps.empty())
        return 0;
    const std::vector<bool> shows = stampsThatShow();
    const QTransform world = m_painter.worldTransform();
    m_painter.setWorldTransform(QTransform());
    qsizetype drawn = 0;
    for (size_t i = 0; i < m_stamps.size(); ++i) {
        if (shows[i]) {
            const Stamp& stamp = m_stamps[i];
            const Stencil& stencil = m_stencils[stamp.stencil];
            m_painter.drawImage(QPointF(QPoint(stamp.x, stamp.y) + stencil.drawnOffset) / m_ratio, stencil.drawn);
            ++drawn;
        }
    }
    m_painter.setWorldTransform(world);
    m_stamps.clear();
    return drawn;
}

} // namespace platform
