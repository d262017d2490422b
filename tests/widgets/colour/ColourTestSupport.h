#pragma once

#include "widgets/colour/ZQWindowMenu.h"

#include <QApplication>
#include <QColor>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QMouseEvent>
#include <QTimer>
#include <QVariant>
#include <functional>

// A target that keeps every colour sent to it by a picker, control, cell or popover.
class ColourRecorder : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void colourChangeFromPicker(QObject* sender) { record(sender); }
    Q_INVOKABLE void takeColour(QObject* sender) { record(sender); }

    QList<QColor> colours;
    QObject* lastSender = nullptr;

private:
    void record(QObject* sender)
    {
        lastSender = sender;
        colours << sender->property("color").value<QColor>();
    }
};

// The window menu up now, if any.
inline ZQWindowMenu* activeWindowMenu()
{
    return qobject_cast<ZQWindowMenu*>(QApplication::activePopupWidget());
}

// Runs `work` with the next window menu once its pop-up loop is running.
class MenuWatcher : public QObject {
public:
    explicit MenuWatcher(std::function<void(ZQWindowMenu*)> work)
        : m_work(std::move(work))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* menu = qobject_cast<ZQWindowMenu*>(watched);
        if (event->type() == QEvent::Show && menu) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, menu, [menu, work = m_work] { work(menu); });
        }
        return false;
    }

private:
    std::function<void(ZQWindowMenu*)> m_work;
};

inline void whenMenuIsUp(std::function<void(ZQWindowMenu*)> work)
{
    new MenuWatcher(std::move(work)); // kept till the end: a watcher is small
}

// A mouse event at a point of the menu's main view, as the window system would send it.
inline void sendToMenu(ZQWindowMenu* menu, QEvent::Type type, QPointF inMainView, ulong timestamp)
{
    const QPointF global = menu->mainView()->mapToGlobal(inMainView);
    QMouseEvent event(type, menu->mapFromGlobal(global), global, Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    event.setTimestamp(timestamp);
    QCoreApplication::sendEvent(menu, &event);
}
