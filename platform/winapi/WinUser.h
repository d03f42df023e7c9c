// Windows and message boxes: MessageBoxA and ClientToScreen over the backend.
//
// A HWND names a control or form of the component library. The component library
// implements HWND__ for its windowed controls; here it is only the two questions the
// calls below need answered.
#pragma once

#include "winapi/WinTypes.h"

namespace backend {
class Window;
struct Point;
} // namespace backend

struct HWND__ {
    virtual ~HWND__() = default;
    // The native top-level window the control lives in, or null before it is shown.
    virtual backend::Window* TopLevelWindow() const = 0;
    // Screen position of the control's client top-left corner.
    virtual backend::Point ClientOriginOnScreen() const = 0;
};

// Modal against the owner's window; returns IDOK or IDCANCEL (0 when no box could be shown).
// Supported flags: MB_OK, MB_OKCANCEL, and one of the MB_ICON* values.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Converts a point in hwnd's client coordinates to screen coordinates.
BOOL ClientToScreen(HWND hwnd, POINT* point);
