#include "view/AntsProc.h"

#include "mapping/Box.h"
#include "view/CKurvoView.h"
#include "view/Tool.h"

int AntsProc::Tick()
{
    CKurvoView* view = m_tool ? m_tool->GetView() : nullptr;
    m_pattern = static_cast<unsigned char>(m_pattern << 1);
    if (m_pattern == 0)
        m_pattern = 1;
    if (!view || !m_box)
        return 1;
    ToolEvent e = view->PrepareEvent();
    e.antsPattern = m_pattern;
    e.AttachPen(Pen{PenStyle::Solid, 0, kBlack});
    e.drawMode = ToolEvent::kAnts;
    e.colour = 0;
    m_box->Draw(e);
    e.ReleasePen();
    e.drawMode = ToolEvent::kNormal;
    view->CanvasChanged();
    return 1;
}
