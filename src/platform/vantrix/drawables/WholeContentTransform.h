#pragma once

// While one is open every object of a drawing takes the same transform in turn (the content
// repositioned on its page), so objects joined to others do not follow them: each makes the
// move itself, once.
class WholeContentTransform {
public:
    WholeContentTransform() { ++s_open; }
    ~WholeContentTransform() { --s_open; }
    WholeContentTransform(const WholeContentTransform&) = delete;
    WholeContentTransform& operator=(const WholeContentTransform&) = delete;

    static bool isOpen() { return s_open > 0; }

private:
    static inline int s_open = 0;
};
