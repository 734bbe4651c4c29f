#pragma once

#include "platform/Colour.h"
#include "platform/Geometry.h"
#include "platform/PixelCanvas.h"

class CDib;

// The loupe: a square of the image about one spot, enlarged by a whole factor, with a
// crosshair on the spot itself. The spot is the exact image coordinate a click would take;
// loupe pixel q shows coordinate spot + (q + 0.5 - size / 2) / factor, so the spot sits on
// the middle of the odd-sized square at every factor. It draws into its own canvas; the
// window only shows it, with the spot's graph coordinates in a strip beneath.
class Magnifier {
public:
    static constexpr int kSize = 181;
    static constexpr int kLabelHeight = 20;
    static constexpr int kMinFactor = 4;
    static constexpr int kMaxFactor = 12;
    static constexpr int kDefaultFactor = 6;

    Magnifier();

    // The enlargement, kept within kMinFactor .. kMaxFactor.
    void SetFactor(int factor);
    int GetFactor() const { return m_factor; }

    // Draws the loupe about `spot` (image coordinates); beyond the image it shows `outside`.
    void Render(const CDib* image, DPoint spot, Colour outside);
    const PixelCanvas& GetCanvas() const { return m_canvas; }

    // The top-left of a `box`-sized loupe in a `client`-sized window for the pointer at
    // `pointer`: below and to the right of it, on the other side where a window edge is too
    // near, so that it never covers the pointer.
    static IPoint Place(IPoint pointer, ISize box, ISize client, int gap = 16);

private:
    PixelCanvas m_canvas;
    int m_factor = kDefaultFactor;
};
