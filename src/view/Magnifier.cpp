#include "view/Magnifier.h"

#include "image/CDib.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// The image pixel whose centre is nearest coordinate v (pixel i covers [i - 0.5, i + 0.5)).
int PixelIndex(double v)
{
    const double i = std::floor(v + 0.5);
    return static_cast<int>(std::clamp(i, -1.0e9, 1.0e9));
}

} // namespace

Magnifier::Magnifier() : m_canvas(kSize, kSize)
{
}

void Magnifier::SetFactor(int factor)
{
    m_factor = std::clamp(factor, kMinFactor, kMaxFactor);
}

void Magnifier::Render(const CDib* image, DPoint spot, Colour outside)
{
    const int n = kSize;
    const double half = n / 2.0;
    const int width = image && !image->IsEmpty() ? image->Width() : 0;
    const int height = image && !image->IsEmpty() ? image->Height() : 0;
    const std::uint32_t background = ColourToPixel(outside);
    std::vector<int> columns(static_cast<std::size_t>(n));
    for (int q = 0; q < n; ++q)
        columns[static_cast<std::size_t>(q)] = PixelIndex(spot.x + (q + 0.5 - half) / m_factor);

    std::uint32_t* bits = m_canvas.Bits();
    int lastRow = -1;
    for (int r = 0; r < n; ++r) {
        std::uint32_t* out = bits + static_cast<std::ptrdiff_t>(r) * n;
        const int y = PixelIndex(spot.y + (r + 0.5 - half) / m_factor);
        // Rows showing the same image row are copies of the one above.
        if (r > 0 && y == lastRow) {
            std::copy(out - n, out, out);
            continue;
        }
        lastRow = y;
        int lastColumn = -1;
        std::uint32_t value = background;
        for (int q = 0; q < n; ++q) {
            const int x = columns[static_cast<std::size_t>(q)];
            if (x != lastColumn) {
                lastColumn = x;
                value =
                    x >= 0 && y >= 0 && x < width && y < height ? image->PixelAt(x, y) : background;
            }
            out[q] = value;
        }
    }

    // The crosshair: the middle row and column, open about the spot so that its pixel shows,
    // dashed black and white so that it stands out on any picture, and a frame.
    m_canvas.ClearClip();
    m_canvas.SetViewportOrg(0, 0);
    const int c = n / 2;
    const int gap = m_factor / 2 + 2;
    for (int k = 0; k < n; ++k) {
        if (std::abs(k - c) <= gap)
            continue;
        const Colour dash = (std::abs(k - c) / 3) % 2 ? kWhite : kBlack;
        m_canvas.SetPixel(k, c, dash);
        m_canvas.SetPixel(c, k, dash);
    }
    m_canvas.FillRect({0, 0, n, 1}, kBlack);
    m_canvas.FillRect({0, n - 1, n, n}, kBlack);
    m_canvas.FillRect({0, 0, 1, n}, kBlack);
    m_canvas.FillRect({n - 1, 0, n, n}, kBlack);
}

IPoint Magnifier::Place(IPoint pointer, ISize box, ISize client, int gap)
{
    auto axis = [gap](int p, int size, int extent) {
        // After the pointer when it fits, else before it, else whichever side is roomier.
        if (p + gap + size <= extent)
            return p + gap;
        if (p - gap - size >= 0)
            return p - gap - size;
        return extent - p > p ? p + gap : p - gap - size;
    };
    return {axis(pointer.x, box.cx, client.cx), axis(pointer.y, box.cy, client.cy)};
}
