#include "view/ZoominTool.h"

#include "view/CKurvoView.h"
#include "view/ZoominCursor.h"

namespace {
const ZoominCursor s_cursor;
} // namespace

void ZoominTool::BeginTracking(ToolEvent&)
{
}
void ZoominTool::KeepTracking(ToolEvent&)
{
}
void ZoominTool::Move(ToolEvent&)
{
}
void ZoominTool::MoveRaw(ToolEvent&)
{
}

void ZoominTool::EndTracking(ToolEvent& e)
{
    if (m_view)
        m_view->ZoomAtEvent(e, true);
}

void ZoominTool::Activate(ToolEvent&)
{
    SetToolCursor(&s_cursor);
}
