#pragma once

// A thin line along one edge of the view, aligned to device pixels: a vertical line at the
// left edge when the view is taller than wide, otherwise a horizontal one at the bottom.
// It never takes focus.

#include <QColor>
#include <QLineF>
#include <QWidget>

class ZQLineEdgeView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor lineColour READ lineColour WRITE setLineColour)
    Q_PROPERTY(double lineWidth READ lineWidth WRITE setLineWidth)

public:
    explicit ZQLineEdgeView(QWidget* parent = nullptr);

    QColor lineColour() const { return m_lineColour; }
    void setLineColour(const QColor& colour);
    double lineWidth() const { return m_lineWidth; }
    void setLineWidth(double width);

    // The line drawn in (pixel-aligned) `bounds`.
    static QLineF edgeLineInBounds(const QRectF& bounds);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_lineColour;
    double m_lineWidth = 0.5;
};
