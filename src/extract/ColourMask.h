#pragma once

#include "platform/Geometry.h"

#include <atomic>
#include <cstdint>
#include <vector>

class CDib;

// The pixels of a picture whose colour lies within a tolerance of a chosen colour, limited to
// an area (a polygon in image pixels), the anti-aliased edges of what is drawn in that colour
// included. One byte per pixel of the area's bounding box: 0 for a pixel that does not match,
// else 1..255, how much of the pixel the colour covers (its share in a blend with the paper).
//
// Pixel (x, y) covers [x, x + 1) x [y, y + 1) of the image's continuous coordinates; its
// centre is (x + 0.5, y + 0.5).
class ColourMask {
public:
    // colour and paper are 0x..RRGGBB; tolerance is a Euclidean RGB distance (0..442).
    // paper < 0 estimates the paper colour as the commonest colour of the area. An empty
    // area means the whole picture. False (mask empty) without a picture or when cancelled.
    bool Build(const CDib& image, std::uint32_t colour, double tolerance,
               const std::vector<DPoint>& area, std::int64_t paper = -1,
               const std::atomic<bool>* cancel = nullptr);

    // The bounding box of the area within the picture.
    const IRect& Bounds() const { return m_bounds; }
    bool IsEmpty() const { return m_bounds.IsEmpty(); }
    // Row y of the image (Bounds().top <= y < Bounds().bottom), Bounds().Width() bytes.
    const std::uint8_t* Row(int y) const
    {
        return m_bits.data() + static_cast<std::size_t>(y - m_bounds.top) * m_bounds.Width();
    }
    // The weight at image pixel (x, y); 0 outside the bounds.
    std::uint8_t At(int x, int y) const
    {
        if (!m_bounds.Contains({x, y}))
            return 0;
        return Row(y)[x - m_bounds.left];
    }
    // Matching pixels.
    std::int64_t Count() const { return m_count; }
    std::uint32_t Paper() const { return m_paper; }

private:
    IRect m_bounds;
    std::vector<std::uint8_t> m_bits;
    std::int64_t m_count = 0;
    std::uint32_t m_paper = 0xFFFFFF;
};

// The spans [x0, x1) of image row y whose pixel centres lie inside the polygon (even-odd
// rule), clipped to [left, right).
void PolygonRowSpans(const std::vector<DPoint>& polygon, int y, int left, int right,
                     std::vector<int>& spans);
