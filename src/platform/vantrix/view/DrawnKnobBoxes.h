#pragma once

// The knob boxes of the selected objects one paint of a view highlighted, kept for the
// selection tool, which draws its rotation knobs on the same boxes later in the paint: reading
// a million selected objects again costs more than drawing their knobs.
//
// Only unlocked objects with the standard knobs are kept, each layer's in the order they were
// highlighted. A DrawnKnobBoxes is the current one while it lives; without one (images,
// prints) nothing is kept.
//
// A view keeps the lists' memory from one paint to the next in KnobBoxLists: the boxes of a
// million selected objects fill tens of megabytes, which the kernel would otherwise hand to
// every paint afresh, a page at a time. A list the last paint kept no box in is given back.

#include "platform/vantrix/view/VXKnob.h"

#include <optional>
#include <vector>

class VXDrawableObject;
class VXObjectOwnerLayer;

namespace platform {

class KnobBoxLists {
public:
    KnobBoxLists();
    ~KnobBoxLists();
    KnobBoxLists(const KnobBoxLists&) = delete;
    KnobBoxLists& operator=(const KnobBoxLists&) = delete;

    // The memory held for the next paint.
    size_t bytesKept() const;

private:
    friend class DrawnKnobBoxes;
    struct Drawn {
        const VXDrawableObject* object;
        KnobBox box;
    };
    std::vector<std::vector<Drawn>> m_spare;
};

class DrawnKnobBoxes {
public:
    // Lists of its own, given back when it ends.
    DrawnKnobBoxes();
    // Lists taken from `lists`, and the ones it kept boxes in put back there when it ends.
    explicit DrawnKnobBoxes(KnobBoxLists& lists);
    ~DrawnKnobBoxes();
    DrawnKnobBoxes(const DrawnKnobBoxes&) = delete;
    DrawnKnobBoxes& operator=(const DrawnKnobBoxes&) = delete;

    static DrawnKnobBoxes* current();

    // `object` of `layer` was highlighted on `box`.
    void add(const VXObjectOwnerLayer* layer, const VXDrawableObject& object, const KnobBox& box);
    // The box `object` of `layer` was highlighted on, when the layer's objects are asked for in
    // the order they were; nothing for one not kept, or asked for out of turn.
    std::optional<KnobBox> boxOf(const VXObjectOwnerLayer* layer, const VXDrawableObject& object);

private:
    using Drawn = KnobBoxLists::Drawn;
    struct OfLayer {
        const VXObjectOwnerLayer* layer;
        std::vector<Drawn> drawn;
        size_t next = 0; // the one boxOf expects
    };
    OfLayer* ofLayer(const VXObjectOwnerLayer* layer);

    KnobBoxLists m_ownLists;
    KnobBoxLists& m_lists;
    std::vector<std::vector<Drawn>> m_unused; // the lists kept by the last paint, until taken
    std::vector<OfLayer> m_layers; // few: a paint shows the selections of a few layers
    DrawnKnobBoxes* m_previous;
};

} // namespace platform
