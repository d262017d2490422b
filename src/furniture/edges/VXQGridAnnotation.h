#pragma once

// The labels along the edges of an index grid or a scale bar: one per labelled line (or per
// cell between two lines), numbered or lettered, counting up or down from the far end,
// optionally turned by 90 degrees. A horizontal annotation labels columns along the top and
// bottom edges, a vertical one rows along the left and right edges. It also answers the
// label of any position along its axis, of which grid references are made.
//
// The owner (VXQGridInfoProtocol) gives the rectangle, the distance between labelled lines
// and the room its bands take. Labels sit 0.7 x (band room + offset) above or below the
// rectangle, and the full gap to its left or right.
//
// Label texts are measured once per text and attributes, not on every repaint; drawing
// changes nothing anyone can observe, as images of drawings are painted off the main thread.

#include "furniture/edges/GridEdgeDecoration.h"
#include "platform/graphics/AttributedString.h"

#include <QColor>
#include <QHash>
#include <QMutex>
#include <memory>

namespace platform {
class NumberFormatter;
}

class VXQGridAnnotation : public GridEdgeDecoration {
    Q_OBJECT
    Q_PROPERTY(QVariantMap textAttributes READ textAttributes WRITE setTextAttributes)
    Q_PROPERTY(int placement READ placement WRITE setPlacement)
    Q_PROPERTY(bool isAlphabetic READ isAlphabetic WRITE setIsAlphabetic)
    Q_PROPERTY(quint64 startingOffset READ startingOffset WRITE setStartingOffset)
    Q_PROPERTY(quint64 increment READ increment WRITE setIncrement)
    Q_PROPERTY(quint64 digits READ digits WRITE setDigits)
    Q_PROPERTY(quint64 labelSkipInterval READ labelSkipInterval WRITE setLabelSkipInterval)
    Q_PROPERTY(double offset READ offset WRITE setOffset)
    Q_PROPERTY(bool orientationIsVertical READ orientationIsVertical WRITE setOrientationIsVertical)
    Q_PROPERTY(bool isRotated READ isRotated WRITE setIsRotated)
    Q_PROPERTY(bool isReversed READ isReversed WRITE setIsReversed)

public:
    enum Placement { kOnLines = 0, kBetweenLines = 1 };
    enum Kind { kNumbers = 0, kLetters = 1 };
    // Sides of drawAnnotationElementMaxElementInRectAtEdge: none, left or top, right or bottom.
    enum Side { kNoSide = 0, kNearSide = 1, kFarSide = 2 };
    // An edge too finely divided to hold this many labels shows none.
    static constexpr int kMaximumLabelCount = 1 << 16;
    static constexpr double kMaximumOffset = 1000;

    VXQGridAnnotation();
    ~VXQGridAnnotation() override;
    static std::shared_ptr<VXQGridAnnotation> defaultAnnotation();

    // Grey 0.62, and "Helvetica" 14 centred in that colour, clipped; both replaceable.
    static QColor defaultAnnotationColour();
    static void setDefaultAnnotationColour(const QColor& colour);
    static platform::TextAttributes defaultTextAttributes();
    static void setDefaultTextAttributes(const platform::TextAttributes& attributes);

