#include "widgets/minicontrols/ZQMiniControl.h"

#include "platform/graphics/ColourUtilities.h"
#include "platform/ui/ZQInfoFloater.h"
#include "widgets/minicontrols/ZQMiniControlCluster.h"
#include "widgets/paint/DropShadow.h"

#include <QWidget>
#include <algorithm>
#include <cmath>
#include <iterator>

ZQMiniControl::ZQMiniControl(const QRectF& bounds)
    : m_bounds(bounds),
      m_infoWindow(ZQInfoFloater::infoFloater())
{
}

ZQMiniControl::~ZQMiniControl() = default;

ZQMiniControlCluster* ZQMiniControl::cluster() const { return m_cluster; }

void ZQMiniControl::setCluster(ZQMiniControlCluster* cluster) { m_cluster = cluster; }

QWidget* ZQMiniControl::view() const { return m_cluster ? m_cluster->view() : nullptr; }

void ZQMiniControl::setIdentifier(const QString& identifier)
{
    m_identifier = identifier;
    if (m_cluster)
        m_cluster->setControlForKey(this, identifier);
}

ZQMiniControlDelegate* ZQMiniControl::delegate() const
{
    if (auto* own = dynamic_cast<ZQMiniControlDelegate*>(m_delegate.data()))
        return own;
    return m_cluster ? m_cluster->delegate() : nullptr;
}

void ZQMiniControl::setValue(double value)
{
    if (!std::isfinite(value))
        return;
    if (minValue() > value)
        value = minValue();
    else if (value > maxValue())
        value = maxValue();
    if (value == m_value)
        return;
    const auto self = retainedSelf();
    notifyDelegateWillChange(float(m_value));
    m_value = value;
    notifyDelegateDidChange(float(m_value));
}

void ZQMiniControl::setMinValue(double minimum)
{
    if (!std::isfinite(minimum))
        return;
    m_minValue = minimum;
    if (minimum > m_value)
        setValue(minimum);
}

void ZQMiniControl::setMaxValue(double maximum)
{
    if (!std::isfinite(maximum))
        return;
    m_maxValue = maximum;
    if (m_value > maximum)
        setValue(maximum);
}

QColor ZQMiniControl::miniControlThemeColorWithAlpha(int index, double alpha)
{
    struct Theme {
        double grey;
        double factor;
    };
    // Light grey: bodies and fills; dark grey: outlines; grey: marker dots; white.
    static constexpr Theme kThemes[] = {{2.0 / 3, 0.33}, {1.0 / 3, 1.0}, {0.5, 0.5},
                                        {1.0, 0.67},     {2.0 / 3, 0.33}, {2.0 / 3, 0.67}};
    if (index < 0 || index >= int(std::size(kThemes)))
        return {};
    QColor colour = platform::rgbGrey(kThemes[index].grey);
    colour.setAlphaF(float(std::clamp(alpha * kThemes[index].factor, 0.0, 1.0)));
    return colour;
}

QColor ZQMiniControl::themeColour(int index) const
{
    return miniControlThemeColorWithAlpha(index, m_cluster ? m_cluster->alpha() : 0.0);
}

void ZQMiniControl::drawShadow(QPainter& painter, const QPainterPath& shape, const QColor& fill) const
{
    if (!m_applyShadow || fill.alpha() == 0)
        return;
    QColor shadow(Qt::black);
    shadow.setAlphaF(fill.alphaF());
    drawDropShadow(painter, shape, QPointF(2, 2), 1.0, shadow);
}

void ZQMiniControl::setNeedsDisplayInRect(const QRectF& rect) const
{
    if (QWidget* host = view())
        host->update(rect.toAlignedRect());
    else if (ZQMiniControlDelegate* told = delegate())
        told->setNeedsDisplayInRect(rect);
}

int ZQMiniControl::hitTestPoint(QPointF point) { return bounds().contains(point) ? kBodyPart : kNoPart; }

bool ZQMiniControl::mouseDownAt(QPointF point, int part, platform::ModifierFlags)
{
    if (part == kNoPart)
        return false;
    setupInfoWindowAtPointWithValueAndFormat(point, value());
    return true;
}

bool ZQMiniControl::mouseDraggedAt(QPointF point, int, platform::ModifierFlags)
{
    updateInfoWindowAtPointWithValue(point, value());
    return true;
}

void ZQMiniControl::mouseUpAt(QPointF, int, platform::ModifierFlags) { hideInfoWindow(); }

void ZQMiniControl::setupInfoWindowAtPointWithValueAndFormat(QPointF point, double value, const QString& format)
{
    if (m_infoWindowMode == kNoInfoWindow)
        return;
    if (!m_infoWindow)
        m_infoWindow = ZQInfoFloater::infoFloater();
    if (!format.isEmpty())
        m_infoWindow->setFormat(format);
    updateInfoWindowAtPointWithValue(point, value);
    if (m_infoWindow)
        m_infoWindow->show();
}

void ZQMiniControl::updateInfoWindowAtPointWithValue(QPointF point, double value)
{
    const auto self = retainedSelf();
    if (ZQMiniControlDelegate* told = delegate())
        value = told->miniControlWillUpdateInfoWindowWithValue(this, value);
    if (!m_infoWindow)
        return;
    m_infoWindow->setFloatValue(float(value));
    QWidget* host = view();
    if (m_infoWindowMode == kInfoWindowNearPointer && host) {
        m_infoWindow->positionNearPointInView(point, host);
    } else if (m_infoWindowMode == kInfoWindowCentred && host) {
        const QRectF area = bounds();
        const QPointF below(area.center().x() - m_infoWindow->width() / 2.0, area.bottom() + 2);
        m_infoWindow->move(host->mapToGlobal(below.toPoint()));
    }
}

void ZQMiniControl::hideInfoWindow()
{
    if (m_infoWindow)
        m_infoWindow->hide();
}

void ZQMiniControl::setInfoWindowFormat(const QString& format)
{
    if (m_infoWindow)
        m_infoWindow->setFormat(format);
}

void ZQMiniControl::setInfoWindowValue(double value)
{
    if (m_infoWindow)
        m_infoWindow->setFloatValue(float(value));
}

void ZQMiniControl::notifyDelegateWillChange(const QVariant& object)
{
    const auto self = retainedSelf();
    if (ZQMiniControlDelegate* told = delegate())
        notifying([&] { told->miniControlWillChangeValue(this, object); });
}

void ZQMiniControl::notifyDelegateDidChange(const QVariant& object)
{
    const auto self = retainedSelf();
    if (ZQMiniControlDelegate* told = delegate())
        notifying([&] { told->miniControlDidChangeValue(this, object); });
}
