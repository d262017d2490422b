#pragma once

// Lets the user point anywhere on screen while a sheet stays open, in place of a local event
// loop: the sheet grabs the mouse and an application event filter takes every mouse and key
// event while sampling runs. Each press or move reports the point under the pointer; the
// pointer is a crosshair away from the sheet and an arrow over it. Releasing the button away
// from the sheet ends sampling with that point; releasing it over the sheet, or any key, ends
// it without one.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class ScreenPointSampler : public QObject {
    Q_OBJECT

public:
    // Points are global (screen) positions, with the keyboard modifiers of their event.
    using MoveHandler = std::function<void(QPoint point, Qt::KeyboardModifiers modifiers)>;
    using EndHandler = std::function<void(std::optional<QPoint> point, Qt::KeyboardModifiers modifiers)>;

    ScreenPointSampler(QWidget* sheet, MoveHandler moved, EndHandler ended);
    ~ScreenPointSampler() override;

    bool isRunning() const { return m_running; }
    // Nothing while running.
    void start();
    // Ends sampling without calling the end handler; nothing unless running.
    void stop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isOverSheet(QPoint point) const;
    void showCursorFor(QPoint point);
    void finish(std::optional<QPoint> point, Qt::KeyboardModifiers modifiers);

    QPointer<QWidget> m_sheet;
    MoveHandler m_moved;
    EndHandler m_ended;
    bool m_running = false;
};
