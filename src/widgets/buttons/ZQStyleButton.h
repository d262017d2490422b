#pragma once

// A square image button drawn by a ZQStyleButtonCell: a tool or style button. With
// showsMenuAfterDelay and a menu, holding the press for one second opens the menu instead
// of clicking, and the button is left on once the menu closes (selected in an exclusive
// group). Space and Return press it; the Menu key opens its menu.
//
// The cell's delegate hook is the `delegate` property: an object that implements
// ZQStyleButtonCellDelegate hears of every bezel about to be drawn.

#include "platform/foundation/RunLoop.h"
#include "widgets/buttons/ZQStyleButtonCell.h"

#include <QAbstractButton>
#include <QPointer>
#include <optional>

class ZQStyleButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QObject* delegate READ delegate WRITE setDelegate)

public:
    explicit ZQStyleButton(QWidget* parent = nullptr);
    ~ZQStyleButton() override;

    ZQStyleButtonCell& cell() { return m_cell; }
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    // -1 mixed, 0 off, 1 on; a checkable button follows it.
    int state() const { return m_cell.state(); }
    void setState(int state);
    void setShowsMenuAfterDelay(bool shows) { m_cell.setShowsMenuAfterDelay(shows); update(); }
    bool menuTimerPending() const { return m_menuTimer.has_value(); }

    QSize sizeHint() const override { return QSize(32, 32); }

Q_SIGNALS:
    // The held-down menu has closed and the button is on.
    void menuDidClose();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void menuDelayCallback();
    void popUpMenuAt(const QPoint& globalPosition);

    ZQStyleButtonCell m_cell;
    QPointer<QObject> m_delegate;
    std::optional<platform::Timer> m_menuTimer;
    QPoint m_mouseDownPoint;
};
