#include "platform/ui/ZQInfoFloater.h"

#include <QScreen>
#include <algorithm>

ZQInfoFloater::ZQInfoFloater()
    : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setMargin(3);
    setAlignment(Qt::AlignCenter);
}

ZQInfoFloater::~ZQInfoFloater() = default;

std::unique_ptr<ZQInfoFloater> ZQInfoFloater::infoFloater()
{
    return std::make_unique<ZQInfoFloater>();
}

void ZQInfoFloater::setFormat(const QString& pattern)
{
    m_format = platform::NumberFormat(pattern);
}

void ZQInfoFloater::setFloatValue(float value)
{
    setDoubleValue(double(value));
}

void ZQInfoFloater::setDoubleValue(double value)
{
    setStringValue(m_format.stringFromNumber(value));
}

void ZQInfoFloater::setStringValue(const QString& text)
{
    setText(text);
    adjustSize();
}

void ZQInfoFloater::positionNearPointInView(QPointF point, QWidget* view)
{
    if (!view)
        return;
    QPoint position = view->mapToGlobal(point.toPoint()) + m_windowOffset;
    if (const QScreen* screen = view->screen()) {
        const QRect bounds = screen->availableGeometry();
        position.setX(std::clamp(position.x(), bounds.left(), std::max(bounds.left(), bounds.right() - width() + 1)));
        position.setY(std::clamp(position.y(), bounds.top(), std::max(bounds.top(), bounds.bottom() - height() + 1)));
    }
    move(position);
}

void ZQInfoFloater::orderOut(QObject*)
{
    hide();
}
