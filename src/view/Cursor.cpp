#include "view/Cursor.h"

#include "view/ViewHost.h"

void Cursor::Set(ViewHost& host) const
{
    host.SetCursor(m_shape);
}

#include "view/SizeHorizCursor.h"
#include "view/SizeUpLeftCursor.h"
#include "view/SizeUpRightCursor.h"
#include "view/SizeVertCursor.h"

const Cursor* RegionHandleCursor(int index, const Cursor* none)
{
    static const SizeUpLeftCursor upLeft;
    static const SizeVertCursor vertical;
    static const SizeUpRightCursor upRight;
    static const SizeHorizCursor horizontal;
    switch (index) {
    case 1:
        return &upLeft;
    case 2:
        return &vertical;
    case 3:
        return &upRight;
    case 4:
        return &horizontal;
    default:
        return none;
    }
}
