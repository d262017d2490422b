#include "style_editor/panes/shadow/VLTMStyleEditSub_NSShadow.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ColourWell.h"

#include <QFormLayout>
#include <QScopedValueRollback>
#include <QSlider>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

QSlider* makeSlider(int maximum, QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(0, maximum);
    return slider;
}

} // namespace

QSizeF VLTMStyleEditSub_NSShadow::offsetForPolar(Polar polar, bool inverted)
{
    const double a = (polar.angleInDegrees - 90) / kDegrees;
    const double d = polar.distance;
    return {d * std::cos(a), (inverted ? -d : d) * std::sin(a)};
}

VLTMStyleEditSub_NSShadow::Polar VLTMStyleEditSub_NSShadow::polarForOffset(QSizeF offset, bool inverted)
{
    const double h = inverted ? -offset.height() : offset.height();
    double angle = std::atan2(h, offset.width()) * kDegrees + 90;
    if (angle < 0)
        angle += 360;
    if (angle > 360)
        angle -= 360;
    return {angle, std::hypot(h, offset.width())};
}

VLTMStyleEditSub_NSShadow::VLTMStyleEditSub_NSShadow(std::function<void(const VXShadowPtr&)> writer, QWidget* parent)
    : QWidget(parent)
    , m_writer(std::move(writer))
{
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    m_angle = makeSlider(360, this);
    m_offset = makeSlider(50, this);
    m_blur = makeSlider(50, this);
    m_well = new platform::ColourWell(this);
    m_well->setTarget(this);
    m_well->setAction("colourAction");
    form->addRow(tr("Angle"), m_angle);
    form->addRow(tr("Offset"), m_offset);
    form->addRow(tr("Blur"), m_blur);
    form->addRow(tr("Colour"), m_well);
    connect(m_angle, &QSlider::valueChanged, this, &VLTMStyleEditSub_NSShadow::offsetAction);
    connect(m_offset, &QSlider::valueChanged, this, &VLTMStyleEditSub_NSShadow::offsetAction);
    connect(m_blur, &QSlider::valueChanged, this,
            [this](int radius) { write([radius](VXShadow& shadow) { shadow.setBlurRadius(radius); }); });
    setShadowControlsEnabled(false);
}

void VLTMStyleEditSub_NSShadow::showShadow(const VXShadowPtr& shadow)
{
    m_shown = shadow;
    if (!shadow) {
        setShadowControlsEnabled(false);
        return;
    }
    // Showing is not editing: the sliders' changes write nothing meanwhile.
    const QScopedValueRollback<bool> showing(m_showing, true);
    const Polar polar = polarForOffset(shadow->offset(), m_inverted);
    m_angle->setValue(int(std::lround(polar.angleInDegrees)));
    m_offset->setValue(int(std::lround(polar.distance)));
    m_blur->setValue(int(std::lround(shadow->blurRadius())));
}

void VLTMStyleEditSub_NSShadow::setShadowControlsEnabled(bool enabled)
{
    for (QWidget* control : {static_cast<QWidget*>(m_angle), static_cast<QWidget*>(m_offset),
                             static_cast<QWidget*>(m_blur), static_cast<QWidget*>(m_well)})
        control->setEnabled(enabled);
    m_well->setColor(enabled && m_shown ? m_shown->colour() : QColor(Qt::transparent));
}

void VLTMStyleEditSub_NSShadow::offsetAction()
{
    const QSizeF offset = offsetForPolar({double(m_angle->value()), double(m_offset->value())}, m_inverted);
    write([offset](VXShadow& shadow) { shadow.setOffset(offset); });
}

void VLTMStyleEditSub_NSShadow::colourAction(QObject*)
{
    const QColor colour = m_well->color();
    write([colour](VXShadow& shadow) { shadow.setColour(colour); });
}

void VLTMStyleEditSub_NSShadow::write(const std::function<void(VXShadow&)>& change)
{
    if (!m_shown || m_showing)
        return;
    auto changed = std::static_pointer_cast<VXShadow>(m_shown->copy());
    change(*changed);
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    centre.postNotificationName(kVLTMShadowWillChangeNotification, this);
    m_writer(changed);
    // The next edit builds on this one, even before the component's change is shown.
    m_shown = changed;
    centre.postNotificationName(kVLTMShadowDidChangeNotification, this);
}
