#pragma once

// The steps of a rendering, so that a background rendering the main thread interrupts (see
// RenderGate) goes on from where it stopped instead of starting over: a tile slower than the
// gaps between the main thread's events still finishes.
//
// Drawing loops ask nextStep before each object and layer groups ask shouldStop between their
// members. A rendering run inside a Scope counts its steps: the leaf layers it draws, in order,
// and within each the steps taken. Run again from where it stopped, onto what it drew, over a
// drawing unedited since, it skips the layers and steps done and draws the rest, and stops
// again only once it has drawn something new. A layer that draws in steps therefore draws
// nothing but its steps; a stop inside a layer composed on its own (Composing) cannot be taken
// up, as the layer was composed half drawn. Outside a Scope
// (exports, what the view draws while it waits) a rendering only stops when asked.

#include <compare>
#include <optional>

namespace platform {

class RenderSteps {
public:
    enum class Next { Draw, Skip, Stop };
    // Where a rendering stopped: leaf layers before `layer` were drawn whole, and `step` steps of it.
    struct Position {
        int layer = 0;
        int step = 0;
        friend auto operator<=>(const Position&, const Position&) = default;
    };

    // A rendering on this thread while it lives, taken up at `resumeFrom` when given.
    class Scope {
    public:
        explicit Scope(std::optional<Position> resumeFrom = std::nullopt);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        // Where it stopped when it may be taken up there; empty when it ran to the end or
        // stopped where it cannot be.
        std::optional<Position> resumablePosition() const;
        bool stopped() const { return m_stopped; }

    private:
        friend class RenderSteps;
        void noteStop(Position at);
        bool mayStop() const;

        std::optional<Position> m_resumeFrom;
        Scope* m_outer;
        int m_layer = -1;
        int m_step = 0;
        int m_composing = 0;
        bool m_stopped = false;
        bool m_resumable = true;
        bool m_drewSomething = false;
        Position m_stoppedAt;
    };

    // Before a leaf layer draws: false when it was drawn whole before the stop taken up.
    static bool beginLayer();
    // Before each object of a leaf layer.
    static Next nextStep();
    // Between the members of a group.
    static bool shouldStop();

    // `draw` for each item, a step each; false when asked to stop first.
    template <class Items, class Draw>
    static bool drawInSteps(const Items& items, Draw draw)
    {
        for (const auto& item : items) {
            const Next next = nextStep();
            if (next == Next::Stop)
                return false;
            if (next == Next::Draw)
                draw(item);
        }
        return true;
    }

    // While a layer is drawn apart and composed when it ends.
    class Composing {
    public:
        Composing();
        ~Composing();
        Composing(const Composing&) = delete;
        Composing& operator=(const Composing&) = delete;
    };
};

} // namespace platform
