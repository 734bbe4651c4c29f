#pragma once

#include "view/Cursor.h"

// Cursor shape: the west-east arrow.
class SizeHorizCursor : public Cursor {
public:
    SizeHorizCursor() : Cursor(CursorShape::SizeWE) {}
};
