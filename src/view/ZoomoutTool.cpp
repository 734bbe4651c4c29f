#include "view/ZoomoutTool.h"

#include "view/CKurvoView.h"
#include "view/ZoomoutCursor.h"

namespace {
const ZoomoutCursor s_cursor;
} // namespace

void ZoomoutTool::BeginTracking(ToolEvent&)
{
}
void ZoomoutTool::KeepTracking(ToolEvent&)
{
}
void ZoomoutTool::Move(ToolEvent&)
{
}
void ZoomoutTool::MoveRaw(ToolEvent&)
{
}

void ZoomoutTool::EndTracking(ToolEvent& e)
{
    if (m_view)
        m_view->ZoomAtEvent(e, false);
}

void ZoomoutTool::Activate(ToolEvent&)
{
    SetToolCursor(&s_cursor);
}
