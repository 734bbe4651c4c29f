#include "view/PanTool.h"

#include "view/CKurvoView.h"
#include "view/Cursor.h"

void PanTool::BeginTracking(ToolEvent& e)
{
    m_reference = e;
}

void PanTool::KeepTracking(ToolEvent& e)
{
    const int dx = m_reference.pixel.x - e.pixel.x;
    const int dy = m_reference.pixel.y - e.pixel.y;
    if (m_view)
        m_view->ScrollBy(dx, dy);
    m_reference = e;
}

void PanTool::EndTracking(ToolEvent&)
{
}
void PanTool::Move(ToolEvent&)
{
}
void PanTool::MoveRaw(ToolEvent&)
{
}

void PanTool::GetScrollDirection(IPoint& direction)
{
    direction = {-1, -1};
}

void PanTool::Activate(ToolEvent&)
{
    SetToolCursor(&ViewCursor::Hand);
}
