#pragma once

#include "view/Tool.h"
#include "view/ViewKey.h"

#include <vector>

class DbPoint;
class DbSetMgr;

// Edits collected points one by one: a click picks the nearest point within the pick
// tolerance (the current set first, then the others), Shift-click adds to the selection,
// a drag on empty image selects by rubber band. Dragging a selected point moves the whole
// selection (grid snap as in collecting, Shift skips it); the arrow keys nudge it by one
// screen pixel, ten with Shift. Every move is one "Move Points" task; the selection lives
// in the set manager, so the data list shows it and can make it.
class EditTool : public Tool {
public:
    void BeginTracking(ToolEvent& e) override;
    void KeepTracking(ToolEvent& e) override;
    void EndTracking(ToolEvent& e) override;
    void Move(ToolEvent& e) override;
    void Cancel(ToolEvent& e) override;
    void Draw(ToolEvent& e) override;
    void HideFeedback(ToolEvent& e) override;
    void ShowFeedback(ToolEvent& e) override;
    void Activate(ToolEvent& e) override;
    void Deactivate(ToolEvent& e) override;
    bool KeyDown(ViewKey key, ToolEvent& e) override;

    // The point under an image position within the tolerance, the current set first.
    DbPoint* Pick(DPoint pixel, DPoint tolerance) const;
    // Moves the selected points by an image-pixel offset as one task.
    bool MoveSelection(DPoint delta);
    // Deletes the selection as one task.
    bool DeleteSelection();
    bool HasSelection() const;

    // A frame around every selected point, over the sets' markers.
    static void DrawSelection(ToolEvent& e, const DbSetMgr& sets);

private:
    enum Mode { kNone, kDrag, kBand };
    struct Origin {
        DbPoint* point;
        DPoint pixel;
    };
    DbSetMgr* Sets() const;
    void Prompt();
    // The graph position of a point with the digits the export gives it.
    std::string GraphText(const DbPoint& p) const;
    // Puts the dragged points back where they were.
    void RestoreOrigins();
    void XorBand(ToolEvent& e);
    void Changed();

    Mode m_mode = kNone;
    DPoint m_press;
    DPoint m_bandEnd;
    bool m_bandShown = false;
    bool m_moved = false;
    // A Shift-click on a selected point takes it out of the selection unless it drags.
    DbPoint* m_unselectOnRelease = nullptr;
    DbPoint* m_grab = nullptr;
    std::vector<Origin> m_origins;
};
