#include "view/EditTool.h"

#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "tasks/DeletePointsTask.h"
#include "tasks/MovePointsTask.h"
#include "tasks/PlotData.h"
#include "view/CKurvoView.h"
#include "view/Cursor.h"
#include "view/TrackMgr.h"

#include <algorithm>
#include <cmath>

namespace {

// The frame of a selected point: green, two pixels wide, outside the plus marker's arms.
constexpr Colour kSelectionColour = 0x00B000;

DbPoint* AsPoint(DbPrim* prim)
{
    return prim && prim->Kind() == DbPrim::kPoint ? static_cast<DbPoint*>(prim) : nullptr;
}

std::vector<DbPoint*> SelectedPoints(const DbSetMgr& sets)
{
    std::vector<DbPoint*> out;
    for (DbPrim* p : sets.GetSelection())
        if (DbPoint* point = AsPoint(p))
            out.push_back(point);
    return out;
}

void Frame(ToolEvent& e, IPoint c, int r)
{
    e.dc->MoveTo(c.x - r, c.y - r);
    e.dc->LineTo(c.x + r, c.y - r);
    e.dc->LineTo(c.x + r, c.y + r);
    e.dc->LineTo(c.x - r, c.y + r);
    e.dc->LineTo(c.x - r, c.y - r);
}

} // namespace

DbSetMgr* EditTool::Sets() const
{
    return m_data ? m_data->GetSetMgr() : nullptr;
}

bool EditTool::HasSelection() const
{
    const DbSetMgr* sets = Sets();
    return sets && !sets->GetSelection().empty();
}

DbPoint* EditTool::Pick(DPoint pixel, DPoint tolerance) const
{
    const DbSetMgr* sets = Sets();
    if (!sets)
        return nullptr;
    auto nearest = [&](const DbPrimList* set, DbPoint*& best, double& bestDistance) {
        for (int i = 0; set && i < set->GetCount(); ++i) {
            DbPoint* p = AsPoint(set->GetAt(i));
            if (!p)
                continue;
            const double dx = std::fabs(p->m_pixel.x - pixel.x);
            const double dy = std::fabs(p->m_pixel.y - pixel.y);
            if (dx > tolerance.x || dy > tolerance.y)
                continue;
            const double d = std::hypot(dx, dy);
            if (!best || d < bestDistance) {
                best = p;
                bestDistance = d;
            }
        }
    };
    DbPoint* best = nullptr;
    double distance = 0.0;
    nearest(sets->GetCurrentSet(), best, distance);
    for (int slot = 0; !best && slot < sets->GetSlotCount(); ++slot)
        if (slot != sets->GetCurrent())
            nearest(sets->GetSet(slot), best, distance);
    return best;
}

void EditTool::BeginTracking(ToolEvent& e)
{
    DbSetMgr* sets = Sets();
    m_mode = kNone;
    m_moved = false;
    m_unselectOnRelease = nullptr;
    if (!sets)
        return;
    m_press = e.scaled;
    m_grab = Pick(e.scaled, e.tolerance);
    if (!m_grab) {
        m_mode = kBand;
        m_bandEnd = e.scaled;
        m_bandShown = false;
        return;
    }
    std::vector<DbPrim*> selection = sets->GetSelection();
    if (sets->IsSelected(m_grab)) {
        if (e.shift)
            m_unselectOnRelease = m_grab;
    } else {
        if (!e.shift)
            selection.clear();
        selection.push_back(m_grab);
        sets->SetSelection(selection);
        Changed();
    }
    m_mode = kDrag;
    m_origins.clear();
    for (DbPoint* p : SelectedPoints(*sets))
        m_origins.push_back({p, p->m_pixel});
}

