#pragma once

#include "platform/Geometry.h"
#include "view/Tool.h"

#include <memory>

class AntsProc;
class CropBox;

// Draws and adjusts a crop box shown with marching ants; Enter crops the image to it as one
// undoable task.
class CropTool : public Tool {
public:
    static constexpr int kAntsPeriod = 25;

    CropTool();
    ~CropTool() override;

    void BeginTracking(ToolEvent& e) override;
    void KeepTracking(ToolEvent& e) override;
    void EndTracking(ToolEvent& e) override;
    void Move(ToolEvent& e) override;
    void MoveRaw(ToolEvent& e) override;
    void Accept(ToolEvent& e) override;
    void Cancel(ToolEvent& e) override;
    void HideFeedback(ToolEvent& e) override;
    void ShowFeedback(ToolEvent& e) override;
    void Scrolled(ToolEvent& e) override;
    void Activate(ToolEvent& e) override;
    void Deactivate(ToolEvent& e) override;

    CropBox* GetCropBox() const { return m_box.get(); }
    AntsProc* GetAnts() const { return m_ants.get(); }
    int GetHandle() const { return m_handle; }

private:
    void XorBox(ToolEvent& e);
    void ApplyDrag(ToolEvent& e);
    void StartAnts();

    Colour m_cropColour = 0xFF0000;
    DPoint m_anchor;
    std::unique_ptr<CropBox> m_box;
    int m_handle = 0;
    bool m_tracking = false;
    // Whether the box existed at the press (its corners were remembered).
    bool m_hadBox = false;
    std::unique_ptr<AntsProc> m_ants;
};
