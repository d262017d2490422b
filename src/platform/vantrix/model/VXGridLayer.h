#pragma once

// Graph paper over the drawing's interior: division lines, heavier span lines every
// `divisions` divisions and major lines every `majors` spans. A span is `spanMultiplier`
// drawing units long and `spanDistance` points on the page, which also makes the grid the
// scale between page points and grid distances. Snapping pulls points to the nearest
// division intersection. Grids neither print nor become active by default. The grid area is
// outlined by a border line (drawBorderInContext, which subclasses replace).

#include "platform/measurement/ZQUnitLength.h"
#include "platform/vantrix/model/VXLayer.h"

class VXGridLayer : public VXLayer {
    Q_OBJECT
    Q_PROPERTY(double spanDistance READ spanDistance WRITE setSpanDistance)
    Q_PROPERTY(int divisions READ divisions WRITE setDivisions)
    Q_PROPERTY(int majors READ majors WRITE setMajors)
    Q_PROPERTY(double spanMultiplier READ spanMultiplier WRITE setSpanMultiplier)
    Q_PROPERTY(int rulerSteps READ rulerSteps WRITE setRulerSteps)
    Q_PROPERTY(double divisionDistance READ divisionDistance STORED false)
    Q_PROPERTY(QColor spanColour READ spanColour WRITE setSpanColour)
    Q_PROPERTY(QColor divisionColour READ divisionColour WRITE setDivisionColour)
    Q_PROPERTY(QColor majorColour READ majorColour WRITE setMajorColour)
    Q_PROPERTY(bool divisionsHidden READ divisionsHidden WRITE setDivisionsHidden)

public:
    VXGridLayer();
    ~VXGridLayer() override;

    double spanDistance() const { return m_spanDistance; }
    void setSpanDistance(double points);
    int divisions() const { return m_divisions; }
    void setDivisions(int divisions);
    int majors() const { return m_majors; }
    void setMajors(int majors);
    double spanMultiplier() const { return m_spanMultiplier; }
    // A span of more units is longer on the page: the points per unit stay.
    void setSpanMultiplier(double units);
    int rulerSteps() const { return m_rulerSteps; }
    void setRulerSteps(int steps);
    double divisionDistance() const { return m_spanDistance / m_divisions; }

    void setSpanDivisionsMajorsRulerSteps(double spanDistance, int divisions, int majors, int rulerSteps);
    // Sets the drawing's units too: `unitSpan` points make one unit, a span is `span` units.
    void setDistanceForUnitSpanDrawingUnitsSpanDivisionsMajorsRulerSteps(double unitSpan, const ZQUnitLengthPtr& units,
                                                                         double span, int divisions, int majors,
                                                                         int rulerSteps);
    // Widens the drawing's margins so the interior holds a whole number of spans each way.
    void tweakDrawingMargins();

    QColor spanColour() const { return m_spanColour; }
    void setSpanColour(const QColor& colour);
    QColor divisionColour() const { return m_divisionColour; }
    void setDivisionColour(const QColor& colour);
    QColor majorColour() const { return m_majorColour; }
    void setMajorColour(const QColor& colour);
    // Only span and major lines draw while the divisions are hidden; snapping still uses them.
    bool divisionsHidden() const { return m_divisionsHidden; }
    void setDivisionsHidden(bool hidden);
    // One colour from which the three line colours are made.
    QColor themeColour() const { return m_spanColour.toRgb(); }
    void setGridThemeColour(const QColor& colour);

    // Page points for a distance in grid (drawing) units, and back.
    double quartzDistanceForGridDistance(double gridDistance) const;
    double gridDistanceForQuartzDistance(double points) const;
    // Grid locations are drawing units from the interior's top left.
    QPointF pointForGridLocation(QPointF gridLocation) const;
    QPointF gridLocationForPoint(QPointF point) const;
    virtual QPointF nearestGridIntersectionToPoint(QPointF point) const;

    // The grid the drawing's snapping goes by when it holds several (VXDrawing::gridLayer).
    virtual bool isMasterGrid() const { return true; }
    // Forgets what drawing passes keep of the grid and redraws it; call after fields change
    // behind the setters' backs.
    virtual void invalidateCache();

    bool layerMayBecomeActive() const override { return false; }
    // "centimetres, 10 divs, cartesian".
    QString auxiliaryInfoString() const override;
    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override;
    QString iconName() const override;
    // The word ending the info line.
    virtual QString gridKindName() const;
    void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const override;
    // The line round the grid area, in the major colour.
    virtual void drawBorderInContext(const QRectF& rect) const;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    // The grid's origin and extent on the page: the drawing's interior.
    QRectF gridArea() const;
    // A family of parallel lines through origin + k * step along `direction`, for every k
    // whose line crosses `clip`. Line k is a major line when k is a multiple of
    // divisions * majors, a span line when a multiple of divisions, else a division line;
    // lines that would crowd closer than two device pixels are left out.
    struct LineFamily {
        QPointF origin;
        QPointF step;
        QPointF direction;
    };
    void drawLineFamilies(const QList<LineFamily>& families, const QRectF& rect) const;
    // Stores the three as the setters would (clamped; the span follows the multiplier) but
    // without undo or change notices: for subclasses that apply many settings as one step.
    void assignSpanMultiplierDivisionsMajors(double spanMultiplier, int divisions, int majors);

private:
    double spanDistanceForMultiplier(double units) const;

    double m_spanDistance;
    int m_divisions = 10;
    int m_majors = 5;
    double m_spanMultiplier = 1;
    int m_rulerSteps = 2;
    QColor m_spanColour;
    QColor m_divisionColour;
    QColor m_majorColour;
    bool m_divisionsHidden = false;
};
