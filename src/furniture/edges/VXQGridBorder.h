#pragma once

// The banded frame round an index grid, or the graduated bar of a scale bar: on each chosen
// edge a band `width` wide, `offset` outside the owner's rectangle, outlined in the stroke
// colour, filled, and when alternating with every other division (span / divisions) in a
// second colour starting at the left or top end. A thin tick crosses the band at every
// labelled line; extended markers let the ticks stick out 0.6 x width beyond the band, and
// the barred style adds a mark at every division and a centre line through every other one.
//
// Nothing is drawn of what would need a span or division length that is not a positive,
// finite number.

#include "furniture/edges/GridEdgeDecoration.h"
#include "platform/graphics/BezierPath.h"

#include <QColor>
#include <QLineF>

class VXQGridBorder : public GridEdgeDecoration {
    Q_OBJECT
    Q_PROPERTY(QColor fillColour READ fillColour WRITE setFillColour)
    Q_PROPERTY(QColor alternateFillColour READ alternateFillColour WRITE setAlternateFillColour)
    Q_PROPERTY(QColor strokeColour READ strokeColour WRITE setStrokeColour)
    Q_PROPERTY(double width READ width WRITE setWidth)
    Q_PROPERTY(double offset READ offset WRITE setOffset)
    Q_PROPERTY(int borderEdges READ borderEdges WRITE setBorderEdges)
    Q_PROPERTY(bool isAlternating READ isAlternating WRITE setIsAlternating)
    Q_PROPERTY(bool extendedMarkers READ extendedMarkers WRITE setExtendedMarkers)
    Q_PROPERTY(bool ordnanceSurveyStyleEnabled READ ordnanceSurveyStyleEnabled WRITE setOrdnanceSurveyStyleEnabled)

public:
    // Widths and offsets are kept within 0 ... this; values that are not numbers are ignored.
    static constexpr double kMaximumExtent = 1000;
    static constexpr double kTickWidth = 0.25;

    VXQGridBorder();
    ~VXQGridBorder() override;
    static std::shared_ptr<VXQGridBorder> defaultBorder();

    QColor fillColour() const { return m_fillColour; }
    void setFillColour(const QColor& colour);
    QColor alternateFillColour() const { return m_alternateFillColour; }
    void setAlternateFillColour(const QColor& colour);
    QColor strokeColour() const { return m_strokeColour; }
    void setStrokeColour(const QColor& colour);
    double width() const { return m_width; }
    void setWidth(double width);
    // The gap between the owner's rectangle and the band.
    double offset() const { return m_offset; }
    void setOffset(double offset);
    // kVXQGridEdge bits; other bits are dropped.
    int borderEdges() const { return m_borderEdges; }
    void setBorderEdges(int edges);
    bool isAlternating() const { return m_isAlternating; }
    void setIsAlternating(bool alternating);
    bool extendedMarkers() const { return m_extendedMarkers; }
    void setExtendedMarkers(bool extended);
    bool ordnanceSurveyStyleEnabled() const { return m_ordnanceSurveyStyleEnabled; }
    void setOrdnanceSurveyStyleEnabled(bool enabled);

    // --- Geometry (any code other than 2, 4 and 8 is the left edge) ------------------------
    // The band's centre line, from its left or top end.
    QLineF centreLineForEdge(int edge) const;
    // The band with its ticks, grown by 0.5 on every side.
    QRectF boundsForEdge(int edge) const override;
    // The ticks across the band at every labelled line (open line segments).
    platform::BezierPath tickPathForEdge(int edge) const;
    // The barred style's division marks and centre-line segments.
    platform::BezierPath osStylePathForEdge(int edge) const;
    // span / divisions; none unless a positive, finite number.
    std::optional<double> divisionLength() const;

    // --- Drawing ---------------------------------------------------------------------------
    void drawInRect(const QRectF& rect) const;
    void drawBorderEdgeInRect(int edge, const QRectF& rect) const;

    // --- Settings and archive (the stroke colour is in neither settings) -------------------
    void applySettings(const QVariantMap& settings);
    QVariantMap settings() const;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    // Damaged values are read as the setters would store them.
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    // Redraws the old and the new area of a change of extent.
    void changeExtent(const char* key, double& field, double value);
    // Outline, fill and alternate divisions along the centre line.
    void strokeBand(const QLineF& line) const;

    QColor m_fillColour;
    QColor m_alternateFillColour;
    QColor m_strokeColour;
    double m_width = 5.0;
    double m_offset = 2.0;
    int m_borderEdges = kVXQGridAllEdges;
    bool m_isAlternating = true;
    bool m_extendedMarkers = true;
    bool m_ordnanceSurveyStyleEnabled = false;
};

using VXQGridBorderPtr = std::shared_ptr<VXQGridBorder>;
