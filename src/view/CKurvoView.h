#pragma once

#include "image/ImageRenderer.h"
#include "platform/Command.h"
#include "platform/Document.h"
#include "platform/PixelCanvas.h"
#include "platform/ToolEvent.h"
#include "view/PrintLayout.h"
#include "view/SavedViewHistory.h"
#include "view/ViewKey.h"
#include "view/ViewSettings.h"
#include "view/ZoomScroll.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class AutoScrollProc;
class CollectLineTool;
class CollectTool;
class CropTool;
class Cursor;
class EditTool;
class Magnifier;
class MapTool;
class PanTool;
class RotateTool;
class Tool;
class TrackMgr;
class ViewDocument;
class ViewHost;
class ZoomTool;

// The zoomable, scrolling image view of a document: shows the image scaled by the zoom factor
// and centred when smaller than the window, draws grid, mapping region, data and tool feedback
// on top, owns the tools and turns every mouse and key event into a ToolEvent for its tracking
// manager. Its parts: the zoom and scroll state (ZoomScroll), the saved views
// (SavedViewHistory), the print layout (PrintLayout) and the image drawing (ImageRenderer);
// its commands are the table of ViewCommand. It draws into its own canvas the size of the
// client area and talks to its window only through a ViewHost.
class CKurvoView : public View, public CommandTarget {
public:
    CKurvoView(ViewHost* host, ViewDocument* doc);
    ~CKurvoView() override;

    // ---- framework side
    // First showing: settings, tools wired, auto-scroll, fit, grid snap.
    void OnInitialUpdate(const ViewSettings& settings);
    // Changed settings (the user's options) take effect at once: colours, pick tolerance,
    // zoom rate and the display cache.
    void ApplySettings(const ViewSettings& settings);
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

    // The zoom speed: 1 fast, 2 medium, 3 slow.
    void SetZoomType(int type);
    // Draws the display copy dithered (no difference in true colour).
    void SetDithered(bool dithered);

    // ---- printing: one page, the image fitted into the printable area
    void OnBeginPrinting(int pageWidth, int pageHeight, int dpiX, int dpiY);
    void OnPrint(DeviceContext& dc);
    void OnEndPrinting();

    // ---- state
    ViewHost* GetHost() const { return m_host; }
    ViewDocument* GetViewDocument() const { return m_doc; }
    const ViewSettings& GetSettings() const { return m_settings; }
    const ZoomScroll& GetZoomScroll() const { return m_zoomScroll; }
    double GetZoom() const { return m_zoomScroll.Zoom(); }
    double GetZoomRate() const { return m_zoomScroll.Rate(); }
    int GetZoomType() const { return m_zoomScroll.ZoomType(); }
    bool IsFitted() const { return m_zoomScroll.IsFitted(); }
    bool IsDithered() const { return m_dithered; }
    bool IsImageLoaded() const;
    // Whether the document has a mapping region.
    bool IsRegionDefined() const;
    ISize GetScaledSize() const { return m_zoomScroll.ScaledSize(); }
    IPoint GetScrollPos() const { return m_zoomScroll.ScrollPos(); }
    ISize GetClientSize() const;
    IPoint GetCentringOffset() const { return m_zoomScroll.CentringOffset(); }
    IPoint GetLastMousePos() const { return m_lastMouse; }
    bool HasDisplay() const { return m_renderer.HasDisplay(); }
    // Whether the view samples the visible part of the image itself (no display copy).
    bool IsDrawingDirect() const { return m_renderer.IsDrawingDirect(); }
    PixelCanvas& GetCanvas() { return m_canvas; }
    TrackMgr* GetTrackMgr() const { return m_trackMgr.get(); }
    Tool* GetCurrentTool() const;
    Tool* GetDefaultTool() const { return m_defaultTool; }
    const Cursor* GetCurrentCursor() const { return m_currentCursor; }
    AutoScrollProc* GetAutoScroll() const { return m_autoScroll.get(); }
    int GetOverlayOnly() const { return m_overlayOnly; }
    const SavedViewHistory& GetSavedViews() const { return m_savedViews; }
    SavedView CurrentSavedView() const;

    MapTool* GetMapTool() const { return m_mapTool.get(); }
    CollectTool* GetCollectTool() const { return m_collectTool.get(); }
    CollectLineTool* GetCollectLineTool() const { return m_collectLineTool.get(); }
    RotateTool* GetRotateTool() const { return m_rotateTool.get(); }
    PanTool* GetPanTool() const { return m_panTool.get(); }
    ZoomTool* GetZoominTool() const { return m_zoominTool.get(); }
    ZoomTool* GetZoomoutTool() const { return m_zoomoutTool.get(); }
    CropTool* GetCropTool() const { return m_cropTool.get(); }
    EditTool* GetEditTool() const { return m_editTool.get(); }

