#pragma once

#include "view/Cursor.h"

// Cursor shape: the program's open circular arrow.
class RotateCursor : public Cursor {
public:
    RotateCursor() : Cursor(CursorShape::Rotate) {}
};
