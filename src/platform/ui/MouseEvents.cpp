#include "platform/ui/MouseEvents.h"

#include <QMouseEvent>
#include <array>

namespace {

enum class Button { Left, Right, Other };
enum class Phase { Down, Up, Dragged };

struct MouseEventKind {
    Phase phase;
    Button button;
    MouseEventType type;
};

constexpr std::array<MouseEventKind, 9> kMouseEventKinds{{
    {Phase::Down, Button::Left, kLeftMouseDown},
    {Phase::Up, Button::Left, kLeftMouseUp},
    {Phase::Dragged, Button::Left, kLeftMouseDragged},
    {Phase::Down, Button::Right, kRightMouseDown},
    {Phase::Up, Button::Right, kRightMouseUp},
    {Phase::Dragged, Button::Right, kRightMouseDragged},
    {Phase::Down, Button::Other, kOtherMouseDown},
    {Phase::Up, Button::Other, kOtherMouseUp},
    {Phase::Dragged, Button::Other, kOtherMouseDragged},
}};

std::optional<Phase> phaseOf(const QMouseEvent& event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return Phase::Down;
    case QEvent::MouseButtonRelease:
        return Phase::Up;
    case QEvent::MouseMove:
        if (event.buttons() != Qt::NoButton)
            return Phase::Dragged;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

// The button a press or release is about; for a drag, the first held of left, right, other.
std::optional<Button> buttonOf(const QMouseEvent& event)
{
    const Qt::MouseButtons buttons = event.type() == QEvent::MouseMove ? event.buttons() : Qt::MouseButtons(event.button());
    if (buttons & Qt::LeftButton)
        return Button::Left;
    if (buttons & Qt::RightButton)
        return Button::Right;
    if (buttons != Qt::NoButton)
        return Button::Other;
    return std::nullopt;
}

} // namespace

std::optional<MouseEventType> mouseEventType(const QEvent& event)
{
    const auto* mouse = dynamic_cast<const QMouseEvent*>(&event);
    if (!mouse)
        return std::nullopt;
    const std::optional<Phase> phase = phaseOf(*mouse);
    const std::optional<Button> button = buttonOf(*mouse);
    if (!phase || !button)
        return std::nullopt;
    for (const MouseEventKind& kind : kMouseEventKinds) {
        if (kind.phase == *phase && kind.button == *button)
            return kind.type;
    }
    return std::nullopt;
}
