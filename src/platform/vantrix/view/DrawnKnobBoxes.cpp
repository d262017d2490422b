#include "platform/vantrix/view/DrawnKnobBoxes.h"

#include "platform/vantrix/model/VXObjectOwnerLayer.h"

#include <utility>

namespace platform {

namespace {

thread_local DrawnKnobBoxes* t_current = nullptr;

} // namespace

KnobBoxLists::KnobBoxLists() = default;
KnobBoxLists::~KnobBoxLists() = default;

size_t KnobBoxLists::bytesKept() const
{
    size_t bytes = 0;
    for (const std::vector<Drawn>& list : m_spare)
        bytes += list.capacity() * sizeof(Drawn);
    return bytes;
}

DrawnKnobBoxes::DrawnKnobBoxes() : DrawnKnobBoxes(m_ownLists) {}

DrawnKnobBoxes::DrawnKnobBoxes(KnobBoxLists& lists)
    : m_lists(lists)
    , m_unused(std::exchange(lists.m_spare, {}))
    , m_previous(std::exchange(t_current, this))
{
}

DrawnKnobBoxes::~DrawnKnobBoxes()
{
    t_current = m_previous;
    for (OfLayer& kept : m_layers) {
        if (!kept.drawn.empty())
            m_lists.m_spare.push_back(std::move(kept.drawn));
    }
}

DrawnKnobBoxes* DrawnKnobBoxes::current() { return t_current; }

DrawnKnobBoxes::OfLayer* DrawnKnobBoxes::ofLayer(const VXObjectOwnerLayer* layer)
{
    // A layer's objects come together: the last layer first.
    for (auto it = m_layers.rbegin(); it != m_layers.rend(); ++it)
        if (it->layer == layer)
            return &*it;
    return nullptr;
}

void DrawnKnobBoxes::add(const VXObjectOwnerLayer* layer, const VXDrawableObject& object, const KnobBox& box)
{
    OfLayer* kept = ofLayer(layer);
    if (!kept) {
        kept = &m_layers.emplace_back(OfLayer{layer, {}});
        if (!m_unused.empty()) {
            kept->drawn = std::move(m_unused.back());
            m_unused.pop_back();
            kept->drawn.clear();
        }
        // Room for every object of the layer at once: pages never written cost nothing, while
        // a list grown step by step leaves each step's memory behind in the heap.
        if (layer)
            kept->drawn.reserve(size_t(layer->countOfObjects()));
    }
    kept->drawn.push_back({&object, box});
}

std::optional<KnobBox> DrawnKnobBoxes::boxOf(const VXObjectOwnerLayer* layer, const VXDrawableObject& object)
{
    OfLayer* kept = ofLayer(layer);
    if (!kept || kept->next >= kept->drawn.size() || kept->drawn[kept->next].object != &object)
        return std::nullopt;
    return kept->drawn[kept->next++].box;
}

} // namespace platform
