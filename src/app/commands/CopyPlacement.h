#pragma once

// While a geometry command adds the copies it laid out (linear and polar duplicates), each
// copy is to stay where the command put it. Objects that adjust themselves to their
// neighbours as they arrive in a layer (tracks snapping their ends onto nearby tracks) ask
// whether a placement is open and then leave their geometry as it is.

class CopyPlacement {
public:
    CopyPlacement() { ++s_open; }
    ~CopyPlacement() { --s_open; }
    CopyPlacement(const CopyPlacement&) = delete;
    CopyPlacement& operator=(const CopyPlacement&) = delete;

    static bool isOpen() { return s_open > 0; }

private:
    static inline int s_open = 0;
};
