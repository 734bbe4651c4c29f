#pragma once

#include "platform/UiServices.h"

class ViewHost;

// A mouse cursor shape. Instances are static objects of the modules that use them; Set makes
// the shape the current one on the host window.
class Cursor {
public:
    explicit Cursor(CursorShape shape) : m_shape(shape) {}
    virtual ~Cursor() = default;
    void Set(ViewHost& host) const;
    CursorShape GetShape() const { return m_shape; }

private:
    CursorShape m_shape;
};

// The sizing cursor of a region handle by its cursor index (1 up-left, 2 vertical, 3 up-right,
// 4 horizontal), or none for any other index.
const Cursor* RegionHandleCursor(int index, const Cursor* none);
