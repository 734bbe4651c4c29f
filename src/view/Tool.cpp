#include "view/Tool.h"

#include "model/Task.h"
#include "tasks/PlotData.h"
#include "view/CKurvoView.h"
#include "view/Cursor.h"
#include "view/FormatC.h"
#include "view/ViewDocument.h"

#include <cmath>
#include <cstdarg>

Tool::~Tool() = default;

void Tool::ShowTrackStatus(const char* what, const ToolEvent& e)
{
    SetStatus("%s at Pixel (%d,%d)  Logical(%d,%d)  Scaled(%g,%g)", what, e.pixel.x, e.pixel.y,
              e.logical.x, e.logical.y, e.scaled.x, e.scaled.y);
}

void Tool::BeginTracking(ToolEvent& e)
{
    ShowTrackStatus("Move", e);
}
void Tool::KeepTracking(ToolEvent& e)
{
    ShowTrackStatus("Move", e);
}
void Tool::EndTracking(ToolEvent& e)
{
    ShowTrackStatus("Move", e);
}
void Tool::Move(ToolEvent& e)
{
    ShowTrackStatus("Move", e);
}
void Tool::MoveRaw(ToolEvent& e)
{
    ShowTrackStatus("MoveRaw", e);
}
void Tool::Accept(ToolEvent&)
{
}
void Tool::Cancel(ToolEvent&)
{
}
void Tool::Draw(ToolEvent&)
{
}
void Tool::HideFeedback(ToolEvent&)
{
}
void Tool::ShowFeedback(ToolEvent&)
{
}
void Tool::ModifierClick(ToolEvent&, int)
{
}
void Tool::Scrolled(ToolEvent&)
{
}
bool Tool::KeyDown(ViewKey, ToolEvent&)
{
    return false;
}

void Tool::SetStatus(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = FormatCv(format, args);
    va_end(args);
    if (m_view)
        m_view->SetStatusText(text, 0);
}

void Tool::SetStatusPane(int pane, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = FormatCv(format, args);
    va_end(args);
    if (m_view)
        m_view->SetStatusText(text, pane);
}

void Tool::ShowPlotPosition(ToolEvent& e)
{
    if (!m_view)
        return;
    ViewDocument* doc = m_view->GetViewDocument();
    DPoint graph;
    if (!doc || !m_view->PixelToGraph(e.scaled, graph)) {
        SetStatus("%s", "");
        return;
    }
    DPoint extent{1.0, 1.0};
    doc->GetPixelResolution(e, extent);
    SetStatus("%s", PositionText(graph, extent).c_str());
}

std::string Tool::PositionText(DPoint graph, DPoint extent)
{
    // Significant digits reaching two below the size of one pixel; a logarithm that is not
    // defined gives a negative count, which printf treats as the default precision.
    auto digits = [](double v, double r) {
        const double d = std::floor(std::log10(v)) - std::floor(std::log10(r)) + 2.0;
        if (!std::isfinite(d) || d < -1000.0 || d > 1000.0)
            return -1;
        return static_cast<int>(d);
    };
    return FormatC("Plot Position (%.*g, %.*g)", digits(graph.x, extent.x), graph.x,
                   digits(graph.y, extent.y), graph.y);
}

void Tool::ShowPixelSize(ToolEvent& e)
{
    if (!m_view || !m_view->GetViewDocument())
        return;
    DPoint extent;
    if (!m_view->GetViewDocument()->GetPixelResolution(e, extent))
        return;
    SetStatusPane(5, "%g, %g", std::fabs(extent.x), std::fabs(extent.y));
}

void Tool::UpdateOtherViews()
{
    if (m_view)
        m_view->UpdateOtherViews(PlotData::kHintData);
}

void Tool::GetScrollDirection(IPoint& direction)
{
    direction = {1, 1};
}

void Tool::Activate(ToolEvent&)
{
    SetToolCursor(&ViewCursor::CrossHair);
}

void Tool::Deactivate(ToolEvent&)
{
    RestoreCursor();
}

void Tool::SetToolCursor(const Cursor* cursor)
{
    m_cursor = cursor;
    if (m_view)
        m_prevCursor = m_view->SetViewCursor(cursor);
}

void Tool::RestoreCursor()
{
    if (m_view)
        m_view->SetViewCursor(m_prevCursor);
}

bool Tool::Execute(std::unique_ptr<Task> task)
{
    if (!m_data || !task)
        return false;
    return m_data->Execute(std::move(task));
}
