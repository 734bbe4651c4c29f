#pragma once

#include "platform/Geometry.h"

class PlotData;

// The "Region Nodes" dialog without its form: the eight pixel nodes of the mapping region
// (corners and edge midpoints, clockwise from the top-left) and its angle, typed directly.
class RegionNodesDlg {
public:
    static constexpr int kNodes = 8;
    // The names of the nodes in their order, for the form's labels.
    static const char* const kNodeNames[kNodes];

    explicit RegionNodesDlg(PlotData* data);

    void LoadFields();
    // OK: refuses values that are not numbers and nodes that fold the region over itself
    // with a message and stays open (false); otherwise the nodes are taken as typed, a changed
    // angle turns the region about its bottom-left corner by the difference, and it all is
    // one "Transformation" task (true).
    bool OnOK();
    void OnCancel() {}

    DPoint m_nodes[kNodes];
    double m_angle = 0.0;

private:
    PlotData* m_data;
    double m_loadedAngle = 0.0;
};
