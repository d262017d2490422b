#pragma once

// A numbering sequence of symbols as the mapping layer keeps it, by symbol master key; the
// sequences themselves belong to the symbols library.

class QObject;

class MappingLayerSequence {
public:
    virtual ~MappingLayerSequence() = default;
    // The layer hands itself over on joining, and null on leaving or when it goes.
    virtual void setLayer(QObject* layer) = 0;
    // A copy made through an archive takes the original sequence's master object, as its
    // symbols do.
    virtual void adoptMasterFrom(QObject* original) = 0;
};