void EditTool::KeepTracking(ToolEvent& e)
{
    if (m_mode == kBand) {
        XorBand(e);
        m_bandEnd = e.scaled;
        XorBand(e);
        m_bandShown = true;
        if (m_view)
            m_view->CanvasChanged();
        return;
    }
    if (m_mode != kDrag || !m_grab)
        return;
    // The grabbed point follows the pointer and snaps to the grid; the others keep their
    // offsets to it.
    const auto grabbed = std::find_if(m_origins.begin(), m_origins.end(),
                                      [this](const Origin& o) { return o.point == m_grab; });
    if (grabbed == m_origins.end())
        return;
    ToolEvent target = e;
    target.scaled = {grabbed->pixel.x + e.scaled.x - m_press.x,
                     grabbed->pixel.y + e.scaled.y - m_press.y};
    if (m_mgr) {
        const bool was = m_mgr->IsSnapEnabled();
        m_mgr->EnableSnap(true);
        m_mgr->Snap(target);
        m_mgr->EnableSnap(was);
    }
    const DPoint delta{target.scaled.x - grabbed->pixel.x, target.scaled.y - grabbed->pixel.y};
    if (!m_moved && delta.x == 0.0 && delta.y == 0.0)
        return;
    m_moved = true;
    for (const Origin& o : m_origins) {
        o.point->m_pixel = {o.pixel.x + delta.x, o.pixel.y + delta.y};
        o.point->Recompute(m_data);
    }
    SetStatus("Move Points %s", GraphText(*m_grab).c_str());
    if (m_view)
        m_view->Invalidate(false);
}

void EditTool::EndTracking(ToolEvent& e)
{
    DbSetMgr* sets = Sets();
    const Mode mode = m_mode;
    m_mode = kNone;
    if (!sets)
        return;
    if (mode == kDrag) {
        if (m_moved) {
            std::vector<MovePointsTask::Move> moves;
            for (const Origin& o : m_origins)
                moves.push_back({o.point, o.pixel, o.point->m_pixel});
            RestoreOrigins();
            Execute(std::make_unique<MovePointsTask>(m_data, std::move(moves)));
        } else if (m_unselectOnRelease) {
            std::vector<DbPrim*> selection = sets->GetSelection();
            std::erase(selection, m_unselectOnRelease);
            sets->SetSelection(selection);
        }
        m_origins.clear();
        Changed();
        return;
    }
    if (mode != kBand)
        return;
    if (m_bandShown)
        XorBand(e);
    m_bandShown = false;
    m_bandEnd = e.scaled;
    const double x0 = std::min(m_press.x, m_bandEnd.x), x1 = std::max(m_press.x, m_bandEnd.x);
    const double y0 = std::min(m_press.y, m_bandEnd.y), y1 = std::max(m_press.y, m_bandEnd.y);
    std::vector<DbPrim*> selection;
    if (e.shift)
        selection = sets->GetSelection();
    for (int slot = 0; slot < sets->GetSlotCount(); ++slot)
        if (const DbPrimList* set = sets->GetSet(slot))
            for (int i = 0; i < set->GetCount(); ++i)
                if (DbPoint* p = AsPoint(set->GetAt(i)))
                    if (p->m_pixel.x >= x0 && p->m_pixel.x <= x1 && p->m_pixel.y >= y0 &&
                        p->m_pixel.y <= y1)
                        selection.push_back(p);
    sets->SetSelection(selection);
    Changed();
}

void EditTool::RestoreOrigins()
{
    for (const Origin& o : m_origins) {
        o.point->m_pixel = o.pixel;
        o.point->Recompute(m_data);
    }
}

void EditTool::Cancel(ToolEvent& e)
{
    if (m_mode == kDrag && m_moved) {
        RestoreOrigins();
        if (m_view)
            m_view->Invalidate(false);
    } else if (m_mode == kBand && m_bandShown) {
        XorBand(e);
        if (m_view)
            m_view->CanvasChanged();
    }
    m_mode = kNone;
    m_bandShown = false;
    m_origins.clear();
}

