#pragma once

// Mini controls: small controls that are not widgets. Each holds a rectangle in a host
// view's coordinates; the host draws them from its paintEvent and hands them its mouse and
// modifier events (ZQMiniControlHost does both). Controls live in clusters, which are
// controls themselves, so clusters nest. While a value is dragged an info floater shows it.
//
// Values are doubles within [minValue, maxValue]; a value that is NaN or infinite is ignored.
// A delegate (a QObject implementing ZQMiniControlDelegate, not owned) hears of changes; a
// control without one uses its cluster's. A delegate may remove or destroy controls and
// clusters from its callbacks: the control being called stays alive until it returns.

#include "platform/foundation/ZQObject.h"
#include "platform/ui/ModifierKeys.h"

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <memory>

class QPainter;
class QWidget;
class ZQInfoFloater;
class ZQMiniControl;
class ZQMiniControlCluster;
class ZQMiniRadialControl2;

// What a delegate hears; every operation is optional (the defaults do nothing).
class ZQMiniControlDelegate {
public:
    virtual ~ZQMiniControlDelegate() = default;
    // The old or new value as a float, or null for changes other than the value.
    virtual void miniControlWillChangeValue(ZQMiniControl* control, const QVariant& oldValue) {}
    virtual void miniControlDidChangeValue(ZQMiniControl* control, const QVariant& newValue) {}
    // The number the info floater shows in place of `value`.
    virtual double miniControlWillUpdateInfoWindowWithValue(ZQMiniControl* control, double value) { return value; }
    virtual void radialControlDidChangeRadius(ZQMiniRadialControl2* control, double radius) {}
    virtual void radialControlDidChangeCentre(ZQMiniRadialControl2* control, QPointF centre) {}
    // Redrawing for controls whose clusters have no host view.
    virtual void setNeedsDisplayInRect(const QRectF& rect) {}
};

class ZQMiniControl : public ZQObject {
    Q_OBJECT

public:
    // Parts answered by hitTestPoint and passed to the mouse operations.
    enum Part { kNoPart = 0, kBodyPart = -1, kKnobPart = 2, kIrisPart = 17, kTabPart = 18, kTargetPart = 24 };
    // Where the info floater goes: not shown, near the pointer, centred under the control.
    enum InfoWindowMode { kNoInfoWindow = 0, kInfoWindowNearPointer = 1, kInfoWindowCentred = 2 };

    explicit ZQMiniControl(const QRectF& bounds);
    ~ZQMiniControl() override;

    virtual QRectF bounds() const { return m_bounds; }
    virtual void setBounds(const QRectF& bounds) { m_bounds = bounds; }
    ZQMiniControlCluster* cluster() const;
    void setCluster(ZQMiniControlCluster* cluster);
    // The host view of the top-level cluster.
    virtual QWidget* view() const;

    QString identifier() const { return m_identifier; }
    // Also registers the control under the name in its cluster.
    void setIdentifier(const QString& identifier);

    // The own delegate, else the cluster's.
    virtual ZQMiniControlDelegate* delegate() const;
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    double value() const { return m_value; }
    // Clamps to the range; an equal value notifies nothing, a new one will and did once.
    virtual void setValue(double value);
    virtual double minValue() const { return m_minValue; }
    virtual void setMinValue(double minimum);
    virtual double maxValue() const { return m_maxValue; }
    virtual void setMaxValue(double maximum);

    // A grey of the theme (see the table in the .cpp) with `alpha` times its own factor;
    // invalid for an unknown index.
    static QColor miniControlThemeColorWithAlpha(int index, double alpha);
    // With the cluster's alpha (0 without a cluster).
    QColor themeColour(int index) const;

    virtual void draw(QPainter& painter) {}
    bool appliesShadow() const { return m_applyShadow; }
    // The shadow `shape` casts when shadows are on (black, 2 right and 2 down, blur 1), as
    // dense as the fill that casts it: a translucent body casts a faint shadow.
    void drawShadow(QPainter& painter, const QPainterPath& shape, const QColor& fill) const;

    void setNeedsDisplay() { setNeedsDisplayInRect(bounds()); }
    void setNeedsDisplayInRect(const QRectF& rect) const;

    virtual int hitTestPoint(QPointF point);
    virtual bool mouseDownAt(QPointF point, int part, platform::ModifierFlags flags);
    virtual bool mouseDraggedAt(QPointF point, int part, platform::ModifierFlags flags);
    virtual void mouseUpAt(QPointF point, int part, platform::ModifierFlags flags);
    virtual void flagsChanged(platform::ModifierFlags flags) {}

    int infoWindowMode() const { return m_infoWindowMode; }
    void setInfoWindowMode(int mode) { m_infoWindowMode = mode; }
    ZQInfoFloater* infoWindow() const { return m_infoWindow.get(); }
    // Nothing in mode 0. `format` (a number pattern such as "0.0°") replaces the floater's when given.
    void setupInfoWindowAtPointWithValueAndFormat(QPointF point, double value, const QString& format = {});
    void updateInfoWindowAtPointWithValue(QPointF point, double value);
    void hideInfoWindow();
    void setInfoWindowFormat(const QString& format);
    void setInfoWindowValue(double value);

    bool isNotifying() const { return m_isNotifying; }
    void notifyDelegateWillChange(const QVariant& object);
    void notifyDelegateDidChange(const QVariant& object);

protected:
    // Keeps the control alive across delegate calls that may release it; null for a
    // control no shared_ptr owns.
    std::shared_ptr<ZQObject> retainedSelf() { return weak_from_this().lock(); }
    // Runs a delegate call with the notifying flag set.
    template <typename Call> void notifying(Call call)
    {
        const bool was = std::exchange(m_isNotifying, true);
        call();
        m_isNotifying = was;
    }

private:
    QRectF m_bounds;
    QPointer<ZQMiniControlCluster> m_cluster;
    QString m_identifier;
    QPointer<QObject> m_delegate;
    std::unique_ptr<ZQInfoFloater> m_infoWindow;
    double m_value = 0;
    double m_minValue = 0;
    double m_maxValue = 1;
    int m_infoWindowMode = kNoInfoWindow;
    bool m_applyShadow = true;
    bool m_isNotifying = false;
};
