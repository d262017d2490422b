#include "style_editor/gradient/VXQGradientParameterView.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/ModifierKeys.h"
#include "widgets/colour/ColourSwatch.h"
#include "widgets/minicontrols/ZQMiniControlCluster.h"
#include "widgets/minicontrols/ZQMiniRadialControl2.h"
#include "widgets/minicontrols/ZQMiniSlider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>

void VXQGradientParameterViewDelegate::writeFillValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    if (VXGradientFill* fill = gradientFill())
        fill->setValueForKey(value, keyPath);
}

VXQGradientParameterView::VXQGradientParameterView(QWidget* parent)
    : QWidget(parent)
    , m_cluster(std::make_shared<ZQMiniControlCluster>())
    , m_linearCluster(std::make_shared<ZQMiniControlCluster>())
{
    const QRectF bounds{QPointF(), QSizeF(size())};
    for (ZQMiniControlCluster* cluster : {m_cluster.get(), m_linearCluster.get()}) {
        cluster->setDelegate(this);
        cluster->setView(this);
    }
    m_startRing = makeMiniControl<ZQMiniRadialControl2>(m_cluster.get(), bounds);
    m_endRing = makeMiniControl<ZQMiniRadialControl2>(m_cluster.get(), bounds);
    m_endRing->setRingRadiusScale(float(kEndRingRadiusScale));
    m_endRing->setBounds(bounds);
    m_angleRing = makeMiniControl<ZQMiniCircularSlider>(m_linearCluster.get(), bounds);
    setFocusPolicy(Qt::ClickFocus);
}

VXQGradientParameterView::~VXQGradientParameterView() = default;

void VXQGradientParameterView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

ZQMiniControlCluster* VXQGradientParameterView::activeCluster() const
{
    const VXGradientFill* fill = m_controller ? m_controller->gradientFill() : nullptr;
    if (!fill)
        return nullptr;
    switch (fill->gradientType()) {
    case VXGradientFill::kLinearGradient:
        return m_linearCluster.get();
    case VXGradientFill::kRadialGradient:
        return m_cluster.get();
    default:
        return nullptr;
    }
}

// --- Geometry -------------------------------------------------------------------------------------------------

std::optional<QPointF> VXQGradientParameterView::locationForPoint(QPointF point) const
{
    const QRectF bounds = rect();
    if (bounds.isEmpty())
        return std::nullopt;
    return QPointF((point.x() - bounds.x()) / bounds.width() - 0.5, (point.y() - bounds.y()) / bounds.height() - 0.5);
}

QPointF VXQGradientParameterView::pointForLocation(QPointF location) const
{
    return QPointF((location.x() + 0.5) * width(), (location.y() + 0.5) * height());
}

std::optional<double> VXQGradientParameterView::relativeRadiusForRadius(double radius) const
{
    const double larger = std::max(width(), height());
    if (rect().isEmpty())
        return std::nullopt;
    return radius / larger;
}

void VXQGradientParameterView::updateFromController()
{
    VXGradientFill* fill = m_controller ? m_controller->gradientFill() : nullptr;
    if (!fill)
        return;
    {
        const QScopedValueRollback<bool> quiet(m_disableUpdates, true);
        const double larger = std::max(width(), height());
        m_startRing->setCentre(pointForLocation(fill->startingLocation()));
        m_startRing->setRadius(float(fill->startingRadius() * larger));
        m_startRing->setTabColor(fill->colourAtStopIndex(0));
        m_endRing->setCentre(pointForLocation(fill->endingLocation()));
        m_endRing->setRadius(float(fill->endingRadius() * larger));
        m_endRing->setTabColor(fill->colourAtStopIndex(fill->numberOfColours() - 1));
        m_angleRing->setValue(fill->gradientAngle());
    }
    update();
}

// --- Edits from the controls -------------------------------------------------------------------------------------

void VXQGradientParameterView::write(const QVariant& value, const QString& keyPath)
{
    if (m_controller)
        m_controller->writeFillValueForKeyPath(value, keyPath);
    update();
}

