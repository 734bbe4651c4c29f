#pragma once

#include "model/Observer.h"

#include <string>

class AttributeRep;

// A document attribute found by its key ("AttTransform", "AttRegGrid"), presented and
// edited through representations.
class AttributeData : public Observer {
public:
    // A new representation of the given key, attached to this data and owned by the
    // caller; null for a key this data does not know.
    virtual AttributeRep* GetRep(const std::string& repKey) = 0;
};
