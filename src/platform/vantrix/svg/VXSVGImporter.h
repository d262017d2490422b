#pragma once

// Converts SVG 1.1 static content into editable drawables: paths, shapes, text, images and
// groups with their fills, strokes and gradients. The input is untrusted: damage ends in an
// error value, and content that cannot be converted is skipped, logged and listed. Images
// shown many times are decoded once, and the file's images together decode within a
// DecodedPixelBudget: an image past it fails the import, named in the error.
//
// One SVG user unit (px) becomes one point of the drawing, and lengths in absolute units (in,
// cm, mm, pt, pc) are CSS px, 96 to the inch. A page sized in absolute units keeps its
// physical size (72 points to the inch), its content scaled to it.

#include "platform/foundation/QuorvaneError.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

#include <QByteArray>
#include <QList>
#include <QSizeF>
#include <QStringList>

#include <optional>

class VXSVGImporter {
public:
    struct Result {
        QList<VXDrawableObjectPtr> objects; // one per top-level element, in document order (y down)
        QSizeF size;                        // the SVG's width and height in points
        QStringList skipped;                // element names left out, one entry per occurrence
        QStringList skipReasons;            // why they were, each reason once, in the order met
    };
    // The reasons a result keeps at most.
    static constexpr qsizetype kMostSkipReasons = 100;

    // Files larger than this are refused unread.
    static constexpr qint64 kMaximumFileSize = 256LL * 1024 * 1024;

    // Relative image references resolve inside the file's own folder.
    // Filters are never drawn; while this is on (the preference) they are not reported either.
    static bool ignoresFilterElements();

    static std::optional<Result> importFile(const QString& path, QuorvaneError* error = nullptr);
    // `baseFolder` confines relative image references; empty allows none (data: URIs only).
    static std::optional<Result> importData(const QByteArray& svg, const QString& baseFolder,
                                            QuorvaneError* error = nullptr);
};
