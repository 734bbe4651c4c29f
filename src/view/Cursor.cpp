#include "view/Cursor.h"

#include "view/ViewHost.h"

void Cursor::Set(ViewHost& host) const
{
    host.SetCursor(m_shape);
}
