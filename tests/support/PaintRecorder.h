#pragma once

// Gathers what a widget is asked to repaint while it watches it, so a test can check that an
// edit repaints the areas it changed and nothing far from them.

#include <QEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>

namespace testsupport {

class PaintRecorder : public QObject {
public:
    void watch(QWidget* widget) { widget->installEventFilter(this); }
    void stopWatching(QWidget* widget) { widget->removeEventFilter(this); }

    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

} // namespace testsupport
