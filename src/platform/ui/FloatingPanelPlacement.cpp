#include "platform/ui/FloatingPanelPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace platform {
namespace {

class PanelWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType())
            keepOnScreen(*static_cast<QWidget*>(watched));
        return false;
    }

private:
    static void keepOnScreen(QWidget& panel)
    {
        if (!panel.isWindow() || panel.windowType() != Qt::Tool)
            return;
        const QRect frame = panel.frameGeometry();
        // The screen the panel mostly lies on, else the one nearest its centre.
        const QScreen* screen = QGuiApplication::screenAt(frame.center());
        if (!screen)
            screen = panel.screen();
        if (!screen)
            return;
        const QRect within = FloatingPanelPlacement::frameWithin(frame, screen->availableGeometry());
        if (within == frame)
            return;
        if (within.size() != frame.size())
            panel.resize(panel.size() - (frame.size() - within.size()));
        panel.move(within.topLeft());
    }
};

} // namespace

void FloatingPanelPlacement::keepPanelsOnScreen()
{
    static QPointer<PanelWatch> watch; // goes with its application
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || watch)
        return;
    watch = new PanelWatch(application);
    application->installEventFilter(watch);
}

QRect FloatingPanelPlacement::frameWithin(const QRect& frame, const QRect& available)
{
    const QSize size = frame.size().boundedTo(available.size());
    const int x = std::clamp(frame.x(), available.left(), available.right() + 1 - size.width());
    const int y = std::clamp(frame.y(), available.top(), available.bottom() + 1 - size.height());
    return {QPoint(x, y), size};
}

} // namespace platform
