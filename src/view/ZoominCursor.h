#pragma once

#include "view/Cursor.h"

// Cursor shape: the program's magnifier with a plus.
class ZoominCursor : public Cursor {
public:
    ZoominCursor() : Cursor(CursorShape::ZoomIn) {}
};
