#include "mapping/TransformBoxRep.h"

#include "mapping/TransformData.h"

#include <algorithm>

TransformBoxRep::TransformBoxRep(TransformData* data) : m_data(data)
{
    Attach(data);
}

void TransformBoxRep::DefineOrResize(int hitCode, DPoint from, DPoint to)
{
    if (hitCode == 0 || !m_box.IsDefined()) {
        m_box.SetPixelRect({std::min(from.x, to.x), std::min(from.y, to.y)},
                           {std::max(from.x, to.x), std::max(from.y, to.y)});
        return;
    }
    m_box.ResizeByDrag(hitCode, from, to);
}
