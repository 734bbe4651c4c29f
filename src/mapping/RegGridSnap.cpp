#include "mapping/RegGridSnap.h"

#include "mapping/RegGridData.h"

const std::string RegGridSnap::kKey = "GridSnapRegGrid";

RegGridSnap::RegGridSnap(RegGridData* data) : m_data(data)
{
    Attach(data);
}

bool RegGridSnap::Check(DPoint& point)
{
    return m_data->Snap(point);
}
