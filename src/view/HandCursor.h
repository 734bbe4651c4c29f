#pragma once

#include "view/Cursor.h"

// Cursor shape: the program's open hand.
class HandCursor : public Cursor {
public:
    HandCursor() : Cursor(CursorShape::Hand) {}
};
