#pragma once

#include "model/Observer.h"

#include "model/AttributeRep.h"

#include <memory>
#include <string>

// A document attribute found by its key ("AttTransform", "AttRegGrid"), presented and
// edited through representations.
class AttributeData : public Observer {
public:
    // A new representation of the given key, attached to this data and owned by the
    // caller; null for a key this data does not know.
    virtual AttributeRep* GetRep(const std::string& repKey) = 0;
};

// The representation of type Rep (the one data hands out for Rep::kKey), owned by the
// caller; null when data has no such representation.
template <class Rep> std::unique_ptr<Rep> NewRep(AttributeData& data)
{
    return std::unique_ptr<Rep>(static_cast<Rep*>(data.GetRep(Rep::kKey)));
}
