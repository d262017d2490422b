#pragma once

// A stroke with arrow heads at its ends, optionally outlined, and optionally a dimension
// line: the path's length written along it. Heads are `arrowHeadLength` long from the tip
// back along the path and `arrowHeadWidth` across, filled in the stroke colour; the line is
// cut short under a head (trimLengthForKind) so it never shows through the tip.

#include "platform/vantrix/styles/VXStroke.h"

class QPainterPath;

class VXArrowStroke : public VXStroke {
    Q_OBJECT
    Q_PROPERTY(int arrowHeadAtStart READ arrowHeadAtStart WRITE setArrowHeadAtStart)
    Q_PROPERTY(int arrowHeadAtEnd READ arrowHeadAtEnd WRITE setArrowHeadAtEnd)
    Q_PROPERTY(double arrowHeadWidth READ arrowHeadWidth WRITE setArrowHeadWidth)
    Q_PROPERTY(double arrowHeadLength READ arrowHeadLength WRITE setArrowHeadLength)
    Q_PROPERTY(QColor outlineColour READ outlineColour WRITE setOutlineColour)
    Q_PROPERTY(double outlineWidth READ outlineWidth WRITE setOutlineWidth)
    Q_PROPERTY(int dimensioningLineOptions READ dimensioningLineOptions WRITE setDimensioningLineOptions)
    Q_PROPERTY(int dimensionTextKind READ dimensionTextKind WRITE setDimensionTextKind)
    Q_PROPERTY(int dimensionToleranceOption READ dimensionToleranceOption WRITE setDimensionToleranceOption)
    Q_PROPERTY(double dimensionTolerance READ dimensionTolerance WRITE setDimensionTolerance)
    Q_CLASSINFO("actionName:arrowHeadAtStart", "Arrow Head Kind")
    Q_CLASSINFO("actionName:arrowHeadAtEnd", "Arrow Tail Kind")
    Q_CLASSINFO("actionName:arrowHeadWidth", "Arrow Head Width")
    Q_CLASSINFO("actionName:arrowHeadLength", "Arrow Head Length")
    Q_CLASSINFO("actionName:outlineColour", "Arrow Outline Colour")
    Q_CLASSINFO("actionName:outlineWidth", "Arrow Outline Width")
    Q_CLASSINFO("actionName:dimensioningLineOptions", "Dimension Options")
    Q_CLASSINFO("actionName:dimensionTextKind", "Dimension Text")
    Q_CLASSINFO("actionName:dimensionToleranceOption", "Dimension Tolerance")
    Q_CLASSINFO("actionName:dimensionTolerance", "Dimension Tolerance")

public:
    enum ArrowHeadKind {
        kArrowHeadNone = 0,
        kArrowHeadStandard = 1,  // a triangle
        kArrowHeadInflected = 2, // a triangle with a notched back
        kArrowHeadRound = 3,     // an oval
        kArrowHeadSquare = 4,
        kArrowHeadBar = 5, // a bar across the end, as on dimension lines
    };
    enum DimensioningLineOptions {
        kDimensionNone = 0,
        kDimensionTextAboveLine = 1,
        kDimensionTextInLine = 2, // the line breaks for the text
        kDimensionTextBelowLine = 3,
    };
    enum DimensionTextKind { kDimensionTextLength = 0, kDimensionTextLengthAndUnits = 1 };

    // Dimension text height, in drawing units.
    static constexpr double kDimensionTextSize = 10;

    // A standard head at the end, 12 long and 8 wide; no outline, no dimension.
    VXArrowStroke();

    QString displayName() const override;

    int arrowHeadAtStart() const { return m_arrowHeadAtStart; }
    void setArrowHeadAtStart(int kind); // values outside ArrowHeadKind are ignored
    int arrowHeadAtEnd() const { return m_arrowHeadAtEnd; }
    void setArrowHeadAtEnd(int kind);
    double arrowHeadWidth() const { return m_arrowHeadWidth; }
    void setArrowHeadWidth(double width); // negative values count as 0
    double arrowHeadLength() const { return m_arrowHeadLength; }
    void setArrowHeadLength(double length);
    // An invalid colour or a zero width draws no outline.
    QColor outlineColour() const { return m_outlineColour; }
    void setOutlineColour(const QColor& colour);
    double outlineWidth() const { return m_outlineWidth; }
    void setOutlineWidth(double width);
    int dimensioningLineOptions() const { return m_dimensioningLineOptions; }
    void setDimensioningLineOptions(int options);
    int dimensionTextKind() const { return m_dimensionTextKind; }
    void setDimensionTextKind(int kind);
    // 1 adds "± tolerance" to the dimension text, 0 leaves it out.
    int dimensionToleranceOption() const { return m_dimensionToleranceOption; }
    void setDimensionToleranceOption(int option);
    double dimensionTolerance() const { return m_dimensionTolerance; }
    void setDimensionTolerance(double tolerance);

    // How far before the end the line stops under a head of `kind`.
    double trimLengthForKind(int kind) const;
    // The dimension text for a path of `length` drawing units.
    QString dimensionTextForLength(double length) const;

    // Dimensions are written in these units (points per unit and abbreviation); the drawing
    // sets them when its units change. Points ("pt") until then.
    static void setDimensionUnits(double pointsPerUnit, const QString& abbreviation);

    void render(const VXRenderable& object) const override;
    QSizeF extraSpaceNeeded() const override;

private:
    // A head of `kind` with its tip at `tip`, pointing in direction `angle` (radians).
    QPainterPath headPath(int kind, QPointF tip, double angle) const;
    // The text as a filled shape placed along the path, and the gap the line leaves for it.
    QPainterPath dimensionTextPath(const platform::BezierPath& path, QPainterPath* gap) const;

    int m_arrowHeadAtStart = kArrowHeadNone;
    int m_arrowHeadAtEnd = kArrowHeadStandard;
    double m_arrowHeadWidth = 8;
    double m_arrowHeadLength = 12;
    QColor m_outlineColour;
    double m_outlineWidth = 0;
    int m_dimensioningLineOptions = kDimensionNone;
    int m_dimensionTextKind = kDimensionTextLength;
    int m_dimensionToleranceOption = 0;
    double m_dimensionTolerance = 0.5;
};

using VXArrowStrokePtr = std::shared_ptr<VXArrowStroke>;
