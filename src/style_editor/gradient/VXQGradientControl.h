#pragma once

// Edits the colour stops of a gradient: a bar painted with the gradient, one swatch per stop.
// Swatches are clicked to select (the shared colour panel then edits the stop through an
// invisible proxy well), dragged along the bar (Shift: whole percents), dragged well away to
// remove the stop (never below two), and colours dropped on the bar recolour a stop or add
// one. Every change is reported through the target and action, as a control does; the target
// then reads `gradient`, rebuilt from the stops.
//
// Stops keep the order they were added in, not their positions. Overlapping swatches share
// the bar's height, the first in stop order on top. A control too small to have an interior
// maps no point to a position, so the mouse changes nothing there.

#include "platform/vantrix/styles/VXGradient.h"
#include "style_editor/gradient/VXQColourStop.h"
#include "style_editor/gradient/VXQProxyColourWell.h"
#include "platform/ui/Menu.h"

#include <QCursor>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

class ZQInfoFloater;

class VXQGradientControl : public QWidget {
    Q_OBJECT

public:
    // How drawStopInRectState paints a swatch.
    enum StopState { kStopNormal = 0, kStopPressed = 1, kStopSelected = 2 };
    static constexpr double kSwatchWidth = 17;

    explicit VXQGradientControl(QWidget* parent = nullptr);
    ~VXQGradientControl() override;

    // --- The gradient ------------------------------------------------------------------------
    // Built from the stops when first asked for after a change; null with fewer than 2 stops.
    VXGradientPtr gradient() const;
    // Ignored while the control sends its action and for the gradient already held; otherwise
    // the stops are made anew from the gradient's and the selection goes.
    void setGradient(const VXGradientPtr& gradient);
    const QList<VXQColourStopPtr>& stops() const { return m_stops; }

    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    QByteArray action() const { return m_action; }
    void setAction(const QByteArray& action) { m_action = action; }
    bool showsPositionInfo() const { return m_showsInfo; }
    void setShowsPositionInfo(bool shows) { m_showsInfo = shows; }
    void sendAction();

    // --- Geometry ----------------------------------------------------------------------------
    // The bounds inset by 9 across and 1 down: positions 0 to 1 span its width.
    QRectF interior() const;
    // The interior widened by 8 each side: where the gradient shows.
    QRectF bar() const;
    QRectF swatchBoxAtPosition(double position) const;
    // The position under x, clamped to 0..1; none while the control has no interior.
    std::optional<double> relativeXWithPoint(QPointF point) const;
    // The bounds grown by 32 across and 7 down: a stop dragged beyond it is removed.
    QRectF safeZone() const;
    // One box per stop, in stop order, overlapping ones sharing the height.
    const QList<QRectF>& allSwatchBoxes() const;
    QRectF swatchRectForStop(const VXQColourStop* stop) const;
    void invalidate();

    // --- Stops ---------------------------------------------------------------------------------
    VXQColourStop* stopAtPoint(QPointF point) const;
    // The gradient's colour under the point; invalid without a gradient or an interior.
    QColor colorAtPoint(QPointF point) const;
    // Recolours the stop under the point unless forced or no colour is given; otherwise adds a
    // stop there in the colour (or the gradient's colour there, or white). Sends the action.
    VXQColourStop* addColorStopAtPointForceNew(const QColor& colour, QPointF point, bool forceNew);
    VXQColourStop* addColorStopAtPoint(const QColor& colour, QPointF point);
    void removeColorStopAtPoint(QPointF point);

    VXQColourStop* selectedStop() const { return m_selectedStop.get(); }
    // A stop becomes the colour panel's, through the proxy well; none lets the panel go.
    void setSelectedStop(VXQColourStop* stop);
    void setColorOfSelectedStop(const QColor& colour);
    // The proxy well lost the panel to another well.
    Q_INVOKABLE void deactivate();
    // The selected stop takes the sender's colour (proxy well or colour panel).
    Q_INVOKABLE void changeColor(QObject* sender);

    // --- Commands ------------------------------------------------------------------------------
    QPointF stopInsertHint() const { return m_stopInsertHint; }
    void setStopInsertHint(QPointF hint) { m_stopInsertHint = hint; }
    Q_INVOKABLE void newStop(QObject* sender);
    Q_INVOKABLE void removeStop(QObject* sender);
    Q_INVOKABLE void flip(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);
    platform::Menu* stopMenu() const { return m_menu; }

    // --- Drawing and cursors ---------------------------------------------------------------------
    void drawStopInRectState(QPainter& painter, const VXQColourStop& stop, const QRectF& box, StopState state) const;
    void drawStopsInRect(QPainter& painter, const QRectF& dirty) const;
    // The stop drawn at rest in an image of a swatch's size.
    QImage dragImageForStop(const VXQColourStop& stop) const;
    // The stop's image, half opaque, over the disappearing-item cursor; made once per stop.
    QCursor makeCursorForDeletingStop(const VXQColourStop* stop);
    // Whether a stop let go at the point stays (inside the safe zone, or 2 stops or fewer);
    // sets the arrow or the deletion cursor to match.
    bool setCursorInSafeLocation(QPointF point);
    void updateInfoWithPosition(double position);
    VXQColourStop* deletionCandidate() const { return m_deletionCandidate.get(); }
    ZQInfoFloater* infoWindow() const { return m_infoWin.get(); }
    VXQProxyColourWell* proxyColourWell() const { return m_proxyColourWell; }

    QSize sizeHint() const override { return {200, 20}; }

Q_SIGNALS:
    // Around a drag of a stop, so its edits can be one step.
    void trackingDidBegin();
    void trackingDidEnd();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    VXQColourStopPtr retained(const VXQColourStop* stop) const;
    void removeStopAndSendAction(VXQColourStopPtr stop);
    bool mayRemoveStops() const { return m_stops.size() > 2; }

    QList<VXQColourStopPtr> m_stops;
    mutable std::optional<QList<QRectF>> m_swatchBoxes;
    mutable VXGradientPtr m_gradient;
    VXQColourStopPtr m_dragStop;
    VXQColourStopPtr m_selectedStop;
    VXQColourStopPtr m_deletionCandidate;
    std::unique_ptr<ZQInfoFloater> m_infoWin;
    QPointer<VXQProxyColourWell> m_proxyColourWell;
    QPointer<platform::Menu> m_menu;
    QPointF m_stopInsertHint;
    QPointer<QObject> m_target;
    QByteArray m_action;
    QCursor m_deletionCursor;
    const VXQColourStop* m_deletionCursorStop = nullptr;
    bool m_stopWasDragged = false;
    bool m_mouseDownInStop = false;
    bool m_showsInfo = true;
    bool m_sendingAction = false;
    bool m_dragHilite = false;
};
