#pragma once

#include "view/Cursor.h"

// Cursor shape: the system arrow.
class ArrowCursor : public Cursor {
public:
    ArrowCursor() : Cursor(CursorShape::Arrow) {}
};
