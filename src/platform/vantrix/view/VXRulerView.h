#pragma once

// A ruler along one edge of a drawing view's viewport. Ticks are in the drawing's units,
// counted from the top left of the drawing's interior, and follow the view's zoom and
// scroll: labelled ticks fall on round values (1, 2 or 5 times a power of ten) at least
// kMinimumLabelSpacing pixels apart, with finer ticks between them while those stay
// kMinimumTickSpacing apart.
//
// Markers show positions along the ruler (drawing coordinates on the ruler's axis): the
// edges and middle of a rectangle, and the pointer.

#include <QList>
#include <QPointer>
#include <QWidget>
#include <optional>

class VXDrawingView;

class VXRulerView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kThickness = 20;
    static constexpr double kMinimumLabelSpacing = 50;
    static constexpr double kMinimumTickSpacing = 5;

    VXRulerView(Qt::Orientation orientation, VXDrawingView* view);
    ~VXRulerView() override;

    Qt::Orientation orientation() const { return m_orientation; }

    struct Tick {
        double position; // pixels along the ruler
        double value;    // drawing units
        bool labelled;
    };
    // The ticks over the ruler's length, in order; none without a drawing.
    QList<Tick> ticks() const;
    // The distance in drawing units between labelled ticks at the view's zoom; 0 without a drawing.
    double labelStep() const;

    // Pixels along the ruler of a drawing coordinate on its axis.
    double positionOfCoordinate(double coordinate) const;

    QList<double> markerPositions() const { return m_markers; }
    void setMarkerPositions(const QList<double>& coordinates);
    std::optional<double> mousePosition() const { return m_mouse; }
    void setMousePosition(std::optional<double> coordinate);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The drawing coordinate on the ruler's axis shown at that many pixels along it.
    double coordinateAtPosition(double position) const;
    double length() const;
    // Where value 0 is, as a drawing coordinate on the ruler's axis.
    double originCoordinate() const;
    void drawTick(QPainter& painter, const Tick& tick, double height) const;
    void drawLabel(QPainter& painter, const Tick& tick, int decimals) const;
    void drawMarker(QPainter& painter, double position, const QColor& colour) const;

    Qt::Orientation m_orientation;
    QPointer<VXDrawingView> m_view;
    QList<double> m_markers;
    std::optional<double> m_mouse;
};
