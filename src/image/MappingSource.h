#pragma once

#include <memory>

// A kept copy of every field of a document's mapping, region included.
class MappingState {
public:
    virtual ~MappingState() = default;
    // Writes every kept field back into the mapping.
    virtual void Restore() = 0;
    // Puts the mapping back to its defaults (region undefined) and keeps that state.
    virtual void Reset() = 0;
};

// The document's mapping as the crop and paste tasks see it: they keep its state before and
// after they replace the image, and write it back on undo and redo.
class MappingSource {
public:
    virtual ~MappingSource() = default;
    // A copy of the mapping as it is now.
    virtual std::unique_ptr<MappingState> Snapshot() = 0;
};