    // --- Fields (every change but the formatter's and the orientation's redraws) -------------
    platform::TextAttributes textAttributes() const { return m_textAttributes; }
    void setTextAttributes(const platform::TextAttributes& attributes);
    // Formats numeric labels when set. Formatters are not changed once given: copies share it.
    std::shared_ptr<const platform::NumberFormatter> formatter() const { return m_formatter; }
    void setFormatter(std::shared_ptr<const platform::NumberFormatter> formatter);
    int placement() const { return m_placement; }
    void setPlacement(int placement);
    bool isAlphabetic() const { return m_kind == kLetters; }
    void setIsAlphabetic(bool alphabetic);
    quint64 startingOffset() const { return m_startingOffset; }
    void setStartingOffset(quint64 value);
    quint64 increment() const { return m_increment; }
    void setIncrement(quint64 increment);
    // 1 ... 4: 0 stores 1, anything above 4 stores 4.
    quint64 digits() const { return m_digits; }
    void setDigits(quint64 digits);
    // Only every n-th label is drawn; 0 stores 1.
    quint64 labelSkipInterval() const { return m_labelSkipInterval; }
    void setLabelSkipInterval(quint64 interval);
    // Extra gap between the bands and the labels, 0 ... kMaximumOffset; not a number is ignored.
    double offset() const { return m_offset; }
    void setOffset(double offset);
    // Set by the owner: vertical annotations label rows.
    bool orientationIsVertical() const { return m_orientationIsVertical; }
    void setOrientationIsVertical(bool vertical);
    bool isRotated() const { return m_isRotated; }
    void setIsRotated(bool rotated);
    bool isReversed() const { return m_isReversed; }
    void setIsReversed(bool reversed);

    // --- Labels ------------------------------------------------------------------------------
    // The text of label `element` of 0 ... `maxElement`; the owner may replace it.
    QString annotationStringForElementMaxElement(quint64 element, quint64 maxElement) const;
    // Draws the labels of `edges` (kVXQGridEdge bits) that reach into `rect`.
    void drawInRectAtEdge(const QRectF& rect, int edges) const;
    // Draws one label on `side` when it reaches into `rect`.
    void drawAnnotationElementMaxElementInRectAtEdge(quint64 element, quint64 maxElement, const QRectF& rect,
                                                     int side) const;
    // Where that label lies (its turned box when rotated); none when it is not drawn: skipped
    // by the interval, beyond the rectangle's far end, on no side or without owner.
    std::optional<QRectF> labelRectForElementMaxElementAtEdge(quint64 element, quint64 maxElement, int side) const;
    // The label of the cell holding `position` along the axis, as drawn; at a precision of 5
    // or more numbered labels gain the division digit within the cell. Positions outside the
    // owner's rectangle, or a span that is not positive, answer the empty string.
    QString refStringForPositionWithPrecision(double position, quint64 precision) const;
    // The number of labelled lines past the first: ceil(extent / span); none when the span is
    // not positive or the edge would hold more than kMaximumLabelCount labels.
    std::optional<int> maximumElement() const;
    // The margin strip of an edge, between the bands and the drawing's edge.
    QRectF boundsForEdge(int edge) const override;
    double maxWidthNeeded() const;

    // --- Settings and archive ----------------------------------------------------------------
    // Keys by orientation (GridSettingsKeys.h); missing entries read 0, NO or no attributes.
    void applySettings(const QVariantMap& settings);
    QVariantMap settings() const;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    // Damaged values are read as the setters would store them.
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    struct PlacedLabel {
        QString text;
        QRectF rect;
    };
    std::optional<PlacedLabel> placedLabel(quint64 element, quint64 maxElement, int side) const;
    QSizeF sizeOfText(const QString& text) const;
    void drawPlacedLabel(const PlacedLabel& label) const;
    double extent() const;

    platform::TextAttributes m_textAttributes;
    std::shared_ptr<const platform::NumberFormatter> m_formatter;
    int m_placement = kOnLines;
    int m_kind = kNumbers;
    quint64 m_startingOffset = 0;
    quint64 m_increment = 1;
    quint64 m_digits = 2;
    quint64 m_labelSkipInterval = 1;
    double m_offset = 5.0;
    bool m_orientationIsVertical = false;
    bool m_isRotated = false;
    bool m_isReversed = false;

    // Label sizes by text, for the current attributes. Only sizes: a laid-out text holds font
    // engines of the thread that laid it out, and tiles are drawn on threads that come and go.
    mutable QMutex m_sizesMutex;
    mutable QHash<QString, QSizeF> m_sizes;
};

using VXQGridAnnotationPtr = std::shared_ptr<VXQGridAnnotation>;
