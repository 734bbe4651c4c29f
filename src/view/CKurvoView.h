#pragma once

#include "model/util/SimpleStack.h"
#include "platform/Command.h"
#include "platform/Document.h"
#include "platform/PixelCanvas.h"
#include "platform/ToolEvent.h"
#include "view/SavedView.h"
#include "view/ViewSettings.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class AutoScrollProc;
class CDib;
class CollectLineTool;
class CollectTool;
class CropTool;
class Cursor;
class MapTool;
class PanTool;
class RotateTool;
class Tool;
class TrackMgr;
class ViewDocument;
class ViewHost;
class ZoominTool;
class ZoomoutTool;

// Keys the image view handles.
enum class ViewKey {
    Enter,
    Escape,
    Space,
    Z,
    X,
    PageUp,
    PageDown,
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    Other
};

// The zoomable, scrolling image view of a document: shows a display copy of the image scaled
// by the zoom factor and centred when smaller than the window, draws grid, mapping region,
// data and tool feedback on top, keeps saved views, owns the tools and turns every mouse and
// key event into a ToolEvent for its tracking manager. It draws into its own canvas the size
// of the client area and talks to its window only through a ViewHost.
class CKurvoView : public View, public CommandTarget {
public:
    // Command ids of the view.
    enum : CommandId {
        kZoomIn = 32771,
        kZoomOut = 32772,
        kCollectPoints = 32774,
        kFitToWindow = 32775,
        kActualPixels = 32777,
        kDefineRegion = 32778,
        kZoomFast = 32791,
        kZoomMedium = 32792,
        kZoomSlow = 32793,
        kDrawDithered = 32794,
        kRotateRegion = 32795,
        kCollectLines = 32803,
        kRefreshView = 32808,
        kPan = 32823,
        kZoomInRecenter = 32824,
        kZoomOutRecenter = 32825,
        kCrop = 32827,
        kSaveView = 32863,
        kNextSavedView = 32871,
        kPreviousSavedView = 32872,
        kPrint = 57607,
        kPrintDirect = 57608,
        kPrintPreview = 57609,
    };
    // The largest scaled size on an axis a zoom step may reach.
    static constexpr std::int64_t kMaxScaledExtent = std::int64_t{1} << 30;

    CKurvoView(ViewHost* host, ViewDocument* doc);
    ~CKurvoView() override;

    // ---- framework side
    // First showing: settings, tools wired, auto-scroll, fit, grid snap.
    void OnInitialUpdate(const ViewSettings& settings);
    void OnUpdate(View* sender, std::intptr_t hint) override;
    // The client area was resized.
    void OnSize(int width, int height);
    // Paints the canvas (the host calls it for a pending repaint).
    void OnPaint();
    void OnDraw(DeviceContext& dc);
    void OnActivateView(bool activate, bool otherViewActive);
    // The window goes away: the default tool is selected so that the current one deactivates.
    void OnDestroy();

    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;

    // ---- input
    void OnLButtonDown(IPoint p);
    void OnMouseMove(IPoint p);
    void OnLButtonUp(IPoint p);
    void OnKeyDown(ViewKey key, int repeatCount = 1);
    void OnKeyUp(ViewKey key);
    // The cursor over the client area; true when the view set it.
    bool OnSetCursor();

    // ---- operations for the tools
    void BuildToolEvent(IPoint p, DeviceContext* dc, ToolEvent& e);
    // An event for (0, 0) on the view's canvas, prepared for drawing.
    ToolEvent PrepareEvent();
    void SelectTool(Tool* tool);
    void SelectTemporaryTool(Tool* tool);
    void ScrollBy(int dx, int dy);
    const Cursor* SetViewCursor(const Cursor* cursor);
    void SetStatusText(const std::string& text, int pane);
    // Zooms by one step about the event's logical position (the zoom tools' release).
    void ZoomAtEvent(const ToolEvent& e, bool zoomIn);
    void RebuildDisplay();
    int DoRealizePalette(bool foreground);
    // Every other view of the document updates with the hint.
    void UpdateOtherViews(std::intptr_t hint);
    // Repaints the whole client area later, with or without erasing.
    void Invalidate(bool erase);
    // The canvas was drawn on directly: the host shows it.
    void CanvasChanged();
    bool PixelToGraph(DPoint pixel, DPoint& graph) const;

    // ---- zooming and scrolling
    bool ZoomIn();
    bool ZoomOut();
    // Sets the zoom factor keeping the image point at the window centre; false (nothing
    // changes) when the scaled size would leave the range the view can scroll.
    bool ZoomTo(double zoom);
    void FitToWindow();
    void ActualPixels();
    void ScrollToPosition(IPoint pos);
    void SaveView();
    void NextSavedView();
    void PreviousSavedView();

    // ---- printing: one page, the image fitted into the printable area
    void OnBeginPrinting(int pageWidth, int pageHeight, int dpiX, int dpiY);
    void OnPrint(DeviceContext& dc);
    void OnEndPrinting();

