#pragma once

#include "platform/UiServices.h"

class ViewHost;

// A mouse cursor shape as the view and its tools pass it around; Set makes the shape the
// current one on the host window.
class Cursor {
public:
    explicit constexpr Cursor(CursorShape shape) : m_shape(shape) {}
    void Set(ViewHost& host) const;
    CursorShape GetShape() const { return m_shape; }

private:
    CursorShape m_shape;
};

// The cursors of the view and its tools, one object each.
namespace ViewCursor {
inline constexpr Cursor Arrow{CursorShape::Arrow};
inline constexpr Cursor CrossHair{CursorShape::Cross};
// The program's open hand.
inline constexpr Cursor Hand{CursorShape::Pan};
// The program's open circular arrow.
inline constexpr Cursor Rotate{CursorShape::Rotate};
// The program's magnifier with a plus and with a minus.
inline constexpr Cursor ZoomIn{CursorShape::ZoomIn};
inline constexpr Cursor ZoomOut{CursorShape::ZoomOut};
// The sizing arrows: north-west to south-east, north-south, north-east to south-west,
// west-east.
inline constexpr Cursor SizeUpLeft{CursorShape::SizeNWSE};
inline constexpr Cursor SizeVert{CursorShape::SizeNS};
inline constexpr Cursor SizeUpRight{CursorShape::SizeNESW};
inline constexpr Cursor SizeHoriz{CursorShape::SizeWE};
} // namespace ViewCursor

// The sizing cursor of a region handle by its cursor index (1 up-left, 2 vertical, 3 up-right,
// 4 horizontal), or none for any other index.
const Cursor* RegionHandleCursor(int index, const Cursor* none);
