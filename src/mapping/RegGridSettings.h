#pragma once

// The grid settings of a document, copied as one block between the grid data and its
// representations: per axis a snap flag, an origin and a step in graph units, and a flag
// that shows the axis's grid lines.
struct RegGridSettings {
    int snapX = 0;
    int snapY = 0;
    double originX = 0.0;
    double originY = 0.0;
    double stepX = 0.0;
    double stepY = 0.0;
    int showX = 1;
    int showY = 1;
    friend bool operator==(const RegGridSettings&, const RegGridSettings&) = default;
};
