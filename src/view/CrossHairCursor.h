#pragma once

#include "view/Cursor.h"

// Cursor shape: the system crosshair.
class CrossHairCursor : public Cursor {
public:
    CrossHairCursor() : Cursor(CursorShape::Cross) {}
};
