#pragma once

// Teaches ObjectBuffering the objects that can be buffered: paths (every kind, tracks and
// roads among them) by their outline with round ends and corners, symbols by a circle round
// their location.
void registerBufferableObjects();
