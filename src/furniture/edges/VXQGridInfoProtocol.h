#pragma once

// What the owner of grid edge labels (VXQGridAnnotation) and grid border bands
// (VXQGridBorder) answers: the index grid and the scale bar. Labels and bands know nothing
// of grids; they frame the owner's borderRect, put a labelled line every spanLength points
// and divide each span in divisionsPerSpan.
//
// Owners are QObjects that mix this class in; labels and bands keep them through a QPointer
// and never own them. Edge codes: 1 left, 2 right, 4 top, 8 bottom, combined by bitwise or.

#include <QRectF>
#include <QString>
#include <QtGlobal>
#include <optional>

class VXDrawing;

namespace platform {
class NumberFormatter;
}

enum VXQGridEdge : int {
    kVXQGridEdgeLeft = 1,
    kVXQGridEdgeRight = 2,
    kVXQGridEdgeTop = 4,
    kVXQGridEdgeBottom = 8,
    kVXQGridAllEdges = 15,
};

class VXQGridInfoProtocol {
public:
    virtual ~VXQGridInfoProtocol() = default;

    // The drawing whose size and margins bound the label strips; may be null.
    virtual VXDrawing* drawing() const = 0;
    // The rectangle whose edges are labelled or banded.
    virtual QRectF borderRect() const = 0;
    // Points between two labelled lines.
    virtual double spanLength() const = 0;
    virtual quint64 divisionsPerSpan() const = 0;
    // Room the bands take outside borderRect.
    virtual double borderAllowance() const = 0;
    // Labels and bands ask their owner to redraw the strips they cover when they change.
    virtual void setNeedsDisplayInRect(const QRectF& rect) const = 0;

    // The owner's text for the label at `index` of 0 ... `maxIndex`, given the annotation's own
    // text and formatter (null when it has none); none keeps the annotation's text.
    virtual std::optional<QString> proposedLabelAtIndexMaxIndexFormatter(const QString& label, quint64 index,
                                                                        quint64 maxIndex,
                                                                        const platform::NumberFormatter* formatter) const
    {
        Q_UNUSED(label) Q_UNUSED(index) Q_UNUSED(maxIndex) Q_UNUSED(formatter)
        return std::nullopt;
    }
};
