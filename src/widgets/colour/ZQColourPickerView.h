#pragma once

// A colour picker: a 16 × 16 grid of web-safe swatches, or a colour wheel whose brightness
// the scroll wheel sets. Pressing and dragging picks; every change of the selection or the
// brightness sends the action to the target (null: along the responder chain), so a caller
// follows the colour live. Moving off the swatches or off the wheel reports the colour for
// an undefined selection, normally the caller's starting colour. Holding Alt (Option) shows
// the other mode while held.
//
// Keys: the arrows move the swatch selection, Escape drops the selection (reporting the
// starting colour again).

#include "widgets/controls/ControlAction.h"

#include <QColor>
#include <QWidget>
#include <memory>

class ZQInfoFloater;

class ZQColourPickerView : public QWidget, public ControlAction {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color)

public:
    enum Mode { SwatchMode = 0, SpectrumMode = 1 };
    static constexpr int kSwatchColumns = 16;
    static constexpr int kSwatchRows = 16;
    // Wheel notches of brightness change per unit of brightness.
    static constexpr float kBrightnessScrollDivisor = 150.0f;
    static constexpr QPointF kNoSelection{-1, -1};

    explicit ZQColourPickerView(QWidget* parent = nullptr);
    ~ZQColourPickerView() override;

    bool showsInfo() const { return m_showsInfo; }
    void setShowsInfo(bool flag) { m_showsInfo = flag; }

    int mode() const { return m_mode; }
    // Also the mode Alt returns to.
    void setMode(int mode);

    QColor colorForUndefinedSelection() const { return m_nonSelectColour; }
    // Keeps an RGB copy and takes its brightness. An invalid colour is ignored.
    void setColorForUndefinedSelection(const QColor& colour);

    double brightness() const { return m_bright; }
    // Clamped to 0..1 (NaN is ignored); a change redraws and, in spectrum mode, sends.
    void setBrightness(double brightness);

    // The selected colour: the swatch or wheel point selected, else the undefined-selection
    // colour. Invalid when the swatch list is empty.
    QColor color() const;
    // Swatch column and row, or the wheel point, selected; kNoSelection for none.
    QPointF selection() const { return m_sel; }

    QColor colorForSwatchXY(int x, int y) const;
    // The swatch under a point, kNoSelection outside the view.
    QPointF swatchAtPoint(const QPointF& point) const;
    // The area to redraw for a selection of the current mode.
    QRectF rectForSwatch(const QPointF& selection) const;
    QColor colorForSpectrumPoint(const QPointF& point) const;
    QPointF pointForSpectrumColor(const QColor& colour) const;
    bool pointIsInColourwheel(const QPointF& point) const;
    QRectF rectForSpectrumPoint(const QPointF& point) const;
    // Where swatch (x, y) is drawn.
    QRectF swatchDrawingRect(int x, int y) const;

    // Alt held shows the other mode; released, the mode set last.
    void flagsChanged(Qt::KeyboardModifiers modifiers);
    // Picks at a point as a drag does.
    void mouseDragged(const QPointF& point);

    ZQInfoFloater* infoFloater() const { return m_infWin.get(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void drawSwatches(QPainter& painter, const QRectF& dirty) const;
    void drawSpectrum(QPainter& painter, const QRectF& dirty) const;
    void select(const QPointF& selection);
    void moveSwatchSelection(int dx, int dy);
    void updateInfoAtPoint(const QPointF& point);
    void sendToTarget();

    QColor m_nonSelectColour;
    std::unique_ptr<ZQInfoFloater> m_infWin;
    int m_mode = SpectrumMode;
    int m_originalMode = SpectrumMode;
    QPointF m_sel = kNoSelection;
    double m_bright = 1.0;
    bool m_showsInfo = true;
};
