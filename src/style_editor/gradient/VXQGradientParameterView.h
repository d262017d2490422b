#pragma once

// A preview of a gradient fill on which mini controls edit its geometry: an angle dial for a
// linear gradient, a start ring and an end ring (centre and radius) for a radial one; other
// types show no controls. A location (0, 0) is the view's centre and ±0.5 its edges; a radius
// of 1 is the view's larger side. A view with no width or height writes nothing.

#include "platform/vantrix/styles/VXGradientFill.h"
#include "widgets/minicontrols/ZQMiniControl.h"

#include <QWidget>
#include <optional>

class ZQMiniCircularSlider;
class ZQMiniControlCluster;
class ZQMiniRadialControl2;

// What the view edits. It reads the fill and writes its keys through writeFillValueForKeyPath;
// the setters are the owner's display setters for those keys.
class VXQGradientParameterViewDelegate {
public:
    virtual ~VXQGradientParameterViewDelegate() = default;
    virtual VXGradientFill* gradientFill() = 0;
    virtual void setGradientAngle(double angle) = 0;
    virtual void setStartingLocation(QPointF location) = 0;
    virtual void setEndingLocation(QPointF location) = 0;
    virtual void setStartingRadius(double radius) = 0;
    virtual void setEndingRadius(double radius) = 0;
    // Sets the fill's key; an owner with an undo manager and observers of its own overrides it.
    virtual void writeFillValueForKeyPath(const QVariant& value, const QString& keyPath);
};

class VXQGradientParameterView : public QWidget, public ZQMiniControlDelegate {
    Q_OBJECT

public:
    static constexpr double kEndRingRadiusScale = 0.8;
    static constexpr double kAngleDialInset = 8;

    explicit VXQGradientParameterView(QWidget* parent = nullptr);
    ~VXQGradientParameterView() override;

    VXQGradientParameterViewDelegate* controller() const { return m_controller; }
    void setController(VXQGradientParameterViewDelegate* controller) { m_controller = controller; }

    // Puts the controls where the fill says. A disabled view shows no controls.
    void updateFromController();
    bool disableUpdates() const { return m_disableUpdates; }

    // The mapping between the fill's relative geometry and the view; none for an empty view.
    std::optional<QPointF> locationForPoint(QPointF point) const;
    QPointF pointForLocation(QPointF location) const;
    std::optional<double> relativeRadiusForRadius(double radius) const;

    ZQMiniRadialControl2* startRing() const { return m_startRing.get(); }
    ZQMiniRadialControl2* endRing() const { return m_endRing.get(); }
    ZQMiniCircularSlider* angleRing() const { return m_angleRing.get(); }
    // The controls of the fill's type; null for a type without controls.
    ZQMiniControlCluster* activeCluster() const;

    void miniControlDidChangeValue(ZQMiniControl* control, const QVariant& newValue) override;
    void radialControlDidChangeRadius(ZQMiniRadialControl2* control, double radius) override;
    void radialControlDidChangeCentre(ZQMiniRadialControl2* control, QPointF centre) override;
    void setNeedsDisplayInRect(const QRectF& rect) override;

    QSize sizeHint() const override { return {200, 120}; }

Q_SIGNALS:
    // Around a mouse gesture on the controls, so its edits can be one step.
    void trackingDidBegin();
    void trackingDidEnd();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void write(const QVariant& value, const QString& keyPath);
    void flagsChanged(Qt::KeyboardModifiers modifiers);

    VXQGradientParameterViewDelegate* m_controller = nullptr;
    std::shared_ptr<ZQMiniControlCluster> m_cluster;
    std::shared_ptr<ZQMiniControlCluster> m_linearCluster;
    std::shared_ptr<ZQMiniRadialControl2> m_startRing;
    std::shared_ptr<ZQMiniRadialControl2> m_endRing;
    std::shared_ptr<ZQMiniCircularSlider> m_angleRing;
    ZQMiniControlCluster* m_trackingCluster = nullptr;
    bool m_disableUpdates = false;
};
