#pragma once

// Random numbers that repeat for an object: seeded from its geometry checksum, so a rough
// or wobbly component draws the same on every redraw until the object's geometry changes.

#include "platform/vantrix/drawables/VXRenderable.h"

#include <QRandomGenerator>

namespace platform {

class ObjectRandom {
public:
    explicit ObjectRandom(const VXRenderable& object)
        : m_generator(quint32(object.geometryChecksum() ^ (object.geometryChecksum() >> 32)))
    {
    }

    // Uniform in [0, 1).
    double unit() { return m_generator.generateDouble(); }
    // Uniform in [-1, 1).
    double signedUnit() { return 2 * unit() - 1; }

private:
    QRandomGenerator m_generator;
};

} // namespace platform
