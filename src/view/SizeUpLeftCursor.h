#pragma once

#include "view/Cursor.h"

// Cursor shape: the north-west to south-east arrow.
class SizeUpLeftCursor : public Cursor {
public:
    SizeUpLeftCursor() : Cursor(CursorShape::SizeNWSE) {}
};
