#pragma once

// A small colour control with two ways in. A click (or Space) selects it and links it to the
// shared colour panel through a hidden colour well, like a colour well; pressing and holding
// for a quarter of a second pops up the colour picker (swatches, or the wheel with Alt held)
// in a window menu under the control instead. Either way the control takes the new colour
// and sends its action. It unselects itself when its well is deactivated by anyone.

#include "widgets/controls/ControlAction.h"

#include <QColor>
#include <QWidget>
#include <memory>

class QInputEvent;
class QMouseEvent;
class ZQColorWell;
namespace platform {
struct Notification;
}

class ZQColourPopUpMenuView : public QWidget, public ControlAction {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)

public:
    static constexpr int kMenuDelayMilliseconds = 250;
    static double menuDelay() { return kMenuDelayMilliseconds / 1000.0; }

    explicit ZQColourPopUpMenuView(QWidget* parent = nullptr);
    ~ZQColourPopUpMenuView() override;

    QColor color() const { return m_colour; }
    // Made opaque when transparency is disallowed; colours that are not pickable are ignored.
    void setColor(const QColor& colour);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool flag);
    bool isMenuPoppedUp() const { return m_menuIsPoppedUp; }
    bool selected() const { return m_selected; }
    // Links to the colour panel (exclusively) or unlinks; with transparency disallowed the
    // panel hides its opacity while linked.
    void setSelected(bool flag);
    bool disallowsTransparency() const { return m_noTransparency; }
    void setDisallowsTransparency(bool flag) { m_noTransparency = flag; }

    // Pops up the picker menu for the gesture `event` started; returns when it has closed.
    void trackMenuWithEvent(const QInputEvent* event);

    Q_INVOKABLE void colourChangeFromPicker(QObject* picker);
    Q_INVOKABLE void proxyWellColorChange(QObject* well);

    ZQColorWell* proxyWell() const { return m_proxyWell.get(); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void takeColourAndSend(const QColor& colour);
    void proxyWellDeactivated(const platform::Notification& notification);

    QColor m_colour;
    bool m_highlighted = false;
    bool m_menuIsPoppedUp = false;
    bool m_selected = false;
    bool m_noTransparency = false;
    std::unique_ptr<ZQColorWell> m_proxyWell;
    std::unique_ptr<QMouseEvent> m_press;
};
