#include "view/Cursor.h"

#include "view/ViewHost.h"

void Cursor::Set(ViewHost& host) const
{
    host.SetCursor(m_shape);
}

const Cursor* RegionHandleCursor(int index, const Cursor* none)
{
    switch (index) {
    case 1:
        return &ViewCursor::SizeUpLeft;
    case 2:
        return &ViewCursor::SizeVert;
    case 3:
        return &ViewCursor::SizeUpRight;
    case 4:
        return &ViewCursor::SizeHoriz;
    default:
        return none;
    }
}
