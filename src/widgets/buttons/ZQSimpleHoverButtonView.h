#pragma once

// A large link button (the welcome window's): a gradient that follows its state (normal,
// hovered, pressed) under either a centred image or a text, which wins when both are set.
// A press tracks the pointer: pressed while inside, normal while outside; releasing inside
// sends the action and leaves it hovered (when hover is enabled), releasing outside sends
// nothing. Space and Return press it too. The pointer over it is an open hand.

#include "platform/graphics/AttributedString.h"
#include "platform/graphics/Gradient.h"
#include "widgets/controls/ControlAction.h"

#include <QImage>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <optional>

class ZQSimpleHoverButtonView : public QWidget, public ControlAction {
    Q_OBJECT

public:
    enum State { NormalState = 0, PressedState = 1, HoveredState = 2 };
    static constexpr double kTextInset = 16.0;

    explicit ZQSimpleHoverButtonView(QWidget* parent = nullptr);

    // Made once and shared; a new button starts with them (a subclass sets its own).
    static const platform::Gradient& defaultNormalGradient();
    static const platform::Gradient& defaultPressedGradient();
    static const platform::Gradient& defaultHoverGradient();

    // The parts, each on its own line: the first as a title, the rest as lighter lines.
    static platform::AttributedString attributedStringForHoverButtonWithParts(const QStringList& parts);

    platform::Gradient normalGradient() const { return m_normalGradient; }
    void setNormalGradient(const platform::Gradient& gradient) { m_normalGradient = gradient; update(); }
    platform::Gradient hoverGradient() const { return m_hoverGradient; }
    void setHoverGradient(const platform::Gradient& gradient) { m_hoverGradient = gradient; update(); }
    platform::Gradient pressedGradient() const { return m_pressedGradient; }
    void setPressedGradient(const platform::Gradient& gradient) { m_pressedGradient = gradient; update(); }
    const platform::Gradient& gradientForState(int state) const;

    QImage contentImage() const { return m_contentImage; }
    void setContentImage(const QImage& image);
    // Answers whether the file held an image.
    bool setContentImageFile(const QUrl& url);
    std::optional<platform::AttributedString> contentAttributedString() const { return m_contentString; }
    void setContentAttributedString(const std::optional<platform::AttributedString>& text);

    QVariant representedObject() const { return m_representedObject; }
    void setRepresentedObject(const QVariant& object) { m_representedObject = object; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    int state() const { return m_state; }
    void setState(int state);
    bool hoverEnabled() const { return m_hoverEnabled; }
    void setHoverEnabled(bool enabled) { m_hoverEnabled = enabled; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    platform::Gradient m_normalGradient;
    platform::Gradient m_hoverGradient;
    platform::Gradient m_pressedGradient;
    QImage m_contentImage;
    std::optional<platform::AttributedString> m_contentString;
    QVariant m_representedObject;
    int m_tag = 0;
    int m_state = NormalState;
    bool m_hoverEnabled = true;
    bool m_tracking = false;
};
