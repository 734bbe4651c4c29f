#pragma once

#include "platform/Geometry.h"

// Something that may move a position onto a feature before a tool sees it.
class SnapCheck {
public:
    virtual ~SnapCheck() = default;
    // Moves the image-pixel point when it snaps; true when it was moved.
    virtual bool Check(DPoint& point) = 0;
};