    // ---- state
    ViewHost* GetHost() const { return m_host; }
    ViewDocument* GetViewDocument() const { return m_doc; }
    const ViewSettings& GetSettings() const { return m_settings; }
    double GetZoom() const { return m_zoom; }
    double GetZoomRate() const { return m_zoomRate; }
    int GetZoomType() const { return m_zoomType; }
    bool IsFitted() const { return m_fitted != 0; }
    bool IsDithered() const { return m_dithered != 0; }
    ISize GetScaledSize() const { return m_scaledSize; }
    IPoint GetScrollPos() const { return m_scrollPos; }
    ISize GetClientSize() const;
    IPoint GetCentringOffset() const;
    IPoint GetLastMousePos() const { return m_lastMouse; }
    bool HasDisplay() const;
    CDib* GetDisplayImage() const { return m_displayImage; }
    // Whether the view samples the visible part of the image itself (no display copy).
    bool IsDrawingDirect() const { return m_directDraw; }
    PixelCanvas& GetCanvas() { return m_canvas; }
    TrackMgr* GetTrackMgr() const { return m_trackMgr.get(); }
    Tool* GetCurrentTool() const;
    Tool* GetDefaultTool() const { return m_defaultTool; }
    const Cursor* GetCurrentCursor() const { return m_currentCursor; }
    AutoScrollProc* GetAutoScroll() const { return m_autoScroll.get(); }
    int GetOverlayOnly() const { return m_overlayOnly; }
    int GetSavedViewCount() const { return m_views.GetSize(); }
    int GetSavedViewIndex() const { return m_viewIndex; }
    const SavedView& GetSavedView(int i) const { return m_views[i]; }
    SavedView CurrentSavedView() const;

    MapTool* GetMapTool() const { return m_mapTool.get(); }
    CollectTool* GetCollectTool() const { return m_collectTool.get(); }
    CollectLineTool* GetCollectLineTool() const { return m_collectLineTool.get(); }
    RotateTool* GetRotateTool() const { return m_rotateTool.get(); }
    PanTool* GetPanTool() const { return m_panTool.get(); }
    ZoominTool* GetZoominTool() const { return m_zoominTool.get(); }
    ZoomoutTool* GetZoomoutTool() const { return m_zoomoutTool.get(); }
    CropTool* GetCropTool() const { return m_cropTool.get(); }

private:
    ISize ComputeScaledSize(double zoom) const;
    bool ZoomAllowed(double zoom) const;
    // Sets the zoom and moves the scroll position so that the logical point at window
    // position `anchor` shows the same image point afterwards.
    void ZoomKeeping(double zoom, IPoint anchor);
    void SetScrollSizes();
    IPoint MaxScrollPos() const;
    void ApplyView(const SavedView& v);
    void PushView(int automatic);
    bool ViewDiffers(const SavedView& v) const;
    void DrawImage(DeviceContext& dc);
    void DrawSampled(DeviceContext& dc);
    void DrawOverlays(DeviceContext& dc, ToolEvent& e, bool imageLayer);
    bool IsImageLoaded() const;
    bool IsRegionDefined() const;
    void SelectTemporaryFromKeys();
    Tool* ToolOfCommand(CommandId id) const;

    ViewHost* m_host;
    ViewDocument* m_doc;
    ViewSettings m_settings;
    PixelCanvas m_canvas;
    double m_zoom = 1.0;
    ISize m_scaledSize{1, 1};
    CDib* m_displayImage = nullptr;
    bool m_directDraw = false;
    int m_screenDepth = 32;
    Tool* m_defaultTool = nullptr;
    const Cursor* m_currentCursor = nullptr;
    double m_zoomRate = 1.2;
    int m_zoomType = 2;
    int m_dithered = 0;
    int m_fitted = 0;
    SimpleStack<SavedView> m_views;
    int m_viewIndex = -1;
    ISize m_pageSize{10, 10};
    ISize m_lineSize{1, 1};
    std::unique_ptr<MapTool> m_mapTool;
    std::unique_ptr<CollectTool> m_collectTool;
    std::unique_ptr<CollectLineTool> m_collectLineTool;
    std::unique_ptr<RotateTool> m_rotateTool;
    std::unique_ptr<PanTool> m_panTool;
    std::unique_ptr<ZoominTool> m_zoominTool;
    std::unique_ptr<ZoomoutTool> m_zoomoutTool;
    std::unique_ptr<CropTool> m_cropTool;
    std::unique_ptr<TrackMgr> m_trackMgr;
    std::unique_ptr<AutoScrollProc> m_autoScroll;
    int m_pickTol = 2;
    int m_overlayOnly = 0;
    Colour m_gridColour = 0xC8C8C8;
    Colour m_boxColour = 255;
    Colour m_ptsColour = 255;
    IPoint m_lastMouse;
    IPoint m_scrollPos;
    bool m_printing = false;
    double m_savedPrintZoom = 1.0;
    IPoint m_printOffset;
    bool m_initialized = false;
    bool m_eraseNext = true;
    std::vector<std::uint32_t> m_sampleBuffer;
};
