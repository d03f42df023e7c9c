// Pieces of the FLTK backend that its files share; not for use outside this folder.
//
// Contract
//  - EnsureDisplay opens the X display once (FLTK's), then installs the handlers that turn
//    a lost connection into the shutdown handler's DisplayLost.
//  - Kick makes the current or next Fl::wait return at once, so RunUntil re-tests its
//    condition after a callback that FLTK dispatched from its timeout list.
//  - MakeWindow creates a backend window over FLTK; RunMessageBox and CancelMessageBoxes
//    implement the backend's MessageBox and CancelDialogs.
//  - Measure and the canvas draw text the same way: the line box's top is `ascent` above
//    the baseline, its height FLTK's line height for the face.
#pragma once

#include "backend/Backend.h"

#include <memory>
#include <string>

namespace backend::fltk {

void EnsureDisplay();
void Kick();

std::unique_ptr<Window> MakeWindow(const WindowSpec& spec, WindowEvents& events);

DialogAnswer RunMessageBox(Backend& backend, Window* owner, const std::string& text,
                           const std::string& caption, DialogButtons buttons, DialogIcon icon);
void CancelMessageBoxes();

TextMetrics Measure(const std::string& text, const FontSpec& font);

// The X window id of a backend window made by MakeWindow, 0 while it is not shown.
unsigned long NativeId(const Window* window);

} // namespace backend::fltk
