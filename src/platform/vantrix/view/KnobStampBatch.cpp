#include "platform/vantrix/view/KnobStampBatch.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <utility>

namespace platform {

namespace {

thread_local KnobStampBatch* t_current = nullptr;

constexpr int kRowBits = 64;

// Rows of bits over the device's pixels, set where later stamps paint opaquely. Pixels off
// the device count as covered: nothing there shows.
class Coverage {
public:
    Coverage(int width, int height)
        : m_height(height)
        , m_words((width + kRowBits - 1) / kRowBits)
        , m_bits(size_t(m_words) * size_t(height), 0)
    {
        if (const int spare = m_words * kRowBits - width; spare > 0)
            for (int y = 0; y < height; ++y)
                m_bits[size_t(y + 1) * size_t(m_words) - 1] |= ~std::uint64_t(0) << (kRowBits - spare);
    }

    // Whether any of `bits`, pixels from `x` on in row `y`, is not covered.
    bool showsAnyOf(int x, int y, std::uint64_t bits) const
    {
        return y >= 0 && y < m_height && (bits & ~window(x, y)) != 0;
    }

    void cover(int x, int y, std::uint64_t bits)
    {
        if (y < 0 || y >= m_height)
            return;
        const auto [word, shift] = split(x);
        std::uint64_t* row = &m_bits[size_t(y) * size_t(m_words)];
        if (word >= 0 && word < m_words)
            row[word] |= bits << shift;
        if (shift != 0 && word + 1 >= 0 && word + 1 < m_words)
            row[word + 1] |= bits >> (kRowBits - shift);
    }

private:
    static std::pair<int, int> split(int x) { return {x >> 6, x & (kRowBits - 1)}; }

    // The 64 pixels from `x` on in row `y`.
    std::uint64_t window(int x, int y) const
    {
        const auto [word, shift] = split(x);
        const std::uint64_t* row = &m_bits[size_t(y) * size_t(m_words)];
        const auto at = [&](int index) { return index >= 0 && index < m_words ? row[index] : ~std::uint64_t(0); };
        const std::uint64_t low = at(word) >> shift;
        return shift == 0 ? low : low | at(word + 1) << (kRowBits - shift);
    }

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

void KnobStampBatch::hold(const QImage& image, QPoint corner)
{
    if (corner.x() >= m_size.width() || corner.y() >= m_size.height() || corner.x() + image.width() <= 0
        || corner.y() + image.height() <= 0)
        return;
    m_stamps.push_back({std::int16_t(corner.x()), std::int16_t(corner.y()), stencilOf(image)});
}

int KnobStampBatch::stencilOf(const QImage& image)
{
    // Knob looks are few and come in runs: the last one first.
    for (qsizetype i = m_stencils.size() - 1; i >= 0; --i)
        if (m_stencils[i].image.cacheKey() == image.cacheKey())
            return int(i);
    Stencil stencil{image, {}, {}, {}, image.width() <= kRowBits, image, {}};
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
        if (!stencil.fits) {
            shows[i] = true;
            continue;
        }
        const int rows = int(stencil.painted.size());
        const int x = stamp.x;
        const int top = stamp.y + stencil.firstRow;
        for (int row = 0; row < rows && !shows[i]; ++row)
            shows[i] = covered.showsAnyOf(x, top + row, stencil.painted[row]);
        if (shows[i])
            for (int row = 0; row < rows; ++row)
                covered.cover(x, top + row, stencil.opaque[row]);
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