void EditTool::XorBand(ToolEvent& e)
{
    if (!e.dc)
        return;
    const IPoint a = e.ToWindow(m_press), b = e.ToWindow(m_bandEnd);
    e.AttachPen(Pen{PenStyle::Dot, 0, kSelectionColour});
    e.BeginXor();
    e.dc->MoveTo(a.x, a.y);
    e.dc->LineTo(b.x, a.y);
    e.dc->LineTo(b.x, b.y);
    e.dc->LineTo(a.x, b.y);
    e.dc->LineTo(a.x, a.y);
    e.EndXor();
    e.ReleasePen();
}

void EditTool::Draw(ToolEvent& e)
{
    if (m_mode == kBand && m_bandShown)
        XorBand(e);
}

void EditTool::HideFeedback(ToolEvent& e)
{
    Draw(e);
}

void EditTool::ShowFeedback(ToolEvent& e)
{
    Draw(e);
}

void EditTool::Move(ToolEvent& e)
{
    DbSetMgr* sets = Sets();
    DbPoint* p = Pick(e.scaled, e.tolerance);
    int slot = 0, index = 0;
    if (!p || !sets->Locate(p, slot, index)) {
        Prompt();
        return;
    }
    SetStatus("%s, point %d: %s", sets->GetSet(slot)->GetName().c_str(), index + 1,
              GraphText(*p).c_str());
}

std::string EditTool::GraphText(const DbPoint& p) const
{
    std::string text = "(";
    p.AppendGraph(text, ", ", m_data);
    return text + ")";
}

void EditTool::Prompt()
{
    SetStatus("%s", "Edit Points: click or band selects, Shift adds; drag or arrows move; Del "
                    "deletes");
}

bool EditTool::KeyDown(ViewKey key, ToolEvent& e)
{
    const double step = (e.shift ? 10.0 : 1.0) / (e.scale > 0.0 ? e.scale : 1.0);
    DPoint delta;
    switch (key) {
    case ViewKey::Left:
        delta.x = -step;
        break;
    case ViewKey::Right:
        delta.x = step;
        break;
    case ViewKey::Up:
        delta.y = -step;
        break;
    case ViewKey::Down:
        delta.y = step;
        break;
    default:
        return false;
    }
    // Without selected points the arrows scroll, as with the other tools.
    return m_mode == kNone && MoveSelection(delta);
}

bool EditTool::MoveSelection(DPoint delta)
{
    DbSetMgr* sets = Sets();
    if (!sets)
        return false;
    std::vector<MovePointsTask::Move> moves;
    for (DbPoint* p : SelectedPoints(*sets))
        moves.push_back({p, p->m_pixel, {p->m_pixel.x + delta.x, p->m_pixel.y + delta.y}});
    if (moves.empty() || !Execute(std::make_unique<MovePointsTask>(m_data, std::move(moves))))
        return false;
    Changed();
    return true;
}

bool EditTool::DeleteSelection()
{
    DbSetMgr* sets = Sets();
    if (!sets || sets->GetSelection().empty())
        return false;
    if (!Execute(std::make_unique<DeletePointsTask>(m_data, sets->GetSelection())))
        return false;
    Changed();
    Prompt(); // the status may have named a point that is gone
    return true;
}

void EditTool::Changed()
{
    if (m_view)
        m_view->Invalidate(false);
    UpdateOtherViews();
}

void EditTool::Activate(ToolEvent&)
{
    SetToolCursor(&ViewCursor::CrossHair);
    m_mode = kNone;
    Prompt();
}

void EditTool::Deactivate(ToolEvent& e)
{
    Cancel(e);
    SetStatus("%s", "");
    RestoreCursor();
}

void EditTool::DrawSelection(ToolEvent& e, const DbSetMgr& sets)
{
    if (!e.dc || sets.GetSelection().empty())
        return;
    e.AttachPen(Pen{PenStyle::Solid, 0, kSelectionColour});
    for (DbPoint* p : SelectedPoints(sets)) {
        const IPoint c = e.ToWindow(p->m_pixel);
        Frame(e, c, 6);
        Frame(e, c, 7);
    }
    e.ReleasePen();
}
