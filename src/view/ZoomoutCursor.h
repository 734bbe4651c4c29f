#pragma once

#include "view/Cursor.h"

// Cursor shape: the program's magnifier with a minus.
class ZoomoutCursor : public Cursor {
public:
    ZoomoutCursor() : Cursor(CursorShape::ZoomOut) {}
};
