#pragma once

// Keeps input to one window while it is installed on the application: mouse, key, wheel and
// touch events aimed at any other window are dropped, and a mouse down there calls the
// rejection handler (a beep, by default). Popups and dialogs opened from the modal window
// count as part of it.

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

class ModalWindowEventFilter : public QObject {
    Q_OBJECT

public:
    explicit ModalWindowEventFilter(QWidget* modalWindow);

    void setRejectionHandler(std::function<void()> handler) { m_rejectionHandler = std::move(handler); }

    // Whether `widget` lies in the modal window or in a window opened from it.
    bool belongsToModalWindow(const QWidget* widget) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_modalWindow;
    std::function<void()> m_rejectionHandler;
};
