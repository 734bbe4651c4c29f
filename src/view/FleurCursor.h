#pragma once

#include "view/Cursor.h"

// Cursor shape: the four-headed arrow.
class FleurCursor : public Cursor {
public:
    FleurCursor() : Cursor(CursorShape::SizeAll) {}
};
