// Pure helpers of the FLTK backend: no display, no FLTK state, so tests can call them.
//
// Contract
//  - TranslateKey maps an FLTK key code and event state to a backend key; letters and
//    digits come as Key::Character in lower case, whatever Shift, Ctrl or Alt add. Keys the
//    backend does not name give nullopt.
//  - CornerShape lists the rectangles whose union is a width x height window whose top
//    corners are rounded by an ellipse of diameter x diameter pixels; bottom corners square.
//  - WrapText breaks text into lines no wider than maxWidth (by `measure`), at spaces and at
//    '\n'; a word wider than maxWidth is broken between characters.
//  - NextTickDue merges missed ticks: the next tick is one interval after the one due now,
//    or, if that is already past, one interval after `now`.
//  - OpenerArgv is the argv that hands `target` to the desktop's opener: one entry each.
//  - ProgramClass gives WM_CLASS (instance, class) for a program file path.
//  - CellToEmPixels / FontPixelSize turn a FontSpec height into an em size in pixels.
#pragma once

#include "backend/Backend.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace backend::fltk {

std::optional<KeyEvent> TranslateKey(int flKey, int flState);

std::vector<Rect> CornerShape(int width, int height, int diameter);

std::vector<std::string> WrapText(const std::string& text, int maxWidth,
                                  const std::function<int(const std::string&)>& measure);

using Clock = std::chrono::steady_clock;
Clock::time_point NextTickDue(Clock::time_point due, Clock::duration interval,
                              Clock::time_point now);

std::vector<std::string> OpenerArgv(const std::string& target);

std::pair<std::string, std::string> ProgramClass(const std::string& exePath);

int FontPixelSize(int height);

} // namespace backend::fltk
