#pragma once

// Small views that each change one behaviour of a plain widget.

#include "platform/graphics/Gradient.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>

// Covers what lies behind it with the window background.
class ZQBlankingView : public QWidget {
    Q_OBJECT

public:
    explicit ZQBlankingView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A container whose origin is its top-left corner, as every widget's is here.
class ZQFlippedView : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    bool isFlipped() const { return true; }
};

// A view that knows its controller; the reference clears itself when the controller goes.
class ZQControlledView : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    QObject* controller() const { return m_controller; }
    void setController(QObject* controller) { m_controller = controller; }

private:
    QPointer<QObject> m_controller;
};

// Takes the keyboard focus and keeps it: whatever else asks for focus, the focus comes back
// as soon as the window is active. Draws nothing.
class ZQLimelightHoggingView : public QWidget {
    Q_OBJECT

public:
    explicit ZQLimelightHoggingView(QWidget* parent = nullptr);

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

// A floating tool window that never takes activation and whose controls always draw as in
// an active window.
class ZQNonDeactivatingWindow : public QWidget {
    Q_OBJECT

public:
    explicit ZQNonDeactivatingWindow(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void keepControlsActive();
};

// Fills itself with a gradient from the bottom up: by default from white 0.98 at the bottom
// to white 0.88 at the top.
class ZQGradientBackgroundView : public QWidget {
    Q_OBJECT

public:
    explicit ZQGradientBackgroundView(QWidget* parent = nullptr);

    const platform::Gradient& background() const { return m_background; }
    void setBackground(const platform::Gradient& gradient);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    platform::Gradient m_background;
};

// A light strip ruled at its top and bottom edges that pops up its menu when pressed, or,
// once it has the focus, with Space, Return or the menu key.
class ZQBorderView : public QWidget {
    Q_OBJECT

public:
    explicit ZQBorderView(QWidget* parent = nullptr);

    QMenu* menu() const { return m_menu; }
    void setMenu(QMenu* menu) { m_menu = menu; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void popUpMenuAt(const QPoint& globalPosition);

    QPointer<QMenu> m_menu;
};
