#pragma once

#include "view/Cursor.h"

// Cursor shape: the north-south arrow.
class SizeVertCursor : public Cursor {
public:
    SizeVertCursor() : Cursor(CursorShape::SizeNS) {}
};
