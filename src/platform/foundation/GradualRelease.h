#pragma once

// Letting go of many objects at once without keeping the main thread from its events. When a
// large map closes, its hundreds of thousands of objects, and the tables that index them, would
// all be destroyed in one turn of the event loop while another map's window waits; handed here,
// they go a slice per turn, still on the main thread their objects belong to.

#include <QtGlobal>
#include <memory>
#include <type_traits>
#include <utility>

namespace platform {

class GradualRelease {
public:
    // Takes a container and lets its elements go over later turns on the main thread (a list's
    // or a queue's first to last, a vector's last to first, a table's in its own order), each
    // turn stopping once it has spent a few milliseconds; the emptied container goes last. Off
    // the main thread, or with no application, nothing is taken: the caller's container goes as
    // it would have.
    template <class Container>
    static void releaseLater(Container&& elements)
    {
        static_assert(!std::is_lvalue_reference_v<Container>, "the container is handed over: move it");
        if (elements.empty() || !takesElements())
            return;
        enqueue(std::make_unique<Elements<Container>>(std::move(elements)));
    }

    // Elements still waiting to be let go of.
    static qsizetype pendingCount();
    // Lets go of every waiting element now.
    static void releaseAll();

    // The elements of one container handed over, let go of one at a time.
    class Batch {
    public:
        virtual ~Batch() = default;
        virtual qsizetype count() const = 0;
        // The element's destructor may hand over more.
        virtual void releaseOne() = 0;
    };

private:
    template <class Container>
    class Elements final : public Batch {
    public:
        explicit Elements(Container elements) : m_elements(std::move(elements)) {}
        qsizetype count() const override { return qsizetype(m_elements.size()); }
        // Each element leaves the container before it goes.
        void releaseOne() override
        {
            if constexpr (requires { m_elements.pop_front(); }) {
                const auto first = std::move(m_elements.front());
                m_elements.pop_front();
            } else if constexpr (requires { m_elements.pop_back(); }) {
                const auto last = std::move(m_elements.back());
                m_elements.pop_back();
            } else {
                const auto node = m_elements.extract(m_elements.begin());
            }
        }

    private:
        Container m_elements;
    };

    static bool takesElements();
    static void enqueue(std::unique_ptr<Batch> batch);
};

} // namespace platform
