#pragma once

// The styles of the special items a multi-style path inserts over a stretch of its length.

#include "platform/vantrix/styles/VXStyle.h"

enum class ZQSpecialItemKind { Flyover, Bridge, Tunnel, Cutting, Embankment };

// A new style holding the kind's rasterizer with its defaults: a flyover and a bridge get a
// bridge, the others their namesakes. Each call answers a fresh style.
VXStylePtr styleForSpecialItem(ZQSpecialItemKind kind);