    // ---- layers and picks lent to other parts of the program (the extraction panel)
    // Drawn over the data on screen (not when printing); an empty function removes it.
    void SetExtraLayer(std::function<void(ToolEvent&)> layer);
    // Takes the next click (in image pixels) before the current tool does; it stays set
    // until cleared and consumes each click it returns true for.
    void SetClickPick(std::function<bool(DPoint)> pick) { m_clickPick = std::move(pick); }
    bool HasClickPick() const { return static_cast<bool>(m_clickPick); }
    // Takes drags (in image pixels) before the current tool does, while set: each move
    // reports the box so far, the release reports it done.
    using DragPick = std::function<void(DPoint from, DPoint to, bool done)>;
    void SetDragPick(DragPick pick);

    // ---- zoom about the pointer, the wheel, the magnifier, the pointer's position
    // The status panes the view fills besides the tools' message pane.
    static constexpr int kPanePosition = 6;
    static constexpr int kPaneZoom = 7;
    // Sets the zoom keeping the image point under window position `window` under it (to
    // half a window pixel); false, and nothing changes, when the zoom is out of range.
    bool ZoomAbout(double zoom, IPoint window);
    // The wheel turned by `notches` (positive away from the user) with the pointer at p:
    // with Control it zooms about the pointer, with Shift it scrolls sideways, else up or down.
    void OnMouseWheel(IPoint p, int notches, bool control, bool shift);
    // The pointer left the window: the loupe goes away.
    void OnMouseLeave();
    // The image coordinate the centre of window pixel p shows.
    DPoint ImagePointAt(IPoint p) const;
    void ShowMagnifier(bool on);
    bool IsMagnifierOn() const { return m_magnifierOn; }
    void SetMagnifierFactor(int factor);
    // Whether the loupe is on the window now, where (its top-left, the label strip below
    // it) and what the label says.
    bool IsLoupeShown() const { return m_loupeShown; }
    IPoint GetLoupePos() const { return m_loupePos; }
    const std::string& GetLoupeLabel() const { return m_loupeLabel; }
    const Magnifier& GetMagnifier() const { return *m_magnifier; }

private:
    // The loupe follows the pointer while a collecting, editing or region tool is current.
    void UpdateLoupe(const ToolEvent& e, IPoint p);
    void HideLoupe();
    // The graph position under the pointer in its pane, when there is a mapping.
    void ShowPointerPosition(const ToolEvent& e);
    void ShowZoom();
    std::string GraphText(const ToolEvent& e, DPoint pixel) const;

    // Sets the zoom and moves the scroll position so that the logical point at window
    // position `anchor` shows the same image point afterwards.
    void ZoomKeeping(double zoom, IPoint anchor);
    void SetScrollSizes();
    void ScrollBarsChanged();
    void ApplyView(const SavedView& v);
    void DrawOverlays(ToolEvent& e, bool imageLayer);
    void SelectTemporaryFromKeys();
    ISize ImageSize() const;

    ViewHost* m_host;
    ViewDocument* m_doc;
    ViewSettings m_settings;
    PixelCanvas m_canvas;
    ZoomScroll m_zoomScroll;
    ImageRenderer m_renderer;
    SavedViewHistory m_savedViews;
    PrintLayout m_printLayout;
    Tool* m_defaultTool = nullptr;
    const Cursor* m_currentCursor = nullptr;
    bool m_dithered = false;
    std::unique_ptr<MapTool> m_mapTool;
    std::unique_ptr<CollectTool> m_collectTool;
    std::unique_ptr<CollectLineTool> m_collectLineTool;
    std::unique_ptr<RotateTool> m_rotateTool;
    std::unique_ptr<PanTool> m_panTool;
    std::unique_ptr<ZoomTool> m_zoominTool;
    std::unique_ptr<ZoomTool> m_zoomoutTool;
    std::unique_ptr<CropTool> m_cropTool;
    std::unique_ptr<EditTool> m_editTool;
    std::unique_ptr<TrackMgr> m_trackMgr;
    std::unique_ptr<AutoScrollProc> m_autoScroll;
    int m_overlayOnly = 0;
    IPoint m_lastMouse;
    bool m_eraseNext = true;
    std::function<void(ToolEvent&)> m_extraLayer;
    std::function<bool(DPoint)> m_clickPick;
    DragPick m_dragPick;
    bool m_picking = false;
    DPoint m_pickFrom;
    std::unique_ptr<Magnifier> m_magnifier;
    bool m_magnifierOn = false;
    bool m_loupeShown = false;
    IPoint m_loupePos;
    std::string m_loupeLabel;
};
