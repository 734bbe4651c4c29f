#include "view/ViewCommand.h"

#include "platform/CommandIds.h"
#include "view/CKurvoView.h"
#include "view/CollectLineTool.h"
#include "view/CollectTool.h"
#include "view/CropTool.h"
#include "view/EditTool.h"
#include "view/MapTool.h"
#include "view/PanTool.h"
#include "view/RotateTool.h"
#include "view/ViewDocument.h"
#include "view/ZoomTool.h"

#include <cmath>

namespace {

using V = CKurvoView;
using S = CommandState;

void OfferWithImage(V& v, S& s)
{
    s.Enable(v.IsImageLoaded());
}

void OfferZoomSpeed(V& v, S& s, int type)
{
    s.Enable(v.IsImageLoaded());
    s.SetRadio(v.GetZoomType() == type);
}

// A tool is offered while `enabled` and marked while it is the current one.
void OfferTool(V& v, S& s, Tool* tool, bool enabled)
{
    s.Enable(enabled);
    s.SetRadio(v.GetCurrentTool() == tool);
}

// The region tools are offered with a region; losing it falls back to the default tool.
void OfferRegionTool(V& v, S& s, Tool* tool)
{
    const bool enabled = v.IsRegionDefined();
    OfferTool(v, s, tool, enabled);
    if (!enabled && v.GetCurrentTool() == tool && v.GetDefaultTool())
        v.SelectTool(v.GetDefaultTool());
}

// Collecting needs a valid mapping: the axis mapping is asked for first when there is none.
void SelectCollectTool(V& v, Tool* tool)
{
    ViewDocument* doc = v.GetViewDocument();
    if (doc && !doc->IsMappingValid())
        doc->OnAxisMapping();
    if (doc && doc->IsMappingValid())
        v.SelectTool(tool);
}

// A zoom preset is offered with an image it can show at that zoom, and marked while shown so.
template <int Percent> void RunZoomPreset(V& v)
{
    v.ZoomTo(Percent / 100.0);
}
template <int Percent> void OfferZoomPreset(V& v, S& s)
{
    s.Enable(v.IsImageLoaded() && v.GetZoomScroll().ZoomAllowed(Percent / 100.0));
    s.SetRadio(std::fabs(v.GetZoom() - Percent / 100.0) < 1e-9);
}

const ViewCommand kCommands[] = {
    {ID_VIEW_ZOOM_25, RunZoomPreset<25>, OfferZoomPreset<25>},
    {ID_VIEW_ZOOM_50, RunZoomPreset<50>, OfferZoomPreset<50>},
    {ID_VIEW_ZOOM_100, RunZoomPreset<100>, OfferZoomPreset<100>},
    {ID_VIEW_ZOOM_200, RunZoomPreset<200>, OfferZoomPreset<200>},
    {ID_VIEW_ZOOM_400, RunZoomPreset<400>, OfferZoomPreset<400>},
    {ID_VIEW_ZOOM_800, RunZoomPreset<800>, OfferZoomPreset<800>},
    {ID_VIEW_MAGNIFIER, [](V& v) { v.ShowMagnifier(!v.IsMagnifierOn()); },
     [](V& v, S& s) {
         s.Enable(v.IsImageLoaded());
         s.SetCheck(v.IsMagnifierOn());
     }},
    {ID_VIEW_ZOOMIN, [](V& v) { v.ZoomIn(); }, OfferWithImage},
    {ID_VIEW_ZOOMOUT, [](V& v) { v.ZoomOut(); }, OfferWithImage},
    {ID_VIEW_FIT, [](V& v) { v.FitToWindow(); }, OfferWithImage},
    {ID_VIEW_REFRESH, [](V& v) { v.Invalidate(true); }, OfferWithImage},
    {ID_VIEW_ACTUAL, [](V& v) { v.ActualPixels(); },
     [](V& v, S& s) {
         s.Enable(v.IsImageLoaded());
         s.SetCheck(std::fabs(v.GetZoom() - 1.0) < 1e-5);
     }},
    {ID_VIEW_ZOOM_FAST, [](V& v) { v.SetZoomType(1); },
     [](V& v, S& s) { OfferZoomSpeed(v, s, 1); }},
    {ID_VIEW_ZOOM_MEDIUM, [](V& v) { v.SetZoomType(2); },
     [](V& v, S& s) { OfferZoomSpeed(v, s, 2); }},
    {ID_VIEW_ZOOM_SLOW, [](V& v) { v.SetZoomType(3); },
     [](V& v, S& s) { OfferZoomSpeed(v, s, 3); }},
    {ID_VIEW_DITHERED, [](V& v) { v.SetDithered(!v.IsDithered()); },
     [](V& v, S& s) {
         s.Enable(v.IsImageLoaded());
         s.SetCheck(v.IsDithered());
     }},
    {ID_VIEW_SAVE, [](V& v) { v.SaveView(); }, [](V& v, S& s) { s.Enable(v.HasDisplay()); }},
    {ID_VIEW_NEXT_SAVED, [](V& v) { v.NextSavedView(); },
     [](V& v, S& s) { s.Enable(v.GetSavedViews().CanGoNext()); }},
    {ID_VIEW_PREV_SAVED, [](V& v) { v.PreviousSavedView(); },
     [](V& v, S& s) { s.Enable(v.GetSavedViews().CanGoPrevious(v.CurrentSavedView())); }},
    {ID_TOOL_COLLECT, [](V& v) { SelectCollectTool(v, v.GetCollectTool()); },
     [](V& v, S& s) { OfferRegionTool(v, s, v.GetCollectTool()); }},
    {ID_TOOL_COLLECT_LINES, [](V& v) { SelectCollectTool(v, v.GetCollectLineTool()); },
     [](V& v, S& s) { OfferRegionTool(v, s, v.GetCollectLineTool()); }},
    {ID_TOOL_ROTATE, [](V& v) { v.SelectTool(v.GetRotateTool()); },
     [](V& v, S& s) { OfferRegionTool(v, s, v.GetRotateTool()); }},
    {ID_TOOL_MAP, [](V& v) { v.SelectTool(v.GetMapTool()); },
     [](V& v, S& s) { OfferTool(v, s, v.GetMapTool(), v.IsImageLoaded()); }},
    {ID_TOOL_PAN, [](V& v) { v.SelectTool(v.GetPanTool()); },
     [](V& v, S& s) { OfferTool(v, s, v.GetPanTool(), v.IsImageLoaded()); }},
    {ID_TOOL_ZOOMIN, [](V& v) { v.SelectTool(v.GetZoominTool()); },
     [](V& v, S& s) { OfferTool(v, s, v.GetZoominTool(), v.IsImageLoaded()); }},
    {ID_TOOL_ZOOMOUT, [](V& v) { v.SelectTool(v.GetZoomoutTool()); },
     [](V& v, S& s) { OfferTool(v, s, v.GetZoomoutTool(), v.IsImageLoaded()); }},
    {ID_TOOL_CROP, [](V& v) { v.SelectTool(v.GetCropTool()); },
     [](V& v, S& s) { OfferTool(v, s, v.GetCropTool(), v.IsImageLoaded()); }},
    {ID_TOOL_EDIT_POINTS, [](V& v) { v.SelectTool(v.GetEditTool()); },
     [](V& v, S& s) { OfferTool(v, s, v.GetEditTool(), v.IsImageLoaded()); }},
    {ID_EDIT_DELETE_POINTS, [](V& v) { v.GetEditTool()->DeleteSelection(); },
     [](V& v, S& s) { s.Enable(v.GetEditTool()->HasSelection()); }},
};

} // namespace

const ViewCommand* ViewCommand::Find(CommandId id)
{
    for (const ViewCommand& c : kCommands)
        if (c.id == id)
            return &c;
    return nullptr;
}
