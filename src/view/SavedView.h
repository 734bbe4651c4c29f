#pragma once

// One saved view of the image view: zoom, scroll position, and whether the entry was pushed
// by Previous Saved View rather than by Save View.
struct SavedView {
    double zoom = 1.0;
    int scrollX = 0;
    int scrollY = 0;
    int automatic = 0;
};
