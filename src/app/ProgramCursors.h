#pragma once

#include "platform/UiServices.h"

#include <QCursor>
#include <QImage>
#include <QPoint>

// The mouse cursors: the system's shapes and the program's own, drawn as 32x32 black
// figures with a white outline so that they show on dark and light images alike.
class ProgramCursors {
public:
    // The cursor of a shape.
    static QCursor Cursor(CursorShape shape);
    // The drawing of one of the program's own shapes (rotate, hand, zoom in, zoom out,
    // program crosshair); a null image for the system's shapes.
    static QImage Image(CursorShape shape);
    // The hot spot of one of the program's own shapes.
    static QPoint HotSpot(CursorShape shape);
};
