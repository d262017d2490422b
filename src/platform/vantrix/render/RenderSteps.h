#pragma once

// The steps of a rendering, so that a background rendering the main thread interrupts (see
// RenderGate) goes on from where it stopped instead of starting over: a tile slower than the
// gaps between the main thread's events still finishes.
//
// Drawing loops ask nextStep before each object (drawInSteps) and layer groups ask shouldStop
// between their members. A rendering run inside a Scope counts its steps: the leaf layers it
// meets, drawn or not, in order, and within each the steps taken. Run again from where it
// stopped, onto what it drew, over a drawing whose layers were not added, removed, moved, shown,
// hidden or faded since (tiles judge the edits within them), it skips the layers and steps done,
// without passing over them one by one, and draws the rest.
// Every run draws something before it stops, so each loan, however short, brings it further.
// A layer that draws in steps therefore draws nothing but its steps. A layer composed on its own
// (Composing) is not composed when the rendering stops inside it: its image is kept with the
// stop and drawn on when the rendering is taken up. Outside a Scope (exports, what the view
// draws while it waits) a rendering only stops when asked.

#include <QImage>
#include <any>
#include <compare>
#include <optional>
#include <vector>

namespace platform {

class RenderSteps {
public:
    enum class Next { Draw, Skip, Stop };
    // Where a rendering stopped: leaf layers before `layer` were met whole, and `step` steps of it.
    struct Position {
        int layer = 0;
        int step = 0;
        friend auto operator<=>(const Position&, const Position&) = default;
    };
    // A layer composed apart that a rendering stopped inside, as far as it was drawn.
    struct KeptLayer {
        const void* layer = nullptr;
        QImage image;
    };
    // What a stopped rendering needs to be taken up.
    struct Stop {
        Position at;
        std::vector<KeptLayer> apart; // outermost first
        std::any items;               // what the layer stopped in collected (itemsToDraw)
    };

    // A rendering on this thread while it lives, taken up at `resumeFrom` when given.
    class Scope {
    public:
        explicit Scope(std::optional<Stop> resumeFrom = std::nullopt);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        bool stopped() const { return m_stopped; }
        // Where it stopped, with the layers it was composing then; empty when it ran to the end.
        std::optional<Stop> takeStop();

    private:
        friend class RenderSteps;
        void noteStop(Position at);
        bool mayStop() const;

        std::optional<Stop> m_resumeFrom;
        Scope* m_outer;
        int m_layer = -1;
        int m_step = 0;
        bool m_stopped = false;
        bool m_drewSomething = false;
        std::any m_layerItems; // what the current leaf layer collected, or had when stopped
        Stop m_stop;
    };

    // Before each leaf layer, drawn or not: false when it was drawn whole before the stop taken up.
    static bool beginLayer();
    // Before each object of a leaf layer.
    static Next nextStep();
    // Between the members of a group.
    static bool shouldStop();

    // What a leaf layer draws in steps, from `collect`. Taken up inside the layer, what it
    // collected before the stop: the steps to skip are counted in it, and collecting again
    // (the objects meeting a tile of a large map, in order) may take longer than a loan.
    template <class Collect>
    static auto itemsToDraw(Collect collect) -> decltype(collect())
    {
        using Items = decltype(collect());
        const std::any kept = keptItems();
        if (const Items* items = std::any_cast<Items>(&kept))
            return *items;
        Items items = collect();
        noteItems(items);
        return items;
    }

    // Before `count` steps of a leaf layer: how many of them, from the first, were taken before
    // the stop taken up. They count as taken at once: a tile taken up deep in a layer of a large
    // map would otherwise pass over every object it drew, on every loan, before drawing on.
    static qsizetype stepsTakenBefore(qsizetype count);

    // `draw` for each item (of a random-access list), a step each, from the first not drawn
    // before the stop taken up; false when asked to stop first.
    template <class Items, class Draw>
    static bool drawInSteps(const Items& items, Draw draw)
    {
        const qsizetype count = qsizetype(items.size());
        for (qsizetype i = stepsTakenBefore(count); i < count; ++i) {
            const Next next = nextStep();
            if (next == Next::Stop)
                return false;
            if (next == Next::Draw)
                draw(items[i]);
        }
        return true;
    }

    // While `layer` is drawn apart into `apart` and composed when it ends. Taken up inside the
    // layer, `apart` becomes what was kept of it (when of the same size).
    class Composing {
    public:
        Composing(const void* layer, QImage& apart);
        ~Composing();
        Composing(const Composing&) = delete;
        Composing& operator=(const Composing&) = delete;
        // The rendering stopped inside the layer, which is kept rather than composed.
        bool stopped() const { return m_scope && m_scope->m_stopped; }

    private:
        Scope* m_scope;
        const void* m_layer;
        QImage& m_apart;
    };

private:
    static std::any keptItems();
    static void noteItems(std::any items);
};

} // namespace platform
