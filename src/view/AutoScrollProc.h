#pragma once

#include "platform/Geometry.h"
#include "view/TimerProc.h"

class CKurvoView;

// Scrolls the view while a drag is outside its window: faster and with a shorter period the
// farther the mouse is outside.
class AutoScrollProc : public TimerProc {
public:
    explicit AutoScrollProc(CKurvoView* view) : m_view(view) {}

    int Tick() override;
    // Starts with the direction signs given by the tool, unless running already.
    void StartScroll(CKurvoView* view, IPoint direction);

    IPoint GetDirection() const { return m_direction; }

private:
    CKurvoView* m_view;
    IPoint m_lastPoint{-2147483647 - 1, -2147483647 - 1};
    IPoint m_direction{1, 1};
    int m_baseStep = 10;
    int m_slowPeriod = 80;
    int m_fastPeriod = 5;
    float m_rampDistance = 30.0f;
};
