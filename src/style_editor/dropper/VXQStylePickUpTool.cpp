#include "style_editor/dropper/VXQStylePickUpTool.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kCursorSize = 32;
constexpr QSize kSwatchSize(18, 18);

// A pipette whose tip is the cursor's hot spot (the top left), over the picked style's swatch.
QPixmap dropperPixmap(const VXStyle* style)
{
    QImage image(kCursorSize, kCursorSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (style) {
        const QImage swatch = style->imageToFitSize(QSizeF(kSwatchSize));
        const QRectF box(QPointF(kCursorSize - kSwatchSize.width() - 1, kCursorSize - kSwatchSize.height() - 1),
                         QSizeF(kSwatchSize));
        painter.fillRect(box, Qt::white);
        painter.drawImage(box, swatch);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(box);
    }
    QPainterPath pipette;
    pipette.moveTo(1, 1);
    pipette.lineTo(11, 11);
    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(pipette);
    painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(pipette);
    painter.end();
    return QPixmap::fromImage(image);
}

bool stylesAreEqual(const VXStyle* a, const VXStyle* b)
{
    if (!a || !b)
        return a == b;
    return a == b || a->isEqualToStyle(b);
}

} // namespace

std::shared_ptr<VXQStylePickUpTool> VXQStylePickUpTool::make()
{
    auto tool = std::make_shared<VXQStylePickUpTool>();
    tool->setKeyboardEquivalent(kKeyboardEquivalent);
    return tool;
}

void VXQStylePickUpTool::setStyle(const VXStylePtr& style)
{
    const bool changed = !stylesAreEqual(m_style.get(), style.get());
    m_style = style;
    if (changed)
        platform::NotificationCenter::defaultCenter().postNotificationName(kVXQStylePickUpToolDidChangeStyle, this);
}

QCursor VXQStylePickUpTool::cursor() const
{
    return QCursor(dropperPixmap(m_style.get()), 1, 1);
}

QString VXQStylePickUpTool::actionName() const
{
    return tr("Apply Style");
}

int VXQStylePickUpTool::mouseDownAtPointTargetObjectLayerEventDelegate(QPointF, VXDrawableObject* target, VXLayer* layer,
                                                                       QMouseEvent* event, VXToolController*)
{
    m_applied = false;
    if (!target) {
        setStyle(nullptr);
        return 0;
    }
    const bool pickUp = !m_style || (event && (platform::modifierFlagsFromQt(event->modifiers()) & platform::OptionKeyMask));
    if (pickUp) {
        setStyle(target->style());
    } else if (!target->locked() && target->style() != m_style) {
        target->setStyle(m_style);
        m_applied = target->style() == m_style;
    }
    if (auto* objectLayer = qobject_cast<VXObjectDrawingLayer*>(layer); objectLayer && m_performsResetOnSelection)
        objectLayer->replaceSelectionWithObject(std::static_pointer_cast<VXDrawableObject>(target->shared_from_this()));
    return 0;
}

void VXQStylePickUpTool::mouseDraggedToPointPartCodeLayerEventDelegate(QPointF, int, VXLayer*, QMouseEvent*,
                                                                       VXToolController*)
{
}

bool VXQStylePickUpTool::mouseUpAtPointPartCodeLayerEventDelegate(QPointF, int, VXLayer*, QMouseEvent*,
                                                                  VXToolController* delegate)
{
    // The cursor shows the style picked up by this click.
    if (delegate && delegate->view())
        delegate->view()->viewport()->setCursor(cursor());
    return std::exchange(m_applied, false);
}
