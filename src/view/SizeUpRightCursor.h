#pragma once

#include "view/Cursor.h"

// Cursor shape: the north-east to south-west arrow.
class SizeUpRightCursor : public Cursor {
public:
    SizeUpRightCursor() : Cursor(CursorShape::SizeNESW) {}
};
