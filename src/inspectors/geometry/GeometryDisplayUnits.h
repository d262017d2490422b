#pragma once

// How the Geometry tab shows lengths: in points (mode 0), in the drawing's units (1) or in the
// units on the ground that the map scale represents (2). The map document keeps its own
// option for the same choice, numbered differently (0 drawing units, 1 points, 2 map units).

#include "platform/ui/NumberFormatter.h"

#include <memory>
#include <optional>

class VXDrawing;
class ZQQuorvaneDocument;

namespace geometryunits {

enum Mode { kPointsMode = 0, kDrawingUnitsMode = 1, kMapUnitsMode = 2 };

inline bool isMode(qint64 mode)
{
    return mode >= kPointsMode && mode <= kMapUnitsMode;
}

// The document's option for a mode; a value that is no mode gives option 0.
int documentOptionForMode(qint64 mode);
// The mode for a document's option; none for an option outside 0-2.
std::optional<int> modeForDocumentOption(int option);

// The formatter of lengths for the mode: two decimals at most, halves rounded to even, the
// units' symbol after the number; null for a value that is no mode. Without a drawing the
// mode counts as points; map units without a usable map scale are shown as points too.
std::shared_ptr<platform::NumberFormatter> formatterForMode(qint64 mode, const VXDrawing* drawing);

// The mode kept in the user default `key`: points when there is none, -1 for anything but a
// whole number (which then selects no mode).
qint64 storedMode(const QString& key);

// The drawing's map document, or null.
ZQQuorvaneDocument* documentOfDrawing(const VXDrawing* drawing);

} // namespace geometryunits
