#include "extract/ExtractPreview.h"

#include "platform/Archive.h"
#include "platform/DeviceContext.h"
#include "platform/ToolEvent.h"

#include <algorithm>
#include <cmath>

ExtractPreview::ExtractPreview(const CDib& image, const TransformData& transform,
                               const ExtractOptions& options)
    : m_image(image), m_options(options)
{
    // The mapping travels as the project file writes it.
    Archive out;
    const_cast<TransformData&>(transform).Serialize(out);
    Archive in(out.Bytes());
    m_transform.Serialize(in);
}

void ExtractPreview::Run(const std::atomic<bool>* cancel, std::atomic<int>* progress)
{
    m_result = Extract(m_image, m_transform, m_options, cancel, progress, &m_mask);
}

void ExtractPreview::Draw(ToolEvent& e, Colour maskColour, Colour pointColour) const
{
    DeviceContext* dc = e.dc;
    if (!dc || !(e.scale > 0))
        return;
    // The logical rectangle the device shows, in image pixels.
    const IRect clip = dc->GetClipRect();
    const IPoint lt = dc->DPtoLP({clip.left, clip.top});
    const IPoint rb = dc->DPtoLP({clip.right, clip.bottom});
    const double s = e.scale;
    if (!m_mask.IsEmpty()) {
        const IRect& b = m_mask.Bounds();
        const IRect shown = IRect{static_cast<int>(std::floor(lt.x / s)) - 1,
                                  static_cast<int>(std::floor(lt.y / s)) - 1,
                                  static_cast<int>(std::ceil(rb.x / s)) + 1,
                                  static_cast<int>(std::ceil(rb.y / s)) + 1}
                                .Intersected(b);
        // At reduced zoom several pixels share a screen pixel: step over the extra ones.
        const int step = s < 1 ? std::max(1, static_cast<int>(1 / s)) : 1;
        for (int y = shown.top; y < shown.bottom; y += step) {
            const std::uint8_t* row = m_mask.Row(y) - b.left;
            for (int x = shown.left; x < shown.right; x += step) {
                if (!row[x])
                    continue;
                const IPoint a = e.ToWindow(x, y), z = e.ToWindow(x + 1, y + 1);
                dc->FillRect({a.x, a.y, std::max(z.x, a.x + 1), std::max(z.y, a.y + 1)},
                             maskColour);
            }
        }
    }
    for (const DPoint& p : m_result.pixels) {
        const IPoint c = e.ToWindow(p.x, p.y);
        dc->FillRect({c.x - 3, c.y, c.x + 4, c.y + 1}, pointColour);
        dc->FillRect({c.x, c.y - 3, c.x + 1, c.y + 4}, pointColour);
    }
}
