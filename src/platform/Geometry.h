#pragma once

#include <algorithm>
#include <cstdint>

// A point of doubles: image pixels (x right, y down) or graph units.
struct DPoint {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const DPoint&, const DPoint&) = default;
};

// A point of 32-bit integers: window, logical or device positions.
struct IPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const IPoint&, const IPoint&) = default;
};

struct ISize {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    friend bool operator==(const ISize&, const ISize&) = default;
};

// A rectangle with exclusive right and bottom edges.
struct IRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(IPoint p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    IRect Intersected(const IRect& o) const
    {
        IRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom)};
        if (r.IsEmpty())
            return IRect{};
        return r;
    }
    void Normalize()
    {
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
    }
    friend bool operator==(const IRect&, const IRect&) = default;
};
