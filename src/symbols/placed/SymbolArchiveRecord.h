#pragma once

// A placed symbol's own fields as its keyed archive holds them, after the drawable's:
// "VXQSymbol_master", "_location", "_angle", "_absoluteAngle", "_scaleFactor",
// "_useLocalStyle", "_textLabels", "_labelsHidden", "_scaleVisually", "_ignoresDTs",
// "_hasModernTypeSequence" (always written as true) and "_cachedMasterBounds".
//
// Reading validates every value: a missing master becomes the default master (logged with the
// symbol's name), a master of another class is flagged, and a scale factor at or below zero
// reads as 1 (older writers stored it in single precision; it is not clamped). What the symbol
// takes of the record, and what it sets whatever the archive says, is the symbol's business.

#include "symbols/labels/VXQTextLabel.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/placed/SymbolPlacement.h"

#include <QList>
#include <QRectF>
#include <optional>

namespace platform {
class KeyedArchiver;
class KeyedUnarchiver;
} // namespace platform

struct SymbolArchiveRecord {
    // Left out of archives made for copying: a copy shares its original's master.
    VXQSymbolMasterPtr master;
    bool masterIsOfWrongClass = false;
    // Location, angle, absolute angle, scale factor and scaleVisually; not the size handle.
    SymbolPlacement placement;
    bool usesLocalStyle = false;
    // None: an older archive without labels, whose symbol keeps its master's.
    std::optional<QList<VXQTextLabelPtr>> labels;
    bool labelsHidden = false;
    bool ignoresTransformers = true;
    // Written by a symbol that holds its master's labels and template and its own sequence.
    bool modernSequencing = true;
    QRectF cachedMasterBounds;

    void encode(platform::KeyedArchiver& coder) const;
    static SymbolArchiveRecord decode(platform::KeyedUnarchiver& coder, const QString& symbolName);
};
