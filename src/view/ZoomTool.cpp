#include "view/ZoomTool.h"

#include "view/CKurvoView.h"
#include "view/Cursor.h"

void ZoomTool::BeginTracking(ToolEvent&)
{
}
void ZoomTool::KeepTracking(ToolEvent&)
{
}
void ZoomTool::Move(ToolEvent&)
{
}
void ZoomTool::MoveRaw(ToolEvent&)
{
}

void ZoomTool::EndTracking(ToolEvent& e)
{
    if (m_view)
        m_view->ZoomAtEvent(e, m_zoomIn);
}

void ZoomTool::Activate(ToolEvent&)
{
    SetToolCursor(m_zoomIn ? &ViewCursor::ZoomIn : &ViewCursor::ZoomOut);
}
