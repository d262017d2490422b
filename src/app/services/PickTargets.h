#pragma once

// What selected objects of the libraries above the application core take when the user picks
// from the style and symbol library; the mapping layer hands each pick to the selected objects
// that are such targets (applySymbol, setAuxiliaryStyle).

#include "platform/foundation/ZQObject.h"

class SymbolMasterTarget {
public:
    virtual ~SymbolMasterTarget() = default;
    // Draws as the symbol master from now on, undoably; any other object does nothing.
    virtual void applySymbolMaster(const ZQObjectPtr& master) = 0;
};

class AuxiliaryStyleTarget {
public:
    virtual ~AuxiliaryStyleTarget() = default;
    // A style, or an item whose "representedObject" is one, applied as an overlay, undoably;
    // other values do nothing.
    virtual void setAuxiliaryStyle(const QVariant& item) = 0;
};
