#pragma once

#include "model/Observer.h"

#include <string>

// A representation of a document attribute (the transform or the grid): a view, dialog
// state, undo snapshot or snap checker. It never writes into its data directly: it changes
// the data by notifying its observers, the data among them, which then take its state.
class AttributeRep : public Observer {
public:
    // Copies the data's state into the representation.
    virtual void Load() = 0;
    // Sets the data back to its defaults, then loads.
    virtual void Reset() = 0;
    virtual const std::string& GetKey() const = 0;
};