void VXQGradientParameterView::miniControlDidChangeValue(ZQMiniControl* control, const QVariant&)
{
    if (!m_disableUpdates && control == m_angleRing.get())
        write(m_angleRing->value(), QStringLiteral("gradientAngle"));
}

void VXQGradientParameterView::radialControlDidChangeRadius(ZQMiniRadialControl2* control, double radius)
{
    if (m_disableUpdates)
        return;
    if (const std::optional<double> relative = relativeRadiusForRadius(radius))
        write(*relative, control == m_startRing.get() ? QStringLiteral("startingRadius") : QStringLiteral("endingRadius"));
}

void VXQGradientParameterView::radialControlDidChangeCentre(ZQMiniRadialControl2* control, QPointF centre)
{
    if (m_disableUpdates)
        return;
    if (const std::optional<QPointF> location = locationForPoint(centre))
        write(*location, control == m_startRing.get() ? QStringLiteral("startingLocation") : QStringLiteral("endingLocation"));
}

void VXQGradientParameterView::setNeedsDisplayInRect(const QRectF& rect)
{
    update(rect.toAlignedRect());
}

// --- Events ------------------------------------------------------------------------------------------------------

void VXQGradientParameterView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QRectF bounds{QPointF(), QSizeF(size())};
    m_startRing->setBounds(bounds);
    m_endRing->setBounds(bounds);
    m_angleRing->setBounds(bounds.adjusted(kAngleDialInset, kAngleDialInset, -kAngleDialInset, -kAngleDialInset));
    updateFromController();
}

void VXQGradientParameterView::mousePressEvent(QMouseEvent* event)
{
    ZQMiniControlCluster* cluster = event->button() == Qt::LeftButton ? activeCluster() : nullptr;
    if (!cluster) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_trackingCluster = cluster;
    Q_EMIT trackingDidBegin();
    cluster->mouseDownAt(event->position(), ZQMiniControl::kBodyPart, platform::modifierFlagsFromQt(event->modifiers()));
    update();
}

void VXQGradientParameterView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_trackingCluster)
        return;
    m_trackingCluster->mouseDraggedAt(event->position(), ZQMiniControl::kBodyPart,
                                      platform::modifierFlagsFromQt(event->modifiers()));
    update();
}

void VXQGradientParameterView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_trackingCluster || event->button() != Qt::LeftButton)
        return;
    ZQMiniControlCluster* cluster = std::exchange(m_trackingCluster, nullptr);
    cluster->mouseUpAt(event->position(), ZQMiniControl::kBodyPart, platform::modifierFlagsFromQt(event->modifiers()));
    update();
    Q_EMIT trackingDidEnd();
}

void VXQGradientParameterView::keyPressEvent(QKeyEvent* event)
{
    flagsChanged(event->modifiers());
    QWidget::keyPressEvent(event);
}

void VXQGradientParameterView::keyReleaseEvent(QKeyEvent* event)
{
    flagsChanged(event->modifiers());
    QWidget::keyReleaseEvent(event);
}

void VXQGradientParameterView::flagsChanged(Qt::KeyboardModifiers modifiers)
{
    const platform::ModifierFlags flags = platform::modifierFlagsFromQt(modifiers);
    m_cluster->flagsChanged(flags);
    m_linearCluster->flagsChanged(flags);
    update();
}

void VXQGradientParameterView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), chequeredPatternBrush(devicePixelRatioF()));
    const QRectF bounds = rect();
    if (VXGradientFill* fill = m_controller ? m_controller->gradientFill() : nullptr) {
        painter.save();
        {
            const platform::GraphicsContext::Scope context(&painter, true, true);
            fill->drawInRectAngle(bounds, 0);
        }
        painter.restore();
        if (ZQMiniControlCluster* cluster = isEnabled() ? activeCluster() : nullptr) {
            painter.setRenderHint(QPainter::Antialiasing);
            cluster->draw(painter);
            const QPointF centre = bounds.center();
            painter.setPen(QPen(Qt::cyan, 0.5));
            painter.drawLine(centre - QPointF(5, 0), centre + QPointF(5, 0));
            painter.drawLine(centre - QPointF(0, 5), centre + QPointF(0, 5));
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::gray, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5));
}
