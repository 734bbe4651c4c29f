#pragma once

#include "view/TimerProc.h"

class Box;
class Tool;

// Marching ants: at every tick the dash pattern moves one step and the box redraws its
// border with it on the tool's view.
class AntsProc : public TimerProc {
public:
    AntsProc(Tool* tool, Box* box) : m_tool(tool), m_box(box) {}

    int Tick() override;

    unsigned char GetPattern() const { return m_pattern; }

private:
    Tool* m_tool;
    Box* m_box;
    unsigned char m_pattern = 0;
};
