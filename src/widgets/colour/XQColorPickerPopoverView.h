#pragma once

// The root of the colour popover's content. Dragging it drags the popover; let go 50 points
// or more from where it started, the popover is torn off: the colour panel takes its
// content back at that spot and goes on editing for the same well and target. A shorter
// drag springs back. Escape closes the popover. Destroyed while it hosts the panel's
// content, it hands the content back first.

#include <QPoint>
#include <QWidget>

class XQColorPickerPopoverView : public QWidget {
    Q_OBJECT

public:
    static constexpr double kTearOffDistance = 50.0;
    static constexpr double kSpringBackSeconds = 0.2;

    explicit XQColorPickerPopoverView(QWidget* parent = nullptr);
    ~XQColorPickerPopoverView() override;

    bool isDragging() const { return m_dragging; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    double movedDistance() const;
    void tearOff();

    bool m_dragging = false;
    QPoint m_originalWindowOrigin;
    QPoint m_originalMouseOffset; // the press in global coordinates
};
