#pragma once

// The knob boxes of the selected objects one paint of a view highlighted, kept for the
// selection tool, which draws its rotation knobs on the same boxes later in the paint: reading
// a million selected objects again costs more than drawing their knobs.
//
// Only unlocked objects with the standard knobs are kept, each layer's in the order they were
// highlighted. A DrawnKnobBoxes is the current one while it lives; without one (images,
// prints) nothing is kept.

#include "platform/vantrix/view/VXKnob.h"

#include <optional>
#include <vector>

class VXDrawableObject;
class VXObjectOwnerLayer;

namespace platform {

class DrawnKnobBoxes {
public:
    DrawnKnobBoxes();
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
    struct Drawn {
        const VXDrawableObject* object;
        KnobBox box;
    };
    struct OfLayer {
        const VXObjectOwnerLayer* layer;
        std::vector<Drawn> drawn;
        size_t next = 0; // the one boxOf expects
    };
    OfLayer* ofLayer(const VXObjectOwnerLayer* layer);

    std::vector<OfLayer> m_layers; // few: a paint shows the selections of a few layers
    DrawnKnobBoxes* m_previous;
};

} // namespace platform
