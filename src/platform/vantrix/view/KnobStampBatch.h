#pragma once

// Knob images stamped during one pass over a selection, held back and drawn together. Zoomed
// out on a large selection, the knobs of objects smaller than a pixel pile up on each other:
// a stamp whose every pixel a later stamp covers with opaque ones shows nowhere and is left
// out. What the pass shows is the same, pixel for pixel, as stamping each one at once.
//
// A batch is the current one while it lives. Anything drawn that is not a held-back stamp
// must flush it first, so the order of what is drawn stays; the batch draws what it holds
// when it ends.

#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <cstdint>
#include <span>
#include <vector>

class QPainter;

namespace platform {

class KnobStampBatch {
public:
    explicit KnobStampBatch(QPainter& painter);
    ~KnobStampBatch();
    KnobStampBatch(const KnobStampBatch&) = delete;
    KnobStampBatch& operator=(const KnobStampBatch&) = delete;

    static KnobStampBatch* current();

    bool isFor(const QPainter& painter) const { return &painter == &m_painter; }
    // The ratio of the painter's device, which stays while the batch lives.
    qreal devicePixelRatio() const { return m_ratio; }
    // Draws what the current batch holds, if there is one.
    static void flushCurrent();

    // Whether stamps drawn with `painter` as it is now may be held: it is the batch's, on a
    // raster device, painting plainly over what lies under.
    bool canHoldFor(const QPainter& painter) const;
    // Holds `image` to be drawn with its top left on device pixel `corner` of the painter's
    // device, without any transform, once for each corner in turn. Stamps off the device are
    // dropped.
    void hold(const QImage& image, std::span<const QPoint> corners);
    void hold(const QImage& image, QPoint corner) { hold(image, {&corner, 1}); }
    // Draws the stamps held that show, in the order they came; returns how many that was.
    qsizetype flush();

private:
    // An image's pixels, row by row, as bits: those it changes and those it paints over.
    struct Stencil {
        QImage image;
        qint64 key;  // the image's cacheKey
        QSize size;  // the image's, in device pixels
        std::vector<std::uint64_t> painted; // from firstRow on
        std::vector<std::uint64_t> opaque;
        int firstRow = 0;
        bool fits = false; // narrow enough for a row of bits
        // The part of the image with paint on it, and where it lies in the image (device
        // pixels): its clear margins blend nothing, and most of a knob image is margin.
        QImage drawn;
        QPoint drawnOffset;
    };
    // Small: a paint may hold millions. Devices are far smaller than 32768 pixels.
    struct Stamp {
        std::int16_t x;
        std::int16_t y;
        std::int32_t stencil;
    };

    int stencilOf(const QImage& image);
    // Whether each stamp shows past the opaque pixels of the stamps after it.
    std::vector<bool> stampsThatShow() const;

    QPainter& m_painter;
    qreal m_ratio;
    QSize m_size; // device pixels
    bool m_raster;
    QList<Stencil> m_stencils;
    std::vector<Stamp> m_stamps;
    KnobStampBatch* m_previous;
};

} // namespace platform
