#pragma once

// What a master tells the objects that draw it (placed symbols): before and after each change
// of the master, so they can redraw the area they cover, and the slot the master keeps them in.

#include <QtGlobal>

class VXQSymbolMaster;

class VXQSymbolMasterClient {
public:
    virtual ~VXQSymbolMasterClient() = default;

    virtual void symbolMasterWillChange(VXQSymbolMaster* master) = 0;
    virtual void symbolMasterDidChange(VXQSymbolMaster* master) = 0;
    // The slot index given by addSymbolMasterClient; removeSymbolMasterClient clears that slot.
    virtual quint64 symbolMasterClientIndex() const = 0;
    virtual void setSymbolMasterClientIndex(quint64 index) = 0;
};
