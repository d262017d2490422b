#pragma once

// A colour well: a swatch that, when active, edits its colour in the shared colour panel.
//
// Clicking an inactive well activates it exclusively (every other well deactivates; with
// Shift held, others stay active) and brings the panel up; clicking an active well
// deactivates it. A continuous well sends its action at every colour the panel sends; one
// that is not sends it once, when it stops being edited. Colours dropped on a well set it
// and send the action.

#include <QByteArray>
#include <QColor>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace platform {

class ColourWell : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)

public:
    explicit ColourWell(QWidget* parent = nullptr);
    ~ColourWell() override;

    QColor color() const { return m_color; }
    // Sets the colour without sending the action.
    void setColor(const QColor& colour);

    bool isActive() const { return m_active; }
    virtual void activate(bool exclusive);
    virtual void deactivate();
    // Deactivates every well and clears the panel's target and action, without showing it.
    static void deactivateAll();

    // What a click (or Space) on an enabled well does: the installed handler, else the
    // standard toggle (an active well deactivates; an inactive one activates, exclusively
    // unless Shift is held).
    void performActivationClickWithShiftDown(bool shiftDown);
    void toggleActivationWithShiftDown(bool shiftDown);
    using ActivationClickHandler = std::function<void(ColourWell& well, bool shiftDown)>;
    // An empty handler restores the standard toggle.
    static void setActivationClickHandler(ActivationClickHandler handler);

    bool isBordered() const { return m_bordered; }
    void setBordered(bool flag);
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool flag) { m_continuous = flag; }

    // Null: along the responder chain.
    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    QByteArray action() const { return m_action; }
    void setAction(const QByteArray& action) { m_action = action; }

    // Takes the panel's colour (the panel calls this on active wells).
    void takeColorFrom(const QColor& colour);

    QSize sizeHint() const override;

Q_SIGNALS:
    void colorChanged(const QColor& colour);
    void activeChanged(bool active);

protected:
    // A well that is not continuous owes its action from the first panel colour until it
    // deactivates.
    bool isActionPending() const { return m_actionPending; }
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void sendAction();

    QColor m_color = Qt::white;
    QPointer<QObject> m_target;
    QByteArray m_action;
    bool m_active = false;
    bool m_bordered = true;
    bool m_continuous = true;
    bool m_actionPending = false;
};

} // namespace platform
