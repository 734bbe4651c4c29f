#pragma once

// Keys the image view handles.
enum class ViewKey {
    Enter,
    Escape,
    Space,
    Z,
    X,
    PageUp,
    PageDown,
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    Other
};
