#include "view/CropBox.h"

#include "image/CDib.h"
#include "mapping/TransformData.h"
#include "tasks/ImageCropTask.h"
#include "tasks/PlotData.h"

#include <algorithm>
#include <cmath>

namespace {
struct Bounds {
    double minX, minY, maxX, maxY;
};

Bounds CornerBounds(const DPoint* nodes)
{
    Bounds b{nodes[0].x, nodes[0].y, nodes[0].x, nodes[0].y};
    for (int k = 1; k < 4; ++k) {
        const DPoint p = nodes[2 * k];
        b.minX = std::min(b.minX, p.x);
        b.minY = std::min(b.minY, p.y);
        b.maxX = std::max(b.maxX, p.x);
        b.maxY = std::max(b.maxY, p.y);
    }
    return b;
}

// Truncation of a rounded value, held inside the 32-bit range.
std::int32_t Whole(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<std::int32_t>(std::clamp(v, -2.0e9, 2.0e9));
}
} // namespace

void CropBox::ResizeByDrag(int hitCode, DPoint from, DPoint to)
{
    if (hitCode == 0 || !IsDefined()) {
        SetPixelRect({std::min(from.x, to.x), std::min(from.y, to.y)},
                     {std::max(from.x, to.x), std::max(from.y, to.y)});
        return;
    }
    Box::ResizeByDrag(hitCode, from, to);
}

void CropBox::SaveCorners()
{
    GetPixelCorners(4, m_saved);
}

void CropBox::RestoreCorners()
{
    SetPixelNodes(4, m_saved);
}

bool CropBox::GetBoundingRect(IPoint& origin, ISize& size) const
{
    if (!IsDefined())
        return false;
    const Bounds b = CornerBounds(m_pixelNodes);
    origin = {Whole(b.minX + 0.5), Whole(b.minY + 0.5)};
    size = {Whole(b.maxX - b.minX + 0.5) + 1, Whole(b.maxY - b.minY + 0.5) + 1};
    return true;
}

std::unique_ptr<Task> CropBox::CreateCropTask(PlotData* data) const
{
    IPoint origin;
    ISize size;
    if (!data || !data->HasImage() || !GetBoundingRect(origin, size))
        return nullptr;
    // A box over the whole picture keeps all of it: nothing changes, nothing is recorded.
    const CDib& image = *data->GetImage();
    if (origin.x <= 0 && origin.y <= 0 && origin.x + size.cx >= image.Width() &&
        origin.y + size.cy >= image.Height())
        return nullptr;
    CDib cropped(image);
    if (!cropped.Crop(origin.x, origin.y, size.cx, size.cy))
        return nullptr;
    return std::make_unique<ImageCropTask>(data, cropped, data->GetTransform());
}
