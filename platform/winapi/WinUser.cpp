#include "winapi/WinUser.h"

#include "backend/Backend.h"

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    using backend::DialogAnswer;
    using backend::DialogButtons;
    using backend::DialogIcon;
    const DialogButtons buttons =
        (type & 0xF) == MB_OKCANCEL ? DialogButtons::OkCancel : DialogButtons::Ok;
    DialogIcon icon = DialogIcon::None;
    switch (type & 0xF0) {
    case MB_ICONERROR:
        icon = DialogIcon::Error;
        break;
    case MB_ICONQUESTION:
        icon = DialogIcon::Question;
        break;
    case MB_ICONWARNING:
        icon = DialogIcon::Warning;
        break;
    case MB_ICONINFORMATION:
        icon = DialogIcon::Information;
        break;
    default:
        break;
    }
    backend::Window* window = owner ? owner->TopLevelWindow() : nullptr;
    const DialogAnswer answer = backend::Current().MessageBox(
        window, text ? text : "", caption ? caption : "Error", buttons, icon);
    switch (answer) {
    case DialogAnswer::Ok:
        return IDOK;
    case DialogAnswer::Cancel:
        return IDCANCEL;
    case DialogAnswer::None:
        break;
    }
    return 0;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
    if (!hwnd || !point) return FALSE;
    const backend::Point origin = hwnd->ClientOriginOnScreen();
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}
