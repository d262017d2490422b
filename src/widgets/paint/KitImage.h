#pragma once

// Artwork by name, resolution independent: bundle artwork (":/bundle/images/<name>.svg") is
// drawn from its vector form at the device pixel ratio of wherever it lands. A few names of
// system artwork map to the style's icons: "NSInfo" (information), "NSRemoveTemplate"
// (remove) and "NSApplicationIcon" (the application's window icon as it was first asked
// for, or the style's computer icon). Names ending in "Template" are glyphs, drawn with a
// white engraved shadow one point below them.

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>

class QPainter;

class KitImage {
public:
    // Images of more pixels than this are not made: the caller gets an empty image.
    static constexpr qint64 kMaximumPixels = qint64(8192) * 8192;
    // The pixel size of `size` points at `ratio`, rounded up; empty when not positive, not
    // finite or beyond kMaximumPixels.
    static QSize pixelSizeFor(const QSizeF& size, qreal ratio);

    KitImage() = default; // the null image
    bool isNull() const { return !m_artwork; }
    QString name() const;
    // Natural size in points.
    QSizeF size() const;
    bool isTemplate() const;

    // The artwork stretched to `size` points at `ratio` pixels per point: premultiplied ARGB
    // with the ratio as its device pixel ratio, or an empty image (see pixelSizeFor).
    QImage imageOfSize(const QSizeF& size, qreal ratio) const;
    // Draws into `rect` at the painter's device pixels, `fraction` opaque.
    void drawInRect(QPainter& painter, const QRectF& rect, qreal fraction = 1.0) const;

    struct Artwork; // what a name stands for, shared by every image of that name

private:
    explicit KitImage(std::shared_ptr<const Artwork> artwork);
    friend KitImage imageNamed(const QString& name);

    std::shared_ptr<const Artwork> m_artwork;
};

// The artwork of that name, made once and shared; the null image for an unknown name.
KitImage imageNamed(const QString& name);
