#pragma once

// One of the tracing sheet's two previews: the source image, or (without an image) the
// traced levels filled in order. Two linked views move and zoom together: a drag pans both,
// the wheel and the scale slider zoom both. The scale stays within [minImageScale, 10],
// where the minimum makes the image just cover the view, and the offset (the image point
// at the view's top left, in scaled units) stays within the image's scaled extent. A view
// without an image clamps by its linked view's.

#include "platform/vantrix/tracing/ImageTracing.h"

#include <QImage>
#include <QPointer>
#include <QSlider>
#include <QWidget>


class QVNVectorizingPreviewView : public QWidget {
    Q_OBJECT

public:
    static constexpr double kMaximumImageScale = 10.0;
    // The scale slider's integer value is the scale in hundredths.
    static constexpr int kScaleSliderUnitsPerScale = 100;

    explicit QVNVectorizingPreviewView(QWidget* parent = nullptr);

    QVNVectorizingPreviewView* linkedView() const { return m_linkedView; }
    void setLinkedView(QVNVectorizingPreviewView* view) { m_linkedView = view; }
    QSlider* scaleSlider() const { return m_scaleSlider; }
    void setScaleSlider(QSlider* slider) { m_scaleSlider = slider; }

    const QList<platform::TracedLevel>& vectors() const { return m_vectors; }
    void setVectors(const QList<platform::TracedLevel>& vectors);
    QImage sourceImage() const { return m_sourceImage; }
    // A new image resets the offset and scale and sets the minimum scale (and the slider's).
    void setSourceImage(const QImage& image);
    QPointF imageOffset() const { return m_imageOrigin; }
    void setImageOffset(QPointF offset);
    double imageScale() const { return m_imageScale; }
    void setImageScale(double scale);
    double minImageScale() const { return m_minImageScale; }
    void setMinImageScale(double scale) { m_minImageScale = scale; }
    bool scaleToFit() const { return m_scaleToFit; }
    void setScaleToFit(bool flag) { m_scaleToFit = flag; }

    // The slider moved: values near 1 snap to 1; both views take the scale.
    Q_INVOKABLE void scaleAction(QObject* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void drawVectors(QPainter& painter) const;
    // The image the clamping follows: this view's, else the linked view's.
    const QVNVectorizingPreviewView* imageOwner() const;
    // Sets the scale here and on the linked view, as far as each allows.
    void setLinkedImageScale(double scale);

    QPointer<QVNVectorizingPreviewView> m_linkedView;
    QPointer<QSlider> m_scaleSlider;
    bool m_mouseDown = false;
    QPointF m_lastMouse;
    QList<platform::TracedLevel> m_vectors;
    QImage m_sourceImage;
    QPointF m_imageOrigin;
    bool m_scaleToFit = false;
    double m_imageScale = 1.0;
    double m_minImageScale = 0.0;
};
