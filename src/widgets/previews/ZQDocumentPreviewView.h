#pragma once

// A small picture of a page: a sheet of the document's proportions centred in the view, in the
// paper colour, with a soft shadow falling right and down, a thin dark frame and optionally a
// paper texture laid over it.

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QWidget>

class ZQDocumentPreviewView : public QWidget {
    Q_OBJECT

public:
    static constexpr double kShadowBlur = 6.0;
    static constexpr QPointF kShadowOffset{4, 4}; // right and down on screen

    // The aspect is the frame's size.
    explicit ZQDocumentPreviewView(const QRect& frame = QRect(0, 0, 200, 200), QWidget* parent = nullptr);

    QSizeF aspect() const { return m_aspect; }
    void setAspect(const QSizeF& aspect);
    double aspectRatio() const { return m_aspect.width() / m_aspect.height(); }
    QColor documentColour() const { return m_documentColour; }
    void setDocumentColour(const QColor& colour);
    // A pattern (a paper texture or picture) laid over the paper colour; NoBrush for none.
    QBrush documentTexture() const { return m_documentTexture; }
    void setDocumentTexture(const QBrush& texture) { m_documentTexture = texture; }
    // The setters below leave redrawing to the caller.
    QColor backgroundColour() const { return m_backgroundColour; }
    void setBackgroundColour(const QColor& colour);
    QImage contentImage() const { return m_contentImage; }
    void setContentImage(const QImage& image) { m_contentImage = image; }
    double inset() const { return m_inset; }
    void setInset(double inset) { m_inset = inset; }
    bool drawsShadow() const { return m_drawsShadow; }
    void setDrawsShadow(bool draws) { m_drawsShadow = draws; }

    bool isOpaque() const { return m_backgroundColour.isValid() && m_backgroundColour.alphaF() >= 1.0; }
    // The page in the view's coordinates, before pixel alignment.
    QRectF pageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_drawsShadow = true;
    QColor m_documentColour;
    QBrush m_documentTexture;
    QColor m_backgroundColour;
    QImage m_contentImage;
    double m_inset = 10.0;
    QSizeF m_aspect;
};
