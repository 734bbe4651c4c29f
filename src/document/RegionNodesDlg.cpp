#include "document/RegionNodesDlg.h"

#include "mapping/Box.h"
#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "platform/UiServices.h"
#include "tasks/PlotData.h"
#include "tasks/TransTask.h"

#include <cmath>

const char* const RegionNodesDlg::kNodeNames[kNodes] = {
    "Top left", "Top", "Top right", "Right", "Bottom right", "Bottom", "Bottom left", "Left"};

namespace {

// Whether the region maps one to one: the Jacobian keeps one sign, away from zero, over a
// lattice of the natural coordinates (edges included).
bool Unfolded(const Box& box)
{
    int sign = 0;
    for (int i = 0; i <= 8; ++i) {
        for (int k = 0; k <= 8; ++k) {
            double j[4];
            box.JacobianPixel(-1.0 + i * 0.25, -1.0 + k * 0.25, j);
            const double det = Box::Determinant(j);
            if (!std::isfinite(det) || std::fabs(det) < 1e-9)
                return false;
            const int s = det > 0 ? 1 : -1;
            if (sign != 0 && s != sign)
                return false;
            sign = s;
        }
    }
    return true;
}

} // namespace

RegionNodesDlg::RegionNodesDlg(PlotData* data) : m_data(data)
{
}

void RegionNodesDlg::LoadFields()
{
    const Box& region = m_data->GetTransform()->GetRegion();
    for (int i = 0; i < kNodes; ++i)
        m_nodes[i] = region.PixelNodes()[i];
    m_angle = m_loadedAngle = region.GetAngle();
}

bool RegionNodesDlg::OnOK()
{
    for (const DPoint& p : m_nodes) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            GetUiServices().MessageBox("Every node needs a position.");
            return false;
        }
    }
    if (!std::isfinite(m_angle)) {
        GetUiServices().MessageBox("The angle must be a number.");
        return false;
    }
    std::unique_ptr<AttributeRep> rep = m_data->FindRep<TransformMan>();
    auto* man = dynamic_cast<TransformMan*>(rep.get());
    if (!man)
        return true;
    Box& box = man->GetBox();
    box.SetPixelNodes(kNodes, m_nodes);
    box.SetAngle(m_loadedAngle);
    if (m_angle != m_loadedAngle)
        box.Rotate(m_angle - m_loadedAngle);
    if (!Unfolded(box)) {
        GetUiServices().MessageBox("These nodes fold the region over itself.");
        return false;
    }
    m_data->Execute(std::make_unique<TransTask>(m_data, std::move(rep)));
    return true;
}
