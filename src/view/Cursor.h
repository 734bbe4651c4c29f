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
